// The Windows benchmarks, one command per figure; each prints "figure <name> <value>" lines
// that scripts/bench.sh collects into its table.
//   pd_bench_win refresh <runs> <printers>...     refresh next to its floor at each count
//   pd_bench_win printers <count>                 leaves that many benchmark printers
//   pd_bench_win startup <runs> <app.exe> <floor.exe> <expected items> [<floor2.exe>]
//   pd_bench_win wait <expected items>            until the tool's window is shown and filled
//   pd_bench_win close -                          asks the tool's windows to close
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/win/bench_printers.h"
#include "bench/win/launch_bench.h"
#include "bench/win/refresh_bench.h"

namespace {

std::wstring Wide(const char* text) {
  std::wstring wide;
  for (const char* p = text; *p != '\0'; ++p) wide.push_back(static_cast<unsigned char>(*p));
  return wide;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

int Usage() {
  std::fprintf(
      stderr,
      "usage: pd_bench_win refresh <runs> <printers>...\n"
      "       pd_bench_win printers <count>\n"
      "       pd_bench_win startup <runs> <app.exe> <floor.exe> <expected items> [<floor2.exe>]\n"
      "       pd_bench_win wait <expected items>\n"
      "       pd_bench_win close -\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string command = argv[1];
  if (command == "printers") return bench::SetBenchPrinterCount(std::atoi(argv[2])) ? 0 : 1;
  if (command == "refresh") {
    const int runs = std::atoi(argv[2]);
    for (int i = 3; i < argc; ++i) {
      bench::RefreshFigures figures;
      if (!bench::MeasureRefresh(std::atoi(argv[i]), runs, &figures)) return 1;
      std::printf("figure refresh_ms/%d %.3f\n", figures.printers, figures.refresh_ms);
      std::printf("figure floor_ms/%d %.3f\n", figures.printers, figures.floor_ms);
      std::printf("figure shown/%d %d\n", figures.printers, figures.shown);
      std::printf("figure runs/%d %d\n", figures.printers, figures.runs);
      std::printf("figure list_changes/%d %ld\n", figures.printers, figures.list_changes);
      std::fflush(stdout);
    }
    return 0;
  }
  if (command == "startup" && (argc == 6 || argc == 7)) {
    const int runs = std::atoi(argv[2]);
    const char* const names[] = {"startup_ms", "startup_floor_ms", "startup_floor_spooler_ms"};
    std::vector<bench::LaunchTarget> targets{{Wide(argv[3]), L"TorlentForm", std::atoi(argv[5])},
                                             {Wide(argv[4]), L"PdFloorWindow", -1}};
    if (argc == 7) targets.push_back({Wide(argv[6]), L"PdFloorWindow", -1});
    std::vector<std::vector<double>> times(targets.size());
    // Run 0 is not counted: it brings the programs' files into the cache. The programs take
    // turns so that a slow spell of the machine falls on all of them.
    for (int run = 0; run <= runs; ++run) {
      std::fprintf(stderr, "startup run %d:", run);
      for (size_t i = 0; i < targets.size(); ++i) {
        double ms = 0;
        if (!bench::TimeStartup(targets[i], &ms)) return 1;
        if (run > 0) times[i].push_back(ms);
        std::fprintf(stderr, " %.1f ms", ms);
      }
      std::fprintf(stderr, "\n");
    }
    for (size_t i = 0; i < targets.size(); ++i) {
      std::printf("figure %s %.1f\n", names[i], Median(times[i]));
    }
    return 0;
  }
  if (command == "wait" && argc == 3) {
    const bench::LaunchTarget app{L"PrinterDefaults", L"TorlentForm", std::atoi(argv[2])};
    return bench::WaitForReadyWindow(app) ? 0 : 1;
  }
  if (command == "close") {
    bench::CloseWindows(L"TorlentForm");
    return 0;
  }
  return Usage();
}
