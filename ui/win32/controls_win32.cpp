#include <algorithm>

#include "ui/win32/impl_win32.h"

namespace vcl {

namespace {

// Child ids start above IDOK and IDCANCEL so that no keystroke can pose as a button.
constexpr int kFirstChildId = 100;

}  // namespace

int TControl::Impl::Scale(int value) const { return MulDiv(value, Form()->impl().dpi, 96); }

TForm* TControl::Impl::Form() const {
  return kind == Kind::Form ? static_cast<TForm*>(self) : parent;
}

TControl::TControl(TComponent* owner, TForm* parent, Kind kind)
    : TComponent(owner), impl_(std::make_unique<Impl>()) {
  impl_->kind = kind;
  impl_->self = this;
  impl_->parent = parent;
  if (parent != nullptr) parent->impl().children.push_back(this);
}

TControl::~TControl() {
  if (impl_->parent != nullptr) {
    auto& siblings = impl_->parent->impl().children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    for (TControl* sibling : siblings) {
      if (sibling->impl().focus_control == this) sibling->impl().focus_control = nullptr;
    }
  }
  if (impl_->hwnd != nullptr && IsWindow(impl_->hwnd)) DestroyWindow(impl_->hwnd);
}

HWND CreateChild(TControl::Impl& impl, LPCWSTR window_class, DWORD style, DWORD ex_style) {
  TControl::Impl& form = impl.parent->impl();
  if (form.hwnd == nullptr) return nullptr;  // the form itself could not be made
  const auto id = static_cast<INT_PTR>(kFirstChildId + form.children.size());
  impl.hwnd =
      CreateWindowExW(ex_style, window_class, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                      form.hwnd, reinterpret_cast<HMENU>(id), GetModuleHandleW(nullptr), nullptr);
  if (impl.hwnd == nullptr) return nullptr;
  SetWindowLongPtrW(impl.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(impl.self));
  return impl.hwnd;
}

namespace {

// The height of a line of text in `font`: ascent and descent. The list box clips each item to
// its row, and the dialog font's line is taller than the design's 16 px rows (Segoe UI's is a
// third above its character height), so a row shorter than this cuts off descenders.
int LineHeight(HWND window, HFONT font) {
  ClientDc dc(window);
  FontSelection selection(dc.get(), font);
  TEXTMETRICW metrics{};
  return GetTextMetricsW(dc.get(), &metrics) ? metrics.tmHeight : 0;
}

}  // namespace

void ApplyLayout(TControl& control) {
  TControl::Impl& impl = control.impl();
  if (impl.kind == TControl::Kind::Form) return;  // forms size themselves
  if (!impl.Form()->impl().laid_out) return;
  int width = impl.Scale(impl.width);
  int height = impl.Scale(impl.height);
  if (impl.kind == TControl::Kind::Label) {
    // Labels size themselves to their caption.
    const UnicodeString text = control.GetText();
    ClientDc dc(impl.hwnd);
    FontSelection selection(dc.get(), impl.drawn_font);
    SIZE extent{};
    GetTextExtentPoint32W(dc.get(), AsWide(text), static_cast<int>(text.size()), &extent);
    width = extent.cx;
    height = std::max(height, static_cast<int>(extent.cy));
  }
  SetWindowPos(impl.hwnd, nullptr, impl.Scale(impl.left), impl.Scale(impl.top), width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  if (impl.kind == TControl::Kind::ListBox) {
    // A list box divides by both, so neither may be zero before the layout is set.
    if (impl.item_height > 0) {
      SendMessageW(impl.hwnd, LB_SETITEMHEIGHT, 0,
                   std::max(impl.Scale(impl.item_height), LineHeight(impl.hwnd, impl.drawn_font)));
    }
    RECT client{};
    GetClientRect(impl.hwnd, &client);
    if (client.right > 0) {
      SendMessageW(impl.hwnd, LB_SETCOLUMNWIDTH, static_cast<WPARAM>(client.right), 0);
    }
  }
}

void TControl::SetBounds(int left, int top, int width, int height) {
  impl_->left = left;
  impl_->top = top;
  impl_->width = width;
  impl_->height = height;
  ApplyLayout(*this);
}

void TControl::SetTextBuf(const char16_t* text) {
  SetWindowTextW(impl_->hwnd, AsWide(text));
  if (RefreshFont(*this) || impl_->kind == Kind::Label) ApplyLayout(*this);
}

UnicodeString TControl::GetText() const {
  const int length = GetWindowTextLengthW(impl_->hwnd);
  UnicodeString text(static_cast<size_t>(length) + 1, u'\0');
  const int copied = GetWindowTextW(impl_->hwnd, reinterpret_cast<LPWSTR>(&text[0]), length + 1);
  text.resize(static_cast<size_t>(std::max(copied, 0)));
  return text;
}

void TControl::SetTabOrder(int order) {
  // Tab moves through sibling windows in z-order, so the tab order is kept as z-order. Labels
  // take no focus, so `order` counts only the controls that do.
  auto& children = impl_->parent->impl().children;
  children.erase(std::remove(children.begin(), children.end(), this), children.end());
  const int wanted = std::max(order, 0);
  auto position = children.begin();
  for (int stops = 0; position != children.end(); ++position) {
    if ((*position)->impl().kind != Kind::Label && stops++ == wanted) break;
  }
  children.insert(position, this);
  Restack(impl_->parent->impl());
}

void Restack(const TControl::Impl& form) {
  if (!form.laid_out) return;
  HWND previous = HWND_TOP;
  auto place = [&previous](const TControl* control) {
    SetWindowPos(control->impl().hwnd, previous, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = control->impl().hwnd;
  };
  for (const TControl* child : form.children) {
    if (child->impl().focus_control != nullptr) continue;  // placed with the control it names
    for (const TControl* label : form.children) {
      if (label->impl().focus_control == child) place(label);
    }
    place(child);
  }
}

TLabel::TLabel(TForm* owner) : TControl(owner, owner, Kind::Label) {
  CreateChild(impl(), L"STATIC", SS_LEFT | SS_NOPREFIX, 0);
}

void TLabel::SetFocusControl(TControl* control) {
  impl().focus_control = control;
  Restack(impl().parent->impl());
}

TButton::TButton(TForm* owner) : TControl(owner, owner, Kind::Button) {
  CreateChild(impl(), L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0);
}

void TButton::SetEnabled(bool enabled) {
  HWND button = impl().hwnd;
  if ((IsWindowEnabled(button) != FALSE) == enabled) return;
  // A disabled window keeps no keyboard focus that the user could see or use.
  if (!enabled && GetFocus() == button) {
    HWND next = GetNextDlgTabItem(GetParent(button), button, FALSE);
    if (next != nullptr && next != button) SetFocus(next);
  }
  EnableWindow(button, enabled ? TRUE : FALSE);
}

bool TButton::Enabled() const { return IsWindowEnabled(impl().hwnd) != FALSE; }

TListBox::TListBox(TForm* owner) : TControl(owner, owner, Kind::ListBox) {
  CreateChild(impl(), L"LISTBOX",
              LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_MULTICOLUMN | WS_HSCROLL | WS_TABSTOP,
              WS_EX_CLIENTEDGE);
  if (impl().hwnd == nullptr) return;
  AttachItemTips(impl());
  AttachListEvents(impl());
}

void TListBox::SetItemHeight(int height) {
  impl().item_height = height;
  ApplyLayout(*this);
}

void TListBox::SetColumns(int /*columns*/) {
  // One column fills the client width; ApplyLayout keeps the column width in step with it.
  ApplyLayout(*this);
}

UnicodeString TListBox::ItemsText() const {
  UnicodeString text;
  const int count = Count();
  for (int i = 0; i < count; ++i) text += Item(i) + u"\r\n";
  return text;
}

UnicodeString ListItemText(HWND list, int index) {
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR) return {};
  UnicodeString item(static_cast<size_t>(length) + 1, u'\0');
  const LRESULT copied = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index),
                                      reinterpret_cast<LPARAM>(&item[0]));
  item.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
  return item;
}

