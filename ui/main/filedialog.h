#pragma once

#include "platform/scopedservice.h"

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

// The open-file and save-file dialogs of the screens. A request carries what
// the screens set on their dialog: title, filter ("Archivi (*.mdb) |*.mdb|":
// pairs of description and pattern, each followed by "|"), the 1-based filter
// index (0 for none), default extension, file name, initial folder and flags.
// Paths go in and come back in their Windows form, through the drive table.
namespace uimain {

enum class TipoDialogoFile { Apri, Salva };

// Hide read-only, path must exist, explorer style and long names.
constexpr qint32 FlagsDialogoArchivio = 2623492;

struct RichiestaFile {
    TipoDialogoFile tipo = TipoDialogoFile::Apri;
    QString titolo;
    QString filtro;
    int indiceFiltro = 0;
    QString estensione;
    QString nomeFile;
    QString cartellaIniziale;
    qint32 flags = 0;
};

bool operator==(const RichiestaFile &a, const RichiestaFile &b);

class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    // The full path chosen; nothing when the user cancelled.
    virtual std::optional<QString> scegli(QWidget *owner, const RichiestaFile &richiesta) = 0;
};

FileDialogService &fileDialogService();

// The QFileDialog implementation. A host folder that no drive holds cannot be
// handed back in Windows form: the user is told and the choice is cancelled.
class QtFileDialogService : public FileDialogService {
public:
    std::optional<QString> scegli(QWidget *owner, const RichiestaFile &richiesta) override;
};

// The filter of a request as QFileDialog takes it, each description with its
// patterns once: "Archivi (*.mdb) |*.mdb|" gives "Archivi (*.mdb)", "Testi|*.txt;*.doc|"
// gives "Testi (*.txt *.doc)".
QStringList filtriQt(const QString &filtro);

// The pointer behind the accessor; a guard installs a test double in it.
FileDialogService *&fileDialogSlot();
using ScopedFileDialogService = platform::ScopedService<FileDialogService, fileDialogSlot>;

}  // namespace uimain
