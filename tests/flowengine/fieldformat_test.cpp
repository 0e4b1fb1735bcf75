#include "flowengine/fieldformat.h"

#include "platform/messagebox.h"
#include "support/doubles/recordingmessagebox.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

using namespace flowengine;

namespace {

// Every case runs with the recording box service, so a picture that shows its
// box is seen here and never blocks.
class FieldFormat : public ::testing::Test {
protected:
    platform::RecordingMessageBoxService boxes;
    platform::ScopedMessageBoxService guard{boxes};

    static platform::Message missingBracket()
    {
        return {QStringLiteral("Attesa ')'"), QStringLiteral("Picture"),
                platform::MsgIcon::Information, platform::MsgButtons::OK, 1};
    }
};

struct KindCase {
    const char *picture;
    int kind;
};

TEST_F(FieldFormat, ClassifiesPicturesWithoutAnyBox)
{
    const std::vector<KindCase> cases = {
        {"9", tipopicture::Numerica},
        {"9(5)", tipopicture::Numerica},
        {"S9", tipopicture::Numerica},
        {"S9(7)V9(2)", tipopicture::Numerica},
        {"9V9", tipopicture::Numerica},
        {"9(+3)", tipopicture::Numerica},
        {"9(3.0)", tipopicture::Numerica},
        {"A", tipopicture::Alfabetica},
        {"A(20)", tipopicture::Alfabetica},
        {"X", tipopicture::Alfanumerica},
        {"X(35)", tipopicture::Alfanumerica},
        {"X(0)", tipopicture::NonValida},
        {"X(-1)", tipopicture::NonValida},
        {"X(2.5)", tipopicture::NonValida},
        {"X(a)", tipopicture::NonValida},
        {"X()", tipopicture::NonValida},
        {"V9(2)", tipopicture::NonValida},
        {"9(2)V", tipopicture::NonValida},
        {"V", tipopicture::NonValida},
        {"", tipopicture::NonValida},
        {"S", tipopicture::NonValida},
        {"SS9", tipopicture::NonValida},
        {"SV9", tipopicture::NonValida},
        {"SA(3)", tipopicture::NonValida},
        {"S9(2)VS9(2)", tipopicture::NonValida},
        {"9(2)VA(2)", tipopicture::NonValida},
        {"9(2)V9(0)", tipopicture::NonValida},
        {"99", tipopicture::NonValida},
        {"9x", tipopicture::NonValida},
        {"A3", tipopicture::NonValida},
        {"x(3)", tipopicture::NonValida},
        {"a(3)", tipopicture::NonValida},
        {"B(3)", tipopicture::NonValida},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.picture);
        EXPECT_EQ(TipoPicture(QString::fromUtf8(c.picture)), c.kind);
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(FieldFormat, CountWithoutClosingBracketShowsOneBoxPerClassification)
{
    const std::vector<const char *> pictures = {
        "X(5", "A(3", "9(5", "S9(7)V9(2", "9(5V9(2)", "X(", "A(3)B", "9(5)V9(2)V9",
    };
    for (const char *picture : pictures) {
        SCOPED_TRACE(picture);
        boxes.shown.clear();
        EXPECT_EQ(TipoPicture(QString::fromUtf8(picture)), tipopicture::NonValida);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0], missingBracket());
    }
}

TEST_F(FieldFormat, PartsWithoutACountAreOneWide)
{
    struct Case {
        const char *picture;
        Picture expected;
    };
    const std::vector<Case> cases = {
        {"9", {tipopicture::Numerica, false, 1, false, 0}},
        {"S9", {tipopicture::Numerica, true, 1, false, 0}},
        {"S9V9", {tipopicture::Numerica, true, 1, true, 1}},
        {"9(4)V9", {tipopicture::Numerica, false, 4, true, 1}},
        {"S9(7)V9(2)", {tipopicture::Numerica, true, 7, true, 2}},
        {"A", {tipopicture::Alfabetica, false, 1, false, 0}},
        {"X", {tipopicture::Alfanumerica, false, 1, false, 0}},
        {"X(35)", {tipopicture::Alfanumerica, false, 35, false, 0}},
        {"X(3.0)", {tipopicture::Alfanumerica, false, 3, false, 0}},
        {"X(99999999999)",
         {tipopicture::Alfanumerica, false, std::numeric_limits<int>::max(), false, 0}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.picture);
        const Picture p = AnalizzaPicture(QString::fromUtf8(c.picture));
        EXPECT_EQ(p.tipo, c.expected.tipo);
        EXPECT_EQ(p.conSegno, c.expected.conSegno);
        EXPECT_EQ(p.lunghezza, c.expected.lunghezza);
        EXPECT_EQ(p.conDecimali, c.expected.conDecimali);
        EXPECT_EQ(p.cifreDecimali, c.expected.cifreDecimali);
    }
}

