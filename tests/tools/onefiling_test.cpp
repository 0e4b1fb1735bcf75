// A declaration goes into one flow only: on the sample's program folder, the
// composition of declarations 1, 3 and 5 of 010101Z meets another
// workstation's composition of the same declarations, made by a process of
// its own between the wizard's list and the filing, or racing another to the
// filing. One files; the other files nothing, says which
// declarations were taken, and leaves no file and no row of its own.
#include "sampledata/sampledata.h"

#include "common/globals.h"
#include "common/settings.h"
#include "flowengine/options.h"
#include "platform/clock.h"
#include "platform/dao/recordset.h"
#include "platform/drives.h"
#include "platform/messagebox.h"
#include "support/doubles/fakeclock.h"
#include "support/doubles/recordingmessagebox.h"
#include "support/tempdir.h"
#include "support/wizardfinish.h"
#include "ui/main/frmcomposenew.h"
#include "ui/main/frmfaicorbex.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <ostream>

// Texts in failure messages as they read.
inline void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;
using testsupport::clickAsUser;

namespace {

const Message Taken{QStringLiteral("Nel frattempo le dichiarazioni seguenti sono state inserite in un altro corbex:\r\n"
                                   "N° 1 del 04/03/2024, rif. doganale 00001TO\r\n"
                                   "N° 3 del 04/03/2024, rif. doganale 00003TO\r\n"
                                   "N° 5 del 04/03/2024, rif. doganale 00005TO\r\n"
                                   "Il corbex non è stato archiviato. Ripetere la composizione."),
                    QStringLiteral("Corbix doganali"), MsgIcon::Exclamation, MsgButtons::OK, 1};

const QString Composed = QStringLiteral("1-04/03/2024-00001TO\r\n3-04/03/2024-00003TO\r\n5-04/03/2024-00005TO\r\n");

struct Ran {
    int code = -1;
    QString err;
};

class OneFiling : public ::testing::Test {
protected:
    ~OneFiling() override { common::resetGlobals(); }

    // A fresh sample program folder, the one the application runs in, made
    // by the sample tool's own process on this computer's name, as the other
    // workstation's process sees it too.
    void prepare(const QString &name)
    {
        folder_ = dir_.file(name);
        ASSERT_EQ(QProcess::execute(QStringLiteral(CORBIX_SAMPLE_DATA), {folder_}), 0);
        drivesGuard_.reset();
        drives_.emplace(folder_);
        drivesGuard_.emplace(*drives_);
        common::resetGlobals();
        common::CartellaProgramma = folder_ + u'/';
        ASSERT_TRUE(common::LeggiIni() && flowengine::CaricaOpzioni());
    }

    // The other workstation's composition of the same declarations, whole.
    QProcess *otherComposition(const QString &road)
    {
        auto *p = new QProcess;
        others_.emplace_back(p);
        p->start(QStringLiteral(CORBIX_CRASH_RUN), {folder_, road});
        return p;
    }
    static Ran ended(QProcess *p)
    {
        EXPECT_TRUE(p->waitForFinished(60000));
        return {p->exitCode(), QString::fromLocal8Bit(p->readAllStandardError())};
    }

    // The wizard on the declarations of 010101Z, listed and ticked, with the
    // destination chosen: the medium, or "Corbix in uscita" with number 7.
    std::unique_ptr<uimain::frmComposeNew> listed(bool toFolder)
    {
        auto w = testsupport::wizardOnStep3(sampledata::Dichiarante1);
        if (toFolder) {
            clickAsUser(w->optWriteInDir);
            clickAsUser(w->cmdNextEnd);
            EXPECT_EQ(w->PassoCorrente, 4);
            w->cmbCustomOfficeCode->setEditText(QStringLiteral("012100"));
            w->txtProgNumber->setText(QStringLiteral("7"));
            w->txtPathXCorbex->setText(QStringLiteral("C:\\Corbix\\Corbix in uscita"));
        }
        return w;
    }

