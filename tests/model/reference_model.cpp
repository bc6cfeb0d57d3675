#include "tests/model/reference_model.h"

#include <cstring>

#include "printing/printer_list_refresh.h"

namespace model {

namespace {

// Attempts one refresh makes while the printer set keeps growing under it.
constexpr int kEnumAttempts = 4;

}  // namespace

std::optional<DWORD> FailureQueue::Take(sim::Op op, bool filling) {
  for (const bool fill_only : {true, false}) {
    if (fill_only && !filling) continue;
    auto it = queues_.find({op, fill_only});
    if (it == queues_.end() || it->second.empty()) continue;
    const DWORD error = it->second.front();
    it->second.pop_front();
    return error;
  }
  return std::nullopt;
}

bool Model::Lossy(const std::u16string& text) const {
  bool used_default = false;
  const std::string strict = headless::EncodeAnsi(page, text, false, &used_default);
  return used_default || headless::DecodeAnsi(page, strict) != text;
}

std::vector<std::u16string> Model::EligibleNames() const {
  std::vector<std::u16string> names;
  for (size_t i = 0; i < printers.size(); ++i) {
    const sim::Printer& printer = printers[i];
    if ((printer.attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE) != 0) continue;
    const std::string ansi = headless::EncodeAnsi(page, printer.name, true, nullptr);
    if (ansi.compare(0, 5, "Kelvo") != 0) continue;
    if (i < left_out_.size() && left_out_[i]) continue;
    names.push_back(headless::DecodeAnsi(page, ansi));
  }
  return names;
}

sim::Printer* Model::Find(const std::u16string& name) {
  for (auto& printer : printers) {
    if (sim::SameName(printer.name, name)) return &printer;
  }
  return nullptr;
}

sim::Printer* Model::FindId(std::uint64_t id) {
  for (auto& printer : printers) {
    if (printer.id == id) return &printer;
  }
  return nullptr;
}

bool Model::ReadWideNames() {
  bool any_eligible = false;
  for (const auto& printer : printers) {
    const std::string ansi = headless::EncodeAnsi(page, printer.name, true, nullptr);
    any_eligible = any_eligible || ((printer.attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE) == 0 &&
                                    ansi.compare(0, 5, "Kelvo") == 0);
  }
  if (!any_eligible) return true;
  std::vector<std::string> names;
  for (const auto& printer : printers) {
    names.push_back(headless::EncodeAnsi(page, printer.name, true, nullptr));
  }
  if (checked_ == names) return true;
  for (int attempt = 0; attempt < kEnumAttempts; ++attempt) {
    failures.Take(sim::Op::EnumPrintersW);  // sizing
    if (failures.Take(sim::Op::LocalAlloc)) return false;
    if (const auto error = failures.Take(sim::Op::EnumPrintersW, true)) {
      if (*error == ERROR_INSUFFICIENT_BUFFER) continue;
      return false;
    }
    checked_ = std::move(names);
    left_out_.clear();
    for (const auto& printer : printers) left_out_.push_back(Lossy(printer.name));
    return true;
  }
  return false;
}

void Model::Show(const std::vector<std::u16string>& names) {
  if (window.list == names) return;
  // The chosen printer stays chosen while listed; the only one of a list filled from empty is
  // chosen for the user.
  const bool was_empty = window.list.empty();
  const std::u16string chosen =
      window.selection >= 0 ? window.list[static_cast<size_t>(window.selection)] : u"";
  window.list = names;
  window.selection = was_empty && names.size() == 1 ? 0 : -1;
  for (size_t i = 0; i < names.size() && !chosen.empty(); ++i) {
    if (names[i] == chosen) window.selection = static_cast<int>(i);
  }
  window.mutations += 1 + static_cast<int>(names.size());
}

void Model::Refresh() {
  for (int attempt = 0; attempt < kEnumAttempts; ++attempt) {
    failures.Take(sim::Op::EnumPrinters);  // the sizing call: its result is not used
    bool grew = false;
    if (grown_ < growth.size()) {
      printers.push_back(growth[grown_++]);
      grew = true;
    }
    if (failures.Take(sim::Op::LocalAlloc)) return;
    if (const auto error = failures.Take(sim::Op::EnumPrinters, true)) {
      if (*error == ERROR_INSUFFICIENT_BUFFER) continue;
      Show({});
      return;
    }
    if (grew) continue;  // the block sized before the growth is too small
    if (!ReadWideNames()) return;
    Show(EligibleNames());
    return;
  }
}

void Model::OpenWindow() {
  window = WindowModel{};
  checked_.reset();  // a new window checks afresh
  left_out_.clear();
  Refresh();
  window.visible = true;
  window.show_calls = 1;
}

void Model::Select(int index) {
  window.selection = index >= 0 && index < static_cast<int>(window.list.size()) ? index : -1;
}

void Model::ClickCancel() {
  window.visible = false;
  ++window.close_calls;
}

void Model::ClickOk(const DialogScript& script) {
  dialog_paper.reset();
  if (window.selection < 0) return;
  const std::u16string listed = window.list[static_cast<size_t>(window.selection)];
  using Problem = printing::ConfirmationOutcome;

  if (const auto error = failures.Take(sim::Op::OpenPrinter)) {
    if (*error == ERROR_ACCESS_DENIED) boxes.push_back({Problem::NeedsAdministrator});
    return;
  }
  sim::Printer* opened = Find(listed);
  if (opened == nullptr) return;
  constexpr ACCESS_MASK kEditRights = PRINTER_ACCESS_ADMINISTER | PRINTER_ACCESS_USE;
  if ((opened->grants & kEditRights) != kEditRights) {
    boxes.push_back({Problem::NeedsAdministrator});
    return;
  }
  // The handle follows the printer, whatever happens to its name.
  if (opened->id == 0) opened->id = next_id_++;
  const std::uint64_t handle = opened->id;
  if (failures.Take(sim::Op::GetPrinter)) return;   // sizing
  if (failures.Take(sim::Op::GlobalAlloc)) return;  // the record's block
  if (failures.Take(sim::Op::GetPrinter)) return;   // filling
  const short stored_paper = opened->paper_size;
  const auto stored_private = opened->private_bytes;

  if (failures.Take(sim::Op::DocumentProperties)) {  // the driver's size
    boxes.push_back({Problem::DialogFailed});
    return;
  }
  if (failures.Take(sim::Op::GlobalAlloc)) return;  // the output block
  if (failures.Take(sim::Op::DocumentProperties)) {
    boxes.push_back({Problem::DialogFailed});
    return;
  }
  short paper = stored_paper;
  dialog_paper = paper;
  for (const auto& step : script.during) {
    if (step.tick) {
      Refresh();
    } else if (step.fail) {
      failures.Add(*step.fail, kLateFailure);
    } else {
      step.change(printers);
    }
  }
  if (script.choice < 0) {
    boxes.push_back({Problem::DialogFailed});
    return;
  }
  if (script.choice == IDCANCEL) {
    window.visible = true;
    ++window.show_calls;
    return;
  }
  if (script.paper) paper = *script.paper;

  // The record is read again, and its texts checked against the wide ones, before the set.
  auto read = [&](sim::Op get) -> bool {
    for (const sim::Op op : {get, sim::Op::GlobalAlloc, get}) {
      if (const auto error = failures.Take(op)) {
        boxes.push_back({Problem::StoreFailed, *error});
        return false;
      }
      if (op == get && FindId(handle) == nullptr) {
        boxes.push_back({Problem::StoreFailed, ERROR_INVALID_PRINTER_NAME});
        return false;
      }
    }
    return true;
  };
  if (!read(sim::Op::GetPrinter)) return;
  const sim::Printer& now = *FindId(handle);
  // A printer without a DEVMODE has no paper to change.
  if (now.private_bytes != stored_private || (stored_private && now.paper_size != stored_paper)) {
    boxes.push_back({Problem::ChangedElsewhere});
    return;
  }
  if (!read(sim::Op::GetPrinterW)) return;
  if (Lossy(now.name) || Lossy(now.comment) || Lossy(now.location)) {
    boxes.push_back({Problem::TextNotCarried});
    return;
  }
  if (const auto error = failures.Take(sim::Op::SetPrinter)) {
    boxes.push_back({Problem::StoreFailed, *error});
    return;
  }
  // The printer as it is now, with the edited settings.
  sim::Printer* target = FindId(handle);
  target->paper_size = paper;
  std::vector<BYTE> driver_bytes(driver_private_size);
  for (WORD i = 0; i < driver_private_size; ++i) driver_bytes[i] = static_cast<BYTE>(0xD0 + i);
  target->private_bytes = driver_bytes;
  target->last_security_descriptor = nullptr;
  ++target->sets;
  window.visible = false;
  ++window.close_calls;
}

}  // namespace model
