#pragma once

#include "platform/pageprinter.h"

#include <QString>

// What every printed report shares on the page printer in use.
namespace flowengine {

// Sets the printer up for a report before its first line: its title, the
// orientation, millimetres, Arial 10 without bold or italics, whatever the
// report printed before it left.
void ImpostaStampa(platform::PagePrinter &p, const QString &titolo, platform::PageOrientation orientamento);

// While it lives, a report that finds no printer installed is kept as a PDF
// file in the collection point's TEMP folder, and the user is told so under
// the title of the screen that prints it; the printer's own folder and title
// come back afterwards. A collection point out of reach leaves the printer's
// own folder.
class DestinazioneStampa {
public:
    explicit DestinazioneStampa(const QString &titolo);
    ~DestinazioneStampa();
    DestinazioneStampa(const DestinazioneStampa &) = delete;
    DestinazioneStampa &operator=(const DestinazioneStampa &) = delete;

private:
    platform::DevicePagePrinter *qt_;
    QString cartella_;
    QString titolo_;
};

}  // namespace flowengine
