#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "integration/central_server_fixture.h"

namespace px3::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

std::string ToolDll() {
    std::string bytes;
    for (int round = 0; round < 4; ++round) {
        for (int value = 0; value < 256; ++value) {
            bytes.push_back(static_cast<char>(value));
        }
    }
    return bytes;
}

std::map<std::string, std::string> Contents(const TParamList& list) {
    std::map<std::string, std::string> contents;
    for (int32_t i = 0; i < list.Count(); ++i) {
        contents[list.Items(i).Name()] = list.Items(i).AsString();
    }
    return contents;
}

TEST_F(CentralServerTest, LoginIsAcceptedAndTheUtilityInfoStored) {
    ASSERT_NO_FATAL_FAILURE(ConnectTo("PLAIN"));
    EXPECT_DOUBLE_EQ(session.ServerInfoNumber(), 6.0);
    EXPECT_EQ(session.AnchorStatus(), TACConnectedToServer);
    EXPECT_TRUE(app.messages.empty());
    EXPECT_THAT(log, ElementsAre("connect"));
}

TEST_F(CentralServerTest, FileListWholeClientAndOneFile) {
    ASSERT_NO_FATAL_FAILURE(ConnectTo("PLAIN"));
    const std::unique_ptr<TParamList> names = Request(kFileList);
    ASSERT_NE(names, nullptr);
    std::vector<std::string> listed;
    for (int32_t i = 0; i < names->Count(); ++i) {
        listed.push_back(names->Items(i).AsString());
    }
    EXPECT_THAT(listed, UnorderedElementsAre("readme.txt", "Bin\\tool.dll", "Bin\\Sub\\deep.txt"));

    const std::unique_ptr<TParamList> whole = Request(kWholeClient);
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(Contents(*whole),
              (std::map<std::string, std::string>{{"readme.txt", "Read me\r\n"},
                                                  {"Bin\\tool.dll", ToolDll()},
                                                  {"Bin\\Sub\\deep.txt", "deep"}}));

    TParamList one;
    one.FastAdd("FileName", Variant(std::string("Bin\\tool.dll")));
    const std::unique_ptr<TParamList> file = Request(kOneFile, one);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Items(0).AsString(), ToolDll());

    TParamList missing;
    missing.FastAdd("FileName", Variant(std::string("Bin\\none.dll")));
    const std::unique_ptr<TParamList> none = Request(kOneFile, missing);
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->Items(0).DataLength(), 0u);
    EXPECT_TRUE(app.errors.empty());
}

TEST_F(CentralServerTest, WholeClientOfAThousandFilesWithReadProgress) {
    session.ProgressBar = true;
    std::vector<std::pair<int32_t, int32_t>> reports;
    session.OnReadProgress = [&](TClientSocket&, int32_t expected, int32_t received) {
        reports.emplace_back(expected, received);
    };
    ASSERT_NO_FATAL_FAILURE(ConnectTo("MANY"));
    reports.clear();
    const std::unique_ptr<TParamList> whole = Request(kWholeClient);
    ASSERT_NE(whole, nullptr);
    ASSERT_EQ(whole->Count(), 1000);
    for (int32_t i = 0; i < whole->Count(); ++i) {
        const TParamItem& item = whole->Items(i);
        int number = -1;
        ASSERT_EQ(std::sscanf(item.Name().c_str(), "D%*d\\f%d.dat", &number), 1) << item.Name();
        char line[16];
        std::snprintf(line, sizeof line, "file %04d\n", number);
        std::string content;
        for (int repeat = 0; repeat < number % 50 + 1; ++repeat) {
            content += line;
        }
        ASSERT_EQ(item.AsString(), content) << item.Name();
    }

    // The send reports its frame and ends with (0, 0); the reply's frame is reported as it grows
    // (when several chunks come in one notification), then (0, 0).
    const std::pair<int32_t, int32_t> none{0, 0};
    const auto sendEnd = std::find(reports.begin(), reports.end(), none);
    ASSERT_NE(sendEnd, reports.end());
    ASSERT_GT(reports.end() - sendEnd, 1);
    EXPECT_EQ(reports.back(), none);
    for (auto report = sendEnd + 1; report + 1 < reports.end(); ++report) {
        EXPECT_EQ(report->first, (sendEnd + 1)->first);
        EXPECT_LT(report->second, report->first);
        if (report != sendEnd + 1) {
            EXPECT_GT(report->second, (report - 1)->second);
        }
    }
}

TEST_F(CentralServerTest, ErrorReplyShowsTheServersTextsAndTheRequestGetsNone) {
    ASSERT_NO_FATAL_FAILURE(ConnectTo("ERROR"));
    EXPECT_EQ(Request(kFileList), nullptr);
    EXPECT_THAT(app.errors, ElementsAre("\rThe central server refused the request"
                                        "\rEvery request is answered with an error"));
    EXPECT_TRUE(session.Active());
}

TEST_F(CentralServerTest, ServerClosingInsteadOfReplyingEndsTheRequestAtOnce) {
    ASSERT_NO_FATAL_FAILURE(ConnectTo("CLOSE"));
    EXPECT_EQ(Request(kWholeClient), nullptr);
    EXPECT_FALSE(session.Active());
    EXPECT_THAT(log, ElementsAre("connect", "disconnect"));
    EXPECT_TRUE(app.errors.empty());
}

TEST_F(CentralServerTest, ListPushedDuringTheWaitGoesToItsEvent) {
    std::vector<std::string> pushed;
    session.OnCodedParamList = [&](TClientSocket&, int32_t code, TParamList& list) {
        pushed.push_back(std::to_string(code) + " " + list.Items(0).AsString());
    };
    ASSERT_NO_FATAL_FAILURE(ConnectTo("PUSH"));
    const std::unique_ptr<TParamList> names = Request(kFileList);
    ASSERT_NE(names, nullptr);
    EXPECT_EQ(names->Count(), 3);
    EXPECT_THAT(pushed, ElementsAre("7000 A list pushed before the reply"));
}

TEST_F(CentralServerTest, TrickledReplyArrivesWhole) {
    session.ProgressBar = true;
    std::vector<std::pair<int32_t, int32_t>> reports;
    session.OnReadProgress = [&](TClientSocket&, int32_t expected, int32_t received) {
        reports.emplace_back(expected, received);
    };
    ASSERT_NO_FATAL_FAILURE(ConnectTo("TRICKLE"));
    int reads = 0;
    session.OnRead = [&](TClientSocket&) { ++reads; };
    reports.clear();
    const std::unique_ptr<TParamList> whole = Request(kWholeClient);
    ASSERT_NE(whole, nullptr);
    ASSERT_EQ(whole->Count(), 1);
    EXPECT_EQ(whole->Items(0).DataLength(), 20000u);
    // Pieces that arrive one per notification are not reported; the end always is.
    EXPECT_GT(reads, 5);
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), (std::pair<int32_t, int32_t>{0, 0}));
    for (const auto& [expected, received] : reports) {
        EXPECT_LE(received, expected);
    }
}

}  // namespace
}  // namespace px3::testing