    // Every register row as "Posizione/Progressivo/Stato/Tipo/RifFloppy/CompostoDa".
    QStringList register_()
    {
        dao::Database archive = dao::Database::open(folder_ + QStringLiteral("/Archivio.mdb"));
        auto rs = archive.openRecordset(QStringLiteral("SELECT Posizione, Progressivo, Stato, Tipo, RifFloppy, "
                                                       "CompostoDa FROM Corbix ORDER BY Posizione, Progressivo"));
        QStringList rows;
        for (; !rs->eof(); rs->moveNext()) {
            QStringList row;
            for (int c = 0; c < 6; ++c)
                row << (rs->value(c).isNull() ? QStringLiteral("<null>") : rs->value(c).toString());
            rows << row.join(u'/');
        }
        return rows;
    }
    QString stati()
    {
        dao::Database archive = dao::Database::open(folder_ + QStringLiteral("/Archivio.mdb"));
        auto rs = archive.openRecordset(QStringLiteral("SELECT Stato1 FROM IndiceDoc ORDER BY Indice"));
        QString out;
        for (; !rs->eof(); rs->moveNext())
            out += rs->value(0).toString();
        return out;
    }
    QStringList entries(const QString &sub) const
    {
        return QDir(folder_ + u'/' + sub).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    // The files of the run in TEMP that are not the build's own (the built
    // flow and its error log, kept as a refused composition keeps them).
    QStringList tempLeftovers() const
    {
        QStringList out;
        for (const QString &name : entries(QStringLiteral("Corbix/TEMP")))
            if (!name.startsWith(QLatin1String("Vordama")))
                out << name;
        return out;
    }

    testsupport::TempDir dir_;
    QString folder_;
    platform::RecordingMessageBoxService boxes_;
    platform::ScopedMessageBoxService boxesGuard_{boxes_};
    platform::FakeClock clock_;
    platform::ScopedClock clockGuard_{clock_};
    std::optional<platform::DriveTable> drives_;
    std::optional<platform::ScopedDriveTable> drivesGuard_;
    std::vector<std::unique_ptr<QProcess>> others_;
};

}  // namespace

// The wizard lists the declarations; meanwhile the other workstation files
// them on the removable medium; the wizard's own filing, to the medium or to
// a folder, then files nothing.
TEST_F(OneFiling, DeclarationsFiledElsewhereAfterTheWizardListedThemAreNotFiledAgain)
{
    for (const bool toFolder : {false, true}) {
        SCOPED_TRACE(toFolder ? "folder" : "medium");
        prepare(toFolder ? QStringLiteral("cartella") : QStringLiteral("supporto"));
        auto w = listed(toFolder);
        const Ran other = ended(otherComposition(QStringLiteral("medium")));
        ASSERT_EQ(other.code, 0) << other.err.toStdString();
        const QStringList theirs = register_();
        ASSERT_EQ(theirs, QStringList{QStringLiteral("3/1/1/1/PRATICHE.001/") + Composed});
        boxes_.shown.clear();
        testsupport::finishWizard(*w, [](uimain::frmFaiCorbex &f) { clickAsUser(f.cmdConfirm); });
        ASSERT_FALSE(boxes_.shown.empty());
        EXPECT_EQ(boxes_.shown.back(), Taken);
        // Nothing of this composition is filed: no row (the folder's
        // reservation is gone), no file, the other's marks as they were.
        EXPECT_EQ(register_(), theirs);
        EXPECT_EQ(stati(), QStringLiteral("20202"));
        EXPECT_EQ(entries(QStringLiteral("Corbix/Corbix inviati")), QStringList{QStringLiteral("20260115-0")});
        EXPECT_EQ(entries(QStringLiteral("Corbix/Corbix in uscita")), QStringList());
        EXPECT_EQ(entries(QStringLiteral("supporto")), QStringList{QStringLiteral("PRATICHE.001")});
        EXPECT_EQ(tempLeftovers(), QStringList());
    }
}

// Two workstations compose and file the same declarations at once, each
// the whole composition of a medium flow in a process of its own: one flow
// holds them, the other files nothing and says why.
TEST_F(OneFiling, TwoFilingsRacingForTheSameDeclarationsFileThemOnce)
{
    prepare(QStringLiteral("gara"));
    const QString selection = dir_.write(QStringLiteral("selezione"),
                                         "T\r\n010101Z         \r\n3\r\n2024/03/04-000000001\r\n"
                                         "2024/03/04-000000003\r\n2024/03/04-000000005\r\n");
    std::vector<QProcess *> runs;
    for (const char *out : {"uscita1", "uscita2"}) {
        auto *p = new QProcess;
        others_.emplace_back(p);
        p->start(QStringLiteral(CORBIX_BUILD_FLOW),
                 {folder_, selection, dir_.file(QString::fromLatin1(out)), QStringLiteral("--destination"),
                  QStringLiteral("2"), QStringLiteral("--whole-run"), QStringLiteral("--today"),
                  QStringLiteral("2026-01-15")});
        runs.push_back(p);
    }
    const Ran first = ended(runs[0]), second = ended(runs[1]);
    ASSERT_EQ(first.code + second.code, 1) << first.err.toStdString() << second.err.toStdString();
    const Ran &lost = first.code == 0 ? second : first;
    EXPECT_TRUE(lost.err.contains(Taken.text)) << lost.err.toStdString();
    // The whole run files a medium flow without writing the medium; its
    // archive copy is the one there, under the first name or the next (the
    // other run may have held the first for a while).
    EXPECT_EQ(register_(), QStringList{QStringLiteral("3/1/1/1/<null>/") + Composed});
    EXPECT_EQ(stati(), QStringLiteral("20202"));
    const QStringList sent = entries(QStringLiteral("Corbix/Corbix inviati"));
    ASSERT_EQ(sent.size(), 1) << sent.join(u' ').toStdString();
    dao::Database archive = dao::Database::open(folder_ + QStringLiteral("/Archivio.mdb"));
    auto rs = archive.openRecordset(QStringLiteral("SELECT NomeFile FROM Corbix"));
    EXPECT_EQ(rs->value(0).toString().section(u'\\', -1), sent[0]);
    EXPECT_EQ(entries(QStringLiteral("Corbix/TEMP")), QStringList());
}
