#include "compose_fixture.h"

#include "support/otherprogram.h"
#include "ui/main/composition.h"

using namespace uimain;
using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

namespace {

class Composition : public ComposeTest {
protected:
    void addRow(int posizione, const QDate &date, int progressivo)
    {
        execute(QStringLiteral("INSERT INTO Corbix (Posizione, Data, Progressivo, Stato, Tipo) VALUES (?, ?, ?, 0, 0)"),
                {posizione, date, progressivo});
    }
    CampiPasso4 valid() const
    {
        return {QStringLiteral("012100"), {QStringLiteral("012100"), QStringLiteral("032100")}, QStringLiteral("07"),
                QStringLiteral("C:\\")};
    }
};

}  // namespace

TEST_F(Composition, AProgressiveNumberIsAWholeNumberFrom0To99)
{
    const struct {
        const char *text;
        int value;  // -1: refused
    } cases[] = {{"7", 7},   {"07", 7},  {"+7", 7},  {" 42 ", 42}, {"0", 0},   {"99", 99}, {"100", -1},
                 {"-1", -1}, {"-0", -1}, {"1.5", -1}, {"1.", -1}, {"a1", -1}, {"", -1},   {"+", -1},
                 {" ", -1},  {"++1", -1}, {"1e1", -1}};
    for (const auto &c : cases) {
        const auto v = ProgressivoValido(QString::fromLatin1(c.text));
        EXPECT_EQ(v ? *v : -1, c.value) << c.text;
    }
}

TEST_F(Composition, TheOfficeTypedIsTrimmedAndCutToSix)
{
    EXPECT_EQ(UfficioDigitato(QStringLiteral("  0121009  ")), QStringLiteral("012100"));
    EXPECT_EQ(UfficioDigitato(QStringLiteral(" 12 ")), QStringLiteral("12"));
}

TEST_F(Composition, AnEmptyOrBlankFolderDoesNotExist)
{
    EXPECT_TRUE(CartellaEsiste(QStringLiteral("C:\\")));
    EXPECT_TRUE(CartellaEsiste(QStringLiteral("C:\\Corbix")));
    for (const char *folder : {"", "   ", "C:\\Manca", "Q:\\", "C:\\Corbix\\..\\.."})
        EXPECT_FALSE(CartellaEsiste(QString::fromLatin1(folder))) << folder;
}

TEST_F(Composition, FileNamesThatLeaveTheirFolderAreRefused)
{
    EXPECT_TRUE(NomeFileValido(QStringLiteral("00AB1209.T05")));
    for (const char *name : {"0A\\B1209.T05", "0A/B1209.T05", "..AB1209.T05", "", "  ", ".", "0A\tB1209.T05",
                             "0AB1209.T05\r", "\x7f"}) {
        boxes_.shown.clear();
        EXPECT_FALSE(NomeFileValido(QString::fromLatin1(name))) << name;
        ASSERT_EQ(boxes_.shown.size(), 1u);
        EXPECT_EQ(boxes_.shown[0], box(QStringLiteral("Il nome del file '") + QString::fromLatin1(name)
                                           + QStringLiteral("' non è valido."),
                                       QStringLiteral("Corbix doganali"), MsgIcon::Exclamation));
    }
}

