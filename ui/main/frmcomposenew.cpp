#include "ui/main/frmcomposenew.h"

#include "common/globals.h"
#include "common/openretry.h"
#include "flowengine/options.h"
#include "flowengine/register.h"
#include "platform/busywait.h"
#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "platform/texts.h"
#include "platform/twips.h"
#include "ui/main/folderchooser.h"
#include "ui/main/frmfaicorbex.h"
#include "ui/main/programfolder.h"
#include "ui/main/screen.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>

namespace uimain {

using platform::toTwips;
using platform::twips;

namespace {

// The window in twips: its width, and its height less the title bar. It is
// wider than the 4740 the layout was drawn with, so that the longest type
// reads whole in the application font.
constexpr int kLarghezza = 5100;
// The column of the ticks, wide enough for its header.
constexpr int kLarghezzaSelez = 600;
// 120 more than the 3720 drawn, so that the selection grid, whose rows of
// 238 twips are 16 pixels each, shows eight of them whole under its header,
// each with its box.
constexpr int kAltezza = 3840;
constexpr int kAltezzaRiga = 238;
constexpr int kAltezzaPulsanti = 390;
constexpr int kAltoPulsanti = kAltezza - kAltezzaPulsanti - 60;
constexpr int kRuoloChiave = Qt::UserRole;

int alto(const QWidget *w) { return toTwips(w->y()); }

QColor colore(Colore c)
{
    switch (c) {
    case Colore::Rosso:
        return ColoreRosso;
    case Colore::Giallo:
        return ColoreGiallo;
    default:
        return {};
    }
}

}  // namespace

frmComposeNew::frmComposeNew(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmComposeNew"));
    setWindowTitle(QStringLiteral("Composizione nuovo Corbex"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    creaControlli();
    Form_Load();
}

void frmComposeNew::creaControlli()
{
    auto nome = [](QWidget *w, const char *name) { w->setObjectName(QString::fromLatin1(name)); };
    auto label = [&](QLabel *&m, const char *name, const QString &text, QWidget *parent) {
        m = new QLabel(text, parent);
        nome(m, name);
    };
    auto check = [&](QCheckBox *&m, const char *name, const QString &text, QWidget *parent) {
        m = new QCheckBox(text, parent);
        nome(m, name);
    };
    auto button = [&](QPushButton *&m, const char *name, const QString &text) {
        m = new QPushButton(text, this);
        nome(m, name);
        m->setAutoDefault(false);
    };

    label(lblInstruction, "lblInstruction", QString(), this);
    lblInstruction->setWordWrap(true);
    lblInstruction->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label(lblDichiarante, "lblDichiarante", QStringLiteral("Dichiarante/Rappresentante"), this);
    cmbDichiarante = new QComboBox(this);
    nome(cmbDichiarante, "cmbDichiarante");
    label(lblNomeDichiarante, "lblNomeDichiarante", QString(), this);
    fraTipiDichiarazioni = new QGroupBox(QStringLiteral("Includi nel corbex i seguenti tipi di dichiarazioni"), this);
    nome(fraTipiDichiarazioni, "fraTipiDichiarazioni");
    check(chkImport, "chkImport", QStringLiteral("Dichiarazione di importazione (C1)"), fraTipiDichiarazioni);
    check(chkExport, "chkExport", QStringLiteral("Dichiarazione di esportazione (C2)"), fraTipiDichiarazioni);
    check(chkInDeposito, "chkInDeposito", QStringLiteral("Introduzione in deposito (C7)"), fraTipiDichiarazioni);
    check(chkExportSempif, "chkExportSempif",
          QStringLiteral("Dichiarazione di esportazione in procedura semplificata (C9)"), fraTipiDichiarazioni);

    grdListaDich = new QTableWidget(0, 5, this);
    nome(grdListaDich, "grdListaDich");
    grdListaDich->verticalHeader()->hide();
    grdListaDich->verticalHeader()->setMinimumSectionSize(1);
    grdListaDich->horizontalHeader()->setFixedHeight(twips(kAltezzaRiga));
    grdListaDich->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdListaDich->setSelectionMode(QAbstractItemView::SingleSelection);
    grdListaDich->setSelectionBehavior(QAbstractItemView::SelectItems);
    // The arrows move between the cells; Tab leaves the grid for the next
    // control, and the focus leaves it too when the step hides it.
    grdListaDich->setTabKeyNavigation(false);
    grdListaDich->installEventFilter(this);
    grdListaDich->viewport()->installEventFilter(this);
    for (int i = 0; i < 10; ++i) {
        chkVirtualCheck[size_t(i)] = new QCheckBox(this);
        chkVirtualCheck[size_t(i)]->setObjectName(QStringLiteral("chkVirtualCheck_%1").arg(i));
        // Only the box is drawn: the widget is the style's box, no larger.
        chkVirtualCheck[size_t(i)]->resize(style()->pixelMetric(QStyle::PM_IndicatorWidth),
                                           style()->pixelMetric(QStyle::PM_IndicatorHeight));
        chkVirtualCheck[size_t(i)]->hide();
        // The keyboard stays with the grid: its current row is ticked with
        // the space bar, and a box clicked does not take the focus from it.
        chkVirtualCheck[size_t(i)]->setFocusPolicy(Qt::NoFocus);
        connect(chkVirtualCheck[size_t(i)], &QCheckBox::toggled, this, [this, i] { chkVirtualCheck_Click(i); });
    }
    // Each row holds its floating box whole, within the grid's lines, so
    // that no box covers the next one or the header.
    grdListaDich->verticalHeader()->setDefaultSectionSize(
        std::max(twips(kAltezzaRiga), chkVirtualCheck[0]->height() + 1));
    button(cmdVirtualSelez, "cmdVirtualSelez", QStringLiteral("Sel"));
    label(lblSelectedElements, "lblSelectedElements", QStringLiteral("Elementi selezionati X di Y"), this);

    optWriteOnFloppy = new QRadioButton(this);
    nome(optWriteOnFloppy, "optWriteOnFloppy");
    optSave = new QRadioButton(QStringLiteral("Memorizzazione "), this);
    nome(optSave, "optSave");
    optWriteInDir = new QRadioButton(QStringLiteral("Cartella specifica"), this);
    nome(optWriteInDir, "optWriteInDir");
    auto *destinazioni = new QButtonGroup(this);
    for (QRadioButton *o : {optWriteOnFloppy, optSave, optWriteInDir})
        destinazioni->addButton(o);
    check(chkSetDefaultDestination, "chkSetDefaultDestination",
          QStringLiteral("Imposta questa scelta come predefinita"), this);

    label(lblCustomOfficeCode, "lblCustomOfficeCode", QStringLiteral("Codice ufficio doganale di presentazione"), this);
    cmbCustomOfficeCode = new QComboBox(this);
    nome(cmbCustomOfficeCode, "cmbCustomOfficeCode");
    cmbCustomOfficeCode->setEditable(true);
    cmbCustomOfficeCode->setInsertPolicy(QComboBox::NoInsert);
    cmbCustomOfficeCode->installEventFilter(this);
    label(lblProgNumber, "lblProgNumber", QStringLiteral("Numero progressivo"), this);
    txtProgNumber = new QLineEdit(this);
    nome(txtProgNumber, "txtProgNumber");
    txtProgNumber->setMaxLength(2);
    txtProgNumber->installEventFilter(this);
    label(lblPathXCorbex, "lblPathXCorbex", QStringLiteral("Percorso di destinazione"), this);
    txtPathXCorbex = new QLineEdit(this);
    nome(txtPathXCorbex, "txtPathXCorbex");
    txtPathXCorbex->installEventFilter(this);
    button(cmdSelect, "cmdSelect", QStringLiteral("Sfoglia..."));
    check(chkSetDefaultPath, "chkSetDefaultPath", QStringLiteral("Imposta questa cartella come predefinita"), this);

    prbSearch = new QProgressBar(this);
    nome(prbSearch, "prbSearch");
    prbSearch->setTextVisible(false);
    prbSearch->hide();
    button(cmdPreview, "cmdPreview", QStringLiteral("<< &Indietro"));
    button(cmdNextEnd, "cmdNextEnd", QStringLiteral("&Avanti >>"));
    button(cmdCancel, "cmdCancel", QStringLiteral("A&nnulla"));
    PosizionaTwips(cmdPreview, 45, kAltoPulsanti, 1530, kAltezzaPulsanti);
    PosizionaTwips(cmdNextEnd, kLarghezza / 2 - 765, kAltoPulsanti, 1530, kAltezzaPulsanti);
    PosizionaTwips(cmdCancel, kLarghezza - 1575, kAltoPulsanti, 1530, kAltezzaPulsanti);

    connect(cmdNextEnd, &QPushButton::clicked, this, &frmComposeNew::cmdNextEnd_Click);
    connect(cmdPreview, &QPushButton::clicked, this, &frmComposeNew::cmdPreview_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmComposeNew::cmdCancel_Click);
    connect(cmdVirtualSelez, &QPushButton::clicked, this, &frmComposeNew::cmdVirtualSelez_Click);
    connect(cmdSelect, &QPushButton::clicked, this, &frmComposeNew::cmdSelect_Click);
    connect(cmbDichiarante, &QComboBox::currentIndexChanged, this, &frmComposeNew::cmbDichiarante_Click);
    for (QCheckBox *c : {chkImport, chkExport, chkInDeposito, chkExportSempif})
        connect(c, &QCheckBox::toggled, this, [this] { cmdNextEnd->setEnabled(SelezioneValida()); });
    for (QRadioButton *o : {optWriteOnFloppy, optSave})
        connect(o, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                cmdNextEnd->setText(QStringLiteral("&Fine"));
        });
    connect(optWriteInDir, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            cmdNextEnd->setText(QStringLiteral("&Avanti >>"));
    });
    connect(cmbCustomOfficeCode, &QComboBox::editTextChanged, this, [this](const QString &text) {
        const QString tenuto = UfficioDigitato(text);
        if (tenuto != text)
            cmbCustomOfficeCode->setEditText(tenuto);
    });
    for (QScrollBar *barra : {grdListaDich->verticalScrollBar(), grdListaDich->horizontalScrollBar()})
        connect(barra, &QScrollBar::valueChanged, this, [this] {
            if (PassoCorrente == 2)
                PosizionaSelettori(TopRow());
        });
}

// The dialog hides its controls as it goes, and the grid moves its scroll
// bars then: the boxes are no longer placed by then.
frmComposeNew::~frmComposeNew()
{
    for (QScrollBar *barra : {grdListaDich->verticalScrollBar(), grdListaDich->horizontalScrollBar()})
        disconnect(barra, nullptr, this, nullptr);
}

void frmComposeNew::Form_Load()
{
    PassoCorrente = 1;
    setFixedSize(twips(kLarghezza), twips(kAltezza));
    for (QCheckBox *c : {chkImport, chkExport, chkInDeposito, chkExportSempif})
        c->setChecked(false);
    cmdPreview->setEnabled(false);
    cmdNextEnd->setEnabled(false);

    QString cartella = common::OpzioniCorbix.UserDir;
    if (cartella.isEmpty() || !CartellaEsiste(cartella))
        cartella = QStringLiteral("C:\\");
    txtPathXCorbex->setText(cartella);
    switch (common::OpzioniCorbix.WhereWrite) {
    case common::DestinazionePredefinita::Supporto:
        optWriteOnFloppy->setChecked(true);
        break;
    case common::DestinazionePredefinita::Memorizzato:
        optSave->setChecked(true);
        break;
    case common::DestinazionePredefinita::Cartella:
        optWriteInDir->setChecked(true);
        break;
    default:
        break;
    }

    GrigliaInCaricamento = true;
    const char *intestazioni[] = {"Selez.", "Data", "N.I.D.", "Riferimeto", "Tipo"};
    const int larghezze[] = {kLarghezzaSelez, 1200, 1200, 1300, 500};
    for (int c = 0; c < 5; ++c) {
        grdListaDich->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::fromLatin1(intestazioni[c])));
        grdListaDich->setColumnWidth(c, twips(larghezze[c]));
    }
    GrigliaInCaricamento = false;
    cmdVirtualSelez->resize(twips(kLarghezzaSelez), grdListaDich->horizontalHeader()->height());
    cmdSelect->setEnabled(folderChooserSlot() != nullptr);

    caricaElenchi();
    ImpostaPasso();
}

