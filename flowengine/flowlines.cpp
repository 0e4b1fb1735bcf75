#include "flowengine/flowlines.h"

#include "common/globals.h"
#include "common/paths.h"
#include "flowengine/decimale.h"
#include "platform/dao/values.h"
#include "platform/errors.h"
#include "platform/messagebox.h"


namespace flowengine {

namespace {

// The prefix of a folder flow's line: mark, code, reference, separator,
// customs reference and filler, six fields before the first value.
constexpr int LunghezzaPrefisso = 22;
constexpr int CampiPrefisso = 6;

}  // namespace

qint32 IndiceDaTesto(const QString &testo) { return Decimale::daTesto(testo).intero32(); }

QString LeggiCampoInterchange(const QString &riga, const QString &tipoRiga, int numeroCampo)
{
    if (tipoRiga != QLatin1String("T")) {
        platform::msgBox(QStringLiteral("Ipossibile determinare il contenuto del campo di un intechange di tipo '")
                             + tipoRiga + QStringLiteral("' poiché la versione dell'applicazione non lo prevede."),
                         common::TitoloApplicazione, platform::MsgIcon::None, platform::MsgButtons::OK);
        return {};
    }
    const int cercato = numeroCampo - CampiPrefisso;
    if (cercato < 1)
        return {};
    const QStringList valori = riga.mid(LunghezzaPrefisso).split(u'\t');
    if (cercato > valori.size())
        return {};
    return common::TrimSpaces(valori[cercato - 1]);
}

int LeggiCompostoDa(std::vector<DocumentoCorbex> &documenti, const QString &elenco)
{
    std::vector<DocumentoCorbex> letti;
    for (const QString &riga : elenco.split(QStringLiteral("\r\n"))) {
        // An empty line (the end of the last line, or one left in between)
        // holds no declaration.
        if (riga.isEmpty())
            continue;
        DocumentoCorbex documento;
        const qsizetype primo = riga.indexOf(u'-');
        documento.Indice = IndiceDaTesto(primo < 0 ? riga : riga.left(primo));
        const QString resto = primo < 0 ? QString() : riga.mid(primo + 1);
        const qsizetype secondo = resto.indexOf(u'-');
        const auto data = dao::parseDayText(secondo < 0 ? resto : resto.left(secondo));
        if (!data)
            platform::raise(platform::err::TypeMismatch);
        documento.Data = *data;
        documento.Rif = secondo < 0 ? QString() : resto.mid(secondo + 1);
        letti.push_back(documento);
    }
    const int numero = int(letti.size());
    if (numero > 0)
        documenti = std::move(letti);
    return numero;
}

}  // namespace flowengine
