#include "fixture.h"

#include "support/asuser.h"
#include "common/archivecheck.h"
#include "support/otherprogram.h"
#include "ui/transmission/answerfetch.h"
#include "ui/transmission/frmreicevemirsolan.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace uitransmission;
using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;
using testsupport::clickAsUser;

namespace {

const QDate Day(2026, 1, 15);
const QString Sent = QStringLiteral("1 15/01/2026 7");
const QString Flow = QStringLiteral("3 15/01/2026 7|C:\\Corbix\\Corbix inviati\\flusso|1-15/01/2026-AB12345|%1|2|<null>|DICH01|<null>|<null>|<null>");

Message info(const QString &text, const QString &title = QStringLiteral("Corbix doganali"))
{
    return {text, title, MsgIcon::Information, MsgButtons::OK, 1};
}

const Message NotAnAnswer = info(QStringLiteral("La data della risposta non coincide con la data del corbex orgine."),
                                 QStringLiteral("Corbix Doganali"));

// The last line of the answers below: a whole outcome record of a further
// article, which carries no validation.
const QString LastRecord = QStringLiteral("RC11         AB1234        P");

class Fetch : public TransmissionTest {
protected:
    Fetch()
    {
        addFlow(3, Day, 7, 1, 2, QStringLiteral("DICH01"), QStringLiteral("1-15/01/2026-AB12345"),
                QStringLiteral("C:\\Corbix\\Corbix inviati\\flusso"));
        common::OpzioniCorbix.Centrale = QStringLiteral("C:\\Corbix\\");
        flow.Data = Day;
        flow.Posizione = 3;
        flow.Progressivo = 7;
        flowengine::CaricaCorbex(flow);
    }
    // An answer of the given type for the flow: its date on line 2 (W, H)
    // or on the last line (A, B, F at 7-14; P at 12-19).
    QStringList answer(QChar type, const QString &second = QString(), const QString &declarant = QStringLiteral("DICH01"),
                       const QString &date = QStringLiteral("15/01/26"))
    {
        QStringList lines{header(type, declarant, 4)};
        if (type == u'W' || type == u'H') {
            lines << at({{1, second}, {12, date}}) << QStringLiteral("terza") << LastRecord;
        } else {
            lines << second << QStringLiteral("terza");
            lines << (type == u'P' ? at({{12, date}}) : at({{7, date}}));
        }
        return lines;
    }
    QString put(const QByteArray &bytes, const QString &name = QStringLiteral("RISP07"))
    {
        writeHost(onC(QStringLiteral("In/") + name), bytes);
        return QStringLiteral("C:\\In\\") + name;
    }
    QStringList stored() const { return entries(onC(QStringLiteral("Corbix/Risposte Pervenute"))); }

    flowengine::DatiCorbex flow;
};

}  // namespace

