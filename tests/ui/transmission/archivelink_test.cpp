#include "fixture.h"

#include "common/archiveschema.h"
#include "common/settings.h"
#include "support/asuser.h"
#include "ui/transmission/frmarchivelink.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using platform::MsgIcon;
using testsupport::clickAsUser;
using uitransmission::frmArchiveLink;
using uitransmission::frmSetPickPoint;

namespace {

class ArchiveLink : public SetupTest {
protected:
    ArchiveLink()
    {
        common::OpzioniCorbix.Centrale = "\\\\PC-UFFICIO\\C\\Corbix\\";
        common::OpzioniCorbix.FloppyDevice = "A:";
        settings_ = "\r\n\r\nC:\\Archivio.mdb\r\nNon usata\r\n";
        EXPECT_TRUE(common::ScriviIni());
        original_ = bytes(tmp_.file("prog/CORBIX.INI"));
    }

    // A second archive at C:\Altro.mdb with the given collection point.
    dao::Database other(const QVariant &centrale)
    {
        dao::Database altro = common::createArchive(onC("Altro.mdb"));
        altro.execute("UPDATE Paramflu SET Centrale = ?, FloppyDevice = 'B:'", {centrale});
        return altro;
    }

    QByteArray settings() const { return bytes(tmp_.file("prog/CORBIX.INI")); }

    QByteArray settings_;
    QByteArray original_;
};

TEST_F(ArchiveLink, OpensOnTheArchiveInUse)
{
    frmArchiveLink w;
    EXPECT_EQ(w.windowTitle(), "Collegamento ad archivi esistenti");
    EXPECT_EQ(w.txtPathName->text(), "C:\\Archivio.mdb");
    EXPECT_EQ(w.lblInstruction->text(),
              "Indicare il nome dell'archivio, completo di percorso, a cui si intende collegare l'applicazione.\n"
              "Una volta certi delle impostazioni indicate scegliere 'OK' per confermarle.");
    EXPECT_TRUE(w.cmdConfirm->isEnabled());
    w.txtPathName->clear();
    EXPECT_FALSE(w.cmdConfirm->isEnabled());
}

TEST_F(ArchiveLink, LinkingToTheArchiveInUseRewritesNothing)
{
    db.execute("UPDATE Paramflu SET Centrale = ?", {common::OpzioniCorbix.Centrale});
    db.execute("UPDATE Paramflu SET FloppyDevice = 'B:'");
    frmArchiveLink w;
    w.show();
    clickAsUser(w.cmdConfirm);
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(settings(), original_);
    EXPECT_EQ(common::OpzioniCorbix.FloppyDevice, "A:");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ArchiveLink, AnArchiveWithACollectionPointIsLinkedAtOnce)
{
    dao::Database altro = other(QString("\\\\SRV\\Dati\\Punto\\"));
    frmArchiveLink w;
    w.show();
    w.txtPathName->setText("C:\\Altro.mdb");
    clickAsUser(w.cmdConfirm);
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(common::PercorsoArchivio, "C:\\Altro.mdb");
    EXPECT_EQ(settings().split('\n').value(2), "C:\\Altro.mdb\r");
    EXPECT_EQ(common::OpzioniCorbix.FloppyDevice, "B:");
    EXPECT_EQ(common::OpzioniCorbix.Centrale, "\\\\SRV\\Dati\\Punto\\");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ArchiveLink, AnArchiveWithoutOptionsIsNotLinked)
{
    dao::Database altro = other(QString("\\\\SRV\\Dati\\Punto\\"));
    altro.execute("DELETE FROM Paramflu");
    frmArchiveLink w;
    w.show();
    whenModal([](QWidget *modal) {
        // The collection point is asked for; a fresh name is given.
        auto *p = qobject_cast<frmSetPickPoint *>(modal);
        ASSERT_NE(p, nullptr);
        clickAsUser(p->cmdConfirm);
    });
    w.txtPathName->setText("C:\\Altro.mdb");
    clickAsUser(w.cmdConfirm);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(common::PercorsoArchivio, "C:\\Archivio.mdb");
    EXPECT_EQ(common::OpzioniCorbix.FloppyDevice, "A:");
    EXPECT_EQ(settings(), original_);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Impossibile impostare il punto di raccolta selezionato. Contattare il produttore "
                                   "dell'applicazione.");
}

