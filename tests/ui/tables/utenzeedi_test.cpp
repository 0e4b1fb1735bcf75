#include "fixture.h"
#include "support/otherprogram.h"
#include "support/tablerows.h"
#include "ui/tables/frmutenzeedi.h"

#include <QComboBox>
#include <algorithm>

using uitables::frmUtenzeEDI;

namespace {

const QString Tag = QStringLiteral("TableName=UtenzeEdi;UpDatable=True;Deletable=True;StartUp=N");
const QString FiscalCode = QStringLiteral("RSSMRA85T10A562S");

class UtenzeEDI : public TablesTest {
protected:
    UtenzeEDI() { addDeclarant(QStringLiteral("DICH1"), QStringLiteral("Spedizioni Rossi")); }

    void utenza(const QString &login, const QVariant &protocollo)
    {
        db.execute(QStringLiteral("INSERT INTO UtenzeEDI VALUES ('DICH1', ?, 'Rossi SpA', ?, 'segreto', ?, 'CED1', "
                                  "'Centro', 'NODO', 'TPM')"),
                   {FiscalCode, login, protocollo}, dao::FailOnError);
    }
    // Add mode with every box filled and valid.
    std::unique_ptr<frmUtenzeEDI> compilata()
    {
        auto w = apri<frmUtenzeEDI>(Tag);
        clickAsUser(w->cmdAdd);
        w->txtSpedoga->setText(QStringLiteral("DICH1"));
        w->txtUA->setText(FiscalCode);
        w->txtUARagSoc->setText(QStringLiteral("Rossi SpA"));
        w->txtLogin->setText(QStringLiteral("L001"));
        w->txtPasswd->setText(QStringLiteral("pw"));
        w->cmbProtocol->setCurrentIndex(2);
        w->txtCodice->setText(QStringLiteral("CED2"));
        w->txtDescrizione->setText(QStringLiteral("Roma"));
        w->txtSdA->setText(QStringLiteral("SDA1"));
        w->txtTPMonitor->setText(QStringLiteral("TP1"));
        return w;
    }
    QStringList righe()
    {
        return testsupport::rowsOf(db, QStringLiteral("SELECT * FROM UtenzeEDI ORDER BY CodiceCED"));
    }
};

TEST_F(UtenzeEDI, TheProtocolIsShownAndWrittenByItsStoredForm)
{
    struct Case {
        const char *stored;
        int index;
        const char *written;
    } cases[] = {{"KERM", 0, "KERM"}, {"FTAM", 3, "FTAM"}, {"XYZ", -1, nullptr}};
    for (const Case &c : cases) {
        db.execute(QStringLiteral("DELETE FROM UtenzeEDI"));
        utenza(QStringLiteral("L001"), QString::fromUtf8(c.stored));
        auto w = apri<frmUtenzeEDI>(Tag);
        clickAsUser(w->cmdSearch);
        clickAsUser(w->cmdVirtual);
        EXPECT_EQ(w->cmbProtocol->currentIndex(), c.index) << c.stored;
        EXPECT_EQ(w->lblDecSpedoga->text(), "Spedizioni Rossi");
        clickAsUser(w->cmdVirtual);
        boxes.shown.clear();
        clickAsUser(w->cmdVirtual);
        auto rs = db.openRecordset(QStringLiteral("SELECT Protocol FROM UtenzeEDI"));
        if (c.written) {
            EXPECT_TRUE(boxes.shown.empty()) << c.stored;
            EXPECT_EQ(rs->value(0), QVariant(QString::fromUtf8(c.written)));
        } else {
            // The archive requires a protocol: with no entry chosen the save
            // is refused before it reaches the archive, the list turns red.
            EXPECT_EQ(boxes.shown, (std::vector<platform::Message>{
                                       {QStringLiteral("Indicare il protocollo di comunicazione."),
                                        QStringLiteral("Gestione Utente E.D.I."), platform::MsgIcon::Exclamation,
                                        platform::MsgButtons::OK, 1}}));
            EXPECT_EQ(colore(w->cmbProtocol), rosso());
            EXPECT_EQ(w->cmbProtocol->palette().color(QPalette::Button), rosso());
            EXPECT_EQ(w->Modalita, ModoModifica);
            EXPECT_EQ(rs->value(0), QVariant(QStringLiteral("XYZ")));
            // Choosing one clears the red; the save then writes it.
            w->cmbProtocol->setCurrentIndex(1);
            EXPECT_EQ(colore(w->cmbProtocol), finestra());
            clickAsUser(w->cmdVirtual);
            EXPECT_EQ(boxes.shown.size(), 1u);
            auto dopo = db.openRecordset(QStringLiteral("SELECT Protocol FROM UtenzeEDI"));
            EXPECT_EQ(dopo->value(0), QVariant(QStringLiteral("FTP")));
        }
    }
}

TEST_F(UtenzeEDI, FindClausesFollowTheBoxes)
{
    utenza(QStringLiteral("L001"), QStringLiteral("FTP"));
    auto w = apri<frmUtenzeEDI>(Tag);
    clickAsUser(w->cmdSearch);
    EXPECT_FALSE(w->txtPasswd->isEnabled());
    EXPECT_FALSE(w->cmbProtocol->isEnabled());
    EXPECT_TRUE(w->txtLogin->isEnabled());
    w->txtUA->setText(QStringLiteral("rssmra"));
    w->txtLogin->setText(QStringLiteral("L0"));
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(common::GetProperty(w->Parametri, QStringLiteral("WhereCondition")),
              QVariant(QStringLiteral("JetLike(UA, ?) AND JetLike(Login, ?)")));
    EXPECT_EQ(w->ValoriCondizione, (QVariantList{QStringLiteral("*RSSMRA*"), QStringLiteral("*L0*")}));
    EXPECT_EQ(w->dtaLocal->Caption(), "1/1");
    for (QLineEdit *box : {w->txtSpedoga, w->txtUA, w->txtPasswd, w->txtSdA})
        EXPECT_TRUE(box->isReadOnly());
    EXPECT_TRUE(w->listaBloccata());
}

TEST_F(UtenzeEDI, TheAuthorisedUserGoesToTheCheckOfItsLength)
{
    struct Case {
        const char *code;
        const char *caption;
    } cases[] = {{"RSSMRA85T10A562K", "Controllo Codice Fiscale"},
                 {"12345678901", "Controllo Partita I.V.A."},
                 {"123456789012345", "Controllo Partita I.V.A."}};
    auto w = apri<frmUtenzeEDI>(Tag);
    clickAsUser(w->cmdAdd);
    for (const Case &c : cases) {
        dialogs.shown.clear();
        w->txtUA->setText(QString::fromUtf8(c.code));
        esci(w->txtUA);
        ASSERT_EQ(dialogs.shown.size(), 1u) << c.code;
        EXPECT_EQ(dialogs.shown[0].caption, QString::fromUtf8(c.caption));
        EXPECT_EQ(colore(w->txtUA), rosso());
    }
    EXPECT_TRUE(dialogs.shown[0].message.startsWith("Lunghezza codice errata."));
}

TEST_F(UtenzeEDI, TheDialogsAnswerColoursTheAuthorisedUser)
{
    struct Case {
        const char *answer;
        const char *shown;
        QColor colour;
    } cases[] = {{"1", "RSSMRA85T10A562S", finestra()}, {"2", "RSSMRA85T10A562K", giallo()},
                 {"0", "RSSMRA85T10A562K", rosso()}};
    auto w = apri<frmUtenzeEDI>(Tag);
    clickAsUser(w->cmdAdd);
    for (const Case &c : cases) {
        dialogs.answer(QString::fromUtf8(c.answer));
        w->txtUA->setText(QStringLiteral("RSSMRA85T10A562K"));
        esci(w->txtUA);
        EXPECT_EQ(w->txtUA->text(), QString::fromUtf8(c.shown)) << c.answer;
        EXPECT_EQ(colore(w->txtUA), c.colour) << c.answer;
    }
}

TEST_F(UtenzeEDI, AnAcceptedCodeCanBeSavedARefusedOneCannot)
{
    auto w = compilata();
    w->txtUA->setText(QStringLiteral("RSSMRA85T10A562K"));
    dialogs.answer(QStringLiteral("0"));
    clickAsUser(w->cmdVirtual);
    EXPECT_TRUE(righe().isEmpty());
    dialogs.answer(QStringLiteral("2"));
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(righe(), (QStringList{"DICH1|RSSMRA85T10A562K|Rossi SpA|L001|pw|UFT|CED2|Roma|SDA1|TP1"}));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(w->Modalita, ModoAggiunta);
    EXPECT_EQ(w->txtSpedoga->text(), "");
    EXPECT_EQ(w->cmbProtocol->currentText(), "KERMIT");
}

// "KERMIT" does not fit the archive's four-character column: it is kept as
// "KERM", and a row read back shows the entry of the list again.
TEST_F(UtenzeEDI, KermitAddedIsStoredAsKermAndShownAsKermitWhenReadBack)
{
    auto w = compilata();
    w->cmbProtocol->setCurrentIndex(0);
    ASSERT_EQ(w->cmbProtocol->currentText(), "KERMIT");
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(righe(), (QStringList{"DICH1|RSSMRA85T10A562S|Rossi SpA|L001|pw|KERM|CED2|Roma|SDA1|TP1"}));
    clickAsUser(w->cmdCancel);
    clickAsUser(w->cmdSearch);
    clickAsUser(w->cmdVirtual);
    ASSERT_EQ(w->dtaLocal->Caption(), "1/1");
    EXPECT_EQ(w->cmbProtocol->currentIndex(), 0);
    EXPECT_EQ(w->cmbProtocol->currentText(), "KERMIT");
    clickAsUser(w->cmdVirtual);
    ASSERT_EQ(w->Modalita, ModoModifica);
    clickAsUser(w->cmdVirtual);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(righe(), (QStringList{"DICH1|RSSMRA85T10A562S|Rossi SpA|L001|pw|KERM|CED2|Roma|SDA1|TP1"}));
    EXPECT_EQ(w->cmbProtocol->currentText(), "KERMIT");
}

TEST_F(UtenzeEDI, ARedBoxRefusesTheSaveWithoutAnyDialog)
{
    for (QLineEdit *frmUtenzeEDI::*box : {&frmUtenzeEDI::txtSpedoga, &frmUtenzeEDI::txtTPMonitor, &frmUtenzeEDI::txtPasswd}) {
        auto w = compilata();
        ((*w).*box)->clear();
        clickAsUser(w->cmdVirtual);
        EXPECT_EQ(colore((*w).*box), rosso());
        EXPECT_TRUE(dialogs.shown.empty());
        EXPECT_TRUE(boxes.shown.empty());
        EXPECT_TRUE(righe().isEmpty());
    }
}

TEST_F(UtenzeEDI, AnEmptyUserOrAnUnknownDeclarantIsRed)
{
    auto w = compilata();
    w->txtUA->clear();
    esci(w->txtUA);
    EXPECT_EQ(colore(w->txtUA), rosso());
    EXPECT_TRUE(dialogs.shown.empty());
    w->txtSpedoga->setText(QStringLiteral("dich1"));
    esci(w->txtSpedoga);
    EXPECT_EQ(w->lblDecSpedoga->text(), "Spedizioni Rossi");
    w->txtSpedoga->setText(QStringLiteral("NESSUNO"));
    esci(w->txtSpedoga);
    EXPECT_EQ(colore(w->txtSpedoga), rosso());
    EXPECT_EQ(w->lblDecSpedoga->text(), "");
    clickAsUser(w->cmdVirtual);
    EXPECT_TRUE(righe().isEmpty());
}

TEST_F(UtenzeEDI, ModifyLocksTheKeyAndWritesTheOtherColumns)
{
    utenza(QStringLiteral("L001"), QStringLiteral("KERM"));
    auto w = apri<frmUtenzeEDI>(Tag);
    clickAsUser(w->cmdSearch);
    clickAsUser(w->cmdVirtual);
    clickAsUser(w->cmdVirtual);
    ASSERT_EQ(w->Modalita, ModoModifica);
    EXPECT_TRUE(w->txtSpedoga->isReadOnly());
    EXPECT_TRUE(w->txtCodice->isReadOnly());
    for (QLineEdit *box : {w->txtUA, w->txtUARagSoc, w->txtLogin, w->txtPasswd, w->txtDescrizione, w->txtSdA,
                           w->txtTPMonitor})
        EXPECT_FALSE(box->isReadOnly());
    EXPECT_FALSE(w->listaBloccata());
    w->txtLogin->setText(QStringLiteral("L999"));
    w->cmbProtocol->setCurrentText(QStringLiteral("FTP"));
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(righe(), (QStringList{"DICH1|RSSMRA85T10A562S|Rossi SpA|L999|segreto|FTP|CED1|Centro|NODO|TPM"}));
    EXPECT_EQ(w->Modalita, ModoConsultazione);
}

TEST_F(UtenzeEDI, AddModeAtStartDoesNotPressTheToggle)
{
    auto w = apri<frmUtenzeEDI>(QStringLiteral("TableName=UtenzeEdi;StartUp=A"));
    EXPECT_EQ(w->Modalita, ModoAggiunta);
    EXPECT_FALSE(w->cmdAdd->isChecked());
    EXPECT_TRUE(w->txtSpedoga->isEnabled());
}

TEST_F(UtenzeEDI, DeletingNeverAsksAboutUse)
{
    utenza(QStringLiteral("L001"), QStringLiteral("KERM"));
    auto w = apri<frmUtenzeEDI>(Tag);
    clickAsUser(w->cmdSearch);
    clickAsUser(w->cmdVirtual);
    boxes.answer(platform::MsgResult::Yes);
    clickAsUser(w->cmdVirtual1);
    EXPECT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0], conferma(QStringLiteral("Gestione Utente E.D.I.")));
    EXPECT_TRUE(righe().isEmpty());
}

