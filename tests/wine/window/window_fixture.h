// The program's window, opened on printers a test chose and looked at from this process.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "tests/wine/support/scoped_printers.h"
#include "tests/wine/tools/printer_admin.h"
#include "tests/wine/window/app_process.h"
#include "tests/wine/window/remote_window.h"

namespace pdwin {

struct Captions {
  const wchar_t* window;
  const wchar_t* title;
  const wchar_t* ok;
  const wchar_t* cancel;
};

extern const Captions kEnglish;
extern const Captions kChinese;

// The captions a user with this process's language should see.
const Captions& ExpectedCaptions();
// The screen dpi the run expects (PD_EXPECT_DPI, 96 by default).
int ExpectedDpi();
// A length in the stored 96-dpi layout, at the expected dpi.
int Scaled(int value);

// Generous bounds for starting and ending the program under a busy Wine.
constexpr DWORD kShowTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 15000;
// The first driver dialog in a fresh prefix loads the driver and its PPD.
constexpr DWORD kDialogRoundTripMs = 90000;

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;

  // Adds online printers; they are removed when the test ends.
  void AddPrinters(std::initializer_list<const wchar_t*> names);
  void SetOffline(const wchar_t* name, bool offline);
  // Starts the program, waits for its window and finds its controls. Use with
  // ASSERT_NO_FATAL_FAILURE.
  void StartApp();
  // The same with the program at `exe`, a Windows path.
  void StartAppAt(const std::wstring& exe);
  // Selects `name`, presses OK and plays the user choosing `paper` in the driver's dialog, with
  // `while_open` run while it is open; returns once the program has ended cleanly. Use with
  // ASSERT_NO_FATAL_FAILURE.
  void ChooseThroughOk(const std::wstring& name, const std::wstring& paper,
                       std::function<void()> while_open = {});
  // Waits for the program to end; fails the test unless it ends with exit code 0.
  void ExpectCleanExit();
  std::vector<std::wstring> Items() const { return ListItems(list_); }
  bool ListHas(const std::wstring& name) const;

  // The names the window should list now: online printers whose name starts with "Kelvo", in
  // the spooler's order.
  static std::vector<std::wstring> EligibleNow();
  // Every printer's stored record, for comparing before and after.
  static std::vector<pdtest::PrinterRecord> StoredSettings();

  std::unique_ptr<pdtest::ScopedPrinters> printers_;
  std::unique_ptr<AppProcess> app_;
  HWND form_ = nullptr;
  HWND list_ = nullptr;
  HWND label_ = nullptr;
  HWND ok_ = nullptr;
  HWND cancel_ = nullptr;
};

// The window open on one eligible printer, closed again when the test ends.
class OpenWindowTest : public WindowTest {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// A test that moves the pointer: it goes back off the windows of later tests, and a window still
// open is closed, when the test ends.
class PointerWindowTest : public WindowTest {
 protected:
  void TearDown() override;
  // The rectangle on the screen of the list item showing `name`.
  RECT ItemRect(const std::wstring& name) const;
};

// Compares what matters of two snapshots of the stored settings.
::testing::AssertionResult SameSettings(const std::vector<pdtest::PrinterRecord>& before,
                                        const std::vector<pdtest::PrinterRecord>& after);

}  // namespace pdwin
