#pragma once

#include "ui/tables/tablescreen.h"

class QCheckBox;
class QGroupBox;

namespace uitables {

// The currencies, table Valuta: the international code, the name, whether it
// is quoted, and its customs and IATA codes.
class frmvaluta : public TableScreen {
    Q_OBJECT
public:
    explicit frmvaluta(QWidget *parent = nullptr);

    void AggiornaMaschera() override;
    bool VerificaGlobale() override { return true; }
    bool VerificaCancellabile() override;
    void AbilitaCampi(bool Pulisci) override;

    QLabel *lblCodice;
    QLineEdit *txtCodice;
    QLabel *lblDescrizione;
    QLineEdit *txtDescrizione;
    QCheckBox *chkQuotata;
    QGroupBox *fraCodifiche;
    QLabel *lblDogana;
    QLineEdit *txtDogana;
    QLabel *lblIATA;
    QLineEdit *txtIATA;

    void chkQuotata_Click();

protected:
    std::vector<std::pair<QString, QLineEdit *>> campiRicerca() const override;
    std::vector<std::pair<QString, QLineEdit *>> chiavi() const override;
    void scriviModifica(dao::Recordset &rs) override;
    void scriviAggiunta(dao::Recordset &rs) override;
    void ImpostaCampi(Modo modalita) override;

private:
    bool guardia_ = false;  // the box is being put back to the stored value
};

}  // namespace uitables
