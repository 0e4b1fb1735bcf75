#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace uimain {

// The screen for reproducing a flow into a folder: it asks for the customs
// office of presentation, the destination folder and the progressive number,
// and checks them. It writes nothing. "Sfoglia..." is enabled only when the
// folder chooser of the transmission screens is installed.
// No command of the program opens this screen.
class frmReplicaEDI : public QDialog {
    Q_OBJECT

public:
    explicit frmReplicaEDI(QWidget *parent = nullptr);

    // Fills the office codes and the folder; database errors reach the caller.
    void Form_Load();

    void cmbCustomOfficeCode_Click();
    void cmdSelect_Click();
    void cmdConfirm_Click();
    void cmdCancel_Click();
    void undXtxtProgNumber_Change();

    // Runs the progressive-number check when the up-down control has changed
    // the number since the last one.
    void ControlloPendente();
    // The progressive-number check (ProgressivoValido): a valid number is
    // written in two digits, an invalid one turns the field red.
    void VerificaNumero();

    QLabel *lblCustomOfficeCode = nullptr;
    QComboBox *cmbCustomOfficeCode = nullptr;
    QLabel *lblProgNumber = nullptr;
    QLineEdit *txtProgNumber = nullptr;
    QSpinBox *undXtxtProgNumber = nullptr;
    QLabel *lblPath = nullptr;
    QLineEdit *txtPathCorbex = nullptr;
    QPushButton *cmdSelect = nullptr;
    QPushButton *cmdConfirm = nullptr;
    QPushButton *cmdCancel = nullptr;

    // Set when the up-down control changes the number, cleared by the check.
    bool VerificaInSospeso = false;

    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

}  // namespace uimain
