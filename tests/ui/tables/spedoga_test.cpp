#include "common/codechecks.h"
#include "fixture.h"
#include "ui/tables/frmspedoga.h"

#include <QTimer>

using uitables::frmspedoga;

namespace {

const QString Caption = QStringLiteral("Archivio dichiaranti / rappresentanti");
const QString Tag = QStringLiteral("TableName=Spedoga;UpDatable=True;Deletable=True");
const QString FiscalCode = QStringLiteral("RSSMRA85T10A562S");

// Five digits and the CIN letter of the first four: a valid account code.
QString conto(const QString &quattro) { return quattro + common::CalcolaCIN(QStringLiteral("00") + quattro); }

class Spedoga : public TablesTest {
protected:
    Spedoga()
    {
        db.execute(QStringLiteral("INSERT INTO ContoDoga (Codice, Intestatario) VALUES (?, 'Rossi Spedizioni')"),
                   {conto(QStringLiteral("0012"))}, dao::FailOnError);
    }
    std::unique_ptr<frmspedoga> inAggiunta(const QString &tag = Tag)
    {
        auto w = apri<frmspedoga>(tag);
        clickAsUser(w->cmdAdd);
        return w;
    }
    QColor lascia(frmspedoga &, QLineEdit *campo, const QString &testo)
    {
        campo->setText(testo);
        esci(campo);
        return colore(campo);
    }
    QStringList righe()
    {
        QStringList out;
        auto rs = db.openRecordset(QStringLiteral("SELECT * FROM Spedoga ORDER BY Codice"));
        for (; !rs->eof(); rs->moveNext()) {
            QStringList r;
            for (const char *c : {"Codice", "Descrizione", "Frase1", "Frase2", "ProgIM", "ContoDog", "CodiceUtenza"}) {
                const QVariant v = rs->value(QString::fromUtf8(c));
                r << (v.isNull() ? QStringLiteral("<null>") : v.toString());
            }
            out << r.join(u'|');
        }
        return out;
    }
};

TEST_F(Spedoga, TheCodesLengthChoosesItsCheck)
{
    struct Case {
        QString code;
        const char *dialog;  // caption of the check's dialog, null when none
        QColor colour;
    } cases[] = {
        {QString(), nullptr, rosso()},
        {QStringLiteral("12345"), nullptr, rosso()},
        {QStringLiteral("12345678"), nullptr, rosso()},
        {QStringLiteral("123456789"), nullptr, rosso()},
        {QStringLiteral("123456789012"), nullptr, rosso()},
        {QStringLiteral("1234567890123"), nullptr, rosso()},
        {QStringLiteral("12345678901234"), nullptr, rosso()},
        {QStringLiteral("12345") + common::CalcolaCIN(QStringLiteral("12345")), nullptr, finestra()},
        {QStringLiteral("123456") + common::CalcolaCIN(QStringLiteral("123456")), nullptr, finestra()},
        {QStringLiteral("123456"), "Controllo dei codici con CIN", giallo()},
        {QStringLiteral("1234AX"), "Controllo dei codici con CIN", rosso()},
        {QStringLiteral("12345670017"), nullptr, finestra()},
        {QStringLiteral("0123456789"), "Controllo Partita I.V.A.", rosso()},
        {QStringLiteral("123456789012345"), "Controllo Codice Fiscale", rosso()},
        {FiscalCode, nullptr, finestra()},
    };
    auto w = inAggiunta();
    for (const Case &c : cases) {
        dialogs.shown.clear();
        EXPECT_EQ(lascia(*w, w->txtCode, c.code), c.colour) << c.code.toStdString();
        ASSERT_EQ(dialogs.shown.size(), c.dialog ? 1u : 0u) << c.code.toStdString();
        if (c.dialog) {
            EXPECT_EQ(dialogs.shown[0].caption, QString::fromUtf8(c.dialog));
        }
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Spedoga, TheCheckDialogsAnswerColoursTheCode)
{
    const QString wrong = QStringLiteral("RSSMRA85T10A562K");
    struct Case {
        const char *answer;
        QString shown;
        QColor colour;
    } cases[] = {{"1", FiscalCode, finestra()}, {"0", wrong, giallo()}, {"2", wrong, giallo()}};
    auto w = inAggiunta();
    for (const Case &c : cases) {
        dialogs.answer(QString::fromUtf8(c.answer));
        digita(w->txtCode, QString());
        EXPECT_EQ(lascia(*w, w->txtCode, wrong.toLower()), c.colour) << c.answer;
        EXPECT_EQ(w->txtCode->text(), c.shown) << c.answer;
    }
}

TEST_F(Spedoga, TheAccountIsZeroFilledCheckedAndDecoded)
{
    db.execute(QStringLiteral("INSERT INTO ContoDoga (Codice, Intestatario) VALUES (?, 'Bianchi')"),
               {conto(QStringLiteral("1234"))}, dao::FailOnError);
    const QString letteraErrata = conto(QStringLiteral("0012")).endsWith(u'A') ? QStringLiteral("B") : QStringLiteral("A");
    struct Case {
        QString typed;
        const char *answer;  // the check dialog's answer: "1" Correggi, "0" OK, "2" Accetta
        QString shown;
        QColor colour;
        QString missing;     // the letter the dialog names, empty when none is shown
        QString holder;
    } cases[] = {
        // Digits alone: zero-filled to four, the letter the check names is the
        // one it then finds right.
        {QStringLiteral("12"), "1", conto(QStringLiteral("0012")), finestra(), conto(QStringLiteral("0012")).right(1),
         QStringLiteral("Rossi Spedizioni")},
        {QStringLiteral("1234"), "1", conto(QStringLiteral("1234")), finestra(), conto(QStringLiteral("1234")).right(1),
         QStringLiteral("Bianchi")},
        {QStringLiteral("12"), "0", QStringLiteral("0012"), giallo(), conto(QStringLiteral("0012")).right(1), QString()},
        {QStringLiteral("12"), "2", QStringLiteral("0012"), giallo(), conto(QStringLiteral("0012")).right(1), QString()},
        // With a wrong letter: zero-filled to five.
        {QStringLiteral("12") + letteraErrata, "1", conto(QStringLiteral("0012")), finestra(),
         conto(QStringLiteral("0012")).right(1), QStringLiteral("Rossi Spedizioni")},
        // Five digits leave no place for the letter: red as typed, no digit
        // dropped, no dialog.
        {QStringLiteral("12345"), nullptr, QStringLiteral("12345"), rosso(), QString(), QString()},
    };
    auto w = inAggiunta();
    for (const Case &c : cases) {
        dialogs.shown.clear();
        w->lblDecContoDog->clear();
        if (c.answer)
            dialogs.answer(QString::fromUtf8(c.answer));
        EXPECT_EQ(lascia(*w, w->txtContoDog, c.typed), c.colour) << c.typed.toStdString() << " " << c.answer;
        EXPECT_EQ(w->txtContoDog->text(), c.shown) << c.typed.toStdString() << " " << c.answer;
        EXPECT_EQ(w->lblDecContoDog->text(), c.holder) << c.typed.toStdString() << " " << c.answer;
        ASSERT_EQ(dialogs.shown.size(), c.missing.isEmpty() ? 0u : 1u) << c.typed.toStdString();
        if (!c.missing.isEmpty()) {
            EXPECT_EQ(dialogs.shown[0].caption, "Controllo dei codici con CIN");
            EXPECT_TRUE(dialogs.shown[0].message.contains(QStringLiteral("Il CIN esatto è '") + c.missing + u'\''))
                << dialogs.shown[0].message.toStdString();
        }
        // Entered and left again, the box keeps what it shows: a correction
        // passes its own check, a declined one is asked again.
        dialogs.shown.clear();
        esci(w->txtContoDog);
        EXPECT_EQ(colore(w->txtContoDog), c.colour) << c.typed.toStdString() << " " << c.answer;
        EXPECT_EQ(w->txtContoDog->text(), c.shown) << c.typed.toStdString() << " " << c.answer;
        EXPECT_EQ(dialogs.shown.size(), c.colour == giallo() ? 1u : 0u) << c.typed.toStdString() << " " << c.answer;
    }

    // A valid code typed in lower case is decoded.
    dialogs.shown.clear();
    EXPECT_EQ(lascia(*w, w->txtContoDog, conto(QStringLiteral("0012")).toLower()), finestra());
    EXPECT_EQ(w->txtContoDog->text(), conto(QStringLiteral("0012")));
    EXPECT_EQ(w->lblDecContoDog->text(), "Rossi Spedizioni");
    EXPECT_TRUE(dialogs.shown.empty());

    dialogs.shown.clear();
    EXPECT_EQ(lascia(*w, w->txtContoDog, conto(QStringLiteral("0077")).toLower()), rosso());
    EXPECT_EQ(w->lblDecContoDog->text(), "");
    EXPECT_TRUE(dialogs.shown.empty());

    w->lblDecContoDog->setText(QStringLiteral("x"));
    EXPECT_EQ(lascia(*w, w->txtContoDog, QStringLiteral("  ")), finestra());
    EXPECT_EQ(w->lblDecContoDog->text(), "");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Spedoga, ALockedAccountTableLeavesTheHolderNotAvailable)
{
    addDeclarant(QStringLiteral("DICH1"), QStringLiteral("Rossi"));
    db.execute(QStringLiteral("UPDATE Spedoga SET ContoDog = ?"), {conto(QStringLiteral("0012"))});
    auto w = apri<frmspedoga>(Tag);
    clickAsUser(w->cmdSearch);
    clickAsUser(w->cmdVirtual);
    ASSERT_EQ(w->lblDecContoDog->text(), "Rossi Spedizioni");
    testsupport::OtherProgram other(onC(QStringLiteral("Archivio.mdb")));
    ASSERT_EQ(other.exec("BEGIN EXCLUSIVE"), SQLITE_OK);
    boxes.answer(platform::MsgResult::Retry);
    boxes.answer(platform::MsgResult::Cancel);
    w->AggiornaMaschera();
    EXPECT_EQ(w->lblDecContoDog->text(), "[Non Disponibile]");
    const platform::Message blocco{
        QStringLiteral("Risulta momentaneamente impossibile estrarre dall'archivio l'intestatario del conto doganale. "
                       "Scegliere 'Riprova' per attendere che il dato sia di nuovo disponibile, altrimenti scegliere "
                       "'Annulla' per abbandonare."),
        Caption, platform::MsgIcon::Information, platform::MsgButtons::RetryCancel, 1};
    EXPECT_EQ(boxes.shown, (std::vector<platform::Message>{blocco, blocco}));

    clickAsUser(w->cmdVirtual);
    ASSERT_EQ(w->Modalita, ModoModifica);
    boxes.answer(platform::MsgResult::Cancel);
    EXPECT_EQ(lascia(*w, w->txtContoDog, conto(QStringLiteral("0012"))), rosso());
    EXPECT_EQ(w->lblDecContoDog->text(), "[Non disponibile]");
    other.exec("ROLLBACK");
}

TEST_F(Spedoga, AnotherDecodeErrorClosesTheScreen)
{
    db.execute(QStringLiteral("DROP TABLE ContoDoga"));
    auto w = inAggiunta();
    lascia(*w, w->txtContoDog, conto(QStringLiteral("0012")));
    EXPECT_TRUE(w->Scaricata);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.startsWith("Errore di Run-time "));
    EXPECT_TRUE(boxes.shown[0].text.endsWith("\r\n\r\nDurante la decodifica del conto doganale."));
    EXPECT_EQ(boxes.shown[0].title, "Corbix");
    EXPECT_EQ(boxes.shown[0].icon, platform::MsgIcon::Critical);
}

TEST_F(Spedoga, TheCounterIsAPlainWholeNumberOfSixDigits)
{
    struct Case {
        const char *typed;
        bool valid;
    } cases[] = {{"007", false}, {"1.5", false}, {"12abc", false}, {"1E10", false}, {"", false},
                 {"-1", false},  {"0", true},    {"999999", true}, {" 42 ", true}};
    auto w = inAggiunta();
    EXPECT_EQ(w->txtNumDic->text(), "0");
    for (const Case &c : cases) {
        EXPECT_EQ(lascia(*w, w->txtNumDic, QString::fromUtf8(c.typed)), c.valid ? finestra() : rosso()) << c.typed;
        EXPECT_EQ(w->txtNumDic->text(), QString::fromUtf8(c.typed).trimmed());
    }
}

TEST_F(Spedoga, RedAndYellowBoxesDoNotStopTheSave)
{
    struct Case {
        const char *code;
        const char *counter;
        const char *row;
    } cases[] = {
        {"ABC", "007", "ABC|Nome|Agente|<null>|7|<null>|"},
        {"DEF", "12abc", "DEF|Nome|Agente|<null>|12|<null>|"},
        {"GHI", "", "GHI|Nome|Agente|<null>|0|<null>|"},
    };
    QStringList attese;
    for (const Case &c : cases) {
        auto w = inAggiunta();
        lascia(*w, w->txtCode, QString::fromUtf8(c.code));
        w->txtDescrizione->setText(QStringLiteral("Nome"));
        w->txtFrase1->setText(QStringLiteral("Agente"));
        lascia(*w, w->txtNumDic, QString::fromUtf8(c.counter));
        ASSERT_EQ(colore(w->txtCode), rosso());
        clickAsUser(w->cmdVirtual);
        attese << QString::fromUtf8(c.row);
        EXPECT_EQ(righe(), attese);
        // Another declarant follows in add mode, the counter left empty.
        EXPECT_EQ(w->Modalita, ModoAggiunta);
        EXPECT_EQ(w->txtNumDic->text(), "");
        EXPECT_EQ(w->txtCode->text(), "");
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Spedoga, AnAccountIsStoredWithItsCodeAndAnEmptyOneAsNull)
{
    auto w = inAggiunta();
    w->txtCode->setText(FiscalCode);
    w->txtDescrizione->setText(QStringLiteral("Mario Rossi"));
    w->txtFrase1->setText(QStringLiteral(" in qualità di "));
    w->txtFrase2->setText(QStringLiteral("rappresentante"));
    lascia(*w, w->txtContoDog, conto(QStringLiteral("0012")));
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(righe(), (QStringList{FiscalCode + QStringLiteral("|Mario Rossi| in qualità di |rappresentante|0|")
                                    + conto(QStringLiteral("0012")) + u'|'}));
}

TEST_F(Spedoga, ADuplicateCodeKeepsTheTypedData)
{
    addDeclarant(QStringLiteral("DICH1"), QStringLiteral("Rossi"));
    auto w = inAggiunta();
    w->txtCode->setText(QStringLiteral("DICH1"));
    w->txtDescrizione->setText(QStringLiteral("Bianchi"));
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(boxes.shown, (std::vector<platform::Message>{info(
                               QStringLiteral("Impossibile registrare i dati nell'archivio: il codice mnemonico "
                                              "'DICH1' risulta già definito"),
                               Caption)}));
    EXPECT_EQ(w->Modalita, ModoAggiunta);
    EXPECT_EQ(w->txtDescrizione->text(), "Bianchi");
    EXPECT_EQ(righe(), (QStringList{"DICH1|Rossi|<null>|<null>|<null>|<null>|"}));
}

TEST_F(Spedoga, SearchUsesCodeNameAndAccountOnly)
{
    addDeclarant(QStringLiteral("DICH1"), QStringLiteral("Rossi"));
    db.execute(QStringLiteral("UPDATE Spedoga SET ContoDog = ?"), {conto(QStringLiteral("0012"))});
    addDeclarant(QStringLiteral("DICH2"), QStringLiteral("Bianchi"));
    auto w = apri<frmspedoga>(Tag);
    clickAsUser(w->cmdSearch);
    for (QWidget *c : std::initializer_list<QWidget *>{w->txtFrase1, w->txtFrase2, w->txtNumDic, w->lblFrase, w->lblNumDic})
        EXPECT_FALSE(c->isEnabled()) << c->objectName().toStdString();
    EXPECT_TRUE(w->txtContoDog->isEnabled());
    w->txtContoDog->setText(QStringLiteral("0012"));
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(common::GetProperty(w->Parametri, QStringLiteral("WhereCondition")),
              QVariant(QStringLiteral("JetLike(ContoDog, ?)")));
    EXPECT_EQ(w->ValoriCondizione, (QVariantList{QStringLiteral("*0012*")}));
    EXPECT_EQ(w->dtaLocal->Caption(), "1/1");
    EXPECT_EQ(w->txtCode->text(), "DICH1");
    EXPECT_EQ(w->lblDecContoDog->text(), "Rossi Spedizioni");

    clickAsUser(w->cmdCancel);
    w->txtCode->setText(QStringLiteral("DICH"));
    w->txtDescrizione->setText(QStringLiteral("i"));
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(common::GetProperty(w->Parametri, QStringLiteral("WhereCondition")),
              QVariant(QStringLiteral("JetLike(Codice, ?) AND JetLike(Descrizione, ?)")));
    EXPECT_EQ(w->dtaLocal->Caption(), "1/2");
    EXPECT_EQ(w->lblDecContoDog->text(), "Rossi Spedizioni");
    w->dtaLocal->MoveNext();
    EXPECT_EQ(w->txtCode->text(), "DICH2");
    EXPECT_EQ(w->txtContoDog->text(), "");
    EXPECT_EQ(w->lblDecContoDog->text(), "");
}

TEST_F(Spedoga, ModifyWritesEachBoxToItsColumnAndKeepsTheRest)
{
    db.execute(QStringLiteral("INSERT INTO Spedoga (Codice, Descrizione, Frase1, Frase2, ProgIM, CodiceUtenza) VALUES "
                              "('DICH1', 'Rossi', 'a', 'b', 41, 'U001'), ('DICH2', 'Bianchi', 'c', 'd', 5, 'U002')"));
    auto w = apri<frmspedoga>(Tag);
    clickAsUser(w->cmdSearch);
    w->txtCode->setText(QStringLiteral("DICH1"));
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(w->txtNumDic->text(), "41");
    clickAsUser(w->cmdVirtual);
    ASSERT_EQ(w->Modalita, ModoModifica);
    EXPECT_TRUE(w->txtCode->isReadOnly());
    w->txtFrase1->setText(QStringLiteral("primo"));
    w->txtFrase2->clear();
    w->txtNumDic->setText(QStringLiteral("042"));
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(w->Modalita, ModoConsultazione);
    EXPECT_EQ(righe(), (QStringList{"DICH1|Rossi|primo|<null>|42|<null>|U001", "DICH2|Bianchi|c|d|5|<null>|U002"}));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Spedoga, ACounterEnteredByAClickIsTypedOver)
{
    db.execute(QStringLiteral("INSERT INTO Spedoga (Codice, Descrizione, ProgIM) VALUES ('DICH1', 'Rossi', 101)"));
    auto w = apri<frmspedoga>(Tag);
    clickAsUser(w->cmdSearch);
    clickAsUser(w->cmdVirtual);
    clickAsUser(w->cmdVirtual);
    ASSERT_EQ(w->Modalita, ModoModifica);
    // Clicked at its middle, as a user clicks it: the caret would fall
    // inside the digits.
    QTest::mouseClick(w->txtNumDic, Qt::LeftButton, Qt::NoModifier, w->txtNumDic->rect().center());
    ASSERT_EQ(QApplication::focusWidget(), w->txtNumDic);
    EXPECT_EQ(w->txtNumDic->selectedText(), "101");
    keyClicksAsUser(w->txtNumDic, QStringLiteral("007"));
    EXPECT_EQ(w->txtNumDic->text(), "007");
    // A second click into the box it is already in places the caret.
    QTest::mouseClick(w->txtNumDic, Qt::LeftButton, Qt::NoModifier, w->txtNumDic->rect().center());
    EXPECT_EQ(w->txtNumDic->selectedText(), "");

    // In add mode too.
    clickAsUser(w->cmdCancel);
    clickAsUser(w->cmdCancel);
    clickAsUser(w->cmdCancel);
    ASSERT_EQ(w->Modalita, ModoInattivo);
    clickAsUser(w->cmdAdd);
    w->txtNumDic->setText(QStringLiteral("101"));
    QTest::mouseClick(w->txtNumDic, Qt::LeftButton, Qt::NoModifier, w->txtNumDic->rect().center());
    EXPECT_EQ(w->txtNumDic->selectedText(), "101");
}

TEST_F(Spedoga, StartedInAddModeCancelReturnsToIdle)
{
    auto w = apri<frmspedoga>(QStringLiteral("TableName=Spedoga;StartUp=A;NewSearch=False"));
    EXPECT_EQ(w->Modalita, ModoAggiunta);
    EXPECT_FALSE(w->cmdAdd->isChecked());
    EXPECT_EQ(w->txtNumDic->text(), "0");
    clickAsUser(w->cmdCancel);
    EXPECT_EQ(w->Modalita, ModoInattivo);
    EXPECT_FALSE(w->Scaricata);
}

TEST_F(Spedoga, AnAdditionWithoutMultiAddEndsInIdle)
{
    auto w = apri<frmspedoga>(QStringLiteral("TableName=Spedoga;StartUp=A;MultiAdd=False;NewSearch=False"));
    w->txtCode->setText(QStringLiteral("DICH9"));
    w->txtDescrizione->setText(QStringLiteral("Verdi"));
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(righe(), (QStringList{"DICH9|Verdi|<null>|<null>|0|<null>|"}));
    EXPECT_EQ(w->Modalita, ModoInattivo);
    EXPECT_FALSE(w->Scaricata);
}

TEST_F(Spedoga, AnEmptySearchStaysInBrowseWithNothingToModifyOrDelete)
{
    addDeclarant(QStringLiteral("DICH1"), QStringLiteral("Rossi"));
    auto w = apri<frmspedoga>(Tag);
    clickAsUser(w->cmdSearch);
    w->txtCode->setText(QStringLiteral("NESSUNO"));
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(boxes.shown, (std::vector<platform::Message>{
                               info(QStringLiteral("Nessuna informazione corrisponde al criterio di ricerca indicato."),
                                    Caption)}));
    EXPECT_EQ(w->Modalita, ModoConsultazione);
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->dtaLocal->isVisible());
    EXPECT_TRUE(w->cmdVirtual->isEnabled());
    EXPECT_TRUE(w->cmdVirtual1->isEnabled());
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(w->Modalita, ModoConsultazione);
    clickAsUser(w->cmdVirtual1);
    EXPECT_EQ(boxes.shown.size(), 1u);
    clickAsUser(w->cmdCancel);
    EXPECT_EQ(w->Modalita, ModoRicerca);
    EXPECT_EQ(righe(), (QStringList{"DICH1|Rossi|<null>|<null>|<null>|<null>|"}));
}

TEST_F(Spedoga, DeletingAsksOnlyForConfirmation)
{
    addDeclarant(QStringLiteral("DICH1"), QStringLiteral("Rossi"));
    db.execute(QStringLiteral("INSERT INTO UtenzeEDI VALUES ('DICH1', ?, 'Rossi SpA', 'L001', 'pw', 'FTP', 'CED1', "
                              "'Centro', 'NODO', 'TPM')"),
               {FiscalCode}, dao::FailOnError);
    auto w = apri<frmspedoga>(Tag);
    clickAsUser(w->cmdSearch);
    clickAsUser(w->cmdVirtual);
    boxes.answer(platform::MsgResult::Yes);
    clickAsUser(w->cmdVirtual1);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0], conferma(Caption));
    EXPECT_TRUE(righe().isEmpty());
    EXPECT_EQ(w->Modalita, ModoRicerca);
}

