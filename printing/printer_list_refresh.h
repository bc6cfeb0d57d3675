// Keeps the table of eligible printers, and the list box showing it, in step with the spooler.
#pragma once

#include <cstdint>
#include <vector>

#include "printing/lossy_names.h"
#include "printing/spooler.h"
#include "ui/vcl.h"

namespace printing {

// Grows to hold every eligible printer; slots at and past the count may hold older names.
using PrinterNameTable = std::vector<vcl::UnicodeString>;

// Local, online printers whose name starts with this, case-sensitively.
constexpr char kBrandPrefix[] = "Kelvo";

// True when the ANSI name belongs to the brand.
bool IsBrandPrinterName(const char* name);

// One refresh: enumerates the local printers, refills `names` / `count` with the eligible ones in
// enumeration order, all of them, and rebuilds `list` only when it no longer shows
// exactly those names. Names the ANSI enumeration does not hand out exactly as the wide one
// does are left out, whatever the code page; `verdict` keeps that check's outcome between ticks
// that enumerate the same names. When the records cannot be fetched, everything is left as it
// was; when the enumeration fails outright, the list is emptied. True when `list` was rebuilt.
bool RefreshPrinterList(Spooler& spooler, PrinterNameTable& names, std::uint32_t& count,
                        vcl::TListBox& list, NameVerdict& verdict);

}  // namespace printing
