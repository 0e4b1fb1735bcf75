#include "common/messageset.h"

#include "common/globals.h"
#include "common/workstation.h"
#include "platform/messagebox.h"
#include "platform/workstation.h"
#include "support/doubles/fixedworkstationsource.h"
#include "support/doubles/recordingmessagebox.h"

#include <gtest/gtest.h>

using namespace common;
using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

class MessageSetTest : public ::testing::Test {
protected:
    MessageSetTest() : scoped_(boxes_) { resetGlobals(); }
    ~MessageSetTest() override { resetGlobals(); }

    platform::RecordingMessageBoxService boxes_;
    platform::ScopedMessageBoxService scoped_;
};

Message critical(const QString &text) { return Message{text, QStringLiteral("Corbix"), MsgIcon::Critical, MsgButtons::OK, 1}; }

TEST_F(MessageSetTest, ReferencesOutsideTheSetShowTheirMessage)
{
    const struct {
        const char *reference;
        const char *text;
    } cases[] = {
        {"[26]", "Application error: message identifer N. 26 not found in message set."},
        {"[36] durante l'apertura", "Application error: message identifer N. 36 not found in message set."},
        {"[0]", "Application error: message identifer N. 0 not found in message set."},
        {"[-3]x", "Application error: message identifer N. -3 not found in message set."},
        {"[abc]x", "Application error: message identifer N. abc not found in message set."},
        {"26", "Application error: unable to evaluate message identifer '26'"},
    };
    for (const auto &c : cases) {
        boxes_.shown.clear();
        EXPECT_EQ(GetMessageText(QString::fromUtf8(c.reference)), QString()) << c.reference;
        ASSERT_EQ(boxes_.shown.size(), 1u) << c.reference;
        EXPECT_EQ(boxes_.shown[0], critical(QString::fromUtf8(c.text))) << c.reference;
    }
}

TEST_F(MessageSetTest, EntryOfAFilledSetIsFollowedByTheRest)
{
    ElencoMessaggi = {QStringLiteral("Primo"), QStringLiteral("Secondo")};
    NumeroMessaggi = 2;
    EXPECT_EQ(GetMessageText(QStringLiteral("[2] e oltre")), QStringLiteral("Secondo e oltre"));
    EXPECT_EQ(GetMessageText(QStringLiteral("1]")), QStringLiteral("Primo"));
    EXPECT_TRUE(boxes_.shown.empty());
    EXPECT_EQ(GetMessageText(QStringLiteral("[3]")), QString());
    EXPECT_EQ(boxes_.shown.size(), 1u);
}

TEST(NomePostazione, JoinsComputerAndUserWithTheirPlaceholders)
{
    const struct {
        std::optional<QString> host, user;
        const char *name;
    } cases[] = {
        {QStringLiteral("PC-UFFICIO-2"), QStringLiteral("mario"), "PC-UFFICIO-2-mario"},
        {QStringLiteral("PC1"), std::nullopt, "PC1-??"},
        {std::nullopt, QStringLiteral("mario"), "???" "-mario"},
        {QStringLiteral("  "), QStringLiteral("mario"), "-mario"},
    };
    for (const auto &c : cases) {
        platform::FixedWorkstationSource source(c.host, c.user);
        platform::ScopedWorkstationSource scoped(source);
        EXPECT_EQ(NomePostazione(), QString::fromLatin1(c.name));
    }
}

}  // namespace
