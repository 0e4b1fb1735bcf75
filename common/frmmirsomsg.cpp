#include "common/frmmirsomsg.h"

#include "platform/twips.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace common {

using platform::toTwips;
using platform::twips;

namespace {

constexpr int DesignOkLeft = 45;
constexpr int DesignAdjustLeft = 1500;
constexpr int DesignAcceptLeft = 2940;
constexpr int ButtonTop = 915;
constexpr int ButtonWidth = 1395;
constexpr int ButtonHeight = 420;

}  // namespace

namespace {

void place(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(twips(left), twips(top), twips(width), twips(height));
}

}  // namespace

MirsoMsgButtonLefts mirsoMsgButtonLefts(int windowWidth, int buttonWidth, bool adjustVisible, bool acceptVisible)
{
    MirsoMsgButtonLefts lefts{DesignOkLeft, DesignAdjustLeft, DesignAcceptLeft};
    const int quarter = windowWidth / 4 - buttonWidth / 2;
    const int threeQuarters = (windowWidth / 4) * 3 - buttonWidth / 2;
    if (!adjustVisible && !acceptVisible) {
        lefts.ok = windowWidth / 2 - buttonWidth / 2;
    } else if (adjustVisible && !acceptVisible) {
        lefts.ok = quarter;
        lefts.adjust = threeQuarters;
    } else if (acceptVisible && !adjustVisible) {
        lefts.ok = quarter;
        lefts.accept = threeQuarters;
    }
    return lefts;
}

frmMirsoMsg::frmMirsoMsg(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmMirsoMsg"));
    setFixedSize(twips(4380), twips(1380));
    move(twips(3780), twips(3780));

    lblMessage = new QLabel(this);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    lblMessage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblMessage->setWordWrap(true);
    place(lblMessage, 45, 60, 4290, 795);

    auto button = [this](const char *name, const QString &caption, int left) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        b->setDefault(false);
        place(b, left, ButtonTop, ButtonWidth, ButtonHeight);
        return b;
    };
    cmdOK = button("cmdOK", QStringLiteral("OK"), DesignOkLeft);
    cmdAdjust = button("cmdAdjust", QStringLiteral("Correggi"), DesignAdjustLeft);
    cmdAccept = button("cmdAccept", QStringLiteral("Accetta"), DesignAcceptLeft);
    setTabOrder(cmdOK, cmdAdjust);
    setTabOrder(cmdAdjust, cmdAccept);

    connect(cmdOK, &QPushButton::clicked, this, [this] { choose(QStringLiteral("0")); });
    connect(cmdAdjust, &QPushButton::clicked, this, [this] { choose(QStringLiteral("1")); });
    connect(cmdAccept, &QPushButton::clicked, this, [this] { choose(QStringLiteral("2")); });
}

void frmMirsoMsg::choose(const QString &tag)
{
    Tag = tag;
    hide();
}

void frmMirsoMsg::Form_Activate()
{
    // A message longer than the window was drawn for grows it downwards,
    // the buttons staying clear below the text.
    const int testo = std::max(twips(795), lblMessage->heightForWidth(lblMessage->width()));
    lblMessage->resize(lblMessage->width(), testo);
    const int top = std::max(twips(ButtonTop), lblMessage->y() + testo + twips(60));
    for (QPushButton *b : {cmdOK, cmdAdjust, cmdAccept})
        b->move(b->x(), top);
    setFixedHeight(std::max(twips(1380), top + cmdOK->height() + twips(45)));
    const MirsoMsgButtonLefts lefts =
        mirsoMsgButtonLefts(toTwips(frameGeometry().width()), toTwips(cmdOK->width()), !cmdAdjust->isHidden(),
                            !cmdAccept->isHidden());
    cmdOK->move(twips(lefts.ok), cmdOK->y());
    cmdAdjust->move(twips(lefts.adjust), cmdAdjust->y());
    cmdAccept->move(twips(lefts.accept), cmdAccept->y());
    cmdOK->setFocus();
}

void frmMirsoMsg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Form_Activate();
}

void frmMirsoMsg::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

void frmMirsoMsg::keyPressEvent(QKeyEvent *event)
{
    // Enter answers through the focused button; Escape does nothing.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto *focused = qobject_cast<QPushButton *>(focusWidget())) {
            focused->click();
            event->accept();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

void frmMirsoMsg::closeEvent(QCloseEvent *event)
{
    // Closing by the close box unloads the window: read afterwards, its Tag
    // is that of a window loaded afresh.
    Tag.clear();
    QDialog::closeEvent(event);
}

QString QtThreeButtonDialogService::show(const ThreeButtonRequest &request)
{
    frmMirsoMsg form;
    form.setWindowTitle(request.caption);
    // The label breaks lines at LF; the callers join their lines with CR LF.
    form.lblMessage->setText(QString(request.message).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    form.cmdAdjust->setVisible(request.adjustVisible);
    form.cmdAccept->setVisible(request.acceptVisible);
    form.exec();
    return form.Tag;
}

}  // namespace common
