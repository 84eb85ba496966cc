#include "number_checks.h"

#include <benchmark/benchmark.h>

namespace {

// Twenty characters as a user types them, separators included.
constexpr const char* kVatEntry = "GB 123 4567 82 (UK) ";
constexpr const char* kCardEntry = "4111 1111 1111 1111 ";

void BM_CheckVat(benchmark::State& state) {
    std::string_view entry = kVatEntry;
    for (auto _ : state) {
        benchmark::DoNotOptimize(entry);
        benchmark::DoNotOptimize(pelmora::CheckVat(entry));
    }
}
BENCHMARK(BM_CheckVat);

void BM_CheckCC(benchmark::State& state) {
    std::string_view entry = kCardEntry;
    for (auto _ : state) {
        benchmark::DoNotOptimize(entry);
        benchmark::DoNotOptimize(pelmora::CheckCC(entry));
    }
}
BENCHMARK(BM_CheckCC);

}  // namespace

BENCHMARK_MAIN();