void frmComposeNew::caricaElenchi()
{
    try {
        const ElenchiComposizione elenchi = LeggiElenchi();
        cmbDichiarante->addItems(elenchi.dichiaranti);
        cmbCustomOfficeCode->addItems(elenchi.uffici);
    } catch (const platform::RuntimeError &e) {
        MostraErroreRunTime(e.number(), e.description());
    }
    if (cmbDichiarante->count() == 1) {
        cmbDichiarante->setCurrentIndex(0);
    } else {
        cmbDichiarante->setCurrentIndex(-1);
        lblNomeDichiarante->clear();
    }
    cmbCustomOfficeCode->setCurrentIndex(-1);
    cmbCustomOfficeCode->setEditText(QString());
}

void frmComposeNew::mostraPasso(int passo)
{
    const std::pair<int, std::vector<QWidget *>> controlli[] = {
        {1, {lblDichiarante, cmbDichiarante, lblNomeDichiarante, fraTipiDichiarazioni}},
        {2, {grdListaDich, cmdVirtualSelez, lblSelectedElements}},
        {3, {optWriteOnFloppy, optSave, optWriteInDir, chkSetDefaultDestination}},
        {4, {lblCustomOfficeCode, cmbCustomOfficeCode, lblProgNumber, txtProgNumber, lblPathXCorbex, txtPathXCorbex,
             cmdSelect, chkSetDefaultPath}},
    };
    // A control of the step left behind that had the focus gives it to the
    // first control of the new step, not to whichever button follows it.
    const QWidget *fuoco = QApplication::focusWidget();
    bool fuocoPerso = false;
    const std::vector<QWidget *> *nuovi = nullptr;
    for (const auto &[p, widgets] : controlli) {
        if (p == passo)
            nuovi = &widgets;
        for (QWidget *w : widgets) {
            fuocoPerso = fuocoPerso || (p != passo && fuoco && (w == fuoco || w->isAncestorOf(fuoco)));
            w->setVisible(p == passo);
        }
    }
    if (passo != 2)
        for (QCheckBox *c : chkVirtualCheck)
            c->hide();
    if (!fuocoPerso || !nuovi)
        return;
    for (QWidget *w : *nuovi) {
        const auto *opzione = qobject_cast<QRadioButton *>(w);
        if (w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) && (!opzione || opzione->isChecked())) {
            w->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void frmComposeNew::ImpostaPasso()
{
    mostraPasso(PassoCorrente);
    PosizionaTwips(lblInstruction, 20, 20, kLarghezza - 100, 900);
    const int sotto = basso(lblInstruction);
    switch (PassoCorrente) {
    case 1: {
        lblInstruction->setText(QStringLiteral(
            "Indicare il codice del dichiarante rappresentante, scegliendolo fra quelli nella lista, quindi impostare "
            "il tipo di dichiarazioni da includere nel corbex; pre procedere nella composizione scegliere 'Avanti'."));
        PosizionaTwips(cmbDichiarante, 2160, sotto + 120, 2520, 315);
        PosizionaTwips(lblDichiarante, 45, alto(cmbDichiarante) + 20, 2055, 270);
        PosizionaTwips(lblNomeDichiarante, 45, basso(cmbDichiarante) + 40, kLarghezza - 180, 270);
        PosizionaTwips(fraTipiDichiarazioni, 45, basso(lblNomeDichiarante) + 40, kLarghezza - 90, 1455);
        const std::pair<QCheckBox *, int> tipi[] = {{chkImport, 270}, {chkExport, 555}, {chkInDeposito, 840},
                                                    {chkExportSempif, 1125}};
        for (const auto &[c, top] : tipi)
            PosizionaTwips(c, 100, top, kLarghezza - 290, 255);
        cmdNextEnd->setEnabled(SelezioneValida());
        cmdPreview->setEnabled(false);
        cmdNextEnd->setText(QStringLiteral("&Avanti >>"));
        break;
    }
    case 2: {
        lblInstruction->setText(QStringLiteral("Selezionare, fra le dichiarazioni presenti nella lista, quelle che si "
                                               "desiderano includere nel corbex.\r\nUna volta certi delle impostazioni "
                                               "indicate scegliere 'Avanti' per continuare."));
        const bool molte = grdListaDich->rowCount() + 1 > 8;
        const int larghezze[] = {molte ? 1125 : 1200, molte ? 1125 : 1200, molte ? 1225 : 1300, 500};
        // The current cell moves without scrolling the grid: the selection
        // column stays in view with its boxes.
        grdListaDich->setAutoScroll(false);
        for (int c = 1; c <= 4; ++c) {
            grdListaDich->setColumnWidth(c, twips(larghezze[c - 1]));
            if (grdListaDich->rowCount() > 0)
                grdListaDich->setCurrentCell(qMax(0, grdListaDich->currentRow()), c);
        }
        grdListaDich->setAutoScroll(true);
        const int top = sotto + 30;
        PosizionaTwips(grdListaDich, 20, top, kLarghezza - 100, (kAltoPulsanti - 180) - top - 50);
        PosizionaTwips(lblSelectedElements, 20, basso(grdListaDich) + 30, kLarghezza - 100, 200);
        PosizionaSelettori(TopRow());
        cmdVirtualSelez->move(grdListaDich->pos());
        cmdVirtualSelez->raise();
        cmdPreview->setEnabled(true);
        cmdNextEnd->setText(QStringLiteral("&Avanti >>"));
        aggiornaAvanti();
        break;
    }
    case 3: {
        lblInstruction->setText(QStringLiteral(
            "Indicare la destinazione del corbex che verrà generato con le specifiche impostate. Scegliendo "
            "l'opzione 'Cartella specifica' sara' possibile indicare la cartella di destinazione."));
        optWriteOnFloppy->setText(QStringLiteral("Scrittura su supporto magnetico (") + common::OpzioniCorbix.FloppyDevice
                                  + u')');
        PosizionaTwips(optWriteOnFloppy, 30, sotto + 400, kLarghezza - 240, 285);
        PosizionaTwips(optSave, 30, basso(optWriteOnFloppy), kLarghezza - 240, 285);
        PosizionaTwips(optWriteInDir, 30, basso(optSave), kLarghezza - 240, 285);
        PosizionaTwips(chkSetDefaultDestination, 30, basso(optWriteInDir) + 300, kLarghezza - 240, 285);
        cmdPreview->setEnabled(true);
        cmdNextEnd->setEnabled(true);
        cmdNextEnd->setText(optWriteInDir->isChecked() ? QStringLiteral("&Avanti >>") : QStringLiteral("&Fine"));
        break;
    }
    case 4: {
        lblInstruction->setText(QStringLiteral("Indicare la dogana di presentazione e il numero progressivo del "
                                               "corbex.\r\nScegliere la cartella ove depositare il corbex.\r\nPer "
                                               "generare il corbex scegliere 'Fine'."));
        PosizionaTwips(lblCustomOfficeCode, 30, sotto + 100, 3000, 270);
        const int sinistra = 30 + 3000;
        PosizionaTwips(cmbCustomOfficeCode, sinistra, alto(lblCustomOfficeCode) - 50, kLarghezza - sinistra - 800, 315);
        PosizionaTwips(lblProgNumber, 30, basso(cmbCustomOfficeCode) + 100, 2900, 270);
        PosizionaTwips(txtProgNumber, sinistra, basso(cmbCustomOfficeCode) + 50, 300, 285);
        PosizionaTwips(lblPathXCorbex, 30, basso(txtProgNumber) + 200, 3000, 270);
        PosizionaTwips(txtPathXCorbex, 30, basso(lblPathXCorbex) + 50, kLarghezza - 1800, 285);
        PosizionaTwips(cmdSelect, toTwips(txtPathXCorbex->x() + txtPathXCorbex->width()) + 150,
                       alto(txtPathXCorbex) - 10, 1000, 315);
        PosizionaTwips(chkSetDefaultPath, 30, basso(txtPathXCorbex) + 300, kLarghezza - 240, 285);
        cmdPreview->setEnabled(true);
        cmdNextEnd->setEnabled(true);
        cmdNextEnd->setText(QStringLiteral("&Fine"));
        break;
    }
    default:
        break;
    }
}

bool frmComposeNew::SelezioneValida() const
{
    return !cmbDichiarante->currentText().isEmpty()
           && (chkImport->isChecked() || chkExport->isChecked() || chkInDeposito->isChecked()
               || chkExportSempif->isChecked());
}

void frmComposeNew::cmbDichiarante_Click()
{
    if (cmbDichiarante->currentIndex() < 0)
        return;
    try {
        lblNomeDichiarante->setText(flowengine::DescrizioneSpedoga(cmbDichiarante->currentText()));
    } catch (const platform::RuntimeError &e) {
        MostraErroreRunTime(e.number(), e.description());
    }
    cmdNextEnd->setEnabled(SelezioneValida());
}

bool frmComposeNew::CercaDichiarazioni()
{
    const QStringList tipi = TipiRichiesti(chkExport->isChecked(), chkExportSempif->isChecked(),
                                           chkImport->isChecked(), chkInDeposito->isChecked());
    GrigliaInCaricamento = true;
    // The search and the filling of the grid run on this thread: the window
    // keeps painting itself, and whatever the user clicks or types meanwhile
    // is thrown away.
    const platform::BusyWait occupato;
    QList<DichiarazioneTrovata> trovate;
    bool riuscita = true;
    // The bar advances over every candidate, then over the rows of the grid,
    // but is painted at the pace of the busy wait's: painting it for each of
    // thousands of candidates would take longer than the search itself.
    const auto avanza = [this](qint64 posizione, qint64 totale) {
        if (posizione == 0) {
            prbSearch->setGeometry(0, cmdPreview->y(), width(), cmdPreview->height());
            prbSearch->setRange(0, int(qMin<qint64>(totale, INT_MAX)));
            prbSearch->setValue(0);
            prbSearch->show();
            prbSearch->raise();
        } else {
            prbSearch->setValue(int(qMin<qint64>(posizione, INT_MAX)));
        }
        if (posizione == 0 || posizione == totale)
            platform::BusyWait::paint();
        else
            platform::BusyWait::paintWhenDue();
    };
    try {
        trovate = uimain::CercaDichiarazioni(cmbDichiarante->currentText(), tipi, platform::clock().now().date(),
                                             avanza);
    } catch (const platform::RuntimeError &e) {
        MostraErroreRunTime(e.number(), e.description());
        riuscita = false;
    }
    // The grid is off the page while it fills: it is painted when shown, whole.
    grdListaDich->setUpdatesEnabled(false);
    grdListaDich->setRowCount(0);
    const int righe = int(trovate.size());
    grdListaDich->setRowCount(righe);
    if (righe > 0)
        avanza(0, righe);
    for (int r = 0; r < righe; ++r) {
        const DichiarazioneTrovata &d = trovate[r];
        auto *giorno = new QTableWidgetItem(platform::DayText(d.data));
        giorno->setData(kRuoloChiave, d.data);
        auto *indice = new QTableWidgetItem(QString::number(d.indice));
        indice->setData(kRuoloChiave, d.indice);
        grdListaDich->setItem(r, 0, new QTableWidgetItem());
        grdListaDich->setItem(r, 1, giorno);
        grdListaDich->setItem(r, 2, indice);
        grdListaDich->setItem(r, 3, new QTableWidgetItem(d.riferimento));
        grdListaDich->setItem(r, 4, new QTableWidgetItem(d.tipo));
        avanza(r + 1, righe);
    }
    grdListaDich->setUpdatesEnabled(true);
    prbSearch->hide();
    tagGriglia_ = QString(trovate.size(), u'1');
    TotaleDichiarazioni = tagGriglia_.size();
    TuttiSelezionati = true;
    TotaleSelezionate = TotaleDichiarazioni;
    MostraContatore();
    GrigliaInCaricamento = false;
    return riuscita;
}

bool frmComposeNew::NessunaSelezionata() const { return !tagGriglia_.contains(u'1'); }

void frmComposeNew::MostraContatore()
{
    lblSelectedElements->setText(QStringLiteral("Elementi selezionati ") + QString::number(TotaleSelezionate)
                                 + QStringLiteral(" di ") + QString::number(TotaleDichiarazioni) + u'.');
}

// The top row is the first row wholly in view. At the end of the list the
// view shows the last row whole and, under the header, a strip of the row
// before the top one: the boxes are placed from the row under that strip, so
// that the last row has its box.
int frmComposeNew::TopRow() const
{
    const int riga = grdListaDich->rowAt(0);
    if (riga < 0)
        return 1;
    return grdListaDich->rowViewportPosition(riga) < 0 ? riga + 2 : riga + 1;
}

void frmComposeNew::PosizionaSelettori(int primaRiga)
{
    const QRect vista = grdListaDich->viewport()->rect();
    for (int i = 1; i <= 8; ++i) {
        const int r = primaRiga + i - 1;
        QCheckBox *b = chkVirtualCheck[size_t(i - 1)];
        // A box stands at the centre of its row's cell of the selection
        // column, and only on a row wholly in the grid's view whose cell the
        // view does not cut sideways: never on a row the view cuts, over the
        // grid's scroll bars or beside the grid.
        const QRect cella = r <= grdListaDich->rowCount()
                                ? grdListaDich->visualRect(grdListaDich->model()->index(r - 1, 0))
                                : QRect();
        const QRect posto =
            cella.isValid() ? QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, b->size(), cella) : QRect();
        const bool rigaIntera = cella.top() >= vista.top() && cella.bottom() <= vista.bottom();
        if (!posto.isValid() || !rigaIntera || !vista.contains(posto)) {
            b->hide();
            continue;
        }
        b->setProperty("Tag", QString::number(r));
        b->move(grdListaDich->viewport()->mapTo(this, posto.topLeft()));
        PosizionamentoInCorso = true;
        b->setChecked(tagGriglia_.mid(r - 1, 1) == QLatin1String("1"));
        PosizionamentoInCorso = false;
        b->show();
        b->raise();
    }
}

void frmComposeNew::chkVirtualCheck_Click(int index)
{
    if (PosizionamentoInCorso)
        return;
    QCheckBox *b = chkVirtualCheck[size_t(index)];
    segnaRiga(b->property("Tag").toString().toInt(), b->isChecked());
}

void frmComposeNew::segnaRiga(int riga, bool spunta)
{
    if (riga < 1 || riga > tagGriglia_.size() || (tagGriglia_[riga - 1] == u'1') == spunta)
        return;
    tagGriglia_[riga - 1] = spunta ? u'1' : u'0';
    TotaleSelezionate += spunta ? 1 : -1;
    MostraContatore();
    aggiornaAvanti();
}

void frmComposeNew::cmdVirtualSelez_Click()
{
    TuttiSelezionati = !TuttiSelezionati;
    tagGriglia_.fill(TuttiSelezionati ? u'1' : u'0');
    TotaleSelezionate = TuttiSelezionati ? TotaleDichiarazioni : 0;
    MostraContatore();
    PosizionaSelettori(TopRow());
    aggiornaAvanti();
}

void frmComposeNew::aggiornaAvanti() { cmdNextEnd->setEnabled(!NessunaSelezionata()); }

bool frmComposeNew::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type tipo = event->type();
    if (watched == grdListaDich && tipo == QEvent::KeyPress) {
        const auto *tasto = static_cast<QKeyEvent *>(event);
        if (tasto->key() == Qt::Key_Space) {
            const int corrente = grdListaDich->currentRow() + 1;
            if (grdListaDich->currentColumn() == 0 && corrente >= 1) {
                segnaRiga(corrente, tagGriglia_.at(corrente - 1) != u'1');
                PosizionaSelettori(TopRow());
            }
            return true;
        }
    }
    // The boxes follow the cells when the grid's view changes size.
    if (watched == grdListaDich->viewport() && tipo == QEvent::Resize && PassoCorrente == 2)
        PosizionaSelettori(TopRow());
    // A field is entered and left only by the focus moving within the
    // wizard: a message box of a check, or another window, takes the focus
    // for a while and gives it back, and the colour the check set stays.
    if ((tipo == QEvent::FocusIn || tipo == QEvent::FocusOut)
        && (static_cast<QFocusEvent *>(event)->reason() == Qt::ActiveWindowFocusReason
            || static_cast<QFocusEvent *>(event)->reason() == Qt::PopupFocusReason))
        return QDialog::eventFilter(watched, event);
    if (tipo == QEvent::FocusIn && (watched == cmbCustomOfficeCode || watched == txtProgNumber
                                    || watched == txtPathXCorbex)) {
        ImpostaColore(static_cast<QWidget *>(watched), ColoreFuoco);
    } else if (tipo == QEvent::FocusOut) {
        if (watched == cmbCustomOfficeCode || watched == txtPathXCorbex)
            ImpostaColore(static_cast<QWidget *>(watched));
        else if (watched == txtProgNumber)
            txtProgNumber_LostFocus();
    }
    return QDialog::eventFilter(watched, event);
}

