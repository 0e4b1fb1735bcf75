// The openers name a database in their messages as the program keeps it,
// never by the host path the drive table gives it.
#include "common/databases.h"

#include "common/archiveschema.h"
#include "common/openretry.h"
#include "fixture.h"
#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "support/doubles/fakeclock.h"
#include "support/doubles/recordingmessagebox.h"
#include "support/otherprogram.h"

#include <QDate>
#include <sqlite3.h>

using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

const QString Archivio = QStringLiteral("C:\\Archivio.mdb");

class Databases : public CommonTest {
protected:
    Databases() { common::PercorsoArchivio = Archivio; }

    // The number and description of what opening the archive raises.
    static std::pair<int, QString> aprendo()
    {
        try {
            common::ApriArchivio().close();
        } catch (const platform::RuntimeError &e) {
            return {e.number(), e.description()};
        }
        return {0, {}};
    }

    platform::FakeClock clock;
    platform::ScopedClock scopedClock{clock};
    platform::RecordingMessageBoxService boxes;
    platform::ScopedMessageBoxService scopedBoxes{boxes};
};

TEST_F(Databases, AnArchiveThatCannotBeOpenedIsNamedByItsPath)
{
    EXPECT_EQ(aprendo(), std::make_pair(3024, QStringLiteral("Impossibile trovare il file 'C:\\Archivio.mdb'.")));
    QFile testo(onC(QStringLiteral("Archivio.mdb")));
    ASSERT_TRUE(testo.open(QIODevice::WriteOnly));
    testo.write(QByteArray(200, 'x'));
    testo.close();
    EXPECT_EQ(aprendo(),
              std::make_pair(3343, QStringLiteral("Formato di database 'C:\\Archivio.mdb' non riconosciuto.")));
    // A database opened by a caller on its host path keeps that name.
    common::PercorsoArchivio = onC(QStringLiteral("Archivio.mdb"));
    EXPECT_EQ(aprendo(), std::make_pair(3343, QStringLiteral("Formato di database '") + onC(QStringLiteral("Archivio.mdb"))
                                                  + QStringLiteral("' non riconosciuto.")));
}

// The program database is found in the program folder whatever the letter
// case of its name; a missing one is named as the program folder holds it.
TEST_F(Databases, TheProgramDatabaseIsFoundWithoutRegardToCase)
{
    EXPECT_THROW(common::ApriDatabaseProgramma(), platform::RuntimeError);
    const QString trovato = common::CartellaProgramma + QStringLiteral("CORBIX.MDB");
    common::createProgramDatabase(trovato).close();
    dao::Database db = common::ApriDatabaseProgramma();
    EXPECT_EQ(db.name(), trovato);
    EXPECT_TRUE(db.hasTable(QStringLiteral("Tracciati")));
    EXPECT_EQ(entries(common::CartellaProgramma).filter(QStringLiteral(".mdb"), Qt::CaseInsensitive),
              QStringList{QStringLiteral("CORBIX.MDB")});
}

TEST_F(Databases, TheOpenWithRetryNamesTheArchiveAndShowsADateOnce)
{
    common::createArchive(onC(QStringLiteral("Archivio.mdb"))).close();
    dao::Database db = common::ApriArchivio();
    EXPECT_EQ(db.name(), Archivio);
    testsupport::OtherProgram other(onC(QStringLiteral("Archivio.mdb")));
    ASSERT_EQ(other.exec("BEGIN IMMEDIATE"), SQLITE_OK);
    std::unique_ptr<dao::Recordset> rs;
    EXPECT_EQ(common::OpenRecordsetRetry(db, rs,
                                         QStringLiteral("SELECT * FROM Corbix WHERE Data = DateValue(?) AND "
                                                        "Progressivo = ?"),
                                         {QDate(2026, 12, 10), 7}, common::TimeoutTenSeconds),
              -2);
    other.exec("ROLLBACK");
    EXPECT_EQ(common::OpenRecordsetRetry(db, rs, QStringLiteral("SELECT * FROM Mancante WHERE Data = DateValue(?)"),
                                         {QDate(2026, 12, 10)}, common::TimeoutTenSeconds),
              -1);
    EXPECT_EQ(boxes.shown,
              (std::vector<Message>{
                  {QStringLiteral("I dati richiesti nell'interrogazione 'SELECT * FROM Corbix WHERE Data = "
                                  "DateValue('10/12/2026') AND Progressivo = 7' risultano bloccati da troppo tempo. "
                                  "Chiudere e riavviare tutte le applicazioni che accedono alla base di dati "
                                  "'C:\\Archivio.mdb'."),
                   QStringLiteral("Corbix"), MsgIcon::Critical, MsgButtons::OK, 1},
                  {QStringLiteral("Errore di applicazione: la tabella 'SELECT * FROM Mancante WHERE Data = "
                                  "DateValue('10/12/2026')' non risulta definita nel DataBase 'C:\\Archivio.mdb'."),
                   QStringLiteral("Corbix doganali"), MsgIcon::Critical, MsgButtons::OK, 1}}));
}

}  // namespace
