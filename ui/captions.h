// The window's captions in its two languages.
#pragma once

namespace ui {

struct Captions {
  const char16_t* window;
  const char16_t* title;
  const char16_t* ok;
  const char16_t* cancel;
  // Shown in the list while it holds no printer: why, and what is left out.
  const char16_t* empty_list;
};

// The built-in captions, kept for users whose language is Chinese (PRC).
extern const Captions kChineseCaptions;
extern const Captions kEnglishCaptions;

}  // namespace ui
