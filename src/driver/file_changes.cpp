#include "driver/file_changes.h"

#include "driver/change_message.h"

namespace reshape {

void FileChanges::Add(const Change& change) {
  any_ = true;
  if (&change.command != command_ || change.kind != kind_ || change.from != from_ || change.to != to_) {
    message_ = ChangeMessage(change);
    command_ = &change.command;
    kind_ = change.kind;
    from_ = change.from;
    to_ = change.to;
  }
  log_.LogChange(fileName_, message_);
  report_.Noted(change.command, change.line, message_);
}

}  // namespace reshape
