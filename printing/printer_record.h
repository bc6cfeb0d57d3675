// Reading one printer's level-2 record on an open handle into a block of its own.
#pragma once

#include "printing/spooler_owned.h"

namespace printing {

using GetPrinterCall = BOOL (Spooler::*)(HANDLE, DWORD, LPBYTE, DWORD, LPDWORD);

// Sizing call, zero-filled block, filling call through `get` (&Spooler::GetPrinterA or
// &Spooler::GetPrinterW). On failure `block` is empty and `error` says why.
bool ReadLevel2(Spooler& spooler, GetPrinterCall get, HANDLE printer, GlobalBlock* block,
                DWORD* error);

}  // namespace printing
