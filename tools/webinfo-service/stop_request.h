#pragma once

#include "platform/event_loop.h"

namespace px3 {

// Makes SIGINT and SIGTERM (on Windows: Ctrl+C, Ctrl+Break and closing the console) ask the loop
// to quit, so that its Run returns and the service ends in order.
void QuitOnStopRequest(EventLoop& loop);

}  // namespace px3
