// The printer selection window: a title, the list of eligible printers, OK and Cancel.
#pragma once

#include <cstdint>
#include <string>

#include "printing/printer_list_refresh.h"
#include "printing/spooler.h"
#include "ui/type_ahead.h"
#include "ui/vcl.h"

class TorlentForm : public vcl::TForm {
 public:
  TorlentForm(vcl::TComponent* owner, printing::Spooler& spooler);

  vcl::TListBox* ListBoxPrinterList;
  vcl::TLabel* Label_title;
  vcl::TButton* Button_cancel;
  vcl::TButton* Button_ok;
  vcl::TTimer* TimerEnumPrinter;
  std::uint32_t PrinterCount;
  printing::PrinterNameTable PrinterNames;

  void buttonCloseExc(vcl::TObject* sender);
  void TimerEnumPrinterTimer(vcl::TObject* sender);
  void Button_okClick(vcl::TObject* sender);
  void FormCreate(vcl::TObject* sender);

 private:
  // The selection changed: OK follows it, and a rebuilt list selects the same printer again.
  void SelectionChanged();
  void ItemDblClicked(int index);
  void KeyTyped(char16_t key, DWORD time_ms);

  printing::Spooler& spooler_;
  printing::NameVerdict name_verdict_;  // spares the wide enumeration while the names stay
  bool confirming_ = false;
  bool refreshing_ = false;  // the rebuild's own clearing is no choice of the user's
  bool kept_any_ = false;
  std::u16string kept_name_;       // the selected printer, while kept_any_
  std::uint32_t shown_count_ = 0;  // printers the list showed after the last rebuild
  ui::TypeAhead type_ahead_;
};
