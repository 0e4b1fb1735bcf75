#pragma once

#include "ui/main/windowfactory.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace uitransmission {

// The options dialog: shows the program-wide options, copies them back on
// "&Applica" and "&OK", and on "&OK" has them saved into the archive.
class frmOpzioniCorbix : public QDialog {
    Q_OBJECT

public:
    explicit frmOpzioniCorbix(QWidget *parent = nullptr);

    void Form_Load();
    // Copies the controls into OpzioniCorbix. False, with nothing copied and
    // the user told, when the collection point typed is not a full path.
    bool AggiornaOpzioni();

    // Event handlers.
    void cmdConfirm_Click();
    void cmdApply_Click();
    void cmdCancel_Click();
    void cmdChangeUserDir_Click();
    void cmdSetPickPoint_Click();
    void cmbFloppyDevice_Click();

    QLabel *lblFloppyDevice = nullptr;
    QComboBox *cmbFloppyDevice = nullptr;
    QGroupBox *fraEDIBy = nullptr;
    QRadioButton *optByWEB = nullptr;
    QRadioButton *optByMIRSOLAN = nullptr;
    QRadioButton *optUser = nullptr;
    QCheckBox *chkPreventCtrl = nullptr;
    QGroupBox *fraWhereWrite = nullptr;
    QRadioButton *optOnFloppyDevice = nullptr;
    QRadioButton *optSaved = nullptr;
    QRadioButton *optOnUserDir = nullptr;
    QPushButton *cmdChangeUserDir = nullptr;
    QLabel *lblUserDir = nullptr;
    QLabel *lblPickPointPathName = nullptr;
    QPushButton *cmdSetPickPoint = nullptr;
    QLineEdit *txtPickPointPathName = nullptr;
    QPushButton *cmdConfirm = nullptr;
    QPushButton *cmdApply = nullptr;
    QPushButton *cmdCancel = nullptr;

private:
    void impostaCartellaUtente(const QString &cartella);
    void abilitaApplica() const;
};

// Registers the options dialog with the window factory.
void RegistraOpzioni(uimain::RegisteredWindowFactory &finestre);

}  // namespace uitransmission
