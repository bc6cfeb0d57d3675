#include "tests/support/sim_spooler.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace sim {

namespace {

constexpr SIZE_T kLargestBlock = SIZE_T{1} << 31;

DWORD Align8(DWORD n) { return (n + 7u) & ~7u; }
constexpr DWORD kSecurityDescriptorSize = 24;

// The printer's generic mapping, as the spooler applies it to an open's desired access;
// MAXIMUM_ALLOWED takes whatever the printer grants.
ACCESS_MASK PrinterRights(ACCESS_MASK desired, ACCESS_MASK grants) {
  ACCESS_MASK rights =
      desired & ~(GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE | GENERIC_ALL | MAXIMUM_ALLOWED);
  if (desired & (GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE)) {
    rights |= READ_CONTROL | PRINTER_ACCESS_USE;
  }
  if (desired & GENERIC_ALL) rights |= PRINTER_ALL_ACCESS;
  if (desired & MAXIMUM_ALLOWED) rights |= grants;
  return rights;
}

char16_t FoldAscii(char16_t c) {
  return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

}  // namespace

bool SameName(const std::u16string& a, const std::u16string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char16_t x, char16_t y) { return FoldAscii(x) == FoldAscii(y); });
}

std::u16string Latin1(const std::string& bytes) {
  std::u16string text;
  for (const char c : bytes) text.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
  return text;
}

const char* OpName(Op op) {
  switch (op) {
    case Op::EnumPrinters:
      return "EnumPrintersA";
    case Op::EnumPrintersW:
      return "EnumPrintersW";
    case Op::OpenPrinter:
      return "OpenPrinterA";
    case Op::GetPrinter:
      return "GetPrinterA";
    case Op::GetPrinterW:
      return "GetPrinterW";
    case Op::DocumentProperties:
      return "DocumentPropertiesA";
    case Op::SetPrinter:
      return "SetPrinterA";
    case Op::ClosePrinter:
      return "ClosePrinter";
    case Op::LocalAlloc:
      return "LocalAlloc";
    case Op::LocalFree:
      return "LocalFree";
    case Op::GlobalAlloc:
      return "GlobalAlloc";
    case Op::GlobalFree:
      return "GlobalFree";
  }
  return "?";
}

Spooler::Spooler() {
  headless::AddLiveProbe(this, [this] { return OpenHandles() + LiveBlocks(); });
}

Spooler::~Spooler() {
  headless::RemoveLiveProbe(this);
  for (auto& block : blocks_) std::free(block.first);
}

void Spooler::SetCodePage(headless::CodePage page) {
  code_page_ = page;
  headless::SetAnsiCodePage(page);
}

std::string Spooler::ToAnsi(const std::u16string& text) const {
  return headless::EncodeAnsi(code_page_, text, true, nullptr);
}

void Spooler::FailNext(Op op, DWORD error, int times) {
  for (int i = 0; i < times; ++i) failures_[{op, false}].push_back(error);
}

void Spooler::FailNextFill(DWORD error, int times, Op op) {
  for (int i = 0; i < times; ++i) failures_[{op, true}].push_back(error);
}

bool Spooler::TakeFailure(Op op, bool filling) {
  if (fail_call_ && fail_call_->first == calls.size()) {
    last_error_ = fail_call_->second;
    fail_call_.reset();
    return true;
  }
  for (const bool key : {filling, false}) {
    if (key && !filling) continue;
    auto it = failures_.find({op, key});
    if (it != failures_.end() && !it->second.empty()) {
      last_error_ = it->second.front();
      it->second.erase(it->second.begin());
      return true;
    }
  }
  return false;
}

void Spooler::Record(Call call) {
  calls.push_back(call);
  if (after_call) after_call(calls.back());
}

BOOL Spooler::Fail(DWORD error) {
  last_error_ = error;
  return FALSE;
}

Printer* Spooler::Find(const std::u16string& name) {
  for (auto& printer : printers) {
    if (SameName(printer.name, name)) return &printer;
  }
  return nullptr;
}

Printer* Spooler::Find(const std::string& ansi_name) {
  return Find(headless::DecodeAnsi(code_page_, ansi_name));
}

