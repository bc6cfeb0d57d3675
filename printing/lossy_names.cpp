#include "printing/lossy_names.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <utility>

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

// Which ANSI names can stand for one wide name only, once positions say nothing.
class UnpairedNames {
 public:
  explicit UnpairedNames(const std::vector<AnsiForm>& forms) {
    for (const AnsiForm& form : forms) {
      (form.exact ? exact_ : lossy_).insert(form.text);
      all_.insert(form.text);
    }
  }

  // An exact form of some wide name that no lossy one shares, and no start of a longer form: a
  // name cut short where its wide form ran out of room reads as such a start.
  bool Trusted(const char* ansi) const {
    if (ansi == nullptr || exact_.count(ansi) == 0 || lossy_.count(ansi) != 0) return false;
    const auto next = all_.upper_bound(ansi);
    return next == all_.end() || next->compare(0, std::strlen(ansi), ansi) != 0;
  }

 private:
  std::set<std::string> exact_;
  std::set<std::string> lossy_;
  std::set<std::string> all_;
};

}  // namespace

bool FindLossyNames(Spooler& spooler, const std::vector<const char*>& ansi_names,
                    std::vector<bool>* lossy) {
  std::vector<AnsiForm> forms;
  if (!ReadWideNameForms(spooler, &forms)) return false;
  lossy->assign(ansi_names.size(), false);

  // Paired by position, a name is the wide name's exact form or it is out. Where the pairs
  // disagree (the set changed in between, or the ANSI call cut a name) positions say nothing.
  const bool paired = forms.size() == ansi_names.size();
  std::vector<size_t> unpaired;
  for (size_t i = 0; i < ansi_names.size(); ++i) {
    if (paired && SameName(ansi_names[i], forms[i].text)) {
      (*lossy)[i] = !forms[i].exact;
    } else {
      unpaired.push_back(i);
    }
  }
  if (unpaired.empty()) return true;
  const UnpairedNames names(forms);
  for (const size_t i : unpaired) (*lossy)[i] = !names.Trusted(ansi_names[i]);
  return true;
}

bool NameVerdict::Covers(const std::vector<PRINTER_INFO_2A>& records) const {
  if (!kept_ || records.size() != lossy_.size()) return false;
  size_t at = 0;
  for (const PRINTER_INFO_2A& record : records) {
    const char* name = record.pPrinterName;
    if (name == nullptr) return false;
    const size_t length = std::strlen(name) + 1;  // with the NUL: "ab" never matches "a", "b"
    if (names_.compare(at, length, name, length) != 0) return false;
    at += length;
  }
  return at == names_.size();
}

bool NameVerdict::Check(Spooler& spooler, const std::vector<PRINTER_INFO_2A>& records) {
  if (Covers(records)) return true;
  std::vector<const char*> ansi_names;
  ansi_names.reserve(records.size());
  for (const PRINTER_INFO_2A& record : records) ansi_names.push_back(record.pPrinterName);
  std::vector<bool> lossy;
  if (!FindLossyNames(spooler, ansi_names, &lossy)) return false;
  kept_ = std::none_of(ansi_names.begin(), ansi_names.end(),
                       [](const char* name) { return name == nullptr; });
  names_.clear();
  if (kept_) {
    for (const char* name : ansi_names) names_.append(name, std::strlen(name) + 1);
  }
  lossy_ = std::move(lossy);
  return true;
}

}  // namespace printing
