#include "ui/list_choice.h"

namespace ui {

int SelectionAfterRebuild(const std::u16string* kept, bool was_empty, const std::u16string* names,
                          std::size_t count) {
  if (kept != nullptr) {
    for (std::size_t i = 0; i < count; ++i) {
      if (names[i] == *kept) return static_cast<int>(i);
    }
  }
  return was_empty && count == 1 ? 0 : -1;
}

bool OkEnabled(int selected, int count) { return selected >= 0 && selected < count; }

}  // namespace ui
