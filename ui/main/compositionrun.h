#pragma once

#include "flowengine/flowwriter.h"
#include "platform/messagebox.h"
#include "ui/main/composition.h"

#include <QString>
#include <functional>
#include <optional>

namespace platform {
class RuntimeError;
}

// The road of a composed flow, in one sequence for every caller: the build,
// the envelope or the copy on the removable medium, the filing and the final
// names. Whoever runs it answers its user steps: the build screen asks the
// user, the tools answer at once.
namespace uimain {

// How a write of the built flow where it goes ended: written; refused (the
// medium not taken, no envelope), the built files untouched, so that it may
// be tried again; failed, told as a run-time error.
enum class EsitoScrittura { Scritto, Rifiutato, Fallito };

// What the road asks of whoever runs it, besides the build's progress.
class AscoltoComposizione : public flowengine::AvanzamentoCorbex {
public:
    // The build is over (its error lines, its files): scrivi writes the flow
    // where it goes, each time the user asks for it, until it is written or
    // has failed, or the user gives it up. True once it is written.
    virtual bool confermaCostruzione(const flowengine::CorbexCreato &creato,
                                     const std::function<EsitoScrittura()> &scrivi) = 0;
    // The flow is about to be written on the medium in that drive: true once
    // the medium is in; false where there is no medium (a tool that times
    // the filing alone): the flow is then filed without a copy on one.
    virtual bool inserireSupporto(const QString &unita) = 0;
    // The medium is not ready (the drive's error): true to try again, false
    // to give the write up.
    virtual bool riprovaSupportoNonPronto(const platform::RuntimeError &errore) = 0;
    // Every name PRATICHE.001 .. .999 is taken on the medium: true to look
    // again, false to give the write up.
    virtual bool riprovaSupportoSenzaNome() = 0;
    // The road is done with the build: scritto, the flow reached its
    // destination and its filing follows; otherwise it was given up or
    // failed, and nothing is filed.
    virtual void costruzioneChiusa(bool scritto) = 0;
    // Every message of the road, from the build to the final names (its
    // errors, the medium's name, the declarations another flow took, the
    // questions of a locked archive), with its answer: by default shown
    // through the program's message box, as any other.
    virtual platform::MsgResult messaggio(const platform::Message &messaggio);
};

// The listener of a road that nobody watches: the flow written once, the
// medium taken as in (or, conSupporto false, as missing), a refused write, a
// medium not ready or without a free name given up.
class ComposizioneSenzaUtente : public AscoltoComposizione {
public:
    explicit ComposizioneSenzaUtente(bool conSupporto = true) : conSupporto_(conSupporto) {}
    bool confermaCostruzione(const flowengine::CorbexCreato &, const std::function<EsitoScrittura()> &scrivi) override
    {
        return scrivi() == EsitoScrittura::Scritto;
    }
    bool inserireSupporto(const QString &) override { return conSupporto_; }
    bool riprovaSupportoNonPronto(const platform::RuntimeError &) override { return false; }
    bool riprovaSupportoSenzaNome() override { return false; }
    void costruzioneChiusa(bool) override {}

private:
    bool conSupporto_;
};

// Runs the road of the wizard's flow: the run's journal made, the flow built
// in TEMP under a busy wait; on each confirmation the flow is written where it
// goes (the envelope put in front of a folder flow whose channel carries it;
// the lines, LF-ended, written on the medium under a temporary that the
// journal notes); once it is written the flow is filed
// (ArchiviaCorbex), under a busy wait. A flow not written files nothing and
// deletes a folder flow's reserved row. A run-time error of the build or of
// the write is told as "Errore di Run-time" and ends the road as not
// written; after a write the disk or the system refused, the build's files
// go from TEMP too, so that the same composition can be made again once space
// is freed. Every message shown meanwhile is the listener's to show (its
// messaggio). prodotto receives what the build and the write give: CorbexScritto,
// FileTemporaneo, fileErrori, FileSupporto, the journal and the composition
// list. Returns the archive name, or nothing when nothing was filed.
std::optional<QString> ComponiCorbex(const RichiestaCorbex &richiesta, ProdottoCorbex &prodotto,
                                     AscoltoComposizione &ascolto);

}  // namespace uimain
