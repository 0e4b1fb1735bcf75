// The test helper that presses buttons and types as a user does: it must
// refuse what a user could not do, and work inside a modal loop.
#include "support/asuser.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <functional>

using testsupport::clickAsUser;
using testsupport::keyClickAsUser;
using testsupport::keyClicksAsUser;

namespace {

// A window with a button and a text box, shown and active.
struct Window {
    Window()
    {
        window.resize(300, 200);
        button->setGeometry(10, 10, 100, 30);
        edit->setGeometry(10, 60, 100, 24);
        QObject::connect(button, &QPushButton::clicked, [this] { ++pressed; });
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QWidget window;
    QPushButton *button = new QPushButton(QStringLiteral("&Ok"), &window);
    QLineEdit *edit = new QLineEdit(&window);
    int pressed = 0;
};

TEST(ClickAsUser, PressesAButtonAUserCanReachAndGivesItTheFocus)
{
    Window w;
    clickAsUser(w.button);
    EXPECT_EQ(w.pressed, 1);
    EXPECT_EQ(QApplication::focusWidget(), w.button);
    // Two presses in a row are two clicks, never a double click.
    clickAsUser(w.button);
    EXPECT_EQ(w.pressed, 2);
}

TEST(ClickAsUser, RefusesAButtonNoUserCanPress)
{
    struct Case {
        const char *name;
        std::function<void(Window &)> spoil;
        const char *why;
    } cases[] = {
        {"hidden", [](Window &w) { w.button->hide(); }, "it is not visible"},
        {"disabled", [](Window &w) { w.button->setEnabled(false); }, "it is not enabled"},
        {"covered",
         [](Window &w) {
             auto *cover = new QWidget(&w.window);
             cover->setGeometry(0, 0, 200, 50);
             cover->show();
         },
         "lies over its centre"},
        {"outside", [](Window &w) { w.button->move(10, 400); }, "its centre lies outside its window"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Window w;
        c.spoil(w);
        EXPECT_NONFATAL_FAILURE(clickAsUser(w.button), c.why);
    }
}

TEST(ClickAsUser, ActivatesItsWindowFirst)
{
    Window first;
    Window second;
    ASSERT_EQ(QApplication::activeWindow(), &second.window);
    clickAsUser(first.button);
    EXPECT_EQ(first.pressed, 1);
    EXPECT_EQ(QApplication::activeWindow(), &first.window);
}

TEST(ClickAsUser, ClicksARadioButtonOnItsTextNotOnTheEmptyRestOfIt)
{
    Window w;
    auto *option = new QRadioButton(QStringLiteral("Uno"), &w.window);
    option->setGeometry(10, 100, 280, 20);
    option->show();
    clickAsUser(option);
    EXPECT_TRUE(option->isChecked());
}

TEST(ClickAsUser, WorksInsideAModalLoopAndRefusesTheWindowBehindIt)
{
    Window w;
    QDialog dialog(&w.window);
    auto *close = new QPushButton(QStringLiteral("Chiudi"), &dialog);
    close->setGeometry(10, 10, 80, 30);
    QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
    QTimer::singleShot(0, [&] {
        EXPECT_NONFATAL_FAILURE(clickAsUser(w.button), "stands in front of it");
        clickAsUser(close);
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
}

TEST(KeyClickAsUser, KeysGoToTheFocusWidgetWhichMustBeTheOneMeant)
{
    Window w;
    w.edit->setFocus();
    keyClicksAsUser(w.edit, QStringLiteral("ab"));
    keyClickAsUser(&w.window, Qt::Key_C);
    EXPECT_EQ(w.edit->text(), QStringLiteral("abc"));
    w.button->setFocus();
    EXPECT_NONFATAL_FAILURE(keyClicksAsUser(w.edit, QStringLiteral("x")), "The focus is on QPushButton");
    EXPECT_EQ(w.edit->text(), QStringLiteral("abc"));
}

}  // namespace
