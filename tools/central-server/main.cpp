#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "base/text.h"
#include "central-server/central_server.h"
#include "central-server/server_log.h"
#include "central-server/server_options.h"
#include "common/process_signals.h"
#include "platform/event_loop.h"
#include "platform/socket_errors.h"

int main(int argc, char** argv) {
    using namespace px3;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << kServerUsage;
        return 0;
    }
    ServerOptions options;
    try {
        options = ParseServerOptions(args);
    } catch (const EServerOptionError& error) {
        std::cerr << "central-server: " << error.Message() << "\n" << kServerUsage;
        return 2;
    }

    ServerLog log(std::cout);
    EventLoop loop;
    loop.SetErrorHandler([&log](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            log.Line(std::string("internal error: ") + e.what());
        }
    });
    try {
        CentralServer server(loop, options, log);
        if (const int error = server.Start(); error != 0) {
            std::cerr << "central-server: cannot listen on port " << options.port << ": "
                      << SocketErrorText(error) << "\n";
            return 1;
        }
        SetUpProcessSignals(loop);
        log.Line("listening on " + IntToStr(server.Port()));
        loop.Run();
    } catch (const std::exception& error) {
        std::cerr << "central-server: " << error.what() << "\n";
        return 1;
    }
    log.Line("stopped");
    return 0;
}
