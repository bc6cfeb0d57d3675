// A small reference model of the selection window over a spooler: what the printers, the list,
// the selection, the window and the message boxes should be after each user or system event.
// It mirrors the simulated spooler's injected failures so it knows which call each one hits.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "printing/confirmation_outcome.h"
#include "tests/support/sim_spooler.h"
#include "ui/headless/headless.h"

namespace model {

using Printers = std::vector<sim::Printer>;
// A change to the printer set, applied alike to the simulated spooler and to the model.
using Mutation = std::function<void(Printers&)>;

// The failures queued with sim::Spooler::FailNext / FailNextFill, in the same order.
class FailureQueue {
 public:
  void Add(sim::Op op, DWORD error) { queues_[{op, false}].push_back(error); }
  void AddFill(sim::Op op, DWORD error) { queues_[{op, true}].push_back(error); }
  // The failure the next call of `op` takes, if any; a filling enumeration takes a fill-only
  // failure first.
  std::optional<DWORD> Take(sim::Op op, bool filling = false);

 private:
  std::map<std::pair<sim::Op, bool>, std::deque<DWORD>> queues_;
};

// One step inside the driver's modal dialog: a timer tick, a change to the printers, or a
// failure queued for a call made after the dialog.
struct InDialog {
  bool tick = false;
  Mutation change;
  std::optional<sim::Op> fail;
};
// The error such a queued failure carries.
constexpr DWORD kLateFailure = 1722;

// How the driver's dialog behaves when OK reaches it.
struct DialogScript {
  LONG choice = IDOK;
  std::optional<short> paper;  // what the user picks; unset keeps what the dialog was given
  std::vector<InDialog> during;
};

struct ExpectedBox {
  printing::ConfirmationOutcome problem;
  DWORD error = 0;
};

struct WindowModel {
  std::vector<std::u16string> list;  // the names shown, in order
  int selection = -1;
  int mutations = 0;  // list box Clear + ItemsAdd calls
  bool visible = false;
  int show_calls = 0;
  int close_calls = 0;
};

class Model {
 public:
  Printers printers;
  FailureQueue failures;
  WORD driver_private_size = 8;
  headless::CodePage page = headless::CodePage::Latin1;
  WindowModel window;
  std::vector<ExpectedBox> boxes;  // message boxes not yet matched against the real ones
  // Printers that appear right after each sizing enumeration, one per call, while any are left.
  void SetGrowth(std::vector<sim::Printer> printers) {
    growth = std::move(printers);
    grown_ = 0;
  }
  std::vector<sim::Printer> growth;
  // What the driver's dialog was last given, for comparison with what the real one saw.
  std::optional<short> dialog_paper;

  // A fresh window: constructed (it refreshes once) and shown.
  void OpenWindow();
  void Refresh();
  void Select(int index);
  void ClickOk(const DialogScript& script);
  void ClickCancel();

  // The eligible names as a refresh would show them now, with the names check of the last
  // refresh that made one.
  std::vector<std::u16string> EligibleNames() const;
  // Whether the ANSI code page loses or replaces any character of `text`.
  bool Lossy(const std::u16string& text) const;

 private:
  sim::Printer* Find(const std::u16string& name);
  sim::Printer* FindId(std::uint64_t id);
  // The wide names a refresh reads besides the ANSI ones, unless the ANSI names are the last
  // checked ones; false when that read gives up.
  bool ReadWideNames();
  void Show(const std::vector<std::u16string>& names);
  size_t grown_ = 0;
  std::uint64_t next_id_ = 1;
  // The ANSI names, in order, that the names check last ran on, and which of them it left out.
  std::optional<std::vector<std::string>> checked_;
  std::vector<bool> left_out_;
};

}  // namespace model
