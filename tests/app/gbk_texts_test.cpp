#include <gtest/gtest.h>

#include <string>

#include "app/app_texts.h"

namespace px3 {
namespace {

TEST(GbkTexts, ChineseTextsReachTheBinaryAsGbkBytes) {
    EXPECT_EQ(std::string(texts::kAppTitle), "\xCE\xAC\xBB\xA4\xB9\xA4\xBE\xDF");
}

}  // namespace
}  // namespace px3
