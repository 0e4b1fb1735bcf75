#pragma once

#include "common/errordialog.h"

// The windows of the services every screen shares, installed by the program
// that has windows in place of the unattended answers of the widget-free
// library.
namespace common {

// The error management's box as a QMessageBox.
class QtErrorDialogService : public ErrorDialogService {
public:
    platform::MsgResult ask(const QString &text) override;
};

// Installs the error management's box and the three-button message window
// (frmMirsoMsg): main() and the tests call it once, after
// platform::ImpostaApplicazione.
void InstallaDialoghi();

}  // namespace common
