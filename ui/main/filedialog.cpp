#include "ui/main/filedialog.h"

#include "platform/drives.h"
#include "platform/errors.h"

#include <QFileDialog>
#include <QStringList>

namespace uimain {

FileDialogService *&fileDialogSlot()
{
    static FileDialogService *current = nullptr;
    return current;
}

FileDialogService &fileDialogs()
{
    static QtFileDialogService real;
    return fileDialogSlot() ? *fileDialogSlot() : real;
}

namespace {

// "Testi|*.txt|Tutti|*.*" as Qt writes it: "Testi (*.txt);;Tutti (*.*)".
QStringList filtriQt(const QString &filtro)
{
    QStringList filtri;
    const QStringList parti = filtro.split(u'|');
    for (qsizetype i = 0; i + 1 < parti.size(); i += 2)
        filtri << parti[i] + QStringLiteral(" (") + QString(parti[i + 1]).replace(u';', u' ') + u')';
    return filtri;
}

// The host folder of a Windows path; empty when its drive is not ready.
QString cartellaHost(const QString &path)
{
    if (path.isEmpty())
        return {};
    try {
        return platform::hostPath(path);
    } catch (const platform::RuntimeError &) {
        return {};
    }
}

}  // namespace

std::optional<QString> QtFileDialogService::scegli(QWidget *owner, const RichiestaFile &richiesta)
{
    QFileDialog dialog(owner, richiesta.titolo);
    dialog.setAcceptMode(richiesta.salva ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(richiesta.salva ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const QStringList filtri = filtriQt(richiesta.filtro);
    if (!filtri.isEmpty()) {
        dialog.setNameFilters(filtri);
        if (richiesta.indiceFiltro >= 1 && richiesta.indiceFiltro <= filtri.size())
            dialog.selectNameFilter(filtri[richiesta.indiceFiltro - 1]);
    }
    if (!richiesta.estensione.isEmpty())
        dialog.setDefaultSuffix(richiesta.estensione);
    if (const QString cartella = cartellaHost(richiesta.cartellaIniziale); !cartella.isEmpty())
        dialog.setDirectory(cartella);
    if (!richiesta.nomeFile.isEmpty())
        dialog.selectFile(richiesta.nomeFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString scelto = dialog.selectedFiles().constFirst();
    const QString windows = platform::driveTable().windowsPath(scelto);
    return windows.isEmpty() ? scelto : windows;
}

std::optional<QString> RecordingFileDialogService::scegli(QWidget *, const RichiestaFile &richiesta)
{
    richieste.push_back(richiesta);
    if (risposte.size() < richieste.size())
        return std::nullopt;
    return risposte[richieste.size() - 1];
}

}  // namespace uimain
