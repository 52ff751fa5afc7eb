#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "central-server/server_options.h"

namespace px3 {
namespace {

TEST(ServerOptions, ReadsEveryOption) {
    const ServerOptions options =
        ParseServerOptions({"--root", "files", "--port", "0", "--bind", "0.0.0.0", "--user-hex",
                            "ceacbba4", "--password", "pw", "--app", "post", "--ping-seconds", "5",
                            "--fault", "redirect", "--redirect-to", "127.0.0.1:7001"});
    EXPECT_EQ(options.root, std::filesystem::path("files"));
    EXPECT_EQ(options.port, 0);
    EXPECT_EQ(options.bind_address, kAnyAddress);
    EXPECT_EQ(options.credentials.user, "\xce\xac\xbb\xa4");
    EXPECT_EQ(options.credentials.password, "pw");
    EXPECT_EQ(options.credentials.application, "post");
    EXPECT_EQ(options.ping_seconds, 5u);
    EXPECT_EQ(options.fault, ServerFault::kRedirect);
    EXPECT_EQ(options.redirect_to, "127.0.0.1:7001");
}

TEST(ServerOptions, RefusesAWrongCommandLine) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {},
             {"--port", "1"},
             {"--root"},
             {"--root", "r", "--port", "65536"},
             {"--root", "r", "--port", "-1"},
             {"--root", "r", "--user-hex", "abc"},
             {"--root", "r", "--fault", "slow"},
             {"--root", "r", "--fault", "redirect"},
             {"--root", "r", "--redirect-to", "127.0.0.1:7001"},
             {"--root", "r", "--fault", "redirect", "--redirect-to", "nohost"},
             {"--root", "r", "--bind", "localhost"},
             {"--root", "r", "--verbose", "1"}}) {
        EXPECT_THROW(ParseServerOptions(args), EServerOptionError)
            << ::testing::PrintToString(args);
    }
}

}  // namespace
}  // namespace px3
