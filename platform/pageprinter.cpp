#include "platform/pageprinter.h"

#include <QtGlobal>

namespace platform {

namespace {

constexpr double TwipsPerMm = 1440.0 / 25.4;

}  // namespace

PagePrinter *&printerSlot()
{
    static PagePrinter *current = nullptr;
    return current;
}

// ---------------------------------------------------------------- PagePrinter

double PagePrinter::toMm(double v) const { return mode_ == ScaleMode::Twips ? v / TwipsPerMm : v; }

double PagePrinter::fromMm(double mm) const { return mode_ == ScaleMode::Twips ? mm * TwipsPerMm : mm; }

void PagePrinter::setOrientation(PageOrientation orientation)
{
    orientation_ = orientation;
    orientationChanged(orientation);
}

void PagePrinter::print(const QString &text, bool stayOnLine)
{
    const Font f = font();
    drawText(toMm(x_), toMm(y_), text, f);
    if (stayOnLine) {
        x_ += fromMm(textWidth(text, f));
    } else {
        x_ = 0;
        y_ += fromMm(lineHeight(f));
    }
}

void PagePrinter::line(double x1, double y1, double x2, double y2)
{
    drawLine(toMm(x1), toMm(y1), toMm(x2), toMm(y2));
    x_ = x2;
    y_ = y2;
}

void PagePrinter::rectangle(double x1, double y1, double x2, double y2)
{
    drawRectangle(toMm(x1), toMm(y1), toMm(x2), toMm(y2));
    x_ = x2;
    y_ = y2;
}

void PagePrinter::newPage()
{
    startNewPage();
    x_ = 0;
    y_ = 0;
}

void PagePrinter::endDoc()
{
    finishDocument();
    x_ = 0;
    y_ = 0;
}

PagePrinter &printer()
{
    PagePrinter *installed = printerSlot();
    if (!installed)
        qFatal("No page printer is installed: a program that prints installs one at start-up");
    return *installed;
}

}  // namespace platform
