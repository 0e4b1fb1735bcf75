#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace {

TEST(CodePage, WritesEveryCharacterItHolds)
{
    const struct {
        QString text;
        QByteArray bytes;
    } cases[] = {
        {QStringLiteral("Dogana, C:\\Corbix"), QByteArray("Dogana, C:\\Corbix")},
        {QStringLiteral("è à ò ù é ì"), QByteArray("\xE8 \xE0 \xF2 \xF9 \xE9 \xEC")},
        {QStringLiteral("€ ‚ ƒ „ … † ‡ ˆ ‰ Š ‹ Œ Ž"),
         QByteArray("\x80 \x82 \x83 \x84 \x85 \x86 \x87 \x88 \x89 \x8A \x8B \x8C \x8E")},
        {QStringLiteral("‘ ’ “ ” • – — ˜ ™ š › œ ž Ÿ"),
         QByteArray("\x91 \x92 \x93 \x94 \x95 \x96 \x97 \x98 \x99 \x9A \x9B \x9C \x9E \x9F")},
        {QString(QChar(0xA0)) + QChar(0xFF), QByteArray("\xA0\xFF")},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(platform::toWindows1252(c.text), c.bytes) << c.text.toStdString();
        EXPECT_EQ(platform::fromWindows1252(c.bytes), c.text) << c.text.toStdString();
    }
}

TEST(CodePage, UnmappableCharactersBecomeQuestionMarks)
{
    // One mark for each character, a pair of surrogates included.
    EXPECT_EQ(platform::toWindows1252(QStringLiteral("a\u0141b\u4E2D") + QString::fromUcs4(U"\U0001F600", 1)),
              QByteArray("a?b??"));
}

TEST(CodePage, EveryByteReadsBackToItself)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    EXPECT_EQ(platform::toWindows1252(platform::fromWindows1252(all)), all);
    EXPECT_EQ(platform::fromWindows1252(QByteArray("\x81\x8D\x8F\x90\x9D")),
              QString::fromUtf16(u"\u0081\u008D\u008F\u0090\u009D"));
}

TEST(CodePage, UpperCaseStaysInsideTheCodePage)
{
    const struct {
        QString text;
        QString upper;
    } cases[] = {
        {QStringLiteral("xyzàbcd"), QStringLiteral("XYZÀBCD")},
        {QStringLiteral("ÿšœžæøþ"), QStringLiteral("ŸŠŒŽÆØÞ")},
        // No single upper case in the page: the character stays.
        {QStringLiteral("ßµ"), QStringLiteral("ßµ")},
        {QStringLiteral("A1-/ É"), QStringLiteral("A1-/ É")},
        {QString(), QString()},
    };
    for (const auto &c : cases) {
        const QString upper = platform::upperWindows1252(c.text);
        EXPECT_EQ(upper, c.upper) << c.text.toStdString();
        EXPECT_EQ(upper.size(), c.text.size());
    }
}

}  // namespace
