// Small shared routines of the engine: files and paths, sizes and times, loading and binding the
// media libraries, and the way from a worker to the main thread.
#pragma once

#include <cstdint>
#include <string>

#include "platform/base/SysUtils.h"
#include "platform/base/System.h"
#include "platform/base/Threads.h"

struct MSG; // platform/win/Windows.h

// Size of a file in bytes, -1 when it does not exist.
Int64 FileSizeOf(const String& AFileName);
// Cuts S at the first ADelim: AHead is the text before it (all of S when absent); with ARemove,
// S keeps only the text after the delimiter.
void SplitOff(String& S, const String& ADelim, bool ARemove, String& AHead);

// "%.2f GB", "%.2f MB", "%.2f KB" above each unit, else "%d Byte".
String FormatByteSize(Int64 ASize);
// The local offset from UTC now, in days.
double LocalTimeZoneOffset();
// The local date-time of a Unix time, with the offset of that date (daylight saving included).
TDateTime UnixToLocalDateTime(Int64 ASeconds);
String FormatDateTimeText(const String& AFormat, TDateTime ADateTime);

// Loads a shared library: by full path when Dir holds FileName, else by the bare name through the
// system's search order. Returns nullptr with the loader's reason in AErrorText on failure.
void* LoadLibraryFromFolder(const String& Dir, const String& FileName, String& AErrorText);
// Frees a library loaded by LoadLibraryFromFolder.
void FreeLibraryModule(void* Handle);

// Looks up a function (BindProc) or data (BindVar) export into Cell; a missing export raises
// Exception "Load function %s@%s error: %s" ("Load variable ..." for data) unless Optional.
void BindProc(const String& LibFileName, void* Handle, const char* ProcName, bool Optional, void*& Cell);
void BindVar(const String& LibFileName, void* Handle, const char* VarName, bool Optional, void*& Cell);
template <typename F>
void BindProc(const String& LibFileName, void* Handle, const char* ProcName, bool Optional, F*& Cell) {
    void* Address = nullptr;
    BindProc(LibFileName, Handle, ProcName, Optional, Address);
    Cell = reinterpret_cast<F*>(Address);
}
// Refuses a library of another major version than the headers the engine was compiled with.
// AVersion is packed as the libraries report it (major << 16 | minor << 8 | micro).
void CheckLibraryVersion(const String& LibFileName, unsigned AVersion, int AExpectedMajor);

// A binding list is a macro applying its argument to every entry-point name of one library; these
// turn such a list into cells (function pointers named like the library functions, inside the
// binding namespace), bind them and clear them.
#define QV_DECLARE_CELL(name) extern decltype(&::name) name;
#define QV_DEFINE_CELL(name) decltype(&::name) name = nullptr;
#define QV_BIND_CELL(name) BindProc(LibFileName, Handle, #name, false, name);
#define QV_CLEAR_CELL(name) name = nullptr;

// Runs AMethod on the main thread: at once there, else through a synchronised call that the
// caller waits for.
void RunInMainThread(const TThreadMethod& AMethod);
// Takes one message of the GUI thread's queue and runs it (the workers' synchronised calls run as
// the queue is looked at); False when none waits. A WM_QUIT is taken without being run: the quit
// request stays standing for the application's loop.
bool ProcessOneMessage(MSG& AMsg);
// On the main thread while it waits for a worker: runs the window messages and the workers'
// synchronised calls that wait. A WM_QUIT met on the way is put back in the queue at the end, so
// the application's loop still ends.
void PumpMessages();
