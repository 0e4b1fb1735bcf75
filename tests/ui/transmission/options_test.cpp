#include "fixture.h"

#include "support/asuser.h"
#include "ui/main/folderchooser.h"
#include "ui/transmission/frmopzionicorbix.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using platform::MsgIcon;
using testsupport::clickAsUser;
using uitransmission::frmOpzioniCorbix;

namespace {

class Options : public SetupTest {
protected:
    Options()
    {
        common::OpzioniCorbix = {"\\\\PC-UFFICIO\\C\\Dogana\\Punto\\", "A:", common::CanaleInvio::ServizioLan, true,
                                 common::DestinazionePredefinita::Memorizzato, "C:\\Uscita"};
        db.execute("UPDATE Paramflu SET Centrale = ?", {common::OpzioniCorbix.Centrale});
        QDir().mkpath(onC("Dogana/Punto"));
    }

    // The options row as "FloppyDevice|SendWith|PreventCheck|WhereWrite|UserDir|Centrale".
    QString row()
    {
        auto rs = db.openRecordset("SELECT * FROM Paramflu");
        QStringList v;
        for (const char *f : {"FloppyDevice", "SendWith", "PreventCheck", "WhereWrite", "UserDir", "Centrale"})
            v << (rs->value(f).isNull() ? QString("<null>") : rs->value(f).toString());
        return v.join('|');
    }
};

TEST_F(Options, OpensOnTheProgramWideValues)
{
    frmOpzioniCorbix w;
    EXPECT_EQ(w.windowTitle(), "Opzioni");
    EXPECT_EQ(w.cmbFloppyDevice->currentText(), "A:");
    EXPECT_TRUE(w.optByWEB->isChecked());
    EXPECT_FALSE(w.optUser->isChecked());
    EXPECT_TRUE(w.chkPreventCtrl->isChecked());
    EXPECT_TRUE(w.optSaved->isChecked());
    EXPECT_EQ(w.lblUserDir->text(), "C:\\Uscita");
    EXPECT_EQ(w.txtPickPointPathName->text(), "C:\\Dogana\\Punto");
    EXPECT_FALSE(w.cmdApply->isEnabled());
    EXPECT_EQ(w.optByMIRSOLAN->text(), "Opzione non attiva exe MIRSOLAN");
    for (const char *name : {"cmbFloppyDevice", "optByWEB", "optByMIRSOLAN", "optUser", "chkPreventCtrl",
                             "optOnFloppyDevice", "optSaved", "optOnUserDir", "cmdChangeUserDir", "lblUserDir",
                             "txtPickPointPathName", "cmdSetPickPoint", "cmdConfirm", "cmdApply", "cmdCancel"})
        EXPECT_NE(w.findChild<QWidget *>(name), nullptr) << name;
}

TEST_F(Options, ValuesWithoutAControlSelectNone)
{
    common::OpzioniCorbix.FloppyDevice = "a:";
    common::OpzioniCorbix.SendWith = common::CanaleInvio(7);
    common::OpzioniCorbix.WhereWrite = common::DestinazionePredefinita(9);
    frmOpzioniCorbix w;
    w.show();
    EXPECT_EQ(w.cmbFloppyDevice->currentIndex(), -1);
    for (QRadioButton *o : {w.optByWEB, w.optByMIRSOLAN, w.optUser, w.optOnFloppyDevice, w.optSaved, w.optOnUserDir})
        EXPECT_FALSE(o->isChecked()) << o->objectName().toStdString();
    clickAsUser(w.cmdConfirm);
    // Options no control stands for keep their values; no drive chosen is "".
    EXPECT_EQ(common::OpzioniCorbix.FloppyDevice, "");
    EXPECT_EQ(common::OpzioniCorbix.SendWith, common::CanaleInvio(7));
    EXPECT_EQ(common::OpzioniCorbix.WhereWrite, common::DestinazionePredefinita(9));
    EXPECT_EQ(row(), "<null>|7|true|9|C:\\Uscita|\\\\PC-UFFICIO\\C\\Dogana\\Punto\\");
}

TEST_F(Options, OkStoresAnUntouchedCollectionPointUnchanged)
{
    frmOpzioniCorbix w;
    w.show();
    clickAsUser(w.cmdConfirm);
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(row(), "A:|1|true|1|C:\\Uscita|\\\\PC-UFFICIO\\C\\Dogana\\Punto\\");
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(QFileInfo(onC("Dogana/Punto")).isDir());
}

TEST_F(Options, ACollectionPointOnAnotherComputerKeepsItsNetworkForm)
{
    common::OpzioniCorbix.Centrale = "\\\\SRV\\Dati\\Punto\\";
    db.execute("UPDATE Paramflu SET Centrale = ?", {common::OpzioniCorbix.Centrale});
    frmOpzioniCorbix w;
    w.show();
    EXPECT_EQ(w.txtPickPointPathName->text(), "\\\\SRV\\Dati\\Punto");
    clickAsUser(w.cmdConfirm);
    EXPECT_EQ(common::OpzioniCorbix.Centrale, "\\\\SRV\\Dati\\Punto\\");
    EXPECT_EQ(row(), "A:|1|true|1|C:\\Uscita|\\\\SRV\\Dati\\Punto\\");
}

TEST_F(Options, ApplyThenCancelChangesTheRunNotTheArchive)
{
    frmOpzioniCorbix w;
    w.show();
    w.cmbFloppyDevice->setCurrentIndex(1);
    emit w.cmbFloppyDevice->activated(1);
    EXPECT_TRUE(w.cmdApply->isEnabled());
    clickAsUser(w.optUser);
    clickAsUser(w.chkPreventCtrl);
    clickAsUser(w.optOnUserDir);
    clickAsUser(w.cmdApply);
    EXPECT_FALSE(w.cmdApply->isEnabled());
    clickAsUser(w.cmdCancel);
    EXPECT_EQ(w.result(), QDialog::Rejected);
    const common::Opzioni &o = common::OpzioniCorbix;
    EXPECT_EQ(o.FloppyDevice, "B:");
    EXPECT_EQ(o.SendWith, common::CanaleInvio::RichiediSempre);
    EXPECT_FALSE(o.PreventCheck);
    EXPECT_EQ(o.WhereWrite, common::DestinazionePredefinita::Cartella);
    EXPECT_EQ(row(), "A:|0|false|0|C:\\|\\\\PC-UFFICIO\\C\\Dogana\\Punto\\");
}

TEST_F(Options, TheServiceMachineOptionStandsForInternet)
{
    {
        frmOpzioniCorbix w;
        w.show();
        clickAsUser(w.optByMIRSOLAN);
        clickAsUser(w.cmdConfirm);
    }
    EXPECT_EQ(common::OpzioniCorbix.SendWith, common::CanaleInvio::InternetIntranet);
    frmOpzioniCorbix again;
    EXPECT_TRUE(again.optByWEB->isChecked());
    EXPECT_FALSE(again.optByMIRSOLAN->isChecked());
}

TEST_F(Options, EachChangeEnablesApply)
{
    const std::function<void(frmOpzioniCorbix &)> changes[] = {
        [](frmOpzioniCorbix &w) { clickAsUser(w.chkPreventCtrl); },
        [](frmOpzioniCorbix &w) { clickAsUser(w.optByWEB); },
        [](frmOpzioniCorbix &w) { clickAsUser(w.optSaved); },
        [](frmOpzioniCorbix &w) { w.txtPickPointPathName->setText("C:\\Altro"); },
        [](frmOpzioniCorbix &w) {
            w.cmbFloppyDevice->setCurrentIndex(1);
            emit w.cmbFloppyDevice->activated(1);
        },
    };
    for (const auto &change : changes) {
        frmOpzioniCorbix w;
        w.show();
        change(w);
        EXPECT_TRUE(w.cmdApply->isEnabled());
    }
    // Choosing the drive already in use changes nothing.
    frmOpzioniCorbix w;
    emit w.cmbFloppyDevice->activated(0);
    EXPECT_FALSE(w.cmdApply->isEnabled());
}

TEST_F(Options, AnOddCollectionPointIsRefusedAndNothingApplied)
{
    for (const char *odd : {"", "Punto", "/fuori/da/ogni/unita", "C:\\Dogana\\Punto\\..\\..\\Altro"}) {
        boxes.shown.clear();
        frmOpzioniCorbix w;
        w.show();
        clickAsUser(w.chkPreventCtrl);
        w.txtPickPointPathName->setText(odd);
        clickAsUser(w.cmdConfirm);
        EXPECT_TRUE(w.isVisible()) << odd;
        EXPECT_TRUE(common::OpzioniCorbix.PreventCheck);
        EXPECT_EQ(common::OpzioniCorbix.Centrale, "\\\\PC-UFFICIO\\C\\Dogana\\Punto\\");
        ASSERT_EQ(boxes.shown.size(), 1u) << odd;
        if (QString(odd).startsWith('/'))
            EXPECT_EQ(boxes.shown[0], box("Il percorso '/fuori/da/ogni/unita' non è valido. Indicare un percorso "
                                          "corretto.",
                                          MsgIcon::Exclamation));
        else
            EXPECT_EQ(boxes.shown[0], box(QString("Il percorso del punto di raccolta '") + odd
                                              + "' non è valido. Indicare un percorso completo di unità o di rete.",
                                          MsgIcon::Exclamation, "Opzioni"));
    }
    EXPECT_EQ(row(), "A:|0|false|0|C:\\|\\\\PC-UFFICIO\\C\\Dogana\\Punto\\");
}

TEST_F(Options, OkMovesTheCollectionPointTypedLocally)
{
    frmOpzioniCorbix w;
    w.show();
    w.txtPickPointPathName->setText("C:\\Dogana\\Nuovo");
    clickAsUser(w.cmdConfirm);
    EXPECT_EQ(row(), "A:|1|true|1|C:\\Uscita|\\\\PC-UFFICIO\\C\\Dogana\\Nuovo\\");
    EXPECT_TRUE(QFileInfo(onC("Dogana/Nuovo")).isDir());
    EXPECT_FALSE(QFileInfo::exists(onC("Dogana/Punto")));
}

TEST_F(Options, AMoveThatFailsAndIsKeptClosesTheApplication)
{
    boxes.answer(platform::MsgResult::Yes);
    frmOpzioniCorbix w;
    w.show();
    w.txtPickPointPathName->setText("C:\\Manca\\Nuovo");
    clickAsUser(w.cmdConfirm);
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_TRUE(common::ChiudiApplicazione);
    EXPECT_EQ(row(), "A:|1|true|1|C:\\Uscita|\\\\PC-UFFICIO\\C\\Manca\\Nuovo\\");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].buttons, platform::MsgButtons::YesNo);
}

