#include "tests/support/sim_spooler.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>

namespace sim {

namespace {

constexpr SIZE_T kLargestBlock = SIZE_T{1} << 31;

DWORD Align8(DWORD n) { return (n + 7u) & ~7u; }
constexpr DWORD kSecurityDescriptorSize = 24;

}  // namespace

const char* OpName(Op op) {
  switch (op) {
    case Op::EnumPrinters:
      return "EnumPrintersA";
    case Op::OpenPrinter:
      return "OpenPrinterA";
    case Op::GetPrinter:
      return "GetPrinterA";
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

Spooler::Spooler() = default;

Spooler::~Spooler() {
  for (auto& block : blocks_) std::free(block.first);
}

void Spooler::FailNext(Op op, DWORD error, int times) {
  for (int i = 0; i < times; ++i) failures_[{op, false}].push_back(error);
}

void Spooler::FailNextFill(DWORD error, int times) {
  for (int i = 0; i < times; ++i) failures_[{Op::EnumPrinters, true}].push_back(error);
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

Printer* Spooler::Find(const std::string& name) {
  for (auto& printer : printers) {
    if (strcasecmp(printer.name.c_str(), name.c_str()) == 0) return &printer;
  }
  return nullptr;
}

Printer& Spooler::Add(const std::string& name, DWORD attributes) {
  Printer printer;
  printer.name = name;
  printer.attributes = attributes;
  printers.push_back(printer);
  return printers.back();
}

std::vector<Op> Spooler::Ops() const {
  std::vector<Op> ops;
  for (const auto& call : calls) ops.push_back(call.op);
  return ops;
}

DWORD Spooler::RecordSize(const Printer& printer) const {
  DWORD size = sizeof(PRINTER_INFO_2A);
  for (const std::string* s : {&printer.name, &printer.port, &printer.driver,
                               &printer.print_processor, &printer.datatype}) {
    size += static_cast<DWORD>(s->size() + 1);
  }
  size = Align8(size) + kSecurityDescriptorSize;
  if (printer.private_bytes) {
    size += Align8(sizeof(DEVMODEA) + static_cast<DWORD>(printer.private_bytes->size()));
  }
  return size;
}

void Spooler::WriteRecords(const std::vector<const Printer*>& list, LPBYTE buffer, DWORD size) {
  DWORD cursor = static_cast<DWORD>(list.size() * sizeof(PRINTER_INFO_2A));
  auto put = [&](DWORD offset, const void* data, DWORD length) {
    if (offset > size || length > size - offset) {
      ++violations_;
      return false;
    }
    if (length != 0) std::memcpy(buffer + offset, data, length);
    return true;
  };
  auto put_string = [&](const std::string& s) -> LPSTR {
    const DWORD at = cursor;
    cursor += static_cast<DWORD>(s.size() + 1);
    return put(at, s.c_str(), static_cast<DWORD>(s.size() + 1))
               ? reinterpret_cast<LPSTR>(buffer + at)
               : nullptr;
  };
  for (size_t i = 0; i < list.size(); ++i) {
    const Printer& printer = *list[i];
    PRINTER_INFO_2A record{};
    record.pPrinterName = put_string(printer.name);
    record.pPortName = put_string(printer.port);
    record.pDriverName = put_string(printer.driver);
    record.pPrintProcessor = put_string(printer.print_processor);
    record.pDatatype = put_string(printer.datatype);
    record.Attributes = printer.attributes;
    cursor = Align8(cursor);
    // Stands in for the printer's permissions, which a level-2 set would rewrite.
    const BYTE security[kSecurityDescriptorSize] = {1, 0, 4, 0x80};
    if (put(cursor, security, kSecurityDescriptorSize))
      record.pSecurityDescriptor = buffer + cursor;
    cursor += kSecurityDescriptorSize;
    if (printer.private_bytes) {
      DEVMODEA devmode{};
      std::strncpy(reinterpret_cast<char*>(devmode.dmDeviceName), printer.name.c_str(),
                   sizeof(devmode.dmDeviceName) - 1);
      devmode.dmSize = sizeof(DEVMODEA);
      devmode.dmDriverExtra = static_cast<WORD>(printer.private_bytes->size());
      devmode.dmFields = DM_PAPERSIZE;
      devmode.dmPaperSize = printer.paper_size;
      const DWORD at = cursor;
      cursor += sizeof(DEVMODEA) + devmode.dmDriverExtra;
      if (put(at, &devmode, sizeof(devmode)) &&
          put(at + sizeof(DEVMODEA), printer.private_bytes->data(), devmode.dmDriverExtra)) {
        record.pDevMode = reinterpret_cast<PDEVMODEA>(buffer + at);
      }
      cursor = Align8(cursor);
    }
    put(static_cast<DWORD>(i * sizeof(PRINTER_INFO_2A)), &record, sizeof(record));
  }
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

BOOL Spooler::EnumPrintersA(DWORD flags, LPSTR name, DWORD level, LPBYTE buffer, DWORD size,
                            LPDWORD needed, LPDWORD returned) {
  Call call;
  call.op = Op::EnumPrinters;
  call.level = level;
  call.has_buffer = buffer != nullptr;
  call.size = size;
  BOOL result = FALSE;
  std::vector<const Printer*> list;
  DWORD total = 0;
  for (const auto& printer : printers) {
    list.push_back(&printer);
    total += RecordSize(printer);
  }
  if (needed_override != 0) total = needed_override;
  if (TakeFailure(Op::EnumPrinters, buffer != nullptr)) {
    *needed = total;
  } else if (flags != PRINTER_ENUM_LOCAL || name != nullptr || level != 2) {
    Fail(ERROR_INVALID_PARAMETER);
  } else {
    *needed = total;
    if (buffer == nullptr || size < total) {
      Fail(ERROR_INSUFFICIENT_BUFFER);
    } else {
      WriteRecords(list, buffer, size);
      *returned = static_cast<DWORD>(list.size());
      result = TRUE;
    }
  }
  call.result = result;
  Record(call);
  return result;
}

BOOL Spooler::OpenPrinterA(LPSTR name, HANDLE* printer, PRINTER_DEFAULTSA* defaults) {
  Call call;
  call.op = Op::OpenPrinter;
  call.name = name != nullptr ? name : "";
  call.access = defaults != nullptr ? defaults->DesiredAccess : 0;
  BOOL result = FALSE;
  *printer = nullptr;
  const Printer* target = name != nullptr ? Find(name) : nullptr;
  if (TakeFailure(Op::OpenPrinter)) {
  } else if (target == nullptr) {
    Fail(ERROR_INVALID_PRINTER_NAME);
  } else if (target->admin_only && call.access == PRINTER_ALL_ACCESS) {
    Fail(ERROR_ACCESS_DENIED);
  } else {
    auto handle = reinterpret_cast<HANDLE>(next_handle_++);
    handles_[handle] = Handle{target->name, call.access == PRINTER_ALL_ACCESS};
    *printer = handle;
    result = TRUE;
  }
  call.result = result;
  Record(call);
  return result;
}

BOOL Spooler::GetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
  Call call;
  call.op = Op::GetPrinter;
  call.level = level;
  call.has_buffer = buffer != nullptr;
  call.size = size;
  BOOL result = FALSE;
  auto handle = handles_.find(printer);
  const Printer* target = handle != handles_.end() ? Find(handle->second.printer) : nullptr;
  if (handle != handles_.end()) call.name = handle->second.printer;
  if (TakeFailure(Op::GetPrinter)) {
  } else if (handle == handles_.end()) {
    Fail(ERROR_INVALID_HANDLE);
  } else if (target == nullptr) {
    Fail(ERROR_INVALID_PRINTER_NAME);
  } else if (level != 2) {
    Fail(ERROR_INVALID_PARAMETER);
  } else {
    *needed = RecordSize(*target);
    if (buffer == nullptr && sizing_get_succeeds) {
      result = TRUE;
    } else if (buffer == nullptr || size < *needed) {
      Fail(ERROR_INSUFFICIENT_BUFFER);
    } else {
      WriteRecords({target}, buffer, size);
      result = TRUE;
    }
  }
  call.result = result;
  Record(call);
  return result;
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
  auto handle = handles_.find(printer);
  Printer* target = handle != handles_.end() ? Find(handle->second.printer) : nullptr;
  const DWORD driver_size = sizeof(DEVMODEA) + driver_private_size;
  if (TakeFailure(Op::DocumentProperties) || target == nullptr) {
    if (target == nullptr) last_error_ = ERROR_INVALID_HANDLE;
  } else if (mode == 0) {
    result = static_cast<LONG>(driver_size);
  } else {
    short paper = target->paper_size;
    bool read_ok = true;
    if ((mode & DM_IN_BUFFER) != 0 && input != nullptr) {
      if (RoomAt(input) < sizeof(DEVMODEA)) {
        ++violations_;
        read_ok = false;
      } else {
        paper = input->dmPaperSize;
      }
    }
    result = read_ok ? IDOK : -1;
    // The dialog may change the printer set; nothing may point into it across the call.
    const std::string target_name = target->name;
    target = nullptr;
    if (read_ok && (mode & DM_IN_PROMPT) != 0) {
      Dialog dialog_state{call.name, paper};
      result = dialog ? dialog(dialog_state) : IDOK;
      if (result == IDOK) paper = dialog_state.paper_size;
    }
    if (result > 0 && (mode & DM_OUT_BUFFER) != 0 && output != nullptr) {
      if (RoomAt(output) < driver_size) {
        ++violations_;
        result = -1;
      } else {
        std::memset(output, 0, driver_size);
        std::strncpy(reinterpret_cast<char*>(output->dmDeviceName), target_name.c_str(),
                     sizeof(output->dmDeviceName) - 1);
        output->dmSize = sizeof(DEVMODEA);
        output->dmDriverExtra = driver_private_size;
        output->dmFields = DM_PAPERSIZE;
        output->dmPaperSize = paper;
        auto* extra = reinterpret_cast<BYTE*>(output) + sizeof(DEVMODEA);
        for (WORD i = 0; i < driver_private_size; ++i) extra[i] = static_cast<BYTE>(0xD0 + i);
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
  auto handle = handles_.find(printer);
  Printer* target = handle != handles_.end() ? Find(handle->second.printer) : nullptr;
  if (handle != handles_.end()) call.name = handle->second.printer;
  PRINTER_INFO_2A record{};
  if (buffer != nullptr && RoomAt(buffer) >= sizeof(record)) {
    std::memcpy(&record, buffer, sizeof(record));
    call.security_descriptor = record.pSecurityDescriptor;
  }
  if (TakeFailure(Op::SetPrinter)) {
  } else if (handle == handles_.end()) {
    Fail(ERROR_INVALID_HANDLE);
  } else if (target == nullptr) {
    Fail(ERROR_INVALID_PRINTER_NAME);
  } else if (!handle->second.full_access) {
    Fail(ERROR_ACCESS_DENIED);
  } else if (level != 2 || command != 0 || buffer == nullptr || RoomAt(buffer) < sizeof(record)) {
    Fail(ERROR_INVALID_PARAMETER);
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
    if (record.pPortName != nullptr) target->port = record.pPortName;
    if (record.pDriverName != nullptr) target->driver = record.pDriverName;
    if (record.pPrintProcessor != nullptr) target->print_processor = record.pPrintProcessor;
    if (record.pDatatype != nullptr) target->datatype = record.pDatatype;
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
    call.name = handle->second.printer;
    handles_.erase(handle);
    result = TRUE;
  }
  call.result = result;
  Record(call);
  return result;
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
