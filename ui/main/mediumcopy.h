#pragma once

namespace flowengine {
struct DatiCorbex;
}

namespace uimain {

// Copies the archive copy of a filed flow onto the removable medium under
// its name there (RifFloppy), with LF line ends, once the user says the
// medium is in; a name already on the medium is never overwritten. A medium
// that is not ready asks to try again or to give up. Every outcome is told:
// any other failure as "Errore di Run-time", the medium then holding no part
// of the file. False, with nothing written and nothing told, when once the
// user has said the medium is in the register no longer holds the flow as
// given (CorbexComeElencato).
bool RiproduciSuSupporto(const flowengine::DatiCorbex &flow);

}  // namespace uimain
