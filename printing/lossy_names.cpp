#include "printing/lossy_names.h"

#include <cstring>
#include <limits>
#include <set>
#include <string>

#include "printing/ansi_form.h"
#include "printing/spooler_owned.h"

namespace printing {

namespace {

constexpr int kEnumAttempts = 4;
constexpr DWORD kSlack = 4;
// Name and attributes only: the cheapest level that has the name.
constexpr DWORD kNamesLevel = 4;

bool ReadWideNameForms(Spooler& spooler, std::vector<AnsiForm>* forms) {
  for (int attempt = 0; attempt < kEnumAttempts; ++attempt) {
    DWORD needed = 0;
    DWORD returned = 0;
    spooler.EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, kNamesLevel, nullptr, 0, &needed, &returned);
    if (needed > std::numeric_limits<DWORD>::max() - kSlack) return false;
    const LocalBlock block = AllocateLocal(spooler, static_cast<SIZE_T>(needed) + kSlack);
    if (!block) return false;
    returned = 0;
    DWORD filled_needed = 0;
    if (!spooler.EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, kNamesLevel, block.as<BYTE>(), needed,
                               &filled_needed, &returned)) {
      if (spooler.GetLastError() == ERROR_INSUFFICIENT_BUFFER) continue;
      return false;
    }
    const DWORD capacity = needed / sizeof(PRINTER_INFO_4W);
    if (returned > capacity) returned = capacity;
    forms->clear();
    forms->reserve(returned);
    for (DWORD i = 0; i < returned; ++i) {
      PRINTER_INFO_4W record{};
      std::memcpy(&record, block.as<BYTE>() + i * sizeof(PRINTER_INFO_4W), sizeof(record));
      forms->push_back(ToAnsiForm(spooler, Utf16(record.pPrinterName)));
    }
    return true;
  }
  return false;
}

bool SameName(const char* ansi, const std::string& form) { return ansi != nullptr && form == ansi; }

}  // namespace

bool FindLossyNames(Spooler& spooler, const std::vector<const char*>& ansi_names,
                    std::vector<bool>* lossy) {
  std::vector<AnsiForm> forms;
  if (!ReadWideNameForms(spooler, &forms)) return false;
  lossy->assign(ansi_names.size(), false);

  bool agree = forms.size() == ansi_names.size();
  for (size_t i = 0; agree && i < forms.size(); ++i) agree = SameName(ansi_names[i], forms[i].text);
  if (agree) {
    for (size_t i = 0; i < forms.size(); ++i) (*lossy)[i] = !forms[i].exact;
    return true;
  }
  // Positions say nothing once the set changed: a name is ambiguous for this tick when any
  // lossy wide name has it as its ANSI form.
  std::set<std::string> ambiguous;
  for (const AnsiForm& form : forms) {
    if (!form.exact) ambiguous.insert(form.text);
  }
  for (size_t i = 0; i < ansi_names.size(); ++i) {
    (*lossy)[i] = ansi_names[i] != nullptr && ambiguous.count(ansi_names[i]) != 0;
  }
  return true;
}

}  // namespace printing