TEST(FetchLines, LineEndsBecomeCrLf)
{
    struct Case {
        QByteArray in, out;
    } cases[] = {
        {"a\nb\n", "a\r\nb\r\n"},
        {"a\n\nb\n", "a\r\n\r\nb\r\n"},          // an empty line ended by LF stays
        {"a\r\n\r\nb\r\n", "a\r\nb\r\n"},        // one ended by CR LF goes
        {"a\r\rb\r", "a\r\nb\r\n"},              // and one ended by CR
        {"a\r\nb", "a\r\nb\r\n"},                // text after the last end is a last line
        {"a\n\r\nb", "a\r\nb\r\n"},
        {"", ""},
        {"\xe8\n", "\xe8\r\n"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(NormalizzaFineRighe(c.in), c.out) << c.in.toStdString();
}

TEST(FetchLines, TheStoredCopysName)
{
    EXPECT_EQ(NomeCopiaRisposta(QStringLiteral("\\\\PC1\\C\\Corbix\\"), QDate(2026, 1, 5), 7, u'W'),
              QStringLiteral("\\\\PC1\\C\\Corbix\\Risposte Pervenute\\20260105-7-W"));
}

TEST_F(Fetch, AnAnswerWithOutcomesIsStoredAndTheFlowMovesToState3)
{
    const QString path = put(file(answer(u'W'), "\n"));
    EXPECT_TRUE(PrelevaRisposta(path, flow));
    EXPECT_EQ(boxes.shown, std::vector<Message>{});
    EXPECT_EQ(registerRows(), (QStringList{Flow.arg(3), QStringLiteral("4 15/01/2026 7|C:\\Corbix\\Risposte Pervenute\\"
                                                                        "20260115-7-W|<null>|0|0|<null>|DICH01|<null>|"
                                                                        "<null>|<null>")}));
    const QByteArray crlf = file(answer(u'W'));
    EXPECT_EQ(bytes(onC(QStringLiteral("In/RISP07"))), crlf);
    EXPECT_EQ(bytes(onC(QStringLiteral("Corbix/Risposte Pervenute/20260115-7-W"))), crlf);
    EXPECT_EQ(QDir::currentPath() + u'/', common::CartellaProgramma);
    // No temporary and no journal is left.
    EXPECT_EQ(entries(onC(QStringLiteral("In"))), QStringList{QStringLiteral("RISP07")});
    EXPECT_EQ(stored(), QStringList{QStringLiteral("20260115-7-W")});
    EXPECT_EQ(entries(onC(QStringLiteral("Corbix/TEMP"))), QStringList());
}

TEST_F(Fetch, ALargeAnswerIsRewrittenAsAWholeAcrossItsPieces)
{
    // The file is read a mebibyte at a time: a CR ends one piece and its LF
    // starts the next, a line runs over the next boundary, and a lone CR, a
    // lone LF and an empty line ended by CR stand near the end.
    const qsizetype piece = 1024 * 1024;
    QByteArray big = file(answer(u'W'), "\n");
    big += QByteArray(piece - 1 - big.size(), 'x') + "\r\n";
    big += QByteArray(piece + 10, 'y') + "\rz\n\r\r";
    big += file({LastRecord}, "\n").chopped(1);
    ASSERT_EQ(big.mid(piece - 1, 2), QByteArray("\r\n"));
    EXPECT_TRUE(PrelevaRisposta(put(big), flow));
    EXPECT_EQ(boxes.shown, std::vector<Message>{});
    EXPECT_EQ(bytes(onC(QStringLiteral("In/RISP07"))), NormalizzaFineRighe(big));
    EXPECT_EQ(bytes(onC(QStringLiteral("Corbix/Risposte Pervenute/20260115-7-W"))), NormalizzaFineRighe(big));
}

TEST_F(Fetch, AnswersOfIntrastatAndManifestAreStoredToo)
{
    for (QChar type : {u'H', u'P'}) {
        db.execute(QStringLiteral("DELETE FROM Corbix WHERE Posizione = 4"));
        // The flow as the list shows it once refilled after the last fetch.
        flowengine::CaricaCorbex(flow);
        EXPECT_TRUE(PrelevaRisposta(put(file(answer(type))), flow)) << QString(type).toStdString();
        EXPECT_EQ(registerRows().value(0), Flow.arg(3));
        EXPECT_EQ(registerRows().size(), 2);
    }
    EXPECT_EQ(stored(), (QStringList{QStringLiteral("20260115-7-H"), QStringLiteral("20260115-7-P")}));
}

TEST_F(Fetch, RefusedAnswersChangeNothingButTheirLineEnds)
{
    struct Case {
        QStringList lines;
        QString name;
        Message message;
    } cases[] = {
        {answer(u'W', {}, QStringLiteral("DICH01"), QStringLiteral("16/01/26")), QStringLiteral("RISP07"),
         info(QStringLiteral("La data della risposta non coincide con la data del corbex orgine."),
              QStringLiteral("Corbix Doganali"))},
        // A type G answer carries no date the program knows of.
        {answer(u'G', QStringLiteral("0")), QStringLiteral("RISP07"),
         info(QStringLiteral("La data della risposta non coincide con la data del corbex orgine."),
              QStringLiteral("Corbix Doganali"))},
        {answer(u'W'), QStringLiteral("RISP08"),
         info(QStringLiteral("Il numero progressivo della risposta non coincide con quello del corbex origine."))},
        {answer(u'W'), QStringLiteral("RISPAB"),
         info(QStringLiteral("Il numero progressivo della risposta non coincide con quello del corbex origine."))},
        {answer(u'W', {}, QStringLiteral("DICH02")), QStringLiteral("RISP07"),
         info(QStringLiteral("Il dichiarante indicato nella risposta non coincide con quello nel corbex origine."),
              QStringLiteral("Corbix doganali."))},
        {answer(u'F', QStringLiteral("1")), QStringLiteral("RISP07"),
         info(QStringLiteral("La tipologia della riposta non fra quelle previste dal sistema E.D.I."))},
        {{header(u'W', QStringLiteral("DICH01"), 1)}, QStringLiteral("RISP07"),
         info(QStringLiteral("La data della risposta non coincide con la data del corbex orgine."),
              QStringLiteral("Corbix Doganali"))},
    };
    for (const Case &c : cases) {
        boxes.shown.clear();
        const QString path = put(file(c.lines, "\n"), c.name);
        EXPECT_FALSE(PrelevaRisposta(path, flow)) << c.name.toStdString();
        EXPECT_EQ(boxes.shown, std::vector<Message>{c.message}) << c.lines.value(0).toStdString();
        EXPECT_EQ(bytes(onC(QStringLiteral("In/") + c.name)), file(c.lines));
        EXPECT_EQ(registerRows(), QStringList{Flow.arg(1)});
        EXPECT_TRUE(stored().isEmpty());
    }
}

// Files that are no answer, the archive and the program database among
// them, are refused as answers of another day and stay byte for byte as they
// were; the archive and the program database are not even read, and the
// archive opens as before.
TEST_F(Fetch, FilesThatAreNoAnswerAreRefusedAndLeftAsTheyWere)
{
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary += char((i * 37 + 11) % 256);
    const struct {
        QString path;  // as typed
        QString host;
        QByteArray bytes;  // written there first, when given
    } cases[] = {
        {QStringLiteral("C:\\Archivio.mdb"), onC(QStringLiteral("Archivio.mdb")), {}},
        {common::CartellaProgramma + QStringLiteral("Corbix.mdb"), common::CartellaProgramma + QStringLiteral("Corbix.mdb"), {}},
        {QStringLiteral("C:\\In\\stampa.pdf"), onC(QStringLiteral("In/stampa.pdf")),
         "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 obj\n<< /Type /Catalog >>\nendobj\r\ntrailer\n%%EOF\n"},
        {QStringLiteral("C:\\In\\dati.bin"), onC(QStringLiteral("In/dati.bin")), binary},
        // A letter, and a text whose column 26 holds a type letter but whose
        // header counts no lines.
        {QStringLiteral("C:\\In\\lettera07"), onC(QStringLiteral("In/lettera07")),
         "Egregio cliente,\nle inviamo in allegato\r\nla fattura.\n"},
        // An answer's layout, with a letter that names no type of answer.
        {QStringLiteral("C:\\In\\tipo07"), onC(QStringLiteral("In/tipo07")), file(answer(u'X'), "\n")},
        {QStringLiteral("C:\\In\\quasi07"), onC(QStringLiteral("In/quasi07")),
         file({header(u'W', QStringLiteral("DICH01"), 4).left(70) + QStringLiteral("quatt"),
               at({{12, QStringLiteral("15/01/26")}}), QStringLiteral("terza"), LastRecord},
              "\n")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        if (!c.bytes.isEmpty())
            writeHost(c.host, c.bytes);
        const QByteArray before = bytes(c.host);
        boxes.shown.clear();
        EXPECT_FALSE(PrelevaRisposta(c.path, flow));
        EXPECT_EQ(boxes.shown, std::vector<Message>{NotAnAnswer});
        EXPECT_EQ(bytes(c.host), before);
        EXPECT_EQ(registerRows(), QStringList{Flow.arg(1)});
        EXPECT_TRUE(stored().isEmpty());
        EXPECT_EQ(entries(onC(QStringLiteral("Corbix/TEMP"))), QStringList());
    }
    // Held open by nothing, the archive and the program database are still
    // known by the files they are, however they are spelt.
    db.close();
    program.close();
    for (const QString &path : {QStringLiteral("c:\\ARCHIVIO.MDB"), common::CartellaProgramma + QStringLiteral("./Corbix.mdb")}) {
        boxes.shown.clear();
        EXPECT_FALSE(PrelevaRisposta(path, flow));
        EXPECT_EQ(boxes.shown, std::vector<Message>{NotAnAnswer}) << path.toStdString();
    }
    testsupport::OtherProgram other(onC(QStringLiteral("Archivio.mdb")));
    ASSERT_EQ(other.exec(QStringLiteral("PRAGMA integrity_check")), SQLITE_OK);
    EXPECT_EQ(other.lastRows, QStringList{QStringLiteral("ok")});
    EXPECT_TRUE(common::VerificaArchivio(common::PercorsoArchivio));
    db = dao::Database::open(onC(QStringLiteral("Archivio.mdb")));
    EXPECT_EQ(registerRows(), QStringList{Flow.arg(1)});
}

// An answer cut short, or whose header counts more lines than it has, is
// refused before anything is written, and stays as it came (LF line ends);
// the whole answer fetched afterwards from the same path is stored.
TEST_F(Fetch, AnAnswerCutShortIsRefusedUntouchedAndTheWholeOneIsTakenAfterwards)
{
    const QStringList whole{
        header(u'W', QStringLiteral("DICH01"), 7), at({{12, QStringLiteral("15/01/26")}}), QStringLiteral("ESITI"),
        at({{1, QStringLiteral("RC1")}, {14, QStringLiteral("AB1234")}, {28, QStringLiteral("P")},
            {29, QStringLiteral("IMA 001234K150126")}, {46, QStringLiteral("0042X000777160226170326")}}),
        at({{1, QStringLiteral("RC1")}, {14, QStringLiteral("CD5678")}, {28, QStringLiteral("N")}}),
        at({{2, QStringLiteral("01")}, {4, QStringLiteral("3301")}, {9, QStringLiteral("01")}, {11, QStringLiteral("E")},
            {16, QStringLiteral("VALORE NON AMMESSO")}}),
        // No customs account: the record stops at its validation date.
        at({{1, QStringLiteral("RC1")}, {14, QStringLiteral("EF9012")}, {28, QStringLiteral("P")},
            {29, QStringLiteral("IMA 001235K150126")}}),
    };
    ASSERT_EQ(whole[3].size(), 68);
    ASSERT_EQ(whole[6].size(), 45);
    const auto cut = [&whole](int line, int columns) {
        QStringList lines = whole;
        lines[line - 1] = lines[line - 1].left(columns);
        return lines;
    };
    const auto counting = [&whole](int count, int lines) {
        QStringList l = whole.mid(0, lines);
        l[0] = header(u'W', QStringLiteral("DICH01"), count);
        return l;
    };
    struct Case {
        QStringList lines;
        QString fault;  // what the message names; empty: no answer at all
    };
    std::vector<Case> cases;
    for (int lines = 1; lines < 7; ++lines)
        cases.push_back({whole.mid(0, lines),
                         QStringLiteral("l'intestazione indica 7 righe, ma il file ne contiene %1").arg(lines)});
    cases.push_back({cut(7, 30), QStringLiteral("la riga 7 è troncata")});
    cases.push_back({cut(4, 36), QStringLiteral("la riga 4 è troncata")});
    cases.push_back({cut(4, 60), QStringLiteral("la riga 4 è troncata")});
    cases.push_back({cut(5, 20), QStringLiteral("la riga 5 è troncata")});
    cases.push_back({cut(6, 3), QStringLiteral("la riga 6 è troncata")});
    cases.push_back({counting(5, 5), QStringLiteral("manca la riga di errore che segue la riga 5")});
    cases.push_back({counting(9, 7), QStringLiteral("l'intestazione indica 9 righe, ma il file ne contiene 7")});
    QStringList garbled = whole;
    garbled[0] = garbled[0].left(70) + QStringLiteral("00X07");
    cases.push_back({garbled, {}});
    const QString path = QStringLiteral("C:\\In\\RISP07");
    const QString host = onC(QStringLiteral("In/RISP07"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.lines.join(u'|').toStdString());
        const QByteArray came = file(c.lines, "\n");
        writeHost(host, came);
        boxes.shown.clear();
        EXPECT_FALSE(PrelevaRisposta(path, flow));
        EXPECT_EQ(boxes.shown, std::vector<Message>{c.fault.isEmpty()
                                                        ? NotAnAnswer
                                                        : info(QStringLiteral("La risposta è incompleta: ") + c.fault
                                                               + QStringLiteral(". Prelevare la risposta completa."))});
        EXPECT_EQ(bytes(host), came);
        EXPECT_EQ(registerRows(), QStringList{Flow.arg(1)});
        EXPECT_TRUE(stored().isEmpty());
        EXPECT_EQ(entries(onC(QStringLiteral("Corbix/TEMP"))), QStringList());

        writeHost(host, file(whole, "\n"));
        boxes.shown.clear();
        EXPECT_TRUE(PrelevaRisposta(path, flow));
        EXPECT_EQ(boxes.shown, std::vector<Message>{});
        EXPECT_EQ(registerRows().value(0), Flow.arg(3));
        EXPECT_EQ(bytes(onC(QStringLiteral("Corbix/Risposte Pervenute/20260115-7-W"))), file(whole));
        // The next case starts again from the flow as it was sent.
        db.execute(QStringLiteral("DELETE FROM Corbix WHERE Posizione = 4"));
        db.execute(QStringLiteral("UPDATE Corbix SET Stato = 1"));
        ASSERT_TRUE(QFile::remove(onC(QStringLiteral("Corbix/Risposte Pervenute/20260115-7-W"))));
    }
}

TEST_F(Fetch, APathWithoutAFileIsRefused)
{
    for (const QString &path : {QStringLiteral("C:\\In\\NESSUNA07"), QStringLiteral("C:\\In"), QStringLiteral("Q:\\R07")}) {
        boxes.shown.clear();
        EXPECT_FALSE(PrelevaRisposta(path, flow));
        EXPECT_EQ(boxes.shown, std::vector<Message>{info(QStringLiteral(
                                   "Il nome identificativo della risposta non è stato trovato nel percorso specificato. "
                                   "Indicare il nome corretto o modificare il percorso."))});
    }
    EXPECT_EQ(registerRows(), QStringList{Flow.arg(1)});
}

TEST_F(Fetch, APassedFormalCheckMovesTheFlowToState2AndStoresNothing)
{
    db.execute(QStringLiteral("UPDATE Corbix SET Stato = 5"));
    for (QChar type : {u'A', u'B'}) {
        boxes.shown.clear();
        // The flow as the list shows it once refilled.
        flowengine::CaricaCorbex(flow);
        EXPECT_TRUE(PrelevaRisposta(put(file(answer(type, QStringLiteral("0")))), flow));
        EXPECT_EQ(boxes.shown, std::vector<Message>{info(QStringLiteral(
                                   "Il controllo formale ha dato esito positivo. Prelevare la risposta."))});
        EXPECT_EQ(registerRows(), QStringList{Flow.arg(2)});
        EXPECT_TRUE(stored().isEmpty());
    }
}

TEST_F(Fetch, AFormalCheckWithErrorsIsStoredOnceAndTheFlowMovesToState4)
{
    const QString path = put(file(answer(u'A', QStringLiteral("1 errori"))));
    EXPECT_TRUE(PrelevaRisposta(path, flow));
    EXPECT_EQ(boxes.shown, std::vector<Message>{});
    const QStringList after{Flow.arg(4), QStringLiteral("4 15/01/2026 7|C:\\Corbix\\Risposte Pervenute\\20260115-7-A|"
                                                        "<null>|0|0|<null>|DICH01|<null>|<null>|<null>")};
    EXPECT_EQ(registerRows(), after);
    EXPECT_EQ(stored(), QStringList{QStringLiteral("20260115-7-A")});

    db.execute(QStringLiteral("UPDATE Corbix SET Stato = 5 WHERE Posizione = 3"));
    EXPECT_FALSE(PrelevaRisposta(path, flow));
    EXPECT_EQ(boxes.shown, std::vector<Message>{info(QStringLiteral(
                               "La risposta di tipo controllo formale risultagià prelevata."))});
    EXPECT_EQ(registerRows().value(0), Flow.arg(5));
}

TEST_F(Fetch, ASecondAnswerWithOutcomesIsNotStoredAgain)
{
    ASSERT_TRUE(PrelevaRisposta(put(file(answer(u'W'))), flow));
    db.execute(QStringLiteral("UPDATE Corbix SET Stato = 5 WHERE Posizione = 3"));
    const QStringList before = registerRows();
    const QByteArray first = bytes(onC(QStringLiteral("Corbix/Risposte Pervenute/20260115-7-W")));

    QStringList other = answer(u'W');
    other[2] = QStringLiteral("un'altra");
    EXPECT_FALSE(PrelevaRisposta(put(file(other)), flow));
    EXPECT_EQ(boxes.shown, std::vector<Message>{info(QStringLiteral("La risposta risulta già prelevata."))});
    EXPECT_EQ(registerRows(), before);
    EXPECT_EQ(bytes(onC(QStringLiteral("Corbix/Risposte Pervenute/20260115-7-W"))), first);
}

TEST_F(Fetch, ARegisterLockedBeyondTheDeadlineStoresNothing)
{
    testsupport::OtherProgram other(onC(QStringLiteral("Archivio.mdb")));
    ASSERT_EQ(other.exec(QStringLiteral("BEGIN IMMEDIATE")), SQLITE_OK);
    EXPECT_FALSE(PrelevaRisposta(put(file(answer(u'A', QStringLiteral("1")))), flow));
    other.exec(QStringLiteral("ROLLBACK"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_GE(clock_.monotonicMs(), 60'000);
    EXPECT_EQ(registerRows(), QStringList{Flow.arg(1)});
    EXPECT_TRUE(stored().isEmpty());
}

TEST_F(Fetch, APassedFormalCheckUnderALockIsStillToldAndClosesTheWindow)
{
    startOn(1);
    frmReiceveMirsolan f(w.get(), FlussoElencato(*w));
    f.show();
    f.txtAswerPathName->setText(put(file(answer(u'A', QStringLiteral("0")))));
    testsupport::OtherProgram other(onC(QStringLiteral("Archivio.mdb")));
    ASSERT_EQ(other.exec(QStringLiteral("BEGIN IMMEDIATE")), SQLITE_OK);
    clickAsUser(f.cmdConfirm);
    other.exec(QStringLiteral("ROLLBACK"));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1], info(QStringLiteral("Il controllo formale ha dato esito positivo. Prelevare la risposta.")));
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.result(), QDialog::Accepted);
    EXPECT_EQ(registerRows(), QStringList{Flow.arg(1)});
    EXPECT_TRUE(stored().isEmpty());
}

TEST_F(Fetch, AFlowChangedSinceTheListWasFilledIsNotWritten)
{
    // Another workstation fetched the flow's formal check meanwhile: the
    // flow's state is no longer the one the list showed.
    startOn(1);
    frmReiceveMirsolan f(w.get(), FlussoElencato(*w));
    f.show();
    f.txtAswerPathName->setText(put(file(answer(u'W'))));
    ASSERT_EQ(testsupport::otherProcessWrites(onC(QStringLiteral("Archivio.mdb")),
                                              QStringLiteral("UPDATE Corbix SET Stato = 2 WHERE Posizione = 3")),
              0);
    clickAsUser(f.cmdConfirm);
    EXPECT_EQ(boxes.shown, std::vector<Message>{box(QStringLiteral("Il corbex selezionato non è più presente nel "
                                                                   "registro: l'elenco viene aggiornato."),
                                                    MsgIcon::Information)});
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(registerRows(), QStringList{Flow.arg(2)});
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_EQ(entries(onC(QStringLiteral("Corbix/TEMP"))), QStringList());
}

TEST_F(Fetch, AFileTooLargeForAnAnswerIsRefusedUntouched)
{
    const QString path = put("EDI\nfine\n");
    const QString host = onC(QStringLiteral("In/RISP07"));
    {
        QFile f(host);
        ASSERT_TRUE(f.resize(MassimaRisposta + 1));
    }
    startOn(1);
    frmReiceveMirsolan f(w.get(), FlussoElencato(*w));
    f.show();
    f.txtAswerPathName->setText(path);
    clickAsUser(f.cmdConfirm);
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(boxes.shown, (std::vector<Message>{{QStringLiteral("Il file 'C:\\In\\RISP07' è troppo grande per essere "
                                                                 "una risposta del servizio."),
                                                  QStringLiteral("Prelievo risposte EDI"), MsgIcon::Exclamation,
                                                  MsgButtons::OK, 1}}));
    QFile after(host);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.size(), MassimaRisposta + 1);
    EXPECT_EQ(after.read(9), QByteArray("EDI\nfine\n")) << "its line ends are not rewritten";
    EXPECT_EQ(registerRows(), QStringList{Flow.arg(1)});
    EXPECT_TRUE(stored().isEmpty());

    // The largest answer is still an answer.
    after.close();
    ASSERT_TRUE(after.resize(MassimaRisposta));
    boxes.shown.clear();
    EXPECT_TRUE(DimensioneRisposta(host, path, TitoloPrelievo));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Fetch, ACopyThatCannotBeWrittenLeavesTheRegisterAsItWas)
{
    QDir(onC(QStringLiteral("Corbix/Risposte Pervenute"))).removeRecursively();
    EXPECT_FALSE(PrelevaRisposta(put(file(answer(u'W'))), flow));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.startsWith(QStringLiteral("Errore di Run-time 76:"))) << boxes.shown[0].text.toStdString();
    EXPECT_EQ(registerRows(), QStringList{Flow.arg(1)});
}

TEST_F(Fetch, ARowThatCannotBeAddedLeavesTheStateAndNoCopy)
{
    // Another program stores an answer row between the check and the insert:
    // the key refuses the second one.
    db.execute(QStringLiteral("CREATE TRIGGER altro AFTER UPDATE OF Stato ON Corbix BEGIN "
                              "INSERT INTO Corbix (Posizione, Data, Progressivo, Stato, Tipo) "
                              "VALUES (4, NEW.Data, NEW.Progressivo, 0, 0); END"));
    EXPECT_FALSE(PrelevaRisposta(put(file(answer(u'W'))), flow));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.startsWith(QStringLiteral("Errore di Run-time 3022:"))) << boxes.shown[0].text.toStdString();
    db.execute(QStringLiteral("DROP TRIGGER altro"));
    EXPECT_EQ(registerRows(), QStringList{Flow.arg(1)});
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_EQ(entries(onC(QStringLiteral("In"))), QStringList{QStringLiteral("RISP07")});
    EXPECT_EQ(entries(onC(QStringLiteral("Corbix/TEMP"))), QStringList());
}

