// A simulated print spooler for host tests, benchmarks and fuzzing. It writes records into the
// caller's buffers the way winspool does (records back to back, then the strings and DEVMODEs they
// point to), checks every write against the size the caller gave, records every call, counts open
// handles and live blocks, and fails any call on demand.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "printing/spooler.h"

namespace sim {

struct Printer {
  std::string name;
  DWORD attributes = 0;
  std::string port = "FILE:";
  std::string driver = "Sim Driver";
  std::string print_processor = "WinPrint";
  std::string datatype = "RAW";
  short paper_size = DMPAPER_LETTER;
  // Driver-private bytes stored after the public DEVMODE; empty means no DEVMODE at all.
  std::optional<std::vector<BYTE>> private_bytes = std::vector<BYTE>{1, 2, 3, 4, 5, 6, 7, 8};
  bool admin_only = false;  // opening for full access is refused
  int sets = 0;             // successful level-2 sets
  PSECURITY_DESCRIPTOR last_security_descriptor = nullptr;
};

enum class Op {
  EnumPrinters,
  OpenPrinter,
  GetPrinter,
  DocumentProperties,
  SetPrinter,
  ClosePrinter,
  LocalAlloc,
  LocalFree,
  GlobalAlloc,
  GlobalFree
};
const char* OpName(Op op);

struct Call {
  Op op = Op::EnumPrinters;
  std::string name;  // printer name where the call names or opens one
  DWORD level = 0;
  bool has_buffer = false;
  DWORD size = 0;
  DWORD mode = 0;
  ACCESS_MASK access = 0;  // OpenPrinterA: requested access, 0 for null defaults
  HWND owner = nullptr;
  const void* output = nullptr;
  const void* input = nullptr;
  PSECURITY_DESCRIPTOR security_descriptor = nullptr;
  BOOL result = 0;
};

// What the driver's dialog sees and may change.
struct Dialog {
  std::string printer;
  short paper_size;
};

class Spooler final : public printing::Spooler {
 public:
  Spooler();
  ~Spooler() override;

  std::vector<Printer> printers;
  std::vector<Call> calls;

  // The driver's own DEVMODE size: public part plus this many private bytes. It may exceed what a
  // stored DEVMODE holds.
  WORD driver_private_size = 8;
  // The driver's dialog; returns IDOK, IDCANCEL or a negative failure. Default: IDOK, no change.
  std::function<LONG(Dialog&)> dialog;
  // A level-2 GetPrinterA without a buffer reports success, as no real spooler should.
  bool sizing_get_succeeds = false;
  // When non-zero, what every EnumPrintersA call reports as the needed size.
  DWORD needed_override = 0;
  // Runs after every recorded call, e.g. to change the printer set between two calls.
  std::function<void(const Call&)> after_call;

  // Makes the next call of `op` fail with `error` (and the one after, for `times` > 1).
  void FailNext(Op op, DWORD error, int times = 1);
  // Makes the call with this index in `calls` (counting from 0) fail with `error`.
  void FailCall(size_t index, DWORD error) { fail_call_ = {index, error}; }
  // Makes only filling (buffer-carrying) EnumPrintersA calls fail.
  void FailNextFill(DWORD error, int times = 1);

  int OpenHandles() const { return static_cast<int>(handles_.size()); }
  int LiveBlocks() const { return static_cast<int>(blocks_.size()); }
  // Writes or reads past a caller's block, and frees of unknown blocks or handles; always 0 in a
  // correct program.
  int Violations() const { return violations_; }
  Printer* Find(const std::string& name);
  // Installs a printer at the end of the enumeration order.
  Printer& Add(const std::string& name, DWORD attributes = 0);
  std::vector<Op> Ops() const;

  BOOL EnumPrintersA(DWORD flags, LPSTR name, DWORD level, LPBYTE buffer, DWORD size,
                     LPDWORD needed, LPDWORD returned) override;
  BOOL OpenPrinterA(LPSTR name, HANDLE* printer, PRINTER_DEFAULTSA* defaults) override;
  BOOL GetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) override;
  LONG DocumentPropertiesA(HWND owner, HANDLE printer, LPSTR device, PDEVMODEA output,
                           PDEVMODEA input, DWORD mode) override;
  BOOL SetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD command) override;
  BOOL ClosePrinter(HANDLE printer) override;
  HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) override;
  HLOCAL LocalFree(HLOCAL block) override;
  HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) override;
  HGLOBAL GlobalFree(HGLOBAL block) override;
  DWORD GetLastError() override { return last_error_; }

 private:
  struct Handle {
    std::string printer;
    bool full_access;
  };
  struct Block {
    SIZE_T size;
    bool global;
  };

  bool TakeFailure(Op op, bool filling = false);
  void* Allocate(bool global, UINT flags, SIZE_T bytes);
  void* Free(bool global, void* block);
  void Record(Call call);
  BOOL Fail(DWORD error);
  DWORD RecordSize(const Printer& printer) const;
  // Writes printer records back to back at `buffer`, their data after them.
  void WriteRecords(const std::vector<const Printer*>& list, LPBYTE buffer, DWORD size);
  // The size of the block holding `p` from `p` on, or 0 when `p` lies in no live block.
  SIZE_T RoomAt(const void* p) const;

  std::map<std::pair<Op, bool>, std::vector<DWORD>> failures_;
  std::optional<std::pair<size_t, DWORD>> fail_call_;
  std::map<HANDLE, Handle> handles_;
  std::map<void*, Block> blocks_;
  std::uintptr_t next_handle_ = 0x1000;
  DWORD last_error_ = 0;
  int violations_ = 0;
};

}  // namespace sim
