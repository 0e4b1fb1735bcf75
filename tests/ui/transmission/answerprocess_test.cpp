#include "fixture.h"

#include "common/openretry.h"
#include "platform/application.h"
#include "platform/pageprinter.h"
#include "platform/twips.h"
#include "support/asuser.h"
#include "support/doubles/recordingpageprinter.h"
#include "support/otherprogram.h"
#include "ui/transmission/answerfetch.h"
#include "ui/transmission/answerprocess.h"
#include "ui/transmission/answerreport.h"
#include "ui/transmission/frmaswerprocess.h"

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

using namespace uitransmission;
using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;
using testsupport::clickAsUser;

namespace {

const QDate Day(2026, 1, 15);
const QDate DocDay(2026, 1, 10);
Message info(const QString &text, const QString &title = QStringLiteral("Corbix doganali"))
{
    return {text, title, MsgIcon::Information, MsgButtons::OK, 1};
}

const Message Done{QStringLiteral("La risposta è stata elaborata."), QStringLiteral("Corbix doganali."),
                   MsgIcon::Information, MsgButtons::OK, 1};

class Process : public TransmissionTest {
protected:
    Process()
    {
        // Declarations 1 (AB1234) and 2 (CD5678) of the flow, each with the
        // rows of box B and a box that an error may name.
        for (qint32 indice : {1, 2}) {
            addDeclaration(indice, DocDay, 2);
            for (int r = 1; r <= 7; ++r)
                box(indice, {}, QStringLiteral("F"), QStringLiteral("0B"), QStringLiteral("0"), QString::number(r),
                    QStringLiteral("vecchio"));
            box(indice, 1, QStringLiteral("A"), QStringLiteral("33"), QStringLiteral("1"), QStringLiteral("1"),
                QStringLiteral("X"));
        }
        addFlow(3, Day, 7, 3, 2, QStringLiteral("DICH01"),
                QStringLiteral("1-10/01/2026-AB12345\r\n2-10/01/2026-CD56789"),
                QStringLiteral("C:\\Corbix\\Corbix inviati\\flusso"));
        // The box reference 3301 of layout C1 marks box A 33 1.
        program.execute(QStringLiteral("INSERT INTO Tracciati (CodiceMsg, Progressivo, RifBRELK, RifMask1, RifMask2, "
                                       "Ripetizione, RifBRELKErr) VALUES ('C1', 12, NULL, '33', '1', 1, 'A3311'), "
                                       "('C1', 8, 'A3200', '32', '0', 1, NULL)"),
                        {}, dao::FailOnError);
    }
    void box(qint32 indice, const QVariant &articolo, const QString &modulo, const QString &campo,
             const QString &sotto, const QString &riga, const QVariant &contenuto)
    {
        db.execute(QStringLiteral("INSERT INTO DettaglioBol (Indice, Data, Articolo, Modulo, Campo, SottoCasella, Riga, "
                                  "Contenuto, MaxLung, Corretto, Gestito, Controllato) VALUES (?, ?, ?, ?, ?, ?, ?, ?, "
                                  "35, True, True, False)"),
                   {indice, DocDay, articolo, modulo, campo, sotto, riga, contenuto}, dao::FailOnError);
    }
    // The stored answer of the flow and its answer row.
    void stored(QChar type, const QStringList &lines)
    {
        const QString name = QStringLiteral("20260115-7-") + type;
        writeHost(onC(QStringLiteral("Corbix/Risposte Pervenute/") + name), file(lines));
        addFlow(4, Day, 7, 0, 0, QStringLiteral("DICH01"), {},
                QStringLiteral("C:\\Corbix\\Risposte Pervenute\\") + name);
    }
    static QString positive(const QString &code, const QString &ref, bool account)
    {
        return at({{1, QStringLiteral("R") + code}, {14, ref}, {28, QStringLiteral("P")},
                   {29, QStringLiteral("IMA 001234K150126")},
                   {46, account ? QStringLiteral("0042X000777160226170326") : QStringLiteral("0042 000777")}});
    }
    static QString negative(const QString &code, const QString &ref)
    {
        return at({{1, QStringLiteral("R") + code}, {14, ref}, {28, QStringLiteral("N")}});
    }
    static QString errorLine(const QString &boxRef)
    {
        return at({{2, QStringLiteral("01")}, {4, boxRef}, {9, QStringLiteral("01")}, {11, QStringLiteral("E")},
                   {16, QStringLiteral("VALORE NON AMMESSO")}});
    }
    // The W answer: header, date line, a third line, then the body.
    void answerW(const QStringList &body, int count = -1)
    {
        QStringList lines{header(u'W', QStringLiteral("DICH01"), count < 0 ? int(body.size()) + 3 : count),
                          at({{12, QStringLiteral("15/01/26")}}), QStringLiteral("terza")};
        stored(u'W', lines + body);
    }
    QString flowRow() { return registerRows().value(0).section(u'|', 3); }
    QStringList boxB(qint32 indice)
    {
        QStringList rows;
        auto rs = db.openRecordset(QStringLiteral("SELECT Contenuto FROM DettaglioBol WHERE Indice = ? AND Campo = '0B' "
                                                  "ORDER BY Riga"),
                                   {indice});
        for (; !rs->eof(); rs->moveNext())
            rows << common::NullToStr(rs->value(0));
        return rows;
    }
    // The boxes marked not correct, as "Indice Modulo Campo SottoCasella".
    QStringList wrong()
    {
        QStringList rows;
        auto rs = db.openRecordset(QStringLiteral("SELECT * FROM DettaglioBol WHERE Corretto = False ORDER BY Indice"));
        for (; !rs->eof(); rs->moveNext())
            rows << QStringLiteral("%1 %2%3%4")
                        .arg(rs->value(QStringLiteral("Indice")).toString(), rs->value(QStringLiteral("Modulo")).toString(),
                             rs->value(QStringLiteral("Campo")).toString(),
                             rs->value(QStringLiteral("SottoCasella")).toString());
        return rows;
    }
    QStringList untouchedB() const { return QStringList(7, QStringLiteral("vecchio")); }
};

}  // namespace

