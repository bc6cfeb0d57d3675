// Which printer names from an ANSI enumeration stand for a printer whose real (wide) name the
// ANSI code page cannot carry. Opening such a name would open a different printer, or none.
#pragma once

#include <vector>

#include "printing/spooler.h"

namespace printing {

// Reads the local printers' wide names and sets `lossy[i]` for each of `ansi_names` (as the
// ANSI enumeration returned them, in its order) that must not be opened. When the two
// enumerations disagree, because the set changed in between, every name that some lossy wide
// name converts to is marked. False, with `lossy` untouched, when the wide names cannot be read.
bool FindLossyNames(Spooler& spooler, const std::vector<const char*>& ansi_names,
                    std::vector<bool>* lossy);

}  // namespace printing