Printer& Spooler::Add(const std::u16string& name, DWORD attributes) {
  Printer printer;
  printer.name = name;
  printer.attributes = attributes;
  printers.push_back(printer);
  return printers.back();
}

Printer& Spooler::Add(const std::string& ansi_name, DWORD attributes) {
  return Add(headless::DecodeAnsi(code_page_, ansi_name), attributes);
}

std::vector<Op> Spooler::Ops() const {
  std::vector<Op> ops;
  for (const auto& call : calls) ops.push_back(call.op);
  return ops;
}

bool Spooler::Holds(HANDLE printer, ACCESS_MASK needed) {
  auto handle = handles_.find(printer);
  if (handle != handles_.end() && (handle->second.access & needed) == needed) return true;
  Fail(ERROR_ACCESS_DENIED);
  return false;
}

Printer* Spooler::Target(HANDLE printer) {
  auto handle = handles_.find(printer);
  if (handle == handles_.end()) return nullptr;
  for (auto& candidate : printers) {
    if (candidate.id == handle->second.printer) return &candidate;
  }
  return nullptr;
}

DWORD Spooler::Lay(const std::vector<const Printer*>& list, Layout layout, LPBYTE buffer,
                   DWORD size, Room room) {
  const bool ansi = layout == Layout::Ansi2;
  const DWORD record_size = layout == Layout::Ansi2   ? sizeof(PRINTER_INFO_2A)
                            : layout == Layout::Wide2 ? sizeof(PRINTER_INFO_2W)
                                                      : sizeof(PRINTER_INFO_4W);
  DWORD cursor = static_cast<DWORD>(list.size() * record_size);
  auto put = [&](DWORD offset, const void* data, DWORD length) {
    if (buffer == nullptr) return false;
    if (offset > size || length > size - offset) {
      ++violations_;
      return false;
    }
    if (length != 0) std::memcpy(buffer + offset, data, length);
    return true;
  };
  // Returns where the text went, as LPSTR or LPWSTR; null for a text left out.
  auto put_text = [&](const std::u16string& text, bool optional) -> void* {
    if (optional && text.empty()) {
      const bool missing =
          empty_text_missing == EmptyTextMissing::InBoth ||
          empty_text_missing == (ansi ? EmptyTextMissing::InAnsi : EmptyTextMissing::InWide);
      if (missing) return nullptr;
    }
    const DWORD at = cursor;
    if (ansi) {
      std::string converted = ToAnsi(text);
      const auto own = static_cast<DWORD>(converted.size() + 1);
      const auto wide_room = static_cast<DWORD>((text.size() + 1) * sizeof(char16_t));
      const DWORD room_taken = room == Room::Own    ? own
                               : room == Room::Wide ? wide_room
                                                    : std::max(own, wide_room);
      // Cut at whole characters, a surrogate pair being one.
      for (size_t kept = text.size(); converted.size() >= room_taken && kept > 0;) {
        --kept;
        if (kept > 0 && text[kept] >= 0xDC00 && text[kept] < 0xE000) --kept;
        converted = ToAnsi(text.substr(0, kept));
      }
      cursor += room_taken;
      return put(at, converted.c_str(), static_cast<DWORD>(converted.size() + 1)) ? buffer + at
                                                                                  : nullptr;
    }
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(char16_t));
    cursor += bytes;
    return put(at, text.c_str(), bytes) ? buffer + at : nullptr;
  };
  for (size_t i = 0; i < list.size(); ++i) {
    const Printer& printer = *list[i];
    const DWORD record_at = static_cast<DWORD>(i * record_size);
    if (layout == Layout::Wide4) {
      PRINTER_INFO_4W record{};
      record.pPrinterName = static_cast<LPWSTR>(put_text(printer.name, false));
      if (!printer.server.empty()) {
        record.pServerName = static_cast<LPWSTR>(put_text(printer.server, false));
      }
      record.Attributes = printer.attributes;
      put(record_at, &record, sizeof(record));
      continue;
    }
    void* texts[11] = {};
    const std::u16string* fields[11] = {
        &printer.server,          &printer.name,     &printer.share,     &printer.port,
        &printer.driver,          &printer.comment,  &printer.location,  &printer.sep_file,
        &printer.print_processor, &printer.datatype, &printer.parameters};
    for (int f = 0; f < 11; ++f) {
      if (f == 0 && printer.server.empty()) continue;  // local printers have no server name
      const bool optional = f == 2 || f == 5 || f == 6 || f == 7 || f == 10;
      texts[f] = put_text(*fields[f], optional);
    }
    cursor = Align8(cursor);
    // Stands in for the printer's permissions, which a level-2 set would rewrite.
    const BYTE security[kSecurityDescriptorSize] = {1, 0, 4, 0x80};
    void* security_at = put(cursor, security, kSecurityDescriptorSize) ? buffer + cursor : nullptr;
    cursor += kSecurityDescriptorSize;
    // The wide record leaves the settings out: only its texts are read.
    void* devmode_at = nullptr;
    if (ansi && printer.private_bytes) {
      DEVMODEA devmode{};
      const std::string device = ToAnsi(printer.name);
      std::strncpy(reinterpret_cast<char*>(devmode.dmDeviceName), device.c_str(),
                   sizeof(devmode.dmDeviceName) - 1);
      devmode.dmSize = sizeof(DEVMODEA);
      devmode.dmDriverExtra = static_cast<WORD>(printer.private_bytes->size());
      devmode.dmFields = DM_PAPERSIZE;
      devmode.dmPaperSize = printer.paper_size;
      const DWORD at = cursor;
      cursor += sizeof(DEVMODEA) + devmode.dmDriverExtra;
      if (put(at, &devmode, sizeof(devmode)) &&
          put(at + sizeof(DEVMODEA), printer.private_bytes->data(), devmode.dmDriverExtra)) {
        devmode_at = buffer + at;
      }
      cursor = Align8(cursor);
    }
    if (ansi) {
      PRINTER_INFO_2A record{};
      LPSTR* slots[11] = {&record.pServerName, &record.pPrinterName, &record.pShareName,
                          &record.pPortName,   &record.pDriverName,  &record.pComment,
                          &record.pLocation,   &record.pSepFile,     &record.pPrintProcessor,
                          &record.pDatatype,   &record.pParameters};
      for (int f = 0; f < 11; ++f) *slots[f] = static_cast<LPSTR>(texts[f]);
      record.pDevMode = static_cast<PDEVMODEA>(devmode_at);
      record.pSecurityDescriptor = security_at;
      record.Attributes = printer.attributes;
      put(record_at, &record, sizeof(record));
    } else {
      PRINTER_INFO_2W record{};
      LPWSTR* slots[11] = {&record.pServerName, &record.pPrinterName, &record.pShareName,
                           &record.pPortName,   &record.pDriverName,  &record.pComment,
                           &record.pLocation,   &record.pSepFile,     &record.pPrintProcessor,
                           &record.pDatatype,   &record.pParameters};
      for (int f = 0; f < 11; ++f) *slots[f] = static_cast<LPWSTR>(texts[f]);
      record.pSecurityDescriptor = security_at;
      record.Attributes = printer.attributes;
      put(record_at, &record, sizeof(record));
    }
  }
  return cursor;
}

