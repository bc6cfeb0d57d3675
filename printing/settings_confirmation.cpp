#include "printing/settings_confirmation.h"

#include <algorithm>
#include <string>

#include "printing/confirmation_messages.h"

namespace printing {

namespace {

constexpr DWORD kPromptMode = DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER;  // 14
// Some drivers write more than the size they report.
constexpr SIZE_T kDevModeHeadroom = 4096;

enum class Outcome { Stored, Cancelled, Silent, NeedsAdministrator, DialogFailed, StoreFailed };

struct Result {
  Outcome outcome = Outcome::Silent;
  DWORD error = 0;
};

// One printer from open to close; every handle and block is released before it returns.
Result EditAndStore(Spooler& spooler, std::string name, HWND owner) {
  GlobalBlock info(spooler);
  GlobalBlock output(spooler);
  PrinterHandle printer(spooler);  // declared last: closed before the blocks are freed

  PRINTER_DEFAULTSA defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
  if (!spooler.OpenPrinterA(&name[0], printer.out(), &defaults) || printer.get() == nullptr) {
    const DWORD error = spooler.GetLastError();
    printer.Forget();
    return {error == ERROR_ACCESS_DENIED ? Outcome::NeedsAdministrator : Outcome::Silent};
  }

  DWORD needed = 0;
  if (spooler.GetPrinterA(printer.get(), 2, nullptr, 0, &needed)) return {Outcome::Silent};
  if (needed < sizeof(PRINTER_INFO_2A) || !info.Allocate(needed)) return {Outcome::Silent};
  if (!spooler.GetPrinterA(printer.get(), 2, info.get(), needed, &needed)) {
    return {Outcome::Silent};
  }
  auto* record = reinterpret_cast<PRINTER_INFO_2A*>(info.get());
  PDEVMODEA stored = record->pDevMode;

  // The dialog writes the driver's full DEVMODE, which may be larger than the stored one.
  const LONG driver_size =
      spooler.DocumentPropertiesA(owner, printer.get(), &name[0], nullptr, nullptr, 0);
  if (driver_size <= 0) return {Outcome::DialogFailed};
  SIZE_T output_size = static_cast<SIZE_T>(driver_size);
  if (stored != nullptr) {
    output_size = std::max<SIZE_T>(output_size, SIZE_T{stored->dmSize} + stored->dmDriverExtra);
  }
  if (!output.Allocate(output_size + kDevModeHeadroom)) return {Outcome::Silent};
  auto* edited = reinterpret_cast<PDEVMODEA>(output.get());

  const DWORD mode = stored != nullptr ? kPromptMode : kPromptMode & ~DM_IN_BUFFER;
  const LONG choice =
      spooler.DocumentPropertiesA(owner, printer.get(), &name[0], edited, stored, mode);
  if (choice < 0) return {Outcome::DialogFailed};
  if (choice == IDCANCEL) return {Outcome::Cancelled};

  record->pDevMode = edited;
  // Only the settings are meant to change; leave the printer's permissions as they are now.
  record->pSecurityDescriptor = nullptr;
  if (!spooler.SetPrinterA(printer.get(), 2, info.get(), 0)) {
    return {Outcome::StoreFailed, spooler.GetLastError()};
  }
  return {Outcome::Stored};
}

void Explain(const vcl::TForm& window, ConfirmationProblem problem, DWORD error) {
  const vcl::UnicodeString system_text =
      problem == ConfirmationProblem::StoreFailed ? vcl::SysErrorMessage(error) : u"";
  vcl::ShowMessageBox(window.GetHandle(),
                      ConfirmationMessage(problem, vcl::GetUserDefaultLangID(), system_text),
                      window.GetText(),
                      problem == ConfirmationProblem::NeedsAdministrator ? vcl::MessageKind::Warning
                                                                         : vcl::MessageKind::Error);
}

}  // namespace

void ConfirmPrinterSettings(Spooler& spooler, const PrinterNameTable& names, vcl::TListBox& list,
                            vcl::TForm& window) {
  // The count is read afresh each step: a refresh may rebuild the list while the dialog is open.
  for (int i = 0; i < list.Count(); ++i) {
    if (!list.GetSelected(i)) continue;
    if (static_cast<std::uint32_t>(i) >= MaxPrinterNames) return;
    // Our own copy: refreshes during the dialog may overwrite the table slot.
    const Result result =
        EditAndStore(spooler, vcl::ToAnsi(names[static_cast<size_t>(i)]), window.GetHandle());
    switch (result.outcome) {
      case Outcome::Stored:
        window.Close();
        break;
      case Outcome::Cancelled:
        window.Show();
        break;
      case Outcome::Silent:
        return;
      case Outcome::NeedsAdministrator:
        Explain(window, ConfirmationProblem::NeedsAdministrator, 0);
        return;
      case Outcome::DialogFailed:
        Explain(window, ConfirmationProblem::DialogFailed, 0);
        return;
      case Outcome::StoreFailed:
        Explain(window, ConfirmationProblem::StoreFailed, result.error);
        return;
    }
  }
}

}  // namespace printing
