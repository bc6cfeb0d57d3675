#include "tests/model/model_run.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <utility>

#include "printing/confirmation_outcome.h"
#include "ui/headless/headless.h"

namespace model {

namespace {

// Enough room that printers added while the driver's dialog is open never move the others: the
// simulated spooler keeps a pointer to the edited printer across the dialog.
constexpr size_t kPrinterCapacity = 4096;
constexpr size_t kManyPrinters = 280;

std::u16string SwapCase(std::u16string name) {
  for (char16_t& c : name) {
    if (c < 0x80 && std::isalpha(c) != 0) {
      c = static_cast<char16_t>(std::isupper(c) != 0 ? std::tolower(c) : std::toupper(c));
    }
  }
  return name;
}

sim::Printer* FindByName(std::vector<sim::Printer>& v, const std::u16string& name) {
  for (auto& p : v) {
    if (sim::SameName(p.name, name)) return &p;
  }
  return nullptr;
}

std::string Describe(const sim::Printer& p) {
  std::string text = "'" + Escape(p.name) + "' attr=" + std::to_string(p.attributes) +
                     " grants=" + std::to_string(p.grants) +
                     " paper=" + std::to_string(p.paper_size) + " sets=" + std::to_string(p.sets) +
                     " comment='" + Escape(p.comment) + "' location='" + Escape(p.location) + "'";
  text += p.private_bytes ? " private=" + std::to_string(p.private_bytes->size()) : " no-devmode";
  return text;
}

}  // namespace

std::string Escape(const std::u16string& name) {
  std::string out;
  for (const char16_t c : name) {
    if (c >= 0x20 && c < 0x7F && c != u'\\') {
      out.push_back(static_cast<char>(c));
    } else {
      char hex[12];
      std::snprintf(hex, sizeof(hex), c <= 0xFF ? "\\x%02X" : "\\u%04X", static_cast<unsigned>(c));
      out += hex;
    }
  }
  if (out.size() > 60) out = out.substr(0, 57) + "...(" + std::to_string(name.size()) + " bytes)";
  return out;
}

ModelRun::ModelRun(std::uint64_t seed) : rng_(seed), factory_(rng_) {
  headless::Reset();
  spooler_.printers.reserve(kPrinterCapacity);
  spooler_.dialog = [this](sim::Dialog& dialog) {
    seen_dialog_paper_ = dialog.paper_size;
    for (const auto& step : script_.during) {
      if (step.tick) {
        // Windows delivers timer messages to the owner while the driver's modal loop runs.
        headless::Tick(*form_->TimerEnumPrinter);
      } else if (step.fail) {
        spooler_.FailNext(*step.fail, kLateFailure);
      } else {
        step.change(spooler_.printers);
      }
    }
    if (script_.paper) dialog.paper_size = *script_.paper;
    return script_.choice;
  };
  const int initial = Below(12);
  for (int i = 0; i < initial; ++i)
    Change([p = factory_.NewPrinter(model_.printers)](Printers& v) { v.push_back(p); });
  std::string ignored;
  OpenWindowIfClosed(ignored);
}

ModelRun::~ModelRun() {
  form_.reset();
  headless::Reset();
}

void ModelRun::Change(const Mutation& change) {
  change(spooler_.printers);
  change(model_.printers);
}

void ModelRun::Fail(sim::Op op, DWORD error) {
  spooler_.FailNext(op, error);
  model_.failures.Add(op, error);
}

void ModelRun::FailFill(DWORD error, sim::Op op) {
  spooler_.FailNextFill(error, 1, op);
  model_.failures.AddFill(op, error);
}

void ModelRun::OpenWindowIfClosed(std::string& what) {
  if (form_ && model_.window.visible) return;
  form_.reset();
  language_ = Below(4) == 0 ? LANGID{0x0804} : LANGID{0x0409};
  headless::SetUserDefaultLangID(language_);
  // Each window is a new process, which may run under another ANSI code page.
  static const headless::CodePage kPages[] = {headless::CodePage::Latin1, headless::CodePage::Utf8,
                                              headless::CodePage::BestFit};
  model_.page = kPages[Below(3)];
  spooler_.SetCodePage(model_.page);
  form_ = std::make_unique<TorlentForm>(nullptr, spooler_);
  form_->FormCreate(form_.get());  // as TApplication::CreateForm delivers it
  form_->Show();
  model_.OpenWindow();
  ++coverage_["window opened"];
  what += "new window; ";
}

std::string ModelRun::ChangePrinters() {
  const size_t n = model_.printers.size();
  const int pick = Below(n == 0 ? 2 : 100);
  if (n == 0 || pick < 22 || (pick < 24 && n < kManyPrinters)) {
    const int count = pick >= 22 ? 60 + Below(120) : 1;
    std::string first;
    for (int i = 0; i < count; ++i) {
      const sim::Printer p = factory_.NewPrinter(model_.printers);
      const size_t at = static_cast<size_t>(Below(static_cast<int>(model_.printers.size()) + 1));
      if (i == 0) first = Escape(p.name);
      Change([p, at](Printers& v) { v.insert(v.begin() + static_cast<long>(at), p); });
    }
    return "add " + std::to_string(count) + " from '" + first + "'";
  }
  const size_t at = static_cast<size_t>(PrinterIndex());
  const std::string name = Escape(model_.printers[at].name);
  if (pick < 40 || n > kManyPrinters) {
    if (n > 60 && Below(8) == 0) {
      const size_t keep = static_cast<size_t>(Below(30));
      Change([keep](Printers& v) { v.erase(v.begin() + static_cast<long>(keep), v.end()); });
      return "remove all but " + std::to_string(keep);
    }
    Change([at](Printers& v) { v.erase(v.begin() + static_cast<long>(at)); });
    return "remove '" + name + "'";
  }
  if (pick < 52) {
    const std::u16string renamed =
        Below(4) == 0 ? SwapCase(model_.printers[at].name) : factory_.NewName(model_.printers);
    Change([at, renamed](Printers& v) { v[at].name = renamed; });
    return "rename '" + name + "' to '" + Escape(renamed) + "'";
  }
  if (pick < 64) {
    const size_t other = static_cast<size_t>(PrinterIndex());
    switch (Below(3)) {
      case 0:
        Change([at, other](Printers& v) { std::swap(v[at], v[other]); });
        return "swap " + std::to_string(at) + " and " + std::to_string(other);
      case 1:
        Change([at](Printers& v) {
          std::rotate(v.begin(), v.begin() + static_cast<long>(at), v.end());
        });
        return "rotate by " + std::to_string(at);
      default:
        Change([](Printers& v) { std::reverse(v.begin(), v.end()); });
        return "reverse";
    }
  }
  if (pick < 84) {
    Change([at](Printers& v) { v[at].attributes ^= PRINTER_ATTRIBUTE_WORK_OFFLINE; });
    return "toggle offline '" + name + "'";
  }
  if (pick < 92) {
    Change([at](Printers& v) {
      v[at].grants = v[at].grants == PRINTER_ALL_ACCESS ? PRINTER_ACCESS_USE : PRINTER_ALL_ACCESS;
    });
    return "toggle print-only '" + name + "'";
  }
  if (pick < 96) {
    Change([at](Printers& v) {
      if (v[at].private_bytes) {
        v[at].private_bytes.reset();
      } else {
        v[at].private_bytes = std::vector<BYTE>{9, 8, 7};
      }
    });
    return "toggle stored settings '" + name + "'";
  }
  static const WORD kDriverSizes[] = {1, 8, 64, 1024, 6000};
  const WORD size = kDriverSizes[Below(5)];
  spooler_.driver_private_size = size;
  model_.driver_private_size = size;
  return "driver private size " + std::to_string(size);
}

std::string ModelRun::Tick() {
  headless::Tick(*form_->TimerEnumPrinter);
  const int before = model_.window.mutations;
  model_.Refresh();
  // Check() compares the real list's mutation count with the model's, so an unchanged tick
  // that touched the list box fails there.
  if (model_.window.mutations == before) ++coverage_["unchanged tick"];
  if (model_.EligibleNames().size() > 100) ++coverage_["over a hundred listed"];
  return "tick";
}

std::string ModelRun::TickWithFault() {
  std::string what;
  switch (Below(7)) {
    case 0:
      Fail(sim::Op::LocalAlloc, ERROR_NOT_ENOUGH_MEMORY);
      what = "tick, LocalAlloc fails";
      break;
    case 5:
      FailFill(ERROR_INSUFFICIENT_BUFFER, sim::Op::EnumPrintersW);
      what = "tick, wide fill reports a short buffer";
      break;
    case 6:
      FailFill(ERROR_INVALID_PARAMETER, sim::Op::EnumPrintersW);
      what = "tick, wide fill fails";
      break;
    case 1:
      FailFill(ERROR_INSUFFICIENT_BUFFER);
      what = "tick, fill reports a short buffer";
      break;
    case 2:
      FailFill(ERROR_INVALID_PARAMETER);
      what = "tick, fill fails";
      break;
    default: {
      growth_.clear();
      grown_ = 0;
      const int count = 1 + Below(5);
      for (int i = 0; i < count; ++i) {
        growth_.push_back(factory_.NewPrinter(model_.printers, growth_));
      }
      model_.SetGrowth(growth_);
      spooler_.after_call = [this](const sim::Call& call) {
        if (call.op == sim::Op::EnumPrinters && !call.has_buffer && grown_ < growth_.size()) {
          spooler_.printers.push_back(growth_[grown_++]);
        }
      };
      what = "tick, " + std::to_string(count) + " printers appear during the refresh";
    }
  }
  Tick();
  spooler_.after_call = nullptr;
  model_.SetGrowth({});
  // A grown set stays grown on the real side; anything not yet consumed is dropped on both.
  growth_.clear();
  return what;
}

std::string ModelRun::Select() {
  const int index = Below(static_cast<int>(model_.window.list.size()) + 2) - 1;
  headless::Select(*form_->ListBoxPrinterList, index);
  model_.Select(index);
  return "select " + std::to_string(index);
}

InDialog ModelRun::DialogChange(const std::u16string& edited, std::vector<sim::Printer>& planned) {
  InDialog step;
  const int pick = Below(10);
  if (pick == 9) {  // another program stores other settings for the edited printer
    step.change = [edited](Printers& v) {
      if (sim::Printer* p = FindByName(v, edited)) {
        p->paper_size = p->paper_size == DMPAPER_A5 ? DMPAPER_LETTER : DMPAPER_A5;
      }
    };
    return step;
  }
  if (pick == 8) {
    step.change = [edited](Printers& v) {
      if (sim::Printer* p = FindByName(v, edited)) p->location = u"三楼 打印室";
    };
    return step;
  }
  if (pick == 7) {
    static const sim::Op kLate[] = {sim::Op::GetPrinter, sim::Op::GetPrinterW, sim::Op::GlobalAlloc,
                                    sim::Op::SetPrinter};
    step.fail = kLate[Below(4)];
    return step;
  }
  if (pick == 0 || model_.printers.empty()) {
    const sim::Printer p = factory_.NewPrinter(model_.printers, planned);
    planned.push_back(p);
    step.change = [p](Printers& v) { v.push_back(p); };
    return step;
  }
  const std::u16string renamed = factory_.NewName(model_.printers, planned);
  sim::Printer placeholder;
  placeholder.name = renamed;
  planned.push_back(placeholder);
  auto* find = &FindByName;
  switch (pick) {
    case 1:  // the edited printer is renamed under its handle
      step.change = [edited, renamed, find](Printers& v) {
        if (sim::Printer* p = find(v, edited)) p->name = renamed;
      };
      break;
    case 2:
      step.change = [edited, find](Printers& v) {
        if (sim::Printer* p = find(v, edited)) p->name = SwapCase(p->name);
      };
      break;
    case 3:
      step.change = [edited, find](Printers& v) {
        if (sim::Printer* p = find(v, edited)) p->attributes ^= PRINTER_ATTRIBUTE_WORK_OFFLINE;
      };
      break;
    case 4: {
      const size_t a = static_cast<size_t>(PrinterIndex());
      const size_t b = static_cast<size_t>(PrinterIndex());
      step.change = [a, b](Printers& v) {
        if (a < v.size() && b < v.size()) std::swap(v[a], v[b]);
      };
      break;
    }
    default: {
      const size_t a = static_cast<size_t>(PrinterIndex());
      step.change = [a](Printers& v) {
        if (a < v.size()) v[a].attributes ^= PRINTER_ATTRIBUTE_WORK_OFFLINE;
      };
    }
  }
  return step;
}

std::string ModelRun::ClickOk() {
  std::string what;
  if (!model_.window.list.empty() && Below(10) < 8) what = Select() + ", ";
  const int selection = model_.window.selection;
  const std::u16string selected =
      selection >= 0 ? model_.window.list[static_cast<size_t>(selection)] : std::u16string();

  script_ = DialogScript{};
  const int choice = Below(20);
  script_.choice = choice < 11 ? IDOK : choice < 16 ? IDCANCEL : -1;
  if (Below(5) != 0) script_.paper = factory_.Paper();
  std::vector<sim::Printer> planned;
  const int during = Below(3) == 0 ? 1 + Below(3) : 0;
  for (int i = 0; i < during; ++i) {
    if (Below(2) == 0) {
      InDialog tick;
      tick.tick = true;
      script_.during.push_back(tick);
    } else {
      script_.during.push_back(DialogChange(selected, planned));
    }
  }

  switch (Below(20)) {
    case 0:
      Fail(sim::Op::OpenPrinter, ERROR_ACCESS_DENIED);
      what += "open refused, ";
      break;
    case 1:
      Fail(sim::Op::OpenPrinter, ERROR_INVALID_PRINTER_NAME);
      what += "open fails, ";
      break;
    case 2:
      Fail(sim::Op::GetPrinter, ERROR_INVALID_HANDLE);
      what += "GetPrinterA fails, ";
      break;
    case 3:
      Fail(sim::Op::GlobalAlloc, ERROR_NOT_ENOUGH_MEMORY);
      what += "GlobalAlloc fails, ";
      break;
    case 4:
      Fail(sim::Op::DocumentProperties, ERROR_INVALID_HANDLE);
      what += "DocumentPropertiesA fails, ";
      break;
    case 5:
    case 6: {
      static const DWORD kErrors[] = {ERROR_ACCESS_DENIED, ERROR_INVALID_PARAMETER, 1722, 1804,
                                      ERROR_NOT_ENOUGH_MEMORY};
      const DWORD error = kErrors[Below(5)];
      Fail(sim::Op::SetPrinter, error);
      what += "SetPrinterA fails with " + std::to_string(error) + ", ";
      break;
    }
    case 7:
      Fail(sim::Op::LocalAlloc, ERROR_NOT_ENOUGH_MEMORY);
      what += "LocalAlloc fails, ";
      break;
    default:
      break;
  }
  what += "OK (dialog " + std::to_string(script_.choice);
  if (script_.paper) what += ", paper " + std::to_string(*script_.paper);
  what += ", " + std::to_string(script_.during.size()) + " events inside)";

  const size_t boxes_before = model_.boxes.size();
  const bool was_visible = model_.window.visible;
  const int shows_before = model_.window.show_calls;
  seen_dialog_paper_.reset();
  spooler_.calls.clear();
  headless::Click(*form_->Button_ok);
  model_.ClickOk(script_);

  if (seen_dialog_paper_ != model_.dialog_paper) {
    step_problem_ =
        "dialog given paper " +
        (seen_dialog_paper_ ? std::to_string(*seen_dialog_paper_) : std::string("none")) +
        ", model expected " +
        (model_.dialog_paper ? std::to_string(*model_.dialog_paper) : std::string("none"));
  }
  if (step_problem_.empty() && selection >= 0) step_problem_ = CheckOkCalls(selected);

  if (model_.boxes.size() > boxes_before) {
    using Outcome = printing::ConfirmationOutcome;
    const Outcome problem = model_.boxes.back().problem;
    ++coverage_[problem == Outcome::NeedsAdministrator ? "admin refused"
                : problem == Outcome::DialogFailed     ? "dialog failed"
                : problem == Outcome::TextNotCarried   ? "text refused"
                : problem == Outcome::ChangedElsewhere ? "changed elsewhere"
                                                       : "store failed"];
  } else if (was_visible && !model_.window.visible) {
    ++coverage_["stored"];
  } else if (model_.window.show_calls > shows_before) {
    ++coverage_["cancelled"];
  } else if (selection >= 0) {
    ++coverage_["silent"];
  }
  if (model_.dialog_paper && !script_.during.empty()) ++coverage_["events in dialog"];
  return what;
}

std::string ModelRun::CheckOkCalls(const std::u16string& selected) const {
  int opens = 0, sets = 0, properties = 0;
  const HWND owner = form_->GetHandle();
  for (const auto& call : spooler_.calls) {
    switch (call.op) {
      case sim::Op::OpenPrinter:
        ++opens;
        if (call.access != (PRINTER_ACCESS_ADMINISTER | PRINTER_ACCESS_USE)) {
          return "open asks for other rights than the read and the store need";
        }
        if (call.name != spooler_.ToAnsi(selected))
          return "opened '" + Escape(sim::Latin1(call.name)) + "'";
        break;
      case sim::Op::SetPrinter:
        ++sets;
        if (call.security_descriptor != nullptr) return "set carries a security descriptor";
        if (call.level != 2) return "set at level " + std::to_string(call.level);
        break;
      case sim::Op::DocumentProperties:
        ++properties;
        if (call.owner != owner) return "driver dialog not owned by the window";
        if (properties == 1 && (call.mode != 0 || call.output != nullptr)) {
          return "driver size not asked first";
        }
        if (properties == 2) {
          const DWORD expected = call.input != nullptr ? 14u : 6u;
          if (call.mode != expected) return "dialog mode " + std::to_string(call.mode);
          if (call.output == nullptr || call.output == call.input) {
            return "dialog output not a separate block";
          }
        }
        break;
      default:
        break;
    }
  }
  if (opens > 1 || sets > 1 || properties > 2) return "more than one printer edited";
  return {};
}

std::string ModelRun::Step() {
  std::string what;
  OpenWindowIfClosed(what);
  spooler_.calls.clear();
  const int pick = Below(100);
  if (pick < 30) {
    what += ChangePrinters();
  } else if (pick < 52) {
    what += Tick();
  } else if (pick < 58) {
    what += TickWithFault();
  } else if (pick < 70) {
    what += Select();
  } else if (pick < 98) {
    what += ClickOk();
  } else {
    headless::Click(*form_->Button_cancel);
    model_.ClickCancel();
    what += "Cancel";
  }
  spooler_.calls.clear();
  return what;
}

std::string ModelRun::Check() {
  if (!step_problem_.empty()) return std::exchange(step_problem_, std::string());
  const vcl::TListBox& list = *form_->ListBoxPrinterList;
  const auto& shown = model_.window.list;
  if (form_->PrinterCount > form_->PrinterNames.size()) return "count past the table";
  if (list.Count() != static_cast<int>(form_->PrinterCount)) {
    return "list shows " + std::to_string(list.Count()) + " items, table holds " +
           std::to_string(form_->PrinterCount);
  }
  for (int i = 0; i < list.Count(); ++i) {
    if (list.Item(i) != form_->PrinterNames[static_cast<size_t>(i)]) {
      return "list item " + std::to_string(i) + " differs from the table";
    }
  }
  if (list.Count() != static_cast<int>(shown.size())) {
    return "list shows " + std::to_string(list.Count()) + " items, model " +
           std::to_string(shown.size());
  }
  for (size_t i = 0; i < shown.size(); ++i) {
    if (list.Item(static_cast<int>(i)) != shown[i]) {
      return "list item " + std::to_string(i) + " is not '" + Escape(shown[i]) + "'";
    }
  }
  if (headless::Selection(list) != model_.window.selection) {
    return "selection " + std::to_string(headless::Selection(list)) + ", model " +
           std::to_string(model_.window.selection);
  }
  if (headless::ListMutations(list) != model_.window.mutations) {
    return "list changed " + std::to_string(headless::ListMutations(list)) + " times, model " +
           std::to_string(model_.window.mutations);
  }

  const headless::FormState& state = headless::StateOf(*form_);
  if (state.visible != model_.window.visible || state.show_calls != model_.window.show_calls ||
      state.close_calls != model_.window.close_calls) {
    return "window visible=" + std::to_string(state.visible) +
           " shows=" + std::to_string(state.show_calls) +
           " closes=" + std::to_string(state.close_calls) + ", model " +
           std::to_string(model_.window.visible) + "/" + std::to_string(model_.window.show_calls) +
           "/" + std::to_string(model_.window.close_calls);
  }

  auto& boxes = headless::MessageBoxes();
  if (boxes.size() != model_.boxes.size()) {
    return std::to_string(boxes.size()) + " message boxes, model " +
           std::to_string(model_.boxes.size());
  }
  for (size_t i = 0; i < boxes.size(); ++i) {
    const ExpectedBox& expected = model_.boxes[i];
    const vcl::UnicodeString system_text =
        expected.problem == printing::ConfirmationOutcome::StoreFailed
            ? vcl::SysErrorMessage(expected.error)
            : u"";
    const auto kind = expected.problem == printing::ConfirmationOutcome::NeedsAdministrator ||
                              expected.problem == printing::ConfirmationOutcome::TextNotCarried ||
                              expected.problem == printing::ConfirmationOutcome::ChangedElsewhere
                          ? vcl::MessageKind::Warning
                          : vcl::MessageKind::Error;
    if (boxes[i].live_resources != 0) {
      return "message box " + std::to_string(i) + " shown with " +
             std::to_string(boxes[i].live_resources) + " handles or blocks held";
    }
    if (boxes[i].text != printing::ConfirmationMessage(expected.problem, language_, system_text,
                                                       model_.page == headless::CodePage::Utf8) ||
        boxes[i].kind != kind || boxes[i].owner != form_->GetHandle() ||
        boxes[i].caption != form_->GetText()) {
      return "message box " + std::to_string(i) + " is not the expected one (problem " +
             std::to_string(static_cast<int>(expected.problem)) + ", error " +
             std::to_string(expected.error) + ")";
    }
  }
  boxes.clear();
  model_.boxes.clear();

  if (spooler_.printers.size() != model_.printers.size()) {
    return std::to_string(spooler_.printers.size()) + " printers, model " +
           std::to_string(model_.printers.size());
  }
  for (size_t i = 0; i < model_.printers.size(); ++i) {
    const sim::Printer& real = spooler_.printers[i];
    const sim::Printer& want = model_.printers[i];
    if (real.name != want.name || real.attributes != want.attributes ||
        real.grants != want.grants || real.paper_size != want.paper_size ||
        real.private_bytes != want.private_bytes || real.sets != want.sets ||
        real.last_security_descriptor != want.last_security_descriptor ||
        real.comment != want.comment || real.location != want.location ||
        real.share != want.share || real.port != want.port || real.driver != want.driver ||
        real.print_processor != want.print_processor || real.datatype != want.datatype) {
      return "printer " + std::to_string(i) + " is " + Describe(real) + ", model " + Describe(want);
    }
  }

  if (spooler_.OpenHandles() != 0) return std::to_string(spooler_.OpenHandles()) + " handles open";
  if (spooler_.LiveBlocks() != 0) return std::to_string(spooler_.LiveBlocks()) + " blocks live";
  if (spooler_.Violations() != 0) {
    return std::to_string(spooler_.Violations()) + " buffer or handle violations";
  }
  return {};
}

}  // namespace model