TEST_F(Process, OutcomeRecordsAreWrittenBackAndCounted)
{
    answerW({positive(QStringLiteral("C1"), QStringLiteral("AB1234"), true),
             negative(QStringLiteral("C1"), QStringLiteral("AB1234")), errorLine(QStringLiteral("331")),
             QStringLiteral("X una riga che non è un esito"),
             positive(QStringLiteral("C11"), QStringLiteral("CD5678"), true),
             positive(QStringLiteral("C1"), QStringLiteral("ZZ9999"), true)});
    EXPECT_EQ(ElaboraRisposta(Day, 7), EsitoElaborazione::Elaborata);
    EXPECT_EQ(boxes.shown, std::vector<Message>{Done});
    EXPECT_EQ(flowRow(), QStringLiteral("5|2|<null>|DICH01|2|1|1"));
    const QStringList b = boxB(1);
    EXPECT_EQ(b.value(0), QStringLiteral("REG. IM N. 001234 K DEL 15.01.26"));
    EXPECT_TRUE(b.value(1).startsWith(QStringLiteral("CONTO N. 0042X  - A 93 N.777"))) << b.value(1).toStdString();
    EXPECT_EQ(boxB(2), untouchedB()) << "a further article's code hands no validation on";
    EXPECT_EQ(wrong(), QStringList{QStringLiteral("1 A331")});
    EXPECT_EQ(stato1(1, DocDay), 0);
}

