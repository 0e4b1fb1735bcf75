#pragma once

#include "common/propertyset.h"
#include "platform/scopedservice.h"
#include "ui/tables/datacontrol.h"

#include <QDialog>
#include <QString>
#include <QVariantList>
#include <functional>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

// The table-maintenance screens: one archive table searched by example,
// browsed a row at a time, modified, added to and deleted from, configured
// by the property set its opener puts in its Tag.
namespace uitables {

// ---------------------------------------------------------------- rules

// What a field's check makes of its text.
enum class EsitoCampo { Valido, Invalido, Avviso };

// The code of a customs account in its field, not empty: zero-filled to five
// characters (to four when it is digits alone, the letter's place kept), then
// checked with its CIN letter as "00" and those characters (with the
// correction dialog); a correction shows in the field. Five digits without
// their letter are invalid as typed.
EsitoCampo CodiceContoDoganale(QLineEdit *campo);

// The mandatory text check: invalid when empty (after trimming).
EsitoCampo Obbligatorio(const QLineEdit *campo);

// The screen's modes.
enum Modo : int { ModoInattivo = 0, ModoRicerca = 1, ModoConsultazione = 2, ModoModifica = 3, ModoAggiunta = 4 };

// What the screen did last, as far as the next Find cares: a modification
// saved makes it keep the stored condition.
enum Operazione : int { NessunaOperazione = 0, ModificaSalvata = 3 };

// ---------------------------------------------------------------- lookups between screens

// How a table screen opens another as a lookup: modally, with its Tag;
// nothing comes back.
class TableOpener {
public:
    virtual ~TableOpener() = default;
    virtual void apri(const QString &form, QWidget *owner, const QString &tag) = 0;
};

// The opener in use: the one installed, or the program's, which makes the
// screen of that name and shows it modally.
TableOpener &tableOpener();
// The table screen of a form name ("frmstati", ...); null for a name that is
// none.
std::unique_ptr<class TableScreen> CreaSchermata(const QString &form, QWidget *owner);
TableOpener *&tableOpenerSlot();
using ScopedTableOpener = platform::ScopedService<TableOpener, tableOpenerSlot>;

// ---------------------------------------------------------------- the framework

class TableScreen : public QDialog {
    Q_OBJECT
public:
    ~TableScreen() override;

    QString Tag;

    common::PropertySet Parametri;
    Modo Modalita = ModoInattivo;
    Operazione UltimaOperazione = NessunaOperazione;
    bool PrimaAttivazione = true;
    int Margine = 0;             // twips
    int LarghezzaPulsante = 0;   // twips
    // The values of the "?" of WhereCondition, when the Find built it.
    QVariantList ValoriCondizione;
    // Set when the screen has unloaded itself.
    bool Scaricata = false;

    QToolButton *cmdSearch;
    QToolButton *cmdAdd;
    QPushButton *cmdVirtual;
    QPushButton *cmdVirtual1;
    QPushButton *cmdCancel;
    DataControl *dtaLocal;

    // The first activation: reads the Tag and applies the start mode.
    void Form_Activate();
    void ImpostaModalita();

    void cmdSearch_Click();
    void cmdAdd_Click();
    void cmdVirtual_Click();
    void cmdVirtual1_Click();
    void cmdCancel_Click();

    // What happens when a field takes the focus (every time, also when its
    // window comes back from a dialog) and when it is left: the focus moved
    // from it to another control of this screen, by Tab, a click, an access
    // key or a button's access key. A window that comes (a dialog of a check)
    // or goes leaves no field.
    virtual void Campo_GotFocus(QWidget *campo);
    virtual void Campo_LostFocus(QWidget *campo);
    // A double-click on an enabled field (a screen may open a lookup).
    virtual void Campo_DblClick(QWidget * /*campo*/) {}

    // Whether a toggle is locked (pressed and kept so).
    bool bloccato(QToolButton *toggle) const;

    // The screen's hooks.
    virtual void AbilitaCampi(bool Pulisci);
    virtual void AggiornaMaschera() = 0;
    virtual bool VerificaGlobale() = 0;
    // A lookup that cannot be made throws; the row is then kept.
    virtual bool VerificaCancellabile() { return true; }

    // A table whose rows name the code shown: the query that finds them,
    // its values, and what the user is told when there is one.
    struct UsoCodice {
        QString sql;
        QVariantList valori;
        QString messaggio;
    };
    // Whether no table names the code: the first that does is told (the
    // screen's caption, information) and gives false. The screens'
    // VerificaCancellabile.
    bool nessunUso(const std::vector<UsoCodice> &usi);

protected:
    // The form of the given inner size in twips, with cmdCancel's Top and
    // Height.
    TableScreen(const QString &caption, int larghezza, int altezza, int topPulsanti, int altezzaPulsanti,
                QWidget *parent);

