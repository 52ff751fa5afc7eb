#include "web/http_response_parser.h"

#include <algorithm>
#include <limits>

#include "base/text.h"

namespace px3 {

namespace {

// The longest line, without its LF, that fits the header buffer.
constexpr std::size_t kMaxHeaderLine = kHttpHeaderBufferSize - 1;

constexpr std::int64_t kMaxChunkSize = std::numeric_limits<std::int64_t>::max() / 16;

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), LowerAscii);
    return lower;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexDigitValue(char c) {
    if (IsDigit(c)) {
        return c - '0';
    }
    const char lower = LowerAscii(c);
    return (lower >= 'a' && lower <= 'f') ? lower - 'a' + 10 : -1;
}

// A text of decimal digits only, as a number; -1 for anything else (a sign included).
std::int64_t DecimalOrMinusOne(std::string_view text) {
    if (text.empty()) {
        return -1;
    }
    std::int64_t value = 0;
    for (const char c : text) {
        if (!IsDigit(c) || value > (std::numeric_limits<std::int64_t>::max() - 9) / 10) {
            return -1;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string_view WithoutLeadingBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    return text;
}

bool HasNoBody(int status) {
    return status < 200 || status == 204 || status == 301 || status == 302 || status == 304 ||
           status == 401 || status == 407;
}

}  // namespace

HttpResponseParser::HttpResponseParser(std::string requestVersion) {
    Reset(std::move(requestVersion));
}

void HttpResponseParser::Reset(std::string requestVersion) {
    requestVersion_ = std::move(requestVersion);
    phase_ = HttpParsePhase::kHeader;
    bodyMode_ = HttpBodyMode::kNone;
    error_.clear();
    remaining_ = 0;
    chunkStep_ = ChunkStep::kSize;
    chunkSize_ = 0;
    pendingCr_ = false;
    StartResponse();
}

void HttpResponseParser::StartResponse() {
    head_ = HttpResponseHead{};
    headerComplete_ = false;
    atFirstLine_ = true;
    line_.clear();
}

std::size_t HttpResponseParser::Feed(std::string_view data, const BodySink& sink) {
    std::size_t pos = 0;
    while (pos < data.size()) {
        if (phase_ == HttpParsePhase::kHeader) {
            pos = FeedHeader(data, pos, sink);
        } else if (phase_ == HttpParsePhase::kBody) {
            pos = FeedBody(data, pos, sink);
        } else {
            break;
        }
    }
    return pos;
}

void HttpResponseParser::ConnectionClosed(const BodySink& sink) {
    if (phase_ != HttpParsePhase::kHeader && phase_ != HttpParsePhase::kBody) {
        return;
    }
    if (pendingCr_) {
        pendingCr_ = false;
        sink("\r");
    }
    phase_ = HttpParsePhase::kComplete;
}

std::size_t HttpResponseParser::FeedHeader(std::string_view data, std::size_t pos,
                                           const BodySink& sink) {
    const std::size_t lineFeed = data.find('\n', pos);
    const std::size_t end = lineFeed == std::string_view::npos ? data.size() : lineFeed;
    const std::string_view piece = data.substr(pos, end - pos);
    const std::size_t taken = std::min(piece.size(), kMaxHeaderLine - line_.size());
    line_.append(piece.substr(0, taken));

    // A reply that starts like a page has no header: its first line is already body.
    if (atFirstLine_ &&
        (StartsWithIgnoringCase(line_, "<HTML>") || StartsWithIgnoringCase(line_, "<!DOCTYPE"))) {
        StartHeaderless(sink);
        return pos + taken;
    }
    if (taken < piece.size()) {
        Fail("Response header line does not fit in " + IntToStr(kHttpHeaderBufferSize) + " bytes");
        return pos + taken;
    }
    if (lineFeed == std::string_view::npos) {
        return data.size();
    }
    if (!line_.empty() && line_.back() == '\r') {
        line_.pop_back();
    }
    const std::string line = std::move(line_);
    line_.clear();
    TakeLine(line);
    return lineFeed + 1;
}

void HttpResponseParser::StartHeaderless(const BodySink& sink) {
    head_.contentType = "text/html";
    bodyMode_ = HttpBodyMode::kHeaderless;
    phase_ = HttpParsePhase::kBody;
    atFirstLine_ = true;
    // A CR that ends the text so far may be the first half of the line break, which is dropped.
    if (line_.back() == '\r') {
        line_.pop_back();
        pendingCr_ = true;
    }
    sink(line_);
    line_.clear();
}

void HttpResponseParser::TakeLine(const std::string& line) {
    if (atFirstLine_) {
        atFirstLine_ = false;
        head_.headerLines.push_back(line);
        if (line.starts_with("HTTP/1.0") || line.starts_with("HTTP/1.1")) {
            TakeStatusLine(line);
        }
        return;
    }
    if (line.empty()) {
        EndHeader();
        return;
    }
    head_.headerLines.push_back(line);
    TakeHeaderField(line);
}

void HttpResponseParser::TakeStatusLine(const std::string& line) {
    head_.version = line.substr(5, 3);
    head_.closeFlag = !(requestVersion_ == "1.1" && head_.version == "1.1");
    // The status code: the three characters from the first digit at or after the tenth
    // character, as far as they are digits; the reason phrase starts four characters later.
    const std::size_t digit = line.find_first_of("0123456789", 9);
    if (digit == std::string::npos) {
        return;
    }
    int status = 0;
    for (std::size_t i = digit; i < std::min(digit + 3, line.size()) && IsDigit(line[i]); ++i) {
        status = status * 10 + (line[i] - '0');
    }
    head_.statusCode = status;
    head_.reasonPhrase = digit + 4 < line.size() ? line.substr(digit + 4) : std::string();
}

void HttpResponseParser::TakeHeaderField(const std::string& line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) {
        return;
    }
    const std::string name = LowerCase(std::string_view(line).substr(0, colon));
    const std::string_view value = WithoutLeadingBlanks(std::string_view(line).substr(colon + 1));
    if (name == "location") {
        head_.hasLocation = true;
        head_.location = Trim(value);
    } else if (name == "content-length") {
        head_.contentLength = DecimalOrMinusOne(Trim(value));
    } else if (name == "transfer-encoding") {
        head_.transferEncoding = LowerCase(value);
    } else if (name == "content-type") {
        head_.contentType = LowerCase(value);
    } else if (name == "connection" || name == "proxy-connection") {
        const std::string option = LowerCase(Trim(value));
        if (option == "close") {
            head_.closeFlag = true;
        } else if (option == "keep-alive") {
            head_.closeFlag = false;
        }
    } else if (name == "content-encoding") {
        head_.contentEncoding = value;
    }
}

