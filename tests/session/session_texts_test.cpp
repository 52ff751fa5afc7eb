#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "messaging/anchor_status.h"
#include "messaging/info_number.h"
#include "messaging/read_progress.h"
#include "messaging/socket_error_messages.h"
#include "session/expected_texts.h"

namespace px3 {
namespace {

TEST(AnchorStatusTextTest, NamesEveryStatus) {
    struct Case {
        TClientAnchorStatus status;
        bool active;
        const char* text;
    };
    const Case cases[] = {
        {TACNoAnchor, false, "No Connection"},
        {TACConnectedToAnchor, true, "Connected to Anchor"},
        {TACConnectedToAnchor, false, "Disconnected, Anchor Available"},
        {TACConnectedToServer, true, "Connected to Server"},
        {TACDisconnectedFromAnchor, false, "Disconnected from Anchor, attempting to Reconnect"},
        {TACDisconnectedFromServer, false, "Disconnected from Server"},
        {TAAnchorReDirect, false, "Connecting from Anchor to Server 10.1.2.3:6000"},
        {TAAnchorNoServers, false, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AnchorStatusText(c.status, c.active, "10.1.2.3", 6000), c.text);
    }
}

TEST(SocketErrorMessagesTest, SessionTextsCarryAddressAndPort) {
    const std::string aborted =
        "Software caused connection abort.  The server terminated the connection. It is "
        "possible that the server has terminated.";
    const std::pair<int, std::string> cases[] = {
        {10053, "10053: " + aborted},
        {10054, "10054: " + aborted},
        {10061, expected::kConnectionRefused},
        {10065, expected::kHostUnreachable},
    };
    for (const auto& [code, text] : cases) {
        ASSERT_NE(SessionSocketErrorText(code), nullptr) << code;
        EXPECT_EQ(SessionSocketErrorMessage(SessionSocketErrorText(code), "127.0.0.1", 6000),
                  text + " at 127.0.0.1 on Port:6000");
    }
    EXPECT_EQ(SessionSocketErrorText(10060), nullptr);
    EXPECT_EQ(AsynchronousSocketErrorMessage(10060), "Asynchronous socket error 10060");
}

TEST(SocketErrorMessagesTest, FailedCallNamesTheSystemTextCodeAndCall) {
    const std::string message = SocketCallErrorMessage(10049, "connect");
    EXPECT_EQ(message.rfind("Windows socket error: ", 0), 0u) << message;
    const std::string tail = " (10049), on API 'connect'";
    ASSERT_GT(message.size(), tail.size() + 22);
    EXPECT_EQ(message.substr(message.size() - tail.size()), tail);
}

TEST(InfoNumberTest, ReadsTheServersNumber) {
    const std::pair<const char*, double> cases[] = {
        {"3.5", 3.5},     {"45123.25", 45123.25},
        {" 7 ", 7},       {"-2.5e3", -2500},
        {"3,5", 3.5},     {"12345", 12345},
        {"", 0},          {"abc", 0},
        {"1.2.3", 0},     {"4,", 4},
        {"1.5e", 0},      {"+8", 8},
        {"7,25e1", 72.5}, {"45123,5", 0},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_DOUBLE_EQ(InfoNumber(text), value) << text;
    }
}

using Reports = std::vector<std::pair<int32_t, int32_t>>;

std::string FrameStart(int32_t frameSize, size_t chunkSize) {
    std::string chunk(chunkSize, 'x');
    const uint32_t length = static_cast<uint32_t>(frameSize - 4);
    for (int i = 0; i < 4; ++i) {
        chunk[i] = static_cast<char>((length >> (8 * i)) & 0xFF);
    }
    return chunk;
}

TEST(ReadProgressTest, ReportsChunksAfterTheFirstOfOneNotification) {
    TReadProgress progress;
    Reports reports;
    const auto report = [&](int32_t e, int32_t r) { reports.emplace_back(e, r); };
    progress.Chunk(FrameStart(10000, 4096), report);
    progress.Chunk(std::string(4096, 'y'), report);
    progress.Chunk(std::string(1808, 'z'), report);
    progress.EndOfNotification();
    progress.FrameComplete(report);
    EXPECT_EQ(reports, (Reports{{10000, 4096}, {10000, 8192}, {0, 0}}));
}

TEST(ReadProgressTest, OneChunkPerNotificationReportsOnlyTheEnd) {
    TReadProgress progress;
    Reports reports;
    const auto report = [&](int32_t e, int32_t r) { reports.emplace_back(e, r); };
    for (const std::string& chunk :
         {FrameStart(10000, 4096), std::string(4096, 'y'), std::string(1808, 'z')}) {
        progress.Chunk(chunk, report);
        progress.EndOfNotification();
    }
    progress.FrameComplete(report);
    EXPECT_EQ(reports, (Reports{{0, 0}}));

    // The next frame starts afresh, and counts what earlier notifications took.
    progress.Chunk(FrameStart(9000, 4096), report);
    progress.EndOfNotification();
    progress.Chunk(std::string(10, 'a'), report);
    progress.Chunk(std::string(4000, 'b'), report);
    EXPECT_EQ(reports.back(), (std::pair<int32_t, int32_t>{9000, 4106}));
}

}  // namespace
}  // namespace px3
