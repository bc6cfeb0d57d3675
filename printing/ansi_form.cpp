#include "printing/ansi_form.h"

#include "ui/vcl.h"

namespace printing {

namespace {

// The conversion with `flags`; false when it failed.
bool Convert(Spooler& spooler, const WCHAR* wide, DWORD flags, std::string* ansi,
             BOOL* used_default) {
  const int size =
      spooler.WideCharToMultiByte(CP_ACP, flags, wide, -1, nullptr, 0, nullptr, used_default);
  if (size <= 0) return false;
  ansi->assign(static_cast<size_t>(size), '\0');
  if (spooler.WideCharToMultiByte(CP_ACP, flags, wide, -1, &(*ansi)[0], size, nullptr,
                                  used_default) != size) {
    return false;
  }
  ansi->resize(static_cast<size_t>(size - 1));
  return true;
}

}  // namespace

AnsiForm ToAnsiForm(Spooler& spooler, const char16_t* wide) {
  AnsiForm form;
  const char16_t* text = wide != nullptr ? wide : u"";
  // The spooler's own conversion: default flags, best-fit letters allowed.
  if (!Convert(spooler, Wide(text), 0, &form.text, nullptr)) return form;
  // A best-fit letter or a default character means another text has the same ANSI form. UTF-8
  // refuses that check's flag and has no best fit; what it cannot carry is an unpaired surrogate,
  // which its own strict flag refuses. A refused check counts as a loss.
  BOOL used_default = FALSE;
  std::string strict;
  const bool utf8 = spooler.GetACP() == CP_UTF8;
  if (!Convert(spooler, Wide(text), utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS, &strict,
               utf8 ? nullptr : &used_default) ||
      used_default || strict != form.text) {
    return form;
  }
  form.exact = vcl::FromAnsi(form.text.c_str()) == text;
  return form;
}

}  // namespace printing
