#include "ui/main/frmreplicaedi.h"

#include "common/globals.h"
#include "platform/messagebox.h"
#include "platform/twips.h"
#include "ui/main/composition.h"
#include "ui/main/folderchooser.h"
#include "ui/main/programfolder.h"
#include "ui/main/replication.h"
#include "ui/main/screen.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace uimain {

using platform::twips;

frmReplicaEDI::frmReplicaEDI(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmReplicaEDI"));
    setWindowTitle(QStringLiteral("Riproduzione di un corbex"));
    // Wider than drawn, so that the office caption reads whole.
    setFixedSize(twips(4950), twips(2235));

    lblCustomOfficeCode = new QLabel(QStringLiteral("Codice dell'ufficio doganale di presentazione"), this);
    lblCustomOfficeCode->setObjectName(QStringLiteral("lblCustomOfficeCode"));
    PosizionaTwips(lblCustomOfficeCode, 60, 105, 3345, 255);

    cmbCustomOfficeCode = new QComboBox(this);
    cmbCustomOfficeCode->setObjectName(QStringLiteral("cmbCustomOfficeCode"));
    cmbCustomOfficeCode->setEditable(false);
    PosizionaTwips(cmbCustomOfficeCode, 3525, 60, 1245, 315);

    lblProgNumber = new QLabel(QStringLiteral("Numero progressivo"), this);
    lblProgNumber->setObjectName(QStringLiteral("lblProgNumber"));
    PosizionaTwips(lblProgNumber, 60, 540, 3195, 240);

    txtProgNumber = new QLineEdit(this);
    txtProgNumber->setObjectName(QStringLiteral("txtProgNumber"));
    txtProgNumber->setMaxLength(2);
    PosizionaTwips(txtProgNumber, 3525, 510, 315, 300);

    undXtxtProgNumber = new QSpinBox(this);
    undXtxtProgNumber->setObjectName(QStringLiteral("undXtxtProgNumber"));
    undXtxtProgNumber->setRange(0, 99);
    PosizionaTwips(undXtxtProgNumber, 3855, 525, 240, 300);

    lblPath = new QLabel(QStringLiteral("Cartella di destinazione"), this);
    lblPath->setObjectName(QStringLiteral("lblPath"));
    PosizionaTwips(lblPath, 90, 990, 1800, 255);

    txtPathCorbex = new QLineEdit(this);
    txtPathCorbex->setObjectName(QStringLiteral("txtPathCorbex"));
    PosizionaTwips(txtPathCorbex, 90, 1305, 2910, 330);

    cmdSelect = new QPushButton(QStringLiteral("&Sfoglia..."), this);
    cmdSelect->setObjectName(QStringLiteral("cmdSelect"));
    // The chooser belongs to the transmission screens; without it there is
    // nothing to browse with.
    cmdSelect->setEnabled(folderChooserSlot() != nullptr);
    PosizionaTwips(cmdSelect, 3045, 1305, 1620, 360);

    cmdConfirm = new QPushButton(QStringLiteral("&OK"), this);
    cmdConfirm->setObjectName(QStringLiteral("cmdConfirm"));
    cmdConfirm->setDefault(true);
    PosizionaTwips(cmdConfirm, 285, 1770, 1620, 360);

    cmdCancel = new QPushButton(QStringLiteral("A&nnulla"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    PosizionaTwips(cmdCancel, 2805, 1770, 1620, 360);

    setTabOrder(cmbCustomOfficeCode, txtProgNumber);
    setTabOrder(txtProgNumber, txtPathCorbex);
    setTabOrder(txtPathCorbex, cmdSelect);
    setTabOrder(cmdSelect, cmdConfirm);
    setTabOrder(cmdConfirm, cmdCancel);
    setTabOrder(cmdCancel, undXtxtProgNumber);

    for (QWidget *w : std::initializer_list<QWidget *>{txtProgNumber, undXtxtProgNumber, txtPathCorbex, cmdSelect,
                                                      cmdConfirm, cmdCancel})
        w->installEventFilter(this);

    connect(cmbCustomOfficeCode, &QComboBox::activated, this, &frmReplicaEDI::cmbCustomOfficeCode_Click);
    connect(cmdSelect, &QPushButton::clicked, this, &frmReplicaEDI::cmdSelect_Click);
    connect(cmdConfirm, &QPushButton::clicked, this, &frmReplicaEDI::cmdConfirm_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmReplicaEDI::cmdCancel_Click);
    connect(undXtxtProgNumber, &QSpinBox::valueChanged, this, &frmReplicaEDI::undXtxtProgNumber_Change);
    // The up-down control steps from the number typed in its field.
    connect(txtProgNumber, &QLineEdit::textEdited, this, [this](const QString &testo) {
        if (const std::optional<int> numero = ProgressivoValido(testo)) {
            const QSignalBlocker blocker(undXtxtProgNumber);
            undXtxtProgNumber->setValue(*numero);
        }
    });
}

void frmReplicaEDI::Form_Load()
{
    cmbCustomOfficeCode->addItems(CodiciUfficiDoganali());
    cmbCustomOfficeCode->setCurrentIndex(-1);
    txtPathCorbex->setText(common::OpzioniCorbix.UserDir);
    txtProgNumber->clear();
}

void frmReplicaEDI::ControlloPendente()
{
    if (VerificaInSospeso)
        VerificaNumero();
}

void frmReplicaEDI::VerificaNumero()
{
    VerificaInSospeso = false;
    if (const std::optional<int> numero = ProgressivoValido(txtProgNumber->text())) {
        ImpostaColore(txtProgNumber);
        txtProgNumber->setText(QStringLiteral("%1").arg(*numero, 2, 10, QLatin1Char('0')));
    } else {
        ImpostaColore(txtProgNumber, ColoreRosso);
    }
}

void frmReplicaEDI::cmbCustomOfficeCode_Click() { ControlloPendente(); }

void frmReplicaEDI::cmdSelect_Click()
{
    ControlloPendente();
    FolderChooser *scelta = folderChooserSlot();
    if (!scelta)
        return;
    const QString tag = scelta->scegli(this, pos() + QPoint(twips(300), twips(700)),
                                       QStringLiteral("Selezionare la cartella."), txtPathCorbex->text());
    if (!tag.isEmpty())
        txtPathCorbex->setText(tag);
    RipristinaCartellaProgramma();
}

void frmReplicaEDI::cmdConfirm_Click()
{
    ControlloPendente();
    if (const auto messaggio =
            ControlloReplica(cmbCustomOfficeCode->currentText(), txtPathCorbex->text(), txtProgNumber->text()))
        platform::msgBox(*messaggio);
}

void frmReplicaEDI::cmdCancel_Click() { reject(); }

void frmReplicaEDI::reject()
{
    ControlloPendente();
    QDialog::reject();
}

void frmReplicaEDI::undXtxtProgNumber_Change()
{
    txtProgNumber->setText(QString::number(undXtxtProgNumber->value()));
    ImpostaColore(txtProgNumber, ColoreFuoco);
    VerificaInSospeso = true;
    ImpostaColore(txtPathCorbex);
}

bool frmReplicaEDI::eventFilter(QObject *watched, QEvent *event)
{
    // Focus that comes and goes with the window's activation (a message box
    // over it) is no move between fields.
    bool entra = false, esce = false;
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        const Qt::FocusReason motivo = static_cast<QFocusEvent *>(event)->reason();
        const bool traCampi = motivo != Qt::ActiveWindowFocusReason && motivo != Qt::PopupFocusReason;
        entra = traCampi && event->type() == QEvent::FocusIn;
        esce = traCampi && event->type() == QEvent::FocusOut;
    }
    if (watched == txtProgNumber) {
        if (entra)
            ImpostaColore(txtProgNumber, ColoreFuoco);
        else if (esce)
            VerificaNumero();
    } else if (watched == undXtxtProgNumber) {
        if (esce)
            VerificaNumero();
    } else if (watched == txtPathCorbex) {
        if (entra) {
            ControlloPendente();
            ImpostaColore(txtPathCorbex, ColoreFuoco);
        } else if (esce) {
            ImpostaColore(txtPathCorbex);
        }
    } else if (entra && (watched == cmdSelect || watched == cmdConfirm || watched == cmdCancel)) {
        ControlloPendente();
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace uimain
