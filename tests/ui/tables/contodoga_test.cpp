#include <QPlainTextEdit>
#include "common/codechecks.h"
#include "fixture.h"
#include "ui/tables/frmcontodoga.h"

#include <QClipboard>
#include <QPlainTextEdit>

using uitables::frmcontodoga;

namespace {

const QString Caption = QStringLiteral("Gestione archivio conti doganali");
const QString Tag = QStringLiteral("TableName=ContoDoga;UpDatable=True;Deletable=True");
const QString LookupTag = QStringLiteral("TableName=ContoDoga;StartUp=A;MultiAdd=False;NewSearch=False");

// Four digits and their CIN letter: a valid account code.
QString conto(const QString &quattro) { return quattro + common::CalcolaCIN(QStringLiteral("00") + quattro); }

class ContoDoga : public TablesTest {
protected:
    std::unique_ptr<frmcontodoga> inAggiunta(const QString &tag = Tag)
    {
        auto w = apri<frmcontodoga>(tag);
        clickAsUser(w->cmdAdd);
        return w;
    }
    QColor lascia(frmcontodoga &, QLineEdit *campo, const QString &testo)
    {
        campo->setText(testo);
        esci(campo);
        return colore(campo);
    }
    void aggiungi(const QString &codice, const char *intestatario, const QVariant &fido = {})
    {
        db.execute(QStringLiteral("INSERT INTO ContoDoga (Codice, Intestatario, Fido) VALUES (?, ?, ?)"),
                   {codice, QString::fromUtf8(intestatario), fido}, dao::FailOnError);
    }
    QStringList righe()
    {
        QStringList out;
        auto rs = db.openRecordset(QStringLiteral("SELECT * FROM ContoDoga ORDER BY Codice"));
        for (; !rs->eof(); rs->moveNext()) {
            QStringList r;
            for (const char *c : {"Codice", "Intestatario", "Fido", "Obbligato"}) {
                const QVariant v = rs->value(QString::fromUtf8(c));
                r << (v.isNull() ? QStringLiteral("<null>") : v.toString());
            }
            out << r.join(u'|');
        }
        return out;
    }
};

TEST_F(ContoDoga, TheCodeIsZeroFilledBeforeItsCinCheck)
{
    const QString tre = QStringLiteral("12") + common::CalcolaCIN(QStringLiteral("000012"));
    const QString letteraErrata = conto(QStringLiteral("1234")).endsWith(u'A') ? QStringLiteral("B") : QStringLiteral("A");
    struct Case {
        QString typed;
        const char *answer;  // "1" Correggi, "0" OK, "2" Accetta
        QString shown;
        QColor colour;
        size_t dialogs;
    } cases[] = {
        {tre.toLower(), nullptr, QStringLiteral("00") + tre, finestra(), 0},
        {conto(QStringLiteral("1234")), nullptr, conto(QStringLiteral("1234")), finestra(), 0},
        {QString(), nullptr, QString(), rosso(), 0},
        // Digits without the letter, corrected: zero-filled to four and the
        // letter of the code as it is checked.
        {QStringLiteral("12"), "1", conto(QStringLiteral("0012")), finestra(), 1},
        {QStringLiteral("1234"), "1", conto(QStringLiteral("1234")), finestra(), 1},
        {QStringLiteral("12"), "0", QStringLiteral("0012"), giallo(), 1},
        {QStringLiteral("1234"), "2", QStringLiteral("1234"), giallo(), 1},
        // A wrong letter, corrected.
        {QStringLiteral("1234") + letteraErrata, "1", conto(QStringLiteral("1234")), finestra(), 1},
        // Five digits leave no place for the letter: no digit is dropped.
        {QStringLiteral("12345"), nullptr, QStringLiteral("12345"), rosso(), 0},
        // Wrong without a correction to offer.
        {QStringLiteral("12A4B"), "0", QStringLiteral("12A4B"), rosso(), 1},
    };
    auto w = inAggiunta();
    for (const Case &c : cases) {
        dialogs.shown.clear();
        if (c.answer)
            dialogs.answer(QString::fromUtf8(c.answer));
        EXPECT_EQ(lascia(*w, w->txtCodice, c.typed), c.colour) << c.typed.toStdString();
        EXPECT_EQ(w->txtCodice->text(), c.shown) << c.typed.toStdString();
        EXPECT_EQ(dialogs.shown.size(), c.dialogs) << c.typed.toStdString();
        // The field entered next is highlighted, never checked.
        EXPECT_EQ(colore(w->txtDescrizione), cyan());
        // Entered and left again, a corrected code passes its own check.
        if (c.answer && QString::fromUtf8(c.answer) == u"1") {
            dialogs.shown.clear();
            esci(w->txtCodice);
            EXPECT_EQ(colore(w->txtCodice), finestra()) << c.typed.toStdString();
            EXPECT_EQ(w->txtCodice->text(), c.shown) << c.typed.toStdString();
            EXPECT_TRUE(dialogs.shown.empty()) << c.typed.toStdString();
        }
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ContoDoga, TheAmountIsAWholeNumberFromOne)
{
    struct Case {
        const char *typed;
        bool valid;
    } cases[] = {{"1", true},          {"2147483647", true}, {" 1500 ", true}, {"0", false},
                 {"", false},          {"1.5", false},       {"01", false},    {"+5", false},
                 {"1 000", false},     {"1.000", false},     {"12a", false},   {"2147483648", false},
                 {"9999999999", false}};
    auto w = inAggiunta();
    for (const Case &c : cases) {
        EXPECT_EQ(lascia(*w, w->txtFido, QString::fromUtf8(c.typed)), c.valid ? finestra() : rosso()) << c.typed;
        EXPECT_EQ(w->txtFido->text(), QString::fromUtf8(c.typed).trimmed());
    }
}

TEST_F(ContoDoga, RedFieldsDoNotStopTheSaveAndAnAmountThatIsNoNumberIsZero)
{
    struct Case {
        const char *amount;
        const char *stored;
    } cases[] = {{"abc", "0"}, {"1.5", "1.5"}, {"12a", "12"}, {"", "0"}};
    int k = 0;
    QStringList attese;
    auto w = inAggiunta();
    for (const Case &c : cases) {
        const QString codice = conto(QStringLiteral("000") + QString::number(++k));
        w->txtCodice->setText(codice);
        lascia(*w, w->txtFido, QString::fromUtf8(c.amount));
        w->txtDescrizione->clear();
        w->txtObbligato->setPlainText(QStringLiteral("riga 1\nriga 2"));
        clickAsUser(w->cmdVirtual);
        attese << codice + QStringLiteral("|<null>|") + QString::fromUtf8(c.stored) + QStringLiteral("|riga 1\r\nriga 2");
        EXPECT_EQ(righe(), attese) << c.amount;
        EXPECT_EQ(w->Modalita, ModoAggiunta);
        EXPECT_EQ(w->txtCodice->text(), "");
        EXPECT_EQ(w->txtObbligato->toPlainText(), "");
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ContoDoga, FindSearchesCodeAndHolderOnly)
{
    aggiungi(conto(QStringLiteral("0012")), "Rossi Spedizioni", 1500.0);
    aggiungi(conto(QStringLiteral("0013")), "Bianchi", 10.0);
    auto w = apri<frmcontodoga>(Tag);
    clickAsUser(w->cmdSearch);
    for (QWidget *c : std::initializer_list<QWidget *>{w->txtFido, w->lblFido, w->txtObbligato, w->lblObbligato})
        EXPECT_FALSE(c->isEnabled()) << c->objectName().toStdString();
    w->txtDescrizione->setText(QStringLiteral("rossi"));
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(common::GetProperty(w->Parametri, QStringLiteral("WhereCondition")),
              QVariant(QStringLiteral("JetLike(Intestatario, ?)")));
    EXPECT_EQ(w->dtaLocal->Caption(), "1/1");
    EXPECT_EQ(w->txtFido->text(), "1500");
    EXPECT_TRUE(w->txtObbligato->isReadOnly());

    clickAsUser(w->cmdCancel);
    w->txtCodice->setText(QStringLiteral("001"));
    w->txtDescrizione->setText(QStringLiteral("i"));
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(common::GetProperty(w->Parametri, QStringLiteral("WhereCondition")),
              QVariant(QStringLiteral("JetLike(Codice, ?) AND JetLike(Intestatario, ?)")));
    EXPECT_EQ(w->ValoriCondizione, (QVariantList{QStringLiteral("*001*"), QStringLiteral("*i*")}));
    EXPECT_EQ(w->dtaLocal->Caption(), "1/2");
}

TEST_F(ContoDoga, ModifyWritesTheHolderAmountAndIndications)
{
    aggiungi(conto(QStringLiteral("0012")), "Rossi", 1500.0);
    auto w = apri<frmcontodoga>(Tag);
    clickAsUser(w->cmdSearch);
    clickAsUser(w->cmdVirtual);
    clickAsUser(w->cmdVirtual);
    ASSERT_EQ(w->Modalita, ModoModifica);
    EXPECT_TRUE(w->txtCodice->isReadOnly());
    EXPECT_FALSE(w->txtObbligato->isReadOnly());
    w->txtDescrizione->setText(QStringLiteral("Rossi & C."));
    w->txtFido->setText(QStringLiteral("2500"));
    w->txtObbligato->setPlainText(QStringLiteral("Garanzia n. 7"));
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(w->Modalita, ModoConsultazione);
    EXPECT_EQ(righe(), (QStringList{conto(QStringLiteral("0012")) + QStringLiteral("|Rossi & C.|2500|Garanzia n. 7")}));
}

TEST_F(ContoDoga, ADuplicateCodeKeepsTheTypedValues)
{
    aggiungi(conto(QStringLiteral("0012")), "Rossi");
    auto w = inAggiunta();
    w->txtCodice->setText(conto(QStringLiteral("0012")));
    w->txtDescrizione->setText(QStringLiteral("Bianchi"));
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(boxes.shown, (std::vector<platform::Message>{
                               info(QStringLiteral("Impossibile registrare i dati nell'archivio: il codice '")
                                        + conto(QStringLiteral("0012")) + QStringLiteral("' risulta già definito"),
                                    Caption)}));
    EXPECT_EQ(w->Modalita, ModoAggiunta);
    EXPECT_EQ(w->txtDescrizione->text(), "Bianchi");
    EXPECT_EQ(righe().size(), 1);
}

TEST_F(ContoDoga, AnAccountUsedByADeclarantIsKept)
{
    aggiungi(conto(QStringLiteral("0012")), "Rossi");
    db.execute(QStringLiteral("INSERT INTO Spedoga (Codice, Descrizione, ContoDog) VALUES ('DICH1', 'Rossi', ?)"),
               {conto(QStringLiteral("0012"))});
    auto w = apri<frmcontodoga>(Tag);
    clickAsUser(w->cmdSearch);
    clickAsUser(w->cmdVirtual);
    boxes.answer(platform::MsgResult::Yes);
    clickAsUser(w->cmdVirtual1);
    EXPECT_EQ(boxes.shown,
              (std::vector<platform::Message>{
                  conferma(Caption),
                  info(QStringLiteral("Impossibile cancellare il record correntemente selezionato poiché risulta essere "
                                      "una codifica utilizzata nella tabella dei dichiaranti/rappresentanti"),
                       Caption),
                  info(QStringLiteral("Impossibile eliminare il record correntemente selezionato poichè esso risulta "
                                      "usato come codifica attiva."),
                       Caption)}));
    EXPECT_EQ(righe().size(), 1);
    EXPECT_TRUE(w->cmdVirtual1->isEnabled());

    db.execute(QStringLiteral("UPDATE Spedoga SET ContoDog = NULL"));
    boxes.shown.clear();
    boxes.answer(platform::MsgResult::Yes);
    clickAsUser(w->cmdVirtual1);
    EXPECT_TRUE(righe().isEmpty());
}

TEST_F(ContoDoga, AMissingDeclarantsTableKeepsTheAccount)
{
    aggiungi(conto(QStringLiteral("0012")), "Rossi");
    db.execute(QStringLiteral("DROP TABLE Spedoga"));
    auto w = apri<frmcontodoga>(Tag);
    clickAsUser(w->cmdSearch);
    clickAsUser(w->cmdVirtual);
    boxes.answer(platform::MsgResult::Yes);
    clickAsUser(w->cmdVirtual1);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_TRUE(boxes.shown[1].text.startsWith("Errore di Run-time "));
    EXPECT_FALSE(w->Scaricata);
    EXPECT_EQ(righe().size(), 1);
}

TEST_F(ContoDoga, AnEmptySearchStaysInBrowse)
{
    auto w = apri<frmcontodoga>(Tag);
    clickAsUser(w->cmdSearch);
    w->txtCodice->setText(QStringLiteral("99"));
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(w->Modalita, ModoConsultazione);
    EXPECT_TRUE(w->isVisible());
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(w->Modalita, ModoConsultazione);
}

TEST_F(ContoDoga, OpenedFromTheDeclarantsOneAdditionOrCancelClosesIt)
{
    auto w = apri<frmcontodoga>(LookupTag);
    EXPECT_EQ(w->Modalita, ModoAggiunta);
    w->txtCodice->setText(conto(QStringLiteral("0012")));
    w->txtDescrizione->setText(QStringLiteral("Rossi"));
    w->txtFido->setText(QStringLiteral("100"));
    clickAsUser(w->cmdVirtual);
    EXPECT_TRUE(w->Scaricata);
    EXPECT_EQ(righe(), (QStringList{conto(QStringLiteral("0012")) + QStringLiteral("|Rossi|100|<null>")}));

    auto cancelled = apri<frmcontodoga>(LookupTag);
    clickAsUser(cancelled->cmdCancel);
    EXPECT_TRUE(cancelled->Scaricata);
}

TEST_F(ContoDoga, TheDeclarantsScreenOpensItByName)
{
    auto screen = uitables::CreaSchermata(QStringLiteral("frmcontodoga"), nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->windowTitle(), Caption);
}

TEST_F(ContoDoga, TheIndicationsTakeAtMost255Characters)
{
    auto w = inAggiunta();
    w->txtObbligato->setPlainText(QString(300, u'x'));
    EXPECT_EQ(w->txtObbligato->toPlainText(), QString(255, u'x'));
}

TEST_F(ContoDoga, TheIndicationsKeepTheLineEndsTheyWereStoredWith)
{
    const QString lf = QStringLiteral("riga 1\nriga 2");
    const QString crlf = QStringLiteral("riga 1\r\nriga 2\r\n");
    db.execute(QStringLiteral("INSERT INTO ContoDoga (Codice, Intestatario, Fido, Obbligato) VALUES (?, 'A', 1, ?), "
                              "(?, 'B', 1, ?)"),
               {conto(QStringLiteral("0012")), lf, conto(QStringLiteral("0013")), crlf}, dao::FailOnError);
    auto obbligato = [&](const QString &quattro) {
        auto rs = db.openRecordset(QStringLiteral("SELECT Obbligato FROM ContoDoga WHERE Codice = ?"),
                                   {conto(quattro)});
        return rs->value(0).toString().toUtf8();
    };
    auto w = apri<frmcontodoga>(Tag);
    clickAsUser(w->cmdSearch);
    clickAsUser(w->cmdVirtual);
    ASSERT_EQ(w->dtaLocal->Caption(), "1/2");
    EXPECT_EQ(w->txtObbligato->toPlainText(), "riga 1\nriga 2");
    // Saved unchanged, each text keeps its own line ends.
    for (int riga = 0; riga < 2; ++riga) {
        if (riga == 1)
            clickAsUser(w->dtaLocal->cmdNext);
        clickAsUser(w->cmdVirtual);
        clickAsUser(w->cmdVirtual);
        ASSERT_EQ(w->Modalita, ModoConsultazione);
    }
    EXPECT_EQ(obbligato(QStringLiteral("0012")), QByteArray("riga 1\nriga 2"));
    EXPECT_EQ(obbligato(QStringLiteral("0013")), QByteArray("riga 1\r\nriga 2\r\n"));

    // A line typed at the end ends the one before with CR LF; the stored
    // line end stays.
    clickAsUser(w->cmdVirtual);
    ASSERT_EQ(w->Modalita, ModoModifica);
    QTest::mouseClick(w->txtObbligato, Qt::LeftButton);
    w->txtObbligato->moveCursor(QTextCursor::End);
    keyClickAsUser(w->txtObbligato, Qt::Key_Return);
    keyClicksAsUser(w->txtObbligato, QStringLiteral("riga 3"));
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(obbligato(QStringLiteral("0012")), QByteArray("riga 1\nriga 2\r\nriga 3"));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ContoDoga, TheLimitCountsATypedLineEndAsTwoCharacters)
{
    auto w = inAggiunta();
    QTest::mouseClick(w->txtObbligato, Qt::LeftButton);
    keyClicksAsUser(w->txtObbligato, QString(253, u'a'));
    keyClickAsUser(w->txtObbligato, Qt::Key_Return);
    keyClicksAsUser(w->txtObbligato, QStringLiteral("bc"));
    EXPECT_EQ(w->txtObbligato->toPlainText(), QString(253, u'a') + u'\n');
    w->txtCodice->setText(conto(QStringLiteral("0012")));
    w->txtDescrizione->setText(QStringLiteral("Rossi"));
    w->txtFido->setText(QStringLiteral("1"));
    clickAsUser(w->cmdVirtual);
    auto rs = db.openRecordset(QStringLiteral("SELECT Obbligato FROM ContoDoga"));
    EXPECT_EQ(rs->value(0).toString().toUtf8(), QByteArray(253, 'a') + "\r\n");
}

}  // namespace

TEST_F(ContoDoga, AFullIndicationsBoxTakesAtTheCaretOnlyWhatFitsAndDropsNothing)
{
    const QString full = QString(250, u'a') + QStringLiteral("WXYZ!");
    struct Case {
        const char *name;
        QString before;
        int caret;
        QString typed;  // typed key by key
        QString pasted;
        QString after;
        int caretAfter;
    };
    const std::vector<Case> cases = {
        {"a character typed into the full box", full, 10, QStringLiteral("Q"), QString(), full, 10},
        {"a paste into the full box", full, 10, QString(), QStringLiteral("123"), full, 10},
        {"characters typed with room for two", full.mid(2), 10, QStringLiteral("QRS"), QString(),
         QString(10, u'a') + QStringLiteral("QR") + full.mid(12), 12},
        {"a paste cut at what fits", full.mid(2), 10, QString(), QStringLiteral("123"),
         QString(10, u'a') + QStringLiteral("12") + full.mid(12), 12},
        {"a line end counts two", full.mid(2), 10, QString(), QStringLiteral("1\n2"),
         QString(10, u'a') + QStringLiteral("1") + full.mid(12), 11},
        {"a paste into room enough", full.mid(5), 0, QString(), QStringLiteral("\n"),
         QStringLiteral("\n") + full.mid(5), 1},
    };
    auto w = inAggiunta();
    QTest::mouseClick(w->txtObbligato, Qt::LeftButton);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        w->txtObbligato->setPlainText(c.before);
        ASSERT_EQ(w->txtObbligato->toPlainText(), c.before);
        QWidget *box = QApplication::focusWidget();
        ASSERT_EQ(box, w->txtObbligato);
        keyClickAsUser(box, Qt::Key_Home, Qt::ControlModifier);
        for (int i = 0; i < c.caret; ++i)
            keyClickAsUser(box, Qt::Key_Right);
        if (!c.typed.isEmpty())
            QTest::keyClicks(QApplication::focusWidget(), c.typed);
        if (!c.pasted.isEmpty()) {
            QApplication::clipboard()->setText(c.pasted);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
        }
        EXPECT_EQ(w->txtObbligato->toPlainText(), c.after);
        EXPECT_EQ(w->txtObbligato->textCursor().position(), c.caretAfter);
    }
    // What is taken is what is saved.
    w->txtObbligato->setPlainText(full);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    w->txtCodice->setText(conto(QStringLiteral("0012")));
    w->txtDescrizione->setText(QStringLiteral("Rossi"));
    w->txtFido->setText(QStringLiteral("1"));
    clickAsUser(w->cmdVirtual);
    auto rs = db.openRecordset(QStringLiteral("SELECT Obbligato FROM ContoDoga"));
    ASSERT_FALSE(rs->eof());
    EXPECT_EQ(rs->value(0).toString(), full);
}