TEST_F(Spedoga, DoubleClickOnTheAccountOpensTheAccountsScreenToAdd)
{
    addDeclarant(QStringLiteral("DICH1"), QStringLiteral("Rossi"));
    auto w = apri<frmspedoga>(Tag);
    clickAsUser(w->cmdSearch);
    clickAsUser(w->cmdVirtual);
    ASSERT_EQ(w->Modalita, ModoConsultazione);
    QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w->txtContoDog, &click);
    QApplication::sendEvent(w->txtNumDic, &click);
    EXPECT_EQ(opener.calls, (std::vector<RecordingTableOpener::Call>{
                                {"frmcontodoga", "TableName=ContoDoga;StartUp=A;MultiAdd=False;NewSearch=False"}}));
    EXPECT_EQ(w->txtContoDog->text(), "");
}

TEST_F(Spedoga, TheQualificationLinesTakeTheHighlightTogether)
{
    auto w = inAggiunta();
    QTest::mouseClick(w->txtFrase2, Qt::LeftButton);
    EXPECT_EQ(colore(w->txtFrase1), uimain::ColoreFuoco);
    EXPECT_EQ(colore(w->txtFrase2), uimain::ColoreFuoco);
    keyClicksAsUser(w->txtFrase2, QStringLiteral(" a "));
    w->txtNumDic->setText(QStringLiteral("15"));
    keyClickAsUser(w->txtFrase2, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), w->txtNumDic);
    EXPECT_EQ(colore(w->txtFrase1), finestra());
    EXPECT_EQ(colore(w->txtFrase2), finestra());
    EXPECT_EQ(w->txtFrase2->text(), " a ");
    EXPECT_EQ(w->txtNumDic->selectedText(), "15");
}

