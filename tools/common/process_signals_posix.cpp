#include <csignal>

#include "common/process_signals.h"

namespace px3 {

namespace {

EventLoop* loop_to_quit = nullptr;

void OnStopSignal(int) {
    loop_to_quit->QuitFromAnyThread();
}

}  // namespace

void SetUpProcessSignals(EventLoop& loop) {
    loop_to_quit = &loop;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // Writing to a closed output pipe then fails quietly instead of killing the server.
    std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace px3
