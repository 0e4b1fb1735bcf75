#pragma once

#include "ui/main/folderchooser.h"

#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace uitransmission {

// The folder chooser: a drive list over the drive table, the folders of the
// drive with the one open and the path it shows. The caller hands the start
// folder in through Tag and reads the folder chosen back from it: "" unless
// the user chose "&OK".
class frmSelectDir : public QDialog {
    Q_OBJECT

public:
    explicit frmSelectDir(QWidget *parent = nullptr);

    QString Tag;

    // The folder open in the directory list, "C:\Dati" or "C:\".
    QString PercorsoElenco() const { return percorso_; }
    // Opens a folder in the directory list; raises the file error of a drive
    // that is not ready (68) or of a folder that is not there (76).
    void ImpostaPercorsoElenco(const QString &percorso);

    // Event handlers.
    void Form_Activate();
    void dlbDirveList_Change();
    void dlbDirList_Change();
    void cmdConfirm_Click();
    void cmdCancel_Click();

    QListWidget *dlbDirList = nullptr;
    QPushButton *cmdConfirm = nullptr;
    QPushButton *cmdCancel = nullptr;
    QLabel *lblPath = nullptr;
    QComboBox *dlbDirveList = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // The drive letter shown by the drive list; a null character when none.
    QChar driveMostrato() const;
    // Shows a drive in the drive list without handling the change.
    void mostraDrive(QChar drive);
    void riempiDrive();
    void riempiElenco();
    void dlbDirList_DblClick(QListWidgetItem *item);

    QString percorso_;
    QChar driveIniziale_;
    bool attivazione_ = false;
};

// The chooser as the screens open it: frmSelectDir placed at a point,
// captioned, with its drive list and path label shown.
class SceltaCartella : public uimain::FolderChooser {
public:
    QString scegli(QWidget *owner, const QPoint &posizione, const QString &caption,
                   const QString &cartellaIniziale) override;
};

// The chooser in use: the one installed for the screens, or the program's own.
uimain::FolderChooser &sceltaCartella();

// Installs frmSelectDir as the chooser of the composition wizard.
void InstallaSceltaCartella();

}  // namespace uitransmission
