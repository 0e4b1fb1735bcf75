#include "flowengine/flowlist.h"

#include "common/databases.h"
#include "common/openretry.h"
#include "platform/dao/recordset.h"

#include <QFile>
#include <map>

// The resource of a static library is registered by name, outside any namespace.
static void registraImmagini() { Q_INIT_RESOURCE(icons); }

namespace flowengine {

namespace {

struct Colonna {
    const char *intestazione;
    int larghezza;  // twips
};

// The counters take three digits whole.
constexpr Colonna Colonne[ColonneElenco] = {
    {"Data", 1000}, {"Numero", 850}, {"Mittente", 1980}, {"OK", 400}, {"KO", 400}, {"ND", 400}, {"?", 240},
};

}  // namespace

QString IntestazioneColonna(int colonna)
{
    return colonna >= 0 && colonna < ColonneElenco ? QString::fromLatin1(Colonne[colonna].intestazione) : QString();
}

int LarghezzaColonna(int colonna, int righeGriglia)
{
    if (colonna == 2)
        return righeGriglia >= 7 ? 1740 : 1980;
    return colonna >= 0 && colonna < ColonneElenco ? Colonne[colonna].larghezza : 0;
}

RigaElenco RigaElencoCorbex(const DatiCorbex &flow, const QString &mittente)
{
    RigaElenco riga;
    riga.corbex = flow;
    riga.testi[0] = flow.Data.toString(QStringLiteral("dd/MM/yy"));
    riga.testi[1] = QString::number(flow.Progressivo);
    riga.testi[2] = mittente;
    if (flow.Stato == StatoRispostaElaborata) {
        riga.testi[3] = QString::number(flow.OK);
        riga.testi[4] = QString::number(flow.KO);
        riga.testi[5] = QString::number(flow.ND);
    }
    riga.icona = IconaStato(flow.Stato, flow.Tipo);
    return riga;
}

std::vector<RigaElenco> LeggiElencoCorbex(qint16 posizione)
{
    dao::Database db = common::ApriArchivio();
    std::unique_ptr<dao::Recordset> rs = db.openRecordset(
        QStringLiteral("SELECT * FROM Corbix WHERE Posizione = ? ORDER BY Data DESC, Progressivo DESC"),
        {int(posizione)}, dao::RecordsetType::Snapshot);
    std::vector<RigaElenco> righe;
    // A register names few declarants: each one's description is read once.
    std::map<QString, QString> mittenti;
    for (; !rs->eof(); rs->moveNext()) {
        DatiCorbex flow;
        LeggiCorbex(*rs, flow);
        auto mittente = mittenti.find(flow.FattoDa);
        if (mittente == mittenti.end())
            mittente = mittenti.emplace(flow.FattoDa, DescrizioneSpedoga(flow.FattoDa)).first;
        righe.push_back(RigaElencoCorbex(flow, mittente->second));
    }
    return righe;
}

QIcon ImmagineElenco(const QString &chiave)
{
    static const bool registrate = (registraImmagini(), true);
    Q_UNUSED(registrate);
    if (chiave.isEmpty())
        return {};
    const QString risorsa = QStringLiteral(":/imlHistory/") + chiave + QStringLiteral(".png");
    return QFile::exists(risorsa) ? QIcon(risorsa) : QIcon();
}

}  // namespace flowengine
