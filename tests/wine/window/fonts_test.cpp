// The font each control draws its text with, read inside the running program: the designed
// raster "System" where Windows draws it as designed (96 dpi, a text in its code page), a
// scalable face at the scaled size everywhere else, and glyphs, never boxes, in every script.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/wine/tools/console_text.h"
#include "tests/wine/window/font_probe.h"
#include "tests/wine/window/window_fixture.h"

namespace pdwin {
namespace {

// The stored design: "System", 13-pixel characters at 96 dpi, bold.
constexpr int kDesignCharHeight = 13;

constexpr wchar_t kLongName[] =
    L"Kelvo LaserPro 5200 Series PCL6 Universal (Headquarters Building 4, Floor 2, Room 214)";
constexpr const wchar_t* kScriptNames[] = {L"Kelvo 彩色激光", L"Kelvo Γραφείο", L"Kelvo カラー"};

// Where this run shows Windows' own raster "System" for Latin text: the prefix has Windows'
// Western system font at its design size; Chinese Windows' own cannot be had here.
bool DesignFontHere() { return ExpectedDpi() == 96 && GetUserDefaultLangID() != 0x0804; }

std::wstring Describe(const ProbedFont& font) {
  return L"\"" + std::wstring(font.face) + L"\" " + std::to_wstring(font.char_height) +
         L" px weight " + std::to_wstring(font.weight) + (font.raster ? L" raster" : L" scalable");
}

// Bold, crisp at the character height scaled to `dpi`, and with a glyph for every character.
::testing::AssertionResult DrawsAtScaledSize(const ProbedFont* font, int dpi = ExpectedDpi()) {
  if (font == nullptr) return ::testing::AssertionFailure() << "the probe did not see it";
  const int height = MulDiv(kDesignCharHeight, dpi, 96);
  const bool raster_as_designed = font->raster && dpi == 96 && font->char_height == height;
  const bool scalable_at_size = !font->raster && std::abs(font->char_height - height) <= 1;
  if (!(raster_as_designed || scalable_at_size) || font->weight < FW_BOLD) {
    return ::testing::AssertionFailure()
           << Describe(*font) << "; wanted bold at " << height << " px, raster only at 96 dpi";
  }
  if (font->boxes != 0) {
    return ::testing::AssertionFailure()
           << Describe(*font) << " draws " << font->boxes << " characters as boxes, in \""
           << font->boxed_text << "\"";
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult IsDesignFont(const ProbedFont* font) {
  if (font != nullptr && font->raster && std::wstring(font->face) == L"System") {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << (font ? Describe(*font) : L"not seen");
}

class FontsTest : public PointerWindowTest {
 protected:
  FontProbeReport Probe() {
    FontProbeReport report{};
    std::wstring problem;
    EXPECT_TRUE(ReadFonts(form_, &report, &problem)) << problem;
    return report;
  }
  // Rests the pointer on the list's item `name` until its tooltip shows; returns the tooltip.
  HWND ShowTipOf(const std::wstring& name) {
    const RECT item = ItemRect(name);
    HWND tip = nullptr;
    auto shown = [&] {
      tip = FindProcessWindow(app_->id(), L"tooltips_class32");
      return tip != nullptr && IsWindowVisible(tip);
    };
    // A move the window missed while it was still being shown starts no hover; move again.
    for (int attempt = 0; attempt < 3 && !shown(); ++attempt) {
      SetCursorPos(item.left + Scaled(20) + attempt, (item.top + item.bottom) / 2);
      WaitUntil(shown, 3000);
    }
    return shown() ? tip : nullptr;
  }
  bool ListedNow() {
    return WaitUntil([&] { return Items() == EligibleNow(); }, 10000);
  }
};

TEST_F(FontsTest, EveryCaptionFitsInCrispTextAtTheScaledSize) {
  ASSERT_NO_FATAL_FAILURE(AddPrinters({L"Kelvo LP-1", kLongName}));
  ASSERT_NO_FATAL_FAILURE(StartApp());
  HWND tip = ShowTipOf(kLongName);
  ASSERT_NE(tip, nullptr) << "no tooltip over the cut-off name";
  const FontProbeReport report = Probe();

  const RECT client = ClientRect(form_);
  const struct {
    const char* name;
    HWND window;
  } controls[] = {
      {"title", label_}, {"list", list_}, {"OK", ok_}, {"Cancel", cancel_}, {"tooltip", tip}};
  for (const auto& control : controls) {
    const ProbedFont* font = FontOf(report, control.window);
    if (font != nullptr)
      std::printf("%-8s %s\n", control.name, pdtest::ToUtf8(Describe(*font)).c_str());
    EXPECT_TRUE(DrawsAtScaledSize(font)) << control.name;
    if (DesignFontHere()) {
      EXPECT_TRUE(IsDesignFont(font)) << control.name;
    }
  }

  // The title sizes itself to its text, inside the window and above the list.
  const ProbedFont* title = FontOf(report, label_);
  const RECT label = RectInParent(label_);
  ASSERT_NE(title, nullptr);
  EXPECT_GE(label.right - label.left, title->text_width);
  EXPECT_GE(label.bottom - label.top, title->text_height);
  EXPECT_LE(label.right, client.right);
  EXPECT_LE(label.bottom, RectInParent(list_).top);
  // Each button's caption clear of its edges.
  for (HWND button : {ok_, cancel_}) {
    const ProbedFont* font = FontOf(report, button);
    ASSERT_NE(font, nullptr);
    const RECT box = ClientRect(button);
    EXPECT_LE(font->text_width + 2 * Scaled(4), box.right) << WindowText(button);
    EXPECT_LE(font->text_height, box.bottom) << WindowText(button);
  }
}

TEST_F(FontsTest, NamesInEveryScriptKeepTheirGlyphs) {
  // Where the list starts in the design font, it takes another for the names it cannot draw,
  // while the buttons keep theirs, and returns to it once they are gone; elsewhere the names
  // are there from the start.
  const bool design_font = DesignFontHere();
  ASSERT_NO_FATAL_FAILURE(AddPrinters({L"Kelvo LP-1", L"Kelvo Café"}));
  if (!design_font) {
    for (const wchar_t* name : kScriptNames) ASSERT_NO_FATAL_FAILURE(AddPrinters({name}));
  }
  ASSERT_NO_FATAL_FAILURE(StartApp());
  FontProbeReport report = Probe();
  EXPECT_TRUE(DrawsAtScaledSize(FontOf(report, list_)));
  if (!design_font) return;
  EXPECT_TRUE(IsDesignFont(FontOf(report, list_)));

  for (const wchar_t* name : kScriptNames) ASSERT_NO_FATAL_FAILURE(AddPrinters({name}));
  ASSERT_TRUE(ListedNow());
  report = Probe();
  EXPECT_TRUE(DrawsAtScaledSize(FontOf(report, list_)));
  EXPECT_FALSE(IsDesignFont(FontOf(report, list_)));
  EXPECT_TRUE(IsDesignFont(FontOf(report, ok_)));

  for (const wchar_t* name : kScriptNames) {
    ASSERT_EQ(printers_->Remove(name), static_cast<DWORD>(ERROR_SUCCESS)) << name;
  }
  ASSERT_TRUE(ListedNow());
  report = Probe();
  EXPECT_TRUE(IsDesignFont(FontOf(report, list_)));
}

// As when the window moves to a monitor with another dpi and back.
TEST_F(FontsTest, FollowTheWindowToAnotherDpi) {
  ASSERT_NO_FATAL_FAILURE(AddPrinters({L"Kelvo LP-1"}));
  ASSERT_NO_FATAL_FAILURE(StartApp());
  for (int dpi : {ExpectedDpi() == 96 ? 144 : 96, ExpectedDpi()}) {
    std::wstring problem;
    ASSERT_TRUE(MoveToDpi(form_, dpi, &problem)) << problem;
    EXPECT_EQ(ClientRect(form_).right, MulDiv(386, dpi, 96));
    const FontProbeReport report = Probe();
    for (HWND control : {label_, list_, ok_, cancel_}) {
      EXPECT_TRUE(DrawsAtScaledSize(FontOf(report, control), dpi))
          << WindowText(control) << " at " << dpi << " dpi";
    }
    if (DesignFontHere()) {
      EXPECT_EQ(IsDesignFont(FontOf(report, list_)), dpi == 96) << dpi << " dpi";
    }
  }
}

}  // namespace
}  // namespace pdwin
