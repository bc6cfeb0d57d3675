// The benchmark's printers in the system spooler: local printers on FILE: with the Wine
// PostScript driver, half of them with the brand's name.
#pragma once

#include <string>

namespace bench {

// Adds or deletes the benchmark's own printers until there are `count`; returns false (with a
// message on stderr) when the spooler refuses.
bool SetBenchPrinterCount(int count);
// The name of benchmark printer `index`: even ones carry the brand, odd ones do not.
std::string BenchPrinterName(int index);

}  // namespace bench
