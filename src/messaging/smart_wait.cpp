#include "messaging/smart_wait.h"

namespace px3 {

void TSmartWait::Wait() {
    if (waiting_) {
        return;
    }
    if (OnStartOfWait) {
        OnStartOfWait();
    }
    waiting_ = true;
    try {
        target_.Loop().PumpTargetUntil(target_, [this] { return !waiting_; });
    } catch (...) {
        waiting_ = false;
        throw;
    }
    if (OnEndOfWait) {
        OnEndOfWait();
    }
    waiting_ = false;
}

void TSmartWait::StopWait() {
    target_.Post(kWakeUpMessage);
    waiting_ = false;
}

}  // namespace px3
