#pragma once

#include "platform/scopedservice.h"

#include <QString>
#include <optional>
#include <vector>

class QWidget;

// The open-file and save-file dialogs of the screens. Paths go in and come
// back in Windows form, as the program keeps them; the dialog itself shows
// the host folders behind them through the drive table.
namespace uimain {

struct RichiestaFile {
    bool salva = false;        // a save dialog; an open dialog otherwise
    QString titolo;            // DialogTitle
    QString filtro;            // "Descrizione|*.ext|..." ; empty for every file
    int indiceFiltro = 0;      // FilterIndex, 1 for the first filter
    QString estensione;        // DefaultExt, without the dot
    QString nomeFile;          // FileName
    QString cartellaIniziale;  // InitDir
    bool operator==(const RichiestaFile &) const = default;
};

class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    // The full path chosen; nothing when the user cancelled.
    virtual std::optional<QString> scegli(QWidget *owner, const RichiestaFile &richiesta) = 0;
};

FileDialogService &fileDialogs();

// The QFileDialog implementation.
class QtFileDialogService : public FileDialogService {
public:
    std::optional<QString> scegli(QWidget *owner, const RichiestaFile &richiesta) override;
};

// Records every request and answers from a script; with the script used up
// it answers as a cancel.
class RecordingFileDialogService : public FileDialogService {
public:
    std::optional<QString> scegli(QWidget *owner, const RichiestaFile &richiesta) override;
    std::vector<RichiestaFile> richieste;
    std::vector<std::optional<QString>> risposte;
};

// The pointer behind the accessor; a guard installs a test double in it.
FileDialogService *&fileDialogSlot();
using ScopedFileDialogService = platform::ScopedService<FileDialogService, fileDialogSlot>;

}  // namespace uimain
