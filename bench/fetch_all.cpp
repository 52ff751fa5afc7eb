// Fetching a whole client file set of 1000 files and 100 MiB from our central server over
// loopback: the client's CPU time from the send to the reply list in hand against plain zlib
// uncompress of the same compressed reply plus one memcpy of 100 MiB, and the client's peak
// memory growth during the request against 100 MiB.

#include <zlib.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "file_like_data.h"
#include "messaging/client_socket.h"
#include "messaging/session_application.h"
#include "messaging/zlib_stream.h"
#include "platform/event_loop.h"
#include "ratio_report.h"

namespace {

namespace fs = std::filesystem;

constexpr size_t kFileCount = 1000;
constexpr size_t kTotalSize = size_t{100} << 20;
constexpr int kIterations = 3;
constexpr int32_t kWholeClientCode = 5200;

// Writes kFileCount files of varied sizes, kTotalSize bytes in all, in a few folders.
void WriteClientFiles(const fs::path& root) {
    std::mt19937_64 random(20240601);
    std::vector<double> weights(kFileCount);
    double sum = 0;
    for (double& weight : weights) {
        weight = 0.2 + static_cast<double>(random() % 1000) / 500.0;
        sum += weight;
    }
    size_t written = 0;
    for (size_t i = 0; i < kFileCount; ++i) {
        const size_t size = i + 1 == kFileCount
                                ? kTotalSize - written
                                : static_cast<size_t>(weights[i] / sum * kTotalSize);
        const fs::path folder = root / ("Folder" + std::to_string(i % 7));
        fs::create_directories(folder);
        std::string data;
        px3::bench::AppendFileLikeData(data, size, random);
        std::ofstream(folder / ("File" + std::to_string(i) + ".dat"), std::ios::binary)
            .write(data.data(), static_cast<std::streamsize>(data.size()));
        written += size;
    }
}

// Our central server, started as a process of its own on a free port of the loopback.
class ServerProcess {
  public:
    ServerProcess(const fs::path& program, const fs::path& root, const fs::path& work)
        : log_(work / "server.log"), pid_file_(work / "server.pid") {
        const std::string command = "'" + program.string() + "' --root '" + root.string() +
                                    "' --port 0 --user bench --password bench --app bench >'" +
                                    log_.string() + "' 2>&1 & echo $! >'" + pid_file_.string() +
                                    "'";
        if (std::system(command.c_str()) != 0) {
            throw std::runtime_error("cannot start " + program.string());
        }
        for (int attempt = 0; attempt < 500 && port_ == 0; ++attempt) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            std::ifstream log(log_);
            std::string word;
            if (log >> word && word == "listening" && log >> word && word == "on") {
                log >> port_;
            }
        }
        if (port_ == 0) {
            Stop();
            throw std::runtime_error("the central server did not start");
        }
    }
    ~ServerProcess() { Stop(); }

    int Port() const { return port_; }

  private:
    void Stop() {
        std::ifstream pid(pid_file_);
        std::string number;
        if (pid >> number) {
            const std::string command = "kill " + number + " 2>/dev/null; true";
            if (std::system(command.c_str()) != 0) {
                std::fprintf(stderr, "could not stop the central server\n");
            }
        }
    }

    fs::path log_;
    fs::path pid_file_;
    int port_ = 0;
};

class BenchApplication : public px3::TSessionApplication {
  public:
    void Terminate() override { terminated_ = true; }
    bool Terminated() const override { return terminated_; }
    void ShowMessage(const std::string& text) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
    }
    void HandleException(const std::exception& error) override {
        std::fprintf(stderr, "error: %s\n", error.what());
    }
    void ProcessMessages() override {}
    std::string ExeName() const override { return "bench_fetch_all"; }

  private:
    bool terminated_ = false;
};

// A field of /proc/self/status in bytes ("VmRSS", "VmHWM").
int64_t ProcessMemory(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0) {
            std::istringstream value(line.substr(field.size() + 1));
            int64_t kilobytes = 0;
            value >> kilobytes;
            return kilobytes * 1024;
        }
    }
    return 0;
}

// Sets the peak resident size back to the current one.
void ResetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

size_t ContentBytes(const px3::TParamList& list) {
    size_t total = 0;
    for (int32_t i = 0; i < list.Count(); ++i) {
        total += list.Items(i).DataLength();
    }
    return total;
}

struct Fixture {
    px3::EventLoop loop;
    BenchApplication application;
    px3::TClientSocket session{loop, application};
    // The compressed payload of the last large frame received.
    std::string payload;
    size_t unpacked_size = 0;
    double peak_growth = 0;
};

Fixture* fixture = nullptr;

