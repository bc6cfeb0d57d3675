#include "bench/win/refresh_bench.h"

#include "bench/win/clock.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "bench/win/bench_printers.h"
#include "printing/printer_list_refresh.h"
#include "printing/win32/win_spooler.h"
#include "ui/win32/impl_win32.h"

namespace bench {

namespace {

long list_changes = 0;
WNDPROC list_proc = nullptr;

// Counts the messages that change a list box's content on their way to it.
LRESULT CALLBACK CountingListProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case LB_RESETCONTENT:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
      ++list_changes;
      break;
    default:
      break;
  }
  return CallWindowProcW(list_proc, hwnd, message, wparam, lparam);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t mid = values.size() / 2;
  return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// What a refresh cannot do without: size the records, then fetch them into a block.
void Floor(std::vector<BYTE>& buffer) {
  DWORD needed = 0;
  DWORD returned = 0;
  EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned);
  if (buffer.size() < needed) buffer.resize(needed);
  EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &returned);
}

}  // namespace

bool MeasureRefresh(int printers, int runs, RefreshFigures* figures) {
  if (!SetBenchPrinterCount(printers)) return false;
  printing::WinSpooler spooler;
  vcl::TForm form(nullptr);
  auto* list = new vcl::TListBox(&form);  // owned by the form
  HWND list_hwnd = list->impl().hwnd;
  list_proc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(list_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingListProc)));
  printing::PrinterNameTable names;
  std::uint32_t count = 0;
  printing::NameVerdict verdict;
  std::vector<BYTE> buffer;

  // Warm up both paths, and fill the list so that every timed refresh finds it unchanged.
  printing::RefreshPrinterList(spooler, names, count, *list, verdict);
  Floor(buffer);
  list_changes = 0;

  std::vector<double> refresh, floor;
  for (int run = 0; run < runs; ++run) {
    double start = NowMs();
    printing::RefreshPrinterList(spooler, names, count, *list, verdict);
    refresh.push_back(NowMs() - start);
    start = NowMs();
    Floor(buffer);
    floor.push_back(NowMs() - start);
  }
  figures->printers = printers;
  figures->shown = static_cast<int>(count);
  figures->refresh_ms = Median(refresh);
  figures->floor_ms = Median(floor);
  figures->runs = runs;
  figures->list_changes = list_changes;
  SetWindowLongPtrW(list_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(list_proc));
  return true;
}

}  // namespace bench
