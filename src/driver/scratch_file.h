// A scratch file beside the file it is to replace: written whole, then either kept (moved over
// the target in one step) or, when the object goes before that, removed again, so a failed
// rewrite leaves neither a half-written target nor a stray scratch file.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace reshape {

class ScratchFile {
 public:
  ScratchFile(FileSystem& files, std::string name, std::string target)
      : files_(files), name_(std::move(name)), target_(std::move(target)) {}
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  ~ScratchFile() {
    held_.reset();
    if (owned_) files_.DeleteFile(name_);
  }

  // Creates the scratch file and writes the bytes. It stays open, and so locked, until it is
  // kept or discarded: no other run can empty it under this name meanwhile.
  IoResult Write(std::string_view bytes) {
    IoResult result = files_.WriteFile(name_, bytes, held_);
    // A name that could not be created may be another's file: it is never removed.
    owned_ = result.opened;
    return result;
  }

  // Moves the scratch file over the target; 0, or the code of the failed move (the target
  // then stays as it was) or of closing the moved file.
  int Keep() {
    if (int code = files_.ReplaceFile(name_, target_)) return code;
    owned_ = false;
    return held_->Release();
  }

 private:
  FileSystem& files_;
  std::string name_;
  std::string target_;
  std::unique_ptr<Held> held_;
  bool owned_ = false;  // created by this object and not kept: removed when it goes
};

}  // namespace reshape
