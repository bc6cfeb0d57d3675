// The Win32 back end of the window framework on real windows: the list box operations the
// refresh and the OK flow rely on, and the form basics other programs use to find the window.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ui/vcl.h"

namespace {

using vcl::UnicodeString;

UnicodeString ClassName(HWND hwnd) {
  wchar_t buffer[64] = {};
  const int length = GetClassNameW(hwnd, buffer, 64);
  return UnicodeString(reinterpret_cast<const char16_t*>(buffer), static_cast<size_t>(length));
}

class Win32ListBox : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<vcl::TForm>(nullptr, u"PdListBoxTestForm");
    list_ = new vcl::TListBox(form_.get());  // owned and destroyed by the form
    list_->SetBounds(8, 8, 200, 120);
    list_->SetItemHeight(16);
    list_->SetColumns(1);
    hwnd_ = FindWindowExW(form_->GetHandle(), nullptr, L"ListBox", nullptr);
    ASSERT_NE(hwnd_, nullptr);
  }

  // Selects like a click, on the native control.
  void Select(int index) { SendMessageW(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(index), 0); }

  UnicodeString NativeItem(int index) {
    wchar_t buffer[512] = {};
    SendMessageW(hwnd_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
    return reinterpret_cast<const char16_t*>(buffer);
  }

  std::unique_ptr<vcl::TForm> form_;
  vcl::TListBox* list_ = nullptr;
  HWND hwnd_ = nullptr;
};

TEST_F(Win32ListBox, FormIsANativeWindowOfTheNamedClass) {
  HWND form = form_->GetHandle();
  ASSERT_TRUE(IsWindow(form));
  EXPECT_EQ(ClassName(form), u"PdListBoxTestForm");
  EXPECT_EQ(FindWindowW(L"PdListBoxTestForm", nullptr), form);
  EXPECT_EQ(GetParent(hwnd_), form);
  // Unsorted and single-selection: items keep the order they were added in.
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
  EXPECT_EQ(style & LBS_SORT, 0u);
  EXPECT_EQ(style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL), 0u);

  form_->SetTextBuf(u"Printer \u9009\u62e9");
  EXPECT_EQ(form_->GetText(), u"Printer \u9009\u62e9");
}

TEST_F(Win32ListBox, FormIsHiddenUntilShownAndHiddenAgainByClose) {
  EXPECT_FALSE(form_->Visible());
  form_->Show();
  EXPECT_TRUE(form_->Visible());
  form_->Close();
  EXPECT_FALSE(form_->Visible());
  EXPECT_TRUE(IsWindow(form_->GetHandle())) << "Close hides the window; it does not destroy it";
}

TEST_F(Win32ListBox, EmptyListHasNoTextNoItemsAndNoSelection) {
  EXPECT_EQ(list_->ItemsText(), u"");
  EXPECT_EQ(list_->Count(), 0);
  EXPECT_EQ(list_->Item(0), u"");
  EXPECT_FALSE(list_->GetSelected(0));
}

TEST_F(Win32ListBox, ItemsAddAppendsInOrderWithoutSorting) {
  list_->ItemsAdd(u"Kelvo LP-2");
  list_->ItemsAdd(u"Kelvo LP-1");
  list_->ItemsAdd(u"Kelvo LP-2");  // duplicates are kept
  list_->ItemsAdd(u"");
  list_->ItemsAdd(u"Kelvo \u6253\u5370\u673a");

  ASSERT_EQ(list_->Count(), 5);
  EXPECT_EQ(SendMessageW(hwnd_, LB_GETCOUNT, 0, 0), 5);
  const UnicodeString expected[] = {u"Kelvo LP-2", u"Kelvo LP-1", u"Kelvo LP-2", u"",
                                    u"Kelvo \u6253\u5370\u673a"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(list_->Item(i), expected[i]) << "item " << i;
    EXPECT_EQ(NativeItem(i), expected[i]) << "native item " << i;
  }
  EXPECT_EQ(list_->Item(5), u"") << "past the end";
  EXPECT_EQ(list_->Item(-1), u"");
}

TEST_F(Win32ListBox, ItemsTextEndsEveryItemWithCrLf) {
  list_->ItemsAdd(u"Kelvo LP-1");
  EXPECT_EQ(list_->ItemsText(), u"Kelvo LP-1\r\n");
  list_->ItemsAdd(u"Kelvo LP-2");
  EXPECT_EQ(list_->ItemsText(), u"Kelvo LP-1\r\nKelvo LP-2\r\n");
}

TEST_F(Win32ListBox, LongItemsComeBackWhole) {
  const UnicodeString name = u"Kelvo " + UnicodeString(250, u'x') + u"\u00e9";
  list_->ItemsAdd(name);
  EXPECT_EQ(list_->Item(0), name);
  EXPECT_EQ(list_->ItemsText(), name + u"\r\n");
}

TEST_F(Win32ListBox, ClearRemovesEverythingAndTheSelection) {
  list_->ItemsAdd(u"a");
  list_->ItemsAdd(u"b");
  Select(1);
  list_->Clear();
  EXPECT_EQ(list_->Count(), 0);
  EXPECT_EQ(list_->ItemsText(), u"");
  EXPECT_EQ(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0), LB_ERR);
  list_->ItemsAdd(u"c");
  EXPECT_EQ(list_->ItemsText(), u"c\r\n") << "adding after a clear starts a new list";
}

TEST_F(Win32ListBox, GetSelectedReportsTheNativeSelection) {
  for (const char16_t* item : {u"a", u"b", u"c"}) list_->ItemsAdd(item);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(list_->GetSelected(i)) << i;

  Select(1);
  EXPECT_FALSE(list_->GetSelected(0));
  EXPECT_TRUE(list_->GetSelected(1));
  EXPECT_FALSE(list_->GetSelected(2));

  Select(2);
  EXPECT_FALSE(list_->GetSelected(1));
  EXPECT_TRUE(list_->GetSelected(2));
  EXPECT_FALSE(list_->GetSelected(3)) << "past the end";
  EXPECT_FALSE(list_->GetSelected(-1));

  Select(-1);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(list_->GetSelected(i)) << i;
}

TEST_F(Win32ListBox, AddingKeepsTheSelection) {
  list_->ItemsAdd(u"a");
  list_->ItemsAdd(u"b");
  Select(0);
  list_->ItemsAdd(u"c");
  EXPECT_TRUE(list_->GetSelected(0));
  EXPECT_EQ(list_->Count(), 3);
}

}  // namespace
