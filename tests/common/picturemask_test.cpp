#include "common/picturemask.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace common;

TEST(PictureMask, WellFormedPictures)
{
    struct Case {
        const char *picture;
        bool wellFormed;
    } cases[] = {
        {"", true},
        {"XX\"/\"XX\"/\"XX", true},
        {"Z(6)", true},
        {"SN(3)VZ(2)", true},
        {"N(3)VR", true},
        {"VR", true},
        {"X()", true},
        {"'''X", true},
        {"\"\"\"", true},
        {"\"a\"S", true},
        {"SX", false},
        {"XN", false},
        {"XS", false},
        {"NX", false},
        {"XV", false},
        {"9", false},
        {"X(9)", true},
        {"X 9", false},
        {"x", false},
        {"RV", false},
        {"VRR", false},
        {"VV", false},
        {"NS", false},
        {"SS", false},
        {"X(1a)", false},
        {"X(12", false},
        {"'abc", false},
        {"\"abc'", false},
        {"''''", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.picture);
        EXPECT_EQ(CheckPictureMask(c.picture), c.wellFormed);
    }
}

TEST(PictureMask, TokensOfAPictureAndANewPictureStartingAgain)
{
    QStringList tokens;
    for (QString t = NextPictureToken("SN(3)\"S-V\"VZ(12)R'''X"); !t.isEmpty(); t = NextPictureToken())
        tokens << t;
    EXPECT_EQ(tokens, QStringList({"S", "N(3)", "\"S-V\"", "V", "Z(12)", "R", "'''", "X"}));
    EXPECT_EQ(NextPictureToken(), "");
    EXPECT_EQ(NextPictureToken("X(2)'a'"), "X(2)");
    EXPECT_EQ(NextPictureToken("Z"), "Z");
    EXPECT_EQ(NextPictureToken(), "");
}

TEST(PictureMask, FormatByPicture)
{
    struct Case {
        const char *value;
        const char *picture;
        const char *result;
    } cases[] = {
        // The answer screens' pictures.
        {"311203", "XX\"/\"XX\"/\"XX", "31/12/03"},
        {"42", "Z(6)", "000042"},
        {"1234567", "Z(4)", "1234567"},
        // Signs, suppressed zeros and decimals.
        {"-5", "N(3)", "-5"},
        {"5", "SN(3)", "+5"},
        {"-5", "SN(3)", "-5"},
        {"0", "N(3)", ""},
        {"12.5", "N(3)VZ(2)", "12.50"},
        {"12.5", "N(3)VR", "12"},
        {"12.567", "N(3)VZ(2)", "12.56"},
        {"1.500", "N(3)VN(3)", "1.5"},
        {"1.05", "N(3)VN(1)N(1)", "1.05"},
        {"105", "N(3)", "105"},
        {"007", "N(3)", "7"},
        {"1000", "Z(2)N(2)", "1000"},
        {"12.5", "SVZ(2)", "+12.50"},
        {"12.5", "V", "12.5"},
        {"1234", "N(2)\".\"N(2)", "12.34"},
        {"34", "N(2)'.'N(2)", "34"},
        {"1234", "N(2)'.'N(2)", "12.34"},
        {"7.25", "N(2)V\",\"Z(2)", "7.,25"},
        {"7.25", "N(2)V'-'Z(2)", "7.-25"},
        {"7.", "N(2)V'-'Z(2)", "7.-00"},
        // Text pictures.
        {"ab", "X(3)", "ab"},
        {"3112", "XX\"/\"XX\"/\"XX", "31/12/"},
        {"ab", "XX'/'XX", "ab"},
        {"abcd", "XX'/'XX", "ab/cd"},
        {"abcdef", "XX", "ab"},
        {"ab", "X\"\"\"X", "a\"b"},
        {"ab", "X'''X", "a'b"},
        {"a", "X'''X", "a"},
        {"anything", "", ""},
        {"12345", "X()X", "1"},
        // A quoted S, V, N, Z or R is text: the picture stays a text picture.
        {"311203", "XX\"S\"XX\"V\"XX", "31S12V03"},
        {"ab", "X'N'X", "aNb"},
        {"ab", "\"Z(1)R\"X(2)", "Z(1)Rab"},
        // Ill-formed pictures leave the value unchanged.
        {"12", "SX", "12"},
        {"12", "X9", "12"},
        // Counts beyond 16 bits.
        {"42", "Z(70000)", nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.value) + " / " + c.picture);
        const QString result = FormatByPicture(c.value, c.picture);
        if (c.result)
            EXPECT_EQ(result, c.result);
        else
            EXPECT_EQ(result, QString(69998, u'0') + "42");
    }
}

TEST(PictureMask, ACountBeyondSixteenBitsTakesTheWholeOfALongValue)
{
    const QString value = QString(40000, u'a') + QString(40000, u'b');
    EXPECT_EQ(FormatByPicture(value, "X(70000)X(10000)"), value);
    EXPECT_EQ(FormatByPicture(value, "X(70000)"), value.left(70000));
    EXPECT_EQ(FormatByPicture("abc", "X(99999999999999999999)"), "abc");
}
