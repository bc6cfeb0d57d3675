// One refresh of the printer list against the simulated spooler, at 10, 100 and 1,000 printers
// of which half are eligible: with the set unchanged since the last refresh (the common tick)
// and with it changed (the list box is rebuilt). The floor is the two bare enumeration calls a
// refresh must make. Counter list_changes is the list box mutations per unchanged refresh.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "printing/printer_list_refresh.h"
#include "tests/support/sim_spooler.h"
#include "ui/headless/headless.h"

namespace {

void Fill(sim::Spooler& spooler, int printers) {
  // The shipped exe runs with the UTF-8 code page, where the refresh needs no wide enumeration.
  spooler.SetCodePage(headless::CodePage::Utf8);
  for (int i = 0; i < printers; ++i) {
    char name[64];
    std::snprintf(name, sizeof(name), "%s Office %04d", i % 2 == 0 ? "Kelvo" : "Other", i);
    sim::Printer printer;
    printer.name = sim::Latin1(name);
    spooler.printers.push_back(printer);
  }
}

struct Window {
  vcl::TForm form{nullptr};
  vcl::TListBox* list = new vcl::TListBox(&form);  // owned by the form
  printing::PrinterNameTable names;
  std::uint32_t count = 0;
  printing::NameVerdict verdict;
};

void BM_RefreshUnchanged(benchmark::State& state) {
  sim::Spooler spooler;
  Fill(spooler, static_cast<int>(state.range(0)));
  Window window;
  printing::RefreshPrinterList(spooler, window.names, window.count, *window.list, window.verdict);
  const int mutations = headless::ListMutations(*window.list);
  for (auto _ : state) {
    printing::RefreshPrinterList(spooler, window.names, window.count, *window.list, window.verdict);
    spooler.calls.clear();
  }
  state.counters["shown"] = window.count;
  state.counters["list_changes"] = benchmark::Counter(
      headless::ListMutations(*window.list) - mutations, benchmark::Counter::kAvgIterations);
}

void BM_RefreshChanged(benchmark::State& state) {
  sim::Spooler spooler;
  Fill(spooler, static_cast<int>(state.range(0)));
  Window window;
  for (auto _ : state) {
    // The first printer goes offline and comes back on alternate ticks.
    spooler.printers[0].attributes ^= PRINTER_ATTRIBUTE_WORK_OFFLINE;
    printing::RefreshPrinterList(spooler, window.names, window.count, *window.list, window.verdict);
    spooler.calls.clear();
  }
  state.counters["shown"] = window.count;
  state.counters["list_changes"] =
      benchmark::Counter(headless::ListMutations(*window.list), benchmark::Counter::kAvgIterations);
}

void BM_EnumFloor(benchmark::State& state) {
  sim::Spooler spooler;
  Fill(spooler, static_cast<int>(state.range(0)));
  DWORD needed = 0;
  DWORD returned = 0;
  spooler.EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned);
  std::vector<BYTE> buffer(needed);
  for (auto _ : state) {
    spooler.EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned);
    spooler.EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed,
                          &returned);
    benchmark::DoNotOptimize(buffer.data());
    spooler.calls.clear();
  }
  // Every run carries the same counters, as the CSV report needs.
  state.counters["shown"] = 0;
  state.counters["list_changes"] = 0;
}

BENCHMARK(BM_EnumFloor)->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(BM_RefreshUnchanged)->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(BM_RefreshChanged)->Arg(10)->Arg(100)->Arg(1000);

}  // namespace

BENCHMARK_MAIN();
