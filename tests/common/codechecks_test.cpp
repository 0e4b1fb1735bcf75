#include "common/codechecks.h"
#include "common/threebuttondialog.h"
#include "support/doubles/recordingthreebuttondialog.h"

#include <gtest/gtest.h>

using namespace common;

namespace {

// Every check here runs with a recording dialog in place of the real one.
class CodeCheckTest : public ::testing::Test {
protected:
    RecordingThreeButtonDialogService dialog;
    ScopedThreeButtonDialogService guard{dialog};
};

const QString Fiscal = QStringLiteral("Controllo Codice Fiscale");
const QString Cin = QStringLiteral("Controllo dei codici con CIN");
const QString Vat = QStringLiteral("Controllo Partita I.V.A.");

}  // namespace

TEST_F(CodeCheckTest, OptionsZeroActAsAllFlagsAndFlagOneClearSkipsTheCheck)
{
    QString code = "rssmra85t10a562s";
    qint16 options = 0;
    EXPECT_EQ(CheckFiscalCode(code, options), 0);
    EXPECT_EQ(options, 63);
    ASSERT_EQ(dialog.shown.size(), 1u);

    for (qint16 skip : {qint16(2), qint16(62), qint16(-1), qint16(-32768)}) {
        SCOPED_TRACE(skip);
        qint16 o = skip;
        QString c = "x";
        QString country = "";
        EXPECT_EQ(CheckFiscalCode(c, o), -1);
        EXPECT_EQ(CheckCINCode(c, o), -1);
        EXPECT_EQ(CheckVATNumber(c, o, country), -1);
        EXPECT_EQ(c, "x");
        EXPECT_EQ(o, skip);
    }
    EXPECT_EQ(dialog.shown.size(), 1u);

    // Values of 63 or more set every flag.
    code = "RSSMRA85T10A562X";
    options = 1000;
    dialog.answer("1");
    EXPECT_EQ(CheckFiscalCode(code, options), -1);
    EXPECT_EQ(code, "RSSMRA85T10A562S");
}

TEST_F(CodeCheckTest, FiscalCodeFindings)
{
    struct Case {
        const char *code;
        const char *message;
    } cases[] = {
        {"RSSMRA85T10A562", "Lunghezza codice errata.\r\nIl codice deve composto da 16 caratteri"},
        {"rssmra85t10a562s", "Il carattere 1 è errato.\r\nDeve essere una lettera (A-Z)."},
        {"RSSMR485T10A562S", "Il carattere 6 è errato.\r\nDeve essere una lettera (A-Z)."},
        {"RSSMRA8-T10A562S", "Il carattere 8 è errato.\r\nDeve essere un numero o una lettera."},
        {"RSSMRA85T10A56LS", "Il carattere 15 è errato.\r\nDeve essere un numero"},
        {"RSSMRA85T10A562", "Lunghezza codice errata.\r\nIl codice deve composto da 16 caratteri"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.code);
        dialog.shown.clear();
        QString code = c.code;
        qint16 options = 63;
        dialog.answer("0");
        EXPECT_EQ(CheckFiscalCode(code, options), 0);
        EXPECT_EQ(code, c.code);
        ASSERT_EQ(dialog.shown.size(), 1u);
        EXPECT_EQ(dialog.shown[0], (ThreeButtonRequest{Fiscal, c.message, false, true}));
    }
    // Letters stand in the digit-or-letter places.
    QString code = "RSSMRAXXTXXA562S";
    qint16 options = 63;
    dialog.answer("0");
    EXPECT_EQ(CheckFiscalCode(code, options), 1);
    EXPECT_EQ(dialog.shown.back().message, "Il carattere di controllo 'S' è errato.\r\n"
                                           "Il carattere di controllo esatto è 'K'.\r\n"
                                           "Scegliere 'Correggi' per correggere automaticamente.");
}

