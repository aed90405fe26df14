// The file operations a run makes, and nothing more: the run is handed one FileSystem and
// touches files only through it, so tests can hand it one that fails where they choose.
// Operations return 0 or an IoError (base/errors.h); callers turn codes into the failure their
// context names.
#pragma once

#include <compare>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/errors.h"

namespace reshape {

// What every name of the same file shares: its volume and its number on that volume. Not
// `known` where the system does not tell.
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  bool known = false;
  auto operator<=>(const FileIdentity&) const = default;
};

struct DirEntry {
  std::string Name;
  bool ReadOnly = false;
  bool Directory = false;
  // Shared by every name of the same file, where the listing learns it.
  FileIdentity Identity;
  // Bit i set: the listing's mask i matches the name.
  std::uint8_t Masks = 0;
};


// The outcome of an operation that first opens a file and then moves bytes: callers report a
// file that cannot be opened differently from one that cannot be read or written.
struct IoResult {
  int code = 0;
  bool opened = false;  // the failure came after the file was opened
  bool ownName = false;  // the name is known to be the file itself, not a link to it
};

// What a file is read for. A file read to be replaced by the run must be one the user may
// write, and nobody else may have it open; a file only read may be read by others meanwhile.
enum class ReadFor { Reading, Replacing };

// Something the run holds until it lets go of it: a file kept open (and so locked), or the
// lock on a directory. The destructor lets go silently.
class Held {
 public:
  virtual ~Held() = default;
  // Lets go now and reports a failure to do so.
  virtual int Release() = 0;
};

// Where a name leads: the file itself, or for a symbolic link the file at the end of its chain,
// and an identity that every name of the same file shares (not known when the system does
// not tell).
struct FileTarget {
  std::string path;
  FileIdentity identity;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The entries of `directory` ("" for the current one, else a path ending in a separator)
  // that match one of the masks, never "." or "..", and with `subdirectories` also every
  // directory that is no symbolic link, marked Directory; ascending by their ASCII-upper-cased
  // names (ties: raw bytes). False, with no entries, when the directory cannot be searched.
  virtual bool List(const std::string& directory, std::span<const std::string_view> masks,
                    bool subdirectories, std::vector<DirEntry>& entries) = 0;

  // Reads the whole file. Directories, pipes and devices fail with kAccessDenied, as a
  // read-only file read for replacing does; a file held by another process fails with
  // kSharingViolation.
  virtual IoResult ReadFile(const std::string& name, ReadFor purpose, std::string& bytes) = 0;

  // Creates the file, or empties an existing one, and writes the bytes; nobody else may have
  // it open. The file stays open and locked in `held` (also after a failed write), so that no
  // other run can empty it before it is moved into place.
  virtual IoResult WriteFile(const std::string& name, std::string_view bytes,
                             std::unique_ptr<Held>& held) = 0;

  // Puts the complete file `source` in the place of `target` in one step, with target's
  // permission bits (owner and group too, where the user may set them), so that target is
  // never missing or half written; a missing target is created. Fails with kAccessDenied when
  // target is read-only and kSharingViolation when another process holds it, leaving both
  // files as they were.
  virtual int ReplaceFile(const std::string& source, const std::string& target) = 0;

  virtual int DeleteFile(const std::string& name) = 0;

  // Gives the file `existing` the further name `link` in the same directory (a hard link), so
  // that its bytes outlive a replacement of `existing`. Fails where the file system has no
  // such links; here, for a file system that wraps another, always.
  virtual int LinkFile(const std::string& /*existing*/, const std::string& /*link*/) {
    return kAccessDenied;
  }

  // Where the name leads (see FileTarget).
  virtual FileTarget Target(const std::string& name) = 0;

  // Appends to a text file in one operation, creating it when missing (others may read it
  // meanwhile, nobody may write it): the whole file `from` unless that is "" (copied a piece at
  // a time, not read whole), then `bytes`. An end-of-text byte (26) among the file's last 128
  // bytes ends its text: the append starts there. A failed write leaves the file as it was.
  // `end` receives the offset at which the append started.
  virtual int AppendToTextFile(const std::string& name, const std::string& from,
                               std::string_view bytes, std::int64_t& end) = 0;

  // Appends the bytes at the end of the file, creating it when missing.
  virtual int AppendToFile(const std::string& name, std::string_view bytes) = 0;

  // Cuts the file back to `size` bytes.
  virtual int TruncateFile(const std::string& name, std::int64_t size) = 0;

  // Holds the directory for a whole run, so that a second run started there at the same time
  // fails at once with kSharingViolation. A directory that cannot be opened is not locked and
  // not an error.
  virtual int LockDirectory(const std::string& directory, std::unique_ptr<Held>& lock) = 0;
};

}  // namespace reshape
