// Throughput of the text form tokenizer and of the form compiler, in bytes of text form and of
// binary form, on the large built form and on a generated 2 MB form file, next to a plain copy.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "forms/form_compiler.h"
#include "forms/form_to_text.h"
#include "forms/tokenizer.h"
#include "large_form.h"
#include "script/change.h"
#include "tools/form_generator.h"

namespace reshape {
namespace {

class NullSink : public ChangeSink {
 public:
  void Add(const Change&) override {}
};

struct FormSample {
  std::string binary;  // the form stream, from its signature on
  std::string text;
};

FormSample MakeSample(const std::string& binary) {
  FormSample sample{binary, {}};
  sample.text = FormStreamToText(binary, CodePage());
  return sample;
}

// 0: the built form of many small controls; 1: a generated 2 MB form with images.
const FormSample& Sample(std::int64_t which) {
  static const FormSample built = MakeSample(bench::Form());
  static const FormSample generated = [] {
    bench::Random random(7);
    const bench::Vocabulary vocabulary(7);
    const std::string file = bench::FormFile(random, vocabulary, 1, 2'000'000);
    return MakeSample(file.substr(file.find("TPF0")));
  }();
  return which == 0 ? built : generated;
}

void BM_Tokenize(benchmark::State& state) {
  const FormSample& sample = Sample(state.range(0));
  std::size_t tokens = 0;
  for (auto _ : state) {
    Tokenizer parser(sample.text);
    while (parser.Token() != TokEnd) {
      parser.Advance();
      ++tokens;
    }
  }
  benchmark::DoNotOptimize(tokens);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * sample.text.size()));
}
BENCHMARK(BM_Tokenize)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Bytes are counted in binary form, the measure of the compiler's goal.
void BM_CompileForm(benchmark::State& state) {
  const FormSample& sample = Sample(state.range(0));
  const CommandList commands;
  NullSink changes;
  ChangeSink& run = changes;
  const FormRules rules(commands);
  for (auto _ : state) {
    std::string compiled;
    CompileFormStream(sample.text, rules, run, compiled);
    benchmark::DoNotOptimize(compiled.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * sample.binary.size()));
}
BENCHMARK(BM_CompileForm)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FormToTextGenerated(benchmark::State& state) {
  const FormSample& sample = Sample(1);
  for (auto _ : state) {
    std::string text = FormStreamToText(sample.binary, CodePage());
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * sample.binary.size()));
}
BENCHMARK(BM_FormToTextGenerated)->Unit(benchmark::kMillisecond);

// The form pass's conversions (to text, then compiled back, copying the original values) on a
// generated 2 MB form file: 0 with wide strings (tag 18) and 32-bit integers, 1 the same values
// as a newer IDE writes them (UTF-8 strings, tag 20; 64-bit integers, tag 19).
void BM_FormPassGenerated(benchmark::State& state) {
  static const std::string files[2] = {[] {
    bench::Random random(7);
    return bench::FormFile(random, bench::Vocabulary(7), 1, 2'000'000, false);
  }(), [] {
    bench::Random random(7);
    return bench::FormFile(random, bench::Vocabulary(7), 1, 2'000'000, true);
  }()};
  const std::string& file = files[state.range(0)];
  const CommandList commands;
  NullSink changes;
  ChangeSink& run = changes;
  const FormRules rules(commands);
  for (auto _ : state) {
    std::string compiled = ConvertFormFile(file, rules, run);
    benchmark::DoNotOptimize(compiled.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_FormPassGenerated)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_CopyTextBaseline(benchmark::State& state) {
  const FormSample& sample = Sample(state.range(0));
  std::vector<char> copy(sample.text.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), sample.text.data(), sample.text.size());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * sample.text.size()));
}
BENCHMARK(BM_CopyTextBaseline)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace reshape