DWORD Spooler::AnsiSizes(const std::vector<const Printer*>& list, DWORD* fill_needs,
                         Room* fill_room) {
  const Room sized = ansi_fill == AnsiFill::Compact ? Room::Own : Room::Wide;
  *fill_room = ansi_fill == AnsiFill::GrowOnFill ? Room::Larger : sized;
  const DWORD reported = Lay(list, Layout::Ansi2, nullptr, 0, sized);
  *fill_needs = *fill_room == sized ? reported : Lay(list, Layout::Ansi2, nullptr, 0, *fill_room);
  return reported;
}

SIZE_T Spooler::RoomAt(const void* p) const {
  const auto* at = static_cast<const BYTE*>(p);
  for (const auto& block : blocks_) {
    const auto* base = static_cast<const BYTE*>(block.first);
    if (at >= base && at < base + block.second.size) {
      return block.second.size - static_cast<SIZE_T>(at - base);
    }
  }
  return 0;
}

BOOL Spooler::Enumerate(Op op, DWORD flags, bool named, DWORD level, LPBYTE buffer, DWORD size,
                        LPDWORD needed, LPDWORD returned) {
  Call call;
  call.op = op;
  call.level = level;
  call.has_buffer = buffer != nullptr;
  call.size = size;
  BOOL result = FALSE;
  std::vector<const Printer*> list;
  for (const auto& printer : printers) list.push_back(&printer);
  const bool wide = op == Op::EnumPrintersW;
  const bool level_ok = level == 2 || (wide && level == 4);
  const Layout layout = !wide ? Layout::Ansi2 : level == 2 ? Layout::Wide2 : Layout::Wide4;
  Room room = Room::Own;
  DWORD fill_needs = 0;
  DWORD total = !level_ok ? 0
                : wide    ? Lay(list, layout, nullptr, 0)
                          : AnsiSizes(list, &fill_needs, &room);
  if (needed_override != 0 && !wide) total = needed_override;
  if (TakeFailure(op, buffer != nullptr)) {
    *needed = total;
    // A spooler that fails late has already written its records.
    if (failed_fill_writes_records && buffer != nullptr && size >= total && size >= fill_needs &&
        level_ok) {
      const DWORD error = last_error_;
      Lay(list, layout, buffer, size, room);
      *returned = static_cast<DWORD>(list.size());
      last_error_ = error;
    }
  } else if (flags != PRINTER_ENUM_LOCAL || named || !level_ok) {
    Fail(ERROR_INVALID_PARAMETER);
  } else {
    *needed = total;
    if (buffer == nullptr || size < total) {
      Fail(ERROR_INSUFFICIENT_BUFFER);
    } else if (size < fill_needs) {
      *needed = fill_needs;
      Fail(ERROR_INSUFFICIENT_BUFFER);
    } else {
      Lay(list, layout, buffer, size, room);
      const auto extra = overcount.find(op);
      *returned = static_cast<DWORD>(list.size()) + (extra != overcount.end() ? extra->second : 0);
      result = TRUE;
    }
  }
  call.result = result;
  Record(call);
  return result;
}

