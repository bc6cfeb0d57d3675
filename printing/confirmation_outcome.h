// How one press of OK ended, and the message box text for the endings that need one.
#pragma once

#include "ui/vcl.h"

namespace printing {

enum class ConfirmationOutcome {
  Stored,              // the settings are the printer's defaults now
  Cancelled,           // the user cancelled the driver's dialog; nothing stored
  Abandoned,           // the printer vanished or a call failed before anything was stored
  NeedsAdministrator,  // the printer cannot be opened for changing its settings
  DialogFailed,        // the driver's dialog failed; nothing stored
  StoreFailed,         // storing failed; `system_text` says why
  TextNotCarried,      // storing would garble the printer's texts in the ANSI code page
  ChangedElsewhere,    // the printer's settings changed while its dialog was open; nothing stored
};

// The message box text for `outcome`, empty for the outcomes that need none. `system_text` is the
// system's text for the error, where there is one. Under UTF-8 (`utf8`) Windows is already the
// version that carries every text, so no newer one is asked for.
vcl::UnicodeString ConfirmationMessage(ConfirmationOutcome outcome, LANGID language,
                                       const vcl::UnicodeString& system_text, bool utf8 = false);

}  // namespace printing
