#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "messaging/anchor_status.h"
#include "messaging/client_socket_types.h"
#include "messaging/message_codec.h"
#include "messaging/message_stack.h"
#include "messaging/read_progress.h"
#include "messaging/session_application.h"
#include "messaging/smart_wait.h"
#include "messaging/string_line.h"
#include "params/param_list.h"
#include "platform/event_loop.h"
#include "platform/tcp_socket.h"

namespace px3 {

class TClientSocket;

using TSessionNotifyEvent = std::function<void(TClientSocket& sender)>;
// (sender, failing operation, error code): the handler takes over the reporting of the error.
using TSessionErrorEvent =
    std::function<void(TClientSocket& sender, SocketOperation operation, int& errorCode)>;
using TConnectStatusEvent = std::function<void(TClientSocket& sender, const std::string& status)>;
using TLoginAttemptEvent = std::function<void(TClientSocket& sender, bool accepted)>;
using TLoginParamsAttemptEvent =
    std::function<void(TClientSocket& sender, bool accepted, TParamList& params)>;
using TCodedMessageEvent =
    std::function<void(TClientSocket& sender, int32_t code, const std::string& text)>;
using TCodedParamListEvent =
    std::function<void(TClientSocket& sender, int32_t code, TParamList& list)>;
using TCodedStreamEvent =
    std::function<void(TClientSocket& sender, int32_t code, const std::string& stream)>;
using TServerUtilityInfoEvent =
    std::function<void(TClientSocket& sender, int32_t kind, TParamList& list)>;
using TServerAsyncExceptionEvent = std::function<void(TClientSocket& sender, int32_t errorCode,
                                                      TParamList& errors, bool& handled)>;
using TTerminateMessageEvent =
    std::function<void(TClientSocket& sender, const std::string& text, bool& handled)>;
using TTextMessageEvent = std::function<void(TClientSocket& sender, const std::string& text)>;
using TSessionBytesEvent = std::function<void(TClientSocket& sender, const std::string& data,
                                              int64_t amount, int64_t total)>;
// (sender, expected, received): sizes in bytes; (0, 0) when no transfer is under way.
using TReadProgressEvent =
    std::function<void(TClientSocket& sender, int32_t expected, int32_t received)>;

// The one connection to the central server: opens a non-blocking TCP connection by host name or
// address, logs in by itself once connected, sends messages and waits for their replies, keeps
// the connection alive, handles the messages the server sends on its own, and runs coded
// requests. Everything runs on the event loop's thread; failures raised while an event of the
// connection (or a timer tick) is handled go to the application's error display.
class TClientSocket {
  public:
    TClientSocket(EventLoop& loop, TSessionApplication& application);
    // Ends any wait and closes an open connection without reporting the close.
    virtual ~TClientSocket();
    TClientSocket(const TClientSocket&) = delete;
    TClientSocket& operator=(const TClientSocket&) = delete;

    // True while the connection stands. Setting true opens it (the outcome arrives later as an
    // event), false closes it; setting the current value does nothing.
    bool Active() const { return active_; }
    void SetActive(bool value);

    // Host, Address and Port refuse a change while Active with "Can't change value while socket
    // is active"; host names and addresses compare ignoring ASCII case.
    const std::string& Host() const { return host_; }
    void SetHost(const std::string& value);
    const std::string& Address() const { return address_; }
    void SetAddress(const std::string& value);
    int32_t Port() const { return port_; }
    void SetPort(int32_t value);
    // Refused while a connection is open or being opened.
    TClientType ClientType() const { return client_type_; }
    void SetClientType(TClientType value);

    // Keep-alive interval in minutes; 0 or less means none. Closing a connection sets it to 0.
    int32_t KeepAlivePing() const { return keep_alive_ping_; }
    void SetKeepAlivePing(int32_t minutes);

    TCompression Compression() const { return codec_.Compression(); }
    void SetCompression(TCompression value) { codec_.SetCompression(value); }

    TClientAnchorStatus AnchorStatus() const { return anchor_status_; }