TEST_F(Composition, TheFolderStepChecksInOrder)
{
    const Message office = box(QStringLiteral("E' necessario indicare il codice dell'ufficio doganale a cui è "
                                              "indirizzato il corbex."),
                               QStringLiteral("Corbix doganali"), MsgIcon::Information);
    const Message unknown = box(QStringLiteral("Il codice dell'ufficio doganale di destinazione non risulta definito "
                                               "nel relativo archivio. Accettare comunque tale codice?"),
                                QStringLiteral("Corbix doganali"), MsgIcon::Question, MsgButtons::YesNo, 1);
    const Message empty = box(QStringLiteral("E' necessario indicare il numero progressivo del corbex."),
                              QStringLiteral("Corbix doganali."), MsgIcon::Information);
    const Message wrong = box(QStringLiteral("Il progressivo indicato non è corretto."),
                              QStringLiteral("Corbix doganali"), MsgIcon::Information);
    const Message folder = box(QStringLiteral("Il percorso indicato per la cartella di destinazione non esiste. "
                                              "Indicare un percorso valido."),
                               QStringLiteral("Corbix Doganali"), MsgIcon::Information);
    using C = Colore;
    struct Case {
        const char *name;
        CampiPasso4 fields;
        std::vector<MsgResult> answers;
        std::vector<Message> shown;
        bool passed;
        C office, progressive, folder;
    };
    auto with = [&](auto change) {
        CampiPasso4 f = valid();
        change(f);
        return f;
    };
    const Case cases[] = {
        {"all valid", valid(), {}, {}, true, C::Invariato, C::Invariato, C::Invariato},
        {"no office", with([](CampiPasso4 &f) { f.ufficio.clear(); f.progressivo.clear(); }), {}, {office}, false,
         C::Rosso, C::Invariato, C::Invariato},
        {"office in another case", with([](CampiPasso4 &f) { f.ufficio = QStringLiteral("012100 ").trimmed().toLower() + u'x'; }),
         {MsgResult::No}, {unknown}, false, C::Rosso, C::Invariato, C::Invariato},
        {"unknown office accepted", with([](CampiPasso4 &f) { f.ufficio = QStringLiteral("9"); }), {MsgResult::Yes},
         {unknown}, true, C::Giallo, C::Invariato, C::Invariato},
        {"unknown office accepted, empty number",
         with([](CampiPasso4 &f) { f.ufficio = QStringLiteral("9"); f.progressivo = QStringLiteral("  "); }),
         {MsgResult::Yes}, {unknown, empty}, false, C::Giallo, C::Rosso, C::Invariato},
        {"letter in the number", with([](CampiPasso4 &f) { f.progressivo = QStringLiteral("7a"); }), {}, {wrong},
         false, C::Invariato, C::Rosso, C::Invariato},
        {"negative number", with([](CampiPasso4 &f) { f.progressivo = QStringLiteral("-1"); }), {}, {wrong}, false,
         C::Invariato, C::Rosso, C::Invariato},
        {"missing folder", with([](CampiPasso4 &f) { f.cartella = QStringLiteral("C:\\Manca"); }), {}, {folder},
         false, C::Invariato, C::Invariato, C::Rosso},
        {"blank folder", with([](CampiPasso4 &f) { f.cartella = QStringLiteral(" "); }), {}, {folder}, false,
         C::Invariato, C::Invariato, C::Rosso},
    };
    for (const Case &c : cases) {
        boxes_.shown.clear();
        for (MsgResult a : c.answers)
            boxes_.answer(a);
        const EsitoPasso4 e = VerificaPasso4(c.fields);
        EXPECT_EQ(e.superato, c.passed) << c.name;
        EXPECT_EQ(boxes_.shown, c.shown) << c.name;
        EXPECT_EQ(e.ufficio, c.office) << c.name;
        EXPECT_EQ(e.progressivo, c.progressive) << c.name;
        EXPECT_EQ(e.cartella, c.folder) << c.name;
    }
}