int ListItemAt(HWND list, POINT point) {
  // The nearest item comes back for a point beside the items too.
  const LRESULT hit = SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
  if (hit == LB_ERR || HIWORD(hit) != 0) return -1;
  const int index = LOWORD(hit);
  RECT item{};
  if (SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&item)) == LB_ERR ||
      !PtInRect(&item, point)) {
    return -1;
  }
  return index;
}

UnicodeString TListBox::Item(int index) const { return ListItemText(impl().hwnd, index); }

void TListBox::Clear() {
  SendMessageW(impl().hwnd, LB_RESETCONTENT, 0, 0);
  if (RefreshFont(*this)) ApplyLayout(*this);
}

void TListBox::ItemsAdd(const UnicodeString& item) {
  const LRESULT index =
      SendMessageW(impl().hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AsWide(item)));
  // The first item takes over from the empty text, whose font it need not share.
  const bool changed = index == 0 ? RefreshFont(*this) : RefreshFontForItem(impl(), item);
  if (changed) ApplyLayout(*this);
}

int TListBox::Count() const {
  return static_cast<int>(SendMessageW(impl().hwnd, LB_GETCOUNT, 0, 0));
}

bool TListBox::GetSelected(int index) const {
  return SendMessageW(impl().hwnd, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

int TListBox::ItemIndex() const {
  const LRESULT selected = SendMessageW(impl().hwnd, LB_GETCURSEL, 0, 0);
  return selected == LB_ERR ? -1 : static_cast<int>(selected);
}

void TListBox::SetItemIndex(int index) {
  SendMessageW(impl().hwnd, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TListBox::SetEmptyText(const UnicodeString& text) {
  impl().empty_text = text;
  if (Count() != 0) return;
  if (RefreshFont(*this)) ApplyLayout(*this);
  InvalidateRect(impl().hwnd, nullptr, TRUE);
}

}  // namespace vcl
