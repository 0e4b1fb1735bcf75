#pragma once

#include "platform/scopedservice.h"

#include <QString>

namespace platform {

enum class ScaleMode { Twips = 1, Millimeters = 6 };
enum class PageOrientation { Portrait = 1, Landscape = 2 };

// The printer as reports drive it: a current position in the chosen unit,
// measured from the top-left corner of the printable page, a current font,
// and texts and figures placed at explicit positions. A text printed without
// staying on the line moves the position to the start of the next line.
class PagePrinter {
public:
    virtual ~PagePrinter() = default;

    void setScaleMode(ScaleMode mode) { mode_ = mode; }
    ScaleMode scaleMode() const { return mode_; }

    void setFontName(const QString &name) { fontName_ = name; }
    void setFontSize(double points) { fontSize_ = points; }
    void setFontBold(bool bold) { bold_ = bold; }
    void setFontItalic(bool italic) { italic_ = italic; }
    const QString &fontName() const { return fontName_; }
    double fontSize() const { return fontSize_; }
    bool fontBold() const { return bold_; }
    bool fontItalic() const { return italic_; }

    // The title of the document begun next, as a viewer shows it.
    void setDocumentTitle(const QString &title) { title_ = title; }
    const QString &documentTitle() const { return title_; }

    // The orientation of the pages begun from now on.
    void setOrientation(PageOrientation orientation);
    PageOrientation orientation() const { return orientation_; }

    void setCurrentX(double x) { x_ = x; }
    void setCurrentY(double y) { y_ = y; }
    double currentX() const { return x_; }
    double currentY() const { return y_; }

    // Prints at the current position; stayOnLine keeps the position on the
    // line just after the text, otherwise it goes to the next line's start.
    void print(const QString &text, bool stayOnLine = false);
    void line(double x1, double y1, double x2, double y2);
    void rectangle(double x1, double y1, double x2, double y2);  // an outline
    void newPage();
    void endDoc();

    virtual QString deviceName() const = 0;

protected:
    struct Font {
        QString name;
        double points;
        bool bold;
        bool italic;
    };
    Font font() const { return {fontName_, fontSize_, bold_, italic_}; }

    // In millimetres from the printable page's top-left corner.
    virtual void drawText(double x, double y, const QString &text, const Font &font) = 0;
    virtual void drawLine(double x1, double y1, double x2, double y2) = 0;
    virtual void drawRectangle(double x1, double y1, double x2, double y2) = 0;
    virtual double textWidth(const QString &text, const Font &font) const = 0;
    virtual double lineHeight(const Font &font) const = 0;
    virtual void startNewPage() = 0;
    virtual void finishDocument() = 0;
    virtual void orientationChanged(PageOrientation) {}

private:
    double toMm(double v) const;
    double fromMm(double mm) const;

    ScaleMode mode_ = ScaleMode::Twips;
    QString fontName_ = QStringLiteral("Arial");
    double fontSize_ = 10;
    bool bold_ = false;
    bool italic_ = false;
    PageOrientation orientation_ = PageOrientation::Portrait;
    QString title_;
    double x_ = 0;
    double y_ = 0;
};

// The printer every report prints on: the program installs its own at
// start-up (platform/qtpageprinter.h), a test a RecordingPagePrinter. None
// of the programs without windows prints: reaching for the printer there is
// a fault of the program, and stops it.
PagePrinter &printer();

// The pointer behind the accessor; a guard installs a test double in it.
PagePrinter *&printerSlot();
using ScopedPagePrinter = platform::ScopedService<PagePrinter, printerSlot>;

// A printer that prints on a device, the chosen printer or, where none is
// installed, a PDF file in the given folder, the user being told where it is
// once the document ends: what a report sets on it before it prints.
class DevicePagePrinter : public PagePrinter {
public:
    // An empty name is the system's default printer.
    void setPrinterName(const QString &name) { printerName_ = name; }
    const QString &printerName() const { return printerName_; }
    void setPdfFolder(const QString &hostFolder) { pdfFolder_ = hostFolder; }
    const QString &pdfFolder() const { return pdfFolder_; }
    // The title of the message that tells where a PDF was saved.
    void setMessageTitle(const QString &title) { messageTitle_ = title; }
    const QString &messageTitle() const { return messageTitle_; }
    // The PDF file of the last document, when it went to one.
    const QString &lastPdfFile() const { return lastPdf_; }

protected:
    QString printerName_;
    QString pdfFolder_;
    QString messageTitle_;
    QString lastPdf_;
};

}  // namespace platform
