#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "web/http_response_parser.h"

namespace {

struct Outcome {
    px3::HttpParsePhase phase;
    int status;
    std::string body;
    std::size_t taken;
};

// Feeds the server's answer in pieces of pieceSize bytes, then reports the close.
Outcome Parse(std::string_view answer, std::size_t pieceSize, const char* requestVersion) {
    px3::HttpResponseParser parser(requestVersion);
    std::string body;
    const auto sink = [&](std::string_view bytes) { body.append(bytes); };
    std::size_t taken = 0;
    for (std::size_t pos = 0; pos < answer.size(); pos += pieceSize) {
        const std::string_view piece = answer.substr(pos, pieceSize);
        const std::size_t used = parser.Feed(piece, sink);
        if (used > piece.size()) {
            std::abort();
        }
        taken += used;
        if (used < piece.size()) {
            break;
        }
    }
    parser.ConnectionClosed(sink);
    if (parser.Phase() != px3::HttpParsePhase::kComplete &&
        parser.Phase() != px3::HttpParsePhase::kFailed) {
        std::abort();
    }
    return {parser.Phase(), parser.Head().statusCode, body, taken};
}

}  // namespace

// Arbitrary bytes as the server's answer: the first byte chooses how the answer is split and the
// request's version. However it is split, the answer must read the same, and the body can only
// hold bytes of the answer.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t pieceSize = (data[0] & 0x3F) + 1;
    const char* version = (data[0] & 0x40) != 0 ? "1.1" : "1.0";
    const std::string_view answer(reinterpret_cast<const char*>(data) + 1, size - 1);

    const Outcome whole = Parse(answer, answer.size() + 1, version);
    const Outcome split = Parse(answer, pieceSize, version);
    if (whole.phase != split.phase || whole.status != split.status || whole.body != split.body ||
        whole.taken != split.taken || whole.body.size() > answer.size()) {
        std::abort();
    }
    return 0;
}
