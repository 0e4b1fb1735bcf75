#include "ui/main/frmreplicaedi.h"

#include "common/globals.h"
#include "common/openretry.h"
#include "common/paths.h"
#include "common/threebuttondialog.h"
#include "flowengine/collectionpoint.h"
#include "platform/dao/database.h"
#include "platform/dao/recordset.h"
#include "platform/drives.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QSpinBox>
#include <cmath>

namespace uimain {

using common::twipsToPixels;
using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

const QString Titolo = QStringLiteral("Corbix doganali");
const QColor ColoreFuoco(0, 255, 255);
const QColor ColoreRosso(255, 0, 0);

void place(QWidget *control, int left, int top, int width, int height)
{
    control->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

// The field's background; no colour gives the system's window colour back.
void colora(QWidget *field, const QColor &colour = QColor())
{
    QPalette p = field->palette();
    p.setColor(QPalette::Base, colour.isValid() ? colour : QApplication::palette().color(QPalette::Base));
    field->setPalette(p);
}

}  // namespace

NumeroProgressivo VerificaNumeroReplica(const QString &testo)
{
    if (!common::IsNumericText(testo))
        return {false, testo};
    const double valore = common::ExtractNumber(testo);
    // A progressive number is whole: ".5" or "5." are not numbers of a flow.
    if (valore < 0 || valore > 99 || valore != std::floor(valore))
        return {false, testo};
    return {true, QStringLiteral("%1").arg(int(valore), 2, 10, QLatin1Char('0'))};
}

std::optional<Message> ControlloReplica(const QString &ufficio, const QString &cartella, const QString &numero)
{
    if (ufficio.isEmpty())
        return Message{QStringLiteral("E' necessario indicare il codice dell'ufficio doganali di presentazione del corbex."),
                       Titolo, MsgIcon::Information, MsgButtons::OK, 1};
    // An empty path would name the current folder; it names no destination.
    if (cartella.trimmed().isEmpty() || !flowengine::EsisteCartella(cartella))
        return Message{QStringLiteral("Il percorso indicato per la cartella di destinazione non è corretto. Indicare "
                                      "un percorso corretto."),
                       Titolo, MsgIcon::Information, MsgButtons::OK, 1};
    if (numero.trimmed().isEmpty())
        return Message{QStringLiteral("E' necessario indicare il numero progressivo"), common::TitoloApplicazione,
                       MsgIcon::None, MsgButtons::OK, 1};
    return std::nullopt;
}

QStringList CodiciUfficiDoganali()
{
    dao::Database db = dao::Database::open(platform::hostPath(common::PercorsoArchivio));
    auto rs = db.openRecordset(QStringLiteral("SELECT Codice FROM Dogane"), {}, dao::RecordsetType::Snapshot);
    QStringList codici;
    for (; !rs->eof(); rs->moveNext())
        codici << common::NullToStr(rs->value(QStringLiteral("Codice")));
    return codici;
}

frmReplicaEDI::frmReplicaEDI(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmReplicaEDI"));
    setWindowTitle(QStringLiteral("Riproduzione di un corbex"));
    setFixedSize(twipsToPixels(4680), twipsToPixels(2235));

    lblCustomOfficeCode = new QLabel(QStringLiteral("Codice dell'ufficio doganale di presentazione"), this);
    lblCustomOfficeCode->setObjectName(QStringLiteral("lblCustomOfficeCode"));
    place(lblCustomOfficeCode, 60, 105, 3165, 255);

    cmbCustomOfficeCode = new QComboBox(this);
    cmbCustomOfficeCode->setObjectName(QStringLiteral("cmbCustomOfficeCode"));
    cmbCustomOfficeCode->setEditable(false);
    place(cmbCustomOfficeCode, 3345, 60, 1245, 315);

    lblProgNumber = new QLabel(QStringLiteral("Numero progressivo"), this);
    lblProgNumber->setObjectName(QStringLiteral("lblProgNumber"));
    place(lblProgNumber, 60, 540, 3195, 240);

    txtProgNumber = new QLineEdit(this);
    txtProgNumber->setObjectName(QStringLiteral("txtProgNumber"));
    txtProgNumber->setMaxLength(2);
    place(txtProgNumber, 3345, 510, 315, 300);

    undXtxtProgNumber = new QSpinBox(this);
    undXtxtProgNumber->setObjectName(QStringLiteral("undXtxtProgNumber"));
    undXtxtProgNumber->setRange(0, 99);
    place(undXtxtProgNumber, 3675, 525, 240, 300);

    lblPath = new QLabel(QStringLiteral("Cartella di destinazione"), this);
    lblPath->setObjectName(QStringLiteral("lblPath"));
    place(lblPath, 90, 990, 1680, 255);

    txtPathCorbex = new QLineEdit(this);
    txtPathCorbex->setObjectName(QStringLiteral("txtPathCorbex"));
    place(txtPathCorbex, 90, 1305, 2910, 330);

    cmdSelect = new QPushButton(QStringLiteral("&Sfoglia..."), this);
    cmdSelect->setObjectName(QStringLiteral("cmdSelect"));
    cmdSelect->setEnabled(false);
    place(cmdSelect, 3045, 1305, 1620, 360);

    cmdConfirm = new QPushButton(QStringLiteral("&OK"), this);
    cmdConfirm->setObjectName(QStringLiteral("cmdConfirm"));
    cmdConfirm->setDefault(true);
    place(cmdConfirm, 285, 1770, 1620, 360);

    cmdCancel = new QPushButton(QStringLiteral("A&nnulla"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    place(cmdCancel, 2805, 1770, 1620, 360);

    setTabOrder(cmbCustomOfficeCode, txtProgNumber);
    setTabOrder(txtProgNumber, txtPathCorbex);
    setTabOrder(txtPathCorbex, cmdSelect);
    setTabOrder(cmdSelect, cmdConfirm);
    setTabOrder(cmdConfirm, cmdCancel);
    setTabOrder(cmdCancel, undXtxtProgNumber);

    for (QWidget *w : std::initializer_list<QWidget *>{txtProgNumber, undXtxtProgNumber, txtPathCorbex, cmdConfirm,
                                                      cmdCancel})
        w->installEventFilter(this);

    connect(cmbCustomOfficeCode, &QComboBox::activated, this, &frmReplicaEDI::cmbCustomOfficeCode_Click);
    connect(cmdConfirm, &QPushButton::clicked, this, &frmReplicaEDI::cmdConfirm_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmReplicaEDI::cmdCancel_Click);
    connect(undXtxtProgNumber, &QSpinBox::valueChanged, this, &frmReplicaEDI::undXtxtProgNumber_Change);
    // The up-down control steps from the number typed in its field.
    connect(txtProgNumber, &QLineEdit::textEdited, this, [this](const QString &testo) {
        const NumeroProgressivo numero = VerificaNumeroReplica(testo);
        if (numero.valido) {
            const QSignalBlocker blocker(undXtxtProgNumber);
            undXtxtProgNumber->setValue(numero.testo.toInt());
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
    const NumeroProgressivo numero = VerificaNumeroReplica(txtProgNumber->text());
    if (numero.valido) {
        colora(txtProgNumber);
        txtProgNumber->setText(numero.testo);
    } else {
        colora(txtProgNumber, ColoreRosso);
    }
}

void frmReplicaEDI::cmbCustomOfficeCode_Click() { ControlloPendente(); }

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
    colora(txtProgNumber, ColoreFuoco);
    VerificaInSospeso = true;
    colora(txtPathCorbex);
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
            colora(txtProgNumber, ColoreFuoco);
        else if (esce)
            VerificaNumero();
    } else if (watched == undXtxtProgNumber) {
        if (esce)
            VerificaNumero();
    } else if (watched == txtPathCorbex) {
        if (entra) {
            ControlloPendente();
            colora(txtPathCorbex, ColoreFuoco);
        } else if (esce) {
            colora(txtPathCorbex);
        }
    } else if (entra && (watched == cmdConfirm || watched == cmdCancel)) {
        ControlloPendente();
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace uimain