TEST_F(CodeCheckTest, FiscalCodeWithAWrongControlLetterAnswersByTheButtonChosen)
{
    QString valid = "RSSMRA85T10A562S";
    qint16 options = 63;
    EXPECT_EQ(CheckFiscalCode(valid, options), -1);
    EXPECT_TRUE(dialog.shown.empty());

    struct Case {
        const char *tag;
        qint16 result;
        const char *code;
    } cases[] = {
        {"1", -1, "RSSMRA85T10A562S"},
        {"0", 1, "RSSMRA85T10A562K"},
        {"2", 2, "RSSMRA85T10A562K"},
        {"", 0, "RSSMRA85T10A562K"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.tag);
        dialog.shown.clear();
        dialog.answer(c.tag);
        QString code = "RSSMRA85T10A562K";
        EXPECT_EQ(CheckFiscalCode(code, options), c.result);
        EXPECT_EQ(code, c.code);
        ASSERT_EQ(dialog.shown.size(), 1u);
        EXPECT_EQ(dialog.shown[0], (ThreeButtonRequest{Fiscal,
                                                       "Il carattere di controllo 'K' è errato.\r\n"
                                                       "Il carattere di controllo esatto è 'S'.\r\n"
                                                       "Scegliere 'Correggi' per correggere automaticamente.",
                                                       true, true}));
    }
}

TEST_F(CodeCheckTest, FiscalCodeFlagsShapeTheReport)
{
    struct Case {
        qint16 options;
        qint16 result;
        const char *code;
        bool dialogShown;
        ThreeButtonRequest request;
    } cases[] = {
        // No explanation line, no "Accetta".
        {1 + 2 + 8 + 16, 1, "RSSMRA85T10A562K", true,
         {Fiscal, "Il carattere di controllo 'K' è errato.\r\nScegliere 'Correggi' per correggere automaticamente.",
          true, false}},
        // No correction prepared: nothing to offer.
        {1 + 2 + 4 + 16 + 32, 0, "RSSMRA85T10A562K", true,
         {Fiscal, "Il carattere di controllo 'K' è errato.\r\nIl carattere di controllo esatto è 'S'.", false, true}},
        // Prepared but not to be offered: applied at once.
        {1 + 2 + 4 + 8 + 32, -1, "RSSMRA85T10A562S", false, {}},
        // No dialog: an offer cannot be made, so the correction is applied.
        {1 + 8 + 16, -1, "RSSMRA85T10A562S", false, {}},
        // No dialog and no correction: invalid.
        {1 + 4 + 16, 0, "RSSMRA85T10A562K", false, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.options);
        dialog.shown.clear();
        dialog.answer("0");
        QString code = "RSSMRA85T10A562K";
        qint16 options = c.options;
        EXPECT_EQ(CheckFiscalCode(code, options), c.result);
        EXPECT_EQ(code, c.code);
        ASSERT_EQ(dialog.shown.size(), c.dialogShown ? 1u : 0u);
        if (c.dialogShown) {
            EXPECT_EQ(dialog.shown[0], c.request);
        }
        dialog.script.clear();
    }
}

