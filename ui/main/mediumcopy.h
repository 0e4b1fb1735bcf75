#pragma once

namespace flowengine {
struct DatiCorbex;
}

namespace uimain {

// Copies the archive copy of a filed flow onto the removable medium under
// its name there (RifFloppy), with LF line ends, once the user says the
// medium is in; a name already on the medium is never overwritten. A medium
// that is not ready asks to try again or to give up. Every outcome is told;
// other errors reach the caller.
void RiproduciSuSupporto(const flowengine::DatiCorbex &flow);

}  // namespace uimain