TEST_F(Spedoga, SavingByItsAccessKeyLeavesTheAccountFirst)
{
    auto w = inAggiunta();
    keyClicksAsUser(w->txtCode, FiscalCode);
    keyClickAsUser(w->txtCode, Qt::Key_Tab);
    keyClicksAsUser(w->txtDescrizione, QStringLiteral("Rossi"));
    QTest::mouseClick(w->txtContoDog, Qt::LeftButton);
    keyClicksAsUser(w->txtContoDog, QStringLiteral(" 12"));
    keyClickAsUser(w->txtContoDog, Qt::Key_O, Qt::AltModifier);
    // The account was left: trimmed, zero-filled and checked once.
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].caption, "Controllo dei codici con CIN");
    EXPECT_EQ(righe(), (QStringList{FiscalCode + QStringLiteral("|Rossi|<null>|<null>|0|0012|")}));
    EXPECT_TRUE(boxes.shown.empty());
}

// The three-button window itself, shown modally; once it is the active
// window its OK button is clicked.
class FinestraVera : public common::ThreeButtonDialogService {
public:
    QString show(const common::ThreeButtonRequest &request) override
    {
        shown.push_back(request);
        QTimer::singleShot(0, [] {
            common::frmMirsoMsg *finestra = nullptr;
            EXPECT_TRUE(QTest::qWaitFor([&] {
                finestra = qobject_cast<common::frmMirsoMsg *>(QApplication::activeModalWidget());
                return finestra && finestra->isActiveWindow();
            }));
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *m = qobject_cast<common::frmMirsoMsg *>(w); m && m->isVisible())
                    clickAsUser(m->cmdOK);
        });
        return common::QtThreeButtonDialogService().show(request);
    }
    std::vector<common::ThreeButtonRequest> shown;
};

