// Shared pieces of the fuzz targets: the rule that only reshape's own exceptions are acceptable
// failures, a change logger that keeps nothing, and a check that aborts on a broken property.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/errors.h"
#include "script/change.h"

namespace reshape::fuzz {

// The kind and message of the failure that Accepts saw last, for the report of a violation.
inline std::string& LastFailure() {
  static std::string failure;
  return failure;
}

// Runs body; true when it finished, false when it failed with one of reshape's exceptions.
// Any other exception escapes and ends the fuzzer as a finding.
template <typename Body>
bool Accepts(Body&& body) {
  try {
    body();
    return true;
  } catch (const Exception& e) {
    LastFailure() = std::string(e.ClassName()) + ": " + e.Message();
    return false;
  }
}

// A property that must hold for every input: prints what broke and aborts, so the fuzzer keeps
// the input.
inline void Check(bool holds, const char* what, std::string_view detail = {}) {
  if (holds) return;
  std::fprintf(stderr, "fuzz property violated: %s\nlast failure: %s\n%.*s\n", what,
               LastFailure().c_str(), static_cast<int>(detail.size()), detail.data());
  std::abort();
}

// Prints both texts around their first difference before aborting.
inline void CheckSameText(const std::string& expected, const std::string& actual,
                          const char* what) {
  if (expected == actual) return;
  std::size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
  std::size_t from = at > 80 ? at - 80 : 0;
  std::string detail = "first difference at byte " + std::to_string(at) + "\nexpected: " +
                       expected.substr(from, 160) + "\nactual:   " + actual.substr(from, 160);
  Check(false, what, detail);
}

class NullSink : public ChangeSink {
 public:
  void Add(const Change&) override { any = true; }
  bool any = false;  // whether a change was made
};

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace reshape::fuzz
