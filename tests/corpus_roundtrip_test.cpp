// Round trips over the real-world corpus. Binary forms go to text and are compiled back; the
// IDE's own text forms are compiled and turned back into text. Every difference must be one
// that the text form cannot express (or that newer IDE versions write outside it); such
// differences are counted by reason and printed, any other one fails the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "corpus_files.h"
#include "e2e_harness.h"

#include "forms/extended.h"
#include "forms/form_stream.h"
#include "forms/form_to_text.h"
#include "forms/resource_header.h"
#include "base/errors.h"

namespace reshape {
namespace {

namespace fs = std::filesystem;

using e2e::CompileFormText;
using e2e::CorpusDir;
using e2e::FilesUnder;
using e2e::ReadWholeFile;

std::string ToText(const std::string& formFile) {
  // The stream ends with the root: nothing of the file is left unread.
  std::size_t headerSize = SkipResourceHeader(formFile), consumed = 0;
  std::string text = FormStreamToText(formFile.substr(headerSize), CodePage(), &consumed);
  EXPECT_EQ(headerSize + consumed, formFile.size());
  return text;
}

// Compiles text with no rules into a form stream and turns that back into text.
std::string ThroughBinary(const std::string& text) {
  return FormFileToText(CompileFormText(text), CodePage());
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

using Reasons = std::map<std::string, int>;

void Report(const char* title, const Reasons& counts) {
  std::cout << title << "\n";
  for (const auto& [reason, count] : counts) std::cout << "  " << count << "  " << reason << "\n";
}

// Runs check over every file below the corpus folder sub (skipping when there is no corpus),
// prints the reasons each differing file gave, then the totals under title.
void ForEachCorpusFile(const char* sub, const char* title,
                       const std::function<void(const fs::path&, Reasons&, bool&)>& check) {
  fs::path dir = CorpusDir() / sub;
  if (!fs::is_directory(dir)) GTEST_SKIP() << "no corpus at " << dir;
  Reasons totals;
  int identical = 0;
  int files = 0;
  for (const auto& path : FilesUnder(dir)) {
    SCOPED_TRACE(path.string());
    ++files;
    Reasons found;
    bool same = false;
    check(path, found, same);
    if (same) {
      ++identical;
      continue;
    }
    std::cout << path.lexically_relative(dir).string() << ":";
    for (const auto& [reason, count] : found) {
      totals[reason] += count;
      std::cout << " " << count << " x " << reason << ";";
    }
    std::cout << "\n";
  }
  ASSERT_GT(files, 0);
  std::cout << identical << " of " << files << " " << sub
            << " forms identical after the round trip\n";
  Report(title, totals);
}

// One value as stored: tag and payload bytes (strings and sets without their length bytes).
struct StoredValue {
  std::uint8_t tag = 0;
  std::string payload;
};

bool IsIntegerTag(std::uint8_t tag) { return tag == TagInt8 || tag == TagInt16 || tag == TagInt32; }

std::int64_t LittleEndian(const std::string& bytes) {
  std::uint64_t value = 0;
  for (std::size_t i = bytes.size(); i-- > 0;)
    value = value << 8 | static_cast<std::uint8_t>(bytes[i]);
  // Sign-extend from the payload's width.
  unsigned shift = 64 - 8 * static_cast<unsigned>(bytes.size());
  return shift == 0 ? static_cast<std::int64_t>(value)
                    : static_cast<std::int64_t>(value << shift) >> shift;
}

long double NumberOf(const StoredValue& v) {
  if (IsIntegerTag(v.tag)) return static_cast<long double>(LittleEndian(v.payload));
  ExtendedBytes ext{};
  switch (v.tag) {
    case TagExtended:
      std::copy(v.payload.begin(), v.payload.end(), ext.begin());
      return BytesToExtended(ext);
    case TagSingle:
      return std::bit_cast<float>(static_cast<std::uint32_t>(LittleEndian(v.payload)));
    case TagDouble:
      return std::bit_cast<double>(static_cast<std::uint64_t>(LittleEndian(v.payload)));
    default:
      return static_cast<long double>(LittleEndian(v.payload));  // currency: stored integer
  }
}

std::u16string UnitsOf(const StoredValue& v) {
  std::u16string units;
  if (v.tag == TagWideString) {
    for (std::size_t i = 0; i + 1 < v.payload.size(); i += 2)
      units += static_cast<char16_t>(static_cast<std::uint8_t>(v.payload[i]) |
                                     static_cast<std::uint8_t>(v.payload[i + 1]) << 8);
  } else {
    for (char c : v.payload) units += static_cast<char16_t>(static_cast<std::uint8_t>(c));
  }
  return units;
}

// What the text form makes of a float: its 15-digit text read back.
long double ThroughFloatText(long double value) {
  long double back = 0;
  EXPECT_TRUE(TextToExtended(FloatToText(value), back)) << FloatToText(value);
  return back;
}

bool SameBits(long double a, long double b) { return ExtendedToBytes(a) == ExtendedToBytes(b); }

// The reason why compiled differs from original, or "" when the text form should have carried it.
std::string Classify(const StoredValue& original, const StoredValue& compiled) {
  const std::uint8_t from = original.tag;
  const std::uint8_t to = compiled.tag;
  if (from == TagExtended && IsIntegerTag(to)) {
    long double x = NumberOf(original);
    if (x == std::floor(x) && x == NumberOf(compiled)) return "whole-number float -> integer tag";
  }
  if ((from == TagSingle || from == TagDouble) && to == TagExtended &&
      SameBits(NumberOf(compiled), ThroughFloatText(NumberOf(original))))
    return from == TagSingle ? "TagSingle -> TagExtended" : "TagDouble -> TagExtended";
  if (from == TagExtended && to == TagExtended && std::isfinite(NumberOf(original)) &&
      SameBits(NumberOf(compiled), ThroughFloatText(NumberOf(original))))
    return "float needing more than 15 significant digits";
  if (from == TagCurrency && to == TagCurrency &&
      NumberOf(compiled) == std::llroundl(ThroughFloatText(NumberOf(original))))
    return "currency needing more than 15 significant digits";
  if (from == TagWideString && (to == TagString || to == TagLongString) &&
      UnitsOf(original) == UnitsOf(compiled))
    return "wide string whose units all fit a byte -> TagString";
  if (from == TagLongString && to == TagString && original.payload == compiled.payload)
    return "TagLongString under 256 bytes -> TagString";
  return "";
}

class StreamComparer {
 public:
  StreamComparer(FormReader& original, FormReader& compiled) : a_(original), b_(compiled) {}

  // False once the two streams cannot be walked side by side any more.
  bool Object(const std::string& where) {
    StoredValue pa = Prefix(a_), pb = Prefix(b_);
    std::string classA(a_.ReadShortString()), classB(b_.ReadShortString());
    std::string nameA(a_.ReadShortString()), nameB(b_.ReadShortString());
    std::string here = where + "/" + nameA + ":" + classA;
    if (pa.tag != pb.tag || pa.payload != pb.payload || classA != classB || nameA != nameB)
      return Fault(here, "object header differs");
    if (!Properties(here)) return false;
    while (!a_.AtEndMarker()) {
      if (b_.AtEndMarker()) return Fault(here, "child missing");
      if (!Object(here)) return false;
    }
    if (!b_.AtEndMarker()) return Fault(here, "extra child");
    a_.ExpectEndMarker();
    b_.ExpectEndMarker();
    return true;
  }

  Reasons reasons;
  std::vector<std::string> faults;

 private:
  // The prefix byte as tag (0 for none) and the child position's stored bytes.
  static StoredValue Prefix(FormReader& r) {
    StoredValue prefix;
    if ((r.PeekTag() & 0xF0) != 0xF0) return prefix;
    prefix.tag = r.ReadTag();
    if (prefix.tag & PrefixChildPos) {
      StoredValue pos = Read(r);
      prefix.payload = static_cast<char>(pos.tag) + pos.payload;
    }
    return prefix;
  }

  static StoredValue Read(FormReader& r) {
    StoredValue v;
    v.tag = r.ReadTag();
    auto take = [&](std::size_t n) { v.payload += r.ReadBytes(n); };
    static const std::map<std::uint8_t, std::size_t> kFixedSizes = {
        {TagNull, 0},     {TagFalse, 0},  {TagTrue, 0},     {TagNil, 0},
        {TagInt8, 1},     {TagInt16, 2},  {TagInt32, 4},    {TagSingle, 4},
        {TagCurrency, 8}, {TagDouble, 8}, {TagExtended, 10}};
    if (auto fixed = kFixedSizes.find(v.tag); fixed != kFixedSizes.end()) {
      take(fixed->second);
    } else if (v.tag == TagString || v.tag == TagIdent) {
      v.payload = r.ReadShortString();
    } else if (v.tag == TagLongString || v.tag == TagBinary) {
      take(r.ReadCount());
    } else if (v.tag == TagWideString) {
      take(2 * std::size_t{r.ReadCount()});
    } else if (v.tag == TagSet) {
      for (std::string element; !(element = r.ReadShortString()).empty();)
        v.payload += element + ",";
    } else {
      throw EReadError("Invalid property value");
    }
    return v;
  }

  bool Properties(const std::string& where) {
    while (!a_.AtEndMarker()) {
      if (b_.AtEndMarker()) return Fault(where, "property missing");
      std::string name(a_.ReadShortString());
      if (b_.ReadShortString() != name) return Fault(where + "." + name, "property name differs");
      if (!Value(where + "." + name)) return false;
    }
    if (!b_.AtEndMarker()) return Fault(where, "extra property");
    a_.ExpectEndMarker();
    b_.ExpectEndMarker();
    return true;
  }

  bool Value(const std::string& where) {
    std::uint8_t ta = a_.PeekTag(), tb = b_.PeekTag();
    if (ta == TagList || ta == TagCollection || tb == TagList || tb == TagCollection) {
      if (ta != tb) return Fault(where, "list or collection differs");
      a_.ReadTag();
      b_.ReadTag();
      for (int i = 0; !a_.AtEndMarker(); ++i) {
        if (b_.AtEndMarker()) return Fault(where, "element missing");
        std::string item = where + "[" + std::to_string(i) + "]";
        if (ta == TagList) {
          if (!Value(item)) return false;
          continue;
        }
        if (IsIntegerTag(a_.PeekTag()) || IsIntegerTag(b_.PeekTag()))
          if (!Value(item + " index")) return false;
        a_.ExpectTag(TagList);
        b_.ExpectTag(TagList);
        if (!Properties(item)) return false;
      }
      if (!b_.AtEndMarker()) return Fault(where, "extra element");
      a_.ExpectEndMarker();
      b_.ExpectEndMarker();
      return true;
    }
    StoredValue va = Read(a_), vb = Read(b_);
    if (va.tag == vb.tag && va.payload == vb.payload) return true;
    std::string reason = Classify(va, vb);
    if (reason.empty())
      return Fault(where, "value differs (tag " + std::to_string(va.tag) + " -> " +
                              std::to_string(vb.tag) + ")");
    ++reasons[reason];
    return true;
  }

  bool Fault(const std::string& where, const std::string& what) {
    faults.push_back(where + ": " + what);
    return false;
  }

  FormReader& a_;
  FormReader& b_;
};

TEST(CorpusRoundTrip, BinaryFormsSurviveTheirText) {
  auto check = [](const fs::path& path, Reasons& found, bool& same) {
    const std::string original = ReadWholeFile(path);
    const std::string text = ToText(original);
    const std::string compiled = CompileFormText(text);
    // Text -> binary -> text keeps the text, but for the suffix of single and double floats,
    // which come back as extended ones; from then on it changes nothing.
    const std::string again = ToText(compiled);
    std::vector<std::string> before = Lines(text), after = Lines(again);
    ASSERT_EQ(before.size(), after.size());
    for (std::size_t i = 0; i < before.size(); ++i)
      if (before[i] != after[i] && before[i] != after[i] + "d" && before[i] != after[i] + "s")
        ADD_FAILURE() << "text line " << i + 1 << " changed:\n  " << before[i] << "\n  "
                      << after[i];
    EXPECT_EQ(ThroughBinary(again), again);
    if (compiled == original) {
      same = true;
      return;
    }
    // Headers agree but for the size field.
    const std::size_t headerSize = SkipResourceHeader(original);
    ASSERT_EQ(headerSize, SkipResourceHeader(compiled));
    EXPECT_EQ(original.substr(0, headerSize - 4), compiled.substr(0, headerSize - 4));
    {
      FormReader ra(std::string_view(original).substr(headerSize));
      FormReader rb(std::string_view(compiled).substr(headerSize));
      ra.CheckSignature();
      rb.CheckSignature();
      StreamComparer comparer(ra, rb);
      bool walked = comparer.Object("");
      for (const auto& fault : comparer.faults) ADD_FAILURE() << fault;
      if (walked) {
        EXPECT_EQ(headerSize + ra.Position(), original.size());
        EXPECT_EQ(headerSize + rb.Position(), compiled.size());
      }
      found = comparer.reasons;
    }
    EXPECT_FALSE(found.empty()) << "bytes differ without a differing value";
  };
  ForEachCorpusFile("binary", "Values the text form cannot carry:", check);
}

// The line with every #nnn code of a byte 128-255 written inside quotes as the byte itself,
// quoted runs merged, as this system writes strings.
std::string HighCodesQuoted(const std::string& line) {
  std::string out;
  bool runJustClosed = false;  // out ends with the quote that closed a run
  auto openRun = [&] {
    if (runJustClosed)
      out.pop_back();
    else
      out += '\'';
  };
  for (std::size_t i = 0; i < line.size();) {
    if (line[i] == '\'') {
      openRun();
      for (++i; i < line.size(); ++i) {
        if (line[i] == '\'') {
          if (i + 1 < line.size() && line[i + 1] == '\'') {
            out += "''";
            ++i;
            continue;
          }
          break;
        }
        out += line[i];
      }
      out += '\'';
      ++i;
      runJustClosed = true;
      continue;
    }
    if (line[i] == '#') {
      std::size_t j = i + 1;
      while (j < line.size() && std::isdigit(static_cast<unsigned char>(line[j]))) ++j;
      int code = j > i + 1 && j - i <= 4 ? std::stoi(line.substr(i + 1, j - i - 1)) : -1;
      if (code >= 128 && code <= 255) {
        openRun();
        out += static_cast<char>(code);
        out += '\'';
        runJustClosed = true;
        i = j;
        continue;
      }
      out.append(line, i, j - i);
      runJustClosed = false;
      i = j;
      continue;
    }
    out += line[i++];
    runJustClosed = false;
  }
  return out;
}

// A float value as newer IDE versions write it: 18 fixed decimals or a "d" suffix, which reads
// back as the float text of its value.
bool IsNewerFloatLine(const std::string& original, const std::string& back) {
  std::size_t eq = original.find(" = ");
  if (eq == std::string::npos || back.compare(0, eq + 3, original, 0, eq + 3) != 0) return false;
  std::string value = original.substr(eq + 3);
  std::size_t dot = value.find('.');
  bool suffix = !value.empty() && value.back() == 'd';
  bool fixed18 = dot != std::string::npos && value.size() - dot - 1 == 18;
  if (!suffix && !fixed18) return false;
  if (suffix) value.pop_back();
  long double x = 0;
  return TextToExtended(value, x) && back.substr(eq + 3) == FloatToText(x);
}

TEST(CorpusRoundTrip, TextFormsSurviveTheBinaryForm) {
  auto check = [](const fs::path& path, Reasons& found, bool& same) {
    std::string original = ReadWholeFile(path);
    if (original.starts_with("\xEF\xBB\xBF")) {
      original.erase(0, 3);
      ++found["byte-order mark"];
    }
    if (original.find("\r\n") == std::string::npos) {
      std::string crlf;
      for (char c : original) {
        if (c == '\n') crlf += '\r';
        crlf += c;
      }
      original = crlf;
    }
    if (!original.ends_with("\r\n")) {
      original += "\r\n";
      ++found["no line break after the last line"];
    }
    std::string back;
    try {
      back = ThroughBinary(original);
    } catch (const Exception& e) {
      ADD_FAILURE() << e.ClassName() << ": " << e.Message();
      return;
    }
    if (back == original && found.empty()) {
      same = true;
      return;
    }
    std::vector<std::string> a = Lines(original), b = Lines(back);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (a[i] == b[i]) continue;
      if (IsNewerFloatLine(a[i], b[i]))
        ++found["float with 18 fixed decimals or a d suffix"];
      else if (HighCodesQuoted(a[i]) == b[i])
        ++found["bytes 128-255 written as #nnn"];
      else
        ADD_FAILURE() << "line " << i + 1 << " differs:\n  " << a[i] << "\n  " << b[i];
    }
  };
  ForEachCorpusFile("text", "Written by newer IDE versions outside this text form:", check);
}

}  // namespace
}  // namespace reshape
