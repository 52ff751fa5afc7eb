#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "web/http_response_parser.h"

namespace px3 {
namespace {

struct Parsed {
    HttpParsePhase phase;
    bool headerComplete;
    HttpBodyMode mode;
    HttpResponseHead head;
    std::string body;
    std::size_t taken;
    std::string error;
};

// Feeds response in pieces of pieceSize bytes (0: whole), then reports the close when asked.
Parsed Parse(const std::string& response, std::size_t pieceSize, bool closeAfter,
             const std::string& requestVersion) {
    HttpResponseParser parser(requestVersion);
    std::string body;
    const auto sink = [&](std::string_view bytes) { body.append(bytes); };
    std::size_t taken = 0;
    const std::size_t step = pieceSize == 0 ? response.size() : pieceSize;
    for (std::size_t pos = 0; pos < response.size(); pos += step) {
        const std::string piece = response.substr(pos, step);
        const std::size_t used = parser.Feed(piece, sink);
        taken += used;
        if (used < piece.size()) {
            break;
        }
    }
    if (closeAfter) {
        parser.ConnectionClosed(sink);
    }
    return {parser.Phase(), parser.HeaderComplete(), parser.BodyMode(), parser.Head(), body,
            taken,          parser.Error()};
}

// Parses whole, byte by byte and in pieces of 7 bytes, expects the same outcome each way and
// returns it.
Parsed ParseEveryWay(const std::string& response, bool closeAfter = false,
                     const std::string& requestVersion = "1.0") {
    const Parsed whole = Parse(response, 0, closeAfter, requestVersion);
    for (const std::size_t pieceSize : {1, 7}) {
        const Parsed split = Parse(response, pieceSize, closeAfter, requestVersion);
        EXPECT_EQ(split.phase, whole.phase) << pieceSize << ": " << response;
        EXPECT_EQ(split.body, whole.body) << pieceSize << ": " << response;
        EXPECT_EQ(split.taken, whole.taken) << pieceSize << ": " << response;
        EXPECT_EQ(split.head.statusCode, whole.head.statusCode) << pieceSize << ": " << response;
        EXPECT_EQ(split.head.headerLines, whole.head.headerLines) << pieceSize;
    }
    return whole;
}

TEST(HttpResponseParser, ReadsTheStatusLineFromItsTenthCharacterOn) {
    struct Case {
        const char* line;
        int status;
        const char* reason;
        const char* version;
    };
    const Case cases[] = {
        {"HTTP/1.1 200 OK", 200, "OK", "1.1"},
        {"HTTP/1.0 404 Not Found", 404, "Not Found", "1.0"},
        {"HTTP/1.1 301", 301, "", "1.1"},
        {"HTTP/1.0  302 Found", 302, "Found", "1.0"},
        {"HTTP/1.1 x 500 Server Error", 500, "Server Error", "1.1"},
        {"HTTP/1.15 204 No Content", 204, "No Content", "1.1"},
        {"HTTP/1.1 2x0 Odd", 2, "Odd", "1.1"},
        {"HTTP/1.1 OK", 0, "", "1.1"},
        // Not status lines: the first line is ignored.
        {"HTTP/2 200 OK", 0, "", ""},
        {"http/1.1 200 OK", 0, "", ""},
        {"Server: x", 0, "", ""},
    };
    for (const Case& c : cases) {
        const Parsed parsed = ParseEveryWay(std::string(c.line) + "\r\nContent-Length: 0\r\n\r\n");
        EXPECT_EQ(parsed.phase, HttpParsePhase::kComplete) << c.line;
        EXPECT_EQ(parsed.head.statusCode, c.status) << c.line;
        EXPECT_EQ(parsed.head.reasonPhrase, c.reason) << c.line;
        EXPECT_EQ(parsed.head.version, c.version) << c.line;
        EXPECT_EQ(parsed.head.headerLines.front(), c.line);
    }
}

TEST(HttpResponseParser, ActsOnTheNamedHeaderLinesAndCollectsAll) {
    const Parsed parsed = ParseEveryWay(
        "HTTP/1.1 200 OK\n"
        "LOCATION:   /next?a=1 \r\n"
        "Content-Type: Text/HTML; Charset=GBK\r\n"
        "transfer-encoding:\tIdentity\r\n"
        "Content-Encoding: GZip\r\n"
        "X-Other: kept\r\n"
        "no colon here\r\n"
        "Content-Length:  3 \r\n"
        "\r\n"
        "abc");
    EXPECT_TRUE(parsed.head.hasLocation);
    EXPECT_EQ(parsed.head.location, "/next?a=1");
    EXPECT_EQ(parsed.head.contentType, "text/html; charset=gbk");
    EXPECT_EQ(parsed.head.transferEncoding, "identity");
    EXPECT_EQ(parsed.head.contentEncoding, "GZip");
    EXPECT_EQ(parsed.head.contentLength, 3);
    EXPECT_EQ(parsed.body, "abc");
    EXPECT_EQ(parsed.head.headerLines,
              (std::vector<std::string>{"HTTP/1.1 200 OK", "LOCATION:   /next?a=1 ",
                                        "Content-Type: Text/HTML; Charset=GBK",
                                        "transfer-encoding:\tIdentity", "Content-Encoding: GZip",
                                        "X-Other: kept", "no colon here", "Content-Length:  3 "}));
}

TEST(HttpResponseParser, TakesOnlyDecimalContentLengths) {
    const std::pair<const char*, std::int64_t> cases[] = {
        {"12", 12},  {" 7 ", 7}, {"0", 0},
        {"12a", -1}, {"-5", -1}, {"0x10", -1},
        {"$10", -1}, {"", -1},   {"99999999999999999999", -1},
    };
    for (const auto& [value, length] : cases) {
        const Parsed parsed =
            ParseEveryWay(std::string("HTTP/1.0 200 OK\r\nContent-Length: ") + value + "\r\n\r\n");
        EXPECT_EQ(parsed.head.contentLength, length) << value;
    }
}

TEST(HttpResponseParser, SetsTheCloseFlagFromBothVersionsAndTheConnectionLine) {
    struct Case {
        const char* requestVersion;
        const char* header;
        bool closeFlag;
    };
    const Case cases[] = {
        {"1.0", "HTTP/1.1 200 OK\r\n", true},
        {"1.0", "HTTP/1.0 200 OK\r\n", true},
        {"1.0", "HTTP/1.1 200 OK\r\nConnection: keep-alive\r\n", false},
        {"1.1", "HTTP/1.1 200 OK\r\n", false},
        {"1.1", "HTTP/1.0 200 OK\r\n", true},
        {"1.1", "HTTP/1.1 200 OK\r\nConnection:  Close \r\n", true},
        {"1.1", "HTTP/1.0 200 OK\r\nProxy-Connection: Keep-Alive\r\n", false},
        {"1.1", "HTTP/1.1 200 OK\r\nConnection: upgrade\r\n", false},
        {"1.0", "HTTP/1.0 200 OK\r\nConnection: keep-alive\r\nConnection: foo\r\n", false},
        {"1.1", "no status line\r\n", true},
    };
    for (const Case& c : cases) {
        const Parsed parsed = ParseEveryWay(std::string(c.header) + "Content-Length: 0\r\n\r\n",
                                            false, c.requestVersion);
        EXPECT_EQ(parsed.head.closeFlag, c.closeFlag) << c.requestVersion << " " << c.header;
    }
}

TEST(HttpResponseParser, DecidesWhereTheBodyEnds) {
    struct Case {
        const char* response;  // followed by "EXTRA", which no body takes
        HttpBodyMode mode;
        const char* body;
        bool completeBeforeClose;
    };
    const Case cases[] = {
        {"HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello", HttpBodyMode::kContentLength, "hello",
         true},
        {"HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n", HttpBodyMode::kNone, "", true},
        {"HTTP/1.0 401 Unauthorized\r\nContent-Length: 4\r\n\r\ndeny", HttpBodyMode::kContentLength,
         "deny", true},
        {"HTTP/1.0 200 OK\r\n\r\n", HttpBodyMode::kUntilClose, "EXTRA", false},
        {"HTTP/1.0 303 See Other\r\n\r\n", HttpBodyMode::kUntilClose, "EXTRA", false},
        {"HTTP/1.0 404 Not Found\r\n\r\n", HttpBodyMode::kUntilClose, "EXTRA", false},
        {"HTTP/1.0 204 No Content\r\n\r\n", HttpBodyMode::kNone, "", true},
        {"HTTP/1.0 301 Moved\r\n\r\n", HttpBodyMode::kNone, "", true},
        {"HTTP/1.0 302 Found\r\n\r\n", HttpBodyMode::kNone, "", true},
        {"HTTP/1.0 304 Not Modified\r\n\r\n", HttpBodyMode::kNone, "", true},
        {"HTTP/1.0 401 Unauthorized\r\n\r\n", HttpBodyMode::kNone, "", true},
        {"HTTP/1.0 407 Proxy\r\n\r\n", HttpBodyMode::kNone, "", true},
        {"HTTP/1.0 199 Odd\r\n\r\n", HttpBodyMode::kNone, "", true},
        {"HTTP/1.0 100 Continue\r\n\r\n", HttpBodyMode::kNone, "", true},
        {"no status line\r\n\r\n", HttpBodyMode::kNone, "", true},
        {"no status line\r\nContent-Length: 2\r\n\r\nab", HttpBodyMode::kContentLength, "ab", true},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\n\r\n"
         "5;name=value\r\nhello\r\nA\r\n0123\r\n5678\r\n0\r\n\r\n",
         HttpBodyMode::kChunked, "hello0123\r\n5678", true},
        // Trailer lines are not read: the body ends with the line after the last chunk.
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n0\r\nTrailer: x\r\n",
         HttpBodyMode::kChunked, "abc", true},
        // After a chunk's data, anything up to the line feed is skipped.
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\nabcjunk\n0\n\n",
         HttpBodyMode::kChunked, "abc", true},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nnot a size\r\n\r\n",
         HttpBodyMode::kChunked, "", true},
        // A content length wins over the chunked coding.
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nContent-Length: 4\r\n\r\n3\r\na",
         HttpBodyMode::kContentLength, "3\r\na", true},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, chunked\r\n\r\n", HttpBodyMode::kUntilClose,
         "EXTRA", false},
    };
    for (const Case& c : cases) {
        const std::string response = std::string(c.response) + "EXTRA";
        const Parsed open = ParseEveryWay(response);
        EXPECT_EQ(open.mode, c.mode) << c.response;
        EXPECT_TRUE(open.headerComplete) << c.response;
        EXPECT_EQ(open.phase,
                  c.completeBeforeClose ? HttpParsePhase::kComplete : HttpParsePhase::kBody)
            << c.response;
        if (c.completeBeforeClose) {
            EXPECT_EQ(open.taken, std::string(c.response).size()) << c.response;
        }
        const Parsed closed = ParseEveryWay(response, true);
        EXPECT_EQ(closed.phase, HttpParsePhase::kComplete) << c.response;
        EXPECT_EQ(closed.body, c.body) << c.response;
    }
}

