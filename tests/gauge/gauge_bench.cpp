// The indicator runs at every panel update and the parse once per install: both should cost
// nanoseconds, and the indicator must allocate nothing. Counts heap allocations per iteration.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "gauge/controller.h"
#include "tests/gauge/fake_world.h"

namespace {
size_t allocations = 0;
}

void* operator new(size_t n) {
    ++allocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    std::abort();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

static void BM_Indicator(benchmark::State& state) {
    FakeHost host;
    host.install("engine.wav[50]");
    gauge_press();
    size_t before = allocations;
    for (auto _ : state) benchmark::DoNotOptimize(gauge_indicator());
    state.counters["allocs_per_call"] =
        benchmark::Counter(double(allocations - before) / double(state.iterations()));
}
BENCHMARK(BM_Indicator);

static void BM_Parse(benchmark::State& state) {
    char text[64];
    int32_t percent = 0;
    size_t before = allocations;
    for (auto _ : state) {
        std::memcpy(text, "engine.wav[50]", 15);
        benchmark::DoNotOptimize(gauge_parse_parameters(text, &percent));
        benchmark::DoNotOptimize(gauge_volume_to_attenuation(percent));
    }
    state.counters["allocs_per_call"] =
        benchmark::Counter(double(allocations - before) / double(state.iterations()));
}
BENCHMARK(BM_Parse);

BENCHMARK_MAIN();