TEST_F(Process, APositiveRecordWithoutAccountHandsNoAccountOn)
{
    answerW({positive(QStringLiteral("C9"), QStringLiteral("CD5678"), false)});
    EXPECT_EQ(ElaboraRisposta(Day, 7), EsitoElaborazione::Elaborata);
    EXPECT_EQ(flowRow(), QStringLiteral("5|2|<null>|DICH01|1|0|0"));
    const QStringList b = boxB(2);
    EXPECT_EQ(b.value(0), QStringLiteral("REG. IM N. 001234 K DEL 15.01.26"));
    EXPECT_TRUE(b.value(1).startsWith(QStringLiteral("RISCOSSO EURO"))) << b.value(1).toStdString();
}

TEST_F(Process, AnUnmatchedNegativeRecordLeavesItsNextLineToBeRead)
{
    answerW({negative(QStringLiteral("C1"), QStringLiteral("ZZ9999")),
             positive(QStringLiteral("C11"), QStringLiteral("AB1234"), false),
             negative(QStringLiteral("C1"), QStringLiteral("CD5678")), errorLine(QStringLiteral("331"))});
    EXPECT_EQ(ElaboraRisposta(Day, 7), EsitoElaborazione::Elaborata);
    // The unmatched record's next line is read as a record, and counts.
    EXPECT_EQ(flowRow(), QStringLiteral("5|2|<null>|DICH01|1|1|1"));
    EXPECT_EQ(wrong(), QStringList{QStringLiteral("2 A331")});
}

TEST_F(Process, AnErrorLineOnTheCountsOwnLineIsReadByTheProcessingAndTheReport)
{
    // The header counts the error line itself: it is the file's line N.
    answerW({negative(QStringLiteral("C1"), QStringLiteral("AB1234")), errorLine(QStringLiteral("331"))});
    program.execute(QStringLiteral("UPDATE Tracciati SET Descrizione = 'PESO LORDO' WHERE Progressivo = 12"));
    writeHost(onC(QStringLiteral("Corbix/Corbix inviati/flusso")),
              file({at({{1, QStringLiteral("T")}, {2, QStringLiteral("C1")}, {15, QStringLiteral("AB1234")}})
                    + QStringLiteral(" \t7\t8\t9\t10\t11\t1250,00")}));

    EXPECT_EQ(ElaboraRisposta(Day, 7), EsitoElaborazione::Elaborata);
    EXPECT_EQ(flowRow(), QStringLiteral("5|2|<null>|DICH01|0|1|0"));
    EXPECT_EQ(wrong(), QStringList{QStringLiteral("1 A331")});

    platform::RecordingPagePrinter printer;
    platform::ScopedPagePrinter printerGuard(printer);
    DatiTabulato tabulato{Day, 7, QStringLiteral("C:\\Corbix\\Corbix inviati\\flusso"),
                          QStringLiteral("1-10/01/2026-AB12345\r\n2-10/01/2026-CD56789"),
                          QStringLiteral("C:\\Corbix\\Risposte Pervenute\\20260115-7-W")};
    StampaEsitiNegativi(tabulato);
    // The texts of the row, below the page heading.
    std::vector<QString> row;
    const std::vector<QString> lines = printer.lines();
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].startsWith(QStringLiteral("text")) && printer.calls[i].y1 > 55)
            row.push_back(lines[i]);
    EXPECT_EQ(row, (std::vector<QString>{QStringLiteral("text p1 (22,56) Arial 10: 1/2026"),
                                         QStringLiteral("text p1 (53,56) Arial 10: AB1234"),
                                         QStringLiteral("text p1 (76,56) Arial 10: PESO LORDO, RIGA 1"),
                                         QStringLiteral("text p1 (76,61) Arial 10 italic: 1250,00"),
                                         QStringLiteral("text p1 (76,66) Arial 10: VALORE NON AMMESSO")}));
}

