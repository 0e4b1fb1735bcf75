#include "common/dialogs.h"
#include "platform/application.h"
#include "platform/clock.h"
#include "support/doubles/fakeclock.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The project's own fonts, whatever else the machine has; a test that
    // adds fonts to them runs this program with its own configuration.
    const QByteArray fonts = qgetenv("CORBIX_TEST_FONTCONFIG");
    qputenv("FONTCONFIG_FILE", fonts.isEmpty() ? QByteArrayLiteral(CORBIX_TEST_FONTS_CONF) : fonts);
    QApplication app(argc, argv);
    platform::ImpostaApplicazione();
    common::InstallaDialoghi();
    ::testing::InitGoogleTest(&argc, argv);
    // No test waits for real seconds: a wait for another program's lock runs
    // on a clock that a sleep advances; the day is today's.
    platform::FakeClock clock(QDateTime::currentDateTime());
    platform::ScopedClock installed(clock);
    return RUN_ALL_TESTS();
}
