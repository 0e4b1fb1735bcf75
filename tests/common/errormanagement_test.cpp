#include "common/errormanagement.h"

#include "common/centraform.h"
#include "common/errordialog.h"

#include "common/globals.h"
#include "platform/busywait.h"
#include "platform/clock.h"
#include "platform/dao/database.h"
#include "platform/dao/recordset.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "support/doubles/fakeclock.h"
#include "support/doubles/recordingerrordialog.h"
#include "support/doubles/recordingmessagebox.h"
#include "support/otherprogram.h"
#include "support/tempdir.h"
#include "support/asuser.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

using namespace common;
using platform::MsgResult;
using testsupport::clickAsUser;
using testsupport::keyClickAsUser;

namespace {

const QString kTitle = QStringLiteral("GESTIONE DEGLI ERRORI");


// An archive with an empty table Prova, open in this program and held
// locked by another.
struct LockedArchive {
    LockedArchive() { EXPECT_EQ(other.exec(QStringLiteral("BEGIN EXCLUSIVE")), SQLITE_OK); }
    static QString made(const testsupport::TempDir &tmp)
    {
        const QString path = tmp.file(QStringLiteral("archivio.mdb"));
        dao::Database::create(path).execute(QStringLiteral("CREATE TABLE Prova (Codice TEXT)"));
        return path;
    }
    testsupport::TempDir tmp;
    const QString path = made(tmp);
    dao::Database db = dao::Database::open(path);
    testsupport::OtherProgram other{path};
};

class ErrorManagementTest : public ::testing::Test {
protected:
    ErrorManagementTest() : clockGuard_(clock_), boxesGuard_(boxes_) { resetGlobals(); }
    ~ErrorManagementTest() override { resetGlobals(); }

    qint16 lock(const QString &procedure)
    {
        return GestioneErrori(3261, platform::errorDescription(3261, {QStringLiteral("Corbix")}), procedure);
    }

    platform::FakeClock clock_;
    platform::ScopedClock clockGuard_;
    RecordingErrorDialogService boxes_;
    ScopedErrorDialogService boxesGuard_;
};

TEST_F(ErrorManagementTest, LockIsRetriedSilentlyForFifteenSeconds)
{
    EXPECT_EQ(lock(QStringLiteral("P")), 0);
    EXPECT_EQ(CicloAttesa.Funzione, QStringLiteral("P"));
    clock_.advanceMs(14999);
    EXPECT_EQ(lock(QStringLiteral("P")), 0);
    EXPECT_TRUE(boxes_.shown.empty());

    clock_.advanceMs(1);
    boxes_.answer(MsgResult::Retry);
    EXPECT_EQ(lock(QStringLiteral("P")), 0);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0],
              (QStringLiteral("Si è verificato l'errore  3261\r\n"
                                 "La tabella 'Corbix' è bloccata in modo esclusivo da un altro utente e non può "
                                 "essere letta ora.\r\n"
                                 "(è stato eseguito un ciclo di attesa di 15 secondi)\r\n"
                                 "Funzione: P\r\n"
                                 "Nessun suggerimento")));
    EXPECT_EQ(CicloAttesa.Funzione, QString());

    // The cycle ended with its box: the next lock error starts a fresh one.
    EXPECT_EQ(lock(QStringLiteral("P")), 0);
    EXPECT_EQ(boxes_.shown.size(), 1u);
}

TEST_F(ErrorManagementTest, LockInAnotherProcedureRestartsTheCycle)
{
    EXPECT_EQ(lock(QStringLiteral("P")), 0);
    clock_.advanceMs(10000);
    EXPECT_EQ(lock(QStringLiteral("Q")), 0);
    clock_.advanceMs(10000);
    EXPECT_EQ(lock(QStringLiteral("Q")), 0);
    EXPECT_EQ(lock(QStringLiteral("P")), 0);
    EXPECT_TRUE(boxes_.shown.empty());
    EXPECT_EQ(CicloAttesa.Funzione, QStringLiteral("P"));
}

TEST_F(ErrorManagementTest, SuccessfulRetryDoesNotEndTheCycle)
{
    EXPECT_EQ(lock(QStringLiteral("P")), 0);
    clock_.advanceMs(20000);  // the statement went through, later it meets a lock again
    boxes_.answer(MsgResult::Ignore);
    EXPECT_EQ(lock(QStringLiteral("P")), 1);
    EXPECT_EQ(boxes_.shown.size(), 1u);
}