TEST_F(Composition, TheReservationAddsTheFolderRowAndKeepsItsKey)
{
    const auto key = RiservaRiga(today(), 7, QStringLiteral("010101Z"));
    ASSERT_TRUE(key.has_value());
    EXPECT_EQ(key->data, today());
    EXPECT_EQ(key->progressivo, 7);
    EXPECT_EQ(key->posizione, 3);
    EXPECT_EQ(register_().join(u'\n'), QStringLiteral("3/2026-01-15/7/<null>/<null>/1/2/<null>/010101Z"));
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(Composition, ANumberUsedTodayByAnyRowIsRefused)
{
    addRow(4, today(), 7);
    addRow(3, today().addDays(-1), 8);
    const Message used = box(QStringLiteral("Il progressivo indicato non può essere accettato poiché già usato. Usare "
                                            "un numero progressivo diverso."),
                             QStringLiteral("Corbix doganali"), MsgIcon::Information);
    EXPECT_FALSE(RiservaRiga(today(), 7, QStringLiteral("010101Z")).has_value());
    EXPECT_EQ(boxes_.shown, std::vector<Message>{used});
    // Yesterday's number is free today.
    EXPECT_TRUE(RiservaRiga(today(), 8, QStringLiteral("010101Z")).has_value());
    EXPECT_EQ(register_().size(), 3);
}

TEST_F(Composition, ALockedRegisterIsWaitedForTenSecondsThenNothingIsReserved)
{
    testsupport::OtherProgram other(archiveHost());
    ASSERT_EQ(other.exec(QStringLiteral("BEGIN IMMEDIATE")), 0);
    EXPECT_FALSE(RiservaRiga(today(), 7, QStringLiteral("010101Z")).has_value());
    other.exec(QStringLiteral("ROLLBACK"));
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_TRUE(boxes_.shown[0].text.startsWith(QStringLiteral("I dati richiesti nell'interrogazione")));
    EXPECT_GE(clock_.monotonicMs(), 10'000);
    EXPECT_LT(clock_.monotonicMs(), 11'000);
    EXPECT_TRUE(register_().isEmpty());
}

TEST_F(Composition, DeletingAReservedRowTouchesNoOtherFlow)
{
    addRow(3, today(), 6);
    addRow(4, today(), 7);
    ASSERT_TRUE(RiservaRiga(today(), 5, QStringLiteral("010101Z")).has_value());
    EXPECT_TRUE(EliminaRiga({today(), 5, 3, {}}));
    EXPECT_TRUE(EliminaRiga({today(), 7, 3, {}}));
    EXPECT_EQ(register_().join(u'\n'), QStringLiteral("3/2026-01-15/6//<null>/0/0//\n4/2026-01-15/7//<null>/0/0//"));
}

TEST_F(Composition, TheWantedTypesFollowTheBoxesInTheSearchOrder)
{
    EXPECT_EQ(TipiRichiesti(true, true, true, true).join(u','), QStringLiteral("C2,C9,C1,C7"));
    EXPECT_EQ(TipiRichiesti(false, false, true, false).join(u','), QStringLiteral("C1"));
    EXPECT_TRUE(TipiRichiesti(false, false, false, false).isEmpty());
}

TEST_F(Composition, TheSearchJudgesEachCandidateByItsOwnFrontSheetRows)
{
    // Declaration 1 is no longer 010101Z's (its box 14 on another line);
    // declaration 3 has a second box 07, which counts; declaration 5 is owned
    // through a lower-case module and code, and its procedure written on an
    // article line does not count.
    execute(QStringLiteral("UPDATE DettaglioBol SET Riga = '2' WHERE Indice = 1 AND Campo = '14'"));
    execute(QStringLiteral("UPDATE DettaglioBol SET Modulo = 'f', Contenuto = '010101z' WHERE Indice = 5 AND "
                           "Campo = '14'"));
    const QString insert = QStringLiteral("INSERT INTO DettaglioBol (Indice, Data, Articolo, Modulo, Campo, "
                                          "SottoCasella, Riga, Contenuto) VALUES (?, ?, ?, ?, ?, ?, '1', ?)");
    execute(insert, {3, sampledata::sampleDate(), QVariant(), QStringLiteral("F"), QStringLiteral("07"),
                     QStringLiteral("0"), QStringLiteral("2024zzz99xy")});
    execute(insert, {5, sampledata::sampleDate(), 1, QStringLiteral("A"), QStringLiteral("01"), QStringLiteral("2"),
                     QStringLiteral("0")});
    std::vector<qint64> positions;
    QStringList found;
    for (const DichiarazioneTrovata &d :
         CercaDichiarazioni(QStringLiteral("010101Z"), TipiRichiesti(true, true, true, true), today(),
                            [&](qint64 position, qint64 total) {
                                EXPECT_EQ(total, 5);
                                positions.push_back(position);
                            }))
        found << d.data.toString(Qt::ISODate) + u'|' + QString::number(d.indice) + u'|' + d.riferimento + u'|' + d.tipo;
    EXPECT_EQ(found, QStringList({QStringLiteral("2024-03-04|3|ZZZ99XY|C2"), QStringLiteral("2024-03-04|5|00005TO|C1")}));
    EXPECT_EQ(positions, (std::vector<qint64>{0, 1, 2, 3, 4, 5}));
}

TEST_F(Composition, TheSelectionTextListsTheTickedDeclarations)
{
    const QList<DichiarazioneTrovata> rows = {{QDate(2001, 3, 5), 1234, {}, {}},
                                              {QDate(2001, 3, 5), 99, {}, {}},
                                              {QDate(2001, 3, 6), 77, {}, {}}};
    EXPECT_EQ(ElencoSelezionate(QStringLiteral("T"), QStringLiteral("ABC"), rows, QStringLiteral("101")),
              QStringLiteral("T\r\nABC             \r\n2\r\n2001/03/05-000001234\r\n2001/03/06-000000077\r\n"));
    EXPECT_EQ(ElencoSelezionate(QStringLiteral("T"), QStringLiteral("ABC"), rows, QStringLiteral("000")),
              QStringLiteral("T\r\nABC             \r\n0\r\n"));
    const QString longCode = QStringLiteral("ABCDEFGHIJKLMNOPQR");
    const QString text = ElencoSelezionate(QStringLiteral("T"), longCode,
                                           {{QDate(2001, 3, 5), 5, {}, {}}, {QDate(2001, 3, 5), 2147483647, {}, {}}},
                                           QStringLiteral("11"));
    EXPECT_EQ(text, QStringLiteral("T\r\nABCDEFGHIJKLMNOP\r\n2\r\n2001/03/05-000000005\r\n2001/03/05-147483647\r\n"));
    EXPECT_EQ(DichiaranteDiSelezione(text), QStringLiteral("ABCDEFGHIJKLMNOP"));
    EXPECT_EQ(DichiaranteDiSelezione(QStringLiteral("T\r\nABC             \r\n0\r\n")), QStringLiteral("ABC"));
}

TEST_F(Composition, TheEnvelopeRecordLaysOutItsColumns)
{
    const QString r = RecordBusta(QStringLiteral("ab"), QDate(2026, 12, 9), 5, QStringLiteral("12345"),
                                  QStringLiteral("ABC"), 12);
    ASSERT_EQ(r.size(), 75);
    EXPECT_EQ(r.mid(0, 4), QStringLiteral("00ab"));
    EXPECT_EQ(r.mid(4, 12), QString(12, u' '));
    EXPECT_EQ(r.mid(16, 12), QStringLiteral("00AB1209.T05"));
    EXPECT_EQ(r.mid(28, 12), QString(12, u' '));
    EXPECT_EQ(r.mid(40, 6), QStringLiteral("012345"));
    EXPECT_EQ(r.mid(46, 4), QString(4, u' '));
    EXPECT_EQ(r.mid(50, 16), QStringLiteral("ABC             "));
    EXPECT_EQ(r.mid(66, 9), QStringLiteral("001 00013"));
    // An empty flow still counts its envelope; long values keep their last digits.
    EXPECT_EQ(RecordBusta(QStringLiteral("R001"), QDate(2026, 1, 15), 0, QStringLiteral("1234567"),
                          QStringLiteral("ABCDEFGHIJKLMNOPQ"), 0),
              QStringLiteral("R001            R0010115.T00            234567    ABCDEFGHIJKLMNOP001 00001"));
}

TEST_F(Composition, TheFolderCopyIsNamedAfterTheEnvelope)
{
    const QString first = RecordBusta(QStringLiteral("ab"), QDate(2026, 12, 9), 5, QStringLiteral("12345"),
                                      QStringLiteral("ABC"), 12);
    for (const common::CanaleInvio canale : {common::CanaleInvio::RichiediSempre, common::CanaleInvio::InternetIntranet})
        EXPECT_EQ(NomeCopiaCartella(first, canale, QDate(2026, 12, 9), QStringLiteral("05"), QStringLiteral("12345")),
                  QStringLiteral("00AB1209.T05"));
    EXPECT_EQ(NomeCopiaCartella(first, common::CanaleInvio(3), QDate(2026, 12, 9), QStringLiteral("5"), QStringLiteral("012100")),
              QStringLiteral("26120905-012100"));
}