TEST_F(Spedoga, ADialogOfACheckLeavesNoOtherFieldAndTheFieldEnteredIsHighlighted)
{
    FinestraVera finestra;
    common::ScopedThreeButtonDialogService guard(finestra);
    auto w = inAggiunta();
    // Typed into but never entered: a check of it would correct it.
    w->txtContoDog->setText(QStringLiteral(" 12"));
    keyClicksAsUser(w->txtCode, QStringLiteral("123456"));
    // The click leaves the code, whose check shows its dialog.
    QTest::mouseClick(w->txtContoDog, Qt::LeftButton);
    ASSERT_EQ(finestra.shown.size(), 1u);
    EXPECT_EQ(finestra.shown[0].caption, "Controllo dei codici con CIN");
    EXPECT_EQ(colore(w->txtCode), giallo());
    // The screen becomes the active window again once the dialog is gone, as
    // the window manager makes it.
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    EXPECT_EQ(QApplication::focusWidget(), w->txtContoDog);
    EXPECT_EQ(colore(w->txtContoDog), cyan());
    EXPECT_EQ(w->txtContoDog->text(), " 12");
    // Leaving the account checks it, once.
    keyClickAsUser(w->txtContoDog, Qt::Key_Tab);
    ASSERT_EQ(finestra.shown.size(), 2u);
    EXPECT_EQ(w->txtContoDog->text(), "0012");
    EXPECT_EQ(colore(w->txtContoDog), giallo());
    EXPECT_EQ(colore(w->txtCode), giallo());
    EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace

TEST_F(Spedoga, TheHoldersLabelStandsBesideTheAccountBox)
{
    auto w = apri<frmspedoga>(Tag);
    const QRect box = w->txtContoDog->geometry();
    const QRect label = w->lblDecContoDog->geometry();
    EXPECT_GT(label.left(), box.right());
    EXPECT_LE(label.top(), box.bottom());
    EXPECT_GE(label.bottom(), box.top());
    EXPECT_LE(label.right(), w->width());
    EXPECT_LT(label.bottom(), w->cmdCancel->y());
}
