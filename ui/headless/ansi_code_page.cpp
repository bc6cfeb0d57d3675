// The headless ANSI code pages: small stand-ins for the kinds of Windows code page that matter
// to the spooler's ANSI calls (one that loses what it lacks, one that also best-fits, a double-byte
// one, UTF-8).
#include <utility>

#include "ui/headless/headless.h"

namespace headless {

namespace {

CodePage current = CodePage::Latin1;

// Accented letters that the best-fit page turns into their plain ones, as CP950 does.
constexpr std::pair<char16_t, char> kBestFit[] = {
    {u'à', 'a'}, {u'á', 'a'}, {u'â', 'a'}, {u'ä', 'a'}, {u'ç', 'c'}, {u'è', 'e'},
    {u'é', 'e'}, {u'ê', 'e'}, {u'ë', 'e'}, {u'í', 'i'}, {u'ñ', 'n'}, {u'ó', 'o'},
    {u'ö', 'o'}, {u'ú', 'u'}, {u'ü', 'u'}, {u'É', 'E'}, {u'Ü', 'U'}};

char BestFit(char16_t c) {
  for (const auto& [from, to] : kBestFit) {
    if (from == c) return to;
  }
  return '\0';
}

void AppendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string EncodeUtf8(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;  // a lone surrogate
    }
    AppendUtf8(c, &out);
  }
  return out;
}

// The double-byte page's own numbering of the ideographs: lead bytes from 0x81, trail bytes
// 0x40-0xFE without 0x7F, as in GBK. Not GBK's order, which needs its table.
constexpr char16_t kFirstIdeograph = 0x4E00;
constexpr char16_t kLastIdeograph = 0x9FA5;
constexpr int kTrails = 190;

bool EncodeDoubleByte(char16_t c, std::string* out) {
  if (c < kFirstIdeograph || c > kLastIdeograph) return false;
  const int index = c - kFirstIdeograph;
  const int trail = 0x40 + index % kTrails;
  out->push_back(static_cast<char>(0x81 + index / kTrails));
  out->push_back(static_cast<char>(trail >= 0x7F ? trail + 1 : trail));
  return true;
}

std::u16string DecodeDoubleByte(const std::string& ansi) {
  std::u16string out;
  for (size_t i = 0; i < ansi.size(); ++i) {
    const auto lead = static_cast<unsigned char>(ansi[i]);
    if (lead < 0x80) {
      out.push_back(lead);
      continue;
    }
    const auto trail = i + 1 < ansi.size() ? static_cast<unsigned char>(ansi[i + 1]) : 0;
    const int index = (lead - 0x81) * kTrails + (trail > 0x7F ? trail - 0x41 : trail - 0x40);
    if (lead < 0x81 || lead == 0xFF || trail < 0x40 || trail == 0x7F || trail == 0xFF ||
        index > kLastIdeograph - kFirstIdeograph) {
      out.push_back(u'\uFFFD');
      continue;
    }
    out.push_back(static_cast<char16_t>(kFirstIdeograph + index));
    ++i;
  }
  return out;
}

std::u16string DecodeUtf8(const std::string& ansi) {
  std::u16string out;
  for (size_t i = 0; i < ansi.size();) {
    const auto lead = static_cast<unsigned char>(ansi[i]);
    const int extra = lead < 0x80                   ? 0
                      : lead >= 0xC2 && lead < 0xE0 ? 1
                      : lead >= 0xE0 && lead < 0xF0 ? 2
                      : lead >= 0xF0 && lead < 0xF5 ? 3
                                                    : -1;
    char32_t c = extra == 0 ? lead : extra == 1 ? lead & 0x1F : extra == 2 ? lead & 0x0F : lead & 7;
    bool valid = extra >= 0 && i + static_cast<size_t>(extra) < ansi.size();
    for (int k = 1; valid && k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(ansi[i + static_cast<size_t>(k)]);
      valid = (next & 0xC0) == 0x80;
      c = (c << 6) | (next & 0x3F);
    }
    const char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
    if (valid && (c < smallest[extra] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000))) {
      valid = false;
    }
    if (!valid) {
      out.push_back(u'\uFFFD');
      ++i;
      continue;
    }
    if (c >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

}  // namespace

void SetAnsiCodePage(CodePage page) { current = page; }
CodePage AnsiCodePage() { return current; }

std::string EncodeAnsi(CodePage page, const std::u16string& text, bool best_fit,
                       bool* used_default) {
  if (used_default != nullptr) *used_default = false;
  if (page == CodePage::Utf8) return EncodeUtf8(text);
  std::string out;
  for (const char16_t c : text) {
    const char16_t carried = page == CodePage::Latin1 ? 0xFF : 0x7F;
    if (page == CodePage::DoubleByte && EncodeDoubleByte(c, &out)) continue;
    if (c <= carried) {
      out.push_back(static_cast<char>(c));
    } else if (const char fit = page == CodePage::BestFit && best_fit ? BestFit(c) : '\0') {
      out.push_back(fit);
    } else {
      out.push_back('?');
      if (used_default != nullptr) *used_default = true;
    }
  }
  return out;
}

std::u16string DecodeAnsi(CodePage page, const std::string& ansi) {
  if (page == CodePage::Utf8) return DecodeUtf8(ansi);
  if (page == CodePage::DoubleByte) return DecodeDoubleByte(ansi);
  std::u16string out;
  for (const char c : ansi) {
    const auto byte = static_cast<unsigned char>(c);
    out.push_back(page == CodePage::Latin1 || byte < 0x80 ? static_cast<char16_t>(byte)
                                                          : u'\uFFFD');
  }
  return out;
}

}  // namespace headless
