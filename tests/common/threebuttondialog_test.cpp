#include "common/frmmirsomsg.h"
#include "platform/twips.h"
#include "support/asuser.h"
#include "support/doubles/recordingmessagebox.h"
#include "support/doubles/recordingthreebuttondialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

using namespace common;
using testsupport::clickAsUser;

TEST(ThreeButtonDialog, ButtonLeftsInTwips)
{
    struct Case {
        int windowWidth;
        bool adjust;
        bool accept;
        MirsoMsgButtonLefts lefts;
    } cases[] = {
        {4380, false, false, {1493, 1500, 2940}},
        {4380, true, false, {398, 2588, 2940}},
        {4380, false, true, {398, 1500, 2588}},
        {4380, true, true, {45, 1500, 2940}},
        // Integer divisions drop their remainders.
        {4471, false, false, {1538, 1500, 2940}},
        {4471, true, false, {420, 2654, 2940}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.windowWidth << " " << c.adjust << " " << c.accept);
        EXPECT_EQ(mirsoMsgButtonLefts(c.windowWidth, 1395, c.adjust, c.accept), c.lefts);
    }
}

TEST(ThreeButtonDialog, DesignedLayout)
{
    frmMirsoMsg form;
    EXPECT_EQ(form.objectName(), "frmMirsoMsg");
    EXPECT_EQ(form.Tag, "");
    EXPECT_EQ(form.size(), QSize(292, 92));
    EXPECT_EQ(form.pos(), QPoint(252, 252));
    EXPECT_EQ(form.findChild<QLabel *>("lblMessage"), form.lblMessage);
    EXPECT_EQ(form.lblMessage->geometry(), QRect(3, 4, 286, 53));
    struct Button {
        QPushButton *button;
        const char *name;
        const char *caption;
        int left;
    } buttons[] = {
        {form.cmdOK, "cmdOK", "OK", 3},
        {form.cmdAdjust, "cmdAdjust", "Correggi", 100},
        {form.cmdAccept, "cmdAccept", "Accetta", 196},
    };
    for (const Button &b : buttons) {
        SCOPED_TRACE(b.name);
        EXPECT_EQ(form.findChild<QPushButton *>(b.name), b.button);
        EXPECT_EQ(b.button->text(), b.caption);
        EXPECT_EQ(b.button->geometry(), QRect(b.left, 61, 93, 28));
        EXPECT_FALSE(b.button->isDefault());
        EXPECT_FALSE(b.button->autoDefault());
    }
    EXPECT_EQ(form.cmdOK->nextInFocusChain(), form.cmdAdjust);
    EXPECT_EQ(form.cmdAdjust->nextInFocusChain(), form.cmdAccept);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowCloseButtonHint);
}

TEST(ThreeButtonDialog, ActivationPlacesTheButtonsShownAndFocusesOK)
{
    struct Case {
        bool adjust;
        bool accept;
    } cases[] = {{false, false}, {true, false}, {false, true}, {true, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.adjust << " " << c.accept);
        frmMirsoMsg form;
        form.cmdAdjust->setVisible(c.adjust);
        form.cmdAccept->setVisible(c.accept);
        form.show();
        const MirsoMsgButtonLefts lefts =
            mirsoMsgButtonLefts(platform::toTwips(form.frameGeometry().width()), 1395, c.adjust, c.accept);
        EXPECT_EQ(form.cmdOK->x(), platform::twips(lefts.ok));
        EXPECT_EQ(form.cmdAdjust->x(), platform::twips(lefts.adjust));
        EXPECT_EQ(form.cmdAccept->x(), platform::twips(lefts.accept));
        EXPECT_EQ(form.focusWidget(), form.cmdOK);
    }
    EXPECT_EQ(platform::twips(1493), 100);
    EXPECT_EQ(platform::twips(398), 27);
    EXPECT_EQ(platform::twips(45), 3);
}