void frmComposeNew::txtProgNumber_LostFocus()
{
    const auto numero = ProgressivoValido(txtProgNumber->text());
    if (numero) {
        txtProgNumber->setText(QStringLiteral("%1").arg(*numero, 2, 10, QLatin1Char('0')));
        ImpostaColore(txtProgNumber);
    } else {
        ImpostaColore(txtProgNumber, ColoreRosso);
    }
}

void frmComposeNew::cmdSelect_Click()
{
    FolderChooser *scelta = folderChooserSlot();
    if (!scelta)
        return;
    const QString tag = scelta->scegli(this, pos() + QPoint(twips(300), twips(700)),
                                       QStringLiteral("Selezionare la cartella."), txtPathXCorbex->text());
    if (!tag.isEmpty())
        txtPathXCorbex->setText(tag);
    RipristinaCartellaProgramma();
}

void frmComposeNew::cmdPreview_Click()
{
    if (PassoCorrente >= 2 && PassoCorrente <= 4)
        --PassoCorrente;
    ImpostaPasso();
}

void frmComposeNew::cmdCancel_Click() { reject(); }

void frmComposeNew::cmdNextEnd_Click()
{
    switch (PassoCorrente) {
    case 1:
        // A search that failed has told its error; it found nothing.
        if (!CercaDichiarazioni())
            break;
        if (grdListaDich->rowCount() > 0)
            PassoCorrente = 2;
        else
            platform::msgBox(QStringLiteral("Non vi sono dichiarazioni che soddisfano la ricerca desiderata"), common::TitoloCorbix,
                             platform::MsgIcon::Information);
        break;
    case 2:
        PassoCorrente = 3;
        break;
    case 3:
        if (!optWriteInDir->isChecked()) {
            finisci();
            return;
        }
        PassoCorrente = 4;
        break;
    case 4: {
        const QStringList uffici = [this] {
            QStringList l;
            for (int i = 0; i < cmbCustomOfficeCode->count(); ++i)
                l << cmbCustomOfficeCode->itemText(i);
            return l;
        }();
        const EsitoPasso4 esito = VerificaPasso4(
            {cmbCustomOfficeCode->currentText(), uffici, txtProgNumber->text(), txtPathXCorbex->text()});
        const std::pair<QWidget *, Colore> colori[] = {{cmbCustomOfficeCode, esito.ufficio},
                                                       {txtProgNumber, esito.progressivo},
                                                       {txtPathXCorbex, esito.cartella}};
        for (const auto &[campo, c] : colori)
            if (c != Colore::Invariato)
                ImpostaColore(campo, colore(c));
        if (!esito.superato)
            break;
        txtPathXCorbex->setText(esito.percorso);
        RigaRiservata = RiservaRiga(platform::clock().now().date(), *ProgressivoValido(txtProgNumber->text()),
                                    cmbDichiarante->currentText());
        if (!RigaRiservata)
            break;
        finisci();
        return;
    }
    default:
        break;
    }
    ImpostaPasso();
}