TEST_F(ErrorManagementTest, MidnightChangesNothing)
{
    clock_.setNow(QDateTime(QDate(2026, 1, 15), QTime(23, 59, 50)));
    EXPECT_EQ(lock(QStringLiteral("P")), 0);
    clock_.advanceMs(10000);
    EXPECT_EQ(lock(QStringLiteral("P")), 0);
    EXPECT_TRUE(boxes_.shown.empty());
    clock_.advanceMs(5000);
    EXPECT_EQ(lock(QStringLiteral("P")), 2);
    EXPECT_EQ(boxes_.shown.size(), 1u);
}

TEST_F(ErrorManagementTest, AllLockNumbersWait)
{
    for (const qint16 number : {3218, 3260, 3261, 3262}) {
        resetGlobals();
        EXPECT_EQ(GestioneErrori(number, QStringLiteral("bloccato"), QStringLiteral("P")), 0) << number;
    }
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(ErrorManagementTest, OtherErrorsShowTheBoxAtOnce)
{
    const struct {
        MsgResult answer;
        qint16 result;
    } cases[] = {{MsgResult::Abort, 2}, {MsgResult::Retry, 0}, {MsgResult::Ignore, 1}};
    for (const auto &c : cases) {
        boxes_.shown.clear();
        boxes_.answer(c.answer);
        EXPECT_EQ(GestioneErrori(3021, QStringLiteral("Nessun record corrente."),
                                 QStringLiteral("Routine di esecuzione comando SQL")),
                  c.result);
        ASSERT_EQ(boxes_.shown.size(), 1u);
        EXPECT_EQ(boxes_.shown[0], (QStringLiteral("Si è verificato l'errore  3021\r\n"
                                                      "Nessun record corrente.\r\n"
                                                      "Funzione: Routine di esecuzione comando SQL\r\n"
                                                      "Nessun suggerimento")));
    }
    boxes_.shown.clear();
    GestioneErrori(-5, QStringLiteral("x"), QStringLiteral("P"));
    EXPECT_EQ(boxes_.shown.at(0),
              QStringLiteral("Si è verificato l'errore -5\r\nx\r\nFunzione: P\r\nNessun suggerimento"));
}

TEST_F(ErrorManagementTest, StepsRetryResumeOrLeaveAsAnswered)
{
    const struct {
        MsgResult answer;
        bool completed;
        const char *trace;
    } cases[] = {
        {MsgResult::Retry, true, "1 2! 2 3"},
        {MsgResult::Ignore, true, "1 2! 3"},
        {MsgResult::Abort, false, "1 2!"},
    };
    for (const auto &c : cases) {
        resetGlobals();
        boxes_.shown.clear();
        boxes_.answer(c.answer);
        QStringList trace;
        bool failed = false;
        const bool completed = runSteps(QStringLiteral("Prova"), {
            [&] { trace << QStringLiteral("1"); },
            [&] {
                if (!failed) {
                    failed = true;
                    trace << QStringLiteral("2!");
                    platform::raise(platform::err::NoCurrentRecord);
                }
                trace << QStringLiteral("2");
            },
            [&] { trace << QStringLiteral("3"); },
        });
        EXPECT_EQ(completed, c.completed);
        EXPECT_EQ(trace.join(u' '), QString::fromLatin1(c.trace));
        ASSERT_EQ(boxes_.shown.size(), 1u);
        EXPECT_TRUE(boxes_.shown[0].endsWith(QStringLiteral("Funzione: Prova\r\nNessun suggerimento")));
    }
}

TEST_F(ErrorManagementTest, StepMeetingALockIsRetriedWithoutAWord)
{
    int attempts = 0;
    const bool completed = runSteps(QStringLiteral("Prova"), {[&] {
        ++attempts;
        if (clock_.monotonicMs() < 3000) {
            clock_.advanceMs(1000);
            platform::raise(platform::err::CouldNotLockTable, {QStringLiteral("Corbix")});
        }
    }});
    EXPECT_TRUE(completed);
    EXPECT_EQ(attempts, 4);
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(ErrorManagementTest, LockHeldOnRestsBetweenAttemptsThenAsksAfterFifteenSeconds)
{
    boxes_.answer(MsgResult::Abort);
    int attempts = 0;
    const bool completed = runSteps(QStringLiteral("Prova"), {[&] {
        ++attempts;
        platform::raise(platform::err::CouldNotLockTable, {QStringLiteral("Corbix")});
    }});
    EXPECT_FALSE(completed);
    EXPECT_EQ(clock_.monotonicMs(), 15000) << "every silent attempt rests 50 ms, on the clock";
    EXPECT_EQ(attempts, 15000 / 50 + 1);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_TRUE(boxes_.shown[0].contains(QStringLiteral("(è stato eseguito un ciclo di attesa di 15 secondi)")));
}

// Another program holds the archive locked. Each attempt of the step waits
// inside the data layer before the lock reaches the error management, the
// clock advancing as the layer sleeps: the box still comes once 15 seconds
// of waiting have passed since the first attempt began to wait, and never
// later, because the cycle's end cuts the layer's own wait short.
TEST_F(ErrorManagementTest, TheSilentCycleCountsTheDataLayersOwnWaits)
{
    struct Asking : RecordingErrorDialogService {
        explicit Asking(const platform::Clock &orologio) : clock(orologio) {}
        platform::MsgResult ask(const QString &text) override
        {
            askedAtMs.push_back(clock.monotonicMs());
            return RecordingErrorDialogService::ask(text);
        }
        const platform::Clock &clock;
        std::vector<qint64> askedAtMs;
    };
    LockedArchive archive;
    dao::Database &db = archive.db;
    testsupport::OtherProgram &other = archive.other;

    const struct {
        const char *operation;
        int number;
        std::function<void()> step;
    } cases[] = {
        {"write", 3218, [&] { db.execute(QStringLiteral("INSERT INTO Prova VALUES ('A')"), {}, dao::FailOnError); }},
        {"read", 3261, [&] { db.openRecordset(QStringLiteral("SELECT * FROM Prova"))->close(); }},
        {"deny", 3262,
         [&] {
             db.openRecordset(QStringLiteral("SELECT * FROM Prova"), {}, dao::RecordsetType::Dynaset,
                              dao::DenyRead | dao::DenyWrite)
                 ->close();
         }},
        {"transaction", 3218, [&] { dao::Transaction(db).commit(); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.operation);
        resetGlobals();
        Asking asking(clock_);
        ScopedErrorDialogService installed(asking);
        asking.answer(MsgResult::Abort);
        const qint64 start = clock_.monotonicMs();
        EXPECT_FALSE(runSteps(QStringLiteral("Prova"), {c.step}));
        ASSERT_EQ(asking.askedAtMs.size(), 1u);
        EXPECT_NEAR(double(asking.askedAtMs[0] - start), 15000.0, 500.0);
        EXPECT_TRUE(asking.shown[0].startsWith(QStringLiteral("Si è verificato l'errore  ") + QString::number(c.number)));
        EXPECT_TRUE(asking.shown[0].contains(QStringLiteral("(è stato eseguito un ciclo di attesa di 15 secondi)")));
    }
    ASSERT_EQ(other.exec(QStringLiteral("ROLLBACK")), SQLITE_OK);
    ASSERT_EQ(other.exec(QStringLiteral("SELECT count(*) FROM Prova")), SQLITE_OK);
    EXPECT_EQ(other.lastRows, QStringList{QStringLiteral("0")});
}

// While another program keeps the archive locked, the program waits 15
// seconds before it asks: from the fifth of a second on the user sees the
// busy cursor, the window is painted at every rest, and a click on its
// button meanwhile is thrown away. The ordinary cursor is back afterwards.
TEST_F(ErrorManagementTest, TheWaitBeforeTheBoxShowsTheBusyCursorKeepsTheWindowPaintedAndRefusesClicks)
{
    struct Watching : platform::FakeClock {
        explicit Watching(QWidget &finestra, QPushButton &pulsante) : window(finestra), button(pulsante) {}
        void sleepMs(int ms) override
        {
            const QCursor *cursor = QGuiApplication::overrideCursor();
            const bool busy = cursor && cursor->shape() == Qt::WaitCursor;
            if (monotonicMs() < platform::BusyWait::ShownAfterMs)
                idleAtFirst = idleAtFirst && !busy;
            else {
                busyAfter = busyAfter && busy;
                ++busyRests;
            }
            FakeClock::sleepMs(ms);
            window.update();
            if (monotonicMs() == 1000)
                clickAsUser(&button);
        }
        QWidget &window;
        QPushButton &button;
        bool idleAtFirst = true;
        bool busyAfter = true;
        int busyRests = 0;
    };
    struct Paints : QObject {
        int count = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            count += event->type() == QEvent::Paint;
            return false;
        }
    };
    QWidget window;
    window.resize(200, 80);
    QPushButton button(QStringLiteral("&Chiudi"), &window);
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] { ++clicks; });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    Paints paints;
    window.installEventFilter(&paints);

    LockedArchive archive;
    dao::Database &db = archive.db;
    testsupport::OtherProgram &other = archive.other;
    Watching clock(window, button);
    platform::ScopedClock guard(clock);
    boxes_.answer(MsgResult::Abort);
    EXPECT_FALSE(runSteps(QStringLiteral("Prova"), {[&] { db.openRecordset(QStringLiteral("SELECT * FROM Prova")); }}));
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_GE(clock.monotonicMs(), AttesaSilenziosaMs);
    EXPECT_TRUE(clock.idleAtFirst);
    EXPECT_TRUE(clock.busyAfter);
    EXPECT_GT(clock.busyRests, 250);
    EXPECT_GE(paints.count, clock.busyRests) << "painted after every rest";
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 0);
    ASSERT_EQ(other.exec(QStringLiteral("ROLLBACK")), SQLITE_OK);
    clickAsUser(&button);
    EXPECT_EQ(clicks, 1);
}