BOOL Spooler::EnumPrintersA(DWORD flags, LPSTR name, DWORD level, LPBYTE buffer, DWORD size,
                            LPDWORD needed, LPDWORD returned) {
  return Enumerate(Op::EnumPrinters, flags, name != nullptr, level, buffer, size, needed, returned);
}

BOOL Spooler::EnumPrintersW(DWORD flags, LPWSTR name, DWORD level, LPBYTE buffer, DWORD size,
                            LPDWORD needed, LPDWORD returned) {
  return Enumerate(Op::EnumPrintersW, flags, name != nullptr, level, buffer, size, needed,
                   returned);
}

BOOL Spooler::OpenPrinterA(LPSTR name, HANDLE* printer, PRINTER_DEFAULTSA* defaults) {
  Call call;
  call.op = Op::OpenPrinter;
  call.name = name != nullptr ? name : "";
  call.access = defaults != nullptr ? defaults->DesiredAccess : 0;
  BOOL result = FALSE;
  *printer = nullptr;
  // The ANSI name is converted first: a name the code page lost opens whichever printer has
  // the converted one.
  Printer* target = name != nullptr ? Find(std::string(name)) : nullptr;
  // Null defaults, or none asked for, open for use.
  const ACCESS_MASK grants = target != nullptr ? target->grants : 0;
  const ACCESS_MASK asked =
      call.access != 0 ? PrinterRights(call.access, grants) : ACCESS_MASK{PRINTER_ACCESS_USE};
  if (TakeFailure(Op::OpenPrinter)) {
  } else if (target == nullptr) {
    Fail(ERROR_INVALID_PRINTER_NAME);
  } else if ((asked & ~grants) != 0) {
    Fail(ERROR_ACCESS_DENIED);
  } else {
    if (target->id == 0) target->id = next_id_++;
    auto handle = reinterpret_cast<HANDLE>(next_handle_++);
    handles_[handle] = Handle{target->id, asked};
    *printer = handle;
    result = TRUE;
  }
  if (!result) *printer = failed_open_leaves;
  call.result = result;
  Record(call);
  return result;
}

