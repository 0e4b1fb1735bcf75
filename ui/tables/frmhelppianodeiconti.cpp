#include "ui/tables/frmhelppianodeiconti.h"

#include "common/centraform.h"
#include "common/globals.h"
#include "platform/twips.h"
#include "ui/main/screen.h"
#include "ui/tables/datacontrol.h"
#include "ui/tables/recordsetmodel.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace uitables {

QueryConti QueryPianoDeiConti(const QString &caratteri, const QString &radice, const QString &natura,
                              bool perCodice)
{
    QueryConti query;
    query.sql = QStringLiteral("select PianoDeiConti.Codice as codice, PianoDeiConti.Descrizione as descrizione "
                               "from PianoDeiConti where not JetLike(codice, ?) ");
    query.valori << QStringLiteral("*.0000");
    if (!caratteri.isEmpty()) {
        query.sql += QStringLiteral("and JetLike(descrizione, ?) ");
        query.valori << u'*' + caratteri + u'*';
    }
    if (!radice.isEmpty()) {
        query.sql += QStringLiteral("and JetLike(parola, ?) ");
        query.valori << radice;
    }
    if (natura == u"P" || natura == u"C" || natura == u"F") {
        query.sql += QStringLiteral("and natura=? ");
        query.valori << natura;
    }
    query.sql += perCodice ? QStringLiteral("order by codice") : QStringLiteral("order by descrizione");
    return query;
}

namespace {

template <class T>
T *named(T *widget, const char *name, const char *text = nullptr, const char *tip = nullptr)
{
    widget->setObjectName(QString::fromLatin1(name));
    if constexpr (requires { widget->setText(QString()); })
        if (text)
            widget->setText(QString::fromUtf8(text));
    if (tip)
        widget->setToolTip(QString::fromUtf8(tip));
    return widget;
}

}  // namespace

