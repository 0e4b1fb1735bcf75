#include "ui/tables/frmstati.h"

#include "common/lookups.h"
#include "common/openretry.h"
#include "platform/messagebox.h"
#include "ui/tables/controls.h"
#include "ui/tables/textrules.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace uitables {

using common::NullToStr;
using common::StrToNull;

namespace {

const QString NonDisponibile = QStringLiteral("[Non disponibile]");

const common::Decodifica Valuta = {
    QStringLiteral("Valuta"),
    QStringLiteral("Descrizione"),
    QStringLiteral("Risulta momentaneamente impossibile estrarre dall'archivio la descrizione della valuta. Scegliere "
                   "'Riprova' per attendere che il dato sia di nuovo disponibile, altrimenti scegliere 'Annulla' per "
                   "abbandonare."),
    QStringLiteral("Durante la decodifica della valuta."),
};

}  // namespace

frmstati::frmstati(QWidget *parent) : TableScreen(QStringLiteral("Codifica degli Stati"), 6015, 2130, 1710, 390, parent)
{
    varianti.didascalieDaInsieme = true;
    setWindowTitle(didascalia(208, windowTitle()));
    const auto riga = [this](const char *etichetta, const char *casella, int id, const QString &caption, int top,
                             int width, QLabel *&label, QLineEdit *&edit) {
        label = Etichetta(this, etichetta, didascalia(id, caption), 60, top + 30, 1470, 255);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        edit = Casella(this, casella, 1605, top, width);
    };
    riga("lblCodice", "txtCodice", 209, QStringLiteral("Codice I.S.O."), 67, 435, lblCodice, txtCodice);
    riga("lblGeoCodice", "txtGeoCodice", 210, QStringLiteral("Codice Doganale"), 480, 600, lblGeoCodice, txtGeoCodice);
    riga("lblDescrizione", "txtDescrizione", 211, QStringLiteral("Denominazione"), 861, 4230, lblDescrizione,
         txtDescrizione);
    riga("lblValuta", "txtValuta", 212, QStringLiteral("Valuta"), 1260, 600, lblValuta, txtValuta);
    lblDecValuta = Decodifica(this, "lblDecValuta", QStringLiteral("[Decodifica Valuta]"), 2295, 1305, 3510);

    registraCampo(lblCodice, txtCodice, 2, Maiuscolo, [this] {
        return CodiceFisso(txtCodice->text(), 2, u'A', u'Z') ? EsitoCampo::Valido : EsitoCampo::Invalido;
    });
    registraCampo(lblGeoCodice, txtGeoCodice, 3, Normale, [this] {
        return CodiceFisso(txtGeoCodice->text(), 3, u'0', u'9') ? EsitoCampo::Valido : EsitoCampo::Invalido;
    });
    registraCampo(lblDescrizione, txtDescrizione, 0, Normale, [this] { return Obbligatorio(txtDescrizione); });
    registraCampo(lblValuta, txtValuta, 3, Normale, [this] { return controllaValuta(); });
    registraDecodifica(lblDecValuta);
    ordineTab({txtCodice, txtGeoCodice, txtDescrizione, txtValuta, cmdVirtual, cmdVirtual1, cmdCancel, cmdSearch, cmdAdd});
    Form_Load();
}

qint16 frmstati::DecodificaValuta(const QString &codice, QString &descrizione)
{
    return common::DecodificaCodice(Valuta, codice, descrizione, caption(), dtaLocal->Database());
}

EsitoCampo frmstati::controllaValuta()
{
    if (txtValuta->text().isEmpty()) {
        lblDecValuta->clear();
        return EsitoCampo::Invalido;
    }
    QString descrizione;
    switch (DecodificaValuta(txtValuta->text(), descrizione)) {
    case 0: lblDecValuta->setText(descrizione); return EsitoCampo::Valido;
    case -1: lblDecValuta->clear(); return EsitoCampo::Invalido;
    case -2: lblDecValuta->setText(NonDisponibile); return EsitoCampo::Invalido;
    default: Scarica(); return EsitoCampo::Invalido;
    }
}

void frmstati::AggiornaMaschera()
{
    dao::Recordset &rs = *dtaLocal->Recordset();
    txtCodice->setText(NullToStr(rs.value(QStringLiteral("Codice"))));
    txtGeoCodice->setText(NullToStr(rs.value(QStringLiteral("GeoCodice"))));
    txtDescrizione->setText(NullToStr(rs.value(QStringLiteral("Descrizione"))));
    txtValuta->setText(NullToStr(rs.value(QStringLiteral("Valuta"))));
    QString descrizione;
    switch (DecodificaValuta(txtValuta->text(), descrizione)) {
    case 0: lblDecValuta->setText(descrizione); break;
    case -1: lblDecValuta->clear(); break;
    case -2: lblDecValuta->setText(NonDisponibile); break;
    default: Scarica(); break;
    }
}

bool frmstati::VerificaGlobale()
{
    if (verificaCampi())
        return true;
    if (!Scaricata)
        platform::msgBox(QStringLiteral("Impossibile procedere alla registrazione dei dati: uno o più campi non "
                                        "risultano corretti."),
                         caption(), platform::MsgIcon::Information);
    return false;
}

bool frmstati::VerificaCancellabile()
{
    static const struct {
        const char *tabella;
        const char *colonna;
        const char *nome;
    } usi[] = {{"ZRQAnagrafe", "Stato", "Anagrafica speditori/destinatari"},
               {"Dogane", "Stato", "Dogane"},
               {"CompDog", "Stato", "Compartimenti doganali"},
               {"GrupPae", "Figlio", "Raggruppamenti paesi"}};
    std::vector<UsoCodice> tabelle;
    for (const auto &uso : usi)
        tabelle.push_back(
            {QStringLiteral("SELECT * FROM %1 WHERE %2 = ?").arg(QLatin1String(uso.tabella), QLatin1String(uso.colonna)),
             {txtCodice->text()},
             QStringLiteral("Impossibile eliminare il record attualmete visualizzato poiché risulta essere una "
                            "codifica attiva presente nella tabella '")
                 + QString::fromUtf8(uso.nome) + QStringLiteral("'.")});
    return nessunUso(tabelle);
}

void frmstati::Campo_DblClick(QWidget *campo)
{
    if (campo == txtValuta)
        tableOpener().apri(QStringLiteral("frmvaluta"), this,
                           QStringLiteral("TableName=Valuta;StartUp=A;MultiAdd=False;NewSearch=False"));
}

std::vector<std::pair<QString, QLineEdit *>> frmstati::campiRicerca() const
{
    return {{QStringLiteral("Codice"), txtCodice},
            {QStringLiteral("GeoCodice"), txtGeoCodice},
            {QStringLiteral("Descrizione"), txtDescrizione},
            {QStringLiteral("Valuta"), txtValuta}};
}

std::vector<std::pair<QString, QLineEdit *>> frmstati::chiavi() const { return {{QStringLiteral("Codice"), txtCodice}}; }

void frmstati::scriviModifica(dao::Recordset &rs)
{
    rs.setValue(QStringLiteral("GeoCodice"), StrToNull(txtGeoCodice->text()));
    rs.setValue(QStringLiteral("Descrizione"), StrToNull(txtDescrizione->text()));
    rs.setValue(QStringLiteral("Valuta"), StrToNull(txtValuta->text()));
}

void frmstati::scriviAggiunta(dao::Recordset &rs)
{
    rs.setValue(QStringLiteral("Codice"), StrToNull(txtCodice->text()));
    scriviModifica(rs);
    rs.setValue(QStringLiteral("Aereo"), QVariant());
}

}  // namespace uitables
