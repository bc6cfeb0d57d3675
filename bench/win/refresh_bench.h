// One refresh of the real code (printing::RefreshPrinterList with WinSpooler and a real list box)
// against the system spooler, next to its floor: the two bare EnumPrintersA calls it must make.
#pragma once

namespace bench {

struct RefreshFigures {
  int printers = 0;
  int shown = 0;
  double refresh_ms = 0;  // median of the runs
  double floor_ms = 0;    // median of the runs
  int runs = 0;
  long list_changes = 0;  // list box messages that change its content, over all unchanged runs
};

// Sets up `printers` benchmark printers and times refreshes and floors, interleaved.
bool MeasureRefresh(int printers, int runs, RefreshFigures* figures);

}  // namespace bench
