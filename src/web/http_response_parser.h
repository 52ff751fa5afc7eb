#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace px3 {

// Header lines pass through a buffer of this size: a line, with its line break, must fit.
inline constexpr std::size_t kHttpHeaderBufferSize = 8190;

// What the header of a response has told.
struct HttpResponseHead {
    int statusCode = 0;  // 0 until a status line is read
    std::string reasonPhrase;
    std::string version;  // the three characters after "HTTP/", empty without a status line
    std::int64_t contentLength = -1;  // -1 when the response has none
    std::string transferEncoding;     // lower-cased
    std::string contentType;          // lower-cased
    std::string contentEncoding;
    std::vector<std::string> headerLines;  // every header line received, without its line break
    bool closeFlag = true;                 // the client closes the connection after the response
    bool hasLocation = false;
    std::string location;  // the value of the last "location" line
};

// How the body of a response ends.
enum class HttpBodyMode {
    kNone,           // no body
    kContentLength,  // after contentLength bytes
    kChunked,        // after the chunk of size 0 and the line that follows it
    kUntilClose,     // when the server closes the connection
    kHeaderless,     // a reply without header: its first line and the rest, until close
};

enum class HttpParsePhase { kHeader, kBody, kComplete, kFailed };

// Reads one HTTP response from the bytes the server sends, however they are split. Body bytes
// are handed on as they arrive; nothing of the body is collected.
class HttpResponseParser {
  public:
    using BodySink = std::function<void(std::string_view)>;

    // requestVersion ("1.0" or "1.1") is the version of the request, which the close flag
    // depends on.
    explicit HttpResponseParser(std::string requestVersion = "1.0");

    // Forgets everything, ready for the response to another request.
    void Reset(std::string requestVersion);

    // Takes received bytes up to the end of the response, handing body bytes to sink. Returns
    // how many bytes were taken; bytes after the end of the response are not.
    std::size_t Feed(std::string_view data, const BodySink& sink);

    // The server has closed the connection: a response still open ends with what it has.
    void ConnectionClosed(const BodySink& sink);

    HttpParsePhase Phase() const { return phase_; }
    // True once the empty line after the header has been read.
    bool HeaderComplete() const { return headerComplete_; }
    HttpBodyMode BodyMode() const { return bodyMode_; }
    const HttpResponseHead& Head() const { return head_; }
    // Why the response could not be read, in the kFailed phase.
    const std::string& Error() const { return error_; }

  private:
    enum class ChunkStep { kSize, kExtension, kData, kDataEnd, kLastChunkEnd };

    std::size_t FeedHeader(std::string_view data, std::size_t pos, const BodySink& sink);
    std::size_t FeedBody(std::string_view data, std::size_t pos, const BodySink& sink);
    std::size_t FeedHeaderless(std::string_view data, std::size_t pos, const BodySink& sink);
    std::size_t FeedChunked(std::string_view data, std::size_t pos, const BodySink& sink);
    void StartHeaderless(const BodySink& sink);
    void TakeLine(const std::string& line);
    void TakeStatusLine(const std::string& line);
    void TakeHeaderField(const std::string& line);
    void EndHeader();
    void EndChunkSizeLine();
    void Fail(std::string error);
    void StartResponse();

    std::string requestVersion_;
    HttpParsePhase phase_ = HttpParsePhase::kHeader;
    HttpBodyMode bodyMode_ = HttpBodyMode::kNone;
    HttpResponseHead head_;
    bool headerComplete_ = false;
    bool atFirstLine_ = true;
    std::string line_;
    std::string error_;
    std::int64_t remaining_ = 0;
    ChunkStep chunkStep_ = ChunkStep::kSize;
    std::int64_t chunkSize_ = 0;
    bool pendingCr_ = false;
};

}  // namespace px3