void HttpResponseParser::EndHeader() {
    // An interim "100 Continue" is dropped whole; the real response follows.
    if (head_.version == "1.1" && head_.statusCode == 100) {
        StartResponse();
        return;
    }
    headerComplete_ = true;
    if (head_.contentLength == 0) {
        bodyMode_ = HttpBodyMode::kNone;
    } else if (head_.contentLength > 0) {
        bodyMode_ = HttpBodyMode::kContentLength;
        remaining_ = head_.contentLength;
    } else if (Trim(head_.transferEncoding) == "chunked") {
        bodyMode_ = HttpBodyMode::kChunked;
    } else if (HasNoBody(head_.statusCode)) {
        bodyMode_ = HttpBodyMode::kNone;
    } else {
        bodyMode_ = HttpBodyMode::kUntilClose;
    }
    phase_ = bodyMode_ == HttpBodyMode::kNone ? HttpParsePhase::kComplete : HttpParsePhase::kBody;
}

std::size_t HttpResponseParser::FeedBody(std::string_view data, std::size_t pos,
                                         const BodySink& sink) {
    switch (bodyMode_) {
        case HttpBodyMode::kContentLength: {
            const std::size_t taken = static_cast<std::size_t>(
                std::min<std::int64_t>(remaining_, static_cast<std::int64_t>(data.size() - pos)));
            sink(data.substr(pos, taken));
            remaining_ -= static_cast<std::int64_t>(taken);
            if (remaining_ == 0) {
                phase_ = HttpParsePhase::kComplete;
            }
            return pos + taken;
        }
        case HttpBodyMode::kChunked:
            return FeedChunked(data, pos, sink);
        case HttpBodyMode::kHeaderless:
            return FeedHeaderless(data, pos, sink);
        case HttpBodyMode::kUntilClose:
            sink(data.substr(pos));
            return data.size();
        case HttpBodyMode::kNone:
            break;
    }
    phase_ = HttpParsePhase::kComplete;
    return pos;
}