TEST_F(Process, TheHeaderCountBoundsTheBody)
{
    const QStringList body{positive(QStringLiteral("C11"), QStringLiteral("AB1234"), false),
                           positive(QStringLiteral("C11"), QStringLiteral("CD5678"), false)};
    // A count beyond the file's lines is an answer cut short: nothing is
    // processed.
    struct Case {
        int count;
        QString row;
    } cases[] = {{3, QStringLiteral("5|2|<null>|DICH01|0|0|0")},
                 {2, QStringLiteral("5|2|<null>|DICH01|0|0|0")},
                 {4, QStringLiteral("5|2|<null>|DICH01|1|0|0")},
                 {5, QStringLiteral("5|2|<null>|DICH01|2|0|0")},
                 {6, QStringLiteral("3|2|<null>|DICH01|<null>|<null>|<null>")},
                 {32768, QStringLiteral("3|2|<null>|DICH01|<null>|<null>|<null>")},
                 {99999, QStringLiteral("3|2|<null>|DICH01|<null>|<null>|<null>")}};
    for (const Case &c : cases) {
        db.execute(QStringLiteral("DELETE FROM Corbix WHERE Posizione = 4"));
        db.execute(QStringLiteral("UPDATE Corbix SET Stato = 3, OK = NULL, KO = NULL, ND = NULL"));
        answerW(body, c.count);
        EXPECT_EQ(ElaboraRisposta(Day, 7),
                  c.count > 5 ? EsitoElaborazione::Rifiutata : EsitoElaborazione::Elaborata)
            << c.count;
        EXPECT_EQ(flowRow(), c.row) << c.count;
    }
}

TEST_F(Process, AStoredCopyThatIsNotTheFlowsAnswerIsRefusedAndChangesNothing)
{
    const QString body = positive(QStringLiteral("C1"), QStringLiteral("AB1234"), true);
    const QString date = at({{12, QStringLiteral("15/01/26")}});
    const QString name = QStringLiteral("C:\\Corbix\\Risposte Pervenute\\20260115-7-W");
    const Message wrongDate = info(QStringLiteral("La data della risposta non coincide con la data del corbex orgine."),
                                   QStringLiteral("Corbix Doganali"));
    const Message wrongNumber =
        info(QStringLiteral("Il numero progressivo della risposta non coincide con quello del corbex origine."));
    const Message wrongDeclarant = info(
        QStringLiteral("Il dichiarante indicato nella risposta non coincide con quello nel corbex origine."),
        QStringLiteral("Corbix doganali."));
    const Message wrongType = info(QStringLiteral("La tipologia della riposta non fra quelle previste dal sistema E.D.I."));
    struct Case {
        const char *name;
        QByteArray bytes;
        QString stored;  // the copy's name in the register
        Message shown;
    } cases[] = {
        {"empty", {}, name, wrongDate},
        {"binary", QByteArray("\x00\x01\xFF\xFE%PDF\x00", 10), name, wrongDate},
        {"another date", file({header(u'W', QStringLiteral("DICH01"), 4), at({{12, QStringLiteral("16/01/26")}}),
                               QStringLiteral("terza"), body}),
         name, wrongDate},
        {"another declarant", file({header(u'W', QStringLiteral("DICH02"), 4), date, QStringLiteral("terza"), body}),
         name, wrongDeclarant},
        {"another number in the name", file({header(u'W', QStringLiteral("DICH01"), 4), date, QStringLiteral("terza"), body}),
         QStringLiteral("C:\\Corbix\\Risposte Pervenute\\20260115-8-W"), wrongNumber},
        {"no number in the name", file({header(u'W', QStringLiteral("DICH01"), 4), date, QStringLiteral("terza"), body}),
         QStringLiteral("C:\\Corbix\\Risposte Pervenute\\20260115-W"), wrongNumber},
        {"another type", file({header(u'H', QStringLiteral("DICH01"), 4), date, QStringLiteral("terza"), body}), name,
         wrongType},
        {"a type the service never sends",
         file({header(u'X', QStringLiteral("DICH01"), 4), date, QStringLiteral("terza"), body}), name, wrongDate},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        boxes.shown.clear();
        db.execute(QStringLiteral("DELETE FROM Corbix WHERE Posizione = 4"));
        addFlow(4, Day, 7, 0, 0, QStringLiteral("DICH01"), {}, c.stored);
        writeHost(onC(c.stored.mid(3).replace(u'\\', u'/')), c.bytes);
        const QStringList before = registerRows();
        EXPECT_EQ(ElaboraRisposta(Day, 7), EsitoElaborazione::Rifiutata);
        EXPECT_EQ(boxes.shown, std::vector<Message>{c.shown});
        EXPECT_EQ(registerRows(), before);
        EXPECT_EQ(boxB(1), untouchedB());
        EXPECT_TRUE(wrong().isEmpty());
        EXPECT_EQ(bytes(onC(c.stored.mid(3).replace(u'\\', u'/'))), c.bytes) << "the copy stays as it is";
    }
}