void frmComposeNew::finisci()
{
    bool salva = false;
    common::Opzioni &o = common::OpzioniCorbix;
    if (chkSetDefaultDestination->isChecked()) {
        if (optWriteOnFloppy->isChecked())
            o.WhereWrite = common::DestinazionePredefinita::Supporto;
        else if (optSave->isChecked())
            o.WhereWrite = common::DestinazionePredefinita::Memorizzato;
        else if (optWriteInDir->isChecked())
            o.WhereWrite = common::DestinazionePredefinita::Cartella;
        salva = true;
    }
    if (chkSetDefaultPath->isChecked()) {
        o.UserDir = txtPathXCorbex->text();
        salva = true;
    }
    if (salva)
        flowengine::SalvaOpzioni();
    EseguiComposizione();
    accept();
}

QList<DichiarazioneTrovata> frmComposeNew::righeGriglia() const
{
    QList<DichiarazioneTrovata> righe;
    for (int r = 0; r < grdListaDich->rowCount(); ++r)
        righe.append({grdListaDich->item(r, 1)->data(kRuoloChiave).toDate(),
                      grdListaDich->item(r, 2)->data(kRuoloChiave).toInt(), grdListaDich->item(r, 3)->text(),
                      grdListaDich->item(r, 4)->text()});
    return righe;
}