BOOL Spooler::GetRecord(Op op, HANDLE printer, DWORD level, LPBYTE buffer, DWORD size,
                        LPDWORD needed) {
  Call call;
  call.op = op;
  call.level = level;
  call.has_buffer = buffer != nullptr;
  call.size = size;
  BOOL result = FALSE;
  const bool known = handles_.count(printer) != 0;
  const Printer* target = Target(printer);
  if (target != nullptr) call.name = ToAnsi(target->name);
  if (TakeFailure(op, buffer != nullptr)) {
  } else if (!known) {
    Fail(ERROR_INVALID_HANDLE);
  } else if (target == nullptr) {
    Fail(ERROR_INVALID_PRINTER_NAME);
  } else if (level != 2) {
    Fail(ERROR_INVALID_PARAMETER);
  } else if (!Holds(printer, PRINTER_ACCESS_USE)) {
  } else {
    const Layout layout = op == Op::GetPrinter ? Layout::Ansi2 : Layout::Wide2;
    Room room = Room::Own;
    DWORD fill_needs = 0;
    *needed = layout == Layout::Wide2 ? Lay({target}, layout, nullptr, 0)
                                      : AnsiSizes({target}, &fill_needs, &room);
    if (buffer == nullptr && sizing_reports.count(op) != 0) *needed = sizing_reports[op];
    if (buffer == nullptr && sizing_get_succeeds) {
      result = TRUE;
    } else if (buffer == nullptr || size < *needed) {
      Fail(ERROR_INSUFFICIENT_BUFFER);
    } else if (size < fill_needs) {
      *needed = fill_needs;
      Fail(ERROR_INSUFFICIENT_BUFFER);
    } else {
      Lay({target}, layout, buffer, size, room);
      result = TRUE;
    }
  }
  call.result = result;
  Record(call);
  return result;
}

BOOL Spooler::GetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
  return GetRecord(Op::GetPrinter, printer, level, buffer, size, needed);
}

BOOL Spooler::GetPrinterW(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
  return GetRecord(Op::GetPrinterW, printer, level, buffer, size, needed);
}

LONG Spooler::DocumentPropertiesA(HWND owner, HANDLE printer, LPSTR device, PDEVMODEA output,
                                  PDEVMODEA input, DWORD mode) {
  Call call;
  call.op = Op::DocumentProperties;
  call.name = device != nullptr ? device : "";
  call.owner = owner;
  call.output = output;
  call.input = input;
  call.mode = mode;
  LONG result = -1;
  Printer* target = Target(printer);
  const DWORD driver_size = sizeof(DEVMODEA) + driver_private_size;
  if (TakeFailure(Op::DocumentProperties) || target == nullptr) {
    if (target == nullptr) last_error_ = ERROR_INVALID_HANDLE;
  } else if (mode == 0) {
    result = reported_devmode_size ? *reported_devmode_size : static_cast<LONG>(driver_size);
  } else {
    short paper = target->paper_size;
    bool read_ok = true;
    std::vector<BYTE> kept_extra;
    if ((mode & DM_IN_BUFFER) != 0 && input != nullptr) {
      if (RoomAt(input) < sizeof(DEVMODEA) ||
          RoomAt(input) < SIZE_T{input->dmSize} + input->dmDriverExtra) {
        ++violations_;
        read_ok = false;
      } else {
        paper = input->dmPaperSize;
        if (keeps_larger_input && SIZE_T{input->dmSize} + input->dmDriverExtra > driver_size) {
          const auto* extra = reinterpret_cast<const BYTE*>(input) + input->dmSize;
          kept_extra.assign(extra, extra + input->dmDriverExtra);
        }
      }
    }
    result = read_ok ? IDOK : -1;
    // The dialog may change the printer set; nothing may point into it across the call.
    const std::string target_name = ToAnsi(target->name);
    target = nullptr;
    if (read_ok && (mode & DM_IN_PROMPT) != 0) {
      Dialog dialog_state{call.name, paper};
      result = dialog ? dialog(dialog_state) : IDOK;
      if (result == IDOK) paper = dialog_state.paper_size;
    }
    const WORD extra_size =
        kept_extra.empty() ? driver_private_size : static_cast<WORD>(kept_extra.size());
    const SIZE_T written = sizeof(DEVMODEA) + extra_size + writes_past_devmode;
    if (result > 0 && (mode & DM_OUT_BUFFER) != 0 && output != nullptr) {
      if (RoomAt(output) < written) {
        ++violations_;
        result = -1;
      } else {
        std::memset(output, 0, written);
        std::strncpy(reinterpret_cast<char*>(output->dmDeviceName), target_name.c_str(),
                     sizeof(output->dmDeviceName) - 1);
        output->dmSize = sizeof(DEVMODEA);
        output->dmDriverExtra = extra_size;
        output->dmFields = DM_PAPERSIZE;
        output->dmPaperSize = paper;
        auto* extra = reinterpret_cast<BYTE*>(output) + sizeof(DEVMODEA);
        for (WORD i = 0; i < extra_size; ++i) {
          extra[i] = kept_extra.empty() ? static_cast<BYTE>(0xD0 + i) : kept_extra[i];
        }
      }
    }
  }
  call.result = result;
  Record(call);
  return result;
}

