#pragma once

#include "ui/main/windowfactory.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace uitransmission {

// Links the program to another existing archive; an archive without a
// collection point gets one through frmSetPickPoint, whose answer comes back
// in Tag ("" when none was given).
class frmArchiveLink : public QDialog {
    Q_OBJECT

public:
    explicit frmArchiveLink(QWidget *parent = nullptr);

    QString Tag;

    // Event handlers.
    void cmdConfirm_Click();
    void cmdCancel_Click();
    void cmdSelect_Click();
    void txtPathName_Change();

    QLabel *lblInstruction = nullptr;
    QLabel *lblPathName = nullptr;
    QLineEdit *txtPathName = nullptr;
    QPushButton *cmdConfirm = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdSelect = nullptr;

protected:
    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Makes the archive at the path the program's: settings file and options.
    // False, with everything as it was, when its options cannot be loaded or
    // the settings file cannot be written.
    bool collega(const QString &archivio);
};

// Asks for the new collection point of an archive that has none; the answer
// goes into the Tag of the archive link.
class frmSetPickPoint : public QDialog {
    Q_OBJECT

public:
    explicit frmSetPickPoint(frmArchiveLink *link);

    // Event handlers.
    void cmdConfirm_Click();
    void cmdCancel_Click();
    void cmdSelect_Click();
    void txtPathName_Change();

    QLabel *lblInstruction = nullptr;
    QLabel *lblPathName = nullptr;
    QLineEdit *txtPathName = nullptr;
    QPushButton *cmdConfirm = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdSelect = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void reject() override;

private:
    frmArchiveLink *link_;
};

// Registers the archive link with the window factory.
void RegistraCollegamentoArchivio(uimain::RegisteredWindowFactory &finestre);

}  // namespace uitransmission