TEST(CodeChecks, CalcolaCIN)
{
    struct Case {
        const char *code;
        const char *letter;
    } cases[] = {
        {"123456", "N"}, {"000000", "J"}, {"1", "E"}, {"0", "D"}, {"", ""}, {"A", ""}, {"12a", ""},
        {"-1", ""}, {"1.5", ""}, {" ", ""}, {"1.2.3", ""}, {"-0", "N"}, {"12.0", "R"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(CalcolaCIN(c.code), c.letter);
    }
}

TEST_F(CodeCheckTest, CinCodeFindings)
{
    struct Case {
        const char *code;
        const char *tag;
        qint16 result;
        const char *after;
        ThreeButtonRequest request;
    } cases[] = {
        {"123456", "1", -1, "123456N",
         {Cin, "Manca il carattere di controllo (CIN).\r\nIl CIN esatto è 'N'\r\n"
               "Scegliere 'Correggi' per correggere automaticamente.", true, true}},
        {"123456A", "1", -1, "123456N",
         {Cin, "Il carattere di controllo (CIN) è errato.\r\nIl CIN esatto è 'N'.\r\n"
               "Scegliere 'Correggi' per correggere automaticamente", true, true}},
        {"123456A", "0", 1, "123456A",
         {Cin, "Il carattere di controllo (CIN) è errato.\r\nIl CIN esatto è 'N'.\r\n"
               "Scegliere 'Correggi' per correggere automaticamente", true, true}},
        {"12A456B", "0", 0, "12A456B",
         {Cin, "Il codice è errato\r\nI primi 6 caratteri devono essere numerici.", false, true}},
        {"12X4", "2", 2, "12X4", {Cin, "Codice errato.\r\nE' stato immesso un codice non numerico.", false, true}},
        {"", "0", 0, "", {Cin, "Codice errato.\r\n", false, true}},
        // A letter alone has no digits for a CIN: invalid, and never "corrected" away.
        {"A", "1", 0, "A", {Cin, "Codice errato.\r\n", false, true}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.code);
        dialog.shown.clear();
        dialog.answer(c.tag);
        QString code = c.code;
        qint16 options = 0;
        EXPECT_EQ(CheckCINCode(code, options), c.result);
        EXPECT_EQ(code, c.after);
        ASSERT_EQ(dialog.shown.size(), 1u);
        EXPECT_EQ(dialog.shown[0], c.request);
    }
    QString valid = "123456N";
    qint16 options = 63;
    dialog.shown.clear();
    EXPECT_EQ(CheckCINCode(valid, options), -1);
    EXPECT_TRUE(dialog.shown.empty());
}

TEST_F(CodeCheckTest, CinCodeCorrectionsWithoutTheDialog)
{
    struct Case {
        const char *code;
        qint16 options;
        qint16 result;
        const char *after;
    } cases[] = {
        // A missing CIN is added whatever flag 8 says.
        {"123456", 1 + 2 + 4, -1, "123456N"},
        {"123456", 1, -1, "123456N"},
        {"123456A", 1 + 8, -1, "123456N"},
        {"123456A", 1 + 16, 0, "123456A"},
        {"123456A", 1 + 2 + 4 + 32, 0, "123456A"},
        {"A", 1 + 8 + 16, 0, "A"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.code << " " << c.options);
        QString code = c.code;
        qint16 options = c.options;
        dialog.answer("0");
        EXPECT_EQ(CheckCINCode(code, options), c.result);
        EXPECT_EQ(code, c.after);
        dialog.script.clear();
    }
    ASSERT_EQ(dialog.shown.size(), 1u);
    EXPECT_EQ(dialog.shown[0], (ThreeButtonRequest{Cin, "Il carattere di controllo (CIN) è errato.\r\nIl CIN esatto è 'N'.",
                                                   false, true}));
}

TEST_F(CodeCheckTest, VatNumberLengthsByCountry)
{
    struct Case {
        const char *country;
        int length;
        const char *explanation;  // nullptr: the length is right
    } cases[] = {
        {"FR", 11, nullptr}, {"FR", 10, "Lunghezza esatta 11."}, {"SM", 5, nullptr}, {"SM", 6, "Lunghezza esatta 5."},
        {"FI", 8, nullptr},  {"DK", 9, "Lunghezza esatta 8."},   {"EL", 8, nullptr}, {"EL", 9, "Lunghezza esatta 8."},
        {"IE", 7, "Lunghezza esatta 8."}, {"BE", 9, nullptr}, {"DE", 8, "Lunghezza esatta 9."},
        {"ES", 9, nullptr}, {"PT", 10, "Lunghezza esatta 9."}, {"AT", 9, nullptr}, {"SE", 12, nullptr},
        {"LU", 12, nullptr}, {"LU", 11, "Lunghezza esatta 12."}, {"GB", 5, nullptr}, {"GB", 9, nullptr},
        {"GB", 12, nullptr}, {"GB", 6, "Lunghezze possibili 5, 9 o 12."}, {"GB", 11, "Lunghezze possibili 5, 9 o 12."},
        {"IT", 10, "Lunghezza esatta 11."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.country << " " << c.length);
        dialog.shown.clear();
        QString code(c.length, u'X');
        QString country = c.country;
        qint16 options = 63;
        dialog.answer("0");
        EXPECT_EQ(CheckVATNumber(code, options, country), c.explanation ? 0 : -1);
        if (c.explanation) {
            ASSERT_EQ(dialog.shown.size(), 1u);
            EXPECT_EQ(dialog.shown[0],
                      (ThreeButtonRequest{Vat, QString("Lunghezza codice errata.\r\n") + c.explanation, false, true}));
        } else {
            EXPECT_TRUE(dialog.shown.empty());
        }
        dialog.script.clear();
    }
}

TEST_F(CodeCheckTest, VatNumberOfACountryNotCoveredOrWithAnEmptyCountry)
{
    QString code = "123456789";
    QString country = "NL";
    qint16 options = 63;
    dialog.answer("0");
    EXPECT_EQ(CheckVATNumber(code, options, country), 0);
    ASSERT_EQ(dialog.shown.size(), 1u);
    EXPECT_EQ(dialog.shown[0], (ThreeButtonRequest{Vat,
                                                   "Impossibile controllare la Partita I.V.A. indicata poiché il "
                                                   "paese indicato non è contemplato in questo controllo\r\n",
                                                   false, true}));
    // Prefixes compare exactly.
    country = "it";
    code = "00000010017";
    EXPECT_EQ(CheckVATNumber(code, options, country), 0);

    country = "";
    EXPECT_EQ(CheckVATNumber(code, options, country), -1);
    EXPECT_EQ(country, "IT");
}

TEST_F(CodeCheckTest, ItalianVatNumberFindings)
{
    struct Case {
        const char *code;
        qint16 options;
        const char *tag;
        qint16 result;
        const char *after;
        const char *message;  // nullptr: no dialog
    } cases[] = {
        {"00000010017", 63, "0", -1, "00000010017", nullptr},
        {"00000011007", 63, "0", -1, "00000011007", nullptr},
        {"0000001A017", 63, "0", 0, "0000001A017",
         "Il codice deve essere composto da soli numeri\r\nIl carattere N. 8 non è un numero"},
        {"0000001001A", 63, "1", -1, "00000010017",
         "Il carattere di controllo 'A' è errato\r\nIl carattere di controllo esatto è '7'\r\n"
         "Scegliere 'Correggi' per correggere automaticamente l'errore"},
        {"00000000000", 63, "0", 0, "00000000000",
         "Codice errato.\r\nUno o più caratteri nelle posizioni 8, 9 e/o 10 sono errati."},
        {"00000011017", 63, "0", 0, "00000011017",
         "Codice errato.\r\nUno o più caratteri nelle posizioni 8, 9 e/o 10 sono errati."},
        {"00000000017", 63, "0", 0, "00000000017",
         "Codice errato.\r\nI primi sette caratteri non possono essere tutti zeri."},
        {"00000010010", 63, "0", 1, "00000010010",
         "Il carattere di controllo '0' è errato\r\nIl carattere di controllo esatto è '7'\r\n"
         "Scegliere 'Correggi' per correggere automaticamente l'errore"},
        {"00000010010", 63, "2", 2, "00000010010",
         "Il carattere di controllo '0' è errato\r\nIl carattere di controllo esatto è '7'\r\n"
         "Scegliere 'Correggi' per correggere automaticamente l'errore"},
        {"00000010010", 63, "1", -1, "00000010017",
         "Il carattere di controllo '0' è errato\r\nIl carattere di controllo esatto è '7'\r\n"
         "Scegliere 'Correggi' per correggere automaticamente l'errore"},
        // Without flag 8 the control digit is not examined.
        {"00000010010", 1 + 2 + 4 + 16 + 32, "0", -1, "00000010010", nullptr},
        // Without flag 16 it is put right at once.
        {"00000010010", 1 + 2 + 4 + 8 + 32, "0", -1, "00000010017", nullptr},
        // Without the dialog an offered correction gives 1 and changes nothing.
        {"00000010010", 1 + 8 + 16, "0", 1, "00000010010", nullptr},
        {"00000000000", 1 + 8 + 16, "0", 0, "00000000000", nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.code << " " << c.options << " " << c.tag);
        dialog.shown.clear();
        dialog.answer(c.tag);
        QString code = c.code;
        QString country = "IT";
        qint16 options = c.options;
        EXPECT_EQ(CheckVATNumber(code, options, country), c.result);
        EXPECT_EQ(code, c.after);
        if (c.message) {
            ASSERT_EQ(dialog.shown.size(), 1u);
            EXPECT_EQ(dialog.shown[0].caption, Vat);
            EXPECT_EQ(dialog.shown[0].message, c.message);
        } else {
            EXPECT_TRUE(dialog.shown.empty());
        }
        dialog.script.clear();
    }
}
