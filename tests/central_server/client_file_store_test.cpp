#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/exception.h"
#include "central-server/client_file_store.h"
#include "central_server/server_test_support.h"

namespace px3 {
namespace {

using server_test::TempFolder;

class ClientFileStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        outside.Write("secret.txt", "outside the root");
        root.Write("a.txt", "A");
        root.Write("Bin/x.dll", "X");
        root.Write("Bin/Sub/y.dat", "Y");
        root.Write("Empty.txt", "");
        std::filesystem::create_directories(root.Path() / "NoFiles");
    }

    TempFolder outside;
    TempFolder root;
};

TEST_F(ClientFileStoreTest, ListsEveryFileBelowTheRootWithBackslashesSortedByName) {
    const ClientFileStore store(root.Path());
    std::vector<std::string> names;
    for (const ClientFile& file : store.List()) {
        names.push_back(file.name);
        EXPECT_TRUE(std::filesystem::is_regular_file(file.path)) << file.name;
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"Bin\\Sub\\y.dat", "Bin\\x.dll", "Empty.txt", "a.txt"}));
}

TEST_F(ClientFileStoreTest, ReadsOnlyListedFilesAndNothingOutsideTheRoot) {
    const ClientFileStore store(root.Path());
    EXPECT_EQ(store.Read("Bin\\Sub\\y.dat"), "Y");
    EXPECT_EQ(store.Read("Empty.txt"), "");

    const std::string outside_file = (outside.Path() / "secret.txt").string();
    const std::string up = "..\\" + outside.Path().filename().string() + "\\secret.txt";
    for (const std::string& refused :
         {std::string("missing.txt"), std::string("Bin"), std::string("NoFiles"), std::string(""),
          std::string("Bin/x.dll"), std::string("\\a.txt"), std::string("Bin\\..\\a.txt"), up,
          "Bin\\..\\" + up, outside_file}) {
        EXPECT_EQ(store.Read(refused), std::nullopt) << refused;
    }
}

#ifndef _WIN32
TEST_F(ClientFileStoreTest, LeavesOutLinksThatLeadOutOfTheRoot) {
    std::filesystem::create_symlink(outside.Path() / "secret.txt", root.Path() / "link.txt");
    std::filesystem::create_directory_symlink(outside.Path(), root.Path() / "LinkedFolder");
    const ClientFileStore store(root.Path());
    for (const ClientFile& file : store.List()) {
        EXPECT_EQ(file.name.find("link"), std::string::npos) << file.name;
        EXPECT_EQ(file.name.find("Linked"), std::string::npos) << file.name;
    }
    EXPECT_EQ(store.Read("link.txt"), std::nullopt);
    EXPECT_EQ(store.Read("LinkedFolder\\secret.txt"), std::nullopt);
}
#endif

TEST_F(ClientFileStoreTest, RefusesARootThatIsNotAFolder) {
    EXPECT_THROW(ClientFileStore(root.Path() / "a.txt"), Exception);
    EXPECT_THROW(ClientFileStore(root.Path() / "missing"), Exception);
}

}  // namespace
}  // namespace px3