TEST(HttpResponseParser, ACloseEndsAResponseWithWhatItHas) {
    const Parsed inHeader = ParseEveryWay("HTTP/1.0 200 OK\r\nContent-Le", true);
    EXPECT_EQ(inHeader.phase, HttpParsePhase::kComplete);
    EXPECT_FALSE(inHeader.headerComplete);
    EXPECT_EQ(inHeader.head.statusCode, 200);

    const Parsed inBody = ParseEveryWay("HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nhalf", true);
    EXPECT_EQ(inBody.phase, HttpParsePhase::kComplete);
    EXPECT_EQ(inBody.body, "half");

    const Parsed nothing = ParseEveryWay("", true);
    EXPECT_EQ(nothing.phase, HttpParsePhase::kComplete);
    EXPECT_EQ(nothing.head.statusCode, 0);
}

TEST(HttpResponseParser, TakesAPageWithoutHeaderAsBodyWithoutItsFirstLineBreak) {
    const std::pair<const char*, const char*> cases[] = {
        {"<HTML>\r\n<body>$*#{}%*#</body>\r\n</HTML>\r\n",
         "<HTML><body>$*#{}%*#</body>\r\n</HTML>\r\n"},
        {"<hTmL><head>\n<title>t</title>", "<hTmL><head><title>t</title>"},
        {"<!DOCTYPE html>\r\n<html>\r\n", "<!DOCTYPE html><html>\r\n"},
        {"<!doctype html>", "<!doctype html>"},
        {"<html>a\rb\r\r\nc", "<html>a\rb\rc"},
        {"<html>\r", "<html>\r"},
        {"<html>", "<html>"},
    };
    for (const auto& [response, body] : cases) {
        const Parsed open = ParseEveryWay(response);
        EXPECT_EQ(open.phase, HttpParsePhase::kBody) << response;
        const Parsed parsed = ParseEveryWay(response, true);
        EXPECT_EQ(parsed.phase, HttpParsePhase::kComplete) << response;
        EXPECT_EQ(parsed.mode, HttpBodyMode::kHeaderless) << response;
        EXPECT_EQ(parsed.head.statusCode, 0) << response;
        EXPECT_EQ(parsed.head.contentType, "text/html") << response;
        EXPECT_EQ(parsed.body, body) << response;
    }
    // Only a first line counts, and only with the whole marker.
    EXPECT_EQ(ParseEveryWay("<HTM\r\n\r\nabc", true).body, "");
    EXPECT_EQ(ParseEveryWay("HTTP/1.0 200 OK\r\n<HTML>\r\n\r\nabc", true).body, "abc");

    // A page on one line longer than the header buffer is still body.
    const std::string longPage = "<html>" + std::string(20000, 'x') + "\r\n</html>";
    EXPECT_EQ(ParseEveryWay(longPage, true).body, "<html>" + std::string(20000, 'x') + "</html>");
}

