#pragma once

#include "flowengine/archive_fixture.h"
#include "platform/workstation.h"
#include "platform/errors.h"
#include "ui/main/filedialog.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QTimer>
#include <functional>

// The archive C:\Archivio.mdb on the program folder's drive table, this
// computer named "PC-UFFICIO" (a name that holds "-"), recorded message boxes
// and file dialogs, and the program folder as the current folder.
class SetupTest : public ArchiveTest {
protected:
    SetupTest() : previous_(QDir::currentPath())
    {
        QDir::setCurrent(tmp_.file(QStringLiteral("prog")));
    }
    ~SetupTest() override { QDir::setCurrent(previous_); }

    static QString computer() { return QStringLiteral("PC-UFFICIO"); }

    // Runs an action on the modal window that the next exec() shows.
    static void whenModal(std::function<void(QWidget *)> action)
    {
        QTimer::singleShot(0, [action] { action(QApplication::activeModalWidget()); });
    }

    QString centrale()
    {
        auto rs = db.openRecordset(QStringLiteral("SELECT Centrale FROM Paramflu"));
        return rs->eof() ? QStringLiteral("<no row>") : rs->value(0).toString();
    }

    platform::FixedWorkstationSource source_{computer(), QStringLiteral("mario")};
    platform::ScopedWorkstationSource sourceGuard_{source_};
    uimain::RecordingFileDialogService dialogs;
    uimain::ScopedFileDialogService dialogGuard{dialogs};
    QString previous_;
};

inline platform::Message box(const QString &text, platform::MsgIcon icon,
                             const QString &title = QStringLiteral("Corbix doganali"),
                             platform::MsgButtons buttons = platform::MsgButtons::OK, int defaultButton = 1)
{
    return platform::Message{text, title, icon, buttons, defaultButton};
}
