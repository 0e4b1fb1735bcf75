#include "compose_fixture.h"

#include "common/globals.h"
#include "ui/main/frmfaicorbex.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QWindow>

using namespace uimain;

namespace {

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
        common::TestoSelezione = QStringLiteral("T\r\nDICH01          \r\n3\r\n2024/03/04-000000001\r\n"
                                                "2024/03/04-000000002\r\n2024/03/04-000000005\r\n");
        common::DestinazioneCorbex = 1;
        common::OpzioniCorbix.PreventCheck = true;
    }

    // Opens the screen as the composition does and lets it build its flow.
    void build(frmFaiCorbex &screen)
    {
        screen.open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return screen.windowTitle() == QStringLiteral("Preparazione corbex completata"); }, 5000));
    }
};

}  // namespace

TEST_F(BuildScreen, IsPaintedBeforeTheBuildAndAfterEachDeclaration)
{
    SteppingClock clock(frmFaiCorbex::IntervalloAvanzamentoMs);
    platform::ScopedClock guard(clock);
    frmFaiCorbex screen(today());
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
    for (const qint64 step : {frmFaiCorbex::IntervalloAvanzamentoMs, qint64(0)}) {
        SCOPED_TRACE(step);
        SteppingClock clock(step);
        platform::ScopedClock guard(clock);
        frmFaiCorbex screen(today());
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
    SteppingClock clock(frmFaiCorbex::IntervalloAvanzamentoMs);
    platform::ScopedClock guard(clock);
    frmFaiCorbex screen(today());
    Painted painted(screen);
    painted.onFirstDeclaration = [&] {
        const QPointF centre = QRectF(screen.rect()).center();
        QCoreApplication::postEvent(&screen, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        QCoreApplication::postEvent(&screen, new QMouseEvent(QEvent::MouseButtonPress, centre, centre, Qt::LeftButton,
                                                             Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(&screen, new QCloseEvent);
    };
    build(screen);
    EXPECT_EQ(painted.onFirstDeclaration, nullptr);
    EXPECT_TRUE(screen.isVisible());
    EXPECT_FALSE(common::AnnullaCreazione);
    EXPECT_EQ(painted.shown.size(), 4);

    // Once built, the screen takes the user's keys again: Escape gives up.
    QTest::keyClick(&screen, Qt::Key_Escape);
    EXPECT_FALSE(screen.isVisible());
}
