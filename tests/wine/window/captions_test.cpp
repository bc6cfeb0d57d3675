// The captions follow the user's language, and a picture of the window is kept for people.
#include <cwchar>

#include "tests/wine/tools/windows_path.h"
#include "tests/wine/window/screenshot.h"
#include "tests/wine/window/window_fixture.h"

namespace pdwin {
namespace {

using CaptionsTest = WindowTest;

TEST_F(CaptionsTest, FollowTheUserLanguage) {
  // A locale that is not generated silently falls back to English; catch that here.
  const std::wstring expected_language = EnvironmentValue(L"PD_EXPECT_LANGID");
  if (!expected_language.empty()) {
    ASSERT_EQ(GetUserDefaultLangID(), std::wcstoul(expected_language.c_str(), nullptr, 16))
        << "the run's locale is not in effect; is it generated (locale -a)?";
  }
  ASSERT_NO_FATAL_FAILURE(AddPrinters({L"Kelvo LP-1", L"Kelvo LP-2", L"Kelvo Office", L"Other"}));
  ASSERT_NO_FATAL_FAILURE(SetOffline(L"Kelvo Office", true));
  ASSERT_NO_FATAL_FAILURE(StartApp());

  const Captions& expected = ExpectedCaptions();
  EXPECT_EQ(WindowText(form_), expected.window);
  EXPECT_EQ(WindowText(label_), expected.title);
  EXPECT_EQ(WindowText(ok_), expected.ok);
  EXPECT_EQ(WindowText(cancel_), expected.cancel);

  const std::wstring shot = EnvironmentValue(L"PD_SCREENSHOT");
  if (!shot.empty()) {
    const std::wstring path = pdtest::ToWindowsPath(shot);
    ASSERT_FALSE(path.empty()) << "cannot map PD_SCREENSHOT to a Windows path";
    // Painted: repaint now, then give the program's loop a moment to finish drawing.
    RedrawWindow(form_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(500);
    EXPECT_EQ(SaveWindowPng(form_, path), S_OK) << path;
  }

  PostMessageW(form_, WM_CLOSE, 0, 0);
  ExpectCleanExit();
}

}  // namespace
}  // namespace pdwin
