#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/list_choice.h"
#include "ui/type_ahead.h"

namespace {

const std::vector<std::u16string> kNames = {u"Kelvo LP-1", u"Kelvo LP-2", u"Kelvo LP-3",
                                            u"Kelvo Office", u"Kelvo  lab"};

struct RebuildCase {
  const char* name;
  const char16_t* kept;  // null: nothing was selected
  bool was_empty;
  std::vector<std::u16string> names;
  int selected;
};

void PrintTo(const RebuildCase& c, std::ostream* out) { *out << c.name; }

class SelectionAfterRebuildTest : public ::testing::TestWithParam<RebuildCase> {};

TEST_P(SelectionAfterRebuildTest, KeepsTheChosenPrinterAndChoosesOnlyTheOnlyOne) {
  const RebuildCase& c = GetParam();
  const std::u16string kept = c.kept != nullptr ? c.kept : u"";
  EXPECT_EQ(ui::SelectionAfterRebuild(c.kept != nullptr ? &kept : nullptr, c.was_empty,
                                      c.names.data(), c.names.size()),
            c.selected);
}

INSTANTIATE_TEST_SUITE_P(
    Rebuilds, SelectionAfterRebuildTest,
    ::testing::Values(
        RebuildCase{"KeptWhereItMoved", u"Kelvo LP-3", false, {u"Kelvo LP-2", u"Kelvo LP-3"}, 1},
        RebuildCase{"GoneLeavesNone", u"Kelvo LP-1", false, {u"Kelvo LP-2", u"Kelvo LP-3"}, -1},
        RebuildCase{"GoneLeavesNoneAlsoWithOneLeft", u"Kelvo LP-1", false, {u"Kelvo LP-2"}, -1},
        RebuildCase{"OtherCaseIsAnotherName", u"Kelvo lp-2", false, {u"Kelvo LP-2"}, -1},
        RebuildCase{"OnlyPrinterFromEmpty", nullptr, true, {u"Kelvo LP-1"}, 0},
        RebuildCase{"SeveralFromEmptyLeftToTheUser", nullptr, true, {u"Kelvo A", u"Kelvo B"}, -1},
        RebuildCase{"OneLeftOfSeveralNotChosen", nullptr, false, {u"Kelvo LP-1"}, -1},
        RebuildCase{"EmptiedList", u"Kelvo LP-1", false, {}, -1}));

TEST(OkEnabledTest, OnlyWithAListedItemSelected) {
  const struct {
    int selected, count;
    bool enabled;
  } cases[] = {{-1, 3, false}, {0, 3, true}, {2, 3, true}, {3, 3, false}, {0, 0, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(ui::OkEnabled(c.selected, c.count), c.enabled) << c.selected << " of " << c.count;
  }
}

struct Key {
  char16_t key;
  std::uint32_t time_ms;
  int selected;  // expected after it: the item selected, or -1 for none
};

struct TypeCase {
  const char* name;
  int current;
  std::vector<Key> keys;
};

void PrintTo(const TypeCase& c, std::ostream* out) { *out << c.name; }

class TypeAheadTest : public ::testing::TestWithParam<TypeCase> {};

// Plays the keys as the window does: a match is selected, no match leaves the selection.
TEST_P(TypeAheadTest, FindsByTheStartOfTheNameOrOfWhatFollowsTheBrand) {
  const TypeCase& c = GetParam();
  ui::TypeAhead search;
  int current = c.current;
  for (size_t i = 0; i < c.keys.size(); ++i) {
    const Key& key = c.keys[i];
    const int found = search.Type(key.key, key.time_ms, kNames.data(), kNames.size(), current);
    if (found >= 0) current = found;
    EXPECT_EQ(current, key.selected) << "after key " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TypeAheadTest,
    ::testing::Values(
        TypeCase{"AfterTheBrand", -1, {{'l', 0, 0}, {'p', 100, 0}, {'-', 200, 0}, {'3', 300, 2}}},
        TypeCase{"WholeName",
                 -1,
                 {{'k', 0, 0},
                  {'e', 10, 0},
                  {'l', 20, 0},
                  {'v', 30, 0},
                  {'o', 40, 0},
                  {' ', 50, 0},
                  {'l', 60, 0},
                  {'p', 70, 0},
                  {'-', 80, 0},
                  {'2', 90, 1}}},
        TypeCase{"AnyCase", -1, {{'L', 0, 0}, {'P', 10, 0}, {'-', 20, 0}, {'3', 30, 2}}},
        TypeCase{"SpacesAfterTheBrand", -1, {{'l', 0, 0}, {'a', 10, 4}}},
        TypeCase{"PauseStartsAnew", -1, {{'l', 0, 0}, {'p', 100, 0}, {'o', 1200, 3}}},
        TypeCase{"SecondApartIsStillOneText", -1, {{'l', 0, 0}, {'a', 1000, 4}}},
        TypeCase{"PastASecondIsNot", -1, {{'l', 0, 0}, {'a', 1001, 0}}},
        TypeCase{"TickCountWraps", -1, {{'l', 0xFFFFFF00u, 0}, {'a', 0x100, 4}}},
        TypeCase{"RepeatedLetterSteps",
                 -1,
                 {{'l', 0, 0}, {'l', 100, 1}, {'l', 200, 2}, {'l', 300, 4}, {'l', 400, 0}}},
        TypeCase{"AtOrAfterTheCurrentItem", 2, {{'l', 0, 2}, {'p', 10, 2}, {'-', 20, 2}}},
        TypeCase{"GoesRoundToTheTop", 3, {{'l', 0, 4}, {'p', 10, 0}}},
        TypeCase{"NoMatchKeepsTheSelection", 1, {{'x', 0, 1}, {'l', 2000, 1}, {'q', 2100, 1}}}));

}  // namespace