TEST_F(Process, AStoredCopyTooLargeForAnAnswerIsRefusedUnread)
{
    answerW({positive(QStringLiteral("C1"), QStringLiteral("AB1234"), true)});
    QFile copy(onC(QStringLiteral("Corbix/Risposte Pervenute/20260115-7-W")));
    ASSERT_TRUE(copy.resize(MassimaRisposta + 1));
    const QStringList before = registerRows();
    startOn(1);
    frmAswerProcess f(w.get(), FlussoElencato(*w));
    f.show();
    clickAsUser(f.cmdStart);
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(boxes.shown, (std::vector<Message>{{QStringLiteral("Il file 'C:\\Corbix\\Risposte Pervenute\\20260115-7-W' "
                                                                 "è troppo grande per essere una risposta del servizio."),
                                                  QStringLiteral("Elaborazione risposta"), MsgIcon::Exclamation,
                                                  MsgButtons::OK, 1}}));
    EXPECT_EQ(registerRows(), before);
    EXPECT_EQ(boxB(1), untouchedB());
}

TEST_F(Process, AFlowFiledAgainUnderItsNumberWhileTheNoticeIsShownIsNotProcessed)
{
    // The flow the list showed is deleted by another workstation and another
    // filed under its date and number (its stored answer stays): the answer
    // is not written into the other flow's declarations.
    answerW({positive(QStringLiteral("C1"), QStringLiteral("AB1234"), true)});
    startOn(1);
    frmAswerProcess f(w.get(), FlussoElencato(*w));
    f.show();
    ASSERT_EQ(testsupport::otherProcessWrites(
                  onC(QStringLiteral("Archivio.mdb")),
                  QStringLiteral("UPDATE Corbix SET CompostoDa = '9-15/01/2026-ZZ9999', Stato = 1 WHERE Posizione = 3")),
              0);
    const QStringList before = registerRows();
    clickAsUser(f.cmdStart);
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(f.ElencoSuperato);
    EXPECT_EQ(boxes.shown, std::vector<Message>{::box(QStringLiteral("Il corbex selezionato non è più presente nel "
                                                                   "registro: l'elenco viene aggiornato."),
                                                    MsgIcon::Information)});
    EXPECT_EQ(registerRows(), before);
    EXPECT_EQ(boxB(1), untouchedB());
}

TEST_F(Process, AnswersOfOtherKindsAreLeftAlone)
{
    struct Case {
        QChar type;
        EsitoElaborazione esito;
        std::vector<Message> shown;
    } cases[] = {
        {u'H', EsitoElaborazione::Rifiutata,
         {{QStringLiteral("La versione dell'applicazione non è in grado di elaborare la risposta ad un messaggio "
                          "relativo alle 'Dichiarazioni Intrastat'."),
           QStringLiteral("Corbix doganali"), MsgIcon::Information, MsgButtons::OK, 1}}},
        {u'P', EsitoElaborazione::Rifiutata,
         {{QStringLiteral("La versione dell'applicazione non è in grado di elaborare la risposta ad un messaggio "
                          "relativo al 'Manifersto doganale merci in arrivo'."),
           QStringLiteral("Corbix doganali"), MsgIcon::Information, MsgButtons::OK, 1}}},
        {u'B', EsitoElaborazione::NonElaborata, {}},
        {u'G', EsitoElaborazione::NonElaborata, {}},
    };
    for (const Case &c : cases) {
        boxes.shown.clear();
        db.execute(QStringLiteral("DELETE FROM Corbix WHERE Posizione = 4"));
        stored(c.type, {header(c.type, QStringLiteral("DICH01"), 4), QStringLiteral("1"),
                        positive(QStringLiteral("C1"), QStringLiteral("AB1234"), true), QStringLiteral("x")});
        EXPECT_EQ(ElaboraRisposta(Day, 7), c.esito);
        EXPECT_EQ(boxes.shown, c.shown);
        EXPECT_EQ(flowRow(), QStringLiteral("3|2|<null>|DICH01|<null>|<null>|<null>"));
    }
    db.execute(QStringLiteral("DELETE FROM Corbix WHERE Posizione = 4"));
    EXPECT_EQ(ElaboraRisposta(Day, 7), EsitoElaborazione::NonElaborata) << "no answer row";
    EXPECT_EQ(boxB(1), untouchedB());
}

