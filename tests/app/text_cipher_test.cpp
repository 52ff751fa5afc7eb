#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/text_cipher.h"
#include "base/exception.h"

namespace px3 {
namespace {

class FixedStartByte : public StartByteSource {
  public:
    explicit FixedStartByte(uint8_t value) : value_(value) {}
    uint8_t NextStartByte() override { return value_; }

  private:
    uint8_t value_;
};

std::string Encipher(std::string_view text, std::string_view key, uint8_t start) {
    FixedStartByte startByte(start);
    return CipherText(text, key, 1, startByte);
}

std::string Decipher(std::string_view text, std::string_view key = "") {
    return CipherText(text, key, 0);
}

TEST(TextCipher, EnciphersByteForByteFromTheStartByte) {
    EXPECT_EQ(Encipher("192.168.10.200", "", 0x5A), "5AC96FD466E46FC898AC97ACAABFAD");
    EXPECT_EQ(Encipher("10.0.0.1", "ABCD", 0xFF), "FF70E252C6B5A79683");
    EXPECT_EQ(Encipher("x", "", 0x00), "003A");
    FixedStartByte start(7);
    EXPECT_EQ(CipherText("x", "", 2, start), CipherText("x", "", -1, start));
}

TEST(TextCipher, DeciphersUpperAndLowerCaseHex) {
    EXPECT_EQ(Decipher("5AC96FD466E46FC898AC97ACAABFAD"), "192.168.10.200");
    EXPECT_EQ(Decipher("5ac96fd466e46fc898ac97acaabfad"), "192.168.10.200");
    EXPECT_EQ(Decipher("FF70E252C6B5A79683", "ABCD"), "10.0.0.1");
}

TEST(TextCipher, EmptyTextStaysEmptyInBothModes) {
    EXPECT_EQ(Encipher("", "", 9), "");
    EXPECT_EQ(Decipher(""), "");
}

TEST(TextCipher, EmptyKeyMeansTheDefaultKey) {
    const std::string enciphered = Encipher("10.1.2.3", "", 0x33);
    EXPECT_EQ(enciphered, Encipher("10.1.2.3", "BluestoneKite", 0x33));
    EXPECT_EQ(Decipher(enciphered, ""), "10.1.2.3");
    EXPECT_EQ(Decipher(enciphered, "BluestoneKite"), "10.1.2.3");
}

TEST(TextCipher, ShortKeysRepeatAndLongKeysAreCutToTheText) {
    EXPECT_EQ(Encipher("abcdefg", "AB", 1), Encipher("abcdefg", "ABABABA", 1));
    EXPECT_EQ(Encipher("ab", "KEYS", 1), Encipher("ab", "KEXX", 1));
    EXPECT_EQ(Decipher(Encipher("abcdefg", "AB", 1), "AB"), "abcdefg");
}

TEST(TextCipher, RoundTripsEveryByteButTheTwoTheLoopCannot) {
    // A plain 0 after a previous byte below 255 comes back as 255; a plain 255 after a previous
    // byte of 255 comes back as 0. Every other byte comes back as it was.
    for (int start = 0; start < 256; ++start) {
        for (int plain = 0; plain < 256; ++plain) {
            const std::string text(1, static_cast<char>(plain));
            const std::string enciphered = Encipher(text, "", static_cast<uint8_t>(start));
            ASSERT_EQ(enciphered.size(), 4u);
            int expected = plain;
            if (start < 255 && plain == 0) {
                expected = 255;
            } else if (start == 255 && plain == 255) {
                expected = 0;
            }
            ASSERT_EQ(Decipher(enciphered), std::string(1, static_cast<char>(expected)))
                << "start " << start << " plain " << plain;
        }
    }
    EXPECT_EQ(Decipher(Encipher(std::string("\x00\xff\x01", 3), "", 0xFF)),
              std::string("\x00\xff\x01", 3));
}

TEST(TextCipher, LengthRulesOfDeciphering) {
    EXPECT_EQ(Encipher("192.168.100.20", "", 0).size(), 30u);
    EXPECT_EQ(Encipher("10.10.100.200", "", 0).size(), 28u);
    EXPECT_EQ(Decipher("5A7"), "\xEA");  // the third character read alone
    EXPECT_EQ(Decipher("5A7B"), "\xDE");
    EXPECT_EQ(Decipher("5A7B3"), "\xDE");  // an odd last character is ignored
    EXPECT_EQ(Decipher("5A7BZ"), "\xDE");
    EXPECT_EQ(Decipher("FF70E252C6B5A796835"), Decipher("FF70E252C6B5A79683"));
}

TEST(TextCipher, DecipheringFailsOnTextThatIsNotHex) {
    const std::pair<const char*, const char*> cases[] = {
        {"5", "'$' is not a valid integer value"},
        {"5A", "'$' is not a valid integer value"},
        {"ZZ00", "'$ZZ' is not a valid integer value"},
        {"00G1", "'$G1' is not a valid integer value"},
        {"00-1", "'$-1' is not a valid integer value"},
        {"00 1", "'$ 1' is not a valid integer value"},
        {"000+", "'$0+' is not a valid integer value"},
        {"5AC96FD4x6", "'$x6' is not a valid integer value"},
    };
    for (const auto& [text, message] : cases) {
        try {
            Decipher(text);
            ADD_FAILURE() << text << ": no failure";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), message) << text;
        }
    }
}

TEST(TextCipher, ClockSeededStartBytesVaryAndRoundTrip) {
    std::set<std::string> texts;
    for (int i = 0; i < 100; ++i) {
        const std::string enciphered = CipherText("192.168.1.10", "", 1);
        EXPECT_EQ(enciphered.size(), 26u);
        EXPECT_EQ(Decipher(enciphered), "192.168.1.10");
        texts.insert(enciphered);
    }
    EXPECT_GT(texts.size(), 1u);
}

}  // namespace
}  // namespace px3
