#pragma once

#include "flowengine/decimale.h"
#include "platform/dao/database.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QVariant>

// The named treatments that compute a flow field from the contents of the
// boxes it refers to.
namespace flowengine {

// The running totals of the flow writer, added up exactly: the declaration's
// (set to 0 at the start of each declaration) and the article line's (at the
// start of each line).
extern Decimale TotaleArticolo;
extern Decimale TotaleGenerale;

// Whether a payment mode's DaGarantire says False: "0", "False", "Falso" or
// "No", in any case. Null and every other text do not.
bool DaGarantireFalso(const QVariant &daGarantire);

// The payment modes of the archive, each read once per run: whether the tax
// lines paid with a mode enter the settlement.
class ModiPagamento {
public:
    explicit ModiPagamento(dao::Database &archivio) : archivio_(archivio) {}
    // True when the mode exists and its DaGarantire says False.
    bool daLiquidare(const QString &codice);

private:
    dao::Database &archivio_;
    QHash<QString, bool> letti_;
};

// The treatment named by parola applied to valore, the referenced contents
// each followed by CR LF. articolo is the article line being written (from 1),
// numeroArticoli the declaration's count. "LINEALIQUIDAZIONE" adds to the
// running totals TotaleArticolo and TotaleGenerale; "TOTART" and "TOTGEN" read
// them. "SYSDATEGGMMAA" gives oggi, the day of the composition, which the
// writer reads once for its run. An unknown keyword gives an empty text.
QString ApplicaTrattamento(const QString &valore, const QString &parola, int articolo, int numeroArticoli,
                           ModiPagamento &modi, const QDate &oggi);

}  // namespace flowengine
