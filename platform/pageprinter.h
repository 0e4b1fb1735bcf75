#pragma once

#include "platform/scopedservice.h"

#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class QPainter;
class QPrinter;

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

// The printer every report prints on; tests install a RecordingPagePrinter.
PagePrinter &printer();

// The pointer behind the accessor; a guard installs a test double in it.
PagePrinter *&printerSlot();
using ScopedPagePrinter = platform::ScopedService<PagePrinter, printerSlot>;

// The chosen printer, or the default one; where no printer is installed the
// document goes into a PDF file in the given folder, and the user is told
// where it is once the document ends. The PDF is printed under its temporary
// name and takes its name only once it is checked whole and flushed to the
// disk; the end of a document that could not be written whole raises its
// file error (61 for lack of space, 75 otherwise) and leaves no file.
class QtPagePrinter : public PagePrinter {
public:
    QtPagePrinter();
    ~QtPagePrinter() override;

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

    QString deviceName() const override;

protected:
    void drawText(double x, double y, const QString &text, const Font &font) override;
    void drawLine(double x1, double y1, double x2, double y2) override;
    void drawRectangle(double x1, double y1, double x2, double y2) override;
    double textWidth(const QString &text, const Font &font) const override;
    double lineHeight(const Font &font) const override;
    void startNewPage() override;
    void finishDocument() override;

private:
    // A font of the document with its metrics on the device, made at its
    // first use: a report prints thousands of texts in a handful of fonts,
    // and making a font and its metrics costs more than drawing the text.
    struct PreparedFont {
        Font key;
        QFont font;
        QFontMetricsF metrics;
        mutable std::optional<double> ascent;  // as the painter holds the font, at its first text
    };
    const PreparedFont &prepared(const Font &font) const;

    // Makes the device and its painter when the document first needs them;
    // a const measure of a text may be that first need.
    void begin() const;
    QPainter &painter();
    double px(double mm) const;

    QString printerName_;
    QString pdfFolder_;
    QString messageTitle_;
    mutable QString pdfFile_;
    QString lastPdf_;
    mutable std::unique_ptr<QPrinter> device_;
    mutable std::unique_ptr<QPainter> painter_;
    // Of the current device; the painter's font and pen, once set, are left
    // as they are until another is wanted.
    mutable std::vector<std::unique_ptr<PreparedFont>> fonts_;
    mutable const PreparedFont *painterFont_ = nullptr;
    mutable bool rulePen_ = false;
};

}  // namespace platform
