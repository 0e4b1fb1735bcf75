#include "platform/clock.h"
#include "platform/qtmessagebox.h"
#include "support/asuser.h"
#include "support/doubles/fakeclock.h"
#include "support/doubles/recordingmessagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace platform;
using testsupport::clickAsUser;
using testsupport::keyClickAsUser;

namespace {

QMessageBox *openBox()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible())
            return box;
    return nullptr;
}

QStringList buttonTexts(QMessageBox *box)
{
    QStringList out;
    for (QAbstractButton *b : box->buttons())
        out << b->text();
    out.sort();
    return out;
}

// Acts on the box once it is shown, after exec() has started.
void whenShown(std::function<void(QMessageBox *)> action)
{
    QTimer::singleShot(0, [action] {
        QMessageBox *box = openBox();
        ASSERT_NE(box, nullptr);
        action(box);
    });
}

void pressEscape(QMessageBox *box) { keyClickAsUser(box, Qt::Key_Escape); }

QAbstractButton *buttonNamed(QMessageBox *box, const QString &text)
{
    for (QAbstractButton *b : box->buttons())
        if (b->text() == text)
            return b;
    return nullptr;
}

}  // namespace

TEST(QtMessageBox, ShowsTheTextTitleIconAndItalianButtons)
{
    QtMessageBoxService service;
    QString title, text;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString defaultText;
    whenShown([&](QMessageBox *box) {
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = buttonTexts(box);
        defaultText = box->defaultButton()->text();
        clickAsUser(buttonNamed(box, "No"));
    });
    const MsgResult r = service.show({"Confermi l'invio?", "Corbix", MsgIcon::Question, MsgButtons::YesNoCancel, 2});
    EXPECT_EQ(r, MsgResult::No);
    EXPECT_EQ(title, "Corbix");
    EXPECT_EQ(text, "Confermi l'invio?");
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(buttons, QStringList({"Annulla", "No", "Sì"}));
    EXPECT_EQ(defaultText, "No");
}

TEST(QtMessageBox, EscapeAnswersOnlyWhereTheBoxHasANaturalNo)
{
    const struct {
        MsgButtons buttons;
        bool escapeCloses;
        MsgResult pressed;  // Esc's answer, or the button clicked afterwards
        QString click;
    } cases[] = {
        {MsgButtons::OK, true, MsgResult::OK, ""},
        {MsgButtons::OKCancel, true, MsgResult::Cancel, ""},
        {MsgButtons::YesNoCancel, true, MsgResult::Cancel, ""},
        {MsgButtons::RetryCancel, true, MsgResult::Cancel, ""},
        {MsgButtons::YesNo, false, MsgResult::Yes, "Sì"},
        {MsgButtons::AbortRetryIgnore, false, MsgResult::Retry, "Riprova"},
    };
    QtMessageBoxService service;
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.buttons));
        bool stillOpen = false;
        whenShown([&](QMessageBox *box) {
            pressEscape(box);
            box->close();
            QApplication::processEvents();
            stillOpen = box->isVisible();
            if (stillOpen)
                clickAsUser(buttonNamed(box, c.click));
        });
        EXPECT_EQ(service.show({"Testo", "Titolo", MsgIcon::Exclamation, c.buttons, 1}), c.pressed);
        EXPECT_EQ(stillOpen, !c.escapeCloses);
    }
}

TEST(RecordingMessageBox, RecordsAndAnswersFromItsScriptThenTheDefault)
{
    RecordingMessageBoxService recorder;
    {
        ScopedMessageBoxService guard(recorder);
        recorder.answer(MsgResult::Retry);
        EXPECT_EQ(msgBox("Primo", "Corbix", MsgIcon::Critical, MsgButtons::RetryCancel), MsgResult::Retry);
        EXPECT_EQ(msgBox("Secondo", "Corbix", MsgIcon::Question, MsgButtons::YesNo, 2), MsgResult::No);
        EXPECT_EQ(msgBox("Terzo", "Corbix"), MsgResult::OK);
    }
    ASSERT_EQ(recorder.shown.size(), 3u);
    EXPECT_EQ(recorder.shown[0], (Message{"Primo", "Corbix", MsgIcon::Critical, MsgButtons::RetryCancel, 1}));
    EXPECT_EQ(recorder.shown[1], (Message{"Secondo", "Corbix", MsgIcon::Question, MsgButtons::YesNo, 2}));
    EXPECT_EQ(&messageBoxService(), &messageBoxService());
    EXPECT_NE(dynamic_cast<QtMessageBoxService *>(&messageBoxService()), nullptr) << "the real one is back";
}

// A program without windows: nobody is there to press a button.
TEST(UnattendedMessageBox, WritesEachMessageOnTheErrorOutputAndAnswersItsDefaultButton)
{
    const struct {
        MsgButtons buttons;
        int defaultButton;
        MsgResult answer;
    } cases[] = {
        {MsgButtons::OK, 1, MsgResult::OK},           {MsgButtons::YesNo, 2, MsgResult::No},
        {MsgButtons::YesNoCancel, 3, MsgResult::Cancel}, {MsgButtons::AbortRetryIgnore, 1, MsgResult::Abort},
        {MsgButtons::RetryCancel, 1, MsgResult::Retry},
    };
    UnattendedMessageBoxService unattended;
    for (const auto &c : cases) {
        testing::internal::CaptureStderr();
        const MsgResult answer = unattended.show({"Il corbex è stato spedito.", "Corbix doganali", MsgIcon::Information,
                                                  c.buttons, c.defaultButton});
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "Corbix doganali: Il corbex è stato spedito.\n");
        EXPECT_EQ(answer, c.answer) << int(c.buttons);
    }
}

TEST(KeptMessageBox, KeepsEachMessageAndAnswersItsDefaultButton)
{
    KeptMessageBoxService kept;
    {
        ScopedMessageBoxService guard(kept);
        EXPECT_EQ(msgBox("Primo", "Corbix", MsgIcon::Question, MsgButtons::YesNo, 2), MsgResult::No);
        EXPECT_EQ(msgBox("Secondo", "Corbix"), MsgResult::OK);
    }
    EXPECT_EQ(kept.shown, (std::vector<Message>{{"Primo", "Corbix", MsgIcon::Question, MsgButtons::YesNo, 2},
                                                {"Secondo", "Corbix", MsgIcon::None, MsgButtons::OK, 1}}));
}

TEST(FakeClockTest, SleepsAdvanceBothTimesWithoutWaiting)
{
    FakeClock fake(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)));
    platform::Clock *before = &platform::clock();
    {
        ScopedClock guard(fake);
        platform::clock().sleepMs(1500);
        EXPECT_EQ(platform::clock().now(), QDateTime(QDate(2027, 1, 1), QTime(0, 0, 0, 500)));
        EXPECT_EQ(platform::clock().monotonicMs(), 1500);
        fake.setNow(QDateTime(QDate(2026, 1, 1), QTime(8, 0)));
        EXPECT_EQ(platform::clock().monotonicMs(), 1500) << "setting the time of day never moves deadlines";
    }
    EXPECT_EQ(fake.sleeps, 1);
    EXPECT_EQ(&platform::clock(), before) << "the guard puts the clock it replaced back";
}
