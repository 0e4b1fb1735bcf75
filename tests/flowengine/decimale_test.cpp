#include "flowengine/decimale.h"

#include "platform/errors.h"

#include <gtest/gtest.h>

using flowengine::Decimale;

namespace {

int errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const platform::RuntimeError &e) {
        return e.number();
    }
    return 0;
}

}  // namespace

TEST(Decimale, ReadsTheNumericValueOfAText)
{
    struct Case {
        const char *text;
        const char *value;
    };
    const Case cases[] = {
        {"123.45", "123.45"}, {"  1 2", "12"},   {"0012.500", "12.5"}, {"-3.2", "-3.2"}, {"+7", "7"},
        {".5", ".5"},        {"12,5", "12"},    {"1.2.3", "1.2"},     {"abc", "0"},     {"", "0"},
        {"-", "0"},           {"5-3", "5"},      {"1\t0\n0", "100"},   {"-0.0", "0"}, {"-0.25", "-.25"},    {"1E3", "1"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Decimale::daTesto(c.text).testo(), c.value) << c.text;
}

TEST(Decimale, AddsExactly)
{
    Decimale t;
    for (int i = 0; i < 10; ++i)
        t += Decimale::daTesto("0.1");
    EXPECT_EQ(t.testo(), "1");
    EXPECT_EQ((Decimale::daTesto("1234567.89") + Decimale::daTesto("0.01")).testo(), "1234567.9");
    EXPECT_EQ((Decimale::daTesto("16777217") + Decimale::daTesto("1")).testo(), "16777218");
    EXPECT_EQ((Decimale::daTesto("5") + Decimale::daTesto("-7.25")).testo(), "-2.25");
    EXPECT_EQ(errorOf([] { Decimale::daTesto(QString(39, u'9')); }), platform::err::Overflow);
    EXPECT_EQ(errorOf([] { Decimale::daTesto(QString(38, u'9')) + Decimale::daTesto("1"); }),
              platform::err::Overflow);
}

TEST(Decimale, RoundsHalfToEvenIntoWholeNumbers)
{
    struct Case {
        const char *text;
        int value;
    };
    const Case cases[] = {{"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {"2.51", 3}, {"-3.5", -4}, {"32767.4", 32767}};
    for (const Case &c : cases)
        EXPECT_EQ(Decimale::daTesto(c.text).intero16(), c.value) << c.text;
    EXPECT_EQ(errorOf([] { Decimale::daTesto("32767.5").intero16(); }), platform::err::Overflow);
    EXPECT_EQ(Decimale::daTesto("2147483647").intero32(), 2147483647);
    EXPECT_EQ(errorOf([] { Decimale::daTesto("2147483648").intero32(); }), platform::err::Overflow);
}
