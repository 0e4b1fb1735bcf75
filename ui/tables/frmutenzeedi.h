#pragma once

#include "ui/tables/tablescreen.h"

class QComboBox;
class QGroupBox;

namespace uitables {

// The EDI accounts of the declarants, table UtenzeEDI: one row for each
// declarant and customs data centre, keyed by the two.
class frmUtenzeEDI : public TableScreen {
    Q_OBJECT
public:
    explicit frmUtenzeEDI(QWidget *parent = nullptr);

    void AggiornaMaschera() override;
    bool VerificaGlobale() override;
    void AbilitaCampi(bool Pulisci) override;

    QLabel *lblSpedoga;
    QLineEdit *txtSpedoga;
    QLabel *lblDecSpedoga;
    QGroupBox *fraUA;
    QLabel *lblUA;
    QLineEdit *txtUA;
    QLabel *lblUARagSoc;
    QLineEdit *txtUARagSoc;
    QGroupBox *fraUserData;
    QLabel *lblLogin;
    QLineEdit *txtLogin;
    QLabel *lblPasswd;
    QLineEdit *txtPasswd;
    QLabel *lblProtocol;
    QComboBox *cmbProtocol;
    QGroupBox *fraCEDData;
    QLabel *lblCodice;
    QLineEdit *txtCodice;
    QLabel *lblDescrizione;
    QLineEdit *txtDescrizione;
    QLabel *lblTPMonitor;
    QLineEdit *txtTPMonitor;
    QLabel *lblSdA;
    QLineEdit *txtSdA;

    // Whether the protocol list takes no choice (browse mode).
    bool listaBloccata() const;

protected:
    std::vector<std::pair<QString, QLineEdit *>> campiRicerca() const override;
    std::vector<std::pair<QString, QLineEdit *>> chiavi() const override;
    void scriviModifica(dao::Recordset &rs) override;
    void scriviAggiunta(dao::Recordset &rs) override;
    void ImpostaCampi(Modo modalita) override;

private:
    EsitoCampo controllaDichiarante();
    EsitoCampo controllaUA();
    QVariant protocollo() const;
    void bloccaLista(bool blocca);
};

}  // namespace uitables