std::size_t HttpResponseParser::FeedHeaderless(std::string_view data, std::size_t pos,
                                               const BodySink& sink) {
    if (!atFirstLine_) {
        sink(data.substr(pos));
        return data.size();
    }
    // The rest of the first line: its line break (LF, or CR LF) is not body.
    const std::size_t lineFeed = data.find('\n', pos);
    const std::size_t end = lineFeed == std::string_view::npos ? data.size() : lineFeed;
    std::string_view piece = data.substr(pos, end - pos);
    if (!piece.empty()) {
        if (pendingCr_) {
            sink("\r");
        }
        pendingCr_ = piece.back() == '\r';
        if (pendingCr_) {
            piece.remove_suffix(1);
        }
        sink(piece);
    }
    if (lineFeed == std::string_view::npos) {
        return data.size();
    }
    pendingCr_ = false;
    atFirstLine_ = false;
    return lineFeed + 1;
}

std::size_t HttpResponseParser::FeedChunked(std::string_view data, std::size_t pos,
                                            const BodySink& sink) {
    while (pos < data.size() && phase_ == HttpParsePhase::kBody) {
        switch (chunkStep_) {
            case ChunkStep::kSize: {
                const char c = data[pos++];
                const int digit = HexDigitValue(c);
                if (digit >= 0) {
                    if (chunkSize_ > kMaxChunkSize) {
                        Fail("Invalid chunk size in response");
                        return pos;
                    }
                    chunkSize_ = chunkSize_ * 16 + digit;
                } else if (c == '\n') {
                    EndChunkSizeLine();
                } else {
                    chunkStep_ = ChunkStep::kExtension;
                }
                break;
            }
            case ChunkStep::kData: {
                const std::size_t taken = static_cast<std::size_t>(std::min<std::int64_t>(
                    remaining_, static_cast<std::int64_t>(data.size() - pos)));
                sink(data.substr(pos, taken));
                pos += taken;
                remaining_ -= static_cast<std::int64_t>(taken);
                if (remaining_ == 0) {
                    chunkStep_ = ChunkStep::kDataEnd;
                }
                break;
            }
            case ChunkStep::kExtension:
            case ChunkStep::kDataEnd:
            case ChunkStep::kLastChunkEnd: {
                const std::size_t lineFeed = data.find('\n', pos);
                if (lineFeed == std::string_view::npos) {
                    return data.size();
                }
                pos = lineFeed + 1;
                if (chunkStep_ == ChunkStep::kExtension) {
                    EndChunkSizeLine();
                } else if (chunkStep_ == ChunkStep::kDataEnd) {
                    chunkStep_ = ChunkStep::kSize;
                    chunkSize_ = 0;
                } else {
                    phase_ = HttpParsePhase::kComplete;
                }
                break;
            }
        }
    }
    return pos;
}

void HttpResponseParser::EndChunkSizeLine() {
    if (chunkSize_ == 0) {
        chunkStep_ = ChunkStep::kLastChunkEnd;
    } else {
        chunkStep_ = ChunkStep::kData;
        remaining_ = chunkSize_;
    }
}

void HttpResponseParser::Fail(std::string error) {
    error_ = std::move(error);
    phase_ = HttpParsePhase::kFailed;
}

}  // namespace px3