TEST_F(Process, AFailureInTheMiddleLeavesTheDeclarationsAndTheRegisterAsTheyWere)
{
    db.execute(QStringLiteral("CREATE TRIGGER guasto BEFORE UPDATE ON DettaglioBol WHEN OLD.Indice = 2 BEGIN "
                              "SELECT RAISE(ABORT, 'guasto'); END"));
    answerW({positive(QStringLiteral("C1"), QStringLiteral("AB1234"), true),
             positive(QStringLiteral("C1"), QStringLiteral("CD5678"), true)});
    EXPECT_EQ(ElaboraRisposta(Day, 7), EsitoElaborazione::Fallita);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.startsWith(QStringLiteral("Errore di Run-time "))) << boxes.shown[0].text.toStdString();
    db.execute(QStringLiteral("DROP TRIGGER guasto"));
    EXPECT_EQ(boxB(1), untouchedB());
    EXPECT_EQ(flowRow(), QStringLiteral("3|2|<null>|DICH01|<null>|<null>|<null>"));
}

TEST_F(Process, ARegisterLockedBeyondTheDeadlineProcessesNothing)
{
    answerW({positive(QStringLiteral("C1"), QStringLiteral("AB1234"), true)});
    testsupport::OtherProgram other(onC(QStringLiteral("Archivio.mdb")));
    ASSERT_EQ(other.exec(QStringLiteral("BEGIN IMMEDIATE")), SQLITE_OK);
    EXPECT_EQ(ElaboraRisposta(Day, 7), EsitoElaborazione::Fallita);
    other.exec(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxB(1), untouchedB());
    EXPECT_EQ(flowRow(), QStringLiteral("3|2|<null>|DICH01|<null>|<null>|<null>"));
}

// A stored copy that lacks a line or a field the processing reads is not
// processed: nothing is written, the flow stays in state 3, and the user is
// told; the whole copy stored in its place is processed.
TEST_F(Process, AStoredAnswerThatLacksARecordWritesNothing)
{
    const QStringList whole{positive(QStringLiteral("C1"), QStringLiteral("AB1234"), true),
                            negative(QStringLiteral("C1"), QStringLiteral("CD5678")), errorLine(QStringLiteral("331"))};
    const struct {
        QStringList body;
        int count;
        QString fault;
    } cases[] = {
        {whole.mid(0, 2), 6, QStringLiteral("l'intestazione indica 6 righe, ma il file ne contiene 5")},
        {whole.mid(0, 2), 5, QStringLiteral("manca la riga di errore che segue la riga 5")},
        {{whole[0].left(40), whole[1], whole[2]}, 6, QStringLiteral("la riga 4 è troncata")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.fault.toStdString());
        db.execute(QStringLiteral("DELETE FROM Corbix WHERE Posizione = 4"));
        answerW(c.body, c.count);
        boxes.shown.clear();
        EXPECT_EQ(ElaboraRisposta(Day, 7), EsitoElaborazione::Rifiutata);
        EXPECT_EQ(boxes.shown,
                  std::vector<Message>{info(QStringLiteral("La risposta memorizzata non può essere elaborata: ") + c.fault
                                            + QStringLiteral(". Nessun esito è stato registrato e il corbex resta in "
                                                             "attesa di elaborazione."))});
        EXPECT_EQ(flowRow(), QStringLiteral("3|2|<null>|DICH01|<null>|<null>|<null>"));
        EXPECT_EQ(boxB(1), untouchedB());
        EXPECT_EQ(wrong(), QStringList());
        EXPECT_EQ(stato1(2, DocDay), QVariant(2));
    }
    db.execute(QStringLiteral("DELETE FROM Corbix WHERE Posizione = 4"));
    answerW(whole);
    boxes.shown.clear();
    EXPECT_EQ(ElaboraRisposta(Day, 7), EsitoElaborazione::Elaborata);
    EXPECT_EQ(boxes.shown, std::vector<Message>{Done});
    EXPECT_EQ(flowRow(), QStringLiteral("5|2|<null>|DICH01|1|1|0"));
    EXPECT_NE(boxB(1), untouchedB());
    EXPECT_EQ(wrong(), QStringList{QStringLiteral("2 A331")});
}

