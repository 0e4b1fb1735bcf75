#pragma once

#include "platform/pageprinter.h"

#include <QString>
#include <vector>

namespace platform {

// Records every figure and text with its position, font and page. A line is
// 0.4 mm high for each point of the font (4 mm for 10 points) and a character
// is 0.2 mm wide for each point, so positions that follow the text are fixed.
class RecordingPagePrinter : public PagePrinter {
public:
    struct Call {
        QString what;  // "text", "line", "rect", "page", "end", "orientation"
        int page = 1;
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        QString text;
        QString font;
        double points = 0;
        bool bold = false;
        bool italic = false;
    };

    QString deviceName() const override { return device; }

    // Each call in one line: "text p1 (20,20) Arial 16 bold: Ditta",
    // "text p1 (76,60) Arial 10 italic: Contenuto", "line p1 (20,60)-(190,60)",
    // "rect p1 (20,63)-(190,100)", "page 2", "end", "orientation landscape".
    std::vector<QString> lines() const;

    std::vector<Call> calls;
    QString device = QStringLiteral("Registratore");

protected:
    void drawText(double x, double y, const QString &text, const Font &font) override;
    void drawLine(double x1, double y1, double x2, double y2) override;
    void drawRectangle(double x1, double y1, double x2, double y2) override;
    double textWidth(const QString &text, const Font &font) const override;
    double lineHeight(const Font &font) const override;
    void startNewPage() override;
    void finishDocument() override;
    void orientationChanged(PageOrientation orientation) override;

private:
    int page_ = 1;
};

}  // namespace platform
