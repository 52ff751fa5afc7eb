#include <windows.h>

#include "common/process_signals.h"

namespace px3 {

namespace {

EventLoop* loop_to_quit = nullptr;

// Runs on a thread of its own that the system starts for the console event.
BOOL WINAPI OnConsoleEvent(DWORD) {
    loop_to_quit->QuitFromAnyThread();
    return TRUE;
}

}  // namespace

void SetUpProcessSignals(EventLoop& loop) {
    loop_to_quit = &loop;
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

}  // namespace px3
