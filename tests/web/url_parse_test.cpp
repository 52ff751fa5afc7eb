#include <gtest/gtest.h>

#include <string>

#include "web/url.h"

namespace px3 {
namespace {

struct UrlCase {
    const char* url;
    UrlParts parts;  // scheme, user, password, host, port, path
};

TEST(ParseUrl, SplitsSchemeCredentialsHostPortAndPath) {
    const UrlCase cases[] = {
        {"http://info.example.com/csp/ip/?flag=201",
         {"http", "", "", "info.example.com", "", "/csp/ip/?flag=201"}},
        {"HTTP://host:8080", {"http", "", "", "host", "8080", ""}},
        {"http://host?a=1/b", {"http", "", "", "host", "", "?a=1/b"}},
        {"http://host/a%20b?x=1#frag", {"http", "", "", "host", "", "/a%20b?x=1#frag"}},
        {"https://u:p:q@h@host:81/", {"https", "u", "p:q@h", "host", "81", "/"}},
        {"http://user@host/", {"http", "user", "", "host", "", "/"}},
        {"svn+SSH.1-x://host", {"svn+ssh.1-x", "", "", "host", "", ""}},
        {"my_scheme://host/p", {"http", "", "", "host", "", "/p"}},
        {"host:82/p", {"http", "", "", "host", "82", "/p"}},
        {"http://[::1]:8080/", {"http", "", "", "[::1]", "8080", "/"}},
        {"http://", {"http", "", "", "", "", ""}},
        {"", {"http", "", "", "", "", ""}},
    };
    for (const UrlCase& c : cases) {
        const UrlParts parts = ParseUrl(c.url);
        EXPECT_EQ(parts.scheme, c.parts.scheme) << c.url;
        EXPECT_EQ(parts.user, c.parts.user) << c.url;
        EXPECT_EQ(parts.password, c.parts.password) << c.url;
        EXPECT_EQ(parts.host, c.parts.host) << c.url;
        EXPECT_EQ(parts.port, c.parts.port) << c.url;
        EXPECT_EQ(parts.path, c.parts.path) << c.url;
    }
}

}  // namespace
}  // namespace px3
