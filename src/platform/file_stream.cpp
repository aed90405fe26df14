#include "platform/file_stream.h"

#include <cstdio>

#include "base/errors.h"

namespace reshape {

TFileStream::TFileStream(const std::string& name, FileStreamMode mode) {
  using platform::Access;
  using platform::Disposition;
  using platform::Share;
  switch (mode) {
    case FileStreamMode::OpenRead:
      if (file_.Open(name, Access::Read, Share::DenyWrite, Disposition::OpenExisting) != 0)
        throw EFOpenError("Cannot open file " + name);
      break;
    case FileStreamMode::OpenReadWrite:
      if (file_.Open(name, Access::ReadWrite, Share::Exclusive, Disposition::OpenExisting) != 0)
        throw EFOpenError("Cannot open file " + name);
      break;
    case FileStreamMode::Create:
      if (file_.Open(name, Access::ReadWrite, Share::Exclusive, Disposition::CreateAlways) != 0)
        throw EFCreateError("Cannot create file " + name);
      break;
  }
}

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
  // A failed read is no end of file: taking it for one would turn a damaged read into a
  // shorter file, such as a script without its commands.
  std::size_t got = 0;
  if (file_.Read(buffer, count, got) != 0) throw EReadError("Stream read error");
  return got;
}

std::size_t TFileStream::Write(const void* buffer, std::size_t count) {
  return file_.Write(buffer, count) == 0 ? count : 0;
}

std::int64_t TFileStream::Seek(std::int64_t offset, SeekOrigin origin) {
  int whence = origin == SeekOrigin::Begin ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
  std::int64_t position = 0;
  if (file_.Seek(offset, whence, position) != 0) throw EReadError("Stream read error");
  return position;
}

void TFileStream::Close() {
  if (file_.Close() != 0) throw EWriteError("Stream write error");
}

}  // namespace reshape
