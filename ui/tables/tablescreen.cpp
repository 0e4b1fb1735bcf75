#include "ui/tables/tablescreen.h"

#include "common/centraform.h"
#include "common/codechecks.h"
#include "common/globals.h"
#include "common/messageset.h"
#include "common/openretry.h"
#include "common/paths.h"
#include "common/runtimeerror.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "platform/twips.h"
#include "ui/main/screen.h"
#include "ui/tables/textrules.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QShortcutEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <algorithm>
#include <cmath>

namespace uitables {

using platform::twips;

// ---------------------------------------------------------------- rules

EsitoCampo CodiceContoDoganale(QLineEdit *campo)
{
    QString testo = campo->text();
    // Digits typed without their letter leave it the last place: they are
    // zero-filled to four, so that the letter the check offers is the one it
    // computes when the five characters are checked again. Five digits leave
    // no place for it: no digit is dropped to make one, as that would name
    // another account.
    const bool senzaLettera = std::all_of(testo.cbegin(), testo.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    const qsizetype cifre = senzaLettera ? 4 : 5;
    if (testo.size() > cifre)
        return EsitoCampo::Invalido;
    while (testo.size() < cifre)
        testo.prepend(u'0');
    campo->setText(testo);
    QString codice = QStringLiteral("00") + testo;
    qint16 opzioni = 63;
    switch (common::CheckCINCode(codice, opzioni)) {
    case -1: campo->setText(codice.right(5)); return EsitoCampo::Valido;
    case 0: return EsitoCampo::Invalido;
    default: return EsitoCampo::Avviso;
    }
}

EsitoCampo Obbligatorio(const QLineEdit *campo)
{
    return common::TrimSpaces(campo->text()).isEmpty() ? EsitoCampo::Invalido : EsitoCampo::Valido;
}

// ---------------------------------------------------------------- opener

namespace {

class ProgramTableOpener : public TableOpener {
public:
    void apri(const QString &form, QWidget *owner, const QString &tag) override
    {
        std::unique_ptr<TableScreen> screen = CreaSchermata(form, owner);
        if (!screen)
            return;
        screen->Tag = tag;
        screen->exec();
    }
};

const QString NessunaInformazione = QStringLiteral("Nessuna informazione corrisponde al criterio di ricerca indicato.");
const QString NonPiuPresente = QStringLiteral("Impossibile registrare i dati nell'archivio: il record visualizzato non "
                                              "risulta più presente.");
const QString NonPiuPresenteEliminazione =
    QStringLiteral("Impossibile eliminare il record dall'archivio: il record visualizzato non risulta più presente.");
const QString ModificatoAltrove =
    QStringLiteral("Impossibile registrare i dati nell'archivio: il record visualizzato è stato modificato da un "
                   "altro utente. Annullare e ripetere la modifica.");

}  // namespace

TableOpener *&tableOpenerSlot()
{
    static TableOpener *slot = nullptr;
    return slot;
}

TableOpener &tableOpener()
{
    static ProgramTableOpener program;
    return tableOpenerSlot() ? *tableOpenerSlot() : program;
}

// ---------------------------------------------------------------- the framework

TableScreen::TableScreen(const QString &caption, int larghezza, int altezza, int topPulsanti, int altezzaPulsanti,
                         QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      cmdSearch(new QToolButton(this)),
      cmdAdd(new QToolButton(this)),
      cmdVirtual(new QPushButton(this)),
      cmdVirtual1(new QPushButton(this)),
      cmdCancel(new QPushButton(this)),
      dtaLocal(new DataControl(this)),
      topPulsanti_(topPulsanti),
      larghezza_(larghezza),
      altezza_(altezza)
{
    setWindowTitle(caption);
    setFixedSize(twips(larghezza), twips(altezza));
    cmdSearch->setObjectName(QStringLiteral("cmdSearch"));
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    cmdVirtual->setObjectName(QStringLiteral("cmdVirtual"));
    cmdVirtual1->setObjectName(QStringLiteral("cmdVirtual1"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    dtaLocal->setObjectName(QStringLiteral("dtaLocal"));
    for (QToolButton *toggle : {cmdSearch, cmdAdd}) {
        toggle->setCheckable(true);
        toggle->setToolButtonStyle(Qt::ToolButtonTextOnly);
        connect(toggle, &QToolButton::toggled, this, [this, toggle](bool premuto) { toggle_Toggled(toggle, premuto); });
    }
    cmdSearch->setText(QStringLiteral("Ricerca"));
    cmdAdd->setText(QStringLiteral("Aggiungi"));
    cmdVirtual1->setText(QStringLiteral("&Elimina"));
    cmdCancel->setText(QStringLiteral("A&nnulla"));
    for (QPushButton *button : {cmdVirtual, cmdVirtual1, cmdCancel}) {
        button->setAutoDefault(false);
        button->installEventFilter(this);
    }
    cmdCancel->setGeometry(0, twips(topPulsanti), 0, twips(altezzaPulsanti));
    connect(cmdVirtual, &QPushButton::clicked, this, &TableScreen::cmdVirtual_Click);
    connect(cmdVirtual1, &QPushButton::clicked, this, &TableScreen::cmdVirtual1_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &TableScreen::cmdCancel_Click);
    connect(dtaLocal, &DataControl::Reposition, this, &TableScreen::dtaLocal_Reposition);
}

TableScreen::~TableScreen() = default;

void TableScreen::Form_Load()
{
    using namespace common;
    Parametri = {
        {QStringLiteral("TableName"), PropertyText, QString()},
        {QStringLiteral("WhereCondition"), PropertyText, QString()},
        {QStringLiteral("AutoUpDate"), PropertyBoolean, false},
        {QStringLiteral("StartUp"), PropertyText, QStringLiteral("N")},
        {QStringLiteral("MultiAdd"), PropertyBoolean, true},
        {QStringLiteral("UpDatable"), PropertyBoolean, true},
        {QStringLiteral("Deletable"), PropertyBoolean, true},
        {QStringLiteral("NewSearch"), PropertyBoolean, true},
    };
    cmdSearch->setText(didascalia(151, cmdSearch->text()));
    cmdAdd->setText(didascalia(152, cmdAdd->text()));
    cmdCancel->setText(didascalia(7, cmdCancel->text()));

    Margine = platform::toTwips(3);
    LarghezzaPulsante = int(std::lround(double(larghezza_ - Margine) / 6 - Margine));
    const int altezza = cmdCancel->height();
    for (QWidget *button : std::initializer_list<QWidget *>{cmdAdd, cmdSearch, cmdVirtual, cmdVirtual1, cmdCancel})
        button->resize(twips(LarghezzaPulsante), altezza);
    dtaLocal->resize(twips(2 * LarghezzaPulsante + Margine), altezza);

    dtaLocal->DatabaseName = PercorsoArchivio;
    PrimaAttivazione = true;
    UltimaOperazione = NessunaOperazione;
    for (QWidget *button : std::initializer_list<QWidget *>{cmdVirtual, cmdVirtual1})
        fuoriVista(button);
    dtaLocal->setVisible(false);
}

void TableScreen::registraCampo(QLabel *etichetta, QLineEdit *campo, int lunghezza, int opzioni, Controllo controllo)
{
    if (lunghezza > 0)
        campo->setMaxLength(lunghezza);
    if (opzioni & Maiuscolo)
        connect(campo, &QLineEdit::textChanged, campo, [campo](const QString &testo) {
            const QString maiuscolo = testo.toUpper();
            if (maiuscolo == testo)
                return;
            const int cursore = campo->cursorPosition();
            campo->setText(maiuscolo);
            campo->setCursorPosition(cursore);
        });
    campo->installEventFilter(this);
    campi_.push_back({etichetta, campo, opzioni, std::move(controllo)});
}

void TableScreen::registraDecodifica(QLabel *decodifica) { decodifiche_.push_back(decodifica); }

void TableScreen::registraFuoco(QWidget *controllo) { controllo->installEventFilter(this); }

QWidget *TableScreen::primoCampo() const { return campi_.empty() ? nullptr : campi_.front().campo; }

QString TableScreen::didascalia(int id, const QString &letterale) const
{
    if (!varianti.didascalieDaInsieme || common::InsiemeMessaggi.isEmpty())
        return letterale;
    return common::GetMessageText(u'[' + QString::number(id) + u']');
}

void TableScreen::showEvent(QShowEvent *event)
{
    // Opened, the screen stands at the centre of its owner, frames included,
    // before the window manager first shows it.
    if (PrimaAttivazione && parentWidget())
        common::CentraSuProprietario(this, parentWidget());
    QDialog::showEvent(event);
    if (PrimaAttivazione)
        Form_Activate();
}

void TableScreen::Form_Activate()
{
    if (!PrimaAttivazione)
        return;
    PrimaAttivazione = false;
    if (!common::LoadPropertySet(Tag, Parametri)) {
        const QString avvio = common::GetProperty(Parametri, QStringLiteral("StartUp")).toString();
        if (avvio == QLatin1String("A")) {
            if (varianti.avvioAggiuntaDiretto)
                Modalita = ModoAggiunta;
            else
                cmdAdd->setChecked(true);
        } else if (avvio == QLatin1String("Q")) {
            Modalita = ModoRicerca;
        } else if (avvio == QLatin1String("N")) {
            Modalita = ModoInattivo;
        } else if (avvio == QLatin1String("B")) {
            Modalita = ModoConsultazione;
        }
    }
    if (!Scaricata)
        ImpostaModalita();
}

// ---------------------------------------------------------------- layout

void TableScreen::posiziona(QWidget *controllo, int slot)
{
    controllo->move(twips(slot * Margine + (slot - 1) * LarghezzaPulsante), cmdCancel->y());
}

void TableScreen::fuoriVista(QWidget *controllo)
{
    controllo->move(controllo->x(), height() + twips(400));
    controllo->setEnabled(false);
}

void TableScreen::impostaToggle(QToolButton *toggle, bool premuto, bool blocca)
{
    ignoraToggle_ = true;
    toggle->setChecked(premuto);
    ignoraToggle_ = false;
    (toggle == cmdSearch ? bloccoRicerca_ : bloccoAggiunta_) = blocca;
}

bool TableScreen::bloccato(QToolButton *toggle) const
{
    return toggle == cmdSearch ? bloccoRicerca_ : bloccoAggiunta_;
}

void TableScreen::toggle_Toggled(QToolButton *toggle, bool premuto)
{
    if (ignoraToggle_)
        return;
    if (!premuto) {
        if (bloccato(toggle))
            impostaToggle(toggle, true, true);
        return;
    }
    if (toggle == cmdSearch)
        cmdSearch_Click();
    else
        cmdAdd_Click();
}

void TableScreen::cmdSearch_Click()
{
    Modalita = ModoRicerca;
    ImpostaModalita();
    if (QWidget *primo = primoCampo())
        primo->setFocus();
}

void TableScreen::cmdAdd_Click()
{
    bloccoAggiunta_ = true;
    Modalita = ModoAggiunta;
    ImpostaModalita();
}

void TableScreen::ImpostaModalita()
{
    cmdCancel->move(twips(6 * Margine + 5 * LarghezzaPulsante), cmdCancel->y());
    cmdCancel->setEnabled(true);
    if (Modalita != ModoConsultazione) {
        dtaLocal->setVisible(false);
        if (Modalita != ModoInattivo)
            fuoriVista(dtaLocal);
        if (Modalita != ModoRicerca) {
            dtaLocal->RecordSource.clear();
            dtaLocal->Refresh();
            dtaLocal->setCaption(QString());
        }
    }
    switch (Modalita) {
    case ModoInattivo:
        posiziona(cmdSearch, 1);
        cmdSearch->setEnabled(true);
        impostaToggle(cmdSearch, false, false);
        posiziona(cmdAdd, 2);
        cmdAdd->setEnabled(true);
        impostaToggle(cmdAdd, false, false);
        fuoriVista(cmdVirtual);
        fuoriVista(cmdVirtual1);
        AbilitaCampi(true);
        for (const Campo &c : campi_) {
            if (c.etichetta)
                c.etichetta->setEnabled(false);
            c.campo->setEnabled(false);
        }
        ImpostaCampi(Modalita);
        cmdSearch->setFocus();
        break;
    case ModoRicerca:
        posiziona(cmdSearch, 1);
        cmdSearch->setText(QStringLiteral("Ricerca"));
        posiziona(cmdVirtual, 2);
        cmdVirtual->setText(didascalia(68, QStringLiteral("&Trova")));
        cmdVirtual->setEnabled(true);
        fuoriVista(cmdAdd);
        fuoriVista(cmdVirtual1);
        AbilitaCampi(true);
        ImpostaCampi(Modalita);
        if (!varianti.fuocoRicercaDaPulsante)
            if (QWidget *primo = primoCampo())
                primo->setFocus();
        break;
    case ModoConsultazione:
        consulta();
        break;
    case ModoModifica:
        posiziona(cmdSearch, 1);
        cmdSearch->setText(QStringLiteral("Aggiorna"));
        cmdSearch->setEnabled(true);
        impostaToggle(cmdSearch, true, true);
        posiziona(cmdVirtual, 2);
        cmdVirtual->setText(didascalia(89, QStringLiteral("&Ok")));
        cmdVirtual->setEnabled(true);
        fuoriVista(cmdVirtual1);
        fuoriVista(cmdAdd);
        AbilitaCampi(false);
        for (const auto &chiave : chiavi())
            chiave.second->setReadOnly(true);
        ImpostaCampi(Modalita);
        break;
    case ModoAggiunta:
        posiziona(cmdAdd, 1);
        cmdAdd->setEnabled(true);
        posiziona(cmdVirtual, 2);
        cmdVirtual->setText(didascalia(89, QStringLiteral("&OK")));
        cmdVirtual->setEnabled(true);
        fuoriVista(cmdSearch);
        fuoriVista(cmdVirtual1);
        AbilitaCampi(true);
        ImpostaCampi(Modalita);
        if (QWidget *primo = primoCampo())
            primo->setFocus();
        break;
    default:
        break;
    }
}

bool TableScreen::rileggiSelezione()
{
    try {
        dtaLocal->Refresh();
        return true;
    } catch (const platform::RuntimeError &e) {
        // The selection cannot be read (the table locked or missing): the
        // user is told and searches again.
        dtaLocal->setVisible(false);
        messaggioErrore(e.number(), e.description());
        Modalita = ModoRicerca;
        ImpostaModalita();
        return false;
    }
}

void TableScreen::consulta()
{
    const QString tabella = common::GetProperty(Parametri, QStringLiteral("TableName")).toString();
    const QString condizione = common::GetProperty(Parametri, QStringLiteral("WhereCondition")).toString().trimmed();
    dtaLocal->setVisible(true);
    dtaLocal->RecordSource = QStringLiteral("SELECT * FROM ") + tabella;
    dtaLocal->RecordSourceValues.clear();
    if (!condizione.isEmpty()) {
        dtaLocal->RecordSource += QStringLiteral(" WHERE ") + condizione;
        dtaLocal->RecordSourceValues = ValoriCondizione;
    }
    if (!rileggiSelezione())
        return;
    AbilitaCampi(true);
    const int righe = dtaLocal->Recordset()->recordCount();
    if (righe == 0) {
        dtaLocal->setCaption(QString());
        const bool nuovaRicerca = common::GetProperty(Parametri, QStringLiteral("NewSearch")).toBool();
        if (nuovaRicerca && varianti.consultazioneVuotaResta) {
            platform::msgBox(NessunaInformazione, caption(), platform::MsgIcon::Information);
        } else {
            dtaLocal->setVisible(false);
            platform::msgBox(NessunaInformazione, caption(), platform::MsgIcon::Information);
            if (!nuovaRicerca) {
                hide();
            } else {
                Modalita = ModoRicerca;
                ImpostaModalita();
            }
            return;
        }
    } else {
        dtaLocal->MoveLast();
        dtaLocal->MoveFirst();
        if (Scaricata)
            return;
    }
    posiziona(cmdSearch, 1);
    cmdSearch->setText(QStringLiteral("Ricerca"));
    cmdSearch->setEnabled(true);
    impostaToggle(cmdSearch, true, true);
    posiziona(cmdVirtual, 2);
    cmdVirtual->setText(didascalia(160, QStringLiteral("&Aggiorna")));
    cmdVirtual->setEnabled(common::GetProperty(Parametri, QStringLiteral("UpDatable")).toBool());
    posiziona(dtaLocal, 3);
    dtaLocal->setEnabled(true);
    posiziona(cmdVirtual1, 5);
    cmdVirtual1->setText(didascalia(155, QStringLiteral("&Elimina")));
    cmdVirtual1->setEnabled(common::GetProperty(Parametri, QStringLiteral("Deletable")).toBool());
    fuoriVista(cmdAdd);
    if (righe == 1 && common::GetProperty(Parametri, QStringLiteral("AutoUpDate")).toBool()) {
        iniziaModifica();
        return;
    }
    for (const Campo &c : campi_)
        c.campo->setReadOnly(true);
    ImpostaCampi(Modalita);
}

void TableScreen::dtaLocal_Reposition()
{
    dao::Recordset *rs = dtaLocal->Recordset();
    if (!rs || rs->recordCount() == 0) {
        dtaLocal->setCaption(QString());
        return;
    }
    dtaLocal->setCaption(DidascaliaPosizione(rs->absolutePosition(), rs->recordCount()));
    AggiornaMaschera();
}

bool TableScreen::haRigaCorrente() const
{
    const dao::Recordset *rs = dtaLocal->Recordset();
    return rs && rs->absolutePosition() >= 0;
}

// ---------------------------------------------------------------- the action button

void TableScreen::cmdVirtual_Click()
{
    try {
        switch (Modalita) {
        case ModoRicerca: trova(); break;
        case ModoConsultazione:
            // Over an empty selection there is no row to modify.
            if (!haRigaCorrente())
                return;
            iniziaModifica();
            break;
        case ModoModifica: salvaModifica(); break;
        case ModoAggiunta: salvaAggiunta(); break;
        default: break;
        }
    } catch (const platform::RuntimeError &e) {
        messaggioErrore(e.number(), e.description());
    }
}

void TableScreen::trova()
{
    if (UltimaOperazione == ModificaSalvata) {
        UltimaOperazione = NessunaOperazione;
    } else {
        std::vector<std::pair<QString, QString>> colonne;
        for (const auto &[colonna, campo] : campiRicerca())
            colonne.emplace_back(colonna, campo->text());
        const CondizioneRicerca condizione = ClausolaRicerca(colonne);
        QVariant testo = condizione.testo;
        common::SetProperty(Parametri, QStringLiteral("WhereCondition"), testo);
        ValoriCondizione = condizione.valori;
    }
    Modalita = ModoConsultazione;
    ImpostaModalita();
}

// Modify begins on the row shown: its identity and the values it showed are
// kept, so that the save writes that very row, and only while it still holds
// them.
void TableScreen::iniziaModifica()
{
    rigaMostrata_ = dtaLocal->Recordset()->image();
    Modalita = ModoModifica;
    ImpostaModalita();
}

void TableScreen::salvaModifica()
{
    if (!VerificaGlobale() || Scaricata)
        return;
    QStringList condizioni;
    QVariantList valori;
    for (const auto &[colonna, campo] : chiavi()) {
        condizioni << colonna + QStringLiteral(" = ?");
        valori << campo->text();
    }
    const QString sql = QStringLiteral("SELECT * FROM ")
                        + common::GetProperty(Parametri, QStringLiteral("TableName")).toString()
                        + QStringLiteral(" WHERE ") + condizioni.join(QStringLiteral(" AND "));
    std::unique_ptr<dao::Recordset> rs;
    if (common::OpenRecordsetRetry(dtaLocal->Database(), rs, sql, valori, common::TimeoutOneMinute) != 0)
        return;
    // The key values find the rows that may be the one shown; only the one
    // shown is written, and only as it was shown. Another row with the same
    // key values is never touched.
    const dao::Recordset::EditHeld esito = rs->editUnchanged(rigaMostrata_);
    if (esito != dao::Recordset::EditHeld::Begun) {
        // Another program deleted or changed the row meanwhile: nothing is
        // written, and the other user's change is not overwritten unseen.
        rs->close();
        platform::msgBox(esito == dao::Recordset::EditHeld::Changed ? ModificatoAltrove : NonPiuPresente, caption(),
                         platform::MsgIcon::Information);
        return;
    }
    if (!salva(*rs, false))
        return;
    UltimaOperazione = ModificaSalvata;
    Modalita = ModoRicerca;
    cmdVirtual_Click();
}

void TableScreen::salvaAggiunta()
{
    if (!VerificaGlobale() || Scaricata)
        return;
    std::unique_ptr<dao::Recordset> rs = dtaLocal->Database().openRecordset(
        QStringLiteral("SELECT * FROM ") + common::GetProperty(Parametri, QStringLiteral("TableName")).toString());
    if (!salva(*rs, true))
        return;
    if (common::GetProperty(Parametri, QStringLiteral("MultiAdd")).toBool()) {
        AbilitaCampi(true);
        if (varianti.fuocoDopoAggiunta)
            if (QWidget *primo = primoCampo())
                primo->setFocus();
    } else {
        cmdCancel_Click();
    }
}

// One statement writes the whole row, so a refused save leaves the archive
// as it was; the user is told why and the screen keeps the typed values.
bool TableScreen::salva(dao::Recordset &rs, bool aggiunta)
{
    try {
        if (aggiunta) {
            rs.addNew();
            scriviAggiunta(rs);
        } else {
            scriviModifica(rs);
        }
        rs.update();
        rs.close();
        return true;
    } catch (const platform::RuntimeError &e) {
        try {
            rs.close();
        } catch (const platform::RuntimeError &) {
            // Ending the refused save fails for the same cause: the save's
            // own error is the one told.
        }
        if (e.number() == platform::err::DuplicateKey)
            platform::msgBox(messaggioDuplicato(), caption(), platform::MsgIcon::Information);
        else if (e.number() == platform::err::DataChanged)
            platform::msgBox(ModificatoAltrove, caption(), platform::MsgIcon::Information);
        else if (e.number() == platform::err::RecordDeleted)
            platform::msgBox(NonPiuPresente, caption(), platform::MsgIcon::Information);
        else
            messaggioErrore(e.number(), e.description());
        return false;
    }
}

QString TableScreen::messaggioDuplicato() const
{
    return QStringLiteral("Impossibile registrare i dati nell'archivio: il codice tributo '") + chiavi().back().second->text()
           + QStringLiteral("' risulta già definito");
}

void TableScreen::messaggioErrore(int numero, const QString &descrizione)
{
    platform::msgBox(common::TestoErroreRuntime(numero, descrizione), caption(), platform::MsgIcon::Critical);
}

// ---------------------------------------------------------------- delete

void TableScreen::abilitaTreTasti(bool abilita)
{
    cmdVirtual->setEnabled(abilita && common::GetProperty(Parametri, QStringLiteral("UpDatable")).toBool());
    cmdVirtual1->setEnabled(abilita && common::GetProperty(Parametri, QStringLiteral("Deletable")).toBool());
    cmdCancel->setEnabled(abilita);
}

bool TableScreen::nessunUso(const std::vector<UsoCodice> &usi)
{
    for (const UsoCodice &uso : usi) {
        auto rs = dtaLocal->Database().openRecordset(uso.sql, uso.valori);
        const bool usato = rs->recordCount() > 0;
        rs->close();
        if (usato) {
            platform::msgBox(uso.messaggio, caption(), platform::MsgIcon::Information);
            return false;
        }
    }
    return true;
}

void TableScreen::cmdVirtual1_Click()
{
    if (Modalita != ModoConsultazione || !haRigaCorrente())
        return;
    abilitaTreTasti(false);
    if (platform::msgBox(QStringLiteral("Confermare la cancellazione del record correntemente visualizzato ?"), caption(),
                         platform::MsgIcon::Information, platform::MsgButtons::YesNo, 1)
        != platform::MsgResult::Yes) {
        abilitaTreTasti(true);
        return;
    }
    dao::Recordset *rs = dtaLocal->Recordset();
    const int posizione = rs->absolutePosition();
    bool cancellabile = false;
    try {
        cancellabile = VerificaCancellabile();
    } catch (const platform::RuntimeError &e) {
        // The use of the row could not be read: it is kept.
        messaggioErrore(e.number(), e.description());
        abilitaTreTasti(true);
        return;
    }
    if (!cancellabile) {
        platform::msgBox(QStringLiteral("Impossibile eliminare il record correntemente selezionato poichè esso risulta "
                                        "usato come codifica attiva."),
                         caption(), platform::MsgIcon::Information);
        abilitaTreTasti(true);
        return;
    }
    try {
        rs->deleteCurrent();
    } catch (const platform::RuntimeError &e) {
        if (e.number() != platform::err::RecordDeleted && e.number() != platform::err::DataChanged) {
            // The row stays; the user learns why instead of seeing it still there.
            messaggioErrore(e.number(), e.description());
            abilitaTreTasti(true);
            return;
        }
        // Another program deleted the row meanwhile, or changed it, or put
        // another row under its key: the row shown is no longer there, and
        // nothing is deleted. The user is told, and the selection is read
        // again, so that the rows shown and counted are those still there.
        platform::msgBox(NonPiuPresenteEliminazione, caption(), platform::MsgIcon::Information);
        if (!rileggiSelezione())
            return;
        rs = dtaLocal->Recordset();
    }
    if (rs && rs->recordCount() > 0) {
        dtaLocal->MoveTo(std::min(posizione, rs->recordCount() - 1));
        abilitaTreTasti(true);
        return;
    }
    platform::msgBox(QStringLiteral("Non vi sono piu' record nella selezione corrente: verrà reimpostata la modalità di "
                                    "ricerca."),
                     caption(), platform::MsgIcon::Information);
    UltimaOperazione = NessunaOperazione;
    Modalita = ModoRicerca;
    ImpostaModalita();
}

// ---------------------------------------------------------------- cancel

void TableScreen::cmdCancel_Click()
{
    switch (Modalita) {
    case ModoInattivo: Scarica(); return;
    case ModoRicerca: Modalita = ModoInattivo; break;
    case ModoConsultazione: Modalita = ModoRicerca; break;
    case ModoModifica: Modalita = ModoConsultazione; break;
    case ModoAggiunta:
        if (!varianti.annullaAggiuntaInattivo && !common::GetProperty(Parametri, QStringLiteral("NewSearch")).toBool()) {
            Scarica();
            return;
        }
        Modalita = ModoInattivo;
        break;
    default: return;
    }
    try {
        ImpostaModalita();
    } catch (const platform::RuntimeError &e) {
        messaggioErrore(e.number(), e.description());
    }
}

void TableScreen::Scarica()
{
    Scaricata = true;
    done(QDialog::Rejected);
}

// ---------------------------------------------------------------- fields

void TableScreen::AbilitaCampi(bool Pulisci)
{
    for (const Campo &c : campi_) {
        if (c.etichetta)
            c.etichetta->setEnabled(true);
        c.campo->setEnabled(true);
        c.campo->setReadOnly(false);
        uimain::ImpostaColore(c.campo);
        if (Pulisci)
            c.campo->clear();
    }
    if (Pulisci)
        for (QLabel *decodifica : decodifiche_)
            decodifica->setText(QString());
}

void TableScreen::coloraCampo(QLineEdit *campo, EsitoCampo esito)
{
    switch (esito) {
    case EsitoCampo::Valido: uimain::ImpostaColore(campo); break;
    case EsitoCampo::Invalido: uimain::ImpostaColore(campo, uimain::ColoreRosso); break;
    case EsitoCampo::Avviso: uimain::ImpostaColore(campo, uimain::ColoreGiallo); break;
    }
}

bool TableScreen::rosso(const QWidget *campo) { return campo->palette().color(QPalette::Base) == uimain::ColoreRosso; }

bool TableScreen::giallo(const QWidget *campo)
{
    return campo->palette().color(QPalette::Base) == uimain::ColoreGiallo;
}

void TableScreen::controlla(const Campo &c)
{
    if (!(c.opzioni & NonRifilare)) {
        const QString rifilato = common::TrimSpaces(c.campo->text());
        if (rifilato != c.campo->text())
            c.campo->setText(rifilato);
    }
    coloraCampo(c.campo, c.controllo ? c.controllo() : EsitoCampo::Valido);
}

void TableScreen::controllaCampo(QLineEdit *campo)
{
    for (const Campo &c : campi_)
        if (c.campo == campo)
            controlla(c);
}

bool TableScreen::verificaCampi()
{
    for (const Campo &c : campi_) {
        controlla(c);
        if (Scaricata)
            return false;
    }
    for (const Campo &c : campi_)
        if (rosso(c.campo))
            return false;
    return true;
}

void TableScreen::Campo_GotFocus(QWidget *campo) { uimain::ImpostaColore(campo, uimain::ColoreFuoco); }

void TableScreen::Campo_LostFocus(QWidget *campo)
{
    for (const Campo &c : campi_) {
        if (c.campo != campo)
            continue;
        if (Modalita == ModoModifica || Modalita == ModoAggiunta) {
            try {
                controlla(c);
            } catch (const platform::RuntimeError &e) {
                messaggioErrore(e.number(), e.description());
            }
        } else {
            uimain::ImpostaColore(campo);
        }
        return;
    }
    uimain::ImpostaColore(campo);
}

void TableScreen::ordineTab(std::initializer_list<QWidget *> controlli)
{
    std::vector<QWidget *> ordine(controlli);
    ordine.insert(ordine.end(), {dtaLocal->cmdFirst, dtaLocal->cmdPrevious, dtaLocal->cmdNext, dtaLocal->cmdLast});
    for (std::size_t i = 0; i + 1 < ordine.size(); ++i)
        setTabOrder(ordine[i], ordine[i + 1]);
}

// Escape is the cancel button: it goes back one mode, and closes the screen
// only where the button does.
void TableScreen::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (cmdCancel->isEnabled())
            cmdCancel->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TableScreen::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonDblClick: Campo_DblClick(static_cast<QWidget *>(watched)); break;
    case QEvent::Shortcut:
        // A button's access key moves the focus to the button before it acts,
        // as a click does, so the field being left is processed first.
        if (auto *button = qobject_cast<QAbstractButton *>(watched);
            button && !static_cast<QShortcutEvent *>(event)->isAmbiguous()) {
            if (button->isEnabled())
                button->setFocus(Qt::ShortcutFocusReason);
            if (button->isEnabled() && !Scaricata)
                button->click();
            return true;
        }
        break;
    case QEvent::FocusIn:
        campoAttivo_ = static_cast<QWidget *>(watched);
        Campo_GotFocus(campoAttivo_);
        break;
    case QEvent::FocusOut: {
        // The focus has already moved on: the field is left only for another
        // control of this screen.
        QWidget *verso = QApplication::focusWidget();
        if (watched == campoAttivo_ && verso && verso != watched && verso->window() == this) {
            campoAttivo_ = nullptr;
            Campo_LostFocus(static_cast<QWidget *>(watched));
        }
        break;
    }
    default: break;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace uitables
