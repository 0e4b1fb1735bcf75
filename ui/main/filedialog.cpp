#include "ui/main/filedialog.h"

#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/messagebox.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QMimeDatabase>
#include <QScreen>
#include <QTreeView>
#include <algorithm>

namespace uimain {

namespace {

// Qt's list of files writes its sizes and dates in the system's locale and
// calls a folder "Folder" whatever its translation: the list speaks the
// program's Italian instead, with the program's date form.
class ColonneFileItaliane : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        QVariant shown = QIdentityProxyModel::data(index, role);
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        // A value not read yet stays empty until the model has it.
        if (role != Qt::DisplayRole || !files || shown.toString().isEmpty())
            return shown;
        const QModelIndex source = mapToSource(index);
        switch (index.column()) {
        case 1:
            return QLocale().formattedDataSize(files->size(source));
        case 2:
            if (files->isDir(source))
                return QMimeDatabase().mimeTypeForName(QStringLiteral("inode/directory")).comment();
            return shown;
        case 3:
            return QLocale().toString(files->lastModified(source), QStringLiteral("dd/MM/yyyy HH:mm"));
        default:
            return shown;
        }
    }
};

}  // namespace

bool operator==(const RichiestaFile &a, const RichiestaFile &b)
{
    return a.tipo == b.tipo && a.titolo == b.titolo && a.filtro == b.filtro && a.indiceFiltro == b.indiceFiltro
           && a.estensione == b.estensione && a.nomeFile == b.nomeFile && a.cartellaIniziale == b.cartellaIniziale
           && a.flags == b.flags;
}

QStringList filtriQt(const QString &filtro)
{
    const QStringList parti = filtro.split(u'|');
    QStringList filtri;
    for (int i = 0; i + 1 < parti.size(); i += 2) {
        const QString modelli = parti[i + 1].trimmed().replace(u';', u' ');
        if (modelli.isEmpty())
            continue;
        // A description that already ends with its patterns is shown as it is:
        // the dialog takes the patterns from the last parentheses.
        const QString descrizione = parti[i].trimmed();
        const QString coda = u'(' + modelli + u')';
        filtri << (descrizione.endsWith(coda) ? descrizione : descrizione + u' ' + coda);
    }
    return filtri;
}

std::optional<QString> QtFileDialogService::scegli(QWidget *owner, const RichiestaFile &richiesta)
{
    QFileDialog dialog(owner, richiesta.titolo);
    dialog.setObjectName(QStringLiteral("cdlSelect"));
    // Qt's own dialog on every desktop: a desktop's native one speaks the
    // session's language and knows nothing of the drive table.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new ColonneFileItaliane(&dialog));
    dialog.setAcceptMode(richiesta.tipo == TipoDialogoFile::Salva ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(richiesta.tipo == TipoDialogoFile::Salva ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (richiesta.tipo == TipoDialogoFile::Salva)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filtri = filtriQt(richiesta.filtro);
    if (!filtri.isEmpty()) {
        dialog.setNameFilters(filtri);
        if (richiesta.indiceFiltro >= 1 && richiesta.indiceFiltro <= filtri.size())
            dialog.selectNameFilter(filtri[richiesta.indiceFiltro - 1]);
    }
    QString estensione = richiesta.estensione;
    if (estensione.startsWith(u'.'))
        estensione.remove(0, 1);
    dialog.setDefaultSuffix(estensione);
    // A folder on a drive that is not ready opens the dialog where it was.
    try {
        if (!richiesta.cartellaIniziale.isEmpty())
            dialog.setDirectory(platform::hostPath(richiesta.cartellaIniziale));
    } catch (const platform::RuntimeError &) {
    }
    dialog.selectFile(richiesta.nomeFile);
    // Qt sizes the columns of its list for English texts: the size, type
    // and date take the width of their Italian contents. Once a folder's
    // entries are in, the name takes the width of the longest, and the
    // dialog widens (within the screen) where the columns would still need
    // the list scrolled sideways to be read.
    auto *elenco = dialog.findChild<QTreeView *>();
    auto *modello = dialog.findChild<QFileSystemModel *>();
    if (elenco) {
        for (int c = 1; c < elenco->header()->count(); ++c)
            elenco->header()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
        if (modello)
            QObject::connect(modello, &QFileSystemModel::directoryLoaded, &dialog, [&dialog, elenco] {
                elenco->header()->resizeSections(QHeaderView::ResizeToContents);
                const int eccesso = elenco->header()->length() - elenco->viewport()->width();
                if (eccesso <= 0)
                    return;
                const int massimo = dialog.screen() ? dialog.screen()->availableGeometry().width() : dialog.width();
                dialog.resize(std::min(dialog.width() + eccesso, std::max(massimo, dialog.width())), dialog.height());
            });
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString scelto = dialog.selectedFiles().first();
    const QString percorso = platform::driveTable().windowsPath(scelto);
    if (percorso.isEmpty()) {
        platform::msgBox(QStringLiteral("Il percorso '") + scelto
                             + QStringLiteral("' non è valido. Indicare un percorso corretto."),
                         richiesta.titolo, platform::MsgIcon::Exclamation);
        return std::nullopt;
    }
    return percorso;
}

FileDialogService *&fileDialogSlot()
{
    static QtFileDialogService real;
    static FileDialogService *current = &real;
    return current;
}

FileDialogService &fileDialogService() { return *fileDialogSlot(); }

}  // namespace uimain
