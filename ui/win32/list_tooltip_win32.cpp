// A list item whose text does not fit its column shows the whole text in a tooltip laid over the
// item, the way Explorer shows cut-off names: printer names often differ only at their ends, past
// the column's edge.
#include <algorithm>
#include <memory>
#include <type_traits>

#include "ui/win32/impl_win32.h"

#include <commctrl.h>

namespace vcl {

namespace {

// The list box draws an item's text this far in from the item's left edge.
constexpr int kTextIndent = 1;
// The tooltip draws its text this far inside its margin (TTM_GETMARGIN).
constexpr int kTipTextInset = 2;

struct WindowDestroyer {
  void operator()(HWND window) const {
    if (IsWindow(window)) DestroyWindow(window);  // the owner's end may have taken it already
  }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

POINT PointOf(LPARAM lparam) {
  return POINT{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
}

}  // namespace

class ListItemTips {
 public:
  ListItemTips(HWND list, WNDPROC list_proc) : list_(list), list_proc_(list_proc) {}
  WNDPROC list_proc() const { return list_proc_; }

  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case WM_MOUSEMOVE:
        if (ItemAt(PointOf(lparam)) != shown_) {
          Hide();
          TrackPointer();  // the tip comes once the pointer rests
        }
        break;
      case WM_MOUSEHOVER:
        Show(ItemAt(PointOf(lparam)));
        break;
      case WM_MOUSELEAVE:
      case WM_CANCELMODE:  // from the form, as a dialog disables it; Wine then sends no leave
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
        Hide();
        break;
      case WM_SETFONT:
        // The form deletes the old font once its windows have the new one.
        if (tip_) SendMessageW(tip_.get(), WM_SETFONT, wparam, FALSE);
        tip_font_ = reinterpret_cast<HFONT>(wparam);
        break;
      case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lparam);
        if (tip_ && header->hwndFrom == tip_.get() && header->code == TTN_SHOW) {
          // Over the item, whatever place the tooltip chose for itself. Windows keeps a
          // TTF_ABSOLUTE tip where TTM_TRACKPOSITION put it; Wine's frames that point (a pixel
          // off) and moves a tip that reaches past the screen's foot above the list. It tells us
          // after placing the tip and before showing it, and ignores the result.
          SetWindowPos(tip_.get(), nullptr, place_.x, place_.y, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
          return TRUE;
        }
        break;
      }
      default:
        break;
    }
    const LRESULT result = CallWindowProcW(list_proc_, list_, message, wparam, lparam);
    if (MovesItems(message)) Refresh();
    return result;
  }

 private:
  // Messages after which the shown item may hold other text or lie elsewhere.
  static bool MovesItems(UINT message) {
    switch (message) {
      case LB_RESETCONTENT:
      case LB_ADDSTRING:
      case LB_INSERTSTRING:
      case LB_DELETESTRING:
      case LB_SETITEMHEIGHT:
      case LB_SETCOLUMNWIDTH:
      case LB_SETTOPINDEX:
      case LB_SETCURSEL:
      case LB_SETCARETINDEX:
      case WM_HSCROLL:
      case WM_VSCROLL:
      case WM_MOUSEWHEEL:
      case WM_MOUSEHWHEEL:
      case WM_KEYDOWN:
      case WM_SETFONT:
      case WM_WINDOWPOSCHANGED:
        return true;
      default:
        return false;
    }
  }

  // Hides a tip the change made stale; the one for the item now under the resting pointer
  // follows after the hover time.
  void Refresh() {
    if (shown_ < 0) return;
    Hide();
    POINT cursor{};
    if (GetCursorPos(&cursor) && WindowFromPoint(cursor) == list_) TrackPointer();
  }

  void TrackPointer() const {
    TRACKMOUSEEVENT track{sizeof(track), TME_HOVER | TME_LEAVE, list_, HOVER_DEFAULT};
    TrackMouseEvent(&track);
  }

  int ItemAt(POINT point) const { return ListItemAt(list_, point); }

