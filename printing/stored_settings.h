// Whether a printer's stored settings are still the ones a driver dialog started from.
#pragma once

#include "platform/winapi_types.h"

namespace printing {

// True when both DEVMODEs are missing, or both have the same size and the same bytes in their
// public and private parts. The device name is left out: it carries the printer's name, which a
// rename changes without changing any setting.
bool SameSettings(const DEVMODEA* before, const DEVMODEA* now);

}  // namespace printing
