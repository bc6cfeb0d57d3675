// The message boxes of the OK flow, in the window's language.
#pragma once

#include "ui/vcl.h"

namespace printing {

enum class ConfirmationProblem { NeedsAdministrator, DialogFailed, StoreFailed };

// The text for `problem`; `system_text` is the system's text for the error, where there is one.
vcl::UnicodeString ConfirmationMessage(ConfirmationProblem problem, LANGID language,
                                       const vcl::UnicodeString& system_text);

}  // namespace printing
