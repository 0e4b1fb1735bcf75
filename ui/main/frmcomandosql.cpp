#include "ui/main/frmcomandosql.h"

#include "common/centraform.h"
#include "common/databases.h"
#include "common/errormanagement.h"
#include "common/globals.h"
#include "platform/dao/connection.h"
#include "platform/messagebox.h"
#include "platform/twips.h"
#include "ui/main/screen.h"

#include <QFocusEvent>
#include <QFont>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

namespace uimain {

using platform::MsgButtons;
using platform::MsgIcon;
using platform::twips;

bool EseguiComandoSql(const QString &comando)
{
    // Blanks alone are no statement either.
    if (comando.trimmed().isEmpty()) {
        platform::msgBox(QStringLiteral("Se non sai come usare SQL è bene che rinunci!"), common::TitoloApplicazione,
                         MsgIcon::None, MsgButtons::OK);
        return false;
    }
    dao::Database db;
    bool eseguito = false;
    const bool finito = common::runSteps(
        RoutineComandoSql,
        {[&] { db = common::ApriDatabaseProgramma(); },
         // The text goes to SQLite as it stands: no translation of the
         // program's own dialect, and a rule broken by any row fails the
         // whole statement, so it runs whole or not at all.
         [&] {
             db.connection().run(comando, {}, dao::Operation::Write);
             eseguito = true;
         },
         [&] { db.close(); }});
    // A statement that failed and was passed over has not been executed:
    // no success is reported for it.
    if (!finito || !eseguito)
        return false;
    platform::msgBox(QStringLiteral("Il comando è stato eseguito con successo"), common::TitoloApplicazione,
                     MsgIcon::Information, MsgButtons::OK);
    return true;
}

FrmComandoSql::FrmComandoSql(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FrmComandoSql"));
    setWindowTitle(QStringLiteral("COMANDO SQL"));
    setAutoFillBackground(true);
    QPalette green = palette();
    green.setColor(QPalette::Window, QColor(0xC0, 0xFF, 0xC0));
    setPalette(green);

    Label1 = new QLabel(QStringLiteral("Attenzione: con questa maschera è possibile eseguire comandi Sql direttamente "
                                       "sulla banca dati del software installato, questa operazione è riservata a chi "
                                       "sa cosa fare e come farlo. Si sottolinea che tentativi maldestri di utilizzo "
                                       "di questa funzione possono condurre alla perdita totale dei dati."),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    Label1->setFont(QFont(QStringLiteral("Comic Sans MS"), 12));
    PosizionaTwips(Label1, 120, 60, 7635, 1215);
    // Comic Neue, drawn in place of Comic Sans MS, sets the warning a line
    // longer than the face the screen was drawn for: the label grows to its
    // text, and what lies below it and the window grow with it.
    const int crescita = std::max(0, Label1->heightForWidth(Label1->width()) - Label1->height());
    Label1->resize(Label1->width(), Label1->height() + crescita);
    setFixedSize(twips(7875), twips(3660) + crescita);
    const auto sotto = [crescita](QWidget *w, int left, int top, int width, int height) {
        PosizionaTwips(w, left, top, width, height);
        w->move(w->x(), w->y() + crescita);
    };

    TxtComandoSql = new QPlainTextEdit(this);
    TxtComandoSql->setObjectName(QStringLiteral("TxtComandoSql"));
    // Tab goes on to the buttons: a statement needs no tab characters.
    TxtComandoSql->setTabChangesFocus(true);
    TxtComandoSql->installEventFilter(this);
    sotto(TxtComandoSql, 120, 1335, 7635, 1545);

    CmdRinuncia = new QPushButton(QStringLiteral("RINUNCIA"), this);
    CmdRinuncia->setObjectName(QStringLiteral("CmdRinuncia"));
    sotto(CmdRinuncia, 120, 3000, 2295, 495);

    CmdEsegui = new QPushButton(QStringLiteral("ESEGUI COMANDO SQL"), this);
    CmdEsegui->setObjectName(QStringLiteral("CmdEsegui"));
    sotto(CmdEsegui, 5460, 3000, 2295, 495);

    auto option = [this, &sotto](const char *name, const QString &caption, int left) {
        auto *o = new QRadioButton(caption, this);
        o->setObjectName(QLatin1String(name));
        o->setAutoFillBackground(true);
        sotto(o, left, 3000, 1560, 495);
        return o;
    };
    OptDitte = option("OptDitte", QStringLiteral("Sql  su DB definizione ditte"), 2475);
    OptAttiva = option("OptAttiva", QStringLiteral("Sql su DB esercizio ditta selezionata"), 2475);
    OptTurnol = option("OptTurnol", QStringLiteral("Sql su DB file extraesercizio"), 2475);

    setTabOrder(TxtComandoSql, CmdRinuncia);
    setTabOrder(CmdRinuncia, CmdEsegui);

    connect(CmdEsegui, &QPushButton::clicked, this, &FrmComandoSql::CmdEsegui_Click);
    connect(CmdRinuncia, &QPushButton::clicked, this, &FrmComandoSql::CmdRinuncia_Click);
}

void FrmComandoSql::Form_Load()
{
    common::CentraForm(this);
    // The option buttons choose among the databases of sibling programs; this
    // program has only its own, so they are never shown here.
    OptDitte->setVisible(false);
    OptAttiva->setVisible(false);
    OptTurnol->setVisible(false);
}

void FrmComandoSql::CmdEsegui_Click()
{
    if (!EseguiComandoSql(TxtComandoSql->toPlainText()))
        return;
    TxtComandoSql->clear();
    for (QRadioButton *option : {OptDitte, OptAttiva}) {
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
}

void FrmComandoSql::CmdRinuncia_Click() { close(); }

bool FrmComandoSql::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == TxtComandoSql) {
        // Cyan whenever the box has the focus, also when the window opens
        // with it; the focus that goes with the window's deactivation (a
        // message box over it) is no move to another field.
        if (event->type() == QEvent::FocusIn) {
            ImpostaColore(TxtComandoSql, ColoreFuoco);
        } else if (event->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                ImpostaColore(TxtComandoSql, Qt::white);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ApriFrmComandoSql(QWidget *owner, const QString &)
{
    FrmComandoSql window(owner);
    window.Form_Load();
    window.exec();
}

}  // namespace uimain