TEST(CentraForm, TwipArithmetic)
{
    EXPECT_EQ(centredPosition(QSize(12000, 9000), QSize(4000, 3000)), QPoint(4000, 3000));
    EXPECT_EQ(centredPosition(QSize(12000, 9000), QSize(14000, 10000)), QPoint(-1000, -500));
}

TEST(CentraForm, CentresAWindowOnItsScreen)
{
    QWidget window;
    window.resize(200, 100);
    window.show();
    CentraForm(&window);
    const QRect screen = window.screen()->geometry();
    const QSize frame = window.frameGeometry().size();
    EXPECT_EQ(window.size(), QSize(200, 100));
    EXPECT_EQ(window.pos(),
              screen.topLeft() + QPoint((screen.width() - frame.width()) / 2, (screen.height() - frame.height()) / 2));
}

// The real dialog, headless: Esc and the close box leave it open; its buttons answer.
TEST(ErrorDialog, OnlyItsThreeButtonsCloseIt)
{
    const struct {
        const char *button;
        qint16 result;
    } cases[] = {{"Interrompi", 2}, {"Riprova", 0}, {"Ignora", 1}};
    for (const auto &c : cases) {
        resetGlobals();
        bool stayedOpen = false;
        QString title, text;
        QStringList labels;
        bool noIcon = false, firstIsDefault = false;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            title = dialog->windowTitle();
            text = dialog->text();
            noIcon = dialog->icon() == QMessageBox::NoIcon;
            for (QAbstractButton *b : dialog->buttons())
                labels << b->text();
            firstIsDefault = dialog->defaultButton() && dialog->defaultButton()->text() == QStringLiteral("Interrompi");
            keyClickAsUser(dialog, Qt::Key_Escape);
            dialog->close();
            stayedOpen = dialog->isVisible();
            for (QAbstractButton *b : dialog->buttons())
                if (b->text() == QString::fromLatin1(c.button))
                    clickAsUser(b);
        });
        EXPECT_EQ(GestioneErrori(3021, QStringLiteral("Nessun record corrente."), QStringLiteral("P")), c.result)
            << c.button;
        EXPECT_TRUE(stayedOpen) << c.button;
        EXPECT_EQ(title, kTitle);
        EXPECT_EQ(text, QStringLiteral("Si è verificato l'errore  3021\r\nNessun record corrente.\r\nFunzione: P\r\n"
                                       "Nessun suggerimento"));
        EXPECT_TRUE(noIcon);
        EXPECT_EQ(labels, (QStringList{QStringLiteral("Interrompi"), QStringLiteral("Riprova"), QStringLiteral("Ignora")}));
        EXPECT_TRUE(firstIsDefault);
    }
}

// A program without windows: the box goes through the message box, whose
// default there, Abort, leaves the procedure.
TEST(ErrorDialog, WithoutWindowsTheBoxGoesThroughTheMessageBoxAndLeaves)
{
    resetGlobals();
    UnattendedErrorDialogService unattended;
    ScopedErrorDialogService dialogGuard(unattended);
    platform::RecordingMessageBoxService boxes;
    platform::ScopedMessageBoxService boxesGuard(boxes);
    EXPECT_EQ(GestioneErrori(3021, QStringLiteral("Nessun record corrente."), QStringLiteral("P")), Abbandona);
    const QString text = QStringLiteral("Si è verificato l'errore  3021\r\nNessun record corrente.\r\nFunzione: P\r\n"
                                        "Nessun suggerimento");
    EXPECT_EQ(boxes.shown, (std::vector<platform::Message>{{text, kTitle, platform::MsgIcon::None,
                                                            platform::MsgButtons::AbortRetryIgnore, 1}}));
    resetGlobals();
}

}  // namespace
