// Throughput of the binary-to-text form conversion on a large form built like real ones (many
// controls with integer, identifier, set and string properties, string lists, collections and
// image data), next to a plain copy of the same bytes as the baseline.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "forms/form_to_text.h"
#include "large_form.h"

namespace reshape {
namespace {

using bench::Form;

void BM_FormStreamToText(benchmark::State& state) {
  const std::string& form = Form();
  for (auto _ : state) {
    std::string text = FormStreamToText(form, CodePage());
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * form.size()));
}
BENCHMARK(BM_FormStreamToText)->Unit(benchmark::kMillisecond);

void BM_CopyBaseline(benchmark::State& state) {
  const std::string& form = Form();
  std::vector<char> copy(form.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), form.data(), form.size());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * form.size()));
}
BENCHMARK(BM_CopyBaseline)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace reshape