    std::string UserName;
    std::string Password;
    // Sent in the login; when empty at connect it becomes the executable's file name.
    std::string ApplicationName;
    std::string ApplicationVersion;
    TLoginType AutoLoginDlg = ltNoChallenge;
    // Refused logins tolerated before the application is ended; 0 leaves the limit out.
    int32_t LoginMaxAttempts = 0;
    // Report the progress of transfers through OnReadProgress.
    bool ProgressBar = false;
    // A combination of TSQLErrorHandling flags.
    uint8_t SQLErrorHandling = seAsExceptions;

    // The list sent with every login (empty unless the application fills it).
    TParamList& ClientParams() { return client_params_; }
    // The number the server last sent as utility information of kind 6.
    double ServerInfoNumber() const { return server_info_number_; }
    int32_t LoginAttempts() const { return login_attempts_; }
    int32_t LastSocketError() const { return last_socket_error_; }
    int64_t BytesOutTotal() const { return codec_.BytesOutTotal(); }
    int64_t BytesInTotal() const { return codec_.BytesInTotal(); }

    // Where the connection's events arrive; a reply wait dispatches only this target's events.
    NotificationTarget& NotificationWindow() { return target_; }
    TSmartWait& SmartWait() { return wait_; }

    // The send every message goes through: dropped while a reply is awaited; with awaitReply it
    // then waits for the reply (or the end of the connection).
    void SendLine(TStringLine& line, bool awaitReply);
    // Lowers the count of awaited replies; ends the wait when it reaches 0, or when forced.
    void EndWait(bool force);

    // Sends a coded request and returns a new list holding the input items of the reply, or
    // nullptr when none came (an error reply, a closed connection, an empty reply). The caller
    // owns the returned list; the request list stays the caller's.
    std::unique_ptr<TParamList> RequestCodedParamList(int32_t code, const TParamList* list);
    // Sends a coded request; awaiting, returns the reply's wire text (empty for none), otherwise
    // returns an empty text at once. Fails with "Not Connected to Server" while not Active.
    std::string ExchangeCodedParamList(int32_t code, const TParamList* list, bool awaitReply);

    TSessionNotifyEvent OnLookup;
    TSessionNotifyEvent OnConnecting;
    TSessionNotifyEvent OnConnect;
    TSessionNotifyEvent OnDisconnect;
    TSessionNotifyEvent OnRead;
    TSessionNotifyEvent OnWrite;
    TSessionErrorEvent OnError;
    TConnectStatusEvent OnConnectStatusChange;
    TLoginAttemptEvent OnLoginAttempt;
    TLoginParamsAttemptEvent OnLoginParamsAttempt;
    TCodedMessageEvent OnCodedMessage;
    TCodedParamListEvent OnCodedParamList;
    TCodedStreamEvent OnCodedStream;
    TServerUtilityInfoEvent OnServerUtilityInfoEvent;
    TServerAsyncExceptionEvent OnServerAsyncException;
    TTerminateMessageEvent OnTerminateMessageFromServer;
    TTextMessageEvent OnChatMessage;
    TTextMessageEvent OnServerBroadcast;
    TSessionBytesEvent OnBytesInEvent;
    TSessionBytesEvent OnBytesOutEvent;
    TReadProgressEvent OnReadProgress;

  protected:
    // Counts and reports the packed bytes, then compresses them.
    virtual void EncodeOutgoing(std::string& bytes);
    // Counts and reports the received payload, then decompresses it.
    virtual void DecodeIncoming(std::string& bytes);
    // Puts the 4-byte length in front of a payload.
    virtual void FrameMessage(std::string& payload);
    // Acts on one decoded message by its kind.
    virtual void DispatchMessage(std::string message);
    // Reads everything the connection has ready now, in reads of at most 4096 bytes, into the
    // frame cutter.
    virtual void ReadAvailable();
    // As ReadAvailable, reporting the progress of the frame being received.
    virtual void ReadWithProgress();
    virtual void HandleUtilityInfo(TStringLine& line);
    virtual void HandleSocketEvent(const SocketNotice& notice);
    virtual void HandleConnected();
    // Writes a frame in chunks of at most 4096 bytes.
    virtual void SendBytes(const std::string& frame);
    virtual void DoServerBroadcast(const std::string& text);
    virtual void DoChatMessage(const std::string& text);
    virtual void DoLoginParamsAttempt(bool accepted, TParamList& params);
    virtual void DoLoginAttempt(bool accepted);
    virtual void DoCodedParamList(int32_t code, TParamList& list);
    virtual void DoCodedMessage(int32_t code, const std::string& text);
    virtual void DoCodedStream(int32_t code, const std::string& stream);
    virtual void SendLogin();