TEST_F(FieldFormat, PartChecksTellAbsentFromMalformed)
{
    EXPECT_EQ(VerificaContenitore(QStringLiteral("(12)")), 12);
    EXPECT_EQ(VerificaContenitore(QStringLiteral("12)")), esitoparte::Assente);
    EXPECT_EQ(VerificaContenitore(QStringLiteral("(0)")), esitoparte::Errata);
    EXPECT_EQ(VerificaPictureCifre(QStringLiteral("9")), 1);
    EXPECT_EQ(VerificaPictureCifre(QStringLiteral("9(6)")), 6);
    EXPECT_EQ(VerificaPictureCifre(QStringLiteral("X(6)")), esitoparte::Assente);
    EXPECT_EQ(VerificaPictureCifre(QStringLiteral("9(x)")), esitoparte::Errata);

    Picture p;
    EXPECT_EQ(VerificaPictureNumerica(QStringLiteral("X(3)"), p), esitoparte::Assente);
    EXPECT_EQ(VerificaPictureNumerica(QStringLiteral("X(3)V9"), p), esitoparte::Errata);
    EXPECT_EQ(VerificaPictureAlfabetica(QStringLiteral("X(3)"), p), esitoparte::Assente);
    EXPECT_EQ(VerificaPictureAlfabetica(QStringLiteral("A(0)"), p), esitoparte::Errata);
    EXPECT_EQ(VerificaPictureAlfanumerica(QStringLiteral("9(3)"), p), esitoparte::Assente);
    EXPECT_EQ(VerificaPictureAlfanumerica(QStringLiteral("X(4)"), p), tipopicture::Alfanumerica);
    EXPECT_EQ(p.lunghezza, 4);
    EXPECT_TRUE(boxes.shown.empty());
}

struct FormatCase {
    const char *picture;
    bool nonNumerico;
    bool troncabile;
    const char *value;
    int code;
    const char *output;        // what the output holds afterwards
    const char *valueAfter;    // the caller's value afterwards
};

// The output starts as "prima" so that a failure is seen to leave it alone.
void runFormatCases(const std::vector<FormatCase> &cases)
{
    for (const auto &c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 / \"%2\"")
                         .arg(QString::fromUtf8(c.picture), QString::fromUtf8(c.value))
                         .toStdString());
        QString value = QString::fromUtf8(c.value);
        QString output = QStringLiteral("prima");
        EXPECT_EQ(FormattaCampo(value, QString::fromUtf8(c.picture), c.nonNumerico, c.troncabile,
                                output),
                  c.code);
        EXPECT_EQ(output, QString::fromUtf8(c.output));
        EXPECT_EQ(value, QString::fromUtf8(c.valueAfter));
    }
}

TEST_F(FieldFormat, FormatsNumbers)
{
    using namespace esitoformato;
    runFormatCases({
        {"S9(7)V9(2)", false, false, "-12.5", Ok, "-12.50", "-12.5"},
        {"S9(7)V9(2)", false, false, "12.555", Ok, "12.55", "12.555"},
        {"S9(7)V9(2)", false, false, "12.559", Ok, "12.55", "12.559"},
        {"S9(7)V9(2)", false, false, "+7", Ok, "7.00", "+7"},
        {"S9(3)V9(2)", false, false, "-.5", Ok, "-0.50", "-.5"},
        {"9(5)V9(2)", false, false, "-3", NegativoSenzaSegno, "prima", "-3"},
        {"9(3)", false, false, "1234", TroppeCifreIntere, "prima", "1234"},
        {"9(3)", false, false, "999", Ok, "999", "999"},
        {"9(3)", false, false, "abc", NonNumerico, "prima", "abc"},
        {"9(5)", false, false, "12.50", Ok, "12.5", "12.50"},
        {"9(5)", false, false, "12.000", Ok, "12", "12.000"},
        {"9(5)", false, false, "5.", Ok, "5", "5."},
        {"9(5)", false, false, ".5", Ok, "0.5", ".5"},
        {"9(5)", false, false, "00123", Ok, "123", "00123"},
        {"9(5)", true, false, "00123", Ok, "00123", "00123"},
        {"9(3)", true, false, "0001", TroppeCifreIntere, "prima", "0001"},
        {"9(3)", false, false, "0001", Ok, "1", "0001"},
        {"9(3)V9", true, false, "0001", Ok, "1.0", "0001"},
        {"S9(3)", true, false, "-007", Ok, "-007", "-007"},
        {"9(3)", false, false, "+12", Ok, "12", "+12"},
        {"9(2)V9(2)", false, false, "0", Ok, "0.00", "0"},
        {"9(2)V9(2)", false, false, "000", Ok, "0.00", "000"},
        {"9(20)", false, false, "12345678901234567890", Ok, "12345678901234567890",
         "12345678901234567890"},
        // parts without a count are one digit wide
        {"9", false, false, "7", Ok, "7", "7"},
        {"9", false, false, "12", TroppeCifreIntere, "prima", "12"},
        {"S9V9", false, false, "-1.25", Ok, "-1.2", "-1.25"},
        // not numbers
        {"9(3)", false, false, "", NonNumerico, "prima", ""},
        {"9(3)", false, false, "   ", NonNumerico, "prima", "   "},
        {"9(3)", false, false, "1,5", NonNumerico, "prima", "1,5"},
        {"9(3)", false, false, "1.2.3", NonNumerico, "prima", "1.2.3"},
        {"9(3)", false, false, "1-2", NonNumerico, "prima", "1-2"},
        {"9(3)", false, false, "-", NonNumerico, "prima", "-"},
        {"9(3)", false, false, ".", NonNumerico, "prima", "."},
        {"9(3)", false, false, "1e3", NonNumerico, "prima", "1e3"},
        {"9(3)", false, false, "12\r\n34", NonNumerico, "prima", "12\r\n34"},
        // spaces around a number are not written
        {"9(3)", false, false, " 12 ", Ok, "12", " 12 "},
        {"9(3)", true, false, " 012", Ok, "012", " 012"},
        {"S9(2)V9(2)", false, false, " -12.5 ", Ok, "-12.50", " -12.5 "},
        {"9(5)", false, false, "12.5 ", Ok, "12.5", "12.5 "},
        // a zero carries no sign
        {"9(3)", false, false, "-0", Ok, "0", "-0"},
        {"9(3)V9(2)", false, false, "-0.00", Ok, "0.00", "-0.00"},
        {"S9(3)V9(2)", false, false, "-0.001", Ok, "0.00", "-0.001"},
        {"S9(3)", true, false, "-000", Ok, "000", "-000"},
        {"9(3)", false, false, "-0.001", NegativoSenzaSegno, "prima", "-0.001"},
    });
}