// ---------------------------------------------------------------- the window

TEST_F(Fetch, TheWindowStartsOnTheUserFolderAndBrowses)
{
    db.execute(QStringLiteral("UPDATE Paramflu SET UserDir = ?"), {QStringLiteral("C:\\In\\")});
    startOn(1);
    ASSERT_EQ(common::OpzioniCorbix.UserDir, QStringLiteral("C:\\In\\"));
    frmReiceveMirsolan f(w.get(), FlussoElencato(*w));
    f.show();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Prelievo risposte EDI"));
    EXPECT_EQ(f.txtAswerPathName->text(), QStringLiteral("C:\\In\\"));
    EXPECT_EQ(f.Corbex.FattoDa, QStringLiteral("DICH01"));
    EXPECT_EQ(f.Corbex.NomeFile, QStringLiteral("C:\\Corbix\\Corbix inviati\\flusso"));

    dialogs_.answer(QStringLiteral("C:\\In\\RISP07"));
    dialogs_.answer(std::nullopt);
    QDir::setCurrent(onC(QStringLiteral("In")));
    clickAsUser(f.cmdSelect);
    EXPECT_EQ(f.txtAswerPathName->text(), QStringLiteral("C:\\In\\RISP07"));
    EXPECT_EQ(QDir::currentPath() + u'/', common::CartellaProgramma);
    uimain::RichiestaFile expected;
    expected.titolo = QStringLiteral("Scegliere la risposta da prelevare");
    expected.cartellaIniziale = QStringLiteral("C:\\In\\");
    ASSERT_EQ(dialogs_.requests.size(), 1u);
    EXPECT_EQ(dialogs_.requests[0], expected);

    QDir::setCurrent(onC(QStringLiteral("In")));
    clickAsUser(f.cmdSelect);
    EXPECT_EQ(f.txtAswerPathName->text(), QStringLiteral("C:\\In\\RISP07"));
    EXPECT_EQ(QDir::currentPath() + u'/', common::CartellaProgramma);
}

