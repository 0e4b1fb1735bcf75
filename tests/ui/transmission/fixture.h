#pragma once

#include "common/archiveschema.h"
#include "flowengine/archive_fixture.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/workstation.h"
#include "support/doubles/fakeclock.h"
#include "support/doubles/fixedworkstationsource.h"
#include "support/doubles/recordingfiledialog.h"
#include "ui/main/filedialog.h"
#include "ui/main/fixture.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <functional>
#include <initializer_list>
#include <utility>

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

// The main window on an archive with the collection point C:\Corbix\, the
// program database in the program folder, and the flows a test adds shown
// in its list; file dialogs and the clock are doubles.
class TransmissionTest : public MainWindowTest {
protected:
    TransmissionTest() : program(common::createProgramDatabase(common::CartellaProgramma + QStringLiteral("Corbix.mdb")))
    {
        makeProgramFolder();
        common::PercorsoArchivio = archivePath();
        QDir().mkpath(onC(QStringLiteral("In")));
    }

    // The main window showing the register, its row `riga` (1 for the
    // newest flow) selected.
    uimain::frmMain &startOn(qint32 riga)
    {
        start();
        common::RigaSelezionata = riga;
        return *w;
    }

    // A line with texts placed at their columns (1-based), blanks between.
    static QString at(std::initializer_list<std::pair<int, QString>> fields)
    {
        QString line;
        for (const auto &[column, text] : fields) {
            if (line.size() < column - 1)
                line += QString(column - 1 - line.size(), u' ');
            line = line.left(column - 1) + text + line.mid(column - 1 + text.size());
        }
        return line;
    }
    // The header of an answer: type, declarant, line count.
    static QString header(QChar type, const QString &declarant, int lines)
    {
        return at({{1, QStringLiteral("EDI")}, {26, QString(type)}, {51, declarant},
                   {71, QStringLiteral("%1").arg(lines, 5, 10, QChar(u'0'))}});
    }
    // Lines as the service writes them: the code page, each ended by eol.
    static QByteArray file(const QStringList &lines, const QByteArray &eol = "\r\n")
    {
        QByteArray bytes;
        for (const QString &line : lines)
            bytes += platform::toWindows1252(line) + eol;
        return bytes;
    }
    void writeHost(const QString &hostPath, const QByteArray &bytes) const
    {
        QFile f(hostPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // Each register row as "Posizione dd/MM/yyyy Progressivo|NomeFile|CompostoDa|Stato|Tipo|RifFloppy|FattoDa|OK|KO|ND",
    // Null as <null>.
    QStringList registerRows()
    {
        QStringList rows;
        auto rs = db.openRecordset(QStringLiteral("SELECT * FROM Corbix ORDER BY Posizione, Data, Progressivo"));
        auto text = [&](const char *field) {
            const QVariant v = rs->value(QString::fromLatin1(field));
            return v.isNull() ? QStringLiteral("<null>") : v.toString();
        };
        for (; !rs->eof(); rs->moveNext())
            rows << QStringList{QStringLiteral("%1 %2 %3")
                                    .arg(rs->value(QStringLiteral("Posizione")).toInt())
                                    .arg(rs->value(QStringLiteral("Data")).toDate().toString(QStringLiteral("dd/MM/yyyy")))
                                    .arg(rs->value(QStringLiteral("Progressivo")).toInt()),
                                text("NomeFile"), text("CompostoDa"), text("Stato"), text("Tipo"), text("RifFloppy"),
                                text("FattoDa"), text("OK"), text("KO"), text("ND")}
                        .join(u'|');
        return rows;
    }

    dao::Database program;
    platform::FakeClock clock_;
    platform::ScopedClock clockGuard_{clock_};
    uimain::RecordingFileDialogService dialogs_;
    uimain::ScopedFileDialogService dialogsGuard_{dialogs_};
};

namespace platform {
inline void PrintTo(const Message &m, std::ostream *out)
{
    *out << '{' << m.text.toStdString() << " | " << m.title.toStdString() << " | icon " << int(m.icon)
         << " | buttons " << int(m.buttons) << " | default " << m.defaultButton << '}';
}
}  // namespace platform
