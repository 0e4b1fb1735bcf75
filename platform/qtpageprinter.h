#pragma once

#include "platform/pageprinter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class QFile;
class QPagedPaintDevice;
class QPainter;
class QPrinter;

namespace platform {

// The chosen printer, or the default one; where no printer is installed the
// document goes into a PDF file in the given folder, and the user is told
// where it is once the document ends. The PDF is printed under its temporary
// name, onto a file created new there (never through a link found under the
// name), and takes its name only once it is checked whole and flushed to the
// disk; the end of a document that could not be written whole raises its
// file error (61 for lack of space, 75 otherwise) and leaves no file.
class QtPagePrinter : public DevicePagePrinter {
public:
    QtPagePrinter();
    ~QtPagePrinter() override;

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

    mutable QString pdfFile_;
    mutable std::unique_ptr<QFile> pdfOutput_;  // the PDF's temporary, on the descriptor that made it
    mutable std::unique_ptr<QPagedPaintDevice> device_;
    mutable QPrinter *printer_ = nullptr;  // the device, when it is a printer
    mutable double resolution_ = 0;        // the device's dots per inch
    mutable std::unique_ptr<QPainter> painter_;
    // Of the current device; the painter's font and pen, once set, are left
    // as they are until another is wanted.
    mutable std::vector<std::unique_ptr<PreparedFont>> fonts_;
    mutable const PreparedFont *painterFont_ = nullptr;
    mutable bool rulePen_ = false;
};

}  // namespace platform
