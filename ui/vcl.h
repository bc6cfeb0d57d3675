// A small window framework over Win32 offering the operations the selection window needs, named
// after the component framework the tool was first written for. Two back ends implement it: the
// Win32 one in ui/win32 and a headless stand-in in ui/headless for host tests.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/winapi_types.h"

namespace vcl {

using UnicodeString = std::u16string;

// Text conversions through the system ANSI code page.
UnicodeString FromAnsi(const char* ansi);
std::string ToAnsi(const UnicodeString& text);

LANGID GetUserDefaultLangID();
// The system's text for a Win32 error code, without a trailing line break.
UnicodeString SysErrorMessage(DWORD error);

enum class MessageKind { Error, Warning };
// A modal message box owned by `owner`.
void ShowMessageBox(HWND owner, const UnicodeString& text, const UnicodeString& caption,
                    MessageKind kind);

class TObject {
 public:
  virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* sender)>;

// Owns the components created with it as owner and destroys them, newest first, with itself.
class TComponent : public TObject {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

 protected:
  // Destroys the owned components now, while the owner is still whole.
  void DestroyComponents();

 private:
  TComponent* owner_;
  std::vector<TComponent*> owned_;
};

class TForm;

// Geometry is given in pixels at 96 dpi; the back end scales it to the window's dpi.
class TControl : public TComponent {
 public:
  ~TControl() override;
  void SetBounds(int left, int top, int width, int height);
  void SetTextBuf(const char16_t* text);
  UnicodeString GetText() const;
  void SetTabOrder(int order);

  enum class Kind { Form, Label, ListBox, Button };
  struct Impl;
  Impl& impl() const { return *impl_; }

 protected:
  TControl(TComponent* owner, TForm* parent, Kind kind);

 private:
  std::unique_ptr<Impl> impl_;
};

class TLabel : public TControl {
 public:
  explicit TLabel(TForm* owner);
  // The control this label names, for screen readers: Windows names a control without a
  // caption of its own after the label just before it in z-order, so the back end keeps it there.
  void SetFocusControl(TControl* control);
};

class TButton : public TControl {
 public:
  explicit TButton(TForm* owner);
  // A disabled button takes no focus and no click from the user; one with the focus hands it on.
  void SetEnabled(bool enabled);
  bool Enabled() const;
  TNotifyEvent OnClick;
};

class TListBox : public TControl {
 public:
  explicit TListBox(TForm* owner);
  // Single selection, unsorted, fixed item height, one visible column with further columns
  // reached by horizontal scrolling.
  void SetItemHeight(int height);
  void SetColumns(int columns);

  // The whole content, each item followed by "\r\n".
  UnicodeString ItemsText() const;
  UnicodeString Item(int index) const;
  void Clear();
  void ItemsAdd(const UnicodeString& item);
  int Count() const;
  bool GetSelected(int index) const;
  // The selected item, or -1. Selecting an item scrolls it into view; -1 clears the selection.
  int ItemIndex() const;
  void SetItemIndex(int index);

  // Drawn in the list's area, and given to screen readers as its description, while the list
  // holds no item; never an item itself.
  void SetEmptyText(const UnicodeString& text);

  // After the selection changed, by the user or by the program.
  TNotifyEvent OnChange;
  // A double click on item `index`, which it selected; none for one beside the items.
  std::function<void(TObject* sender, int index)> OnDblClickItem;
  // A character typed in the list at `time_ms` (the system's tick count). The list does no
  // search of its own.
  std::function<void(TObject* sender, char16_t key, DWORD time_ms)> OnKeyPress;
};

class TTimer : public TComponent {
 public:
  explicit TTimer(TForm* owner);
  ~TTimer() override;
  void SetEnabled(bool enabled);
  bool Enabled() const;
  TNotifyEvent OnTimer;

  struct Impl;
  Impl& impl() const { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
};

struct FontSpec {
  const char16_t* face;
  int height;  // negative: character height in pixels at 96 dpi
  bool bold;
};

class TForm : public TControl {
 public:
  // `window_class` names the native window class, so other programs can find the window.
  explicit TForm(TComponent* owner, const char16_t* window_class = u"TForm");
  ~TForm() override;

  void SetToolWindowBorder();
  void SetClientSize(int width, int height);
  void SetButtonHighlightColor();
  void SetFont(const FontSpec& font);
  void SetIconResource(int id);
  void Show();
  void Close();
  HWND GetHandle() const;
  bool Visible() const;
  // Closing the main window ends the message loop.
  void MarkAsMainWindow();

  TNotifyEvent OnCreate;
};

class TApplication : public TComponent {
 public:
  TApplication();
  void Initialize();
  // Constructs the form, then delivers its OnCreate; the first form becomes the main window.
  template <typename Form, typename... Args>
  void CreateForm(Form** reference, Args&&... args) {
    auto* form = new Form(this, std::forward<Args>(args)...);
    *reference = form;
    Register(form);
  }
  // Shows the main window and dispatches messages until it is closed.
  void Run();
  TForm* MainForm() const { return main_form_; }

 private:
  void Register(TForm* form);
  TForm* main_form_ = nullptr;
};

}  // namespace vcl