TEST_F(UtenzeEDI, ModifyWritesTheRowShownAndNoOtherWithTheSameKey)
{
    utenza(QStringLiteral("L001"), QStringLiteral("FTP"));
    utenza(QStringLiteral("L002"), QStringLiteral("FTP"));
    auto accessi = [&] {
        QStringList out;
        auto rs = db.openRecordset(QStringLiteral("SELECT Login, Passwd FROM UtenzeEDI ORDER BY Login"));
        for (; !rs->eof(); rs->moveNext())
            out << rs->value(0).toString() + u'/' + rs->value(1).toString();
        return out;
    };
    auto w = apri<frmUtenzeEDI>(Tag);
    clickAsUser(w->cmdSearch);
    clickAsUser(w->cmdVirtual);
    clickAsUser(w->dtaLocal->cmdNext);
    ASSERT_EQ(w->txtLogin->text(), "L002");
    clickAsUser(w->cmdVirtual);
    ASSERT_EQ(w->Modalita, ModoModifica);
    QTest::mouseClick(w->txtPasswd, Qt::LeftButton);
    keyClickAsUser(w->txtPasswd, Qt::Key_A, Qt::ControlModifier);
    keyClicksAsUser(w->txtPasswd, QStringLiteral("nuova"));
    clickAsUser(w->cmdVirtual);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(accessi(), (QStringList{"L001/segreto", "L002/nuova"}));

    // Another program changes, then deletes, the row shown meanwhile:
    // nothing is written, and the user is told which.
    const platform::Message modificato =
        info(QStringLiteral("Impossibile registrare i dati nell'archivio: il record visualizzato è stato modificato da "
                            "un altro utente. Annullare e ripetere la modifica."),
             QStringLiteral("Gestione Utente E.D.I."));
    const platform::Message nonPresente =
        info(QStringLiteral("Impossibile registrare i dati nell'archivio: il record visualizzato non risulta più "
                            "presente."),
             QStringLiteral("Gestione Utente E.D.I."));
    testsupport::OtherProgram altro(onC(QStringLiteral("Archivio.mdb")));
    for (const auto &[sql, told] : {std::pair{"UPDATE UtenzeEDI SET Passwd = 'altrui' WHERE Login = 'L001'", modificato},
                                    std::pair{"DELETE FROM UtenzeEDI WHERE Login = 'L001'", nonPresente}}) {
        ASSERT_EQ(w->dtaLocal->Caption(), "1/2");
        clickAsUser(w->cmdVirtual);
        ASSERT_EQ(w->Modalita, ModoModifica);
        w->txtPasswd->setText(QStringLiteral("mia"));
        ASSERT_EQ(altro.exec(QString::fromUtf8(sql)), SQLITE_OK);
        boxes.shown.clear();
        clickAsUser(w->cmdVirtual);
        EXPECT_EQ(boxes.shown, std::vector<platform::Message>{told}) << sql;
        EXPECT_EQ(w->Modalita, ModoModifica);
        clickAsUser(w->cmdCancel);
    }
    EXPECT_EQ(accessi(), (QStringList{"L002/nuova"}));
}

