#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "base/text.h"
#include "common/process_signals.h"
#include "platform/event_loop.h"
#include "platform/socket_errors.h"
#include "webinfo-service/service_options.h"
#include "webinfo-service/webinfo_service.h"

int main(int argc, char** argv) {
    using namespace px3;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << kServiceUsage;
        return 0;
    }
    ServiceOptions options;
    try {
        options = ParseServiceOptions(args);
    } catch (const EServiceOptionError& error) {
        std::cerr << "webinfo-service: " << error.Message() << "\n" << kServiceUsage;
        return 2;
    }

    EventLoop loop;
    loop.SetErrorHandler([](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            std::cout << "internal error: " << e.what() << std::endl;
        }
    });
    try {
        WebInfoService service(loop, options, [](const ServedRequest& served) {
            std::cout << served.Line() << std::endl;
        });
        if (const int error = service.Start(); error != 0) {
            std::cerr << "webinfo-service: cannot listen on port " << options.port << ": "
                      << SocketErrorText(error) << "\n";
            return 1;
        }
        SetUpProcessSignals(loop);
        std::cout << "listening on " << service.Port() << std::endl;
        loop.Run();
    } catch (const std::exception& error) {
        std::cerr << "webinfo-service: " << error.what() << "\n";
        return 1;
    }
    std::cout << "stopped" << std::endl;
    return 0;
}
