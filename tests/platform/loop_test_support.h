#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "platform/event_loop.h"
#include "platform/tcp_socket.h"

namespace px3::testing {

// Runs passes of the loop until done() holds or ten real seconds have passed; returns done().
inline bool RunUntil(EventLoop& loop, const std::function<bool()>& done) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done() && std::chrono::steady_clock::now() < give_up) {
        loop.WaitAndProcess(100);
    }
    return done();
}

// Everything readable now, in chunks of 4096 bytes.
inline std::string ReadAvailable(TcpSocket& socket) {
    std::string received;
    char chunk[4096];
    for (IoResult result = socket.Read(chunk, sizeof chunk); result.status == IoStatus::kOk;
         result = socket.Read(chunk, sizeof chunk)) {
        received.append(chunk, result.bytes);
    }
    return received;
}

}  // namespace px3::testing
