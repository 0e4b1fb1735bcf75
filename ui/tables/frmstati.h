#pragma once

#include "ui/tables/tablescreen.h"

namespace uitables {

// The countries, table Stati: the ISO code, the customs code, the name and
// the currency.
class frmstati : public TableScreen {
    Q_OBJECT
public:
    explicit frmstati(QWidget *parent = nullptr);

    void AggiornaMaschera() override;
    bool VerificaGlobale() override;
    bool VerificaCancellabile() override;
    void Campo_DblClick(QWidget *campo) override;

    // The currency's description: 0 found, -1 no such currency, -2 locked
    // and given up, -3 another error (shown).
    qint16 DecodificaValuta(const QString &codice, QString &descrizione);

    QLabel *lblCodice;
    QLineEdit *txtCodice;
    QLabel *lblGeoCodice;
    QLineEdit *txtGeoCodice;
    QLabel *lblDescrizione;
    QLineEdit *txtDescrizione;
    QLabel *lblValuta;
    QLineEdit *txtValuta;
    QLabel *lblDecValuta;

protected:
    std::vector<std::pair<QString, QLineEdit *>> campiRicerca() const override;
    std::vector<std::pair<QString, QLineEdit *>> chiavi() const override;
    void scriviModifica(dao::Recordset &rs) override;
    void scriviAggiunta(dao::Recordset &rs) override;

private:
    EsitoCampo controllaValuta();
};

}  // namespace uitables
