#include "common/openretry.h"

#include "common/archiveschema.h"
#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "support/doubles/fakeclock.h"
#include "support/doubles/recordingmessagebox.h"
#include "support/otherprogram.h"
#include "support/tempdir.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>

using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

using testsupport::OtherProgram;

// A test clock that lets something happen at a given pause.
class EventClock : public platform::FakeClock {
public:
    void sleepMs(int ms) override
    {
        FakeClock::sleepMs(ms);
        if (sleeps == atSleep && event)
            event();
    }
    int atSleep = 0;
    std::function<void()> event;
};

class OpenRecordsetRetryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = dir.file(QStringLiteral("Archivio.mdb"));
        common::createArchive(path).execute(
            QStringLiteral("INSERT INTO Corbix (Posizione, Data, Progressivo, FattoDa) VALUES (3, ?, 1, ?)"),
            {QDate(2024, 3, 4), QStringLiteral("DICH01")}, dao::FailOnError);
        db = dao::Database::open(path);
    }

    testsupport::TempDir dir;
    QString path;
    dao::Database db;
    EventClock clock;
    platform::ScopedClock scopedClock{clock};
    platform::RecordingMessageBoxService boxes;
    platform::ScopedMessageBoxService scopedBoxes{boxes};
};

TEST_F(OpenRecordsetRetryTest, OpensAndDeniesOthersWhileOpen)
{
    std::unique_ptr<dao::Recordset> rs;
    EXPECT_EQ(common::OpenRecordsetRetry(db, rs, QStringLiteral("SELECT * FROM Corbix WHERE FattoDa = ?"),
                                         {QStringLiteral("DICH01")}, common::TimeoutOneMinute),
              0);
    ASSERT_NE(rs, nullptr);
    EXPECT_EQ(rs->recordCount(), 1);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(clock.sleeps, 0);

    OtherProgram other(path);
    EXPECT_EQ(other.exec("UPDATE Corbix SET Stato = 1") & 0xff, SQLITE_BUSY);
    rs->close();
    EXPECT_EQ(other.exec("UPDATE Corbix SET Stato = 1"), SQLITE_OK);
}

TEST_F(OpenRecordsetRetryTest, LockedLongerThanTheTimeoutGivesUpWithItsMessage)
{
    OtherProgram other(path);
    ASSERT_EQ(other.exec("BEGIN IMMEDIATE"), SQLITE_OK);
    auto previous = db.openRecordset(QStringLiteral("SELECT * FROM Paramflu"));
    dao::Recordset *before = previous.get();

    EXPECT_EQ(common::OpenRecordsetRetry(db, previous, QStringLiteral("SELECT * FROM Corbix WHERE FattoDa = ?"),
                                         {QStringLiteral("DICH01")}, common::TimeoutTenSeconds),
              -2);
    EXPECT_EQ(previous.get(), before);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0],
              (Message{QStringLiteral("I dati richiesti nell'interrogazione 'SELECT * FROM Corbix WHERE FattoDa = "
                                      "\"DICH01\"' risultano bloccati da troppo tempo. Chiudere e riavviare tutte le "
                                      "applicazioni che accedono alla base di dati '")
                           + path + QStringLiteral("'."),
                       QStringLiteral("Corbix"), MsgIcon::Critical, MsgButtons::OK, 1}));
    // It waited the whole timeout, resting between attempts, and no longer.
    EXPECT_GT(clock.monotonicMs(), 10'000);
    EXPECT_LE(clock.monotonicMs(), 10'100);
    EXPECT_GT(clock.sleeps, 10);
}

TEST_F(OpenRecordsetRetryTest, LockReleasedBeforeTheDeadlineOpensSilently)
{
    OtherProgram other(path);
    ASSERT_EQ(other.exec("BEGIN IMMEDIATE"), SQLITE_OK);
    clock.atSleep = 5;
    clock.event = [&] { other.exec("COMMIT"); };

    std::unique_ptr<dao::Recordset> rs;
    EXPECT_EQ(common::OpenRecordsetRetry(db, rs, QStringLiteral("SELECT * FROM Corbix"), {}, common::TimeoutOneMinute),
              0);
    ASSERT_NE(rs, nullptr);
    EXPECT_EQ(rs->recordCount(), 1);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(clock.sleeps, 5);
}

TEST_F(OpenRecordsetRetryTest, MissingTableAbandonsAtTheFirstAttempt)
{
    std::unique_ptr<dao::Recordset> rs;
    EXPECT_EQ(common::OpenRecordsetRetry(db, rs, QStringLiteral("SELECT * FROM Inesistente WHERE Codice = ?"),
                                         {QStringLiteral("X")}, common::TimeoutOneMinute),
              -1);
    EXPECT_EQ(rs, nullptr);
    EXPECT_EQ(clock.sleeps, 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0],
              (Message{QStringLiteral("Errore di applicazione: la tabella 'SELECT * FROM Inesistente WHERE Codice = "
                                      "\"X\"' non risulta definita nel DataBase '")
                           + path + QStringLiteral("'."),
                       QStringLiteral("Corbix doganali"), MsgIcon::Critical, MsgButtons::OK, 1}));
    // The lock taken for the attempt is given back.
    OtherProgram other(path);
    EXPECT_EQ(other.exec("UPDATE Corbix SET Stato = 1"), SQLITE_OK);
}

TEST_F(OpenRecordsetRetryTest, MalformedQueryShowsNumberAndDescriptionOnTwoLines)
{
    std::unique_ptr<dao::Recordset> rs;
    const QString sql = QStringLiteral("SELECT * FROM Corbix WHERE Stato = = 1");
    EXPECT_EQ(common::OpenRecordsetRetry(db, rs, sql, {}, common::TimeoutOneMinute), -3);
    EXPECT_EQ(rs, nullptr);
    EXPECT_EQ(clock.sleeps, 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0],
              (Message{QStringLiteral("Errore di Run-rime 3075\r\nErrore di sintassi (operatore mancante) "
                                      "nell'espressione della query '")
                           + sql + QStringLiteral("'."),
                       QStringLiteral("Corbix doganali"), MsgIcon::Critical, MsgButtons::OK, 1}));
}

TEST(NullConversion, NullToStr)
{
    struct Case {
        QVariant value;
        QString text;
    };
    const Case cases[] = {
        {QVariant(), QString()},
        {QVariant(QString()), QString()},
        {QVariant(QStringLiteral(" ")), QStringLiteral(" ")},
        {QVariant(qlonglong(255)), QStringLiteral("255")},
        {QVariant(-12.5), QStringLiteral("-12,5")},
        {QVariant(QDate(2024, 3, 4)), QStringLiteral("04/03/2024")},
        {QVariant(QDateTime(QDate(2024, 3, 4), QTime(9, 5, 7))), QStringLiteral("04/03/2024 09:05:07")},
        {QVariant(true), QStringLiteral("True")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(common::NullToStr(c.value), c.text) << c.text.toStdString();
}

TEST(NullConversion, StrToNull)
{
    EXPECT_TRUE(common::StrToNull(QString()).isNull());
    EXPECT_TRUE(common::StrToNull(QStringLiteral("")).isNull());
    EXPECT_EQ(common::StrToNull(QStringLiteral(" ")), QVariant(QStringLiteral(" ")));
    EXPECT_EQ(common::StrToNull(QStringLiteral("A:")), QVariant(QStringLiteral("A:")));
}

}  // namespace
