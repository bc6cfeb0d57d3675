#include "printing/lossy_names.h"

#include <cstring>
#include <set>
#include <string>

#include "printing/ansi_form.h"
#include "printing/local_enumeration.h"

namespace printing {

namespace {

// Name and attributes only: the cheapest level that has the name.
constexpr DWORD kNamesLevel = 4;

bool ReadWideNameForms(Spooler& spooler, std::vector<AnsiForm>* forms) {
  Enumeration enumeration(spooler);
  if (EnumerateLocal<LPWSTR>(spooler, &Spooler::EnumPrintersW, kNamesLevel, sizeof(PRINTER_INFO_4W),
                             &enumeration) != Enumerated::Records) {
    return false;
  }
  forms->clear();
  forms->reserve(enumeration.count);
  for (DWORD i = 0; i < enumeration.count; ++i) {
    PRINTER_INFO_4W record{};
    std::memcpy(&record, enumeration.block.as<BYTE>() + i * sizeof(PRINTER_INFO_4W),
                sizeof(record));
    forms->push_back(ToAnsiForm(spooler, Utf16(record.pPrinterName)));
  }
  return true;
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
