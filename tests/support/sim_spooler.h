// A simulated print spooler for host tests, benchmarks and fuzzing. It writes records into the
// caller's buffers the way winspool does (records back to back, then the strings and DEVMODEs they
// point to), checks every write against the size the caller gave, records every call, counts open
// handles and live blocks, and fails any call on demand. Its releases clear the last error, as
// real ones may, so a caller has to read it before releasing anything.
//
// Printers carry their true (UTF-16) texts. The ANSI calls pass them through the spooler's code
// page as Windows does, so a page that lacks a character loses it there, and an ANSI set that
// sends such a text back stores the loss; the wide calls hand the texts out as they are. Windows'
// ANSI calls fill the caller's buffer through the wide call and convert each text in place;
// `ansi_fill` models what they may do where a text needs more bytes in the code page than in
// UTF-16, which is not documented.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "printing/spooler.h"
#include "ui/headless/headless.h"

namespace sim {

// The code point of each byte: how tests spell printer texts made of arbitrary bytes.
std::u16string Latin1(const std::string& bytes);
// Whether two printer names name the same printer: ASCII letters match either case.
bool SameName(const std::u16string& a, const std::u16string& b);

struct Printer {
  std::u16string name;
  DWORD attributes = 0;
  std::u16string server;  // empty for a local printer: the record then has no server name
  std::u16string share;
  std::u16string port = u"FILE:";
  std::u16string driver = u"Sim Driver";
  std::u16string comment;
  std::u16string location;
  std::u16string sep_file;
  std::u16string print_processor = u"WinPrint";
  std::u16string datatype = u"RAW";
  std::u16string parameters;
  short paper_size = DMPAPER_LETTER;
  // Driver-private bytes stored after the public DEVMODE; empty means no DEVMODE at all.
  std::optional<std::vector<BYTE>> private_bytes = std::vector<BYTE>{1, 2, 3, 4, 5, 6, 7, 8};
  // The rights this user holds on the printer: an open asking for more is refused, as are calls
  // that need rights the handle was not opened with.
  ACCESS_MASK grants = PRINTER_ALL_ACCESS;
  int sets = 0;  // successful level-2 sets
  PSECURITY_DESCRIPTOR last_security_descriptor = nullptr;
  // Given when the printer is first opened: a handle follows its printer through renames.
  std::uint64_t id = 0;
};

enum class Op {
  EnumPrinters,
  EnumPrintersW,
  OpenPrinter,
  GetPrinter,
  GetPrinterW,
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
  std::string name;  // printer name (ANSI) where the call names or opens one
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
  Spooler(const Spooler&) = delete;
  Spooler& operator=(const Spooler&) = delete;

  std::vector<Printer> printers;
  std::vector<Call> calls;

  // The driver's own DEVMODE size: public part plus this many private bytes. It may exceed what a
  // stored DEVMODE holds.
  WORD driver_private_size = 8;
  // When set, what the driver reports as its DEVMODE size instead.
  std::optional<LONG> reported_devmode_size;
  // Scratch bytes the dialog writes past the DEVMODE it reports, as some drivers do.
  WORD writes_past_devmode = 0;
  // The dialog hands back a DEVMODE as large as its input when that is larger than its own.
  bool keeps_larger_input = false;
  // The driver's dialog; returns IDOK, IDCANCEL or a negative failure. Default: IDOK, no change.
  std::function<LONG(Dialog&)> dialog;
  // A level-2 GetPrinterA without a buffer reports success, as no real spooler should.
  bool sizing_get_succeeds = false;
  // When non-zero, what every EnumPrintersA call reports as the needed size.
  DWORD needed_override = 0;
  // What a level-2 read through the op without a buffer reports as the needed size, when set.
  std::map<Op, DWORD> sizing_reports;
  // How the level-2 ANSI calls lay their texts out.
  enum class AnsiFill {
    Compact,    // each text in the room it takes in the code page
    CutToWide,  // each in the room its wide form takes (the size reported is the wide one); a
                // text that needs more is cut to the whole characters that fit
    GrowOnFill  // sizing reports the wide size; a fill with less room than the grown texts need
                // fails with ERROR_INSUFFICIENT_BUFFER and reports that size
  };
  AnsiFill ansi_fill = AnsiFill::Compact;
  // A failed OpenPrinterA leaves this in the caller's handle slot, as some spoolers do.
  HANDLE failed_open_leaves = nullptr;
  // An injected failure of a filling enumeration still writes the records and their count.
  bool failed_fill_writes_records = false;
  // A filling enumeration through the op reports this many records more than it wrote, as a
  // miscounting provider may.
  std::map<Op, DWORD> overcount;
  // Which level-2 records leave an empty share name, comment, location, separator file or
  // parameters out (a null pointer) instead of handing out "".
  enum class EmptyTextMissing { InAnsi, InWide, InBoth, InNeither };
  EmptyTextMissing empty_text_missing = EmptyTextMissing::InAnsi;
  // Runs after every recorded call, e.g. to change the printer set between two calls.
  std::function<void(const Call&)> after_call;

