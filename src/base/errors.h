// The failures of reshape. Every failure is one of these exceptions; they are thrown where the
// problem is found and caught only in main, which prints the failure report and exits with 1.
#pragma once

#include <exception>
#include <string>

namespace reshape {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message);
  // The kind as the failure report names it ("EReadError", ...).
  virtual const char* ClassName() const { return "Exception"; }
  const std::string& Message() const { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }
  // Code address of the place that raised the failure, relative to a fixed module base so that
  // it is the same in every run of one build.
  unsigned long Address() const { return address_; }
  // Set when an all-or-nothing run failed while putting files in place and could not put
  // every one of them back: the tree is not as it was.
  void NoteTreeNotRestored() { treeRestored_ = false; }
  bool TreeRestored() const { return treeRestored_; }

 private:
  std::string message_;
  unsigned long address_;
  bool treeRestored_ = true;
};

#define RESHAPE_DECLARE_ERROR(Name, Base)                      \
  class Name : public Base {                                   \
   public:                                                     \
    using Base::Base;                                          \
    const char* ClassName() const override { return #Name; }   \
  }

RESHAPE_DECLARE_ERROR(EAssertionFailed, Exception);
RESHAPE_DECLARE_ERROR(EConvertError, Exception);
RESHAPE_DECLARE_ERROR(EParserError, Exception);
RESHAPE_DECLARE_ERROR(EStreamError, Exception);
RESHAPE_DECLARE_ERROR(EFOpenError, EStreamError);
RESHAPE_DECLARE_ERROR(EFCreateError, EStreamError);
RESHAPE_DECLARE_ERROR(EFilerError, EStreamError);
RESHAPE_DECLARE_ERROR(EInvalidImage, EFilerError);
RESHAPE_DECLARE_ERROR(EReadError, EFilerError);
RESHAPE_DECLARE_ERROR(EWriteError, EFilerError);

#undef RESHAPE_DECLARE_ERROR

// Memory ran out where a failure had to be told apart from others.
class EOutOfMemory : public Exception {
 public:
  EOutOfMemory() : Exception("Out of memory") {}
  const char* ClassName() const override { return "EOutOfMemory"; }
};

// Input/output failure of a text file or the console, carrying the platform error code.
class EInOutError : public Exception {
 public:
  explicit EInOutError(int code);
  const char* ClassName() const override { return "EInOutError"; }
};

// Throws EInOutError for any platform error code but 0.
inline void CheckInOut(int code) {
  if (code != 0) throw EInOutError(code);
}

// Platform error codes that the messages above expect.
constexpr int kErrorFileNotFound = 2;
constexpr int kErrorPathNotFound = 3;
constexpr int kErrorTooManyOpenFiles = 4;
constexpr int kErrorAccessDenied = 5;
constexpr int kErrorSharingViolation = 32;
constexpr int kErrorDiskFull = 101;

}  // namespace reshape
