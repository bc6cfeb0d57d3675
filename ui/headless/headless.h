// Test access to the headless back end of the window framework: it keeps each control's text,
// geometry and state in memory and lets a test deliver clicks and timer ticks.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/vcl.h"

namespace headless {

struct Bounds {
  int left, top, width, height;
};

Bounds BoundsOf(const vcl::TControl& control);
int TabOrderOf(const vcl::TControl& control);
const vcl::TControl* FocusControlOf(const vcl::TLabel& label);

// Every Clear and ItemsAdd since the list box was made; an untouched list keeps its count.
int ListMutations(const vcl::TListBox& list);
void Select(vcl::TListBox& list, int index);  // -1 clears the selection
std::u16string EmptyTextOf(const vcl::TListBox& list);
int Selection(const vcl::TListBox& list);
int ItemHeight(const vcl::TListBox& list);
int Columns(const vcl::TListBox& list);

void Click(vcl::TButton& button);
// Delivers OnTimer when the timer is enabled; returns whether it did.
bool Tick(vcl::TTimer& timer);

struct FormState {
  bool visible = false;
  bool tool_window = false;
  bool button_highlight = false;
  int client_width = 0, client_height = 0;
  int show_calls = 0, close_calls = 0;
  bool quit_posted = false;
  vcl::FontSpec font{u"", 0, false};
  int icon_id = 0;
  std::u16string window_class;
};
const FormState& StateOf(const vcl::TForm& form);

struct MessageBoxRecord {
  HWND owner;
  std::u16string text;
  std::u16string caption;
  vcl::MessageKind kind;
  // What the live probes reported while the box was up: handles and blocks still held.
  int live_resources;
};
std::vector<MessageBoxRecord>& MessageBoxes();

// Counts of resources that must not be held while a message box is up (the simulated spooler
// registers its open handles and live blocks). Reset leaves them registered.
void AddLiveProbe(const void* owner, std::function<int()> probe);
void RemoveLiveProbe(const void* owner);

// The ANSI code page FromAnsi and ToAnsi use; Latin-1 unless a test sets another. Each stands in
// for a kind of Windows code page, with its GetACP number.
enum class CodePage : UINT {
  Latin1 = 28591,    // each byte is the code point of the same value; the rest becomes '?'
  Utf8 = 65001,      // carries everything
  BestFit = 950,     // ASCII; a few accented letters best-fit to plain ones, the rest is '?'
  DoubleByte = 936,  // ASCII in one byte, CJK ideographs in two (lead byte first); the rest is '?'
};
void SetAnsiCodePage(CodePage page);
CodePage AnsiCodePage();
// The conversions of `page` the way WideCharToMultiByte and MultiByteToWideChar make them.
// Without `best_fit` a letter that would best-fit becomes '?' too; `used_default` (optional) says
// whether any '?' stands for a character the page lacks.
std::string EncodeAnsi(CodePage page, const std::u16string& text, bool best_fit,
                       bool* used_default);
std::u16string DecodeAnsi(CodePage page, const std::string& ansi);

// The language identifier GetUserDefaultLangID reports; 0x0409 unless a test sets it.
void SetUserDefaultLangID(LANGID id);

// Runs inside TApplication::Run after the main form is shown, standing in for the message loop.
void SetMessageLoop(std::function<void(vcl::TApplication&)> loop);

// Resets the process-wide state above between tests.
void Reset();

}  // namespace headless
