#include "messaging/frame_sender.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/exception.h"
#include "hex.h"
#include "messaging/frame.h"

namespace px3 {
namespace {

// A connection whose writes answer from a script (one answer per write; once the script runs
// out, every write takes the whole chunk). It records the events in order.
struct ScriptedConnection {
    std::vector<int64_t> answers;
    size_t next = 0;
    std::string received;
    std::vector<std::string> events;

    TChunkWriter Writer() {
        return [this](std::string_view chunk) {
            const int64_t answer =
                next < answers.size() ? answers[next++] : static_cast<int64_t>(chunk.size());
            events.push_back("write " + std::to_string(chunk.size()) + " -> " +
                             std::to_string(answer));
            if (answer > 0) {
                received.append(chunk.substr(0, static_cast<size_t>(answer)));
            }
            return answer;
        };
    }
    std::function<void()> Yield() {
        return [this] { events.push_back("yield"); };
    }
    TSendProgress Progress() {
        return [this](int64_t expected, int64_t sent) {
            events.push_back("progress " + std::to_string(expected) + " " + std::to_string(sent));
        };
    }
};

std::string Frame(size_t size) {
    std::string frame;
    for (size_t i = 0; i < size; ++i) {
        frame.push_back(static_cast<char>(i * 7));
    }
    return frame;
}

TEST(FrameMessage, PutsTheLittleEndianLengthInFront) {
    std::string payload(0x0304, 'x');
    FrameMessage(payload);
    EXPECT_EQ(payload.substr(0, 4), test_bytes::Hex("04 03 00 00"));
    EXPECT_EQ(payload.size(), 0x0304u + 4);
}

TEST(SendFrameInChunks, WritesChunksOfAtMost4096WithProgress) {
    ScriptedConnection connection;
    const std::string frame = Frame(5000);
    SendFrameInChunks(frame, connection.Writer(), connection.Yield(), connection.Progress());
    EXPECT_EQ(connection.received, frame);
    EXPECT_EQ(connection.events,
              (std::vector<std::string>{"progress 5000 0", "write 4096 -> 4096", "progress 5000 0",
                                        "write 904 -> 904", "progress 5000 4096", "yield",
                                        "progress 0 0"}));
}

TEST(SendFrameInChunks, RetriesAChunkThatWouldBlockAfterYielding) {
    ScriptedConnection connection;
    connection.answers = {kWriteWouldBlock, kWriteWouldBlock, 4096};
    const std::string frame = Frame(4100);
    SendFrameInChunks(frame, connection.Writer(), connection.Yield());
    EXPECT_EQ(connection.received, frame);
    EXPECT_EQ(connection.events,
              (std::vector<std::string>{"write 4096 -> -1", "yield", "write 4096 -> -1", "yield",
                                        "write 4096 -> 4096", "write 4 -> 4", "yield"}));
}

TEST(SendFrameInChunks, ContinuesAPartialWriteWithTheBytesNotTaken) {
    ScriptedConnection connection;
    connection.answers = {1000};
    const std::string frame = Frame(5000);
    SendFrameInChunks(frame, connection.Writer(), connection.Yield());
    EXPECT_EQ(connection.received, frame);
    EXPECT_EQ(connection.events[1], "write 4000 -> 4000");
}

TEST(SendFrameInChunks, WriteOfNothingEndsTheSendSilently) {
    ScriptedConnection connection;
    connection.answers = {4096, 0};
    SendFrameInChunks(Frame(10000), connection.Writer(), connection.Yield(), connection.Progress());
    EXPECT_EQ(connection.received.size(), 4096u);
    EXPECT_EQ(connection.events, (std::vector<std::string>{"progress 10000 0", "write 4096 -> 4096",
                                                           "progress 10000 0", "write 4096 -> 0",
                                                           "yield", "progress 0 0"}));
}

TEST(SendFrameInChunks, FailingWriteRaisesAndEndsTheProgress) {
    ScriptedConnection connection;
    auto failing = [](std::string_view) -> int64_t { throw Exception("write failed"); };
    EXPECT_THROW(SendFrameInChunks(Frame(10), failing, connection.Yield(), connection.Progress()),
                 Exception);
    EXPECT_EQ(connection.events, (std::vector<std::string>{"progress 10 0", "progress 0 0"}));
}

}  // namespace
}  // namespace px3