    // Load: the property set's defaults, the layout, the archive as the data
    // control's database. Called by each screen once its fields exist.
    void Form_Load();

    // A label and its text field, in field order; a field with a check has it
    // run on leaving in modify and add mode.
    using Controllo = std::function<EsitoCampo()>;
    enum OpzioniCampo : int {
        Normale = 0,
        Maiuscolo = 1,    // upper-cased while typed, the caret kept in place
        NonRifilare = 2,  // left as typed on leaving
    };
    void registraCampo(QLabel *etichetta, QLineEdit *campo, int lunghezza, int opzioni,
                       Controllo controllo = {});
    // A label emptied with the fields.
    void registraDecodifica(QLabel *decodifica);
    // A control whose focus follows the field rules without being a text field.
    void registraFuoco(QWidget *controllo);

    // The columns of the Find, in clause order, with their fields.
    virtual std::vector<std::pair<QString, QLineEdit *>> campiRicerca() const = 0;
    // The key columns that find the row to modify, with their fields (locked
    // in modify mode).
    virtual std::vector<std::pair<QString, QLineEdit *>> chiavi() const = 0;
    virtual void scriviModifica(dao::Recordset &rs) = 0;
    virtual void scriviAggiunta(dao::Recordset &rs) = 0;
    // The message of a duplicate key; by default it names the last key
    // field's text as "il codice tributo".
    virtual QString messaggioDuplicato() const;
    // What a screen does to its own fields after the framework applied a mode.
    virtual void ImpostaCampi(Modo /*modalita*/) {}

    // The result of a field's check as a colour, and the colour read back.
    void coloraCampo(QLineEdit *campo, EsitoCampo esito);
    static bool rosso(const QWidget *campo);
    static bool giallo(const QWidget *campo);

    // Re-runs every field check in field order; true when no field is red.
    bool verificaCampi();
    // Runs one field's leave check, as if the field were left in modify mode.
    void controllaCampo(QLineEdit *campo);

    // The tab order: the controls given, then the data control's buttons.
    void ordineTab(std::initializer_list<QWidget *> controlli);

    // The screen closes itself (a decode met an error it cannot go on from).
    void Scarica();

    // A caption of the message set when the screen takes them from there and
    // the selector is set, else the literal.
    QString didascalia(int id, const QString &letterale) const;

    QWidget *primoCampo() const;
    QString caption() const { return windowTitle(); }

    // Differences of single screens from the framework's behaviour.
    struct Varianti {
        bool avvioAggiuntaDiretto = false;     // StartUp "A" applies add mode without pressing cmdAdd
        bool annullaAggiuntaInattivo = false;  // Cancel in add mode always returns to idle
        bool consultazioneVuotaResta = false;  // no rows and NewSearch True: stays in browse
        bool fuocoRicercaDaPulsante = false;   // only the search toggle moves the focus in search mode
        bool fuocoDopoAggiunta = true;         // after a MultiAdd addition the focus goes to the first field
        bool didascalieDaInsieme = false;      // captions from the message set
    } varianti;

    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Campo {
        QLabel *etichetta;
        QLineEdit *campo;
        int opzioni;
        Controllo controllo;
    };
    void controlla(const Campo &campo);

    void posiziona(QWidget *controllo, int slot);
    void fuoriVista(QWidget *controllo);
    void impostaToggle(QToolButton *toggle, bool premuto, bool blocca);
    void toggle_Toggled(QToolButton *toggle, bool premuto);
    void consulta();
    // Reads the browse's selection again; when it cannot be read the user is
    // told, the screen is in search mode and the result is false.
    bool rileggiSelezione();
    void trova();
    void iniziaModifica();
    void salvaModifica();
    void salvaAggiunta();
    void elimina();
    void abilitaTreTasti(bool abilita);
    void dtaLocal_Reposition();
    bool haRigaCorrente() const;
    bool salva(dao::Recordset &rs, bool aggiunta);
    void messaggioErrore(int numero, const QString &descrizione);

    std::vector<Campo> campi_;
    std::vector<QLabel *> decodifiche_;
    int topPulsanti_;
    int larghezza_;
    int altezza_;
    bool bloccoRicerca_ = false;
    bool bloccoAggiunta_ = false;
    bool ignoraToggle_ = false;
    // The field that has the focus and has not been left yet.
    QWidget *campoAttivo_ = nullptr;
    // The row shown when modify began: the one row its save may write.
    dao::Recordset::Image rigaMostrata_;
};

}  // namespace uitables
