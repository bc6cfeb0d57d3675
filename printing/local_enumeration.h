// One enumeration of the local printers into a zero-filled block of its own.
#pragma once

#include "printing/spooler_owned.h"

namespace printing {

template <typename Name>
using EnumPrintersCall = BOOL (Spooler::*)(DWORD, Name, DWORD, LPBYTE, DWORD, LPDWORD, LPDWORD);

enum class Enumerated {
  Records,    // `block` holds `count` records of the level
  NoBlock,    // the block could not be had; nothing was read
  Failed,     // the filling call failed; `block` is allocated, `count` is 0
  Unsettled,  // the set kept growing between sizing and filling
};

struct Enumeration {
  explicit Enumeration(Spooler& spooler) : block(spooler) {}
  LocalBlock block;
  DWORD count = 0;
};

// Sizing call, block, filling call through `call` (&Spooler::EnumPrintersA or EnumPrintersW),
// sized again a few times while the set grows. `count` never exceeds the records that fit.
template <typename Name>
Enumerated EnumerateLocal(Spooler& spooler, EnumPrintersCall<Name> call, DWORD level,
                          DWORD record_size, Enumeration* result);

}  // namespace printing
