#include "ui/transmission/answerfile.h"

#include "platform/errors.h"

#include <gtest/gtest.h>
#include <algorithm>

using namespace uitransmission;

namespace {

// A line with texts placed at their columns, blanks between.
QString at(std::initializer_list<std::pair<int, QString>> fields)
{
    QString line;
    for (const auto &[column, text] : fields) {
        if (line.size() < column - 1)
            line += QString(column - 1 - line.size(), u' ');
        line = line.left(column - 1) + text + line.mid(column - 1 + text.size());
    }
    return line;
}

}  // namespace

TEST(AnswerFile, ColumnsBeyondTheLineReadWhatIsThere)
{
    EXPECT_EQ(Colonne(QStringLiteral("abcdef"), 2, 3), QStringLiteral("bc"));
    EXPECT_EQ(Colonne(QStringLiteral("abcdef"), 5, 9), QStringLiteral("ef"));
    EXPECT_EQ(Colonne(QStringLiteral("abcdef"), 7, 9), QString());
    EXPECT_EQ(Colonne(QString(), 1, 1), QString());
}

TEST(AnswerFile, NumbersFollowTheProgramsRule)
{
    struct Case {
        const char *field;
        qint16 value;
    } cases[] = {{"00012", 12}, {"1 2", 12}, {"     ", 0}, {"AB", 0}, {"7X9", 7}, {" -3", -3}, {"32767", 32767}};
    for (const Case &c : cases)
        EXPECT_EQ(Numero16(QString::fromLatin1(c.field), 1, 5), c.value) << c.field;
    EXPECT_EQ(NumeroTesto(QStringLiteral("000123"), 1, 6), QStringLiteral("123"));
    try {
        Numero16(QStringLiteral("40000"), 1, 5);
        FAIL() << "no overflow";
    } catch (const platform::RuntimeError &e) {
        EXPECT_EQ(e.number(), platform::err::Overflow);
    }
}

TEST(AnswerFile, DatesOfEightAndSixCharacters)
{
    EXPECT_EQ(DataD8(QStringLiteral("15/01/26")), QDate(2026, 1, 15));
    EXPECT_EQ(DataD8(QStringLiteral("15.01.99")), QDate(1999, 1, 15));
    EXPECT_EQ(DataD8(QStringLiteral("5-1-2026")), QDate(2026, 1, 5));
    EXPECT_EQ(DataD8(QStringLiteral("31/02/26")), std::nullopt);
    EXPECT_EQ(DataD8(QStringLiteral("        ")), std::nullopt);
    EXPECT_EQ(DataD6(QStringLiteral("150126")), QDate(2026, 1, 15));
    EXPECT_EQ(DataD6(QStringLiteral("1501  ")), std::nullopt);
    EXPECT_EQ(DataD6(QStringLiteral("991326")), std::nullopt);
}

TEST(AnswerFile, SixDigitDatesAreReadAsTheirEightCharacterForm)
{
    const struct {
        const char16_t *testo;
        std::optional<QDate> data;
    } cases[] = {
        {u"291229", QDate(2029, 12, 29)}, {u"010130", QDate(1930, 1, 1)},  {u"290200", QDate(2000, 2, 29)},
        {u"290201", std::nullopt},        {u"000126", std::nullopt},        {u"150026", std::nullopt},
        {u"15012", std::nullopt},         {u"1501266", std::nullopt},       {u" 50126", std::nullopt},
        {u"15-126", std::nullopt},        {u"", std::nullopt},
    };
    for (const auto &c : cases) {
        const QString testo = QString::fromUtf16(c.testo);
        EXPECT_EQ(DataD6(testo), c.data) << testo.toStdString();
        // Six digits give the same day as their form of eight characters.
        if (testo.size() == 6 && std::all_of(testo.cbegin(), testo.cend(), [](QChar ch) { return ch.isDigit(); })) {
            EXPECT_EQ(DataD6(testo),
                      DataD8(testo.left(2) + u'/' + testo.mid(2, 2) + u'/' + testo.right(2)))
                << testo.toStdString();
        }
    }
}

TEST(AnswerFile, HeaderFields)
{
    const QString header = at({{1, QStringLiteral("TESTATA")}, {26, QStringLiteral("W")},
                               {51, QStringLiteral("  DICH01        ")}, {71, QStringLiteral("00012")}});
    EXPECT_EQ(TipoRisposta(header), u'W');
    EXPECT_EQ(DichiaranteRisposta(header), QStringLiteral("DICH01"));
    EXPECT_EQ(RigheRisposta(header), 12);
    // A count is a whole number of any size the five columns hold.
    for (const int count : {32767, 32768, 65536, 99999})
        EXPECT_EQ(RigheRisposta(at({{71, QString::number(count)}})), count);
    EXPECT_EQ(TipoRisposta(QStringLiteral("corta")), QChar());
    EXPECT_TRUE(ControlloSuperato(QStringLiteral("0 nessun errore")));
    EXPECT_FALSE(ControlloSuperato(QStringLiteral("1")));
    EXPECT_FALSE(ControlloSuperato(QString()));
}

