#include "compose_fixture.h"

#include "common/globals.h"
#include "platform/busywait.h"
#include "support/asuser.h"
#include "support/doubles/fakeclock.h"
#include "support/wizardfinish.h"
#include "ui/main/frmfaicorbex.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QWindow>

using namespace uimain;
using testsupport::keyClickAsUser;

namespace {

// What the screen puts on the display each time its declaration label is
// painted: "declaration|bar|errors", and whether the window was exposed.
class Painted : public QObject {
public:
    explicit Painted(frmFaiCorbex &screen) : screen_(screen) { screen.lblDescrDich->installEventFilter(this); }

    QStringList shown;
    bool exposed = true;
    // Called at the first painting of a declaration.
    std::function<void()> onFirstDeclaration;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            exposed = exposed && screen_.windowHandle()->isExposed();
            shown << screen_.lblDescrDich->text() + u'|' + QString::number(screen_.prbProcess->value()) + u'|'
                         + screen_.lblNumeroErrori->text();
            if (!screen_.lblDescrDich->text().isEmpty() && onFirstDeclaration)
                std::exchange(onFirstDeclaration, nullptr)();
        }
        return false;
    }

private:
    frmFaiCorbex &screen_;
};

class BuildScreen : public ComposeTest {
protected:
    BuildScreen()
    {
        corbex.TestoSelezione = QStringLiteral("T\r\nDICH01          \r\n3\r\n2024/03/04-000000001\r\n"
                                               "2024/03/04-000000002\r\n2024/03/04-000000005\r\n");
        corbex.DestinazioneCorbex = flowengine::Destinazione::Cartella;
        corbex.data = today();
        common::OpzioniCorbix.PreventCheck = true;
    }

    // What the wizard hands the screen.
    RichiestaCorbex corbex;

    // Opens the screen as the composition does and lets it build its flow;
    // atOutcome runs once the screen shows how the build went and waits for
    // the user, and the screen is closed after it unless it closed itself.
    void build(frmFaiCorbex &screen, const std::function<void()> &atOutcome = [] {})
    {
        testsupport::AtBuildOutcome outcome(screen, atOutcome);
        screen.open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
        ASSERT_TRUE(QTest::qWaitFor([&] { return outcome.acted; }, 5000));
        EXPECT_EQ(screen.windowTitle(), QStringLiteral("Preparazione corbex completata"));
    }
};

}  // namespace

TEST_F(BuildScreen, IsPaintedBeforeTheBuildAndAfterEachDeclaration)
{
    SteppingClock clock(platform::BusyWait::PaintIntervalMs);
    platform::ScopedClock guard(clock);
    frmFaiCorbex screen(corbex);
    Painted painted(screen);
    build(screen);
    EXPECT_TRUE(painted.exposed);
    EXPECT_EQ(painted.shown, QStringList({QStringLiteral("|-1|"), QStringLiteral("1 04/03/2024|1|0"),
                                          QStringLiteral("2 04/03/2024|2|0"), QStringLiteral("5 04/03/2024|3|0")}));
    EXPECT_EQ(screen.prbProcess->maximum(), 3);
}

TEST_F(BuildScreen, AttendsToTheDisplayAtMostEveryInterval)
{
    // A timer set at the first declaration fires at the screen's next turn to
    // the display: during the build when the interval has passed, after it when
    // the clock stands still.
    for (const qint64 step : {qint64(platform::BusyWait::PaintIntervalMs), qint64(0)}) {
        SCOPED_TRACE(step);
        SteppingClock clock(step);
        platform::ScopedClock guard(clock);
        frmFaiCorbex screen(corbex);
        Painted painted(screen);
        QString title;
        painted.onFirstDeclaration = [&] { QTimer::singleShot(0, &screen, [&] { title = screen.windowTitle(); }); };
        build(screen);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !title.isEmpty(); }, 1000));
        EXPECT_EQ(title, step ? QStringLiteral("Preparazione corbex in corso")
                              : QStringLiteral("Preparazione corbex completata"));
    }
}

