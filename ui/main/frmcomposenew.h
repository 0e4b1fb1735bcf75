#pragma once

#include "ui/main/composition.h"
#include "ui/main/windowfactory.h"

#include <QDialog>
#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace uimain {

// The composition wizard: step 1 the declarant and the types, step 2 the
// declarations ticked in the list, step 3 the destination, step 4 (folder
// only) the office, the progressive number and the folder. Finishing runs the
// composition: the build screen, then the filing of the flow.
class frmComposeNew : public QDialog {
    Q_OBJECT

public:
    explicit frmComposeNew(QWidget *parent = nullptr);
    ~frmComposeNew() override;

    void Form_Load();
    void ImpostaPasso();
    bool SelezioneValida() const;
    bool CercaDichiarazioni();  // false when the search failed (the user is told)
    bool NessunaSelezionata() const;
    void MostraContatore();
    // Places the floating boxes over the visible rows from grid row primaRiga
    // (1 the first data row).
    void PosizionaSelettori(int primaRiga);
    QString ElencoSelezionate(const QString &kind) const;
    void EseguiComposizione();

    // Event handlers.
    void cmdNextEnd_Click();
    void cmdPreview_Click();
    void cmdCancel_Click();
    void cmbDichiarante_Click();
    void chkVirtualCheck_Click(int index);
    void cmdVirtualSelez_Click();
    void cmdSelect_Click();
    void txtProgNumber_LostFocus();

    // The selection flags, one "1" or "0" per data row.
    QString TagGriglia() const { return tagGriglia_; }
    // The grid row (1 the first data row) at the top of the visible rows.
    int TopRow() const;

    QLabel *lblInstruction = nullptr;
    QLabel *lblDichiarante = nullptr;
    QComboBox *cmbDichiarante = nullptr;
    QLabel *lblNomeDichiarante = nullptr;
    QGroupBox *fraTipiDichiarazioni = nullptr;
    QCheckBox *chkImport = nullptr;
    QCheckBox *chkExport = nullptr;
    QCheckBox *chkInDeposito = nullptr;
    QCheckBox *chkExportSempif = nullptr;
    QTableWidget *grdListaDich = nullptr;
    std::array<QCheckBox *, 10> chkVirtualCheck{};
    QPushButton *cmdVirtualSelez = nullptr;
    QLabel *lblSelectedElements = nullptr;
    QRadioButton *optWriteOnFloppy = nullptr;
    QRadioButton *optSave = nullptr;
    QRadioButton *optWriteInDir = nullptr;
    QCheckBox *chkSetDefaultDestination = nullptr;
    QLabel *lblCustomOfficeCode = nullptr;
    QComboBox *cmbCustomOfficeCode = nullptr;
    QLabel *lblProgNumber = nullptr;
    QLineEdit *txtProgNumber = nullptr;
    QLabel *lblPathXCorbex = nullptr;
    QLineEdit *txtPathXCorbex = nullptr;
    QPushButton *cmdSelect = nullptr;
    QCheckBox *chkSetDefaultPath = nullptr;
    QProgressBar *prbSearch = nullptr;
    QPushButton *cmdPreview = nullptr;
    QPushButton *cmdNextEnd = nullptr;
    QPushButton *cmdCancel = nullptr;

    qint16 PassoCorrente = 0;
    bool GrigliaInCaricamento = false;
    bool TuttiSelezionati = false;
    qint64 TotaleDichiarazioni = 0;
    qint64 TotaleSelezionate = 0;
    bool PosizionamentoInCorso = false;

    // The register row reserved on step 4, kept until the run completes or
    // deletes it.
    std::optional<ChiaveCorbex> RigaRiservata;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void creaControlli();
    void caricaElenchi();
    void mostraPasso(int passo);
    void aggiornaAvanti();
    // Ticks (spunta) or unticks one grid row's flag (1 the first data row),
    // with the count and the "&Avanti >>" button.
    void segnaRiga(int riga, bool spunta);
    void finisci();
    QList<DichiarazioneTrovata> righeGriglia() const;

    QString tagGriglia_;
};

// Registers the wizard as the window the main window's compose command opens.
void RegistraComposizione(RegisteredWindowFactory &finestre);

}  // namespace uimain