TEST_F(ArchiveLink, CancelInTheCollectionPointWindowKeepsTheLinkWindowOpen)
{
    dao::Database altro = other(QVariant());
    frmArchiveLink w;
    w.show();
    QString shownText;
    whenModal([&](QWidget *modal) {
        auto *p = qobject_cast<frmSetPickPoint *>(modal);
        ASSERT_NE(p, nullptr);
        shownText = p->txtPathName->text();
        clickAsUser(p->cmdCancel);
    });
    w.txtPathName->setText("C:\\Altro.mdb");
    clickAsUser(w.cmdConfirm);
    EXPECT_EQ(shownText, "C:\\Corbix doganali");
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.Tag, "");
    EXPECT_EQ(settings(), original_);
    EXPECT_EQ(entries(tmp_.file("c")), (QStringList{"Altro.mdb", "Archivio.mdb"}));
}

TEST_F(ArchiveLink, ANewCollectionPointIsMadeThenTheArchiveLinked)
{
    dao::Database altro = other(QVariant());
    QDir().mkpath(tmp_.file("srv"));
    drives_.setShare("SRV", "Dati", tmp_.file("srv"));
    frmArchiveLink w;
    w.show();
    whenModal([&](QWidget *modal) {
        auto *p = qobject_cast<frmSetPickPoint *>(modal);
        ASSERT_NE(p, nullptr);
        p->txtPathName->setText("C:\\Manca\\Punto");
        clickAsUser(p->cmdConfirm);
        EXPECT_TRUE(p->isVisible());
        p->txtPathName->setText("\\\\SRV\\Dati\\Punto");
        clickAsUser(p->cmdConfirm);
    });
    w.txtPathName->setText("C:\\Altro.mdb");
    clickAsUser(w.cmdConfirm);
    EXPECT_EQ(w.result(), QDialog::Accepted);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0], box("Il percorso 'C:\\Manca\\' non è valido. Indicare un percorso corretto.",
                                  MsgIcon::Exclamation));
    EXPECT_EQ(entries(tmp_.file("srv/Punto")),
              (QStringList{"Corbix in uscita", "Corbix inviati", "Risposte Pervenute", "Storico", "TEMP"}));
    EXPECT_EQ(common::OpzioniCorbix.Centrale, "\\\\SRV\\Dati\\Punto\\");
    EXPECT_EQ(settings().split('\n').value(2), "C:\\Altro.mdb\r");
}

TEST_F(ArchiveLink, AnArchiveThatDoesNotOpenKeepsTheWindowOpen)
{
    tmp_.write("c/Testo.mdb", "testo");
    frmArchiveLink w;
    w.show();
    w.txtPathName->setText("C:\\Testo.mdb");
    clickAsUser(w.cmdConfirm);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(common::PercorsoArchivio, "C:\\Archivio.mdb");
    EXPECT_EQ(settings(), original_);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.startsWith("Impossibile aprire l'archivio 'C:\\Testo.mdb'."));
}

TEST_F(ArchiveLink, ASettingsFileThatCannotBeWrittenLeavesTheLinkAsItWas)
{
    dao::Database altro = other(QString("\\\\SRV\\Dati\\Punto\\"));
    QFile::remove(tmp_.file("prog/CORBIX.INI"));
    QDir().mkpath(tmp_.file("prog/CORBIX.INI"));
    frmArchiveLink w;
    w.show();
    w.txtPathName->setText("C:\\Altro.mdb");
    clickAsUser(w.cmdConfirm);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(common::PercorsoArchivio, "C:\\Archivio.mdb");
    EXPECT_EQ(common::OpzioniCorbix.FloppyDevice, "A:");
    EXPECT_EQ(common::OpzioniCorbix.Centrale, "\\\\PC-UFFICIO\\C\\Corbix\\");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0], box("Impossibile scrivere il file di impostazioni '" + tmp_.file("prog/CORBIX.INI") + "'.",
                                  MsgIcon::Critical));
}

}  // namespace
