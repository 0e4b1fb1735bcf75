#pragma once

#include "common/threebuttondialog.h"

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace common {

// The Left of each button after the dialog is laid out for the buttons shown:
// "OK" alone is centred, two buttons sit at a quarter and three quarters of
// the window's outer width, three keep their places.
struct MirsoMsgButtonLefts {
    int ok;
    int adjust;
    int accept;
    bool operator==(const MirsoMsgButtonLefts &) const = default;
};
MirsoMsgButtonLefts mirsoMsgButtonLefts(int windowWidth, int buttonWidth, bool adjustVisible,
                                        bool acceptVisible);

// The three-button message window: "OK", "Correggi", "Accetta". The choice
// comes back in Tag: "0", "1", "2", or "" when the window was closed.
class frmMirsoMsg : public QDialog {
    Q_OBJECT
public:
    explicit frmMirsoMsg(QWidget *parent = nullptr);

    QString Tag;

    QLabel *lblMessage;
    QPushButton *cmdOK;
    QPushButton *cmdAdjust;
    QPushButton *cmdAccept;

    // Lays out the buttons shown and gives "OK" the focus.
    void Form_Activate();

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void choose(const QString &tag);
};

// Shows frmMirsoMsg modally, reads its Tag and unloads it; InstallaDialoghi
// installs it.
class QtThreeButtonDialogService : public ThreeButtonDialogService {
public:
    QString show(const ThreeButtonRequest &request) override;
};

}  // namespace common