FrmHelpPianoDeiConti::FrmHelpPianoDeiConti(QWidget *parent)
    : QDialog(parent),
      Frame2(named(new QGroupBox(QStringLiteral("Elencare:"), this), "Frame2")),
      OptPdC(named(new QRadioButton(Frame2), "OptPdC", "Piano dei Conti")),
      OptClienti(named(new QRadioButton(Frame2), "OptClienti", "Clienti")),
      OptFornitori(named(new QRadioButton(Frame2), "OptFornitori", "Fornitori")),
      Frame1(named(new QGroupBox(QStringLiteral("Ordinamento"), this), "Frame1", nullptr,
                   "selezionare il tipo di ordinamento")),
      OptCodice(named(new QRadioButton(Frame1), "OptCodice", "per &codice")),
      OptDescrizione(named(new QRadioButton(Frame1), "OptDescrizione", "per &descrizione")),
      Label1(named(new QLabel(this), "Label1", "Radice per ricerca", "filtro sulla descrizione")),
      TxtCaratteri(named(new QLineEdit(this), "TxtCaratteri", nullptr, "filtro sulla descrizione")),
      DbgPianoDeiConti(named(new QTableView(this), "DbgPianoDeiConti")),
      DtPianoDeiConti(named(new DataControl(this), "DtPianoDeiConti")),
      LblMsg(named(new QLabel(this), "LblMsg")),
      CmdOK(named(new QPushButton(this), "CmdOK", "&Ok", "uscita con selezione")),
      CmdUscita(named(new QPushButton(this), "CmdUscita", "&Annulla", "uscita senza selezione")),
      modello_(new RecordsetModel({{QStringLiteral("Codice"), QStringLiteral("codice")},
                                   {QStringLiteral("Descrizione"), QStringLiteral("descrizione")}},
                                  this))
{
    setWindowTitle(QStringLiteral("HELP PIANO DEI CONTI"));
    OptPdC->setChecked(true);

    auto *tipi = new QVBoxLayout(Frame2);
    tipi->addWidget(OptPdC);
    tipi->addWidget(OptClienti);
    tipi->addWidget(OptFornitori);
    auto *ordini = new QVBoxLayout(Frame1);
    ordini->addWidget(OptCodice);
    ordini->addWidget(OptDescrizione);

    DbgPianoDeiConti->setModel(modello_);
    DbgPianoDeiConti->setSelectionBehavior(QAbstractItemView::SelectRows);
    DbgPianoDeiConti->setSelectionMode(QAbstractItemView::SingleSelection);
    DbgPianoDeiConti->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The arrows move within the list; Tab leaves it for the buttons, or the
    // keyboard could never reach "&Ok" and "&Annulla" past the grid.
    DbgPianoDeiConti->setTabKeyNavigation(false);
    DbgPianoDeiConti->horizontalHeader()->setStretchLastSection(true);
    DbgPianoDeiConti->setMinimumSize(platform::twips(7200), platform::twips(4500));
    DtPianoDeiConti->hide();

    LblMsg->setAlignment(Qt::AlignCenter);
    LblMsg->setAutoFillBackground(true);
    QPalette palette = LblMsg->palette();
    palette.setColor(QPalette::Window, uimain::ColoreGiallo);
    LblMsg->setPalette(palette);

    auto *layout = new QGridLayout(this);
    layout->addWidget(Frame2, 0, 0);
    layout->addWidget(Frame1, 0, 1);
    auto *filtro = new QHBoxLayout;
    filtro->addWidget(Label1);
    filtro->addWidget(TxtCaratteri, 1);
    layout->addLayout(filtro, 1, 0, 1, 2);
    layout->addWidget(DbgPianoDeiConti, 2, 0, 1, 2);
    layout->addWidget(LblMsg, 3, 0, 1, 2);
    auto *pulsanti = new QHBoxLayout;
    pulsanti->addStretch();
    pulsanti->addWidget(CmdOK);
    pulsanti->addWidget(CmdUscita);
    layout->addLayout(pulsanti, 4, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (QWidget *w : std::initializer_list<QWidget *>{DbgPianoDeiConti, OptCodice, OptDescrizione, TxtCaratteri,
                                                       CmdOK, CmdUscita})
        w->installEventFilter(this);

    for (QRadioButton *opzione : {OptPdC, OptClienti, OptFornitori, OptCodice, OptDescrizione})
        connect(opzione, &QRadioButton::clicked, this, &FrmHelpPianoDeiConti::Aggiorna);
    connect(TxtCaratteri, &QLineEdit::textChanged, this, &FrmHelpPianoDeiConti::Aggiorna);
    connect(CmdOK, &QPushButton::clicked, this, &FrmHelpPianoDeiConti::CmdOK_Click);
    connect(CmdUscita, &QPushButton::clicked, this, &QDialog::reject);
}

void FrmHelpPianoDeiConti::Avvia(QObject *chiamante, const QString &radice, const QString &natura)
{
    chiamante_ = chiamante;
    radice_ = radice;
    // The kind options show the kind listed; a letter of no kind leaves
    // none selected, and the list holds every kind until one is chosen.
    for (QRadioButton *opzione : {OptPdC, OptClienti, OptFornitori}) {
        opzione->setAutoExclusive(false);
        opzione->setChecked(false);
        opzione->setAutoExclusive(true);
    }
    if (natura == u"P")
        OptPdC->setChecked(true);
    else if (natura == u"C")
        OptClienti->setChecked(true);
    else if (natura == u"F")
        OptFornitori->setChecked(true);
    Form_Load();
    // The layout gives the screen its size only when asked: it is centred on
    // that size, not on a window's default one.
    adjustSize();
    common::CentraForm(this);
    exec();
}

void FrmHelpPianoDeiConti::Form_Load()
{
    DtPianoDeiConti->DatabaseName = common::PercorsoContabilita;
    OptDescrizione->setChecked(true);
    {
        const QSignalBlocker blocco(TxtCaratteri);
        TxtCaratteri->clear();
    }
    Aggiorna();
}

QString FrmHelpPianoDeiConti::naturaScelta() const
{
    if (OptPdC->isChecked())
        return QStringLiteral("P");
    if (OptClienti->isChecked())
        return QStringLiteral("C");
    if (OptFornitori->isChecked())
        return QStringLiteral("F");
    return QString();
}

// Every change of kind, order or filter lists again by what the options
// and the filter show.
void FrmHelpPianoDeiConti::Aggiorna()
{
    const QueryConti query =
        QueryPianoDeiConti(TxtCaratteri->text(), radice_, naturaScelta(), OptCodice->isChecked());
    DtPianoDeiConti->RecordSource = query.sql;
    DtPianoDeiConti->RecordSourceValues = query.valori;
    DtPianoDeiConti->Refresh();
    modello_->setRecordset(DtPianoDeiConti->Recordset());
    if (modello_->rowCount() > 0)
        DbgPianoDeiConti->setCurrentIndex(modello_->index(0, 0));
    CmdOK->setEnabled(modello_->rowCount() > 0);
}

void FrmHelpPianoDeiConti::CmdOK_Click()
{
    const QModelIndex corrente = DbgPianoDeiConti->currentIndex();
    if (auto *campo = dynamic_cast<BoundTextControl *>(chiamante_); campo && corrente.isValid())
        campo->setBoundText(modello_->index(corrente.row(), 0).data().toString());
    accept();
}

bool FrmHelpPianoDeiConti::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        if (watched == DbgPianoDeiConti)
            LblMsg->setText(QStringLiteral("Selezionare il codice con il quale si intende lavorare"));
        else if (watched == OptCodice)
            LblMsg->setText(QStringLiteral("attiva / disattiva l'ordinamento per codice"));
        else if (watched == OptDescrizione)
            LblMsg->setText(QStringLiteral("attiva / disattiva l'rodinamento per descrizione"));
        else if (watched == TxtCaratteri) {
            LblMsg->setText(QStringLiteral("indicare dei caratteri contigui per la ricerca della descrizione"));
            uimain::ImpostaColore(TxtCaratteri, uimain::ColoreFuoco);
        } else if (watched == CmdOK)
            LblMsg->setText(QStringLiteral("Uscita dalla funzione con il codice selezionato"));
        else if (watched == CmdUscita)
            LblMsg->setText(QStringLiteral("Uscita dalla funzione senza la selezione"));
    } else if (event->type() == QEvent::FocusOut && watched == TxtCaratteri) {
        uimain::ImpostaColore(TxtCaratteri, QColor(255, 255, 255));
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace uitables
