#include "common/dialogs.h"

#include "common/frmmirsomsg.h"

#include <QMessageBox>
#include <QPushButton>

namespace common {

platform::MsgResult QtErrorDialogService::ask(const QString &text)
{
    QMessageBox box;
    box.setWindowTitle(QStringLiteral("GESTIONE DEGLI ERRORI"));
    box.setText(text);
    box.setIcon(QMessageBox::NoIcon);
    // Buttons of no dialog role: the box then finds no escape button, so Esc
    // and the close box leave it open.
    const struct {
        const char *label;
        platform::MsgResult result;
    } buttons[] = {
        {"Interrompi", platform::MsgResult::Abort},
        {"Riprova", platform::MsgResult::Retry},
        {"Ignora", platform::MsgResult::Ignore},
    };
    std::vector<QPushButton *> pushButtons;
    for (const auto &b : buttons)
        pushButtons.push_back(box.addButton(QString::fromLatin1(b.label), QMessageBox::ActionRole));
    box.setDefaultButton(pushButtons.front());
    box.exec();
    for (size_t i = 0; i < pushButtons.size(); ++i)
        if (box.clickedButton() == pushButtons[i])
            return buttons[i].result;
    return platform::MsgResult::Abort;
}

void InstallaDialoghi()
{
    static QtErrorDialogService errorDialog;
    errorDialogSlot() = &errorDialog;
    static QtThreeButtonDialogService threeButtonDialog;
    threeButtonDialogSlot() = &threeButtonDialog;
}

}  // namespace common
