#include "webinfo-service/service_reply.h"

#include <cstdio>

#include "base/text.h"
#include "web/json.h"
#include "web/web_info_payload.h"

namespace px3 {

namespace {

constexpr char kCrLf[] = "\r\n";

// Size of the pieces of a slow reply, and the pause between them.
constexpr size_t kSlowPieceSize = 24;
constexpr std::uint32_t kSlowPauseMs = 100;

std::string ReasonPhrase(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 302:
            return "Found";
        case 307:
            return "Temporary Redirect";
        case 400:
            return "Bad Request";
        case 403:
            return "Forbidden";
        case 404:
            return "Not Found";
        default:
            return "Internal Server Error";
    }
}

std::string StatusLine(int status, const char* version = "HTTP/1.0") {
    return std::string(version) + " " + IntToStr(status) + " " + ReasonPhrase(status) + kCrLf;
}

// A status line, the given header lines, a length line and the body.
std::string Response(int status, const std::string& headerLines, const std::string& body) {
    return StatusLine(status) + headerLines + "Content-Length: " + IntToStr(body.size()) + kCrLf +
           kCrLf + body;
}

std::string Page(const std::string& inside) {
    return "<html><head><title>webinfo</title></head><body><p>" + inside + "</p></body></html>\r\n";
}

std::string Marked(const std::string& payload) {
    return std::string(kPayloadOpenMarker) + payload + std::string(kPayloadCloseMarker);
}

std::string AddressPayload(const LookupAnswer& answer, const ServiceOptions& options) {
    if (options.has_payload) {
        return options.payload;
    }
    TJson document;
    document.Put("ipaddress", answer.address);
    return document.ToText();
}

ServiceReply Single(int status, std::string note, std::string bytes) {
    ServiceReply reply;
    reply.status = status;
    reply.note = std::move(note);
    reply.pieces.push_back(std::move(bytes));
    return reply;
}

// The target of the next relocation of a chain: the signed path and query with the hop number,
// as a whole URL, a path on the same host, or relative to the current path.
std::string RelocationTarget(const ServiceRequest& request, const LookupAnswer& answer,
                             ServiceFault fault) {
    const std::string& path = answer.signedPath;
    const std::string next = path + (path.find('?') == std::string::npos ? "?" : "&") +
                             kHopParameter + "=" + IntToStr(answer.hop + 1);
    if (fault == ServiceFault::kRedirectRooted) {
        return next;
    }
    if (fault == ServiceFault::kRedirectRelative) {
        return next.substr(next.rfind('/', next.find('?')) + 1);
    }
    const std::string* host = request.Header("Host");
    return "http://" + (host ? *host : std::string("127.0.0.1")) + next;
}

ServiceReply RelocationReply(const ServiceRequest& request, const LookupAnswer& answer,
                             const ServiceOptions& options) {
    const std::string target = RelocationTarget(request, answer, options.fault);
    const std::string location = "Location: " + target + kCrLf;
    const std::string body = Page("moved " + Marked("{\"hop\":" + IntToStr(answer.hop + 1) + "}"));
    const std::string note = "relocation " + IntToStr(answer.hop + 1) + " of " +
                             IntToStr(options.relocations) + " to " + target;
    switch (options.fault) {
        case ServiceFault::kRedirectNoBody:
            return Single(302, note, StatusLine(302) + location + kCrLf);
        case ServiceFault::kRedirectUntilClose:
            return Single(
                307, note,
                StatusLine(307) + location + "Content-Type: text/html" + kCrLf + kCrLf + body);
        case ServiceFault::kRedirectKeepAlive: {
            ServiceReply reply =
                Single(302, note,
                       StatusLine(302, "HTTP/1.1") + location + "Connection: keep-alive" + kCrLf +
                           "Content-Length: 0" + kCrLf + kCrLf);
            reply.keep_open = true;
            return reply;
        }
        default:
            return Single(302, note, Response(302, location + "Content-Type: text/html\r\n", body));
    }
}

std::string ChunkedBody(const std::string& body) {
    // Three chunks of uneven size, the first with an extension, then a trailer line.
    const size_t first = body.size() / 3;
    const size_t second = body.size() / 2;
    char size[32];
    std::string coded;
    std::snprintf(size, sizeof size, "%zx", first);
    coded += std::string(size) + ";piece=first" + kCrLf + body.substr(0, first) + kCrLf;
    std::snprintf(size, sizeof size, "%zX", second - first);
    coded += std::string(size) + kCrLf + body.substr(first, second - first) + kCrLf;
    std::snprintf(size, sizeof size, "%zx", body.size() - second);
    coded += std::string(size) + kCrLf + body.substr(second) + kCrLf;
    coded += std::string("0") + kCrLf + "X-Trailer: ignored" + kCrLf + kCrLf;
    return coded;
}

std::vector<std::string> Slices(const std::string& bytes, size_t size) {
    std::vector<std::string> slices;
    for (size_t at = 0; at < bytes.size(); at += size) {
        slices.push_back(bytes.substr(at, size));
    }
    return slices;
}

ServiceReply PageReply(const LookupAnswer& answer, const ServiceOptions& options) {
    const std::string payload = AddressPayload(answer, options);
    const std::string note = "payload " + payload;
    const std::string page = Page("server address " + Marked(payload));
    const std::string html = "Content-Type: text/html; charset=gbk\r\n";
    switch (options.fault) {
        case ServiceFault::kNoMarkers:
            return Single(200, note + " without markers",
                          Response(200, html, Page("server address " + payload)));
        case ServiceFault::kNoClosingMarker:
            return Single(
                200, note + " without closing marker",
                Response(200, html,
                         Page("server address " + std::string(kPayloadOpenMarker) + payload)));
        case ServiceFault::kStatus404:
            return Single(404, note, Response(404, html, page));
        case ServiceFault::kStatus500:
            return Single(500, note, Response(500, html, page));
        case ServiceFault::kChunked:
            return Single(200, note + " chunked",
                          StatusLine(200, "HTTP/1.1") + html + "Transfer-Encoding: chunked" +
                              kCrLf + kCrLf + ChunkedBody(page));
        case ServiceFault::kHeaderless:
            return Single(0, note + " without header",
                          "<HTML><BODY>server address " + Marked(payload) + "</BODY></HTML>\r\n");
        case ServiceFault::kUntilClose:
            return Single(200, note + " until close", StatusLine(200) + html + kCrLf + page);
        case ServiceFault::kSlow: {
            ServiceReply reply;
            reply.status = 200;
            reply.note = note + " slowly";
            reply.pieces = Slices(Response(200, html, page), kSlowPieceSize);
            reply.pause_ms = kSlowPauseMs;
            return reply;
        }
        default:
            return Single(200, note, Response(200, html, page));
    }
}

}  // namespace

ServiceReply BuildServiceReply(const ServiceRequest& request, const LookupAnswer& answer,
                               const ServiceOptions& options) {
    if (answer.status != 200) {
        return Single(answer.status, answer.reason,
                      Response(answer.status,
                               "X-Ca-Error-Message: " + answer.reason + kCrLf +
                                   "Content-Type: text/plain" + kCrLf,
                               answer.reason + kCrLf));
    }
    const bool relocating =
        IsRelocationChain(options.fault) || options.fault == ServiceFault::kRedirectKeepAlive;
    if (relocating && answer.hop < options.relocations) {
        return RelocationReply(request, answer, options);
    }
    return PageReply(answer, options);
}

ServiceReply BadRequestReply(const std::string& reason) {
    return Single(400, reason,
                  Response(400, "X-Ca-Error-Message: " + reason + kCrLf, reason + kCrLf));
}

}  // namespace px3