  private:
    // Where a redirect came from, so that the session returns there when the server's
    // connection ends.
    struct RedirectOrigin {
        std::string host;
        std::string address;
        int32_t port = 0;
    };

    void OnSocketNotice(const SocketNotice& notice);
    // Runs the handling of an event or a timer tick, handing its failures to the application's
    // error display.
    void Guarded(const std::function<void()>& handler);

    void Open();
    Ipv4Address ResolvePeer() const;
    // Releases the connection; when it was open (or being opened) reports the close: Active
    // false, OnDisconnect, then the disconnect handling.
    void CloseConnection();
    void ReportClose();
    void HandleDisconnect();
    // Handles a socket error; api names the failed call ("send", "recv"), nullptr for an error
    // reported with an event. Raises the error's message unless a handler took it over.
    void HandleSocketError(SocketOperation operation, int code, const char* api);
    void SetAnchorStatus(TClientAnchorStatus status);
    void CheckInactive(bool changed) const;

    void StartReconnectTimer();
    void ReconnectTick();
    void KeepAliveTick();
    // Lets the application run its event loop until done() holds or it is ending.
    void ProcessMessagesUntil(const std::function<bool()>& done);

    void ReadChunks(const std::function<void(std::string_view chunk)>& seen);
    void ReceiveAvailable();
    void DispatchReceived();
    void ReportProgress(int32_t expected, int32_t received);
    TReadProgress::TReport ProgressReport();

    void HandleLoginReply(TStringLine& line);
    void HandleCodedParamList(TStringLine& line);
    void HandleServerError(TStringLine& line);
    void HandleTerminateMessage(TStringLine& line);
    void HandleReconnect();
    void HandleRedirect(TStringLine& line);

    void SendCodedRequest(int32_t code, const TParamList* list, bool awaitReply);
    void StoreReply(std::unique_ptr<TParamList> list);
    void ClearReply();
    std::string TakeReplyText();
    std::unique_ptr<TParamList> TakeReplyList();
    // Sends the queued frames over a connection of its own; the reply goes to the reply slot.
    void BlockingExchange();

    EventLoop& loop_;
    TSessionApplication& application_;
    NotificationTarget target_;
    TcpSocket socket_;
    TMessageStack stack_;
    TMessageCodec codec_;
    TSmartWait wait_;
    TReadProgress read_progress_;
    std::unique_ptr<Timer> keep_alive_timer_;
    std::unique_ptr<Timer> reconnect_timer_;
    TParamList client_params_;

    bool active_ = false;
    std::string host_;
    std::string address_ = "127.0.0.1";
    int32_t port_ = 9000;
    TClientType client_type_ = ctNonBlocking;
    int32_t keep_alive_ping_ = 0;
    TClientAnchorStatus anchor_status_ = TACNoAnchor;

    // The reply slot: see StoreReply.
    std::string reply_slot_;
    std::unique_ptr<TParamList> reply_list_;
    int32_t pending_replies_ = 0;
    bool end_wait_called_ = false;
    int32_t login_attempts_ = 0;
    int32_t last_socket_error_ = 0;
    double server_info_number_ = 0;
    std::unique_ptr<RedirectOrigin> redirect_origin_;
    // Frames sent in blocking mode while no connection is open, sent by the next exchange.
    std::vector<std::string> blocking_queue_;
};

}  // namespace px3