BOOL Spooler::SetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD command) {
  Call call;
  call.op = Op::SetPrinter;
  call.level = level;
  call.has_buffer = buffer != nullptr;
  call.mode = command;
  BOOL result = FALSE;
  const bool known = handles_.count(printer) != 0;
  Printer* target = Target(printer);
  if (target != nullptr) call.name = ToAnsi(target->name);
  PRINTER_INFO_2A record{};
  if (buffer != nullptr && RoomAt(buffer) >= sizeof(record)) {
    std::memcpy(&record, buffer, sizeof(record));
    call.security_descriptor = record.pSecurityDescriptor;
  }
  auto text = [this](LPSTR ansi) { return headless::DecodeAnsi(code_page_, ansi); };
  const Printer* holder = nullptr;
  if (target != nullptr && record.pPrinterName != nullptr) holder = Find(text(record.pPrinterName));
  if (TakeFailure(Op::SetPrinter)) {
  } else if (!known) {
    Fail(ERROR_INVALID_HANDLE);
  } else if (target == nullptr) {
    Fail(ERROR_INVALID_PRINTER_NAME);
  } else if (level != 2 || command != 0 || buffer == nullptr || RoomAt(buffer) < sizeof(record)) {
    Fail(ERROR_INVALID_PARAMETER);
  } else if (!Holds(printer, record.pSecurityDescriptor != nullptr
                                 ? PRINTER_ACCESS_ADMINISTER | WRITE_DAC
                                 : PRINTER_ACCESS_ADMINISTER)) {
  } else if (holder != nullptr && holder != target) {
    Fail(ERROR_PRINTER_ALREADY_EXISTS);  // renaming onto another printer's name
  } else {
    if (record.pDevMode != nullptr) {
      const DEVMODEA* devmode = record.pDevMode;
      if (RoomAt(devmode) < sizeof(DEVMODEA) ||
          RoomAt(devmode) < SIZE_T{devmode->dmSize} + devmode->dmDriverExtra) {
        ++violations_;
        call.result = Fail(ERROR_INVALID_PARAMETER);
        Record(call);
        return FALSE;
      }
      target->paper_size = devmode->dmPaperSize;
      const auto* extra = reinterpret_cast<const BYTE*>(devmode) + devmode->dmSize;
      target->private_bytes = std::vector<BYTE>(extra, extra + devmode->dmDriverExtra);
    }
    target->attributes = record.Attributes;
    // Every text comes back through the code page: what it lost is lost for good.
    const std::pair<LPSTR, std::u16string*> texts[] = {
        {record.pServerName, &target->server},
        {record.pPrinterName, &target->name},
        {record.pShareName, &target->share},
        {record.pPortName, &target->port},
        {record.pDriverName, &target->driver},
        {record.pComment, &target->comment},
        {record.pLocation, &target->location},
        {record.pSepFile, &target->sep_file},
        {record.pPrintProcessor, &target->print_processor},
        {record.pDatatype, &target->datatype},
        {record.pParameters, &target->parameters}};
    for (const auto& [ansi, field] : texts) {
      if (ansi != nullptr) *field = text(ansi);
    }
    target->last_security_descriptor = record.pSecurityDescriptor;
    ++target->sets;
    result = TRUE;
  }
  call.result = result;
  Record(call);
  return result;
}

