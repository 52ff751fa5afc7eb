#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "http/http_client_fixture.h"
#include "web/info_request_signing.h"

namespace px3::testing {
namespace {

// The client against Debian's "python3 -m http.server", a server that nobody here wrote. The
// launcher tests/http/with_http_server starts it and names its port and folder.
class PythonHttpServerTest : public HttpClientTest {
  protected:
    void SetUp() override {
        const char* port = std::getenv("PX3_HTTP_SERVER_PORT");
        const char* root = std::getenv("PX3_HTTP_SERVER_ROOT");
        if (port == nullptr || root == nullptr) {
            GTEST_SKIP() << "run through tests/http/with_http_server";
        }
        base_ = std::string("http://127.0.0.1:") + port;
        root_ = root;
    }

    void WriteFile(const std::string& relative, const std::string& content) {
        const std::filesystem::path file = root_ / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << content;
    }

    std::string Url(const std::string& path) const { return base_ + path; }

    std::string base_;
    std::filesystem::path root_;
};

TEST_F(PythonHttpServerTest, GetsFilesByteForByte) {
    std::string binary(300000, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i) {
        binary[i] = static_cast<char>(i * 131 + i / 4093);
    }
    WriteFile("hello.txt", "hello from python\n");
    WriteFile("data/blob.bin", binary);

    EXPECT_EQ(Get(Url("/hello.txt")), "hello from python\n");
    EXPECT_EQ(client.StatusCode(), 200);
    EXPECT_EQ(client.ContentType(), "text/plain");
    EXPECT_EQ(client.ContentLength(), 18);

    body.clear();
    EXPECT_TRUE(Get(Url("/data/blob.bin?ignored=1")) == binary);
}

TEST_F(PythonHttpServerTest, FollowsTheRelocationOfAFolderAskedForWithoutItsSlash) {
    WriteFile("folder/inner.txt", "inside");

    const std::string listing = Get(Url("/folder"));

    EXPECT_EQ(client.StatusCode(), 200);
    EXPECT_NE(listing.find("inner.txt"), std::string::npos) << listing;
    // The 301 had no body and the server closes every connection: it counts twice.
    EXPECT_EQ(client.RelocationCount(), 2);

    body.clear();
    client.RelocationMaxCount = 1;
    EXPECT_EQ(Get(Url("/folder")), "");
    EXPECT_EQ(client.StatusCode(), 301);
}

TEST_F(PythonHttpServerTest, RaisesTheServersReasonForAMissingFile) {
    EXPECT_EQ(GetFailure(Url("/missing.txt")), std::make_pair(std::string("File not found"), 404));
    EXPECT_NE(body.find("404"), std::string::npos) << body;
}

TEST_F(PythonHttpServerTest, CarriesTheSignatureLinesUnharmed) {
    WriteFile("csp/ip/index.html", "$*#{\"ipaddress\":\"10.1.2.3\"}%*#");
    const WebConstants constants{"51740968", base_, "s3cret"};
    client.Accept = "text/html, application/xhtml+xml, */*";
    client.OnBeforeHeaderSend = InfoRequestSigning(constants);

    EXPECT_EQ(Get(Url("/csp/ip/?flag=201&sysid=S1")), "$*#{\"ipaddress\":\"10.1.2.3\"}%*#");
}

}  // namespace
}  // namespace px3::testing
