#include "common/decimal.h"
#include "common/paths.h"

#include "platform/errors.h"

#include <gtest/gtest.h>

using common::Decimal;

namespace {

QString q(const char *utf8) { return QString::fromUtf8(utf8); }

TEST(DecimalTest, ReadsTheNumberATextStartsWith)
{
    struct Case {
        const char *text, *plain;
    };
    const std::vector<Case> cases = {
        {"12.50", "12.5"}, {"0.25", ".25"}, {"-0.5", "-.5"},   {"+3", "3"},       {"100", "100"},
        {"007.100", "7.1"}, {"", "0"},       {"abc", "0"},      {"-", "0"},        {" 1 234,5", "1234"},
        {"12abc3", "12"},  {".5.5", ".5"},   {"-0", "0"},       {"1\t2\n3", "123"}, {"0.000", "0"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Decimal::fromText(q(c.text)).toPlainText(), q(c.plain));
    }
}

TEST(DecimalTest, AddsExactly)
{
    Decimal sum;
    for (const char *amount : {"1.05", "0.1", "-0.10", "0.2"})
        sum += Decimal::fromText(q(amount));
    EXPECT_EQ(sum.toPlainText(), q("1.25"));
    EXPECT_EQ(sum, Decimal::fromText(q("1.250")));
    EXPECT_FALSE(sum.isNegative());

    Decimal tenths;
    for (int i = 0; i < 10; ++i)
        tenths += Decimal::fromText(q(".1"));
    EXPECT_EQ(tenths.toPlainText(), q("1"));
    tenths += Decimal::fromText(q("-1.01"));
    EXPECT_EQ(tenths.toPlainText(), q("-.01"));
    EXPECT_TRUE(tenths.isNegative());

    Decimal large = Decimal::fromText(q("123456789012345678"));
    large += Decimal::fromText(q("1"));
    EXPECT_EQ(large.toPlainText(), q("123456789012345679"));
}

TEST(DecimalTest, MoreDigitsThanItHoldsIsAnOverflow)
{
    for (const char *text : {"1234567890123456789", "0.0000000000000000001"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(Decimal::fromText(q(text)), platform::RuntimeError);
    }
    Decimal big = Decimal::fromText(q("999999999999999999"));
    try {
        big += Decimal::fromText(q("1"));
        FAIL() << "the sum did not fit and was taken";
    } catch (const platform::RuntimeError &e) {
        EXPECT_EQ(e.number(), platform::err::Overflow);
    }
    Decimal mixed = Decimal::fromText(q("99999999999999999"));
    EXPECT_THROW(mixed += Decimal::fromText(q(".01")), platform::RuntimeError);
}

TEST(NumericValueTest, TheNumberAtTheStartOfAText)
{
    struct Case {
        const char *text, *prefix;
        double value;
    };
    const std::vector<Case> cases = {
        {"  -12.5kg", "-12.5", -12.5}, {"+.5", "+.5", 0.5}, {"1 000", "1000", 1000}, {"abc", "", 0},
        {"", "", 0},                   {"-", "", 0},         {"3-4", "3", 3},        {"0041", "0041", 41},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(common::NumericPrefix(q(c.text)), q(c.prefix));
        EXPECT_EQ(common::NumericValue(q(c.text)), c.value);
    }
    EXPECT_EQ(common::TrimSpaces(q("  a b \t ")), q("a b \t"));
    EXPECT_EQ(common::TrimSpaces(q("   ")), QString());
}

}  // namespace
