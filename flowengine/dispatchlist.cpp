#include "flowengine/dispatchlist.h"

#include "common/databases.h"
#include "common/globals.h"
#include "common/openretry.h"
#include "common/runtimeerror.h"
#include "flowengine/flowlines.h"
#include "flowengine/reportprinting.h"
#include "platform/busywait.h"
#include "platform/clock.h"
#include "platform/dao/recordset.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "platform/pageprinter.h"
#include "platform/texts.h"

#include <algorithm>
#include <cmath>

namespace flowengine {

namespace {

// The lowest position a row may start at on a page.
constexpr int FondoPagina = 266;
constexpr int AltezzaRiga = 10;

// Whole millimetres, a half going to the even one.
int arrotonda(double v) { return int(std::nearbyint(v)); }

QString nomeDitta()
{
    dao::Database db = common::ApriArchivio();
    std::unique_ptr<dao::Recordset> rs = db.openRecordset(QStringLiteral("SELECT NomeDitta FROM Paragen"));
    return rs->eof() ? QString() : common::NullToStr(rs->value(0));
}

void stampaA(platform::PagePrinter &p, double x, double y, const QString &testo)
{
    p.setCurrentX(x);
    p.setCurrentY(y);
    p.print(testo);
}

}  // namespace

qint16 StampaIntestazioneDistinta(qint16 pagina, const QString &ditta, const QString &riferimento,
                                  const QStringList &righe, qint16 numeroRighe)
{
    platform::PagePrinter &p = platform::printer();
    p.setFontBold(true);
    p.setFontSize(16);
    stampaA(p, 20, 20, ditta);
    p.setFontSize(10);
    p.setFontBold(false);
    for (int k = 1; k <= numeroRighe && k <= righe.size(); ++k)
        stampaA(p, 20, 30 + 4 * (k - 1), righe[k - 1]);

    int y = arrotonda(p.currentY()) + 8;
    p.setCurrentX(20);
    p.setCurrentY(y);
    if (!riferimento.isEmpty()) {
        p.print(QStringLiteral("Rif. contenuto supporto magnetico: "), true);
        p.setCurrentX(80);
        p.setFontBold(true);
        p.print(riferimento);
        p.setFontBold(false);
    } else {
        p.setFontBold(true);
        p.print(QStringLiteral("NOTA"), true);
        p.setFontBold(false);
        p.setCurrentX(32);
        p.print(QStringLiteral("Corbex generato per spedizione telematica E.D.I."));
    }

    y += 8;
    stampaA(p, 20, y,
            QStringLiteral("Stampato il ") + platform::clock().now().date().toString(QStringLiteral("dd/MM/yyyy")));
    stampaA(p, 160, y, QStringLiteral("Pag. ") + QString::number(pagina));

    y += 16;
    p.setFontBold(true);
    stampaA(p, 27, y, QStringLiteral("N/S Riferimento"));
    y += 4;
    stampaA(p, 27, y, QStringLiteral("(numero e data)"));
    stampaA(p, 66, y, QStringLiteral("V/S Riferimento"));
    stampaA(p, 140, y, QStringLiteral("Note"));
    p.setFontBold(false);
    return qint16(y);
}

void DisegnaRigaDistinta(qint16 fondo)
{
    platform::PagePrinter &p = platform::printer();
    p.rectangle(20, 63, 190, fondo);
    p.line(60, 63, 60, fondo);
    p.line(100, 63, 100, fondo);
    p.line(20, 77, 190, 77);
}

void StampaDistinta(const DatiCorbex &flow)
{
    platform::PagePrinter &p = platform::printer();
    bool iniziata = false;
    try {
        const QString ditta = nomeDitta();
        // Every declaration is read before the first page, so a list that
        // cannot be read prints nothing.
        std::vector<DocumentoCorbex> dichiarazioni;
        LeggiCompostoDa(dichiarazioni, flow.CompostoDa);
        const QStringList righe = {
            QStringLiteral("Distinta dichiarazioni doganali / richieste di temporanea custodita"),
            QStringLiteral("emesse dall'operatore ") + DescrizioneSpedoga(flow.FattoDa) + QStringLiteral(" (")
                + flow.FattoDa.trimmed() + QStringLiteral(")"),
        };

        iniziata = true;
        ImpostaStampa(p, righe.front(), platform::PageOrientation::Portrait);

        qint16 pagina = 1;
        int y = StampaIntestazioneDistinta(pagina, ditta, flow.RifFloppy, righe, qint16(righe.size())) + 10;
        // At least one row a page, wherever the header ends.
        const int righePerPagina = std::max(1, arrotonda(double(FondoPagina - y) / AltezzaRiga));
        int stampate = 0;
        for (const DocumentoCorbex &d : dichiarazioni) {
            if (stampate >= righePerPagina) {
                DisegnaRigaDistinta(qint16(y - 3));
                ++pagina;
                stampaA(p, 100, y + 3, QStringLiteral("Segue pagina ") + QString::number(pagina));
                p.newPage();
                y = StampaIntestazioneDistinta(pagina, ditta, flow.RifFloppy, righe, qint16(righe.size())) + 10;
                stampate = 0;
            }
            if (stampate > 0)
                p.line(20, y - 3, 190, y - 3);
            const qsizetype trattino = d.Rif.indexOf(u'-');
            stampaA(p, 22, y, QString::number(d.Indice));
            stampaA(p, 38, y, platform::DayText(d.Data));
            stampaA(p, 72, y, (trattino < 0 ? d.Rif : d.Rif.left(trattino)).trimmed());
            y += AltezzaRiga;
            ++stampate;
            // Under a busy wait the windows are painted meanwhile: a list
            // of thousands of declarations takes a while.
            platform::BusyWait::paintWhenDue();
        }
        DisegnaRigaDistinta(qint16(y - 3));
        p.endDoc();
    } catch (const platform::RuntimeError &e) {
        // What was printed so far is sent, so that the printer is free again.
        if (iniziata) {
            try {
                p.endDoc();
            } catch (const platform::RuntimeError &) {
            }
        }
        if (e.number() == platform::err::PrinterFunctionNotSupported)
            platform::msgBox(QStringLiteral("La stampa richiesta non può essere eseguita sulla stampante '")
                                 + p.deviceName()
                                 + QStringLiteral("' poiché essa non supporta le caratteristiche necessarie.\r\n"
                                                  "Tentare con una stampante differente.\r\n"
                                                  "Per le caratteristiche richieste si faccia riferimento al "
                                                  "manuale in linea ove previsto."),
                             common::NomeProgramma, platform::MsgIcon::Information);
        else
            platform::msgBox(common::TestoErroreRuntime(e.number(), e.description())
                                 + QStringLiteral("\r\n(Durante la stampa della distinta)"),
                             common::NomeProgramma, platform::MsgIcon::Critical);
    }
}

}  // namespace flowengine
