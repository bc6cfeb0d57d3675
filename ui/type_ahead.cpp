#include "ui/type_ahead.h"

namespace ui {

namespace {

constexpr char16_t kBrand[] = u"Kelvo";

// Simple case folding for the scripts printer names come in: Latin, Greek, Cyrillic.
char16_t Fold(char16_t c) {
  if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
      (c >= 0x391 && c <= 0x3AB && c != 0x3A2) || (c >= 0x410 && c <= 0x42F)) {
    return static_cast<char16_t>(c + 0x20);
  }
  if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 0x50);
  return c;
}

bool StartsWithFolded(const std::u16string& text, std::size_t from, const std::u16string& typed) {
  if (text.size() - from < typed.size()) return false;
  for (std::size_t i = 0; i < typed.size(); ++i) {
    if (Fold(text[from + i]) != Fold(typed[i])) return false;
  }
  return true;
}

bool OneKeyRepeated(const std::u16string& text) {
  return text.size() > 1 && text.find_first_not_of(text[0]) == std::u16string::npos;
}

}  // namespace

bool MatchesTyped(const std::u16string& name, const std::u16string& typed) {
  if (StartsWithFolded(name, 0, typed)) return true;
  const std::u16string brand(kBrand);
  if (name.compare(0, brand.size(), brand) != 0) return false;
  std::size_t rest = brand.size();
  while (rest < name.size() && name[rest] == u' ') ++rest;
  return StartsWithFolded(name, rest, typed);
}

int TypeAhead::Type(char16_t key, std::uint32_t time_ms, const std::u16string* names,
                    std::size_t count, int current) {
  if (text_.empty() || time_ms - last_ms_ > kPauseMs) text_.clear();
  text_ += key;
  last_ms_ = time_ms;
  if (count == 0) return -1;

  const bool step = OneKeyRepeated(text_);
  const std::u16string wanted = step ? text_.substr(0, 1) : text_;
  std::size_t start = current >= 0 && static_cast<std::size_t>(current) < count
                          ? static_cast<std::size_t>(current)
                          : 0;
  if (step && current >= 0) start = (start + 1) % count;
  for (std::size_t n = 0; n < count; ++n) {
    const std::size_t i = (start + n) % count;
    if (MatchesTyped(names[i], wanted)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace ui
