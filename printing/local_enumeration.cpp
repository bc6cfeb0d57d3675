#include "printing/local_enumeration.h"

#include <limits>

namespace printing {

namespace {

// The printer set can grow between the sizing and the filling call; try again a few times
// before giving up on this tick.
constexpr int kEnumAttempts = 4;
// Zero-filled bytes past the needed size: the block exists even when no printer needs a byte,
// and a name at the very end of the data still meets a NUL inside the block.
constexpr DWORD kSlack = 4;

}  // namespace

template <typename Name>
Enumerated EnumerateLocal(Spooler& spooler, EnumPrintersCall<Name> call, DWORD level,
                          DWORD record_size, Enumeration* result) {
  for (int attempt = 0; attempt < kEnumAttempts; ++attempt) {
    result->block.reset();  // the last attempt's block goes before the next is sized
    DWORD needed = 0;
    DWORD returned = 0;
    (spooler.*call)(PRINTER_ENUM_LOCAL, nullptr, level, nullptr, 0, &needed, &returned);
    result->count = 0;
    if (needed > std::numeric_limits<DWORD>::max() - kSlack) return Enumerated::NoBlock;
    result->block = AllocateLocal(spooler, static_cast<SIZE_T>(needed) + kSlack);
    if (!result->block) return Enumerated::NoBlock;

    returned = 0;
    DWORD filled_needed = 0;
    if (!(spooler.*call)(PRINTER_ENUM_LOCAL, nullptr, level, result->block.as<BYTE>(), needed,
                         &filled_needed, &returned)) {
      if (spooler.GetLastError() == ERROR_INSUFFICIENT_BUFFER) continue;
      return Enumerated::Failed;  // whatever count the failed call left is not to be read
    }
    // Never read a record past the block, whatever the count claims.
    const DWORD capacity = needed / record_size;
    result->count = returned > capacity ? capacity : returned;
    return Enumerated::Records;
  }
  result->count = 0;
  return Enumerated::Unsettled;
}

template Enumerated EnumerateLocal<LPSTR>(Spooler&, EnumPrintersCall<LPSTR>, DWORD, DWORD,
                                          Enumeration*);
template Enumerated EnumerateLocal<LPWSTR>(Spooler&, EnumPrintersCall<LPWSTR>, DWORD, DWORD,
                                           Enumeration*);

}  // namespace printing
