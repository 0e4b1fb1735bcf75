#pragma once

#include <QString>
#include <functional>

namespace uimain {

// How the start-up sequence ended.
struct EsitoAvvio {
    bool riuscito = false;
    // What the user is to be told, critical, with the title of the main
    // window's messages; empty when there is nothing to tell or the step that
    // stopped start-up told it itself.
    QString messaggio;
};

// The start-up sequence up to the list of flows: the program folder from
// the current folder; the first-run wizard (primaEsecuzione, which leaves its
// answer in EsitoPrimaEsecuzione) when no settings file stands there; the
// settings; the archive checked and opened; the options; an interrupted move
// of the collection point finished, the collection point checked, and what
// interrupted runs left finished. Database and file errors that no step
// reports itself reach the caller.
EsitoAvvio Avvia(const std::function<void()> &primaEsecuzione);

}  // namespace uimain