TEST_F(Fetch, TheWindowStaysOpenAfterARefusalAndClosesAfterTheFetch)
{
    startOn(1);
    frmReiceveMirsolan f(w.get(), FlussoElencato(*w));
    f.show();
    f.txtAswerPathName->setText(QStringLiteral("C:\\In\\NESSUNA07"));
    clickAsUser(f.cmdConfirm);
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.txtAswerPathName->text(), QStringLiteral("C:\\In\\NESSUNA07"));

    f.txtAswerPathName->setText(put(file(answer(u'W'))));
    clickAsUser(f.cmdConfirm);
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.result(), QDialog::Accepted);
    EXPECT_EQ(registerRows().value(0), Flow.arg(3));
}

TEST_F(Fetch, TheMainWindowsFetchCommandOpensTheWindowOnTheSelectedRowAndRefillsTheList)
{
    addFlow(3, Day, 8, 1, 2, QStringLiteral("DICH01"));
    uimain::RegisteredWindowFactory windows;
    RegistraPrelievo(windows);
    uimain::ScopedWindowFactory guard(windows);
    startOn(2);  // flow 7: the list shows flow 8 first
    const QString path = put(file(answer(u'W')));
    bool acted = false;
    QTimer::singleShot(0, w.get(), [&] {
        auto *f = w->findChild<frmReiceveMirsolan *>();
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->Corbex.Progressivo, 7);
        f->txtAswerPathName->setText(path);
        clickAsUser(f->cmdConfirm);
        acted = true;
    });
    w->DownLoad->trigger();
    EXPECT_TRUE(acted);
    EXPECT_EQ(registerRows().value(0), Flow.arg(3));
    EXPECT_EQ(listRows(), (QStringList{QStringLiteral("15/01/26 8 ") + flowengine::IconaStato(1, 2),
                                       QStringLiteral("15/01/26 7 ") + flowengine::IconaStato(3, 2)}));
}
