#include "tests/model/printer_factory.h"

namespace model {

namespace {

bool Taken(const std::vector<sim::Printer>& printers, const std::u16string& name) {
  for (const auto& printer : printers) {
    if (sim::SameName(printer.name, name)) return true;
  }
  return false;
}

}  // namespace

std::u16string PrinterFactory::Candidate() {
  // Mostly brand names; the rest differ from the brand prefix by case, a space or a letter.
  static const char* const kPrefixes[] = {"Kelvo",     "Kelvo ", "Kelvo ", "Kelvo-",
                                          "KelvoJet ", "Kelvo ", "kelvo ", "KELVO ",
                                          " Kelvo",    "Kelv",   "HP ",    ""};
  std::string name = kPrefixes[Below(static_cast<int>(std::size(kPrefixes)))];
  int length = Below(12);
  if (Below(40) == 0) length = 100 + Below(400);
  for (int i = 0; i < length; ++i) {
    switch (Below(10)) {
      case 0:  // any byte but NUL, including CR, LF and the upper half
        name.push_back(static_cast<char>(1 + Below(255)));
        break;
      case 1:
        name.push_back(static_cast<char>(0x80 + Below(128)));
        break;
      case 2:
        name.push_back(" \r\n\t,\\!?"[Below(8)]);
        break;
      default:
        name.push_back(static_cast<char>((Below(2) != 0 ? 'a' : 'A') + Below(26)));
    }
  }
  return sim::Latin1(name);
}

std::u16string PrinterFactory::NewName(const std::vector<sim::Printer>& taken,
                                       const std::vector<sim::Printer>& also_taken) {
  for (;;) {
    std::u16string name = Candidate();
    if (!Taken(taken, name) && !Taken(also_taken, name)) return name;
  }
}

short PrinterFactory::Paper() {
  static const short kSizes[] = {DMPAPER_LETTER, DMPAPER_A4, 5, 8, 11, 13, 256};
  return kSizes[Below(static_cast<int>(std::size(kSizes)))];
}

sim::Printer PrinterFactory::NewPrinter(const std::vector<sim::Printer>& taken,
                                        const std::vector<sim::Printer>& also_taken) {
  sim::Printer printer;
  printer.name = NewName(taken, also_taken);
  if (Below(5) == 0) printer.attributes |= PRINTER_ATTRIBUTE_WORK_OFFLINE;
  if (Below(4) == 0) printer.attributes |= 0x40;  // local, as most are
  // Some users may only print; some may manage the printer without changing its permissions.
  const ACCESS_MASK kGrants[] = {PRINTER_ACCESS_USE | READ_CONTROL,
                                 PRINTER_ACCESS_ADMINISTER | PRINTER_ACCESS_USE};
  if (Below(4) == 0) printer.grants = kGrants[Below(2)];
  printer.paper_size = Paper();
  // Texts that only some ANSI code pages carry.
  if (Below(8) == 0) printer.location = u"三楼 打印室";
  if (Below(8) == 0) printer.comment = u"Γραφείο";
  if (Below(8) == 0) printer.comment = u"Caf\u00E9";
  switch (Below(10)) {
    case 0:
      printer.private_bytes.reset();
      break;
    case 1:
      printer.private_bytes = std::vector<BYTE>(static_cast<size_t>(1 + Below(3000)), 0x5A);
      break;
    default:
      break;
  }
  return printer;
}

}  // namespace model
