#include "messaging/received_message.h"

#include <gtest/gtest.h>

#include "hex.h"
#include "messaging/messaging_errors.h"

namespace px3 {
namespace {

std::string MessageOfKind(unsigned kind) {
    std::string message(60, '\0');
    message[0] = static_cast<char>(kind);
    return message;
}

TEST(ClassifyReceivedMessage, DispatchesValidKindsAndIgnoresHigherOnes) {
    const struct {
        std::string message;
        TReceivedMessageAction action;
    } cases[] = {
        {MessageOfKind(0), TReceivedMessageAction::Dispatch},
        {MessageOfKind(70), TReceivedMessageAction::Dispatch},
        {MessageOfKind(71), TReceivedMessageAction::Ignore},
        {MessageOfKind(255), TReceivedMessageAction::Ignore},
        {MessageOfKind(28).substr(0, 50), TReceivedMessageAction::Dispatch},
        {test_bytes::Hex("fd ff ff ff"), TReceivedMessageAction::Dispatch},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClassifyReceivedMessage(c.message), c.action)
            << "kind " << static_cast<int>(static_cast<unsigned char>(c.message[0]));
    }
}

TEST(ClassifyReceivedMessage, MessageShorterThanItsHeaderIsMalformed) {
    for (size_t size : {0, 3, 4, 49}) {
        try {
            ClassifyReceivedMessage(MessageOfKind(28).substr(0, size));
            FAIL() << size << " bytes were accepted";
        } catch (const EProtocolError& e) {
            EXPECT_EQ(e.Message(), "Malformed message dropped: " + std::to_string(size) +
                                       " bytes, shorter than the 50-byte message header");
        }
    }
}

}  // namespace
}  // namespace px3