QString frmComposeNew::ElencoSelezionate(const QString &kind) const
{
    return uimain::ElencoSelezionate(kind, cmbDichiarante->currentText(), righeGriglia(), tagGriglia_);
}

void frmComposeNew::EseguiComposizione()
{
    RichiestaCorbex corbex;
    corbex.dichiarante = cmbDichiarante->currentText();
    corbex.TestoSelezione = ElencoSelezionate(QStringLiteral("T"));
    if (optWriteOnFloppy->isChecked()) {
        corbex.DestinazioneCorbex = flowengine::Destinazione::Supporto;
        corbex.data = platform::clock().now().date();
    } else if (optWriteInDir->isChecked() && RigaRiservata) {
        QString cartella = txtPathXCorbex->text();
        if (cartella.endsWith(u'\\')) {
            cartella.chop(1);
            txtPathXCorbex->setText(cartella);
        }
        corbex.DestinazioneCorbex = flowengine::Destinazione::Cartella;
        corbex.data = RigaRiservata->data;
        corbex.riservata = *RigaRiservata;
        corbex.cartella = cartella;
        corbex.progressivo = RigaRiservata->progressivo;
        corbex.ufficio = cmbCustomOfficeCode->currentText();
    } else {
        return;
    }
    // The build screen runs the road, the filing included.
    frmFaiCorbex costruzione(corbex, this);
    costruzione.exec();
    RigaRiservata.reset();
}

void RegistraComposizione(RegisteredWindowFactory &finestre)
{
    finestre.registra(Finestra::frmComposeNew, [](QWidget *owner, const QString &) {
        frmComposeNew composizione(owner);
        composizione.exec();
    });
}

}  // namespace uimain
