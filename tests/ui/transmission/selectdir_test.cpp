#include "fixture.h"
#include "platform/application.h"

#include "platform/twips.h"
#include "support/asuser.h"
#include "ui/main/folderchooser.h"
#include "ui/main/screen.h"
#include "ui/transmission/frmselectdir.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

using platform::MsgIcon;
using platform::MsgResult;
using testsupport::clickAsUser;
using uitransmission::frmSelectDir;

namespace {

class SelectDir : public SetupTest {
protected:
    SelectDir()
    {
        QDir().mkpath(onC("Dati/Sotto"));
        QDir().mkpath(tmp_.file("d/Dati"));
        drives_.setDrive(u'd', tmp_.file("d"));
        drives_.setDrive(u'a', tmp_.file("floppy"));  // no medium until the folder is made
    }

    // The chooser shown as the callers show it, on a start folder.
    void open(frmSelectDir &w, const QString &start)
    {
        w.dlbDirveList->setVisible(true);
        w.lblPath->setVisible(true);
        w.Tag = start;
        w.show();
    }
    void chooseDrive(frmSelectDir &w, QChar drive) { w.dlbDirveList->setCurrentIndex(w.dlbDirveList->findData(drive)); }
    QStringList listed(const frmSelectDir &w) const
    {
        QStringList out;
        for (int i = 0; i < w.dlbDirList->count(); ++i)
            out << w.dlbDirList->item(i)->text();
        return out;
    }
    const QString notReady = platform::errorDescription(68);
};

struct StartCase {
    const char *start;
    const char *path;
    QChar drive;
};

TEST_F(SelectDir, OpensOnTheStartFolder)
{
    const StartCase cases[] = {
        {"C:\\Dati", "C:\\Dati", u'C'},
        {"c:\\dati\\", "C:\\dati", u'C'},
        {"D:\\Dati", "D:\\Dati", u'D'},
        {"C:\\Manca", "C:\\", u'C'},
        {"", "C:\\", u'C'},
        // This computer's own network form is its drive form.
        {"\\\\PC-UFFICIO\\D\\Dati", "D:\\Dati", u'D'},
        {"\\\\SRV\\Dati", "C:\\", u'C'},
        // A drive without a medium: the chooser opens all the same.
        {"A:\\", "C:\\", u'C'},
    };
    for (const StartCase &c : cases) {
        frmSelectDir w;
        open(w, c.start);
        EXPECT_EQ(w.PercorsoElenco(), c.path) << c.start;
        EXPECT_EQ(w.lblPath->text(), c.path) << c.start;
        EXPECT_EQ(w.dlbDirveList->currentData().toChar(), c.drive) << c.start;
        EXPECT_EQ(w.Tag, "");
        clickAsUser(w.cmdConfirm);
        EXPECT_EQ(w.Tag, c.path) << c.start;
        EXPECT_FALSE(w.isVisible());
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SelectDir, ListsTheDrivesAndTheFoldersOfThePath)
{
    frmSelectDir w;
    open(w, "C:\\Dati");
    EXPECT_EQ(w.dlbDirveList->count(), 3);
    EXPECT_EQ(w.dlbDirveList->itemText(0), "a:");
    EXPECT_EQ(listed(w), (QStringList{"C:\\", "  Dati", "    Sotto"}));
    w.dlbDirList->itemActivated(w.dlbDirList->item(2));
    EXPECT_EQ(w.lblPath->text(), "C:\\Dati\\Sotto");
    w.dlbDirList->itemActivated(w.dlbDirList->item(0));
    EXPECT_EQ(w.lblPath->text(), "C:\\");
    chooseDrive(w, u'D');
    EXPECT_EQ(w.lblPath->text(), "D:\\");
    EXPECT_EQ(listed(w), (QStringList{"D:\\", "  Dati"}));
}

TEST_F(SelectDir, CancelHandsBackNothing)
{
    frmSelectDir w;
    open(w, "C:\\Dati");
    clickAsUser(w.cmdCancel);
    EXPECT_EQ(w.Tag, "");
    EXPECT_EQ(w.result(), QDialog::Rejected);
}

TEST_F(SelectDir, ADriveWithoutAMediumIsRetriedOrLeft)
{
    frmSelectDir w;
    open(w, "C:\\Dati");
    boxes.answer(MsgResult::Cancel);
    chooseDrive(w, u'A');
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0], box(notReady, MsgIcon::Critical, "Errore di sistema", platform::MsgButtons::RetryCancel));
    EXPECT_EQ(w.dlbDirveList->currentData().toChar(), u'C');
    EXPECT_EQ(w.lblPath->text(), "C:\\Dati");

    // Retry after the medium is in.
    boxes.shown.clear();
    boxes.script.clear();
    struct Insert : platform::MessageBoxService {
        QString medium;
        int count = 0;
        MsgResult show(const platform::Message &) override
        {
            ++count;
            QDir().mkpath(medium);
            return MsgResult::Retry;
        }
    } insert;
    insert.medium = tmp_.file("floppy");
    platform::ScopedMessageBoxService guard(insert);
    chooseDrive(w, u'A');
    EXPECT_EQ(insert.count, 1);
    EXPECT_EQ(w.lblPath->text(), "A:\\");
}

TEST_F(SelectDir, TheLayoutFollowsTheControlsShown)
{
    frmSelectDir full;
    open(full, "C:\\Dati");
    frmSelectDir bare;
    bare.Tag = "C:\\Dati";
    bare.show();
    EXPECT_EQ(bare.dlbDirList->y(), platform::twips(30));
    EXPECT_FALSE(bare.dlbDirveList->isEnabled());
    EXPECT_GT(full.dlbDirList->y(), bare.dlbDirList->y());
    EXPECT_LT(bare.height(), full.height());
    EXPECT_EQ(full.width(), platform::twips(4770));
    // An outer height: the frame comes off it, the lists always fit.
    EXPECT_EQ(bare.height(), std::max(platform::twips(30 + 1180 + 30 + 330) - platform::AltezzaCornice(&bare),
                                      platform::twips(30 + 1180 + 30)));
}

TEST_F(SelectDir, TheInstalledChooserServesTheCallers)
{
    uimain::FolderChooser *previous = uimain::folderChooserSlot();
    uitransmission::InstallaSceltaCartella();
    ASSERT_NE(uimain::folderChooserSlot(), nullptr);
    QString caption;
    whenModal([&](QWidget *modal) {
        auto *w = qobject_cast<frmSelectDir *>(modal);
        ASSERT_NE(w, nullptr);
        caption = w->windowTitle();
        EXPECT_TRUE(w->dlbDirveList->isVisible());
        EXPECT_TRUE(w->lblPath->isVisible());
        EXPECT_EQ(w->pos(), QPoint(40, 60));
        w->dlbDirList->itemActivated(w->dlbDirList->item(2));
        clickAsUser(w->cmdConfirm);
    });
    const QString scelta =
        uimain::folderChooserSlot()->scegli(nullptr, QPoint(40, 60), "Selezionare la cartella.", "C:\\Dati");
    uimain::folderChooserSlot() = previous;
    EXPECT_EQ(caption, "Selezionare la cartella.");
    EXPECT_EQ(scelta, "C:\\Dati\\Sotto");
}

}  // namespace
