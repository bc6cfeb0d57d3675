#include "ui/torlent_form.h"

#include "platform/language.h"
#include "printing/settings_confirmation.h"
#include "res/resource.h"
#include "ui/captions.h"
#include "ui/list_choice.h"

namespace {

void ApplyCaptions(TorlentForm& form, const ui::Captions& captions) {
  form.SetTextBuf(captions.window);
  form.Label_title->SetTextBuf(captions.title);
  form.Button_ok->SetTextBuf(captions.ok);
  form.Button_cancel->SetTextBuf(captions.cancel);
  form.ListBoxPrinterList->SetEmptyText(captions.empty_list);
}

}  // namespace

TorlentForm::TorlentForm(vcl::TComponent* owner, printing::Spooler& spooler)
    : vcl::TForm(owner, u"TorlentForm"),
      ListBoxPrinterList(new vcl::TListBox(this)),
      Label_title(new vcl::TLabel(this)),
      Button_cancel(new vcl::TButton(this)),
      Button_ok(new vcl::TButton(this)),
      TimerEnumPrinter(new vcl::TTimer(this)),
      PrinterCount(0),
      spooler_(spooler) {
  // The stored layout, at 96 dpi.
  SetToolWindowBorder();
  SetFont(vcl::FontSpec{u"System", -13, true});
  SetClientSize(386, 266);
  SetButtonHighlightColor();
  SetIconResource(IDI_APP);

  ListBoxPrinterList->SetBounds(40, 51, 297, 159);
  ListBoxPrinterList->SetItemHeight(16);
  ListBoxPrinterList->SetColumns(1);
  ListBoxPrinterList->SetTabOrder(0);
  Label_title->SetBounds(96, 29, 187, 16);
  Label_title->SetFocusControl(ListBoxPrinterList);  // a screen reader names the list after it
  Button_cancel->SetBounds(296, 231, 75, 25);
  Button_cancel->SetTabOrder(1);
  Button_ok->SetBounds(215, 231, 75, 25);
  Button_ok->SetTabOrder(2);
  ApplyCaptions(*this, ui::kChineseCaptions);

  Button_cancel->OnClick = [this](vcl::TObject* sender) { buttonCloseExc(sender); };
  Button_ok->OnClick = [this](vcl::TObject* sender) { Button_okClick(sender); };
  TimerEnumPrinter->OnTimer = [this](vcl::TObject* sender) { TimerEnumPrinterTimer(sender); };
  OnCreate = [this](vcl::TObject* sender) { FormCreate(sender); };
  ListBoxPrinterList->OnChange = [this](vcl::TObject* /*sender*/) { SelectionChanged(); };
  ListBoxPrinterList->OnDblClickItem = [this](vcl::TObject* /*sender*/, int index) {
    ItemDblClicked(index);
  };
  ListBoxPrinterList->OnKeyPress = [this](vcl::TObject* /*sender*/, char16_t key, DWORD time_ms) {
    KeyTyped(key, time_ms);
  };

  TimerEnumPrinter->SetEnabled(true);
  // Fill the list before the window is first painted rather than a second later.
  TimerEnumPrinterTimer(nullptr);
  SelectionChanged();
}

void TorlentForm::buttonCloseExc(vcl::TObject* /*sender*/) { Close(); }

void TorlentForm::TimerEnumPrinterTimer(vcl::TObject* /*sender*/) {
  refreshing_ = true;
  const bool rebuilt = printing::RefreshPrinterList(spooler_, PrinterNames, PrinterCount,
                                                    *ListBoxPrinterList, name_verdict_);
  refreshing_ = false;
  if (!rebuilt) return;
  const bool was_empty = shown_count_ == 0;
  shown_count_ = PrinterCount;
  ListBoxPrinterList->SetItemIndex(ui::SelectionAfterRebuild(
      kept_any_ ? &kept_name_ : nullptr, was_empty, PrinterNames.data(), PrinterCount));
  SelectionChanged();
}

void TorlentForm::Button_okClick(vcl::TObject* /*sender*/) {
  // The driver's dialog and our message boxes run message loops of their own, where a posted
  // click or UI Automation could press OK again and stack a second dialog on the same printer.
  if (confirming_) return;
  confirming_ = true;
  printing::ConfirmPrinterSettings(spooler_, PrinterNames, *ListBoxPrinterList, *this);
  confirming_ = false;
}

void TorlentForm::SelectionChanged() {
  if (refreshing_) return;
  const int selected = ListBoxPrinterList->ItemIndex();
  const bool listed = selected >= 0 && static_cast<std::uint32_t>(selected) < PrinterCount;
  kept_any_ = listed;
  if (listed) kept_name_ = PrinterNames[static_cast<size_t>(selected)];
  Button_ok->SetEnabled(ui::OkEnabled(selected, ListBoxPrinterList->Count()));
}

void TorlentForm::ItemDblClicked(int index) {
  // As selecting the printer and pressing OK, which guards against a second dialog itself.
  if (ListBoxPrinterList->GetSelected(index)) Button_okClick(nullptr);
}

void TorlentForm::KeyTyped(char16_t key, DWORD time_ms) {
  const int found = type_ahead_.Type(key, time_ms, PrinterNames.data(), PrinterCount,
                                     ListBoxPrinterList->ItemIndex());
  if (found >= 0) ListBoxPrinterList->SetItemIndex(found);
}

void TorlentForm::FormCreate(vcl::TObject* /*sender*/) {
  if (!platform::SpeaksChinesePrc(vcl::GetUserDefaultLangID()))
    ApplyCaptions(*this, ui::kEnglishCaptions);
}
