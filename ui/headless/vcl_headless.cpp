// The headless back end. The ANSI code page is Latin-1 unless a test sets another (see
// ansi_code_page.cpp): each byte is the code point of the same value, so every byte string
// survives the round trip and tests can use any byte.
#include <algorithm>

#include "ui/headless/headless.h"

namespace vcl {

struct TControl::Impl {
  UnicodeString text;
  headless::Bounds bounds{0, 0, 0, 0};
  int tab_order = -1;
  const TControl* focus_control = nullptr;  // labels
  // List boxes.
  std::vector<UnicodeString> items;
  int selection = -1;
  int mutations = 0;
  int item_height = 0;
  int columns = 0;
  UnicodeString empty_text;
  // Buttons.
  bool enabled = true;
  // Forms.
  headless::FormState form;
  bool is_main = false;
};

struct TTimer::Impl {
  bool enabled = false;
};

}  // namespace vcl

namespace headless {
namespace {

LANGID user_lang = 0x0409;
std::vector<MessageBoxRecord> message_boxes;
std::function<void(vcl::TApplication&)> message_loop;
std::vector<std::pair<const void*, std::function<int()>>> live_probes;

}  // namespace

Bounds BoundsOf(const vcl::TControl& control) { return control.impl().bounds; }
int TabOrderOf(const vcl::TControl& control) { return control.impl().tab_order; }
const vcl::TControl* FocusControlOf(const vcl::TLabel& label) { return label.impl().focus_control; }
int ListMutations(const vcl::TListBox& list) { return list.impl().mutations; }
void Select(vcl::TListBox& list, int index) { list.SetItemIndex(index); }
std::u16string EmptyTextOf(const vcl::TListBox& list) { return list.impl().empty_text; }
int Selection(const vcl::TListBox& list) { return list.impl().selection; }
int ItemHeight(const vcl::TListBox& list) { return list.impl().item_height; }
int Columns(const vcl::TListBox& list) { return list.impl().columns; }

void Click(vcl::TButton& button) {
  vcl::TNotifyEvent handler = button.OnClick;
  if (handler) handler(&button);
}

bool Tick(vcl::TTimer& timer) {
  if (!timer.Enabled() || !timer.OnTimer) return false;
  vcl::TNotifyEvent handler = timer.OnTimer;
  handler(&timer);
  return true;
}

const FormState& StateOf(const vcl::TForm& form) { return form.impl().form; }
std::vector<MessageBoxRecord>& MessageBoxes() { return message_boxes; }
void SetUserDefaultLangID(LANGID id) { user_lang = id; }
void SetMessageLoop(std::function<void(vcl::TApplication&)> loop) {
  message_loop = std::move(loop);
}

void AddLiveProbe(const void* owner, std::function<int()> probe) {
  live_probes.emplace_back(owner, std::move(probe));
}

void RemoveLiveProbe(const void* owner) {
  live_probes.erase(std::remove_if(live_probes.begin(), live_probes.end(),
                                   [owner](const auto& probe) { return probe.first == owner; }),
                    live_probes.end());
}

namespace {

int LiveResources() {
  int live = 0;
  for (const auto& probe : live_probes) live += probe.second();
  return live;
}

}  // namespace

void Reset() {
  user_lang = 0x0409;
  SetAnsiCodePage(CodePage::Latin1);
  message_boxes.clear();
  message_loop = nullptr;
}

}  // namespace headless

