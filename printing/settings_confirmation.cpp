#include "printing/settings_confirmation.h"

#include <algorithm>
#include <string>

#include "printing/confirmation_outcome.h"
#include "printing/printer_record.h"
#include "printing/record_texts.h"
#include "printing/spooler_owned.h"
#include "printing/stored_settings.h"

namespace printing {

namespace {

constexpr DWORD kPromptMode = DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER;  // 14
// Some drivers write more than the size they report.
constexpr SIZE_T kDevModeHeadroom = 4096;

struct Result {
  ConfirmationOutcome outcome = ConfirmationOutcome::Abandoned;
  DWORD error = 0;
};

// Why a read after the dialog failed: a record that never stopped growing while it was read is
// being changed elsewhere.
Result NotStored(DWORD error) {
  return {error == ERROR_INSUFFICIENT_BUFFER ? ConfirmationOutcome::ChangedElsewhere
                                             : ConfirmationOutcome::StoreFailed,
          error};
}

// One printer from open to close; every handle and block is released before it returns.
Result EditAndStore(Spooler& spooler, std::string name, HWND owner) {
  using Outcome = ConfirmationOutcome;
  GlobalBlock info(spooler);
  GlobalBlock output(spooler);
  GlobalBlock current(spooler);
  GlobalBlock wide(spooler);
  GlobalBlock again(spooler);
  PrinterHandle printer(spooler);  // declared last: closed before the blocks are freed

  // What the level-2 read (USE) and store (ADMINISTER) need, and no more: a user trusted to
  // manage the printer but not to change its permissions or owner can still store settings. The
  // record's security descriptor is never read nor stored, so READ_CONTROL and WRITE_DAC are not
  // asked for.
  PRINTER_DEFAULTSA defaults{nullptr, nullptr, PRINTER_ACCESS_ADMINISTER | PRINTER_ACCESS_USE};
  if (!spooler.OpenPrinterA(&name[0], printer.put(), &defaults) || !printer) {
    const DWORD error = spooler.GetLastError();
    printer.forget();
    return {error == ERROR_ACCESS_DENIED ? Outcome::NeedsAdministrator : Outcome::Abandoned};
  }

  DWORD error = 0;
  if (!ReadLevel2(spooler, &Spooler::GetPrinterA, printer.get(), &info, &error)) return {};
  PDEVMODEA stored = info.as<PRINTER_INFO_2A>()->pDevMode;

  // The dialog writes the driver's full DEVMODE, which may be larger than the stored one.
  const LONG driver_size =
      spooler.DocumentPropertiesA(owner, printer.get(), &name[0], nullptr, nullptr, 0);
  if (driver_size <= 0) return {Outcome::DialogFailed};
  SIZE_T output_size = static_cast<SIZE_T>(driver_size);
  if (stored != nullptr) {
    output_size = std::max<SIZE_T>(output_size, SIZE_T{stored->dmSize} + stored->dmDriverExtra);
  }
  output = AllocateGlobal(spooler, output_size + kDevModeHeadroom);
  if (!output) return {};
  auto* edited = output.as<DEVMODEA>();

  const DWORD mode = stored != nullptr ? kPromptMode : kPromptMode & ~DM_IN_BUFFER;
  const LONG choice =
      spooler.DocumentPropertiesA(owner, printer.get(), &name[0], edited, stored, mode);
  if (choice < 0) return {Outcome::DialogFailed};
  if (choice == IDCANCEL) return {Outcome::Cancelled};

  // The printer as it is now: a rename or other change made while the dialog was open stays.
  // The user accepted settings, so not storing them is said, not kept quiet.
  if (!ReadLevel2(spooler, &Spooler::GetPrinterA, printer.get(), &current, &error)) {
    return NotStored(error);
  }
  auto* record = current.as<PRINTER_INFO_2A>();
  // Someone else stored settings meanwhile; ours were made from the old ones and would undo
  // theirs unseen.
  if (!SameSettings(stored, record->pDevMode)) return {Outcome::ChangedElsewhere};
  record->pDevMode = edited;
  // Only the settings are meant to change; leave the printer's permissions as they are now.
  record->pSecurityDescriptor = nullptr;

  // The set passes every text through the code page and back: a text the code page garbles, or
  // one the ANSI read cut where UTF-8 needs more bytes than UTF-16, would be stored so.
  if (!ReadLevel2(spooler, &Spooler::GetPrinterW, printer.get(), &wide, &error)) {
    return NotStored(error);
  }
  if (!SameTexts(*record, *wide.as<PRINTER_INFO_2W>())) {
    // A text set elsewhere between the two reads differs too; that is not the code page's doing.
    if (!ReadLevel2(spooler, &Spooler::GetPrinterA, printer.get(), &again, &error)) {
      return NotStored(error);
    }
    return {SameTexts(*record, *again.as<PRINTER_INFO_2A>()) ? Outcome::TextNotCarried
                                                             : Outcome::ChangedElsewhere};
  }

  if (!spooler.SetPrinterA(printer.get(), 2, current.as<BYTE>(), 0)) {
    return {Outcome::StoreFailed, spooler.GetLastError()};
  }
  return {Outcome::Stored};
}

void Explain(const vcl::TForm& window, const Result& result, bool utf8) {
  const vcl::UnicodeString system_text =
      result.outcome == ConfirmationOutcome::StoreFailed ? vcl::SysErrorMessage(result.error) : u"";
  vcl::ShowMessageBox(
      window.GetHandle(),
      ConfirmationMessage(result.outcome, vcl::GetUserDefaultLangID(), system_text, utf8),
      window.GetText(),
      result.outcome == ConfirmationOutcome::NeedsAdministrator ||
              result.outcome == ConfirmationOutcome::TextNotCarried ||
              result.outcome == ConfirmationOutcome::ChangedElsewhere
          ? vcl::MessageKind::Warning
          : vcl::MessageKind::Error);
}

}  // namespace

void ConfirmPrinterSettings(Spooler& spooler, const PrinterNameTable& names, vcl::TListBox& list,
                            vcl::TForm& window) {
  // The count is read afresh each step: a refresh may rebuild the list while the dialog is open.
  for (int i = 0; i < list.Count(); ++i) {
    if (!list.GetSelected(i)) continue;
    if (static_cast<size_t>(i) >= names.size()) return;
    // Our own copy: refreshes during the dialog may overwrite the table slot.
    const Result result =
        EditAndStore(spooler, vcl::ToAnsi(names[static_cast<size_t>(i)]), window.GetHandle());
    // One printer per click: a refresh during the dialog keeps the chosen printer selected,
    // perhaps further down the list, where the walk would otherwise open it a second time.
    switch (result.outcome) {
      case ConfirmationOutcome::Stored:
        window.Close();
        return;
      case ConfirmationOutcome::Cancelled:
        window.Show();
        return;
      case ConfirmationOutcome::Abandoned:
        return;
      case ConfirmationOutcome::NeedsAdministrator:
      case ConfirmationOutcome::DialogFailed:
      case ConfirmationOutcome::StoreFailed:
      case ConfirmationOutcome::TextNotCarried:
      case ConfirmationOutcome::ChangedElsewhere:
        // Only now, with the printer closed and every block freed.
        Explain(window, result, spooler.GetACP() == CP_UTF8);
        return;
    }
  }
}

}  // namespace printing
