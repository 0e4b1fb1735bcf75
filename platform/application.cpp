#include "platform/application.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
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

    // Owned by the application: the translation stays for its whole life.
    auto *translator = new QTranslator(qApp);
    if (translator->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    else
        delete translator;
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
