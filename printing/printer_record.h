// Reading one printer's level-2 record on an open handle into a block of its own.
#pragma once

#include "printing/spooler_owned.h"

namespace printing {

using GetPrinterCall = BOOL (Spooler::*)(HANDLE, DWORD, LPBYTE, DWORD, LPDWORD);

// Sizing call, zero-filled block, filling call through `get` (&Spooler::GetPrinterA or
// &Spooler::GetPrinterW), again while the record keeps growing in between. On failure `block` is
// empty and `error` says why: ERROR_INSUFFICIENT_BUFFER when the record never stopped growing.
bool ReadLevel2(Spooler& spooler, GetPrinterCall get, HANDLE printer, GlobalBlock* block,
                DWORD* error);

}  // namespace printing
