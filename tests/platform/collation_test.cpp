#include <gtest/gtest.h>

#include <string>

#include "platform/collation.h"

namespace px3 {
namespace {

int Sign(int value) {
    return (value > 0) - (value < 0);
}

// Letters and digits sort alike on every system; the symbols below sort so on both as well.
TEST(Collation, OrdersLettersAndDigitsIgnoringCase) {
    struct Case {
        const char* a;
        const char* b;
        int expected;
    };
    const Case cases[] = {
        {"a", "b", -1},
        {"B", "a", 1},
        {"abc", "ABC", 0},
        {"Flag=201", "flag=201", 0},
        {"a", "ab", -1},
        {"1", "9", -1},
        {"9", "a", -1},
        {"Z", "0", 1},
        {"devicesn=1", "flag=201", -1},
        {"ippwd=1", "spareip", -1},
        {"spareip=", "sysid=x", -1},
        {"", "a", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sign(CompareTextIgnoreCase(c.a, c.b)), c.expected) << c.a << " vs " << c.b;
        EXPECT_EQ(Sign(CompareTextIgnoreCase(c.b, c.a)), -c.expected) << c.b << " vs " << c.a;
    }
}

}  // namespace
}  // namespace px3