TEST(AnswerFile, TheDateStandsWhereTheTypeSays)
{
    struct Case {
        char type;
        QDate expected;
    } cases[] = {{'W', QDate(2026, 1, 2)}, {'H', QDate(2026, 1, 2)}, {'P', QDate(2026, 1, 4)},
                 {'A', QDate(2026, 1, 3)}, {'B', QDate(2026, 1, 3)}, {'F', QDate(2026, 1, 3)},
                 {'G', QDate()},           {'X', QDate()}};
    for (const Case &c : cases) {
        RispostaEdi r;
        r.righe << at({{26, QString(QChar::fromLatin1(c.type))}}) << at({{12, QStringLiteral("02/01/26")}})
                << QStringLiteral("riga 3")
                << (c.type == 'P' ? at({{12, QStringLiteral("04/01/26")}}) : at({{7, QStringLiteral("03/01/26")}}));
        const auto date = r.data();
        EXPECT_EQ(date.value_or(QDate()), c.expected) << c.type;
    }
}

TEST(AnswerFile, LinesFromBytesInTheCodePage)
{
    const RispostaEdi r = RispostaEdi::daBytes(QByteArray("uno\r\nperch\xe8\r\n\r\ntre\r\n"));
    EXPECT_EQ(r.righe, (QStringList{QStringLiteral("uno"), QStringLiteral("perchè"), QString(), QStringLiteral("tre")}));
    EXPECT_EQ(r.ultima(), QStringLiteral("tre"));
    EXPECT_EQ(r.riga(9), QString());
    EXPECT_EQ(RispostaEdi::daBytes("solo").ultima(), QStringLiteral("solo"));
}

TEST(AnswerFile, TheLinesTheChecksReadAreTheFilesOwn)
{
    for (const QByteArray &bytes :
         {QByteArray(), QByteArray("uno\r\n"), QByteArray("uno\r\ndue\r\n"), QByteArray("uno\r\ndue\r\ntre\r\n"),
          QByteArray("uno\r\n\r\ntre\r\nquattro\r\n"), QByteArray("uno\r\ndue\r\ntre\r\n\r\n"),
          QByteArray("uno\r\ndue\r\ntre\r\nquattro"), QByteArray("\xe8\r\ndue\r\ntre\r\n\xe0\r\n")}) {
        const RispostaEdi whole = RispostaEdi::daBytes(bytes), ends = RispostaEdi::estremi(bytes);
        EXPECT_EQ(ends.intestazione(), whole.intestazione()) << bytes.toStdString();
        EXPECT_EQ(ends.riga(2), whole.riga(2)) << bytes.toStdString();
        EXPECT_EQ(ends.ultima(), whole.ultima()) << bytes.toStdString();
        EXPECT_EQ(ends.righe.size(), std::min<qsizetype>(whole.righe.size(), 3)) << bytes.toStdString();
    }
}

TEST(AnswerFile, PositiveRecordWithAccount)
{
    const QString line = at({{1, QStringLiteral("RC1")}, {14, QStringLiteral("AB1234")}, {28, QStringLiteral("P")},
                             {29, QStringLiteral("IMA ")}, {33, QStringLiteral("001234")}, {39, QStringLiteral("K")},
                             {40, QStringLiteral("150126")}, {46, QStringLiteral("0042")}, {50, QStringLiteral("X")},
                             {51, QStringLiteral("000777")}, {57, QStringLiteral("160226")},
                             {63, QStringLiteral("170326")}});
    ASSERT_TRUE(RecordEsito(line));
    const EsitoRecord r = LeggiEsitoRecord(line);
    EXPECT_EQ(r.codiceMsg, QStringLiteral("C1"));
    EXPECT_EQ(r.riferimento, QStringLiteral("AB1234"));
    EXPECT_TRUE(r.positivo());
    EXPECT_TRUE(r.convalida());
    EXPECT_EQ(r.registro, QStringLiteral("IM"));
    EXPECT_EQ(r.serie, QStringLiteral("A"));
    EXPECT_EQ(r.numero, QStringLiteral("1234"));
    EXPECT_EQ(r.lettera, QStringLiteral("K"));
    EXPECT_EQ(r.dataConvalida, QDate(2026, 1, 15));
    EXPECT_TRUE(r.conConto);
    EXPECT_EQ(r.contoCodice, QStringLiteral("42"));
    EXPECT_EQ(r.contoLettera, QStringLiteral("X"));
    EXPECT_EQ(r.numeroA93, 777);
    EXPECT_EQ(r.scadenzaFiscale, QDate(2026, 2, 16));
    EXPECT_EQ(r.scadenzaNonFiscale, QDate(2026, 3, 17));
}