  // The code page of the ANSI calls; also what the headless FromAnsi / ToAnsi use from now on.
  void SetCodePage(headless::CodePage page);
  headless::CodePage CodePage() const { return code_page_; }
  std::string ToAnsi(const std::u16string& text) const;

  // Makes the next call of `op` fail with `error` (and the one after, for `times` > 1).
  void FailNext(Op op, DWORD error, int times = 1);
  // Makes the call with this index in `calls` (counting from 0) fail with `error`.
  void FailCall(size_t index, DWORD error) { fail_call_ = {index, error}; }
  // Makes only filling (buffer-carrying) enumeration or level-2 read calls of `op` fail.
  void FailNextFill(DWORD error, int times = 1, Op op = Op::EnumPrinters);

  int OpenHandles() const { return static_cast<int>(handles_.size()); }
  int LiveBlocks() const { return static_cast<int>(blocks_.size()); }
  // Writes or reads past a caller's block, and frees of unknown blocks or handles; always 0 in a
  // correct program.
  int Violations() const { return violations_; }
  // By name, ignoring ASCII case; a std::string names it in the spooler's code page.
  Printer* Find(const std::u16string& name);
  Printer* Find(const std::string& ansi_name);
  // Installs a printer at the end of the enumeration order.
  Printer& Add(const std::u16string& name, DWORD attributes = 0);
  Printer& Add(const std::string& ansi_name, DWORD attributes = 0);
  std::vector<Op> Ops() const;

  BOOL EnumPrintersA(DWORD flags, LPSTR name, DWORD level, LPBYTE buffer, DWORD size,
                     LPDWORD needed, LPDWORD returned) override;
  BOOL EnumPrintersW(DWORD flags, LPWSTR name, DWORD level, LPBYTE buffer, DWORD size,
                     LPDWORD needed, LPDWORD returned) override;
  BOOL OpenPrinterA(LPSTR name, HANDLE* printer, PRINTER_DEFAULTSA* defaults) override;
  BOOL GetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) override;
  BOOL GetPrinterW(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) override;
  LONG DocumentPropertiesA(HWND owner, HANDLE printer, LPSTR device, PDEVMODEA output,
                           PDEVMODEA input, DWORD mode) override;
  BOOL SetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD command) override;
  BOOL ClosePrinter(HANDLE printer) override;
  HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) override;
  HLOCAL LocalFree(HLOCAL block) override;
  HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) override;
  HGLOBAL GlobalFree(HGLOBAL block) override;
  UINT GetACP() override { return static_cast<UINT>(code_page_); }
  int WideCharToMultiByte(UINT code_page, DWORD flags, LPCWSTR wide, int wide_length, LPSTR ansi,
                          int ansi_size, LPCSTR default_char, LPBOOL used_default) override;
  DWORD GetLastError() override { return last_error_; }

 private:
  struct Handle {
    std::uint64_t printer;
    ACCESS_MASK access;  // specific and standard rights, generic ones mapped
  };
  struct Block {
    SIZE_T size;
    bool global;
  };
  enum class Layout { Ansi2, Wide2, Wide4 };
  // The room an ANSI text gets: its own size, its wide form's, or the larger of the two.
  enum class Room { Own, Wide, Larger };

  bool TakeFailure(Op op, bool filling = false);
  void* Allocate(bool global, UINT flags, SIZE_T bytes);
  void* Free(bool global, void* block);
  void Record(Call call);
  BOOL Fail(DWORD error);
  Printer* Target(HANDLE printer);
  // False, with ERROR_ACCESS_DENIED, when `printer` was opened without all of `needed`.
  bool Holds(HANDLE printer, ACCESS_MASK needed);
  BOOL Enumerate(Op op, DWORD flags, bool named, DWORD level, LPBYTE buffer, DWORD size,
                 LPDWORD needed, LPDWORD returned);
  BOOL GetRecord(Op op, HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed);
  // Lays the records of `list` out back to back with their data after them, as winspool does;
  // writes them when `buffer` is given (checking each write against `size`), and returns the
  // size they take either way.
  DWORD Lay(const std::vector<const Printer*>& list, Layout layout, LPBYTE buffer, DWORD size,
            Room room = Room::Own);
  // The size an ANSI call reports before a fill, and the one its fill needs.
  DWORD AnsiSizes(const std::vector<const Printer*>& list, DWORD* fill_needs, Room* fill_room);
  // The size of the block holding `p` from `p` on, or 0 when `p` lies in no live block.
  SIZE_T RoomAt(const void* p) const;

  headless::CodePage code_page_ = headless::CodePage::Latin1;
  std::map<std::pair<Op, bool>, std::vector<DWORD>> failures_;
  std::optional<std::pair<size_t, DWORD>> fail_call_;
  std::map<HANDLE, Handle> handles_;
  std::map<void*, Block> blocks_;
  std::uintptr_t next_handle_ = 0x1000;
  std::uint64_t next_id_ = 1;
  DWORD last_error_ = 0;
  int violations_ = 0;
};

}  // namespace sim
