#pragma once

#include "common/archiveschema.h"
#include "common/fixture.h"
#include "common/globals.h"
#include "common/settings.h"
#include "platform/messagebox.h"
#include "ui/main/frmmain.h"
#include "ui/main/windowfactory.h"

#include <QDir>
#include <functional>
#include <map>
#include <set>
#include <vector>

// Records every window the main window opens, with its Tag and the row
// RigaSelezionata at that moment, and does in its place what the window
// would do to the program-wide values.
class RecordingWindowFactory : public uimain::WindowFactory {
public:
    struct Call {
        uimain::Finestra finestra;
        QString tag;
        qint32 riga;
    };

    bool disponibile(uimain::Finestra finestra) const override { return !missing.count(finestra); }
    void apri(uimain::Finestra finestra, QWidget *, const QString &tag) override
    {
        calls.push_back({finestra, tag, common::RigaSelezionata});
        if (const auto it = actions.find(finestra); it != actions.end())
            it->second();
    }

    std::vector<Call> calls;
    std::map<uimain::Finestra, std::function<void()>> actions;
    std::set<uimain::Finestra> missing;
};

// A program folder as the current folder, drive C: in the test's folder, an
// archive path C:\Dogana\Archivio.mdb, recorded message boxes and windows.
class MainWindowTest : public CommonTest {
protected:
    MainWindowTest() : previous_(QDir::currentPath()), messages_(recorder_), windows_(factory_)
    {
        QDir().mkpath(onC(QStringLiteral("Dogana")));
        QDir::setCurrent(tmp_.file(QStringLiteral("prog")));
    }
    ~MainWindowTest() override { QDir::setCurrent(previous_); }

    static QString archivePath() { return QStringLiteral("C:\\Dogana\\Archivio.mdb"); }
    QString archiveHost() const { return onC(QStringLiteral("Dogana/Archivio.mdb")); }

    void writeSettings(const QString &archive = archivePath())
    {
        common::PercorsoArchivio = archive;
        ASSERT_TRUE(common::ScriviIni());
        common::PercorsoArchivio.clear();
    }

    // The archive with its collection point C:\Corbix\ and the five
    // sub-folders, and the settings file naming it.
    void makeProgramFolder()
    {
        dao::Database db = common::createArchive(archiveHost());
        db.execute(QStringLiteral("UPDATE Paramflu SET Centrale = ?"), {QStringLiteral("C:\\Corbix\\")});
        db.close();
        for (const char *folder : {"Corbix in uscita", "Corbix inviati", "Risposte Pervenute", "Storico", "TEMP"})
            QDir().mkpath(onC(QStringLiteral("Corbix/") + QString::fromUtf8(folder)));
        writeSettings();
    }

    const std::vector<platform::Message> &shown() const { return recorder_.shown; }

    QString previous_;
    platform::RecordingMessageBoxService recorder_;
    platform::ScopedMessageBoxService messages_;
    RecordingWindowFactory factory_;
    uimain::ScopedWindowFactory windows_;
};
