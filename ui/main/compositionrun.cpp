#include "ui/main/compositionrun.h"

#include "common/globals.h"
#include "common/paths.h"
#include "common/textfiles.h"
#include "flowengine/journal.h"
#include "platform/busywait.h"
#include "platform/drives.h"
#include "platform/errors.h"

#include <QFile>
#include <QStringList>
#include <memory>

namespace uimain {

namespace {

// The build's progress passed on to the road's listener, and the files the
// build makes kept, so that a failure of the build can remove them.
class CostruzioneSeguita : public flowengine::AvanzamentoCorbex {
public:
    explicit CostruzioneSeguita(AscoltoComposizione &ascolto) : ascolto_(ascolto) {}

    void preparazione(bool controllo, int numero) override { ascolto_.preparazione(controllo, numero); }
    void dichiarazioneInCorso(qint32 indice, const QDate &data) override { ascolto_.dichiarazioneInCorso(indice, data); }
    void avanzamento(int elaborate) override { ascolto_.avanzamento(elaborate); }
    void numeroErrori(int totale) override { ascolto_.numeroErrori(totale); }
    bool annullata() override { return ascolto_.annullata(); }
    void fileCreato(const QString &nome) override
    {
        file << nome;
        ascolto_.fileCreato(nome);
    }

    QStringList file;

private:
    AscoltoComposizione &ascolto_;
};

// The program's message box while the road runs: each message goes to the
// road's listener, which shows it through the message box that was there
// before.
class MessaggiDellaStrada : public platform::MessageBoxService {
public:
    explicit MessaggiDellaStrada(AscoltoComposizione &ascolto)
        : ascolto_(ascolto), programma_(platform::messageBoxService())
    {
    }
    platform::MsgResult show(const platform::Message &messaggio) override
    {
        const platform::ScopedMessageBoxService programma(programma_);
        return ascolto_.messaggio(messaggio);
    }

private:
    AscoltoComposizione &ascolto_;
    platform::MessageBoxService &programma_;
};

// The user gave up a statement on the medium: nothing is written.
struct Rinuncia {};

// Runs one statement on the removable medium; a medium that is not ready asks
// to try again or to give up.
template <class Istruzione>
void sulSupporto(AscoltoComposizione &ascolto, Istruzione istruzione)
{
    for (;;) {
        try {
            istruzione();
            return;
        } catch (const platform::RuntimeError &e) {
            if (e.number() != platform::err::DeviceUnavailable)
                throw;
            if (!ascolto.riprovaSupportoNonPronto(e))
                throw Rinuncia{};
        }
    }
}

// Tells a run-time error of the build or of its write; after a write the disk
// or the system refused, the build's files are removed from TEMP.
void fallita(const platform::RuntimeError &e, const QStringList &costruiti, const ProdottoCorbex &prodotto)
{
    MostraErroreRunTime(e.number(), e.description());
    if (platform::err::isWriteRefusal(e.number()))
        flowengine::RimuoviFileCostruiti(costruiti, prodotto.giornale.get());
}

// The built flow's lines, LF-ended, on the medium under the first free name,
// held by its temporary until the filing names it.
EsitoScrittura scriviSuSupporto(ProdottoCorbex &prodotto, const QString &fileCorbex, AscoltoComposizione &ascolto)
{
    const QString unita = common::OpzioniCorbix.FloppyDevice;
    if (!ascolto.inserireSupporto(unita))
        return EsitoScrittura::Scritto;
    QString nome;
    try {
        // The medium is ready when its drive's entry reaches a folder.
        sulSupporto(ascolto, [&] { platform::hostPath(unita + u'\\'); });
        const QByteArray righe =
            common::joinLines(common::splitLines(common::readFile(platform::hostPath(fileCorbex))), "\n");
        for (;;) {
            sulSupporto(ascolto, [&] {
                if (!prodotto.giornale)
                    prodotto.giornale = std::make_shared<flowengine::GiornaleLavoro>();
                nome = ScriviSulSupporto(righe, *prodotto.giornale);
            });
            if (!nome.isEmpty())
                break;
            if (!ascolto.riprovaSupportoSenzaNome())
                return EsitoScrittura::Rifiutato;
        }
    } catch (const Rinuncia &) {
        return EsitoScrittura::Rifiutato;
    }
    // The message that names the medium's file comes once the filing has
    // given the file that name (ArchiviaCorbex).
    prodotto.FileSupporto = common::EstraiNomeFile(nome);
    return EsitoScrittura::Scritto;
}

// The built flow written where it goes: on the medium, or with the envelope
// in front when its folder's channel carries it.
EsitoScrittura scriviDove(const RichiestaCorbex &richiesta, ProdottoCorbex &prodotto, const QString &fileCorbex,
                          AscoltoComposizione &ascolto)
{
    if (richiesta.DestinazioneCorbex == flowengine::Destinazione::Supporto)
        return scriviSuSupporto(prodotto, fileCorbex, ascolto);
    if (!ConBusta(common::OpzioniCorbix.SendWith))
        return EsitoScrittura::Scritto;
    return ImbustaCorbex(fileCorbex, richiesta.data, richiesta.progressivo, richiesta.ufficio, richiesta.dichiarante,
                         prodotto.giornale.get())
               ? EsitoScrittura::Scritto
               : EsitoScrittura::Rifiutato;
}

// The end of a road that filed nothing: a folder flow's reserved row goes.
std::optional<QString> nonScritto(const RichiestaCorbex &richiesta, ProdottoCorbex &prodotto,
                                  AscoltoComposizione &ascolto)
{
    prodotto.CorbexScritto = false;
    ascolto.costruzioneChiusa(false);
    if (richiesta.DestinazioneCorbex == flowengine::Destinazione::Cartella)
        EliminaRiga(richiesta.riservata);
    return std::nullopt;
}

}  // namespace

platform::MsgResult AscoltoComposizione::messaggio(const platform::Message &messaggio)
{
    return platform::msgBox(messaggio);
}

std::optional<QString> ComponiCorbex(const RichiestaCorbex &richiesta, ProdottoCorbex &prodotto,
                                     AscoltoComposizione &ascolto)
{
    MessaggiDellaStrada messaggi(ascolto);
    const platform::ScopedMessageBoxService messaggiGuard(messaggi);
    // A build that fails must not leave the list of an earlier flow behind.
    prodotto.ElencoComposizione.clear();
    flowengine::CorbexCreato creato;
    CostruzioneSeguita seguita(ascolto);
    try {
        const platform::BusyWait occupato;
        // The run's journal is there from before the build: a crash from
        // here on leaves nothing the next start-up does not know of.
        if (!prodotto.giornale)
            prodotto.giornale = std::make_shared<flowengine::GiornaleLavoro>();
        creato = flowengine::CreaCorbex(richiesta.TestoSelezione, richiesta.DestinazioneCorbex,
                                        common::OpzioniCorbix.PreventCheck, &seguita, prodotto.giornale.get());
    } catch (const platform::RuntimeError &e) {
        fallita(e, seguita.file, prodotto);
        return nonScritto(richiesta, prodotto, ascolto);
    }
    prodotto.ElencoComposizione = creato.ElencoComposizione;
    prodotto.fileErrori = creato.fileErrori;
    prodotto.fileCostruiti = creato.file();

    const auto scrivi = [&] {
        try {
            return scriviDove(richiesta, prodotto, creato.fileCorbex, ascolto);
        } catch (const platform::RuntimeError &e) {
            fallita(e, prodotto.fileCostruiti, prodotto);
            return EsitoScrittura::Fallito;
        }
    };
    if (!ascolto.confermaCostruzione(creato, scrivi))
        return nonScritto(richiesta, prodotto, ascolto);
    prodotto.CorbexScritto = true;
    prodotto.FileTemporaneo = creato.fileCorbex;
    ascolto.costruzioneChiusa(true);

    // The windows are painted again where the build screen stood, and the
    // busy cursor stands over them while the flow is filed.
    const platform::BusyWait occupato;
    platform::BusyWait::paint();
    return ArchiviaCorbex(richiesta, prodotto);
}

}  // namespace uimain
