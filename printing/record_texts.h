// Whether a level-2 record's ANSI texts still say what the printer's wide texts say, so that
// storing the ANSI record leaves every text as it is.
#pragma once

#include "platform/winapi_types.h"

namespace printing {

// Each text field of `ansi`, converted from the ANSI code page, against the same field of
// `wide`. A missing text and an empty one count as the same.
bool SameTexts(const PRINTER_INFO_2A& ansi, const PRINTER_INFO_2W& wide);
// Each text field of two reads of the record, byte for byte.
bool SameTexts(const PRINTER_INFO_2A& one, const PRINTER_INFO_2A& other);

}  // namespace printing
