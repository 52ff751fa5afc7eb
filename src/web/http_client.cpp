#include "web/http_client.h"

#include <utility>

#include "base/text.h"
#include "platform/socket_errors.h"
#include "web/http_relocation.h"
#include "web/http_request_header.h"

namespace px3 {

namespace {

// Posted to the client's own target, with the number of the Get call as wparam.
constexpr std::uint32_t kRequestDoneMessage = kFirstUserMessage + 0x20;
constexpr std::uint32_t kRelocateMessage = kFirstUserMessage + 0x21;

// The longest pass of the wait in Get.
constexpr std::int64_t kWaitPassMs = 1000;

// An unreadable response fails the request with this status.
constexpr int kBadResponseStatus = 502;
constexpr int kClientFailureStatus = 404;

EventLoop& CurrentLoop() {
    EventLoop* loop = EventLoop::Current();
    if (loop == nullptr) {
        throw Exception("The HTTP client needs an event loop on its thread");
    }
    return *loop;
}

// The parts of a URL as Get requests it: scheme "http", port "80" and path "/" where the URL
// has none.
UrlParts RequestParts(const std::string& url) {
    UrlParts parts = ParseUrl(url);
    if (parts.scheme.empty()) {
        parts.scheme = "http";
    }
    if (parts.port.empty()) {
        parts.port = "80";
    }
    if (parts.path.empty()) {
        parts.path = "/";
    }
    return parts;
}

// A port text of decimal digits from 1 to 65535.
std::optional<std::uint16_t> PortNumber(const std::string& text) {
    if (text.empty() || text.size() > 5) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > 65535) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

std::string SocketFailureText(int error) {
    const char* description = SocketErrorDescription(error);
    return std::string(description != nullptr ? description : "Unknown socket error") +
           " (Error #" + IntToStr(error) + ")";
}

}  // namespace

THttpClient::THttpClient() : THttpClient(CurrentLoop()) {}

THttpClient::THttpClient(EventLoop& loop)
    : loop_(loop),
      target_(loop, [this](const LoopMessage& message) { OnMessage(message); }),
      resolver_(
          target_,
          [this](std::optional<Ipv4Address> address) { Guarded([&] { OnResolved(address); }); }),
      socket_(target_, [this](const SocketNotice& notice) { Guarded([&] { OnSocket(notice); }); }) {
}

THttpClient::~THttpClient() = default;

int THttpClient::StatusCode() const {
    return failure_ ? failure_->status : parser_.Head().statusCode;
}

const std::string& THttpClient::ReasonPhrase() const {
    return failure_ ? failure_->reason : parser_.Head().reasonPhrase;
}

void THttpClient::Get() {
    if (state_ != hsReady) {
        throw EHttpException("HTTP component " + Name + " is busy", 1);
    }
    if (RequestVersion != "1.0" && RequestVersion != "1.1") {
        throw EHttpException("Insupported HTTP version", 5);
    }
    ++request_;
    relocationCount_ = 0;
    handlerError_ = nullptr;
    state_ = hsNotConnected;
    try {
        StartRequest(RequestUrl);
        Resolve();
        while (state_ != hsReady) {
            if (loop_.QuitRequested()) {
                Abort();
                break;
            }
            loop_.WaitAndProcess(kWaitPassMs);
        }
    } catch (...) {
        // Raised by another handler that the wait dispatched: the request ends with it.
        Stop();
        throw;
    }
    if (handlerError_) {
        std::rethrow_exception(std::exchange(handlerError_, nullptr));
    }
    const int status = StatusCode();
    if (status >= 400 && status != 401 && status != 407) {
        throw EHttpException(ReasonPhrase(), status);
    }
}

void THttpClient::StartRequest(const std::string& url) {
    parts_ = RequestParts(url);
    parser_.Reset(RequestVersion);
    failure_.reset();
    responseEnded_ = false;
    pending_.clear();
    bodyStart_ = ReceiveStream != nullptr ? ReceiveStream->size() : 0;
}

void THttpClient::Resolve() {
    state_ = hsDnsLookup;
    resolver_.Start(parts_.host);
}

void THttpClient::OnResolved(std::optional<Ipv4Address> address) {
    state_ = hsDnsLookupDone;
    if (!address) {
        Fail(kClientFailureStatus, "can't resolve hostname to IP address");
        return;
    }
    if (parts_.scheme != "http") {
        Fail(501, "Protocol \"" + parts_.scheme + "\" not implemented");
        return;
    }
    const std::optional<std::uint16_t> port = PortNumber(parts_.port);
    if (!port) {
        FailOnSocketError(kSocketAddressNotAvailable);
        return;
    }
    if (const int error = socket_.Connect(*address, *port); error != 0) {
        FailOnSocketError(error);
    }
}

void THttpClient::OnSocket(const SocketNotice& notice) {
    // Once the response has ended only the client's posted messages move the request on.
    if (responseEnded_) {
        return;
    }
    switch (notice.event) {
        case SocketEvent::kConnected:
            state_ = hsConnected;
            SendRequest();
            break;
        case SocketEvent::kWriteReady:
            WritePending();
            break;
        case SocketEvent::kReadReady:
            ReadAvailable();
            break;
        case SocketEvent::kClosed:
            parser_.ConnectionClosed([this](std::string_view bytes) { AppendBody(bytes); });
            ResponseEnded();
            break;
        case SocketEvent::kError:
            FailOnSocketError(notice.error);
            break;
    }
}

void THttpClient::OnMessage(const LoopMessage& message) {
    if (message.wparam != request_) {
        return;
    }
    if (message.number == kRequestDoneMessage) {
        state_ = hsReady;
    } else if (message.number == kRelocateMessage) {
        Guarded([this] {
            socket_.Close();
            StartRequest(relocationUrl_);
            Resolve();
        });
    }
}

void THttpClient::SendRequest() {
    std::vector<std::string> headers =
        GetRequestHeaderLines(parts_, {RequestVersion, Accept, AcceptLanguage, Agent});
    if (OnBeforeHeaderSend) {
        OnBeforeHeaderSend(*this, "GET", headers);
    }
    pending_.clear();
    for (const std::string& line : headers) {
        pending_ += line;
        pending_ += "\r\n";
    }
    pending_ += "\r\n";
    WritePending();
}

void THttpClient::WritePending() {
    while (!pending_.empty()) {
        const IoResult result = socket_.Write(pending_.data(), pending_.size());
        if (result.status == IoStatus::kError) {
            FailOnSocketError(result.error);
            return;
        }
        if (result.status != IoStatus::kOk) {
            return;
        }
        pending_.erase(0, result.bytes);
    }
    if (state_ == hsConnected) {
        state_ = hsWaitingHeader;
    }
}

void THttpClient::ReadAvailable() {
    char buffer[16384];
    while (!responseEnded_) {
        const IoResult result = socket_.Read(buffer, sizeof buffer);
        if (result.status == IoStatus::kError) {
            FailOnSocketError(result.error);
            return;
        }
        if (result.status != IoStatus::kOk || result.bytes == 0) {
            return;
        }
        parser_.Feed(std::string_view(buffer, result.bytes),
                     [this](std::string_view bytes) { AppendBody(bytes); });
        switch (parser_.Phase()) {
            case HttpParsePhase::kFailed:
                Fail(kBadResponseStatus, parser_.Error());
                return;
            case HttpParsePhase::kComplete:
                ResponseEnded();
                break;
            case HttpParsePhase::kBody:
                state_ = hsWaitingBody;
                break;
            case HttpParsePhase::kHeader:
                break;
        }
    }
}

void THttpClient::AppendBody(std::string_view bytes) {
    if (ReceiveStream != nullptr) {
        ReceiveStream->append(bytes);
    }
}

void THttpClient::ResponseEnded() {
    responseEnded_ = true;
    state_ = hsBodyReceived;
    if (FollowRelocation && parser_.HeaderComplete() && parser_.Head().hasLocation && Relocate()) {
        return;
    }
    Finish();
}

bool THttpClient::Relocate() {
    const HttpResponseHead& head = parser_.Head();
    // A redirect that keeps the connection and has no body is the final response at once.
    if (!head.closeFlag && parser_.BodyMode() == HttpBodyMode::kNone) {
        return false;
    }
    const std::string target = RelocationTarget(parts_, head.location);
    const UrlParts next = RequestParts(target);
    const bool sameServer =
        next.scheme == parts_.scheme && next.host == parts_.host && next.port == parts_.port;
    const bool open = socket_.State() == SocketState::kConnected;
    const bool keepConnection = open && sameServer && !head.closeFlag;
    ++relocationCount_;
    if (open && !keepConnection) {
        ++relocationCount_;
    }
    if (relocationCount_ > RelocationMaxCount) {
        return false;
    }
    if (ReceiveStream != nullptr && ReceiveStream->size() > bodyStart_) {
        ReceiveStream->resize(bodyStart_);
    }
    if (keepConnection) {
        StartRequest(target);
        state_ = hsConnected;
        SendRequest();
        return true;
    }
    // The old connection is closed on a later pass of the wait, then the new one is opened.
    relocationUrl_ = target;
    target_.Post(kRelocateMessage, request_);
    return true;
}

void THttpClient::Finish() {
    responseEnded_ = true;
    if (socket_.State() != SocketState::kClosed) {
        state_ = hsClosing;
        socket_.Close();
    }
    target_.Post(kRequestDoneMessage, request_);
}

void THttpClient::Fail(int status, std::string reason) {
    failure_ = Failure{status, std::move(reason)};
    Finish();
}

void THttpClient::FailOnSocketError(int error) {
    Fail(kClientFailureStatus, SocketFailureText(error));
}

void THttpClient::Abort() {
    state_ = hsAborting;
    Stop();
    failure_ = Failure{kClientFailureStatus, "Connection aborted on request"};
}

void THttpClient::Stop() {
    resolver_.Cancel();
    socket_.Close();
    responseEnded_ = true;
    state_ = hsReady;
}

void THttpClient::Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (...) {
        if (!handlerError_) {
            handlerError_ = std::current_exception();
        }
        Finish();
    }
}

}  // namespace px3