BOOL Spooler::ClosePrinter(HANDLE printer) {
  Call call;
  call.op = Op::ClosePrinter;
  auto handle = handles_.find(printer);
  BOOL result = FALSE;
  if (handle == handles_.end()) {
    ++violations_;
    Fail(ERROR_INVALID_HANDLE);
  } else {
    if (const Printer* target = Target(printer)) call.name = ToAnsi(target->name);
    handles_.erase(handle);
    last_error_ = 0;  // as a real close may
    result = TRUE;
  }
  call.result = result;
  Record(call);
  return result;
}

int Spooler::WideCharToMultiByte(UINT code_page, DWORD flags, LPCWSTR wide, int wide_length,
                                 LPSTR ansi, int ansi_size, LPCSTR default_char,
                                 LPBOOL used_default) {
  const bool utf8 = code_page_ == headless::CodePage::Utf8;
  if ((code_page != CP_ACP && code_page != GetACP()) || wide == nullptr || ansi_size < 0 ||
      default_char != nullptr || (utf8 && used_default != nullptr)) {
    last_error_ = ERROR_INVALID_PARAMETER;
    return 0;
  }
  // As documented: UTF-8 takes no flag but WC_ERR_INVALID_CHARS, which no other page here takes.
  if ((flags & ~(utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS)) != 0) {
    last_error_ = ERROR_INVALID_FLAGS;
    return 0;
  }
  std::u16string text = wide_length < 0 ? std::u16string(wide)
                                        : std::u16string(wide, static_cast<size_t>(wide_length));
  if ((flags & WC_ERR_INVALID_CHARS) != 0) {
    for (size_t i = 0; i < text.size(); ++i) {
      const bool high = text[i] >= 0xD800 && text[i] < 0xDC00;
      const bool low_next = i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
      if (high && low_next) {
        ++i;
      } else if (text[i] >= 0xD800 && text[i] < 0xE000) {
        last_error_ = ERROR_NO_UNICODE_TRANSLATION;
        return 0;
      }
    }
  }
  bool defaulted = false;
  std::string converted =
      headless::EncodeAnsi(code_page_, text, (flags & WC_NO_BEST_FIT_CHARS) == 0, &defaulted);
  if (wide_length < 0) converted.push_back('\0');
  if (used_default != nullptr) *used_default = defaulted ? TRUE : FALSE;
  const int length = static_cast<int>(converted.size());
  if (ansi_size == 0) return length;
  if (ansi_size < length) {
    last_error_ = ERROR_INSUFFICIENT_BUFFER;
    return 0;
  }
  std::memcpy(ansi, converted.data(), converted.size());
  return length;
}

void* Spooler::Allocate(bool global, UINT flags, SIZE_T bytes) {
  Call call;
  call.op = global ? Op::GlobalAlloc : Op::LocalAlloc;
  call.size = static_cast<DWORD>(bytes);
  call.mode = flags;
  void* block = nullptr;
  if (TakeFailure(call.op)) {
  } else if (bytes > kLargestBlock) {
    last_error_ = ERROR_NOT_ENOUGH_MEMORY;
  } else {
    block = std::calloc(bytes == 0 ? 1 : bytes, 1);
    blocks_[block] = Block{bytes, global};
  }
  call.result = block != nullptr;
  Record(call);
  return block;
}

void* Spooler::Free(bool global, void* block) {
  Call call;
  call.op = global ? Op::GlobalFree : Op::LocalFree;
  auto it = blocks_.find(block);
  void* result = nullptr;
  if (it == blocks_.end() || it->second.global != global) {
    ++violations_;
    result = block;
  } else {
    std::free(block);
    blocks_.erase(it);
    last_error_ = 0;  // as a real free may
  }
  call.result = result == nullptr;
  Record(call);
  return result;
}

HLOCAL Spooler::LocalAlloc(UINT flags, SIZE_T bytes) { return Allocate(false, flags, bytes); }
HLOCAL Spooler::LocalFree(HLOCAL block) { return Free(false, block); }
HGLOBAL Spooler::GlobalAlloc(UINT flags, SIZE_T bytes) { return Allocate(true, flags, bytes); }
HGLOBAL Spooler::GlobalFree(HGLOBAL block) { return Free(true, block); }

}  // namespace sim