struct Chooser : uimain::FolderChooser {
    QString scegli(QWidget *, const QPoint &p, const QString &titolo, const QString &inizio) override
    {
        posizione = p;
        caption = titolo;
        start = inizio;
        return answer;
    }
    QPoint posizione;
    QString caption, start, answer;
};

TEST_F(Options, TheUserFolderComesFromTheFolderChooser)
{
    Chooser chooser;
    uimain::ScopedFolderChooser guard(chooser);
    frmOpzioniCorbix w;
    w.show();
    w.move(100, 50);
    QDir::setCurrent(tmp_.path());
    clickAsUser(w.cmdChangeUserDir);
    EXPECT_EQ(chooser.caption, "Selezionare la cartella.");
    EXPECT_EQ(chooser.start, "C:\\Uscita");
    const QPoint button = w.fraWhereWrite->pos() + w.cmdChangeUserDir->pos();
    EXPECT_EQ(chooser.posizione, w.pos() + button
                                     + QPoint(w.cmdChangeUserDir->width() / 4, w.cmdChangeUserDir->height() / 2));
    EXPECT_EQ(w.lblUserDir->text(), "C:\\Uscita");
    EXPECT_FALSE(w.cmdApply->isEnabled());
    EXPECT_EQ(QDir::currentPath() + '/', common::CartellaProgramma);

    chooser.answer = "C:\\Dogana";
    clickAsUser(w.cmdChangeUserDir);
    EXPECT_EQ(w.lblUserDir->text(), "C:\\Dogana");
    EXPECT_TRUE(w.cmdApply->isEnabled());
}

TEST_F(Options, TheCollectionPointComesFromASaveDialog)
{
    frmOpzioniCorbix w;
    w.show();
    clickAsUser(w.cmdSetPickPoint);
    dialogs.answer(QString("C:\\Dogana\\Scelto"));
    clickAsUser(w.cmdSetPickPoint);
    uimain::RichiestaFile attesa;
    attesa.tipo = uimain::TipoDialogoFile::Salva;
    attesa.titolo = "Impostare il punto di raccolta";
    attesa.nomeFile = "Punto";
    attesa.cartellaIniziale = "C:\\Dogana\\";
    ASSERT_EQ(dialogs.requests.size(), 2u);
    EXPECT_EQ(dialogs.requests[0], attesa);
    EXPECT_EQ(w.txtPickPointPathName->text(), "C:\\Dogana\\Scelto");
    EXPECT_EQ(QDir::currentPath() + '/', common::CartellaProgramma);
}

}  // namespace