  // Shows item `index`'s whole text over it when the column cuts it off; hides the tip otherwise.
  void Show(int index) {
    UnicodeString text = index >= 0 ? ListItemText(list_, index) : UnicodeString();
    const auto font = reinterpret_cast<HFONT>(SendMessageW(list_, WM_GETFONT, 0, 0));
    RECT text_rect{};
    // A hover asked for before a dialog disabled the window still comes (Wine looks only at the
    // list, not at what lies over it or its window's state); the tip must not cover the dialog.
    if (text.empty() || !IsWindowEnabled(GetAncestor(list_, GA_ROOT)) ||
        !CutOff(index, text, font, &text_rect) || !CreateTip()) {
      Hide();
      return;
    }
    if (font != tip_font_) {
      SendMessageW(tip_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
      tip_font_ = font;
    }
    MapWindowPoints(list_, nullptr, reinterpret_cast<POINT*>(&text_rect), 2);
    place_ = TipPlace(text_rect);

    TTTOOLINFOW tool = Tool();
    tool.lpszText = reinterpret_cast<LPWSTR>(&text[0]);
    SendMessageW(tip_.get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    // Shows an active tip anew, with the new text.
    SendMessageW(tip_.get(), TTM_TRACKPOSITION, 0, MAKELPARAM(place_.x, place_.y));
    if (shown_ < 0) {
      SendMessageW(tip_.get(), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    }
    shown_ = index;
  }

  // True when the item's column cuts `text` off; `text_rect` (client coordinates) receives where
  // the whole text would lie.
  bool CutOff(int index, const UnicodeString& text, HFONT font, RECT* text_rect) const {
    RECT item{};
    RECT client{};
    if (SendMessageW(list_, LB_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item)) == LB_ERR ||
        !GetClientRect(list_, &client)) {
      return false;
    }
    SIZE extent{};
    ClientDc dc(list_);
    FontSelection selection(dc.get(), font);
    if (!GetTextExtentPoint32W(dc.get(), AsWide(text), static_cast<int>(text.size()), &extent)) {
      return false;
    }
    *text_rect = RECT{item.left + kTextIndent, item.top, item.left + kTextIndent + extent.cx,
                      item.top + extent.cy};
    return text_rect->right > std::min(item.right, client.right);
  }

  void Hide() {
    if (shown_ < 0) return;
    shown_ = -1;
    TTTOOLINFOW tool = Tool();
    SendMessageW(tip_.get(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
  }

  // Where the tip window goes so that its text lies on `text_rect` (screen coordinates).
  POINT TipPlace(const RECT& text_rect) const {
    RECT window = text_rect;
    if (SendMessageW(tip_.get(), TTM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&window)) == 0) {
      // Without TTM_ADJUSTRECT (Wine's tooltip lacks it): the tip draws its text inside its
      // margin and inset, within its frame.
      RECT margin{};
      SendMessageW(tip_.get(), TTM_GETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
      window = RECT{text_rect.left - kTipTextInset - margin.left,
                    text_rect.top - kTipTextInset - margin.top,
                    text_rect.right + kTipTextInset + margin.right,
                    text_rect.bottom + kTipTextInset + margin.bottom};
      AdjustWindowRectEx(&window, static_cast<DWORD>(GetWindowLongPtrW(tip_.get(), GWL_STYLE)),
                         FALSE, static_cast<DWORD>(GetWindowLongPtrW(tip_.get(), GWL_EXSTYLE)));
    }
    // A name wider than the rest of the screen moves left, as far as the screen's left edge.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoW(MonitorFromRect(&window, MONITOR_DEFAULTTONEAREST), &monitor)) {
      const LONG overflow = window.right - monitor.rcWork.right;
      if (overflow > 0) {
        OffsetRect(&window, -std::min(overflow, std::max(window.left - monitor.rcWork.left, 0L)),
                   0);
      }
    }
    return POINT{window.left, window.top};
  }

  TTTOOLINFOW Tool() const {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    // Placed by the list rather than at the pointer, and transparent to the mouse, so the list
    // keeps receiving the pointer's moves and clicks beneath it.
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;
    tool.hwnd = list_;
    tool.uId = 0;
    return tool;
  }

  // The tooltip window is made when the first cut-off name needs it.
  bool CreateTip() {
    if (tip_) return true;
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_TAB_CLASSES};  // brings the tooltip class
    InitCommonControlsEx(&classes);
    tip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_NOANIMATE | TTS_NOFADE, 0, 0, 0, 0,
                               list_, nullptr, GetModuleHandleW(nullptr), nullptr));
    if (!tip_) return false;
    TTTOOLINFOW tool = Tool();
    wchar_t empty[] = L"";
    tool.lpszText = empty;
    if (SendMessageW(tip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) == FALSE) {
      tip_.reset();
      return false;
    }
    tip_font_ = nullptr;
    return true;
  }

  HWND list_;
  WNDPROC list_proc_;
  UniqueWindow tip_;
  HFONT tip_font_ = nullptr;  // the font last given to the tip
  int shown_ = -1;            // the item whose text the tip shows, or -1 while it is hidden
  POINT place_{};             // the tip window's top-left, in screen coordinates
};

namespace {

// Subclassed through the window procedure itself, not SetWindowSubclass: that one looks its data
// up in the window's properties on every message, which under Wine is a trip to the server per
// list box message, and the refresh reads every item each second.
LRESULT CALLBACK ItemTipsProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* control = reinterpret_cast<TControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  ListItemTips* tips = control != nullptr ? control->impl().item_tips : nullptr;
  if (tips == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    const WNDPROC list_proc = tips->list_proc();
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(list_proc));
    control->impl().item_tips = nullptr;
    delete tips;  // takes the tooltip window with it
    return CallWindowProcW(list_proc, hwnd, message, wparam, lparam);
  }
  return tips->Handle(message, wparam, lparam);
}

}  // namespace

void AttachItemTips(TControl::Impl& list) {
  const auto list_proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(list.hwnd, GWLP_WNDPROC));
  if (list_proc == nullptr) return;
  list.item_tips = new ListItemTips(list.hwnd, list_proc);  // the window's, until WM_NCDESTROY
  SetWindowLongPtrW(list.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ItemTipsProc));
}

}  // namespace vcl
