#include <string>

#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/support/sim_spooler.h"
#include "ui/headless/headless.h"
#include "ui/torlent_form.h"

namespace {

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::Reset();
    for (const char* name : {"Kelvo LP-1", "Other", "Kelvo LP-2"}) spooler.Add(name);
  }
  void TearDown() override { headless::Reset(); }

  TorlentForm* Create(LANGID language) {
    headless::SetUserDefaultLangID(language);
    TorlentForm* form = nullptr;
    app.CreateForm(&form, spooler);
    return form;
  }

  sim::Spooler spooler;
  vcl::TApplication app;
};

struct CaptionCase {
  LANGID language;
  bool chinese;
};

class FormCaptionTest : public FormTest, public ::testing::WithParamInterface<CaptionCase> {};

TEST_P(FormCaptionTest, CaptionsFollowTheUsersLanguage) {
  TorlentForm* form = Create(GetParam().language);
  if (GetParam().chinese) {
    EXPECT_EQ(form->GetText(), u"请选择打印机3.2");
    EXPECT_EQ(form->Label_title->GetText(), u"请选择你要使用的打印机");
    EXPECT_EQ(form->Button_ok->GetText(), u"确  定");
    EXPECT_EQ(form->Button_cancel->GetText(), u"取  消");
    EXPECT_EQ(headless::EmptyTextOf(*form->ListBoxPrinterList),
              u"此计算机上没有联机的 Kelvo 打印机。\r\n脱机或未安装在此计算机上的打印机不会列出。");
  } else {
    EXPECT_EQ(form->GetText(), u"Please select printer 3.2");
    EXPECT_EQ(form->Label_title->GetText(), u"Please select the printer.");
    EXPECT_EQ(form->Button_ok->GetText(), u"OK");
    EXPECT_EQ(form->Button_cancel->GetText(), u"CANCEL");
    EXPECT_EQ(headless::EmptyTextOf(*form->ListBoxPrinterList),
              u"No Kelvo printer is online on this computer.\r\n"
              u"Printers that are offline or not installed here are not listed.");
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, FormCaptionTest,
                         ::testing::Values(CaptionCase{0x0804, true}, CaptionCase{0x0409, false},
                                           CaptionCase{0x0404, false}, CaptionCase{0x0411, false},
                                           CaptionCase{0x0C04, false}, CaptionCase{0x1004, false}));

TEST_F(FormTest, LayoutIsTheStoredOne) {
  TorlentForm* form = Create(0x0409);
  const headless::FormState& state = headless::StateOf(*form);
  EXPECT_TRUE(state.tool_window);
  EXPECT_TRUE(state.button_highlight);
  EXPECT_EQ(state.client_width, 386);
  EXPECT_EQ(state.client_height, 266);
  EXPECT_EQ(std::u16string(state.font.face), u"System");
  EXPECT_EQ(state.font.height, -13);
  EXPECT_TRUE(state.font.bold);
  EXPECT_EQ(state.icon_id, IDI_APP);
  EXPECT_EQ(state.window_class, u"TorlentForm");

  auto expect_bounds = [](const vcl::TControl& control, int left, int top, int width, int height) {
    const headless::Bounds b = headless::BoundsOf(control);
    EXPECT_EQ(b.left, left);
    EXPECT_EQ(b.top, top);
    EXPECT_EQ(b.width, width);
    EXPECT_EQ(b.height, height);
  };
  expect_bounds(*form->Label_title, 96, 29, 187, 16);
  expect_bounds(*form->ListBoxPrinterList, 40, 51, 297, 159);
  expect_bounds(*form->Button_cancel, 296, 231, 75, 25);
  expect_bounds(*form->Button_ok, 215, 231, 75, 25);
  EXPECT_EQ(headless::ItemHeight(*form->ListBoxPrinterList), 16);
  EXPECT_EQ(headless::Columns(*form->ListBoxPrinterList), 1);
  EXPECT_EQ(headless::TabOrderOf(*form->ListBoxPrinterList), 0);
  EXPECT_EQ(headless::TabOrderOf(*form->Button_cancel), 1);
  EXPECT_EQ(headless::TabOrderOf(*form->Button_ok), 2);
  // The title names the list for screen readers.
  EXPECT_EQ(headless::FocusControlOf(*form->Label_title), form->ListBoxPrinterList);
}

TEST_F(FormTest, ListIsFilledBeforeTheWindowFirstShows) {
  bool filled_at_create = false;
  headless::SetMessageLoop([&](vcl::TApplication& application) {
    auto* form = static_cast<TorlentForm*>(application.MainForm());
    filled_at_create = form->ListBoxPrinterList->Count() == 2;
  });
  TorlentForm* form = Create(0x0409);
  EXPECT_EQ(form->PrinterCount, 2u);
  EXPECT_EQ(form->ListBoxPrinterList->Item(1), u"Kelvo LP-2");
  EXPECT_TRUE(form->TimerEnumPrinter->Enabled());
  app.Run();
  EXPECT_TRUE(filled_at_create);
  EXPECT_TRUE(headless::StateOf(*form).visible);
}

TEST_F(FormTest, TimerKeepsTheListCurrent) {
  TorlentForm* form = Create(0x0409);
  spooler.Add("Kelvo New");
  EXPECT_TRUE(headless::Tick(*form->TimerEnumPrinter));
  EXPECT_EQ(form->ListBoxPrinterList->Count(), 3);
  EXPECT_EQ(spooler.LiveBlocks(), 0);
}

TEST_F(FormTest, CancelClosesTheMainWindowWithoutTouchingPrinters) {
  TorlentForm* form = Create(0x0409);
  app.Run();
  spooler.calls.clear();
  headless::Select(*form->ListBoxPrinterList, 0);
  headless::Click(*form->Button_cancel);
  EXPECT_TRUE(headless::StateOf(*form).quit_posted);
  EXPECT_FALSE(form->Visible());
  EXPECT_TRUE(spooler.calls.empty());
}

TEST_F(FormTest, DestroyingTheApplicationReleasesTheWindow) {
  {
    vcl::TApplication scoped;
    TorlentForm* form = nullptr;
    scoped.CreateForm(&form, spooler);
    headless::Tick(*form->TimerEnumPrinter);
  }
  EXPECT_EQ(spooler.LiveBlocks(), 0);
  EXPECT_EQ(spooler.OpenHandles(), 0);
}

}  // namespace
