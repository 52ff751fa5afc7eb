#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/event_loop.h"
#include "platform/host_resolver.h"
#include "platform/tcp_socket.h"
#include "web/http_exception.h"
#include "web/http_response_parser.h"
#include "web/url.h"

namespace px3 {

// The states of a request, in the order of their codes.
enum THttpState {
    hsReady,
    hsNotConnected,
    hsConnected,
    hsDnsLookup,
    hsDnsLookupDone,
    hsWaitingHeader,
    hsWaitingBody,
    hsBodyReceived,
    hsWaitingProxyConnect,
    hsClosing,
    hsAborting,
};

class THttpClient;

// (Sender, Method, Headers): called just before a request's header block is sent, with the
// header lines written so far; lines the handler appends are sent as they are.
using TBeforeHeaderSendEvent = std::function<void(THttpClient& Sender, const std::string& Method,
                                                  std::vector<std::string>& Headers)>;

// An HTTP/1.0 (or 1.1) GET client over plain TCP on the thread's event loop. Get is synchronous:
// it dispatches every message of the loop while it waits, follows relocations, appends the body
// to ReceiveStream and raises EHttpException for a failed request.
class THttpClient {
  public:
    // A client on the event loop of this thread (raises Exception when there is none).
    THttpClient();
    explicit THttpClient(EventLoop& loop);
    // Does not touch ReceiveStream. Must not be called from inside Get.
    ~THttpClient();
    THttpClient(const THttpClient&) = delete;
    THttpClient& operator=(const THttpClient&) = delete;

    // Runs one GET of RequestUrl and returns when it has completed. Raises EHttpException with
    // the reason phrase and status code for a status of 400 and above (but 401 and 407), for
    // the client's own failures (unresolvable host, other scheme than "http", failed connection,
    // unreadable response, abort when the loop is asked to quit), with code 1 when a request is
    // already running and with code 5 for a RequestVersion other than "1.0" or "1.1".
    void Get();

    std::string Name;  // the component's name, part of the "busy" text
    std::string Accept;
    std::string AcceptLanguage;
    std::string Agent;
    std::string RequestUrl;
    std::string* ReceiveStream = nullptr;  // body bytes are appended; owned by the caller
    std::string RequestVersion = "1.0";
    bool FollowRelocation = true;
    int RelocationMaxCount = 5;
    TBeforeHeaderSendEvent OnBeforeHeaderSend;

    THttpState State() const { return state_; }
    int StatusCode() const;
    const std::string& ReasonPhrase() const;
    const std::string& ResponseVersion() const { return parser_.Head().version; }
    std::int64_t ContentLength() const { return parser_.Head().contentLength; }
    const std::string& TransferEncoding() const { return parser_.Head().transferEncoding; }
    const std::string& ContentType() const { return parser_.Head().contentType; }
    const std::string& ContentEncoding() const { return parser_.Head().contentEncoding; }
    const std::vector<std::string>& RcvdHeader() const { return parser_.Head().headerLines; }
    // The relocations of the last Get, counted as the relocation limit counts them.
    int RelocationCount() const { return relocationCount_; }

  private:
    struct Failure {
        int status;
        std::string reason;
    };

    void StartRequest(const std::string& url);
    void Resolve();
    void OnResolved(std::optional<Ipv4Address> address);
    void OnSocket(const SocketNotice& notice);
    void OnMessage(const LoopMessage& message);
    void SendRequest();
    void WritePending();
    void ReadAvailable();
    void ResponseEnded();
    bool Relocate();
    void Finish();
    void Fail(int status, std::string reason);
    void FailOnSocketError(int error);
    void Abort();
    void Stop();
    void AppendBody(std::string_view bytes);
    // Runs one of the client's own event handlers; what it raises ends the request and is
    // raised again by Get.
    void Guarded(const std::function<void()>& handler);

    EventLoop& loop_;
    NotificationTarget target_;
    HostResolver resolver_;
    TcpSocket socket_;
    HttpResponseParser parser_;
    THttpState state_ = hsReady;
    std::uint64_t request_ = 0;  // numbers the Get calls, so that stale messages are dropped
    UrlParts parts_;  // the URL being requested (RequestUrl or a relocation target), split
    std::string relocationUrl_;
    std::string pending_;  // header bytes not yet written
    std::size_t bodyStart_ = 0;
    bool responseEnded_ = false;
    int relocationCount_ = 0;
    std::optional<Failure> failure_;
    std::exception_ptr handlerError_;
};

}  // namespace px3
