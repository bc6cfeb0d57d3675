#include "bench/win/bench_printers.h"

#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <vector>

namespace bench {

namespace {

char kDriver[] = "Wine PostScript Driver";
char kPort[] = "FILE:";
char kProcessor[] = "WinPrint";
char kDatatype[] = "RAW";

bool Exists(const std::string& name) {
  HANDLE printer = nullptr;
  std::string copy = name;
  if (!OpenPrinterA(copy.data(), &printer, nullptr)) return false;
  ClosePrinter(printer);
  return true;
}

}  // namespace

std::string BenchPrinterName(int index) {
  char name[64];
  std::snprintf(name, sizeof(name), "%s Bench %04d", index % 2 == 0 ? "Kelvo" : "Other", index);
  return name;
}

bool SetBenchPrinterCount(int count) {
  // Benchmark printers are numbered from 0 without gaps; find how many there are now.
  int have = 0;
  while (Exists(BenchPrinterName(have))) ++have;
  for (; have < count; ++have) {
    std::string name = BenchPrinterName(have);
    PRINTER_INFO_2A info{};
    info.pPrinterName = name.data();
    info.pPortName = kPort;
    info.pDriverName = kDriver;
    info.pPrintProcessor = kProcessor;
    info.pDatatype = kDatatype;
    HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (printer == nullptr) {
      std::fprintf(stderr, "AddPrinterA(%s) failed: %lu\n", name.c_str(), GetLastError());
      return false;
    }
    ClosePrinter(printer);
  }
  while (have > count) {
    std::string name = BenchPrinterName(--have);
    PRINTER_DEFAULTSA defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    if (!OpenPrinterA(name.data(), &printer, &defaults)) return false;
    const BOOL deleted = DeletePrinter(printer);
    ClosePrinter(printer);
    if (!deleted) {
      std::fprintf(stderr, "DeletePrinter(%s) failed: %lu\n", name.c_str(), GetLastError());
      return false;
    }
  }
  return true;
}

}  // namespace bench
