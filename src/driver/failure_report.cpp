#include "driver/failure_report.h"

#include <cstdint>
#include <cstdio>
#include <exception>
#include <new>
#include <utility>

namespace reshape {

namespace {

// A code address is printed as its distance from this function, the same in every run of one
// build whatever address the loader chose, as if the program were loaded at 0x400000.
[[gnu::noinline]] void AddressAnchor() {}

unsigned long PrintedAddress(std::uintptr_t origin) {
  const auto anchor = reinterpret_cast<std::uintptr_t>(&AddressAnchor);
  return static_cast<unsigned long>((origin - anchor + 0x00400000) & 0xFFFFFFFFu);
}

// By CommandKind, the syntax a malformed line is reported with (DELP has no malformed form).
constexpr std::string_view kCommandSyntax[] = {
    "RENC>TOldClassName,TNewClassName 137", "RENP>TSomeClass.OldPropName,NewPropName 143", "",
    "PSET>TSomeClassName:OldPropName=PropValue,SetName[NewPropSetValue] 167",
    "RENU>OldUnitName,NewUnitName 176", "PKGR>OldPackageName,NewPackageName 183",
    "RENS>OldString,NewString 189"};

// By FailureKind: the name and the message, in which "%s" stands for the failure's text.
constexpr std::pair<std::string_view, std::string_view> kTexts[] = {
    {"EAssertionFailed", "Syntax error: %s)"},
    {"EAssertionFailed", "Script file is UTF-16; save it as ANSI or UTF-8"},
    {"EConvertError", "'%s' is not a valid integer value"},
    {"EConvertError", "'%s' is not a valid floating point value"},
    {"EParserError", "%s"}, {"EInvalidImage", "Invalid stream format"},
    {"EReadError", "Invalid stream format"}, {"EReadError", "Invalid property value"},
    {"EReadError", "Stream read error"}, {"EReadError", "Nesting too deep"},
    {"EWriteError", "Stream write error"}, {"EFOpenError", "Cannot open file %s"},
    {"EFCreateError", "Cannot create file %s"}, {"EInOutError", "%s"},
    {"EOutOfMemory", "Out of memory"}};

// The message of an input/output failure: the number the system of the IDE's era gave it, and
// for some numbers a text of their own ("I/O error 87", "File not found").
std::string InOutErrorMessage(int ioError) {
  constexpr int kCodes[] = {0, 2, 3, 4, 5, 32, 101, 87, 8, 31};
  constexpr std::pair<int, std::string_view> kOwnTexts[] = {
      {2, "File not found"}, {3, "Invalid filename"}, {4, "Too many open files"},
      {5, "File access denied"}, {100, "Read beyond end of file"}, {101, "Disk full"},
      {106, "Invalid numeric input"}};
  const int code = ioError >= kSystemError ? ioError - kSystemError : kCodes[ioError];
  for (const auto& [number, text] : kOwnTexts)
    if (number == code) return std::string(text);
  return "I/O error " + std::to_string(code);
}

}  // namespace

FailureText TextOf(const Failure& failure) {
  const auto& [name, form] = kTexts[static_cast<int>(failure.Kind())];
  std::string text = failure.Text();
  if (failure.Kind() == FailureKind::kInputOutput) text = InOutErrorMessage(failure.Number());
  if (failure.Kind() == FailureKind::kScriptSyntax) {
    text = kCommandSyntax[failure.Number()];
    text.replace(text.rfind(' '), 1, " (N:\\Builds\\Common\\Reshape, line ");
  }
  if (failure.Kind() == FailureKind::kFormTextSyntax)
    text += " on line " + std::to_string(failure.Number());
  std::string message(form);
  if (const std::size_t at = message.find("%s"); at != std::string::npos) message.replace(at, 2, text);
  return {name, std::move(message)};
}

std::string FailureReport(std::string_view kind, std::string_view moduleName,
                          unsigned long address, std::string_view message) {
  char hex[17];
  std::snprintf(hex, sizeof hex, "%08lX", address);
  std::string report = "Exception ";
  report.append(kind).append(" in module ").append(moduleName).append(" at ").append(hex);
  report.append(".\n").append(message);
  if (!message.empty() && message.back() != '.') report += '.';
  report += '\n';
  return report;
}

std::string ReportCurrentFailure(std::string_view moduleName) {
  try {
    throw;
  } catch (const Failure& failure) {
    const FailureText text = TextOf(failure);
    const bool memory = failure.Kind() == FailureKind::kOutOfMemory;
    return FailureReport(text.name, moduleName, memory ? 0 : PrintedAddress(failure.Origin()),
                         text.message);
  } catch (const std::bad_alloc&) {
    return FailureReport("EOutOfMemory", moduleName, 0, "Out of memory");
  } catch (const std::exception& failure) {
    return FailureReport("Exception", moduleName, 0, failure.what());
  }
}

bool CurrentFailureLeftTreeAsItWas() {
  try {
    throw;
  } catch (const Failure& failure) {
    return failure.TreeRestored();
  } catch (...) {
    return true;
  }
}

}  // namespace reshape
