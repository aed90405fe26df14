// The failures of reshape, thrown where found and caught only in main (report, exit 1): what
// went wrong, its facts (a file name or text, a number) and the code address that threw it.
// driver/failure_report.h turns them into the texts the user reads.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <utility>

namespace reshape {

enum class FailureKind : std::uint8_t {
  kScriptSyntax,     // a command line lacks a separator; number: its CommandKind
  kScriptInUtf16,    // the script is in UTF-16
  kNotAnInteger,     // text: the number's text
  kNotAFloat,        // text: the number's text
  kFormTextSyntax,   // text: what is wrong; number: the line
  kNoFormResource,   // a form file whose resource header is not one of a form
  kNoFormSignature,  // a form stream without the signature
  kInvalidValue,     // a value the form format cannot hold
  kReadPastEnd,      // a stream or file that ends early
  kNestingTooDeep,   // objects or lists nested deeper than the reader goes
  kWriteFailed,      // a file that was created but could not be written
  kCannotOpen,       // text: the file name
  kCannotCreate,     // text: the file name
  kInputOutput,      // number: the IoError
  kOutOfMemory,
};

class Failure : public std::exception {
 public:
  [[gnu::noinline]] explicit Failure(FailureKind kind, std::string text = {}, int number = 0)
      : kind_(kind), text_(std::move(text)), number_(number),
        origin_(reinterpret_cast<std::uintptr_t>(__builtin_return_address(0))) {}
  FailureKind Kind() const { return kind_; }
  const std::string& Text() const { return text_; }
  int Number() const { return number_; }
  const char* what() const noexcept override { return text_.c_str(); }
  // The code address of the place that threw the failure.
  std::uintptr_t Origin() const { return origin_; }
  // Set when an all-or-nothing run failed while putting files in place and could not put
  // every one of them back: the tree is not as it was.
  void NoteTreeNotRestored() { treeRestored_ = false; }
  bool TreeRestored() const { return treeRestored_; }

 private:
  FailureKind kind_;
  std::string text_;
  int number_;
  std::uintptr_t origin_;
  bool treeRestored_ = true;
};

// Why a file or console operation failed; 0 is success. A system error that none of these
// names is kSystemError plus the system's own number.
enum IoError : int {
  kFileNotFound = 1, kPathNotFound, kTooManyOpenFiles, kAccessDenied, kSharingViolation,
  kDiskFull, kInvalidArgument, kNoMemory,
  kDeviceFailure,  // any other input/output failure
  kSystemError = 0x10000,
};

// Throws an input/output failure for any IoError but 0.
inline void CheckInOut(int code) {
  if (code != 0) throw Failure(FailureKind::kInputOutput, {}, code);
}

}  // namespace reshape
