#include "flowengine/reportprinting.h"

#include "common/globals.h"
#include "flowengine/collectionpoint.h"
#include "platform/drives.h"
#include "platform/errors.h"

namespace flowengine {

void ImpostaStampa(platform::PagePrinter &p, const QString &titolo, platform::PageOrientation orientamento)
{
    p.setDocumentTitle(titolo);
    p.setOrientation(orientamento);
    p.setScaleMode(platform::ScaleMode::Millimeters);
    p.setFontName(QStringLiteral("Arial"));
    p.setFontSize(10);
    p.setFontBold(false);
    p.setFontItalic(false);
}

DestinazioneStampa::DestinazioneStampa(const QString &titolo)
    : qt_(dynamic_cast<platform::DevicePagePrinter *>(&platform::printer()))
{
    if (!qt_)
        return;
    cartella_ = qt_->pdfFolder();
    titolo_ = qt_->messageTitle();
    qt_->setMessageTitle(titolo);
    try {
        if (!common::OpzioniCorbix.Centrale.isEmpty())
            qt_->setPdfFolder(platform::hostPath(common::OpzioniCorbix.Centrale + CartellaTemp));
    } catch (const platform::RuntimeError &) {
        // The printer's own folder is kept.
    }
}

DestinazioneStampa::~DestinazioneStampa()
{
    if (!qt_)
        return;
    qt_->setPdfFolder(cartella_);
    qt_->setMessageTitle(titolo_);
}

}  // namespace flowengine