TEST(AnswerFile, PositiveRecordWithoutAccountAndOtherCodes)
{
    const QString blank50 = at({{1, QStringLiteral("RC9")}, {14, QStringLiteral("AB1234")}, {28, QStringLiteral("P")},
                                {29, QStringLiteral("IMA 000005 150126")}, {46, QStringLiteral("0042 000777")}});
    const EsitoRecord r = LeggiEsitoRecord(blank50);
    EXPECT_TRUE(r.convalida());
    EXPECT_FALSE(r.conConto);
    EXPECT_EQ(r.contoCodice, QString());
    EXPECT_EQ(r.contoLettera, QString());
    EXPECT_EQ(r.numeroA93, 0);
    EXPECT_EQ(r.scadenzaFiscale, std::nullopt);
    // A line that stops before column 50 has no account either.
    EXPECT_FALSE(LeggiEsitoRecord(blank50.left(45)).conConto);

    const EsitoRecord further = LeggiEsitoRecord(at({{1, QStringLiteral("RC11")}, {28, QStringLiteral("P")},
                                                     {29, QStringLiteral("IMA 000005")}}));
    EXPECT_TRUE(further.positivo());
    EXPECT_FALSE(further.convalida());
    EXPECT_EQ(further.registro, QString());

    const EsitoRecord anomaly = LeggiEsitoRecord(at({{1, QStringLiteral("R  ENI")}, {28, QStringLiteral("N")}}));
    EXPECT_EQ(anomaly.anomalia, QStringLiteral("ENI"));
    EXPECT_FALSE(anomaly.positivo());
    EXPECT_FALSE(LeggiEsitoRecord(at({{1, QStringLiteral("RC1")}, {28, QStringLiteral("p")}})).positivo());
}

TEST(AnswerFile, ErrorAndContinuationLines)
{
    const QString line = at({{2, QStringLiteral("03")}, {4, QStringLiteral("3201")}, {9, QStringLiteral("02")},
                             {11, QStringLiteral("E")}, {16, QStringLiteral("  VALORE NON AMMESSO  ")}});
    const RigaErrore e = LeggiRigaErrore(line);
    EXPECT_EQ(e.articolo, 3);
    EXPECT_EQ(e.rifCasella, QStringLiteral("3201"));
    EXPECT_EQ(e.ripetizione, 2);
    EXPECT_EQ(e.indicatore, QStringLiteral("E"));
    EXPECT_EQ(e.testo, QStringLiteral("VALORE NON AMMESSO"));
    EXPECT_EQ(LeggiRigaErrore(QStringLiteral(" 01ENI")).rifCasella, QStringLiteral("ENI"));

    EXPECT_TRUE(RigaContinuazione(QString(15, u' ') + QStringLiteral("SEGUITO")));
    EXPECT_EQ(TestoContinuazione(QString(15, u' ') + QStringLiteral("SEGUITO")), QStringLiteral("SEGUITO"));
    EXPECT_FALSE(RigaContinuazione(QString(14, u' ') + QStringLiteral("XSEGUITO")));
    EXPECT_FALSE(RigaContinuazione(QString()));
}

TEST(AnswerFile, CheckLinesSplitIntoFieldNumbers)
{
    using Campi = std::vector<std::optional<qint16>>;
    struct Case {
        const char *line;
        qint32 linea;
        Campi campi;
    } cases[] = {
        {"00004012 VALORE ERRATO - 34 CAMPO MANCANTE", 4, {12, 34}},
        {"00001  7 SOLO UNO", 1, {7}},
        {"00002 9", 2, {9}},
        {"00003 XX TESTO - 5 ALTRO-", 3, {std::nullopt, 5}},
        {"00003 - - 8 X", 3, {8}},
        {"00005", 5, {}},
        {"12", 12, {}},
    };
    for (const Case &c : cases) {
        const RigaControllo r = LeggiRigaControllo(QString::fromLatin1(c.line));
        EXPECT_EQ(r.lineaFlusso, c.linea) << c.line;
        EXPECT_EQ(r.campi, c.campi) << c.line;
    }
}

TEST(AnswerFile, ADeclarationIsFoundByTheFirstSixCharactersOfItsReference)
{
    std::vector<flowengine::DocumentoCorbex> list(3);
    list[0].Rif = QStringLiteral("AB1234X");
    list[1].Rif = QStringLiteral("CD5678Y");
    list[2].Rif = QStringLiteral("CD5678Z");
    // A reference shorter than six characters is compared whole.
    list.push_back(flowengine::DocumentoCorbex());
    list.back().Rif = QStringLiteral("EF12");
    const IndiceDichiarazioni index(list);
    const std::pair<const char *, int> cases[] = {{"CD5678", 1}, {"AB1234", 0}, {"ab1234", -1}, {"AB123", -1},
                                                  {"EF12", 3},   {"EF1234", -1}, {"", -1}};
    for (const auto &[reference, position] : cases)
        EXPECT_EQ(index.trova(QString::fromLatin1(reference)), position) << reference;
    EXPECT_EQ(IndiceDichiarazioni({}).trova(QStringLiteral("AB1234")), -1);
}
