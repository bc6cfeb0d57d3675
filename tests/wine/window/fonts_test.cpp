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

// Every row of the list holds a whole line of the font it draws with, and no less than the
// stored 16 px; the list shows one column, as wide as itself.
::testing::AssertionResult RowsHoldWholeLines(const ProbedFont* list, int dpi) {
  if (list == nullptr) return ::testing::AssertionFailure() << "the probe did not see the list";
  if (list->item_height < list->line_height || list->item_height < MulDiv(16, dpi, 96)) {
    return ::testing::AssertionFailure()
           << "rows " << list->item_height << " px for lines of " << list->line_height << " px in "
           << Describe(*list) << " at " << dpi << " dpi";
  }
  return ::testing::AssertionSuccess();
}

// A control's widest text, with `margin` on either side, lies inside its client area.
::testing::AssertionResult TextInside(const ProbedFont* font, int margin = 0) {
  if (font == nullptr) return ::testing::AssertionFailure() << "the probe did not see it";
  if (font->text_width + 2 * margin <= font->client_width &&
      font->text_height <= font->client_height) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "text " << font->text_width << "x" << font->text_height << " (+" << margin
         << " px each side) in " << font->client_width << "x" << font->client_height << " in "
         << Describe(*font);
}

// Whole lines in the list, the title and both buttons at `dpi`.
void ExpectWholeLines(const FontProbeReport& report, HWND list, HWND label,
                      std::initializer_list<HWND> buttons, int dpi) {
  EXPECT_TRUE(RowsHoldWholeLines(FontOf(report, list), dpi));
  EXPECT_TRUE(TextInside(FontOf(report, label))) << "title at " << dpi << " dpi";
  for (HWND button : buttons) {
    EXPECT_TRUE(TextInside(FontOf(report, button), MulDiv(4, dpi, 96)))
        << WindowText(button) << " at " << dpi << " dpi";
  }
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
  // Tails of g, j, p, q, y and brackets, and more names than a column of the list holds.
  ASSERT_NO_FATAL_FAILURE(
      AddPrinters({L"Kelvo LP-1", kLongName, L"Kelvo gjpqy (Jg), Floor 2", L"Kelvo Typography jjj",
                   L"Kelvo Row 1", L"Kelvo Row 2", L"Kelvo Row 3", L"Kelvo Row 4", L"Kelvo Row 5",
                   L"Kelvo Row 6", L"Kelvo Row 7", L"Kelvo Row 8"}));
  ASSERT_NO_FATAL_FAILURE(StartApp());
  HWND tip = ShowTipOf(kLongName);
  ASSERT_NE(tip, nullptr) << "no tooltip over the cut-off name";
  const FontProbeReport report = Probe();
  // The icons from the start, at Windows' own sizes for the screen's dpi, not scaled twice.
  const auto dpi = static_cast<UINT>(ExpectedDpi());
  EXPECT_EQ(report.big_icon, GetSystemMetricsForDpi(SM_CXICON, dpi));
  EXPECT_EQ(report.small_icon, GetSystemMetricsForDpi(SM_CXSMICON, dpi));

  const RECT client = ClientRect(form_);
  const struct {
    const char* name;
    HWND window;
  } controls[] = {
      {"title", label_}, {"list", list_}, {"OK", ok_}, {"Cancel", cancel_}, {"tooltip", tip}};
  for (const auto& control : controls) {
    const ProbedFont* font = FontOf(report, control.window);
    if (font != nullptr) {
      std::printf("%-8s %s, line %d px, rows %d px\n", control.name,
                  pdtest::ToUtf8(Describe(*font)).c_str(), font->line_height, font->item_height);
    }
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
  // Each button's caption clear of its edges, the rows whole lines, the tip's text inside it.
  ExpectWholeLines(report, list_, label_, {ok_, cancel_}, ExpectedDpi());
  if (DesignFontHere()) {
    EXPECT_EQ(FontOf(report, list_)->item_height, 16) << "the stored design's rows";
  }
  // The tip shows whole lines; a name wider than the screen it may still cut at the side.
  const ProbedFont* tip_font = FontOf(report, tip);
  ASSERT_NE(tip_font, nullptr);
  EXPECT_LE(tip_font->text_height, tip_font->client_height) << "tooltip";

  // One column at a time, as wide as the list; the names past its foot in the next one.
  RECT first{};
  ASSERT_NE(SendMessageW(list_, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first)), LB_ERR);
  EXPECT_EQ(first.left, 0);
  EXPECT_EQ(first.right, ClientRect(list_).right);
  const auto count = static_cast<int>(SendMessageW(list_, LB_GETCOUNT, 0, 0));
  int next_column = -1;
  for (int i = 1; i < count && next_column < 0; ++i) {
    RECT item{};
    SendMessageW(list_, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    if (item.top == first.top) next_column = i;
  }
  ASSERT_GT(next_column, 0) << "all " << count << " names in one column";
  RECT item{};
  SendMessageW(list_, LB_GETITEMRECT, static_cast<WPARAM>(next_column),
               reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(item.left, first.right) << "a second column in view";
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
  EXPECT_TRUE(RowsHoldWholeLines(FontOf(report, list_), ExpectedDpi()));
  EXPECT_TRUE(IsDesignFont(FontOf(report, ok_)));

  for (const wchar_t* name : kScriptNames) {
    ASSERT_EQ(printers_->Remove(name), static_cast<DWORD>(ERROR_SUCCESS)) << name;
  }
  ASSERT_TRUE(ListedNow());
  report = Probe();
  EXPECT_TRUE(IsDesignFont(FontOf(report, list_)));
  EXPECT_EQ(FontOf(report, list_)->item_height, 16) << "the stored design's rows again";
}

// As when the window moves to a monitor with another dpi and back.
TEST_F(FontsTest, FollowTheWindowToAnotherDpi) {
  ASSERT_NO_FATAL_FAILURE(AddPrinters({L"Kelvo LP-1"}));
  ASSERT_NO_FATAL_FAILURE(StartApp());
  for (int dpi : {ExpectedDpi() == 96 ? 144 : 96, ExpectedDpi()}) {
    std::wstring problem;
    SIZE scaled{};
    ASSERT_TRUE(MoveToDpi(form_, dpi, &scaled, &problem)) << problem;
    // Its size at the new dpi told beforehand, so that the system can place it; then taken.
    RECT window{};
    GetWindowRect(form_, &window);
    EXPECT_EQ(scaled.cx, window.right - window.left) << dpi << " dpi";
    EXPECT_EQ(scaled.cy, window.bottom - window.top) << dpi << " dpi";
    EXPECT_EQ(ClientRect(form_).right, MulDiv(386, dpi, 96));
    const FontProbeReport report = Probe();
    ExpectWholeLines(report, list_, label_, {ok_, cancel_}, dpi);
    // The icons at Windows' own sizes for that dpi, not scaled a second time.
    EXPECT_EQ(report.big_icon, GetSystemMetricsForDpi(SM_CXICON, static_cast<UINT>(dpi))) << dpi;
    EXPECT_EQ(report.small_icon, GetSystemMetricsForDpi(SM_CXSMICON, static_cast<UINT>(dpi)))
        << dpi;
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
