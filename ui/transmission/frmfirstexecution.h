#pragma once

#include "ui/main/windowfactory.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace uitransmission {

// The first-run wizard: 1 welcome, 2 the archive, 3 a new collection point
// (only for an archive that has none), 4 summary. "&Fine" puts the program
// database in place where the program folder has none, sets the archive up
// and hands start-up EsitoPrimaEsecuzione: 1 to go on, 0 to end.
class frmFirstExecution : public QDialog {
    Q_OBJECT

public:
    explicit frmFirstExecution(QWidget *parent = nullptr);

    void ImpostaPasso();
    void AggiornaPulsanti();

    // Event handlers.
    void cmdConfirm_Click();
    void cmdPreview_Click();
    void cmdCancel_Click();
    void cmdSelect_Click();

    QLabel *lblInstruction = nullptr;
    QLabel *lblPathName = nullptr;
    QLineEdit *txtPathName = nullptr;
    QPushButton *cmdSelect = nullptr;
    QPushButton *cmdPreview = nullptr;
    QPushButton *cmdConfirm = nullptr;
    QPushButton *cmdCancel = nullptr;

    // The wizard's state.
    int PassoCorrente = 1;
    int PassoPrecedente = 0;
    int PassoSuccessivo = 2;
    int UltimoPasso = 4;
    QString PercorsoArchivio = QStringLiteral("C:\\");
    QString PuntoRaccolta = QStringLiteral("C:\\Corbix Doganali");

protected:
    void done(int result) override;
    void reject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fine();
};

// Registers the wizard with the window factory.
void RegistraPrimaEsecuzione(uimain::RegisteredWindowFactory &finestre);

}  // namespace uitransmission