std::unique_ptr<px3::TParamList> FetchAll() {
    px3::TParamList empty;
    std::unique_ptr<px3::TParamList> reply =
        fixture->session.RequestCodedParamList(kWholeClientCode, &empty);
    if (!reply || reply->Count() != static_cast<int32_t>(kFileCount) ||
        ContentBytes(*reply) != kTotalSize) {
        throw std::runtime_error("the reply does not hold the client files");
    }
    return reply;
}

// The time runs from the send to the reply list in hand; freeing the list is left out.
void FetchAllOverLoopback(benchmark::State& state) {
    for (auto _ : state) {
        std::unique_ptr<px3::TParamList> reply = FetchAll();
        benchmark::DoNotOptimize(reply.get());
        state.PauseTiming();
        reply.reset();
        state.ResumeTiming();
    }
}

void PlainUncompressAndCopy(benchmark::State& state) {
    const std::string& compressed = fixture->payload;
    for (auto _ : state) {
        uLongf size = fixture->unpacked_size;
        std::unique_ptr<Bytef[]> unpacked(new Bytef[size]);
        const int code =
            uncompress(unpacked.get(), &size, reinterpret_cast<const Bytef*>(compressed.data()),
                       compressed.size());
        std::unique_ptr<char[]> copy(new char[kTotalSize]);
        std::memcpy(copy.get(), unpacked.get(), kTotalSize);
        benchmark::DoNotOptimize(copy.get());
        state.PauseTiming();
        unpacked.reset();
        copy.reset();
        state.ResumeTiming();
        if (code != Z_OK) {
            state.SkipWithError("uncompress failed");
        }
    }
}

void Connect(Fixture& f, int port) {
    f.session.SetAddress("127.0.0.1");
    f.session.SetPort(port);
    f.session.UserName = "bench";
    f.session.Password = "bench";
    f.session.ApplicationName = "bench";
    f.session.ApplicationVersion = "6";
    f.session.AutoLoginDlg = px3::ltLoginNoDlg;
    f.session.SetCompression(px3::acZLib);
    f.session.OnDisconnect = [](px3::TClientSocket&) {};
    f.session.SetActive(true);
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!f.session.Active() && std::chrono::steady_clock::now() < give_up) {
        f.loop.WaitAndProcess(100);
    }
    if (!f.session.Active()) {
        throw std::runtime_error("cannot connect to the central server");
    }
}

// The first request, in a fresh process, is measured for memory.
void MeasurePeakMemory(Fixture& f) {
    const int64_t before = ProcessMemory("VmRSS");
    ResetPeakMemory();
    std::unique_ptr<px3::TParamList> reply = FetchAll();
    f.peak_growth = static_cast<double>(ProcessMemory("VmHWM") - before);
}

// Keeps the compressed reply as it arrived, for the baseline.
void CaptureCompressedReply(Fixture& f) {
    f.session.OnBytesInEvent = [&f](px3::TClientSocket&, const std::string& data, int64_t,
                                    int64_t) {
        if (data.size() > f.payload.size()) {
            f.payload = data;
        }
    };
    FetchAll();
    f.session.OnBytesInEvent = nullptr;
    f.unpacked_size = px3::ZlibDecompress(f.payload, px3::kMaxDecompressedSize).size();
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path self = fs::read_symlink("/proc/self/exe");
    const fs::path server =
        self.parent_path().parent_path() / "tools" / "central-server" / "central-server";
    const fs::path work =
        fs::temp_directory_path() / ("px3-fetch-all-" + std::to_string(std::random_device()()));
    fs::create_directories(work / "root");
    int status = 0;
    try {
        WriteClientFiles(work / "root");
        ServerProcess process(server, work / "root", work);
        Fixture f;
        fixture = &f;
        Connect(f, process.Port());
        MeasurePeakMemory(f);
        CaptureCompressedReply(f);
        for (auto [name, function] : {std::pair{"plain_uncompress_copy", &PlainUncompressAndCopy},
                                      std::pair{"fetch_all", &FetchAllOverLoopback}}) {
            benchmark::RegisterBenchmark(name, function)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(kIterations);
        }
        px3::bench::CollectingReporter reporter;
        px3::bench::RunAll(argc, argv, reporter);
        const std::string suffix = "/iterations:" + std::to_string(kIterations);
        px3::bench::PrintRatio("fetch_all_100mb", reporter.Nanoseconds("fetch_all" + suffix),
                               reporter.Nanoseconds("plain_uncompress_copy" + suffix), 1.3);
        px3::bench::PrintRatio("fetch_all_peak_mem", f.peak_growth, static_cast<double>(kTotalSize),
                               3.0);
        f.session.SetActive(false);
        fixture = nullptr;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "fetch_all: %s\n", error.what());
        status = 1;
    }
    fs::remove_all(work);
    return status;
}
