#pragma once

#include "flowengine/archive_fixture.h"
#include "flowengine/fixture.h"

#include "common/archiveschema.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "programdatabase/programdatabase.h"
#include "sampledata/sampledata.h"
#include "support/doubles/fakeclock.h"


// A clock whose every reading of the monotonic counter comes step ms after
// the one before.
class SteppingClock : public platform::FakeClock {
public:
    explicit SteppingClock(qint64 step) : step_(step) {}
    qint64 monotonicMs() const override { return counter_ += step_; }

private:
    qint64 step_;
    mutable qint64 counter_ = 0;
};

// A program folder ready for composing flows: the sample archive and record
// layouts, the collection point C:\Corbix\ with its five folders, the
// removable medium A: at a folder of the test, and a clock standing at
// 15 January 2026, 10:00.
class ComposeTest : public FlowEngineTest {
protected:
    ComposeTest()
    {
        dao::Database archive = dao::Database::open(archiveHost());
        sampledata::fillArchive(archive);
        archive.execute(QStringLiteral("UPDATE Paramflu SET Centrale = ?"), {QStringLiteral("C:\\Corbix\\")},
                        dao::FailOnError);
        archive.close();
        dao::Database program = common::createProgramDatabase(common::CartellaProgramma + QStringLiteral("Corbix.mdb"));
        programdatabase::fillProgramDatabase(program);
        program.close();
        makeFolders(onC(QStringLiteral("Corbix")), {QStringLiteral("Corbix in uscita"), QStringLiteral("Corbix inviati"),
                                                    QStringLiteral("Risposte Pervenute"), QStringLiteral("Storico"),
                                                    QStringLiteral("TEMP")});
        QDir().mkpath(tmp_.file(QStringLiteral("floppy")));
        drives_.setDrive(u'a', tmp_.file(QStringLiteral("floppy")));
        common::OpzioniCorbix.Centrale = QStringLiteral("C:\\Corbix\\");
        common::OpzioniCorbix.FloppyDevice = QStringLiteral("A:");
        common::OpzioniCorbix.UserDir = QStringLiteral("C:\\");
        common::OpzioniCorbix.SendWith = common::CanaleInvio::RichiediSempre;
    }

    QDate today() const { return clock_.now().date(); }
    QString inCorbix(const QString &name) const { return onC(QStringLiteral("Corbix/") + name); }
    QString onFloppy(const QString &name) const { return tmp_.file(QStringLiteral("floppy/") + name); }
    QString text(const QString &hostPath) const { return platform::fromWindows1252(bytes(hostPath)); }

    // Every register row as "Posizione/Data/Progressivo/NomeFile/CompostoDa/Stato/Tipo/RifFloppy/FattoDa",
    // Null shown as <null>, CR LF as "|".
    QStringList register_()
    {
        dao::Database db = dao::Database::open(archiveHost());
        auto rs = db.openRecordset(QStringLiteral("SELECT * FROM Corbix ORDER BY Data, Progressivo, Posizione"), {},
                                   dao::RecordsetType::Snapshot);
        QStringList out;
        for (; !rs->eof(); rs->moveNext()) {
            QStringList row;
            for (const char *f : {"Posizione", "Data", "Progressivo", "NomeFile", "CompostoDa", "Stato", "Tipo",
                                  "RifFloppy", "FattoDa"}) {
                const QVariant v = rs->value(QString::fromLatin1(f));
                row << (v.isNull() ? QStringLiteral("<null>")
                                   : v.typeId() == QMetaType::QDate ? v.toDate().toString(Qt::ISODate)
                                                                     : v.toString().replace(QStringLiteral("\r\n"),
                                                                                            QStringLiteral("|")));
            }
            out << row.join(u'/');
        }
        return out;
    }
    // Stato1 of the sample declarations 1 to 5, as one text.
    QString stati()
    {
        dao::Database db = dao::Database::open(archiveHost());
        auto rs = db.openRecordset(QStringLiteral("SELECT Stato1 FROM IndiceDoc ORDER BY Indice"), {},
                                   dao::RecordsetType::Snapshot);
        QString out;
        for (; !rs->eof(); rs->moveNext())
            out += rs->value(0).toString();
        return out;
    }
    platform::Message box(const QString &text, const QString &title, platform::MsgIcon icon,
                          platform::MsgButtons buttons = platform::MsgButtons::OK, int defaultButton = 1) const
    {
        return {text, title, icon, buttons, defaultButton};
    }
    // Declarations like sample declaration 1 (a C1 of 010101Z), numbered from first.
    void copiesOfDeclaration1(int first, int count)
    {
        for (int k = 0; k < count; ++k) {
            const int offset = first - 1 + k;
            execute(QStringLiteral("INSERT INTO IndiceDoc SELECT Indice + ?, Data, CodiceDoc, Stato1, ultimadata FROM "
                                   "IndiceDoc WHERE Indice = 1"),
                    {offset});
            execute(QStringLiteral("INSERT INTO DettaglioBol SELECT Indice + ?, Data, Articolo, Modulo, Campo, "
                                   "SottoCasella, Riga, Contenuto, MaxLung, Corretto, Gestito, Controllato FROM "
                                   "DettaglioBol WHERE Indice = 1"),
                    {offset});
        }
    }
    QStringList shownTexts() const
    {
        QStringList out;
        for (const platform::Message &m : boxes_.shown)
            out << m.text;
        return out;
    }

    platform::FakeClock clock_;
    platform::ScopedClock clockGuard_{clock_};
};