namespace vcl {

UnicodeString FromAnsi(const char* ansi) {
  return headless::DecodeAnsi(headless::AnsiCodePage(), ansi);
}

std::string ToAnsi(const UnicodeString& text) {
  return headless::EncodeAnsi(headless::AnsiCodePage(), text, true, nullptr);
}

LANGID GetUserDefaultLangID() { return headless::user_lang; }

UnicodeString SysErrorMessage(DWORD error) {
  const std::string code = std::to_string(error);
  return u"System error " + UnicodeString(code.begin(), code.end());
}

void ShowMessageBox(HWND owner, const UnicodeString& text, const UnicodeString& caption,
                    MessageKind kind) {
  headless::message_boxes.push_back({owner, text, caption, kind, headless::LiveResources()});
}

// The stand-in keeps no tree of its own: nothing here depends on a control's kind or parent.
TControl::TControl(TComponent* owner, TForm* /*parent*/, Kind /*kind*/)
    : TComponent(owner), impl_(std::make_unique<Impl>()) {}

TControl::~TControl() = default;

void TControl::SetBounds(int left, int top, int width, int height) {
  impl_->bounds = {left, top, width, height};
}
void TControl::SetTextBuf(const char16_t* text) { impl_->text = text; }
UnicodeString TControl::GetText() const { return impl_->text; }
void TControl::SetTabOrder(int order) { impl_->tab_order = order; }

TLabel::TLabel(TForm* owner) : TControl(owner, owner, Kind::Label) {}
void TLabel::SetFocusControl(TControl* control) { impl().focus_control = control; }
TButton::TButton(TForm* owner) : TControl(owner, owner, Kind::Button) {}
void TButton::SetEnabled(bool enabled) { impl().enabled = enabled; }
bool TButton::Enabled() const { return impl().enabled; }
TListBox::TListBox(TForm* owner) : TControl(owner, owner, Kind::ListBox) {}

void TListBox::SetItemHeight(int height) { impl().item_height = height; }
void TListBox::SetColumns(int columns) { impl().columns = columns; }

UnicodeString TListBox::ItemsText() const {
  UnicodeString text;
  for (const auto& item : impl().items) text += item + u"\r\n";
  return text;
}

UnicodeString TListBox::Item(int index) const {
  if (index < 0 || index >= Count()) return {};
  return impl().items[static_cast<size_t>(index)];
}

void TListBox::Clear() {
  impl().items.clear();
  ++impl().mutations;
  SetItemIndex(-1);
}

void TListBox::ItemsAdd(const UnicodeString& item) {
  impl().items.push_back(item);
  ++impl().mutations;
}

int TListBox::Count() const { return static_cast<int>(impl().items.size()); }

bool TListBox::GetSelected(int index) const { return index >= 0 && index == impl().selection; }

int TListBox::ItemIndex() const { return impl().selection; }

// Like the native list box, told of every change of selection, the program's own included.
void TListBox::SetItemIndex(int index) {
  const int selection = index >= 0 && index < Count() ? index : -1;
  if (selection == impl().selection) return;
  impl().selection = selection;
  TNotifyEvent handler = OnChange;
  if (handler) handler(this);
}

void TListBox::SetEmptyText(const UnicodeString& text) { impl().empty_text = text; }

TTimer::TTimer(TForm* owner) : TComponent(owner), impl_(std::make_unique<Impl>()) {}
TTimer::~TTimer() = default;
void TTimer::SetEnabled(bool enabled) { impl_->enabled = enabled; }
bool TTimer::Enabled() const { return impl_->enabled; }

TForm::TForm(TComponent* owner, const char16_t* window_class)
    : TControl(owner, nullptr, Kind::Form) {
  impl().form.window_class = window_class;
}

TForm::~TForm() { DestroyComponents(); }

void TForm::SetToolWindowBorder() { impl().form.tool_window = true; }
void TForm::SetClientSize(int width, int height) {
  impl().form.client_width = width;
  impl().form.client_height = height;
}
void TForm::SetButtonHighlightColor() { impl().form.button_highlight = true; }
void TForm::SetFont(const FontSpec& font) { impl().form.font = font; }
void TForm::SetIconResource(int id) { impl().form.icon_id = id; }

void TForm::Show() {
  impl().form.visible = true;
  ++impl().form.show_calls;
}

void TForm::Close() {
  impl().form.visible = false;
  ++impl().form.close_calls;
  if (impl().is_main) impl().form.quit_posted = true;
}

HWND TForm::GetHandle() const {
  // A stable, unique stand-in for the native handle.
  return reinterpret_cast<HWND>(const_cast<TForm*>(this));
}

bool TForm::Visible() const { return impl().form.visible; }

void TForm::MarkAsMainWindow() { impl().is_main = true; }

void TApplication::Initialize() {}

void TApplication::Run() {
  if (main_form_ == nullptr) return;
  main_form_->Show();
  if (headless::message_loop) headless::message_loop(*this);
}

}  // namespace vcl
