// Finding a printer by typing, kept apart from the window layer so that host tests cover it.
// Every name begins with the brand, so a name is also found by what follows it; and Windows'
// list box searches by the first character alone under Wine, so the window searches itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ui {

class TypeAhead {
 public:
  // Characters typed no further apart than this make one search text.
  static constexpr std::uint32_t kPauseMs = 1000;

  // Adds `key`, typed at `time_ms` (a tick count, which may wrap), to the search text and
  // returns the item of `names` (`count` of them) to select: the first match at or after
  // `current` (-1 for none), going round to the top. A text of one character typed again and
  // again steps to the next name that begins with it. -1 when nothing matches.
  int Type(char16_t key, std::uint32_t time_ms, const std::u16string* names, std::size_t count,
           int current);

 private:
  std::u16string text_;
  std::uint32_t last_ms_ = 0;
};

// True when `typed` begins `name`, or the part of it after the brand and any spaces, whatever
// the letters' case.
bool MatchesTyped(const std::u16string& name, const std::u16string& typed);

}  // namespace ui
