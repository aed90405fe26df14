// A byte stream over a file of the platform: the form pass reads, backs up and writes form
// files through it.
#pragma once

#include <string>

#include "platform/file.h"
#include "platform/stream.h"

namespace reshape {

enum class FileStreamMode {
  OpenRead,       // an existing file, for reading; others may read it meanwhile
  OpenReadWrite,  // an existing file, for reading and writing; no sharing
  Create,         // a new or emptied file, for reading and writing; no sharing
};

class TFileStream : public TStream {
 public:
  // Fails with EFOpenError "Cannot open file %s" or EFCreateError "Cannot create file %s".
  TFileStream(const std::string& name, FileStreamMode mode);

  // Fails with EReadError when the file cannot be read; 0 only at its end.
  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;

  // Closes the file now, reporting a failure as EWriteError; the destructor closes silently.
  void Close();

 private:
  platform::File file_;
};

}  // namespace reshape
