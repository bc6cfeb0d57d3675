// Random printers for the model test: brand and other names of any byte content and length,
// unique the way the spooler keys them (case-insensitively), with random states.
#pragma once

#include <random>
#include <string>
#include <vector>

#include "tests/support/sim_spooler.h"

namespace model {

class PrinterFactory {
 public:
  explicit PrinterFactory(std::mt19937_64& rng) : rng_(rng) {}

  // A name no printer in `taken` (nor in `also_taken`) has, ignoring case.
  std::u16string NewName(const std::vector<sim::Printer>& taken,
                         const std::vector<sim::Printer>& also_taken = {});
  sim::Printer NewPrinter(const std::vector<sim::Printer>& taken,
                          const std::vector<sim::Printer>& also_taken = {});
  short Paper();

 private:
  std::u16string Candidate();
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

  std::mt19937_64& rng_;
};

}  // namespace model
