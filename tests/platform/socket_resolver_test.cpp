#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/event_loop.h"
#include "platform/host_resolver.h"
#include "platform/ipv4_address.h"
#include "platform/loop_test_support.h"

namespace px3 {
namespace {

using testing::RunUntil;

TEST(Ipv4AddressTest, ReadsOnlyFourDottedDecimalNumbers) {
    const struct {
        const char* text;
        std::optional<std::uint32_t> value;
    } cases[] = {
        {"127.0.0.1", 0x7F000001},       {"0.0.0.0", 0},
        {"255.255.255.255", 0xFFFFFFFF}, {"192.168.001.020", 0xC0A80114},
        {"256.0.0.1", std::nullopt},     {"1.2.3", std::nullopt},
        {"1.2.3.4.5", std::nullopt},     {"1.2.3.", std::nullopt},
        {" 1.2.3.4", std::nullopt},      {"1.2.3.4 ", std::nullopt},
        {"1..3.4", std::nullopt},        {"1.2.3.0004", std::nullopt},
        {"localhost", std::nullopt},     {"", std::nullopt},
    };
    for (const auto& c : cases) {
        const std::optional<Ipv4Address> parsed = ParseIpv4Address(c.text);
        ASSERT_EQ(parsed.has_value(), c.value.has_value()) << c.text;
        if (parsed) {
            EXPECT_EQ(parsed->value, *c.value) << c.text;
        }
    }
    EXPECT_EQ(Ipv4Address{0xC0A80114}.ToString(), "192.168.1.20");
}

TEST(ResolveHostNameTest, ResolvesNamesAndTakesDottedAddressesAsTheyStand) {
    EXPECT_EQ(ResolveHostName("localhost"), kLoopbackAddress);
    EXPECT_EQ(ResolveHostName("10.1.2.3"), Ipv4Address{0x0A010203});
    EXPECT_EQ(ResolveHostName("no-such-host.invalid"), std::nullopt);
    EXPECT_EQ(ResolveHostName(""), std::nullopt);
}

class HostResolverTest : public ::testing::Test {
  protected:
    EventLoop loop;
    NotificationTarget target{loop};
    std::vector<std::optional<Ipv4Address>> results;
    HostResolver resolver{target, [this](std::optional<Ipv4Address> r) { results.push_back(r); }};
};

TEST_F(HostResolverTest, ResultsArriveThroughTheLoop) {
    const struct {
        const char* name;
        std::optional<Ipv4Address> expected;
    } cases[] = {
        {"localhost", kLoopbackAddress},
        {"no-such-host.invalid", std::nullopt},
        {"10.1.2.3", Ipv4Address{0x0A010203}},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        results.clear();
        resolver.Start(c.name);
        EXPECT_TRUE(results.empty()) << c.name;
        EXPECT_TRUE(resolver.Busy());

        ASSERT_TRUE(RunUntil(loop, [&] { return !results.empty(); })) << c.name;
        EXPECT_EQ(results, std::vector<std::optional<Ipv4Address>>{c.expected}) << c.name;
        EXPECT_FALSE(resolver.Busy());
    }
}

TEST_F(HostResolverTest, AFilteredWaitOnAnotherTargetLeavesTheResultQueued) {
    NotificationTarget other(loop);
    resolver.Start("127.0.0.1");

    bool other_done = false;
    other.SetHandler([&](const LoopMessage&) { other_done = true; });
    other.Post(0x0500);
    loop.PumpTargetUntil(other, [&] { return other_done; });
    EXPECT_TRUE(results.empty());

    loop.ProcessPending();
    EXPECT_EQ(results.size(), 1u);
}

TEST_F(HostResolverTest, AnAbandonedLookupReportsNothing) {
    resolver.Start("localhost");
    resolver.Cancel();
    EXPECT_FALSE(resolver.Busy());
    resolver.Start("no-such-host.invalid");
    resolver.Start("10.0.0.1");

    ASSERT_TRUE(RunUntil(loop, [&] { return !results.empty(); }));
    {
        auto doomed = std::make_unique<HostResolver>(target, [&](auto) { results.clear(); });
        doomed->Start("localhost");
    }
    loop.WaitAndProcess(200);
    EXPECT_EQ(results, std::vector<std::optional<Ipv4Address>>{Ipv4Address{0x0A000001}});
}

}  // namespace
}  // namespace px3
