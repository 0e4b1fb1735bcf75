#include "platform/qtpageprinter.h"

#include "platform/busywait.h"
#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/filewriters.h"
#include "platform/messagebox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <utility>

namespace platform {

QtPagePrinter::QtPagePrinter() = default;

QtPagePrinter::~QtPagePrinter()
{
    if (painter_)
        painter_->end();
}

QString QtPagePrinter::deviceName() const
{
    if (device_)
        return printer_ ? printer_->printerName() : QStringLiteral("PDF");
    if (!printerName_.isEmpty())
        return printerName_;
    const QString fallback = QPrinterInfo::defaultPrinterName();
    return fallback.isEmpty() ? QStringLiteral("PDF") : fallback;
}

namespace {

// Raises 61 when the PDF engine's writes ended on a disk without room (it
// keeps no account of the writes that failed), 75 otherwise.
[[noreturn]] void raisePdfNotWritten(const QString &hostPath)
{
    struct statvfs disk {};
    const bool full = ::statvfs(QFile::encodeName(QFileInfo(hostPath).absolutePath()).constData(), &disk) == 0
                      && qint64(disk.f_bavail) * qint64(disk.f_frsize) < 64 * 1024;
    raiseFileErrorOn(hostPath, full ? ENOSPC : EIO);
}

// Checks that the PDF file is whole, as the PDF engine reports no failed
// write: it ends with the end-of-file mark, and the cross-reference table
// stands at the offset its trailer gives, so that no byte before it is
// missing either.
void checkPdfWhole(const QString &hostPath)
{
    QFile file(hostPath);
    if (!file.open(QIODevice::ReadOnly))
        raisePdfNotWritten(hostPath);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        raiseFileErrorOn(hostPath, EIO);
    const QByteArray trimmed = bytes.trimmed();
    const qsizetype start = trimmed.lastIndexOf("startxref");
    bool number = false;
    const qint64 table = start < 0 ? -1
                                   : trimmed.mid(start + 9, trimmed.size() - start - 9 - 5).trimmed().toLongLong(&number);
    if (!trimmed.endsWith("%%EOF") || !number || table < 0 || bytes.mid(table, 4) != "xref")
        raisePdfNotWritten(hostPath);
}

QPageLayout::Orientation qtOrientation(PageOrientation orientation)
{
    return orientation == PageOrientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

}  // namespace

void QtPagePrinter::begin() const
{
    fonts_.clear();
    painterFont_ = nullptr;
    rulePen_ = false;
    const QString name = printerName_.isEmpty() ? QPrinterInfo::defaultPrinterName() : printerName_;
    if (!name.isEmpty() && !QPrinterInfo::printerInfo(name).isNull()) {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setPrinterName(name);
        printer->setDocName(documentTitle());
        resolution_ = printer->resolution();
        printer_ = printer.get();
        device_ = std::move(printer);
    } else {
        // No printer here: the document is kept as a PDF file of its own.
        const QString stem = QStringLiteral("Stampa-")
                             + platform::clock().now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        QDir folder(pdfFolder_.isEmpty() ? QDir::tempPath() : pdfFolder_);
        pdfFile_ = folder.filePath(stem + QStringLiteral(".pdf"));
        // A link under the temporary's name is none of the program's files:
        // the creation below removes it.
        const auto taken = [](const QString &pdf) {
            const QFileInfo temporary(nomeTemporaneo(pdf));
            return QFileInfo(pdf).exists() || QFileInfo(pdf).isSymLink()
                   || (temporary.exists() && !temporary.isSymLink());
        };
        for (int n = 2; taken(pdfFile_); ++n)
            pdfFile_ = folder.filePath(QStringLiteral("%1-%2.pdf").arg(stem).arg(n));
        // Printed under its temporary name, onto the file made there: the
        // document takes its name only once it is whole on the disk.
        struct stat identity {};
        const int fd = createNew(nomeTemporaneo(pdfFile_), Leftover::Remove, identity);
        pdfOutput_ = std::make_unique<QFile>();
        if (fd < 0 || !pdfOutput_->open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
            const int error = fd < 0 ? errno : EIO;
            if (fd >= 0)
                ::close(fd);
            pdfOutput_.reset();
            raiseFileErrorOn(nomeTemporaneo(std::exchange(pdfFile_, QString())), error);
        }
        auto writer = std::make_unique<QPdfWriter>(pdfOutput_.get());
        writer->setTitle(documentTitle());
        resolution_ = writer->resolution();
        printer_ = nullptr;
        device_ = std::move(writer);
    }
    device_->setPageSize(QPageSize(QPageSize::A4));
    device_->setPageOrientation(qtOrientation(orientation()));
    painter_ = std::make_unique<QPainter>();
    painter_->begin(device_.get());
}

QPainter &QtPagePrinter::painter()
{
    if (!painter_)
        begin();
    return *painter_;
}

double QtPagePrinter::px(double mm) const { return mm * resolution_ / 25.4; }

const QtPagePrinter::PreparedFont &QtPagePrinter::prepared(const Font &font) const
{
    if (!device_)
        begin();
    for (const auto &known : fonts_)
        if (known->key.name == font.name && known->key.points == font.points && known->key.bold == font.bold
            && known->key.italic == font.italic)
            return *known;
    QFont f(font.name);
    f.setPointSizeF(font.points);
    f.setBold(font.bold);
    f.setItalic(font.italic);
    const QFontMetricsF metrics(f, device_.get());
    fonts_.push_back(std::make_unique<PreparedFont>(PreparedFont{font, f, metrics, std::nullopt}));
    return *fonts_.back();
}

void QtPagePrinter::drawText(double x, double y, const QString &text, const Font &font)
{
    QPainter &p = painter();
    const PreparedFont &f = prepared(font);
    if (painterFont_ != &f) {
        p.setFont(f.font);
        painterFont_ = &f;
    }
    // The painter holds the font as it resolves it on the device.
    if (!f.ascent)
        f.ascent = QFontMetricsF(p.font(), device_.get()).ascent();
    p.drawText(QPointF(px(x), px(y) + *f.ascent), text);
}

void QtPagePrinter::drawLine(double x1, double y1, double x2, double y2)
{
    QPainter &p = painter();
    if (!rulePen_) {
        p.setPen(QPen(Qt::black, px(0.2)));
        rulePen_ = true;
    }
    p.drawLine(QPointF(px(x1), px(y1)), QPointF(px(x2), px(y2)));
}

void QtPagePrinter::drawRectangle(double x1, double y1, double x2, double y2)
{
    QPainter &p = painter();
    if (!rulePen_) {
        p.setPen(QPen(Qt::black, px(0.2)));
        rulePen_ = true;
    }
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(QPointF(px(x1), px(y1)), QPointF(px(x2), px(y2))));
}

double QtPagePrinter::textWidth(const QString &text, const Font &font) const
{
    return prepared(font).metrics.horizontalAdvance(text) * 25.4 / resolution_;
}

double QtPagePrinter::lineHeight(const Font &font) const
{
    // The line's height is the upright face's, italic or not.
    return prepared({font.name, font.points, font.bold, false}).metrics.height() * 25.4 / resolution_;
}

void QtPagePrinter::startNewPage()
{
    painter();
    // A new orientation takes effect from the page that begins here.
    device_->setPageOrientation(qtOrientation(orientation()));
    device_->newPage();
}

void QtPagePrinter::finishDocument()
{
    if (!painter_)
        return;
    const bool ended = painter_->end();
    painter_.reset();
    device_.reset();
    fonts_.clear();
    painterFont_ = nullptr;
    const QString pdf = std::exchange(pdfFile_, QString());
    const std::unique_ptr<QFile> output = std::move(pdfOutput_);
    lastPdf_.clear();
    if (pdf.isEmpty())
        return;
    // A PDF that is not whole on the disk is told and leaves nothing.
    const QString temporary = nomeTemporaneo(pdf);
    try {
        // Each step reads or flushes the whole file: the windows of a wait
        // under way are painted between them.
        BusyWait::paintWhenDue();
        if (!ended || !output->flush())
            raisePdfNotWritten(temporary);
        // What is read and named is the file printed, not one put under its
        // name since.
        struct stat identity {};
        if (::fstat(output->handle(), &identity) != 0 || !sameFile(temporary, identity))
            raiseFileErrorOn(temporary, EIO);
        checkPdfWhole(temporary);
        BusyWait::paintWhenDue();
        if (::fsync(output->handle()) != 0)
            raiseFileErrorOn(temporary, errno);
        output->close();
        BusyWait::paintWhenDue();
        // The name was free when the document began.
        if (::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(pdf).constData()) != 0)
            raiseFileErrorOn(temporary, errno);
    } catch (const RuntimeError &) {
        QFile::remove(temporary);
        throw;
    }
    syncFolder(QFileInfo(pdf).absolutePath());
    lastPdf_ = pdf;
    if (!lastPdf_.isEmpty())
        msgBox(QStringLiteral("Nessuna stampante disponibile: il documento è stato salvato nel file '") + lastPdf_
                   + QStringLiteral("'."),
               messageTitle_, MsgIcon::Information);
}

}  // namespace platform
