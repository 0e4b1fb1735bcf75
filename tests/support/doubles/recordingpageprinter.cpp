#include "support/doubles/recordingpageprinter.h"

namespace platform {

namespace {

QString number(double v) { return QString::number(v, 'g', 10); }

}  // namespace

void RecordingPagePrinter::drawText(double x, double y, const QString &text, const Font &font)
{
    calls.push_back(
        {QStringLiteral("text"), page_, x, y, 0, 0, text, font.name, font.points, font.bold, font.italic});
}

void RecordingPagePrinter::drawLine(double x1, double y1, double x2, double y2)
{
    calls.push_back({QStringLiteral("line"), page_, x1, y1, x2, y2, {}, {}, 0, false, false});
}

void RecordingPagePrinter::drawRectangle(double x1, double y1, double x2, double y2)
{
    calls.push_back({QStringLiteral("rect"), page_, x1, y1, x2, y2, {}, {}, 0, false, false});
}

double RecordingPagePrinter::textWidth(const QString &text, const Font &font) const
{
    return text.size() * font.points * 0.2;
}

double RecordingPagePrinter::lineHeight(const Font &font) const { return font.points * 0.4; }

void RecordingPagePrinter::startNewPage()
{
    ++page_;
    calls.push_back({QStringLiteral("page"), page_, 0, 0, 0, 0, {}, {}, 0, false, false});
}

void RecordingPagePrinter::orientationChanged(PageOrientation orientation)
{
    calls.push_back({QStringLiteral("orientation"), page_, 0, 0, 0, 0,
                     orientation == PageOrientation::Landscape ? QStringLiteral("landscape")
                                                               : QStringLiteral("portrait"),
                     {}, 0, false, false});
}

void RecordingPagePrinter::finishDocument()
{
    calls.push_back({QStringLiteral("end"), page_, 0, 0, 0, 0, {}, {}, 0, false, false});
    page_ = 1;
}

std::vector<QString> RecordingPagePrinter::lines() const
{
    std::vector<QString> out;
    for (const Call &c : calls) {
        const QString page = QStringLiteral(" p%1").arg(c.page);
        if (c.what == QLatin1String("text"))
            out.push_back(QStringLiteral("text%1 (%2,%3) %4 %5%6%7: %8")
                              .arg(page, number(c.x1), number(c.y1), c.font, number(c.points),
                                   c.bold ? QStringLiteral(" bold") : QString(),
                                   c.italic ? QStringLiteral(" italic") : QString(), c.text));
        else if (c.what == QLatin1String("line") || c.what == QLatin1String("rect"))
            out.push_back(QStringLiteral("%1%2 (%3,%4)-(%5,%6)")
                              .arg(c.what, page, number(c.x1), number(c.y1), number(c.x2), number(c.y2)));
        else if (c.what == QLatin1String("page"))
            out.push_back(QStringLiteral("page %1").arg(c.page));
        else if (c.what == QLatin1String("orientation"))
            out.push_back(QStringLiteral("orientation ") + c.text);
        else
            out.push_back(c.what);
    }
    return out;
}

}  // namespace platform