TEST(ThreeButtonDialog, EachButtonSetsTheTagAndHidesTheWindow)
{
    frmMirsoMsg form;
    struct Case {
        QPushButton *button;
        const char *tag;
    } cases[] = {{form.cmdOK, "0"}, {form.cmdAdjust, "1"}, {form.cmdAccept, "2"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.tag);
        form.show();
        clickAsUser(c.button);
        EXPECT_EQ(form.Tag, c.tag);
        EXPECT_FALSE(form.isVisible());
    }
}

TEST(ThreeButtonDialog, ShownAgainWithoutUnloadingItKeepsThePreviousTag)
{
    frmMirsoMsg form;
    form.show();
    clickAsUser(form.cmdAccept);
    form.show();
    EXPECT_EQ(form.Tag, "2");
    clickAsUser(form.cmdOK);
    EXPECT_EQ(form.Tag, "0");
}

TEST(ThreeButtonDialog, EnterChoosesOKAndEscapeDoesNothing)
{
    frmMirsoMsg form;
    form.show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&form, &escape);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.Tag, "");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&form, &enter);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.Tag, "0");
}

TEST(ThreeButtonDialog, TheCloseBoxLeavesAnEmptyTag)
{
    frmMirsoMsg form;
    form.show();
    clickAsUser(form.cmdAdjust);
    form.show();
    form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.Tag, "");
}

namespace {

// Acts on the modal window once its show has started.
void whenShown(std::function<void(frmMirsoMsg &)> action)
{
    QTimer::singleShot(0, [action] {
        auto *form = qobject_cast<frmMirsoMsg *>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        action(*form);
    });
}

}  // namespace

TEST(ThreeButtonDialog, TheServiceShowsTheRequestAndAnswersTheTag)
{
    QtThreeButtonDialogService service;
    bool seen = false;
    whenShown([&](frmMirsoMsg &form) {
        EXPECT_EQ(form.windowTitle(), "Controllo Codice Fiscale");
        EXPECT_EQ(form.lblMessage->text(), "Riga 1\nRiga 2");
        EXPECT_TRUE(form.cmdOK->isVisible());
        EXPECT_TRUE(form.cmdAdjust->isVisible());
        EXPECT_FALSE(form.cmdAccept->isVisible());
        EXPECT_EQ(form.Tag, "");
        seen = true;
        clickAsUser(form.cmdAdjust);
    });
    EXPECT_EQ(service.show({"Controllo Codice Fiscale", "Riga 1\r\nRiga 2", true, false}), "1");
    EXPECT_TRUE(seen);

    whenShown([](frmMirsoMsg &form) { form.close(); });
    EXPECT_EQ(service.show({"Titolo", "Testo", false, false}), "");
}

TEST(ThreeButtonDialog, TheGuardInstallsARecordingServiceAndPutsTheRealOneBack)
{
    ThreeButtonDialogService *real = &threeButtonDialogService();
    EXPECT_NE(dynamic_cast<QtThreeButtonDialogService *>(real), nullptr);
    {
        RecordingThreeButtonDialogService recorder;
        ScopedThreeButtonDialogService guard(recorder);
        recorder.answer("2");
        EXPECT_EQ(threeButtonDialogService().show({"T", "M", true, true}), "2");
        EXPECT_EQ(threeButtonDialogService().show({"T2", "M2", false, true}), "0");
        const std::vector<ThreeButtonRequest> expected = {{"T", "M", true, true}, {"T2", "M2", false, true}};
        EXPECT_EQ(recorder.shown, expected);
    }
    EXPECT_EQ(&threeButtonDialogService(), real);
}

// A program without windows: the window's message goes through the message
// box, and the answer is the OK that has the focus.
TEST(ThreeButtonDialog, WithoutWindowsTheMessageGoesThroughTheMessageBoxAndTheAnswerIsOK)
{
    platform::RecordingMessageBoxService boxes;
    platform::ScopedMessageBoxService guard(boxes);
    EXPECT_EQ(UnattendedThreeButtonDialogService().show({"Controllo Codice Fiscale", "Riga 1\r\nRiga 2", true, false}),
              "0");
    EXPECT_EQ(boxes.shown, (std::vector<platform::Message>{{"Riga 1\r\nRiga 2", "Controllo Codice Fiscale"}}));
}