TEST_F(BuildScreen, RefusesKeysClicksAndClosingWhileItBuilds)
{
    SteppingClock clock(platform::BusyWait::PaintIntervalMs);
    platform::ScopedClock guard(clock);
    frmFaiCorbex screen(corbex);
    Painted painted(screen);
    painted.onFirstDeclaration = [&] {
        const QPointF centre = QRectF(screen.rect()).center();
        QCoreApplication::postEvent(&screen, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        QCoreApplication::postEvent(&screen, new QMouseEvent(QEvent::MouseButtonPress, centre, centre, Qt::LeftButton,
                                                             Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(&screen, new QCloseEvent);
    };
    build(screen, [&] {
        EXPECT_EQ(painted.onFirstDeclaration, nullptr);
        EXPECT_TRUE(screen.isVisible());
        EXPECT_FALSE(screen.AnnullaCreazione);
        EXPECT_EQ(painted.shown.size(), 4);

        // Once built, the screen takes the user's keys again: Escape gives up.
        keyClickAsUser(&screen, Qt::Key_Escape);
        EXPECT_FALSE(screen.isVisible());
    });
}

namespace {

// A build of three declarations, one refused, on a screen shown and active,
// driven only with the keyboard: every key goes to the widget that has the
// focus, as a user's would.
class BuildScreenKeys : public BuildScreen {
protected:
    BuildScreenKeys()
    {
        execute(QStringLiteral("DELETE FROM DettaglioBol WHERE Indice = 5 AND Modulo = 'F' AND Campo = '29'"));
    }

    // The user's keys once the outcome shows.
    void built(frmFaiCorbex &screen, const std::function<void()> &keys)
    {
        build(screen, [&] {
            ASSERT_TRUE(QTest::qWaitForWindowActive(&screen));
            ASSERT_TRUE(screen.cmdView->isVisible());
            keys();
        });
    }

    static QWidget *focus() { return QApplication::focusWidget(); }

    static void key(int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *target = focus();
        ASSERT_NE(target, nullptr) << "no control has the focus";
        QTest::keyClick(target, Qt::Key(k), modifiers);
    }
    // An access key presses its button as a click the user sees, a moment
    // later: waits for what the press shows.
    static void accessKey(int k, const std::function<bool()> &pressed)
    {
        key(k, Qt::AltModifier);
        ASSERT_TRUE(QTest::qWaitFor(pressed, 1000)) << "the access key pressed nothing";
    }
    // Tab until the focus reaches target, going round the window once at most.
    static void tabTo(QWidget *target)
    {
        for (int i = 0; i < 5 && focus() != target; ++i)
            key(Qt::Key_Tab);
        ASSERT_EQ(focus(), target) << "Tab does not reach " << target->objectName().toStdString();
    }
    static void type(const QString &text)
    {
        QWidget *target = focus();
        ASSERT_NE(target, nullptr) << "no control has the focus";
        QTest::keyClicks(target, text);
    }

    // Nothing of the flow reached its destination or the register.
    void nothingWritten(const frmFaiCorbex &screen)
    {
        EXPECT_FALSE(screen.isVisible());
        EXPECT_EQ(screen.result(), QDialog::Rejected);
        EXPECT_FALSE(screen.Corbex.CorbexScritto);
        EXPECT_TRUE(screen.Corbex.FileTemporaneo.isEmpty());
        EXPECT_TRUE(QDir(onFloppy(QString())).entryList(QDir::Files).isEmpty());
        EXPECT_TRUE(register_().isEmpty());
    }
};

}  // namespace

TEST_F(BuildScreenKeys, TheOutcomeGivesTheFocusToOkAndTabGoesRoundTheButtons)
{
    frmFaiCorbex screen(corbex);
    built(screen, [&] {
        EXPECT_EQ(focus(), screen.cmdConfirm);
        QStringList visited;
        for (int i = 0; i < 4; ++i) {
            key(Qt::Key_Tab);
            visited << focus()->objectName();
        }
        EXPECT_EQ(visited, QStringList({"cmdCancel", "cmdView", "cmdConfirm", "cmdCancel"}));
        key(Qt::Key_Backtab);
        EXPECT_EQ(focus(), screen.cmdConfirm);
    });
}

TEST_F(BuildScreenKeys, EscapeClosesTheScreenAsItsCloseBoxDoesWritingNothing)
{
    corbex.DestinazioneCorbex = flowengine::Destinazione::Supporto;
    frmFaiCorbex screen(corbex);
    built(screen, [&] {
        key(Qt::Key_Escape);
    });
    nothingWritten(screen);
    EXPECT_FALSE(screen.AnnullaCreazione);
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(BuildScreenKeys, EnterPressesTheButtonThatHasTheFocus)
{
    frmFaiCorbex screen(corbex);
    built(screen, [&] {
        key(Qt::Key_Tab);
        ASSERT_EQ(focus(), screen.cmdCancel);
        key(Qt::Key_Return);
    });
    nothingWritten(screen);
    EXPECT_TRUE(screen.AnnullaCreazione);
}

TEST_F(BuildScreenKeys, TheErrorListRefusesOnlyTheKeysThatWouldEditIt)
{
    const QString errors =
        QStringLiteral("Quandera Doganale N° 5 - 04/03/2024: Assenza di un campo obbligatorio -> Ufficio doganale\n");
    frmFaiCorbex screen(corbex);
    built(screen, [&] {
        EXPECT_FALSE(screen.rtfErroriRilevati->isVisible());
        accessKey(Qt::Key_D, [&] { return screen.rtfErroriRilevati->isVisible(); });
        ASSERT_EQ(screen.cmdView->text(), QStringLiteral("<< &Nascondi"));
        EXPECT_TRUE(screen.rtfErroriRilevati->isVisible());

        // The list takes the focus only when the user moves into it.
        EXPECT_NE(focus(), screen.rtfErroriRilevati);
        tabTo(screen.rtfErroriRilevati);
        EXPECT_TRUE(screen.ElencoErroriAttivo);
        type(QStringLiteral("xy"));
        for (const int k : {int(Qt::Key_Backspace), int(Qt::Key_Delete), int(Qt::Key_Return)})
            key(k);
        key(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(screen.rtfErroriRilevati->toPlainText(), errors);
        EXPECT_TRUE(screen.isVisible());
        // Moving inside it is no edit.
        key(Qt::Key_End);
        EXPECT_GT(screen.rtfErroriRilevati->textCursor().position(), 0);

        // Tab leaves it and comes back.
        key(Qt::Key_Tab);
        EXPECT_EQ(focus(), screen.cmdConfirm);
        EXPECT_FALSE(screen.ElencoErroriAttivo);
        key(Qt::Key_Backtab);
        ASSERT_EQ(focus(), screen.rtfErroriRilevati);

        // "<< &Nascondi" and "A&nnulla" share their access key: each press moves
        // the focus out of the list to the next of the two, and Enter presses it.
        auto accessKeyTo = [&](QWidget *button) {
            for (int i = 0; i < 3 && focus() != button; ++i)
                key(Qt::Key_N, Qt::AltModifier);
            ASSERT_EQ(focus(), button);
        };
        accessKeyTo(screen.cmdView);
        EXPECT_EQ(screen.cmdView->text(), QStringLiteral("<< &Nascondi"));
        key(Qt::Key_Return);
        EXPECT_EQ(screen.cmdView->text(), QStringLiteral("&Dettagli >>"));
        EXPECT_FALSE(screen.rtfErroriRilevati->isVisible());
        accessKey(Qt::Key_D, [&] { return screen.rtfErroriRilevati->isVisible(); });
        tabTo(screen.rtfErroriRilevati);
        accessKeyTo(screen.cmdCancel);
        key(Qt::Key_Return);
    });
    nothingWritten(screen);
    EXPECT_TRUE(screen.AnnullaCreazione);
}

TEST_F(BuildScreenKeys, EscapeStillClosesTheScreenAfterTheDetails)
{
    // From the details button and from inside the list.
    for (const bool inList : {false, true}) {
        SCOPED_TRACE(inList);
        frmFaiCorbex screen(corbex);
        built(screen, [&] {
            accessKey(Qt::Key_D, [&] { return screen.rtfErroriRilevati->isVisible(); });
            if (inList)
                tabTo(screen.rtfErroriRilevati);
            key(Qt::Key_Escape);
        });
        nothingWritten(screen);
        EXPECT_FALSE(screen.AnnullaCreazione);
    }
}
