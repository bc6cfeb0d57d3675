#include "printing/local_enumeration.h"

#include <algorithm>
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
  // The ANSI calls size for the wide texts, and a text may need more in the code page: a failed
  // fill can ask for more than any sizing call reports, so the largest size seen is the one given.
  DWORD size = 0;
  for (int attempt = 0; attempt < kEnumAttempts; ++attempt) {
    result->block.reset();  // the last attempt's block goes before the next is sized
    DWORD needed = 0;
    DWORD returned = 0;
    (spooler.*call)(PRINTER_ENUM_LOCAL, nullptr, level, nullptr, 0, &needed, &returned);
    size = std::max(size, needed);
    result->count = 0;
    if (size > std::numeric_limits<DWORD>::max() - kSlack) return Enumerated::NoBlock;
    result->block = AllocateLocal(spooler, static_cast<SIZE_T>(size) + kSlack);
    if (!result->block) return Enumerated::NoBlock;

    returned = 0;
    DWORD filled_needed = 0;
    if (!(spooler.*call)(PRINTER_ENUM_LOCAL, nullptr, level, result->block.as<BYTE>(), size,
                         &filled_needed, &returned)) {
      if (spooler.GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        return Enumerated::Failed;  // whatever count the failed call left is not to be read
      }
      size = std::max(size, filled_needed);
      continue;
    }
    // Never read a record past the block, whatever the count claims.
    const DWORD capacity = size / record_size;
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