TEST_F(Process, CountsBeyondAByteAreStoredAs255AndShownWhole)
{
    QStringList body;
    for (int i = 0; i < 300; ++i)
        body << positive(QStringLiteral("C11"), QStringLiteral("AB1234"), false);
    answerW(body);
    startOn(1);
    frmAswerProcess f(w.get(), FlussoElencato(*w));
    f.show();
    clickAsUser(f.cmdStart);
    EXPECT_EQ(f.result(), QDialog::Accepted);
    EXPECT_EQ(flowRow(), QStringLiteral("5|2|<null>|DICH01|255|0|0"));
    EXPECT_EQ(f.txtDocSuccess->text(), QStringLiteral("300")) << "the window shows the true count";
}

// ---------------------------------------------------------------- type A

TEST_F(Process, CheckLinesMarkTheFieldsOfTheFlowLineTheyName)
{
    // The archived flow: the envelope, then one line per article; the article
    // number is field 8 of layout C1 (the second value after the prefix).
    const QString prefix1 = at({{1, QStringLiteral("TC1")}, {15, QStringLiteral("AB1234")}}).leftJustified(22, u' ');
    const QString prefix2 = at({{1, QStringLiteral("TC1")}, {15, QStringLiteral("CD5678")}}).leftJustified(22, u' ');
    const QString prefix9 = at({{1, QStringLiteral("TC1")}, {15, QStringLiteral("ZZ9999")}}).leftJustified(22, u' ');
    writeHost(onC(QStringLiteral("Corbix/Corbix inviati/flusso")),
              file({QStringLiteral("BUSTA"), prefix1 + QStringLiteral("a\t1"), prefix9 + QStringLiteral("a\t1"),
                    prefix2 + QStringLiteral("b\t1")}));
    stored(u'A', {header(u'A', QStringLiteral("DICH01"), 7),
                  QStringLiteral("00003012 VALORE ERRATO - 34 CAMPO SCONOSCIUTO"),  // flow line 2: AB1234
                  QStringLiteral("00001XX SENZA NUMERO"),                          // the last line: CD5678
                  QStringLiteral("00004012 ERRATO"),                               // flow line 3: no declaration
                  QStringLiteral("00009012 ERRATO"),                               // beyond the flow
                  QStringLiteral("00000012 ERRATO"),                               // before the flow
                  QStringLiteral("      15/01/26")});
    EXPECT_EQ(ElaboraRisposta(Day, 7), EsitoElaborazione::Elaborata);
    EXPECT_EQ(boxes.shown, std::vector<Message>{Done});
    EXPECT_EQ(flowRow(), QStringLiteral("5|2|<null>|DICH01|0|3|3"));
    EXPECT_EQ(wrong(), QStringList{QStringLiteral("1 A331")});
    EXPECT_EQ(stato1(1, DocDay), 0);
    EXPECT_EQ(stato1(2, DocDay), 2);
}