TEST_F(UtenzeEDI, DeleteRemovesOnlyTheRowShownAsItWasShown)
{
    // The table has no key: a row is found again by its rowid, which SQLite
    // gives a new row once the last row is deleted. Another program (a
    // process of its own) acts while the user reads the question.
    const struct {
        const char *name;
        const char *sql;
    } cases[] = {
        {"the last row deleted and another account added under its rowid",
         "DELETE FROM UtenzeEDI WHERE Login = 'L004';"
         "INSERT INTO UtenzeEDI VALUES ('DICH1', 'RSSMRA85T10A562S', 'Altra SpA', 'L009', 'altrui', 'FTP', 'CED9', "
         "'Altrove', 'NODO', 'TPM')"},
        {"a column of the row changed", "UPDATE UtenzeEDI SET Passwd = 'altrui' WHERE Login = 'L004'"},
        {"the row deleted", "DELETE FROM UtenzeEDI WHERE Login = 'L004'"},
    };
    const platform::Message nonPresente =
        info(QStringLiteral("Impossibile eliminare il record dall'archivio: il record visualizzato non risulta più "
                            "presente."),
             QStringLiteral("Gestione Utente E.D.I."));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        db.execute(QStringLiteral("DELETE FROM UtenzeEDI"));
        for (const char *login : {"L001", "L002", "L003", "L004"})
            utenza(QString::fromLatin1(login), QStringLiteral("FTP"));
        auto w = apri<frmUtenzeEDI>(Tag);
        clickAsUser(w->cmdSearch);
        clickAsUser(w->cmdVirtual);
        clickAsUser(w->dtaLocal->cmdLast);
        ASSERT_EQ(w->dtaLocal->Caption(), "4/4");
        ASSERT_EQ(w->txtLogin->text(), "L004");
        QStringList lasciate;
        boxes.shown.clear();
        boxes.whileShown = [&](const platform::Message &) {
            if (boxes.shown.size() == 1) {
                ASSERT_EQ(testsupport::otherProcessWrites(onC(QStringLiteral("Archivio.mdb")), QString::fromUtf8(c.sql)), 0);
                lasciate = righe();
            }
        };
        boxes.answer(platform::MsgResult::Yes);
        clickAsUser(w->cmdVirtual1);
        boxes.whileShown = nullptr;
        EXPECT_EQ(boxes.shown, (std::vector<platform::Message>{conferma(QStringLiteral("Gestione Utente E.D.I.")),
                                                               nonPresente}));
        EXPECT_EQ(righe(), lasciate) << "nothing deleted";
        // The selection read again: the rows there now, counted.
        EXPECT_EQ(w->Modalita, 2);
        EXPECT_EQ(w->dtaLocal->Caption(), QStringLiteral("%1/%2").arg(std::min<qsizetype>(4, lasciate.size())).arg(lasciate.size()));
        EXPECT_TRUE(w->cmdVirtual1->isEnabled());
    }
}

}  // namespace
