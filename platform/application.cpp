#include "platform/application.h"

#include "platform/qtbusywait.h"
#include "platform/qtmessagebox.h"
#include "platform/qtpageprinter.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyle>
#include <QTranslator>
#include <QWidget>
#include <algorithm>

namespace platform {

void ImpostaApplicazione()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSize(8);
    QApplication::setFont(font);

    // The Windows families the screens and reports name, each drawn with the
    // Debian font made to its metrics (Arial) or its look (Comic Sans MS).
    // Left to fontconfig, a family no machine here has falls back to whatever
    // happens to be installed: a wider face that cuts the text, or a script.
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"));

    // Dates, sizes and the file types of Qt's own dialogs follow the default
    // locale, whatever the environment says.
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));

    // Owned by the application: the translation stays for its whole life.
    auto *translator = new QTranslator(qApp);
    if (translator->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    else
        delete translator;

    // The services this library gives windows to, in place of what the
    // widget-free one does without them.
    static QtMessageBoxService messageBox;
    messageBoxSlot() = &messageBox;
    static QtPagePrinter pagePrinter;
    printerSlot() = &pagePrinter;
    busyWaitWindowsSlot() = &QtBusyWaitWindows::hold;
}

int AltezzaCornice(const QWidget *window)
{
    // The offscreen platform reports a frame no window manager drew.
    const int reported = window->frameGeometry().height() - window->geometry().height();
    if (reported > 0 && QGuiApplication::platformName() != QLatin1String("offscreen"))
        return reported;
    const QStyle *style = window->style();
    return style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window)
           + 2 * style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, window);
}

void ImpostaAltezzaEsterna(QWidget *window, int outer, int minimaInterna)
{
    window->setFixedHeight(std::max(outer - AltezzaCornice(window), minimaInterna));
}

}  // namespace platform