TEST(HttpResponseParser, DropsAnInterimContinueResponseWhole) {
    const Parsed parsed = ParseEveryWay(
        "HTTP/1.1 100 Continue\r\nX-Interim: 1\r\nContent-Length: 9\r\n\r\n"
        "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
    EXPECT_EQ(parsed.phase, HttpParsePhase::kComplete);
    EXPECT_EQ(parsed.head.statusCode, 200);
    EXPECT_EQ(parsed.body, "ok");
    EXPECT_EQ(parsed.head.headerLines,
              (std::vector<std::string>{"HTTP/1.1 200 OK", "Content-Length: 2"}));
}

TEST(HttpResponseParser, FailsOnAHeaderLineThatDoesNotFitTheBuffer) {
    // With its line feed, a line of 8189 bytes fits the 8190-byte buffer.
    const std::string fits = "X-Long: " + std::string(8189 - 8, 'a');
    const Parsed ok = ParseEveryWay("HTTP/1.0 200 OK\r\n" + fits + "\nContent-Length: 0\r\n\r\n");
    EXPECT_EQ(ok.phase, HttpParsePhase::kComplete);
    ASSERT_EQ(ok.head.headerLines.size(), 3u);
    EXPECT_TRUE(ok.head.headerLines[1] == fits);

    for (const std::string& response :
         {"HTTP/1.0 200 OK\r\n" + fits + "a\n\r\n", "HTTP/1.0 200 OK\r\n" + fits + "\r\n\r\n",
          "HTTP/1.0 200 OK\r\n" + std::string(100000, 'b')}) {
        const Parsed failed = ParseEveryWay(response);
        EXPECT_EQ(failed.phase, HttpParsePhase::kFailed);
        EXPECT_EQ(failed.error, "Response header line does not fit in 8190 bytes");
        // A close afterwards changes nothing.
        EXPECT_EQ(ParseEveryWay(response, true).phase, HttpParsePhase::kFailed);
    }
}

TEST(HttpResponseParser, FailsOnAChunkSizeBeyondAnyLength) {
    const Parsed parsed = ParseEveryWay(
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1000000000000000000\r\nabc");
    EXPECT_EQ(parsed.phase, HttpParsePhase::kFailed);
    EXPECT_EQ(parsed.error, "Invalid chunk size in response");
}

TEST(HttpResponseParser, StartsAfreshAfterReset) {
    HttpResponseParser parser("1.0");
    std::string body;
    const auto sink = [&](std::string_view bytes) { body.append(bytes); };
    parser.Feed("HTTP/1.1 302 Found\r\nLocation: /x\r\nTransfer-Encoding: chunked\r\n\r\n2\r\n",
                sink);
    parser.Reset("1.1");
    EXPECT_EQ(parser.Phase(), HttpParsePhase::kHeader);
    EXPECT_FALSE(parser.Head().hasLocation);
    parser.Feed("HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabc", sink);
    EXPECT_EQ(parser.Phase(), HttpParsePhase::kComplete);
    EXPECT_FALSE(parser.Head().closeFlag);
    EXPECT_EQ(parser.Head().transferEncoding, "");
    EXPECT_EQ(body, "abc");
}

}  // namespace
}  // namespace px3