// ---------------------------------------------------------------- the window

TEST_F(Process, TheWindowOpensOnItsNoticeAndProcessesOnStart)
{
    answerW({positive(QStringLiteral("C11"), QStringLiteral("CD5678"), false)});
    startOn(1);
    frmAswerProcess f(w.get(), FlussoElencato(*w));
    f.show();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Elaborazione risposta"));
    EXPECT_EQ(f.Data, Day);
    EXPECT_EQ(f.Progressivo, 7);
    // Heights are outer heights; the window grows where its notice needs it.
    const int cornice = platform::AltezzaCornice(&f);
    EXPECT_GE(f.height() + cornice, platform::twips(2100 - 800));
    EXPECT_GT(f.fraDocProcess->y(), f.height());
    EXPECT_LT(f.lblNotify->geometry().bottom(), f.cmdStart->y());
    EXPECT_LT(f.cmdStart->geometry().bottom(), f.height());
    EXPECT_LT(f.cmdCancel->geometry().bottom(), f.height());

    clickAsUser(f.cmdStart);
    EXPECT_EQ(f.result(), QDialog::Accepted);
    EXPECT_FALSE(f.isVisible());
    EXPECT_GE(f.height() + cornice, platform::twips(2100));
    EXPECT_LT(f.fraStats->geometry().bottom(), f.prbProcess->y());
    EXPECT_LT(f.prbProcess->geometry().bottom(), f.height());
    EXPECT_GT(f.cmdStart->y(), f.height());
    EXPECT_EQ(f.txtDocNumber->text(), QStringLiteral("2"));
    EXPECT_EQ(f.txtDocDate->text(), QStringLiteral("10/01/2026"));
    EXPECT_EQ(f.txtCustomReference->text(), QStringLiteral("CD56789"));
    EXPECT_EQ(f.txtDocSuccess->text(), QStringLiteral("1"));
    EXPECT_EQ(f.txtDocFailure->text(), QStringLiteral("0"));
    EXPECT_EQ(f.txtStrange->text(), QStringLiteral("0"));
}

TEST_F(Process, TheWindowStaysWithoutButtonsAfterAnAnswerItDoesNotProcess)
{
    stored(u'H', {header(u'H', QStringLiteral("DICH01"), 3)});
    startOn(1);
    frmAswerProcess f(w.get(), FlussoElencato(*w));
    f.show();
    clickAsUser(f.cmdStart);
    EXPECT_TRUE(f.isVisible());
    EXPECT_GT(f.cmdStart->y(), f.height());
    EXPECT_GT(f.cmdCancel->y(), f.height());
    EXPECT_EQ(f.txtDocSuccess->text(), QStringLiteral("0"));
}

TEST_F(Process, TheMainWindowsProcessingCommandRefillsTheList)
{
    answerW({positive(QStringLiteral("C11"), QStringLiteral("CD5678"), false)});
    uimain::RegisteredWindowFactory windows;
    RegistraElaborazione(windows);
    uimain::ScopedWindowFactory guard(windows);
    startOn(1);
    bool acted = false;
    QTimer::singleShot(0, w.get(), [&] {
        auto *f = w->findChild<frmAswerProcess *>();
        ASSERT_NE(f, nullptr);
        clickAsUser(f->cmdStart);
        acted = true;
    });
    rightClick(rowCentre(1));
    QAction *elabora = nullptr;
    for (QAction *a : w->Opzioni)
        if (a->isVisible() && a->text() == QStringLiteral("E&labora risposta"))
            elabora = a;
    ASSERT_NE(elabora, nullptr) << contextItems().join(u',').toStdString();
    elabora->trigger();
    EXPECT_TRUE(acted);
    EXPECT_EQ(listRows(), QStringList{QStringLiteral("15/01/26 7 ") + flowengine::IconaStato(5, 2)});
}
