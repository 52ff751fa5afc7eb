#include <benchmark/benchmark.h>

#include <cstdio>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <cstring>
#include <string>

#include "params/param_list.h"
#include "ratio_report.h"

// Writing and reading parameter lists as wire text: one whole-file value against a plain copy of
// the same bytes, and many small items per item.

namespace {

constexpr size_t kBigValueSize = 100 * 1024 * 1024;
constexpr int kSmallItemCount = 100'000;

void Memcpy100MiB(benchmark::State& state) {
    const std::string source(kBigValueSize, 'x');
    std::string dest(kBigValueSize, '\0');
    for (auto _ : state) {
        std::memcpy(dest.data(), source.data(), kBigValueSize);
        benchmark::DoNotOptimize(dest.data());
        benchmark::ClobberMemory();
    }
}

void WireWriteRead100MiB(benchmark::State& state) {
    px3::TParamList list;
    list.Add().SetAsBlob(std::string(kBigValueSize, 'x'));
    for (auto _ : state) {
        const std::string text = list.GetWireText(false);
        auto read = px3::TParamList::CreateFromWireText(text, 0);
        benchmark::DoNotOptimize(read->GetItem(0).DataLength());
    }
}

void WireWriteReadSmallItems(benchmark::State& state) {
    px3::TParamList list;
    char name[32];
    for (int i = 0; i < kSmallItemCount; ++i) {
        std::snprintf(name, sizeof name, "ItemName%08d", i);
        list.AddTypedParam(px3::TFieldType::ftString, name, px3::TParamType::ptInput)
            .SetAsString(std::string(name).replace(0, 4, "Valu"));
    }
    for (auto _ : state) {
        const std::string text = list.GetWireText(false);
        auto read = px3::TParamList::CreateFromWireText(text, 0);
        benchmark::DoNotOptimize(read->Count());
    }
}

BENCHMARK(Memcpy100MiB)->Unit(benchmark::kMillisecond);
BENCHMARK(WireWriteRead100MiB)->Unit(benchmark::kMillisecond);
BENCHMARK(WireWriteReadSmallItems)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
#if defined(__GLIBC__)
    // Freed blocks stay with the process instead of going back to the kernel after every
    // iteration, so the figures measure the copies the code makes rather than the kernel
    // handing out fresh zeroed pages, which on the virtual machines here costs several times
    // the copy itself.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
    px3::bench::CollectingReporter reporter;
    px3::bench::RunAll(argc, argv, reporter);
    px3::bench::PrintRatio("wire_100mb", reporter.Nanoseconds("WireWriteRead100MiB"),
                           reporter.Nanoseconds("Memcpy100MiB"), 4);
    std::printf("wire_small_items: ns_per_item=%.1f goal<=300\n",
                reporter.Nanoseconds("WireWriteReadSmallItems") / kSmallItemCount);
    return 0;
}
