// One randomized run: the real window over the simulated spooler and the reference model, driven
// by the same random steps and compared after each.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "tests/model/printer_factory.h"
#include "tests/model/reference_model.h"
#include "tests/support/sim_spooler.h"
#include "ui/torlent_form.h"

namespace model {

class ModelRun {
 public:
  explicit ModelRun(std::uint64_t seed);
  ~ModelRun();

  // Performs one random step on both sides; returns what it did.
  std::string Step();
  // The first difference between the real window and spooler and the model; empty when none.
  std::string Check();
  // How often each kind of outcome was reached, so a run can show it covered them.
  const std::map<std::string, long>& Coverage() const { return coverage_; }

 private:
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  int PrinterIndex() { return Below(static_cast<int>(model_.printers.size())); }

  void OpenWindowIfClosed(std::string& what);
  void Change(const Mutation& change);
  void Fail(sim::Op op, DWORD error);
  void FailFill(DWORD error, sim::Op op = sim::Op::EnumPrinters);
  std::string ChangePrinters();
  std::string Tick();
  std::string TickWithFault();
  std::string Select();
  std::string ClickOk();
  std::string CheckOkCalls(const std::u16string& selected) const;
  // A change for the driver's dialog to make while it is open; it never removes a printer.
  InDialog DialogChange(const std::u16string& edited, std::vector<sim::Printer>& planned);

  std::mt19937_64 rng_;
  PrinterFactory factory_;
  sim::Spooler spooler_;
  Model model_;
  std::unique_ptr<TorlentForm> form_;
  LANGID language_ = 0x0409;
  DialogScript script_;
  std::optional<short> seen_dialog_paper_;
  std::string step_problem_;  // a fault seen during a step, reported by the next Check()
  std::vector<sim::Printer> growth_;
  size_t grown_ = 0;
  std::map<std::string, long> coverage_;
};

// Printable form of a name holding any characters.
std::string Escape(const std::u16string& name);

}  // namespace model
