#pragma once

#include "flowengine/register.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace uimain {
class RegisteredWindowFactory;
}

namespace uitransmission {

// "Invio corbex a " + the service machine: copies the archived file of the
// flow of the main list's selected row onto the EDI user's share, after the
// user's EDI password and the office of presentation. It changes nothing in
// the register of flows.
class frmSendMirsolan : public QDialog {
    Q_OBJECT

public:
    // corbex: the flow as the main window's list showed it.
    frmSendMirsolan(QWidget *owner, const flowengine::DatiCorbex &corbex);

    void Form_Load();
    void cmdConfirm_Click();
    void cmdCancel_Click();
    // The progressive number's check when it is left.
    void txtProgNumber_LostFocus();

    QGroupBox *fraUserData = nullptr;
    QLabel *lblUserId = nullptr;
    QLabel *txtUserId = nullptr;
    QLabel *lblUserPasswd = nullptr;
    QLineEdit *txtUserPasswd = nullptr;
    QCheckBox *chkSavePasswd = nullptr;
    QGroupBox *fraMessageData = nullptr;
    QLabel *lblMessageDate = nullptr;
    QLabel *txtMessageDate = nullptr;
    QLabel *lblProgNumber = nullptr;
    QLineEdit *txtProgNumber = nullptr;
    QLabel *lblCustomOfficeCode = nullptr;
    QComboBox *cmbCustomOfficeCode = nullptr;
    QPushButton *cmdConfirm = nullptr;
    QPushButton *cmdCancel = nullptr;

    // The flow of the selected row, and in Tag the file to send.
    flowengine::DatiCorbex Corbex;
    QString Tag;
    // Set when the send found the flow no longer in the register as listed.
    bool ElencoSuperato = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void carica();
    flowengine::DatiCorbex elencato_;
};

// Registers the window as the one the main window's send command opens.
void RegistraInvio(uimain::RegisteredWindowFactory &finestre);

}  // namespace uitransmission
