// A scratch file that is removed again unless it was moved into place, so a failed rewrite
// leaves no half-written temporary file behind.
#pragma once

#include <string>

#include "platform/file_system.h"

namespace reshape {

class ScratchFile {
 public:
  explicit ScratchFile(std::string name) : name_(std::move(name)) {}
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  ~ScratchFile() {
    if (created_ && !committed_) platform::DeleteFile(name_);
  }

  const std::string& Name() const { return name_; }
  // Marks the file as ours to remove; a name that could not be created is never removed.
  void Created() { created_ = true; }
  void Committed() { committed_ = true; }

 private:
  std::string name_;
  bool created_ = false;
  bool committed_ = false;
};

}  // namespace reshape
