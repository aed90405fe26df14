// Throughput of the script reader, of word scanning and of the source rewriters on large
// inputs (CR LF lines unless said otherwise), next to a plain copy of the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "script/change.h"
#include "script/script_reader.h"
#include "source/replace.h"
#include "source/source_renamer.h"
#include "source/text_lines.h"
#include "source/unit_renamer.h"
#include "source/word_scan.h"

namespace reshape {
namespace {

class NullSink : public ChangeSink {
 public:
  void Add(const Change&) override {}
};

class KeepLines : public LineTransform {
 public:
  void TransformLine(std::string&) override {}
};

std::string RenameScript(int count) {
  std::string script;
  for (int i = 0; i < count; ++i)
    script += "RENC>TOld" + std::to_string(i) + ",TNew" + std::to_string(i) + "\r\n";
  return script;
}

// About 70-byte Pascal-like lines, a few of which name a renamed class.
std::string SourceText(std::size_t bytes) {
  std::string text;
  for (int i = 0; text.size() < bytes; ++i)
    text += "  FItem" + std::to_string(i) + ": TOld" + std::to_string(i % 97) +
            "; { field of the form } // (x + y) * z\r\n";
  return text;
}

void BM_ParseScript(benchmark::State& state) {
  const std::string script = RenameScript(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(ParseScript(script));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * script.size()));
}
BENCHMARK(BM_ParseScript)->Arg(100000);

void BM_ScanWords(benchmark::State& state) {
  const std::string text = SourceText(1 << 20);
  std::vector<std::string_view> lines;
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t end = text.find('\r', pos);
    lines.push_back(std::string_view(text).substr(pos, end - pos));
    pos = end + 2;
  }
  std::size_t words = 0;
  for (auto _ : state)
    for (std::string_view line : lines)
      ScanSourceWords(line, [&words](std::size_t, std::size_t) { return ++words != 0; });
  benchmark::DoNotOptimize(words);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ScanWords)->Unit(benchmark::kMillisecond);

void BM_UnitRenames(benchmark::State& state) {
  std::string script;
  for (int i = 0; i < 10; ++i) script += "RENU>Unit" + std::to_string(i) + ",NewUnit" + std::to_string(i) + "\r\n";
  const CommandList commands = ParseScript(script);
  std::string text = "unit Unit1;\r\n\r\ninterface\r\n\r\nuses\r\n  Windows, Unit3, Unit4;\r\n\r\n";
  text += SourceText(1 << 20);
  NullSink changes;
  for (auto _ : state) {
    UnitRenameRules rules(commands, CodePage());
    benchmark::DoNotOptimize(ConvertUnits(text, UnitFileKind::Pascal, rules, changes));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_UnitRenames)->Unit(benchmark::kMillisecond);

void BM_CopySourceBaseline(benchmark::State& state) {
  const std::string text = SourceText(1 << 20);
  std::vector<char> copy(text.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), text.data(), text.size());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_CopySourceBaseline)->Unit(benchmark::kMillisecond);

void BM_RewriteTextUnchanged(benchmark::State& state) {
  const std::string text = SourceText(static_cast<std::size_t>(state.range(0)));
  KeepLines keep;
  for (auto _ : state) benchmark::DoNotOptimize(RewriteText(text, keep));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_RewriteTextUnchanged)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

void BM_RewriteTextUnchangedLf(benchmark::State& state) {
  std::string text;
  for (char c : SourceText(static_cast<std::size_t>(state.range(0))))
    if (c != '\r') text += c;
  KeepLines keep;
  for (auto _ : state) benchmark::DoNotOptimize(RewriteText(text, keep));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_RewriteTextUnchangedLf)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

void BM_SourceRenames(benchmark::State& state) {
  const CommandList commands = ParseScript(RenameScript(static_cast<int>(state.range(0))));
  const std::string text = SourceText(1 << 20);
  NullSink changes;
  for (auto _ : state) {
    SourceRenameRules rules(commands, CodePage());
    SourceLineTransform transform(rules, changes);
    benchmark::DoNotOptimize(RewriteText(text, transform));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_SourceRenames)->Arg(1)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_RenamesOnOneLongLine(benchmark::State& state) {
  // A file without line breaks is a single line: many names over one 10 MB line.
  std::string line;
  for (int i = 0; line.size() < (10u << 20); ++i)
    line += "TOld" + std::to_string(i % 5000) + "\t ";
  const CommandList commands = ParseScript(RenameScript(static_cast<int>(state.range(0))));
  NullSink changes;
  for (auto _ : state) {
    SourceRenameRules rules(commands, CodePage());
    SourceLineTransform transform(rules, changes);
    benchmark::DoNotOptimize(RewriteText(line, transform));
  }
}
BENCHMARK(BM_RenamesOnOneLongLine)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_ReplaceSubstringNoMatch(benchmark::State& state) {
  const std::string original(static_cast<std::size_t>(state.range(0)), 'a');
  const std::string key = std::string(64, 'a') + "b";
  for (auto _ : state) {
    std::string line = original;
    benchmark::DoNotOptimize(ReplaceSubstring(line, key, "x", true, CodePage()));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * original.size()));
}
BENCHMARK(BM_ReplaceSubstringNoMatch)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace reshape
