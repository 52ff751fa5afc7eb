#include <utility>

#include "messaging/client_socket.h"
#include "messaging/message_kinds.h"
#include "messaging/messaging_errors.h"
#include "messaging/session_errors.h"

namespace px3 {

namespace {

// Codes the server pushes for data components and file transfers, never handed to
// OnCodedParamList.
constexpr int32_t kRowsAffectedCode = -75007;
constexpr int32_t kFileSegmentCode = -75008;
// Error replies of this code may go to the login handler.
constexpr int32_t kCookieErrorCode = -75016;

}  // namespace

std::unique_ptr<TParamList> TClientSocket::RequestCodedParamList(int32_t code,
                                                                 const TParamList* list) {
    SendCodedRequest(code, list, true);
    return TakeReplyList();
}

std::string TClientSocket::ExchangeCodedParamList(int32_t code, const TParamList* list,
                                                  bool awaitReply) {
    SendCodedRequest(code, list, awaitReply);
    return awaitReply ? TakeReplyText() : std::string();
}

// Awaiting, the reply is left in the reply slot. A request made while a reply is awaited is not
// sent, and finds the reply slot as it stands.
void TClientSocket::SendCodedRequest(int32_t code, const TParamList* list, bool awaitReply) {
    if (client_type_ == ctNonBlocking && !active_) {
        throw EConnectException("Not Connected to Server");
    }
    TStringLine line;
    line.SetKind(mkCodedParamList);
    line.AddField(code);
    line.AddField(list != nullptr ? list->GetWireText(false) : std::string());
    line.AddField(awaitReply ? 1 : 0);
    if (!awaitReply) {
        SendLine(line, false);
        return;
    }
    if (client_type_ == ctBlocking) {
        SendLine(line, false);
        BlockingExchange();
        return;
    }
    if (!wait_.Waiting()) {
        ClearReply();
    }
    SendLine(line, true);
}

// The reply slot holds the input items of the reply: as the reply's own list when every item is
// one (its wire text read back would give the same list), otherwise as wire text. Whole client
// file sets travel this way, so the list is not written and read again without need.
void TClientSocket::StoreReply(std::unique_ptr<TParamList> list) {
    bool inputOnly = true;
    for (int32_t i = 0; i < list->Count() && inputOnly; ++i) {
        inputOnly = list->Items(i).IsInput();
    }
    if (inputOnly) {
        reply_list_ = std::move(list);
        reply_slot_.clear();
    } else {
        reply_slot_ = list->GetWireText(true);
        reply_list_.reset();
    }
}

void TClientSocket::ClearReply() {
    std::string().swap(reply_slot_);
    reply_list_.reset();
}

std::string TClientSocket::TakeReplyText() {
    if (reply_list_) {
        const std::unique_ptr<TParamList> list = std::move(reply_list_);
        return list->GetWireText(true);
    }
    return std::exchange(reply_slot_, std::string());
}

std::unique_ptr<TParamList> TClientSocket::TakeReplyList() {
    if (reply_list_) {
        std::unique_ptr<TParamList> list = std::move(reply_list_);
        return list->Count() > 0 ? std::move(list) : nullptr;
    }
    const std::string text = std::exchange(reply_slot_, std::string());
    return text.empty() ? nullptr : TParamList::CreateFromWireText(text);
}

// A list with flag 1 or more answers the awaited request, whatever its code; only a request that
// is waiting takes it. A list with flag 0 is one the server pushes.
void TClientSocket::HandleCodedParamList(TStringLine& line) {
    const int32_t code = line.NextInteger();
    std::unique_ptr<TParamList> list = TParamList::CreateFromWireText(line.NextTextView());
    const int32_t flag = line.NextInteger();
    // The message and the list may each be as large as a whole client file set.
    line = TStringLine();
    if (flag >= 1) {
        const bool awaited = pending_replies_ > 0;
        EndWait(false);
        if (awaited) {
            StoreReply(std::move(list));
        }
    } else if (code != kFileSegmentCode && code != kRowsAffectedCode) {
        DoCodedParamList(code, *list);
    }
}

void TClientSocket::HandleServerError(TStringLine& line) {
    EndWait(false);
    const std::unique_ptr<TParamList> errors = TParamList::CreateFromWireText(line.NextText());
    const int32_t code = line.NextInteger();
    if (code == kCookieErrorCode && (SQLErrorHandling & seRouteCookieErrorsToLogin) != 0 &&
        OnLoginParamsAttempt) {
        DoLoginParamsAttempt(false, *errors);
        return;
    }
    bool handled = false;
    if (OnServerAsyncException) {
        OnServerAsyncException(*this, code, *errors, handled);
    }
    if (handled) {
        return;
    }
    std::string message;
    for (int32_t i = 0; i < errors->Count(); ++i) {
        message += '\r';
        message += errors->Items(i).AsString();
    }
    throw EProtocolError(message.empty() ? "Server Error" : message);
}

}  // namespace px3
