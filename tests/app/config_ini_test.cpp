#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/config_ini.h"
#include "base/exception.h"

namespace px3 {
namespace {

namespace fs = std::filesystem;

class ConfigIniTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() / (std::string("px3_config_") + info->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string ReadConfig() {
        std::ifstream in(folder_ / "Config.ini", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    fs::path folder_;
};

TEST_F(ConfigIniTest, LivesInTheToolsFolder) {
    const std::string folder = folder_.string();
    TConfigIni withoutDelimiter(SystemProfileWriter(), folder);
    TConfigIni withDelimiter(SystemProfileWriter(), folder + "/");
    EXPECT_EQ(fs::path(withoutDelimiter.Path()), folder_ / "Config.ini");
    EXPECT_EQ(withDelimiter.Path(), folder + "/Config.ini");
}

TEST_F(ConfigIniTest, WritingReg5CreatesTheFileWithSectionBase) {
    TConfigIni config(SystemProfileWriter(), folder_.string());
    config.WriteReg5("5AC96F");
    config.WriteLastConnectDateTime("2024-05-06 07:08:09");
    EXPECT_EQ(ReadConfig(), "[BASE]\r\nReg5=5AC96F\r\nLastConnectDateTime=2024-05-06 07:08:09\r\n");
}

TEST_F(ConfigIniTest, ReplacingAKeyKeepsTheClientsOtherLines) {
    std::ofstream(folder_ / "Config.ini", std::ios::binary)
        << "[BASE]\r\nServerName=main\r\nReg5=OLD\r\nLastConnectDateTime=old\r\n[UI]\r\nReg5=1\r\n";
    TConfigIni config(SystemProfileWriter(), folder_.string());
    config.WriteReg5("NEW");
    config.WriteLastConnectDateTime("new");
    EXPECT_EQ(
        ReadConfig(),
        "[BASE]\r\nServerName=main\r\nReg5=NEW\r\nLastConnectDateTime=new\r\n[UI]\r\nReg5=1\r\n");
}

TEST_F(ConfigIniTest, RefusesValuesThatWouldAddLinesToTheFile) {
    const std::string before = "[BASE]\r\nServerName=main\r\nLastConnectDateTime=old\r\n";
    std::ofstream(folder_ / "Config.ini", std::ios::binary) << before;
    TConfigIni config(SystemProfileWriter(), folder_.string());
    for (const std::string& value : {std::string("now\r\n[BASE]\r\nServerName=other"),
                                     std::string("now\nx"), std::string("now\0x", 5)}) {
        try {
            config.WriteLastConnectDateTime(value);
            ADD_FAILURE() << "no failure";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), "Not written to " + config.Path() +
                                       ": the value of LastConnectDateTime holds a line break "
                                       "or a zero byte");
        }
    }
    EXPECT_EQ(ReadConfig(), before);
}

TEST_F(ConfigIniTest, WritingIntoAMissingFolderFails) {
    TConfigIni config(SystemProfileWriter(), (folder_ / "missing").string());
    try {
        config.WriteReg5("00");
        FAIL() << "no failure";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + config.Path());
    }
    EXPECT_FALSE(fs::exists(folder_ / "missing"));
}

}  // namespace
}  // namespace px3
