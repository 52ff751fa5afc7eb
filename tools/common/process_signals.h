#pragma once

#include "platform/event_loop.h"

namespace px3 {

// Makes SIGINT and SIGTERM (on Windows: Ctrl+C, Ctrl+Break and closing the console) ask the loop
// to quit, so that its Run returns and the program ends in order. On POSIX a reader that stops
// reading the output no longer ends the program either.
void SetUpProcessSignals(EventLoop& loop);

}  // namespace px3
