// The spooler and kernel calls the printer logic makes, behind one interface so tests can put a
// simulated spooler in place of winspool.
#pragma once

#include "printing/winapi_types.h"

namespace printing {

class Spooler {
 public:
  virtual ~Spooler() = default;

  virtual BOOL EnumPrintersA(DWORD flags, LPSTR name, DWORD level, LPBYTE buffer, DWORD size,
                             LPDWORD needed, LPDWORD returned) = 0;
  virtual BOOL OpenPrinterA(LPSTR name, HANDLE* printer, PRINTER_DEFAULTSA* defaults) = 0;
  virtual BOOL GetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size,
                           LPDWORD needed) = 0;
  virtual LONG DocumentPropertiesA(HWND owner, HANDLE printer, LPSTR device, PDEVMODEA output,
                                   PDEVMODEA input, DWORD mode) = 0;
  virtual BOOL SetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD command) = 0;
  virtual BOOL ClosePrinter(HANDLE printer) = 0;
  virtual HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) = 0;
  virtual HLOCAL LocalFree(HLOCAL block) = 0;
  virtual HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) = 0;
  virtual HGLOBAL GlobalFree(HGLOBAL block) = 0;
  // The error of the last failed call above, read before anything else can overwrite it.
  virtual DWORD GetLastError() = 0;
};

// Owns a zero-filled LocalAlloc block for the span of one handler.
class LocalBlock {
 public:
  LocalBlock(Spooler& spooler, SIZE_T bytes)
      : spooler_(spooler), block_(spooler.LocalAlloc(LMEM_ZEROINIT, bytes)) {}
  ~LocalBlock() {
    if (block_ != nullptr) spooler_.LocalFree(block_);
  }
  LocalBlock(const LocalBlock&) = delete;
  LocalBlock& operator=(const LocalBlock&) = delete;
  LPBYTE get() const { return static_cast<LPBYTE>(block_); }
  explicit operator bool() const { return block_ != nullptr; }

 private:
  Spooler& spooler_;
  HLOCAL block_;
};

// Owns a zero-filled GlobalAlloc block for the span of one handler. Declared before the printer
// handle it serves, it is freed after that handle is closed.
class GlobalBlock {
 public:
  explicit GlobalBlock(Spooler& spooler) : spooler_(spooler) {}
  bool Allocate(SIZE_T bytes) {
    block_ = spooler_.GlobalAlloc(GMEM_ZEROINIT, bytes);
    return block_ != nullptr;
  }
  ~GlobalBlock() {
    if (block_ != nullptr) spooler_.GlobalFree(block_);
  }
  GlobalBlock(const GlobalBlock&) = delete;
  GlobalBlock& operator=(const GlobalBlock&) = delete;
  LPBYTE get() const { return static_cast<LPBYTE>(block_); }
  explicit operator bool() const { return block_ != nullptr; }

 private:
  Spooler& spooler_;
  HGLOBAL block_ = nullptr;
};

// Owns an open printer handle; closes it on every path out of the handler.
class PrinterHandle {
 public:
  explicit PrinterHandle(Spooler& spooler) : spooler_(spooler) {}
  ~PrinterHandle() {
    if (handle_ != nullptr) spooler_.ClosePrinter(handle_);
  }
  PrinterHandle(const PrinterHandle&) = delete;
  PrinterHandle& operator=(const PrinterHandle&) = delete;
  HANDLE* out() { return &handle_; }
  // After a failed open the handle is not ours to close, whatever the call left in it.
  void Forget() { handle_ = nullptr; }
  HANDLE get() const { return handle_; }

 private:
  Spooler& spooler_;
  HANDLE handle_ = nullptr;
};

}  // namespace printing
