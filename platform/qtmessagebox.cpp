#include "platform/qtmessagebox.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

namespace platform {

namespace {

QMessageBox::StandardButton toStandard(MsgResult r)
{
    switch (r) {
    case MsgResult::OK: return QMessageBox::Ok;
    case MsgResult::Cancel: return QMessageBox::Cancel;
    case MsgResult::Abort: return QMessageBox::Abort;
    case MsgResult::Retry: return QMessageBox::Retry;
    case MsgResult::Ignore: return QMessageBox::Ignore;
    case MsgResult::Yes: return QMessageBox::Yes;
    case MsgResult::No: return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

QString italianText(MsgResult r)
{
    switch (r) {
    case MsgResult::OK: return QStringLiteral("OK");
    case MsgResult::Cancel: return QStringLiteral("Annulla");
    case MsgResult::Abort: return QStringLiteral("Interrompi");
    case MsgResult::Retry: return QStringLiteral("Riprova");
    case MsgResult::Ignore: return QStringLiteral("Ignora");
    case MsgResult::Yes: return QStringLiteral("Sì");
    case MsgResult::No: return QStringLiteral("No");
    }
    return {};
}

// A box that only its buttons can close, when it has no natural "no" answer:
// QMessageBox would otherwise pick one of the buttons for Esc and the close box.
class ButtonsOnlyBox : public QMessageBox {
public:
    bool buttonsOnly = false;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (buttonsOnly && event->key() == Qt::Key_Escape) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent *event) override
    {
        if (buttonsOnly && !clickedButton()) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }
};

}  // namespace

MsgResult QtMessageBoxService::show(const Message &message)
{
    ButtonsOnlyBox box;
    box.setObjectName(QStringLiteral("msgBox"));
    box.setWindowTitle(message.title);
    box.setText(message.text);
    switch (message.icon) {
    case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    }
    const std::vector<MsgResult> results = buttonsOf(message.buttons);
    std::vector<QPushButton *> pushButtons;
    for (MsgResult r : results) {
        QPushButton *b = box.addButton(toStandard(r));
        b->setText(italianText(r));
        pushButtons.push_back(b);
    }
    const size_t def = static_cast<size_t>(message.defaultButton) - 1;
    if (def < pushButtons.size())
        box.setDefaultButton(pushButtons[def]);
    // Esc and the close box act only where the set has a natural "no" answer.
    if (message.buttons == MsgButtons::OK)
        box.setEscapeButton(pushButtons.front());
    else if (message.buttons == MsgButtons::OKCancel || message.buttons == MsgButtons::YesNoCancel
             || message.buttons == MsgButtons::RetryCancel)
        box.setEscapeButton(pushButtons.back());
    else
        box.buttonsOnly = true;
    box.exec();
    for (size_t i = 0; i < pushButtons.size(); ++i)
        if (box.clickedButton() == pushButtons[i])
            return results[i];
    return results.back();
}

}  // namespace platform
