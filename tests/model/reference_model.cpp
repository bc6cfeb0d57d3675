#include "tests/model/reference_model.h"

#include <strings.h>

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

std::vector<std::string> Model::EligibleNames() const {
  std::vector<std::string> names;
  for (const auto& printer : printers) {
    if (names.size() == printing::MaxPrinterNames) break;
    if ((printer.attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE) != 0) continue;
    if (printer.name.compare(0, 5, "Kelvo") != 0) continue;
    names.push_back(printer.name);
  }
  return names;
}

sim::Printer* Model::Find(const std::string& name) {
  for (auto& printer : printers) {
    if (strcasecmp(printer.name.c_str(), name.c_str()) == 0) return &printer;
  }
  return nullptr;
}

void Model::Show(const std::vector<std::string>& names) {
  if (window.list == names) return;
  window.list = names;
  window.selection = -1;
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
    Show(EligibleNames());
    return;
  }
}

void Model::OpenWindow() {
  window = WindowModel{};
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
  const std::string listed = window.list[static_cast<size_t>(window.selection)];
  using Problem = printing::ConfirmationOutcome;

  if (const auto error = failures.Take(sim::Op::OpenPrinter)) {
    if (*error == ERROR_ACCESS_DENIED) boxes.push_back({Problem::NeedsAdministrator});
    return;
  }
  sim::Printer* opened = Find(listed);
  if (opened == nullptr) return;
  if (opened->admin_only) {
    boxes.push_back({Problem::NeedsAdministrator});
    return;
  }
  const std::string handle_name = opened->name;
  if (failures.Take(sim::Op::GetPrinter)) return;   // sizing
  if (failures.Take(sim::Op::GlobalAlloc)) return;  // the record's block
  if (failures.Take(sim::Op::GetPrinter)) return;   // filling
  const sim::Printer fetched = *opened;

  if (failures.Take(sim::Op::DocumentProperties)) {  // the driver's size
    boxes.push_back({Problem::DialogFailed});
    return;
  }
  if (failures.Take(sim::Op::GlobalAlloc)) return;  // the output block
  if (failures.Take(sim::Op::DocumentProperties)) {
    boxes.push_back({Problem::DialogFailed});
    return;
  }
  short paper = fetched.paper_size;
  dialog_paper = paper;
  for (const auto& step : script.during) {
    if (step.tick) {
      Refresh();
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

  if (const auto error = failures.Take(sim::Op::SetPrinter)) {
    boxes.push_back({Problem::StoreFailed, *error});
    return;
  }
  sim::Printer* target = Find(handle_name);
  if (target == nullptr) {
    boxes.push_back({Problem::StoreFailed, ERROR_INVALID_PRINTER_NAME});
    return;
  }
  // The whole level-2 record is written back as it was fetched, with the edited settings.
  target->paper_size = paper;
  std::vector<BYTE> driver_bytes(driver_private_size);
  for (WORD i = 0; i < driver_private_size; ++i) driver_bytes[i] = static_cast<BYTE>(0xD0 + i);
  target->private_bytes = driver_bytes;
  target->attributes = fetched.attributes;
  target->last_security_descriptor = nullptr;
  ++target->sets;
  window.visible = false;
  ++window.close_calls;
}

}  // namespace model
