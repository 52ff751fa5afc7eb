// Codec and cutter costs on a 100 MiB message, each against plain zlib or one whole append.

#include <zlib.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <tuple>

#include "file_like_data.h"
#include "messaging/frame.h"
#include "messaging/message_codec.h"
#include "messaging/message_kinds.h"
#include "messaging/message_stack.h"
#include "messaging/string_line.h"
#include "ratio_report.h"

namespace {

constexpr size_t kMessageSize = size_t{100} << 20;
constexpr int kCodecIterations = 3;
constexpr int kCutterIterations = 5;

const std::string& PackedMessage() {
    static const std::string packed = [] {
        px3::TStringLine line;
        line.SetKind(px3::mkCodedParamList);
        line.AddField(5200);
        line.AddField(px3::bench::FileLikeData(kMessageSize - px3::kMessageHeaderSize - 5));
        line.AddField(1);
        return line.Pack();
    }();
    return packed;
}

const std::string& WholeFrame() {
    static const std::string frame = [] {
        std::string payload = px3::bench::FileLikeData(kMessageSize - px3::kFrameLengthSize);
        px3::FrameMessage(payload);
        return payload;
    }();
    return frame;
}

void CodecRoundTrip(benchmark::State& state) {
    px3::TMessageCodec codec;
    codec.SetCompression(px3::acZLib);
    std::string bytes;
    for (auto _ : state) {
        state.PauseTiming();
        bytes = PackedMessage();
        state.ResumeTiming();
        codec.EncodeOutgoing(bytes);
        codec.DecodeIncoming(bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
    if (bytes != PackedMessage()) {
        state.SkipWithError("round trip changed the message");
    }
}

void PlainZlibRoundTrip(benchmark::State& state) {
    const std::string& source = PackedMessage();
    uLongf compressedSize = 0;
    for (auto _ : state) {
        compressedSize = compressBound(source.size());
        std::unique_ptr<Bytef[]> compressed(new Bytef[compressedSize]);
        compress2(compressed.get(), &compressedSize, reinterpret_cast<const Bytef*>(source.data()),
                  source.size(), 1);
        uLongf restoredSize = source.size();
        std::unique_ptr<Bytef[]> restored(new Bytef[restoredSize]);
        uncompress(restored.get(), &restoredSize, compressed.get(), compressedSize);
        benchmark::DoNotOptimize(restored.get());
    }
    state.counters["size_ratio"] = static_cast<double>(source.size()) / compressedSize;
}

void CutterInChunks(benchmark::State& state) {
    const std::string_view frame = WholeFrame();
    for (auto _ : state) {
        px3::TMessageStack stack;
        for (size_t at = 0; at < frame.size(); at += px3::kTransferChunkSize) {
            stack.AppendReceived(frame.substr(at, px3::kTransferChunkSize));
        }
        std::string payload = stack.PopMessage();
        benchmark::DoNotOptimize(payload.data());
    }
}

void CutterWhole(benchmark::State& state) {
    const std::string_view frame = WholeFrame();
    for (auto _ : state) {
        px3::TMessageStack stack;
        stack.AppendReceived(frame);
        std::string payload = stack.PopMessage();
        benchmark::DoNotOptimize(payload.data());
    }
}

std::string Named(const char* name, int iterations) {
    return std::string(name) + "/iterations:" + std::to_string(iterations);
}

}  // namespace

int main(int argc, char** argv) {
    PackedMessage();
    WholeFrame();
    for (auto [name, function, iterations] :
         {std::tuple{"plain_zlib", &PlainZlibRoundTrip, kCodecIterations},
          std::tuple{"codec", &CodecRoundTrip, kCodecIterations},
          std::tuple{"cutter_whole", &CutterWhole, kCutterIterations},
          std::tuple{"cutter_chunks", &CutterInChunks, kCutterIterations}}) {
        benchmark::RegisterBenchmark(name, function)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(iterations);
    }
    px3::bench::CollectingReporter reporter;
    px3::bench::RunAll(argc, argv, reporter);
    px3::bench::PrintRatio("codec_100mb", reporter.Nanoseconds(Named("codec", kCodecIterations)),
                           reporter.Nanoseconds(Named("plain_zlib", kCodecIterations)), 1.15);
    px3::bench::PrintRatio("cutter_split",
                           reporter.Nanoseconds(Named("cutter_chunks", kCutterIterations)),
                           reporter.Nanoseconds(Named("cutter_whole", kCutterIterations)), 2);
    return 0;
}
