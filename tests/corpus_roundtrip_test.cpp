// Round trips over the real-world corpus (skipped when it is absent). Binary forms go to text
// and are compiled back; the IDE's own text forms are compiled and turned back into text. A line
// may differ only where the text form cannot say it otherwise.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/errors.h"
#include "corpus_files.h"
#include "e2e_harness.h"
#include "forms/extended.h"
#include "forms/form_to_text.h"
#include "forms/resource_header.h"

namespace reshape {
namespace {

namespace fs = std::filesystem;
using e2e::CompileFormText;
using e2e::ReadWholeFile;

std::string ToText(const std::string& formFile) {
  // The stream ends with the root: nothing of the file is left unread.
  std::size_t headerSize = SkipResourceHeader(formFile), consumed = 0;
  std::string text = FormStreamToText(formFile.substr(headerSize), CodePage(), &consumed);
  EXPECT_EQ(headerSize + consumed, formFile.size());
  return text;
}

std::string ThroughBinary(const std::string& text) { return ToText(CompileFormText(text)); }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

void ForEachCorpusFile(const char* sub, const std::function<void(const std::string&)>& check) {
  fs::path dir = e2e::CorpusDir() / sub;
  if (!fs::is_directory(dir)) GTEST_SKIP() << "no corpus at " << dir;
  for (const auto& path : e2e::FilesUnder(dir)) {
    SCOPED_TRACE(path.string());
    check(ReadWholeFile(path));
  }
}

TEST(CorpusRoundTrip, BinaryFormsSurviveTheirText) {
  ForEachCorpusFile("binary", [](const std::string& original) {
    const std::string text = ToText(original);
    const std::string compiled = CompileFormText(text);
    // Headers agree but for the size field.
    const std::size_t headerSize = SkipResourceHeader(original);
    EXPECT_EQ(original.substr(0, headerSize - 4), compiled.substr(0, headerSize - 4));
    // Single and double floats come back as extended ones and lose their letter; from then on
    // the text changes no more.
    const std::string again = ToText(compiled);
    std::vector<std::string> before = Lines(text), after = Lines(again);
    ASSERT_EQ(before.size(), after.size());
    for (std::size_t i = 0; i < before.size(); ++i)
      if (before[i] != after[i] && before[i] != after[i] + "d" && before[i] != after[i] + "s")
        ADD_FAILURE() << "line " << i + 1 << ":\n  " << before[i] << "\n  " << after[i];
    EXPECT_EQ(ThroughBinary(again), again);
  });
}

// The line with every #nnn code of a byte 128-255 written inside quotes as the byte itself,
// quoted runs merged, as this program writes strings.
std::string HighCodesQuoted(const std::string& line) {
  std::string out;
  bool runClosed = false;  // out ends with the quote that closed a run
  auto openRun = [&] { runClosed ? out.pop_back() : out.push_back('\''); };
  for (std::size_t i = 0; i < line.size();) {
    std::size_t j = i + 1;
    if (line[i] == '\'') {
      openRun();
      for (; j < line.size(); ++j) {
        if (line[j] == '\'') {
          if (line.compare(j, 2, "''") != 0) break;
          out += line[j++];
        }
        out += line[j];
      }
      out += '\'';
      i = j + 1;
      runClosed = true;
      continue;
    }
    while (line[i] == '#' && j < line.size() && std::isdigit(static_cast<unsigned char>(line[j]))) ++j;
    int code = line[i] == '#' && j > i + 1 && j - i <= 4 ? std::stoi(line.substr(i + 1, j - i - 1)) : -1;
    if (code >= 128 && code <= 255) {
      openRun();
      out += static_cast<char>(code);
      out += '\'';
      runClosed = true;
    } else {
      out.append(line, i, j - i);
      runClosed = false;
    }
    i = j;
  }
  return out;
}

// A float as newer IDE versions write it, with 18 decimals or a "d" suffix: it reads back as
// the float text of its value.
bool IsNewerFloatLine(const std::string& original, const std::string& back) {
  std::size_t eq = original.find(" = ");
  if (eq == std::string::npos || back.compare(0, eq + 3, original, 0, eq + 3) != 0) return false;
  std::string value = original.substr(eq + 3);
  std::size_t dot = value.find('.');
  bool suffix = !value.empty() && value.back() == 'd';
  if (!suffix && (dot == std::string::npos || value.size() - dot - 1 != 18)) return false;
  if (suffix) value.pop_back();
  long double x = 0;
  return TextToExtended(value, x) && back.substr(eq + 3) == FloatToText(x);
}

TEST(CorpusRoundTrip, TextFormsSurviveTheBinaryForm) {
  ForEachCorpusFile("text", [](std::string original) {
    if (original.starts_with("\xEF\xBB\xBF")) original.erase(0, 3);
    if (original.find("\r\n") == std::string::npos) {
      std::string crlf;
      for (char c : original) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
      original = crlf;
    }
    if (!original.ends_with("\r\n")) original += "\r\n";
    std::string back;
    try {
      back = ThroughBinary(original);
    } catch (const Exception& e) {
      FAIL() << e.ClassName() << ": " << e.Message();
    }
    std::vector<std::string> a = Lines(original), b = Lines(back);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i)
      if (a[i] != b[i] && !IsNewerFloatLine(a[i], b[i]) && HighCodesQuoted(a[i]) != b[i])
        ADD_FAILURE() << "line " << i + 1 << ":\n  " << a[i] << "\n  " << b[i];
  });
}

}  // namespace
}  // namespace reshape
