// Which printer the window chooses for the user and when OK can act, kept apart from the window
// layer so that host tests cover the choice.
#pragma once

#include <cstddef>
#include <string>

namespace ui {

// The item to select once the list has been rebuilt to `names` (`count` of them): the one named
// `kept`, the name selected before (null for none), while it is still listed; the only printer
// when the list fills from empty (`was_empty`); otherwise none, -1. With several printers the
// user chooses.
int SelectionAfterRebuild(const std::u16string* kept, bool was_empty, const std::u16string* names,
                          std::size_t count);

// OK acts on the selected item, so it is offered only while one of the `count` items is.
bool OkEnabled(int selected, int count);

}  // namespace ui
