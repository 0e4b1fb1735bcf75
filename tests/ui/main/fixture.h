#pragma once

#include "common/settings.h"
#include "flowengine/archive_fixture.h"
#include "ui/main/flowgrid.h"
#include "ui/main/frmmain.h"
#include "ui/main/windowfactory.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QTableWidget>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

// The flow of the main window's list row RigaSelezionata, as its list shows
// it: what the main window hands the windows it opens on that row.
inline flowengine::DatiCorbex FlussoElencato(const uimain::frmMain &w)
{
    flowengine::DatiCorbex flow;
    flow.Posizione = flowengine::PosizioneInviati;
    if (common::RigaSelezionata >= 1)
        uimain::FlussoRigaGriglia(w.grdHistory, common::RigaSelezionata - 1, flow);
    return flow;
}

// Records every window the main window opens, with its Tag and the row
// RigaSelezionata at that moment, and does in its place what the window
// would do to the program-wide values.
class RecordingWindowFactory : public uimain::WindowFactory {
public:
    struct Call {
        uimain::Finestra finestra;
        QString tag;
        qint32 riga;
        flowengine::DatiCorbex corbex;  // the flow a window opened on a list row is handed
    };

    bool disponibile(uimain::Finestra finestra) const override { return !missing.count(finestra); }
    void apri(uimain::Finestra finestra, QWidget *, const QString &tag) override
    {
        calls.push_back({finestra, tag, common::RigaSelezionata, {}});
        if (const auto it = actions.find(finestra); it != actions.end())
            it->second();
    }
    void apriSuFlusso(uimain::Finestra finestra, QWidget *, uimain::FlussoSelezionato &flusso) override
    {
        calls.push_back({finestra, QString(), common::RigaSelezionata, flusso.corbex});
        if (const auto it = actions.find(finestra); it != actions.end())
            it->second();
    }

    std::vector<Call> calls;
    std::map<uimain::Finestra, std::function<void()>> actions;
    std::set<uimain::Finestra> missing;
};

// The program folder as the current folder, the archive C:\Archivio.mdb,
// recorded message boxes and windows.
class MainWindowTest : public ArchiveTest {
protected:
    MainWindowTest() : previous_(QDir::currentPath()), windows_(factory_)
    {
        QDir().mkpath(onC(QStringLiteral("Dogana")));
        QDir::setCurrent(tmp_.file(QStringLiteral("prog")));
        common::PercorsoArchivio.clear();
    }
    ~MainWindowTest() override
    {
        w.reset();
        QDir::setCurrent(previous_);
    }

    static QString archivePath() { return QStringLiteral("C:\\Archivio.mdb"); }

    void writeSettings(const QString &archive = archivePath())
    {
        common::PercorsoArchivio = archive;
        ASSERT_TRUE(common::ScriviIni());
        common::PercorsoArchivio.clear();
    }

    // The collection point C:\Corbix\ with its five sub-folders, and the
    // settings file naming the archive.
    void makeProgramFolder()
    {
        db.execute(QStringLiteral("UPDATE Paramflu SET Centrale = ?"), {QStringLiteral("C:\\Corbix\\")});
        for (const char *folder : {"Corbix in uscita", "Corbix inviati", "Risposte Pervenute", "Storico", "TEMP"})
            QDir().mkpath(onC(QStringLiteral("Corbix/") + QString::fromUtf8(folder)));
        writeSettings();
    }

    // The main window started on the program folder.
    uimain::frmMain &start()
    {
        w = std::make_unique<uimain::frmMain>();
        w->resize(600, 400);
        EXPECT_TRUE(w->Form_Load());
        w->show();
        boxes.shown.clear();
        return *w;
    }

    const std::vector<platform::Message> &shown() const { return boxes.shown; }

    // The list as shown: date, number and icon key of each row.
    QStringList listRows() const
    {
        QStringList rows;
        for (int r = 0; r < w->grdHistory->rowCount(); ++r)
            rows << w->grdHistory->item(r, 0)->text() + u' ' + w->grdHistory->item(r, 1)->text() + u' '
                        + w->grdHistory->item(r, 6)->data(uimain::RuoloChiave).toString();
        return rows;
    }

    // The centre of a list row (1 for the first flow) in grid coordinates.
    QPoint rowCentre(qint32 riga) const
    {
        const QRect r = w->grdHistory->visualRect(w->grdHistory->model()->index(riga - 1, 0));
        return w->grdHistory->viewport()->mapTo(w->grdHistory, r.center());
    }

    void rightClick(QPoint inGrid) const
    {
        QWidget *viewport = w->grdHistory->viewport();
        const QPoint p = viewport->mapFrom(w->grdHistory, inGrid);
        QMouseEvent press(QEvent::MouseButtonPress, p, viewport->mapToGlobal(p), Qt::RightButton, Qt::RightButton,
                          Qt::NoModifier);
        QApplication::sendEvent(viewport, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, p, viewport->mapToGlobal(p), Qt::RightButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(viewport, &release);
    }

    // Right-clicks a row and chooses a command of its popup.
    void choose(qint32 riga, const QString &caption)
    {
        rightClick(rowCentre(riga));
        w->Context->hide();
        for (int i = 0; i < 6; ++i)
            if (w->Opzioni[i]->isVisible() && w->Opzioni[i]->text() == caption) {
                w->Opzioni[i]->trigger();
                return;
            }
        ADD_FAILURE() << "no item " << caption.toStdString();
    }

    bool highlighted(qint32 riga) const
    {
        const QTableWidgetItem *item = w->grdHistory->item(riga - 1, 0);
        return item && item->background() == w->grdHistory->palette().highlight();
    }

    // The captions of the context items shown.
    QStringList contextItems() const
    {
        QStringList items;
        for (QAction *a : w->Opzioni)
            if (a->isVisible())
                items << a->text();
        return items;
    }

    QString previous_;
    RecordingWindowFactory factory_;
    uimain::ScopedWindowFactory windows_;
    std::unique_ptr<uimain::frmMain> w;
};
