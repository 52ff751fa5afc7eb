#include <csignal>

#include "webinfo-service/stop_request.h"

namespace px3 {

namespace {

EventLoop* loop_to_quit = nullptr;

void OnStopSignal(int) {
    loop_to_quit->QuitFromAnyThread();
}

}  // namespace

void QuitOnStopRequest(EventLoop& loop) {
    loop_to_quit = &loop;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace px3
