// The printer selection window: a title, the list of eligible printers, OK and Cancel.
#pragma once

#include <cstdint>

#include "printing/printer_list_refresh.h"
#include "printing/spooler.h"
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
  printing::Spooler& spooler_;
  printing::NameVerdict name_verdict_;  // spares the wide enumeration while the names stay
  bool confirming_ = false;
};
