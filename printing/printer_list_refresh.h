// Keeps the table of eligible printers, and the list box showing it, in step with the spooler.
#pragma once

#include <array>
#include <cstdint>

#include "printing/spooler.h"
#include "ui/vcl.h"

namespace printing {

constexpr std::uint32_t MaxPrinterNames = 100;
using PrinterNameTable = std::array<vcl::UnicodeString, MaxPrinterNames>;

// Local, online printers whose name starts with this, case-sensitively.
constexpr char kBrandPrefix[] = "Kelvo";

// True when the ANSI name belongs to the brand.
bool IsBrandPrinterName(const char* name);

// One refresh: enumerates the local printers, refills `names` / `count` with the eligible ones in
// enumeration order (at most MaxPrinterNames), and rebuilds `list` only when it no longer shows
// exactly those names. Where the ANSI code page is not UTF-8, names it could not carry are left
// out. When the records cannot be fetched, everything is left as it was; when the enumeration
// fails outright, the list is emptied.
void RefreshPrinterList(Spooler& spooler, PrinterNameTable& names, std::uint32_t& count,
                        vcl::TListBox& list);

}  // namespace printing