TEST_F(FieldFormat, FormatsAlphabeticTexts)
{
    using namespace esitoformato;
    runFormatCases({
        {"A(3)", false, false, "ab", Ok, "AB", "AB"},
        {"A(3)", false, false, "abc", Ok, "ABC", "ABC"},
        {"A(3)", false, false, "a b", NonAlfabetico, "prima", "A B"},
        {"A(3)", false, false, "ABCD", TroppoLungo, "prima", "ABCD"},
        {"A(3)", false, true, "ABCD", Ok, "ABC", "ABCD"},
        {"A(3)", false, true, "abcd", Ok, "ABC", "ABCD"},
        {"A(3)", false, false, "a1", NonAlfabetico, "prima", "A1"},
        {"A(3)", false, false, "\xC3\xA8", NonAlfabetico, "prima", "\xC3\xA8"},
        {"A(5)", false, false, "ab\r\n", NonAlfabetico, "prima", "AB\r\n"},
        {"A(3)", false, false, "", Ok, "", ""},
        {"A", false, false, "b", Ok, "B", "B"},
        {"A", false, false, "bc", TroppoLungo, "prima", "BC"},
        {"A", false, true, "bc", Ok, "B", "BC"},
    });
}

TEST_F(FieldFormat, FormatsAlphanumericTexts)
{
    using namespace esitoformato;
    runFormatCases({
        {"X(3)", false, true, "AB CD", Ok, "AB", "AB CD"},
        {"X(3)", false, false, "AB CD", TroppoLungo, "prima", "AB CD"},
        {"X(5)", false, false, "ab cd", Ok, "ab cd", "ab cd"},
        {"X(5)", false, false, " ab ", Ok, "ab", " ab "},
        {"X(3)", false, false, "AB  ", TroppoLungo, "prima", "AB  "},
        {"X(3)", false, false, "ABC", Ok, "ABC", "ABC"},
        {"X(10)", false, false, "\xC3\xA8-1/2", Ok, "\xC3\xA8-1/2", "\xC3\xA8-1/2"},
        {"X(3)", false, false, "", Ok, "", ""},
        {"X", false, true, "xyz", Ok, "x", "xyz"},
        {"X", false, false, "xyz", TroppoLungo, "prima", "xyz"},
        // the numeric flag means nothing to a text picture
        {"X(5)", true, false, "007", Ok, "007", "007"},
    });
}

TEST_F(FieldFormat, InvalidPictureIsAnErrorAndLeavesValueAndOutputAlone)
{
    using namespace esitoformato;
    runFormatCases({
        {"X(0)", false, false, "ABC", PictureNonValida, "prima", "ABC"},
        {"", false, true, "abc", PictureNonValida, "prima", "abc"},
        {"a(3)", false, false, "abc", PictureNonValida, "prima", "abc"},
        {"9(2)V", false, false, "12", PictureNonValida, "prima", "12"},
        {"V9(2)", false, false, "12", PictureNonValida, "prima", "12"},
    });
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(FieldFormat, EveryFormattingWithAnUnclosedCountShowsTheBoxAgain)
{
    QString value = QStringLiteral("abc");
    QString output;
    EXPECT_EQ(FormattaCampo(value, QStringLiteral("X(5"), true, false, output),
              esitoformato::PictureNonValida);
    EXPECT_EQ(FormattaCampo(value, QStringLiteral("X(5"), true, false, output),
              esitoformato::PictureNonValida);
    EXPECT_EQ(output, QString());
    EXPECT_EQ(value, QStringLiteral("abc"));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0], missingBracket());
    EXPECT_EQ(boxes.shown[1], missingBracket());
}

}  // namespace
