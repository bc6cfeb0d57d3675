// libFuzzer target: printing::RefreshPrinterList over printer sets decoded from the input, with
// the spooler failing or the set growing under the refresh, checked after every refresh against
// what the list must show.
//
// Input, read front to back (missing bytes read as zero):
//   rounds: u8 (1 + value % 3)
//   per round:
//     mode: u8 - bits 0-1 fault (0 none, 1 LocalAlloc fails, 2 filling call fails, 3 the set
//                grows under the refresh), bit 2 keeps the previous printers and appends,
//                bits 3-4 the ANSI code page (0 and 3 Latin-1, 1 UTF-8, 2 best-fit), bits 5-6
//                how the ANSI calls fill (0 and 3 compact, 1 sized for the wide texts and cut, 2
//                sized for them and grown on the fill)
//     fault detail: u8 - error of a failed fill (even: short buffer, odd: other), or how many
//                printers appear (1 + value % 6)
//     count: u16 little-endian, % 400
//     per printer: length u8 (255: a u16 length % 4096 follows), then that many name bytes (cut
//                at the first NUL, as a C string), flags u8 - bit 0 offline, bit 1 prefix the
//                brand, bit 7: a u32 of raw attributes follows
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "printing/printer_list_refresh.h"
#include "tests/support/sim_spooler.h"
#include "ui/headless/headless.h"

namespace {

class Reader {
 public:
  Reader(const std::uint8_t* data, size_t size) : data_(data), size_(size) {}
  std::uint8_t U8() { return at_ < size_ ? data_[at_++] : 0; }
  std::uint16_t U16() { return static_cast<std::uint16_t>(U8() | (U8() << 8)); }
  std::uint32_t U32() { return U16() | (std::uint32_t{U16()} << 16); }
  std::string Bytes(size_t length) {
    std::string bytes;
    for (size_t i = 0; i < length && at_ < size_; ++i) bytes.push_back(static_cast<char>(U8()));
    return bytes;
  }

 private:
  const std::uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

sim::Printer ReadPrinter(Reader& in) {
  size_t length = in.U8();
  if (length == 255) length = in.U16() % 4096;
  std::string name = in.Bytes(length);
  name.resize(std::strlen(name.c_str()));
  const std::uint8_t flags = in.U8();
  sim::Printer printer;
  printer.name = sim::Latin1((flags & 2) != 0 ? "Kelvo" + name : name);
  printer.attributes = (flags & 1) != 0 ? PRINTER_ATTRIBUTE_WORK_OFFLINE : 0;
  if ((flags & 0x80) != 0) printer.attributes = in.U32();
  return printer;
}

// Names are made of bytes taken as code points: only the best-fit page, which carries ASCII
// alone, loses any of them, and a name it loses is not listed. None needs more room in UTF-8
// than in UTF-16, so no fill cuts one.
std::vector<vcl::UnicodeString> Eligible(const std::vector<sim::Printer>& printers,
                                         headless::CodePage page) {
  std::vector<vcl::UnicodeString> names;
  for (const auto& printer : printers) {
    if ((printer.attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE) != 0) continue;
    if (printer.name.rfind(u"Kelvo", 0) != 0) continue;
    bool carried = true;
    for (const char16_t c : printer.name) carried = carried && c < 0x80;
    if (page == headless::CodePage::BestFit && !carried) continue;
    names.push_back(printer.name);
  }
  return names;
}

std::vector<vcl::UnicodeString> Items(const vcl::TListBox& list) {
  std::vector<vcl::UnicodeString> items;
  for (int i = 0; i < list.Count(); ++i) items.push_back(list.Item(i));
  return items;
}

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  Reader in(data, size);
  sim::Spooler spooler;
  vcl::TForm form(nullptr);
  auto* list = new vcl::TListBox(&form);  // owned by the form
  printing::PrinterNameTable names;
  std::uint32_t count = 0;
  printing::NameVerdict verdict;

  const int rounds = 1 + in.U8() % 3;
  for (int round = 0; round < rounds; ++round) {
    const std::uint8_t mode = in.U8();
    const std::uint8_t detail = in.U8();
    static const headless::CodePage kPages[] = {
        headless::CodePage::Latin1, headless::CodePage::Utf8, headless::CodePage::BestFit,
        headless::CodePage::Latin1};
    const headless::CodePage page = kPages[(mode >> 3) & 3];
    spooler.SetCodePage(page);
    static const sim::Spooler::AnsiFill kFills[] = {
        sim::Spooler::AnsiFill::Compact, sim::Spooler::AnsiFill::CutToWide,
        sim::Spooler::AnsiFill::GrowOnFill, sim::Spooler::AnsiFill::Compact};
    spooler.ansi_fill = kFills[(mode >> 5) & 3];
    if ((mode & 4) == 0) spooler.printers.clear();
    const int printers = in.U16() % 400;
    for (int i = 0; i < printers; ++i) spooler.printers.push_back(ReadPrinter(in));

    const auto before = Items(*list);
    const int mutations_before = headless::ListMutations(*list);
    std::vector<sim::Printer> growth;
    size_t grown = 0;
    switch (mode & 3) {
      case 1:
        spooler.FailNext(sim::Op::LocalAlloc, ERROR_NOT_ENOUGH_MEMORY);
        break;
      case 2:
        spooler.FailNextFill(detail % 2 == 0 ? ERROR_INSUFFICIENT_BUFFER : ERROR_INVALID_PARAMETER);
        break;
      case 3:
        for (int i = 0; i < 1 + detail % 6; ++i) growth.push_back(ReadPrinter(in));
        spooler.after_call = [&](const sim::Call& call) {
          if (call.op == sim::Op::EnumPrinters && !call.has_buffer && grown < growth.size()) {
            spooler.printers.push_back(growth[grown++]);
          }
        };
        break;
      default:
        break;
    }

    printing::RefreshPrinterList(spooler, names, count, *list, verdict);
    spooler.after_call = nullptr;

    // The list box is the table, item by item, and never holds more than the table can.
    Require(count <= names.size());
    Require(list->Count() == static_cast<int>(count));
    for (std::uint32_t i = 0; i < count; ++i) Require(list->Item(static_cast<int>(i)) == names[i]);

    std::vector<vcl::UnicodeString> expected = Eligible(spooler.printers, page);
    if ((mode & 3) == 1 || ((mode & 3) == 3 && grown >= 4)) expected = before;  // kept as shown
    if ((mode & 3) == 2 && detail % 2 == 1) expected.clear();  // the records could not be read
    Require(Items(*list) == expected);
    // An unchanged set leaves the list box alone.
    if (expected == before) Require(headless::ListMutations(*list) == mutations_before);

    Require(spooler.LiveBlocks() == 0);
    Require(spooler.OpenHandles() == 0);
    Require(spooler.Violations() == 0);
  }
  return 0;
}
