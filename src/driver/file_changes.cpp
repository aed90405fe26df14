#include "driver/file_changes.h"

#include "driver/change_message.h"

namespace reshape {

void FileChanges::Add(const Change& change) {
  any_ = true;
  const std::string message = ChangeMessage(change);
  log_.LogChange(fileName_, message);
  report_.Noted(change.command, change.line, message);
}

}  // namespace reshape
