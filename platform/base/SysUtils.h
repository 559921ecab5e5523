// Exceptions, text formatting and conversions of the run-time library.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <initializer_list>
#include <memory>
#include <string>

#include "platform/base/System.h"

// The root of the program's exceptions. Message() is the UTF-16 text; what() gives it as UTF-8.
class Exception : public TObject, public std::exception {
public:
    explicit Exception(const String& Msg);
    const String& Message() const { return FMessage; }
    void SetMessage(const String& Value);
    const char* what() const noexcept override { return FMessageUTF8.c_str(); }

private:
    String FMessage;
    std::string FMessageUTF8;
};

// The usual hierarchy; each takes its message as Exception does.
#define QV_DECLARE_EXCEPTION(Name, Base)                                                                               \
    class Name : public Base {                                                                                         \
    public:                                                                                                            \
        using Base::Base;                                                                                              \
    };

QV_DECLARE_EXCEPTION(EAbort, Exception)
QV_DECLARE_EXCEPTION(EConvertError, Exception)
QV_DECLARE_EXCEPTION(EListError, Exception)
QV_DECLARE_EXCEPTION(EStringListError, EListError)
QV_DECLARE_EXCEPTION(EInOutError, Exception)
QV_DECLARE_EXCEPTION(EAssertionFailed, Exception)
QV_DECLARE_EXCEPTION(EOutOfMemory, Exception)
QV_DECLARE_EXCEPTION(EStreamError, Exception)
QV_DECLARE_EXCEPTION(EReadError, EStreamError)
QV_DECLARE_EXCEPTION(EWriteError, EStreamError)
QV_DECLARE_EXCEPTION(EFileStreamError, EStreamError)
QV_DECLARE_EXCEPTION(EFOpenError, EFileStreamError)
QV_DECLARE_EXCEPTION(EFCreateError, EFileStreamError)
QV_DECLARE_EXCEPTION(EThread, Exception)
QV_DECLARE_EXCEPTION(EInvalidOperation, Exception)
QV_DECLARE_EXCEPTION(EInvalidPointer, Exception)
QV_DECLARE_EXCEPTION(EInvalidCast, Exception)
QV_DECLARE_EXCEPTION(EComponentError, Exception)
QV_DECLARE_EXCEPTION(EOSError, Exception)
QV_DECLARE_EXCEPTION(EIntError, Exception)
QV_DECLARE_EXCEPTION(EDivByZero, EIntError)
QV_DECLARE_EXCEPTION(ERangeError, EIntError)
QV_DECLARE_EXCEPTION(EIntOverflow, EIntError)
QV_DECLARE_EXCEPTION(EMathError, Exception)
QV_DECLARE_EXCEPTION(EInvalidArgument, EMathError)
QV_DECLARE_EXCEPTION(EZeroDivide, EMathError)
QV_DECLARE_EXCEPTION(EOverflow, EMathError)
QV_DECLARE_EXCEPTION(EUnderflow, EMathError)
QV_DECLARE_EXCEPTION(EInvalidOp, EMathError)
QV_DECLARE_EXCEPTION(ENotSupportedException, Exception)
QV_DECLARE_EXCEPTION(EArgumentException, Exception)
QV_DECLARE_EXCEPTION(EArgumentOutOfRangeException, EArgumentException)
QV_DECLARE_EXCEPTION(EIniFileException, Exception)
QV_DECLARE_EXCEPTION(EPrinter, Exception)
QV_DECLARE_EXCEPTION(EExternal, Exception)
QV_DECLARE_EXCEPTION(EAccessViolation, EExternal)

// Raises EAbort with "Operation aborted": the silent exception that unwinds without a report.
[[noreturn]] void Abort();

// One argument of Format. It refers to the caller's values, so it lives only as long as the call.
struct TVarRec {
    enum TVType {
        vtInteger,
        vtCardinal,
        vtInt64,
        vtUInt64,
        vtBoolean,
        vtExtended,
        vtChar,
        vtPWideChar,
        vtString,
        vtPChar,
        vtStdString,
        vtPointer
    };
    TVType VType;
    union {
        std::int64_t VInt64;
        std::uint64_t VUInt64;
        double VExtended;
        bool VBoolean;
        char16_t VChar;
        const char16_t* VPWideChar;
        const String* VString;
        const char* VPChar;
        const std::string* VStdString;
        const void* VPointer;
    };

    TVarRec(int v) : VType(vtInteger), VInt64(v) {}
    TVarRec(unsigned v) : VType(vtCardinal), VUInt64(v) {}
    TVarRec(long v) : VType(vtInt64), VInt64(v) {}
    TVarRec(unsigned long v) : VType(vtUInt64), VUInt64(v) {}
    TVarRec(long long v) : VType(vtInt64), VInt64(v) {}
    TVarRec(unsigned long long v) : VType(vtUInt64), VUInt64(v) {}
    TVarRec(double v) : VType(vtExtended), VExtended(v) {}
    TVarRec(long double v) : VType(vtExtended), VExtended(double(v)) {}
    TVarRec(bool v) : VType(vtBoolean), VBoolean(v) {}
    TVarRec(char16_t v) : VType(vtChar), VChar(v) {}
    TVarRec(const char16_t* v) : VType(vtPWideChar), VPWideChar(v) {}
    TVarRec(const String& v) : VType(vtString), VString(&v) {}
    TVarRec(const char* v) : VType(vtPChar), VPChar(v) {}                 // UTF-8
    TVarRec(const std::string& v) : VType(vtStdString), VStdString(&v) {} // UTF-8
    TVarRec(const void* v) : VType(vtPointer), VPointer(v) {}
    TVarRec(std::nullptr_t) : VType(vtPointer), VPointer(nullptr) {}
};

// Delphi's Format: "%" [index ":"] ["-"] [width] ["." precision] type, with types d u x e f g n m p s
// (letters in either case; hexadecimal digits are upper case) and "%%"; index, width and precision
// may be "*" to take them from the arguments. Booleans format under d, u and x as 0 and 1.
// Floats use "." and "," whatever the locale. A specifier that does not fit its argument raises
// EConvertError "Format '%s' invalid or incompatible with argument"; a missing argument raises
// "No argument for format '%s'".
String Format(const String& Fmt, std::initializer_list<TVarRec> Args);

// Integers.
String IntToStr(std::int64_t Value);
String UIntToStr(std::uint64_t Value);
String IntToHex(std::int64_t Value, int Digits);
// Accept optional blanks around, a sign, decimal digits or a hex form ("$1F", "0x1F"); raise
// EConvertError "'%s' is not a valid integer value" otherwise, or when the value does not fit.
int StrToInt(const String& S);
std::int64_t StrToInt64(const String& S);
int StrToIntDef(const String& S, int Default);
std::int64_t StrToInt64Def(const String& S, std::int64_t Default);
bool TryStrToInt(const String& S, int& Value);
bool TryStrToInt64(const String& S, std::int64_t& Value);

String BoolToStr(bool B, bool UseBoolStrs = false); // "-1"/"0", or "True"/"False"
bool StrToBool(const String& S);                    // "True"/"False" in any case, or a number; else EConvertError
bool StrToBoolDef(const String& S, bool Default);
bool TryStrToBool(const String& S, bool& Value);

// Floating point. Text always uses "." as the decimal separator, whatever the locale.
enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };
// 15 significant digits, no trailing zeros, scientific beyond them: 0.1+0.2 gives "0.3", 1e15 "1E15".
String FloatToStr(double Value);
String FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits);
// Delphi's picture formats: "0.00", "#,##0.###", "0.0E+00", literals in quotes, sections "pos;neg;zero".
String FormatFloat(const String& Format, double Value);
// Blanks around are allowed; the text is otherwise a decimal number with an optional exponent.
// EConvertError "'%s' is not a valid floating point value".
double StrToFloat(const String& S);
double StrToFloatDef(const String& S, double Default);
bool TryStrToFloat(const String& S, double& Value);

// Text. UpperCase, LowerCase, CompareText and SameText fold ASCII letters only; the Ansi forms fold
// every letter the C.UTF-8 locale knows.
String Trim(const String& S); // removes blanks and control characters (<= ' ') at both ends
String TrimLeft(const String& S);
String TrimRight(const String& S);
String UpperCase(const String& S);
String LowerCase(const String& S);
String AnsiUpperCase(const String& S);
String AnsiLowerCase(const String& S);
int CompareStr(const String& A, const String& B);
int CompareText(const String& A, const String& B);
bool SameStr(const String& A, const String& B);
bool SameText(const String& A, const String& B);
int AnsiCompareStr(const String& A, const String& B);
int AnsiCompareText(const String& A, const String& B);
bool AnsiSameText(const String& A, const String& B);
bool AnsiSameStr(const String& A, const String& B);
int AnsiPos(const String& Sub, const String& S);
String QuotedStr(const String& S); // 'it''s'
String AnsiQuotedStr(const String& S, Char Quote);
String AnsiDequotedStr(const String& S, Char Quote); // S unchanged when it is not quoted
enum TReplaceFlag { rfReplaceAll, rfIgnoreCase };
using TReplaceFlags = TSet<TReplaceFlag, 2>;
String StringReplace(const String& S, const String& OldPattern, const String& NewPattern, TReplaceFlags Flags);
// 1-based index of the last character of S that is one of Delimiters; 0 when none.
int LastDelimiter(const String& Delimiters, const String& S);
bool StartsText(const String& SubText, const String& Text);
bool EndsText(const String& SubText, const String& Text);
bool StartsStr(const String& SubText, const String& Text);
bool EndsStr(const String& SubText, const String& Text);
bool ContainsText(const String& Text, const String& SubText);
bool ContainsStr(const String& Text, const String& SubText);
String IntToStrPadded(std::int64_t Value, int Digits);

// Paths use "/" on this platform; names are UTF-8 at the boundary.
constexpr Char PathDelim = u'/';
constexpr Char DriveDelim = u'/';
constexpr Char PathSep = u':';
extern const String sLineBreak; // "\r\n", what the ini and string-list texts are written with
String IncludeTrailingPathDelimiter(const String& S);
String ExcludeTrailingPathDelimiter(const String& S); // "/" stays "/"
bool IsPathDelimiter(const String& S, int Index);
String ExtractFilePath(const String& FileName);  // "/a/b.txt" -> "/a/"
String ExtractFileDir(const String& FileName);   // "/a/b.txt" -> "/a"
String ExtractFileName(const String& FileName);  // "b.txt"
String ExtractFileExt(const String& FileName);   // ".txt"; "" when the name has no dot
String ExtractFileDrive(const String& FileName); // always "" here
String ChangeFileExt(const String& FileName, const String& Extension);
String ExpandFileName(const String& FileName); // absolute, with "." and ".." resolved
std::string FileNameToUTF8(const String& FileName);

// The running executable and its folder (with a trailing "/"). Tests may put the executable
// somewhere else with SetAppFileName, so that files "beside the executable" live in a temp folder.
String GetAppFileName();
String GetAppPath();
void SetAppFileName(const String& AFileName);
bool FileExists(const String& FileName); // a file that is not a directory
bool DirectoryExists(const String& Directory);
bool ForceDirectories(const String& Dir); // EInOutError "Unable to create directory" for ""
bool CreateDir(const String& Dir);
bool RemoveDir(const String& Dir);
bool DeleteFile(const String& FileName);
bool RenameFile(const String& OldName, const String& NewName);
std::int64_t FileSize(const String& FileName); // -1 when it cannot be read
String GetCurrentDir();
bool SetCurrentDir(const String& Dir);
String GetEnvironmentVariable(const String& Name);

// The last error of the calling thread is errno; SysErrorMessage gives its text.
int GetLastError();
void SetLastError(int Code);
String SysErrorMessage(int ErrorCode);
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseLastOSError(int LastError);

// Dates and times: days since 1899-12-30, the fraction is the time of day; local time.
using TDateTime = double;
constexpr double MSecsPerDay = 86400000.0;
constexpr double UnixDateDelta = 25569.0;
TDateTime Now();
TDateTime Date();
TDateTime Time();
bool IsLeapYear(int Year);
int DaysInMonth(int Year, int Month);
bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date);
bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time);
TDateTime EncodeDate(int Year, int Month, int Day);         // EConvertError "Invalid argument to date encode"
TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec); // EConvertError "Invalid argument to time encode"
void DecodeDate(TDateTime Date, int& Year, int& Month, int& Day);
void DecodeTime(TDateTime Time, int& Hour, int& Min, int& Sec, int& MSec);
int DayOfWeek(TDateTime Date); // 1 = Sunday
// Delphi's patterns: y yy yyyy m mm mmm mmmm d dd ddd dddd ddddd dddddd c h hh n nn s ss z zzz
// t tt am/pm a/p ampm / : and quoted literals. Names are English; dates read yyyy-mm-dd and
// times hh:nn:ss, so texts do not depend on the machine's locale.
String FormatDateTime(const String& Format, TDateTime DateTime);
String DateTimeToStr(TDateTime DateTime); // the time is left out at midnight
String DateToStr(TDateTime Date);
String TimeToStr(TDateTime Time);
// Seconds since 1970-01-01 UTC <-> date-time in UTC, or (ReturnUTC / InputIsUTC false) the local
// date-time of that instant with the offset of that very date (daylight saving included).
TDateTime UnixToDateTime(std::int64_t Seconds, bool ReturnUTC = true);
std::int64_t DateTimeToUnix(TDateTime DateTime, bool InputIsUTC = true);
bool FileAge(const String& FileName, TDateTime& FileDateTime); // last modification, local time

// The program's one clock. GetTickCount, GetTickCount64 and Sleep read it, and so do the window
// layer's message times and timers; tests put a TTestClock in its place.
class TClock {
public:
    virtual ~TClock() = default;
    // Milliseconds since an arbitrary start.
    virtual std::uint64_t Read() = 0;
    // The time without the side effects of a read: the window manager's own look at the clock, so
    // delivering messages never makes time pass on the tests' clock.
    virtual std::uint64_t Current() { return Read(); }
    virtual void Sleep(std::uint64_t Ms) = 0;
    // A virtual clock can jump to a point in time instead of waiting for it.
    virtual bool IsVirtual() const { return false; }
    virtual void AdvanceTo(std::uint64_t) {}
};

// Monotonic real time.
class TSystemClock : public TClock {
public:
    std::uint64_t Read() override;
    void Sleep(std::uint64_t Ms) override;
};

// The tests' clock: every read and every Sleep moves it forward by a fixed step (a Sleep by its
// duration, at least the step), so loops that poll the tick count end without real waiting, and a
// message loop with nothing to do jumps to the next timer instead of blocking.
class TTestClock : public TClock {
public:
    explicit TTestClock(std::uint64_t AStart = 1000, std::uint64_t AStep = 1) : FNow(AStart), FStep(AStep) {}
    std::uint64_t Read() override;
    std::uint64_t Current() override { return FNow; }
    void Sleep(std::uint64_t Ms) override;
    bool IsVirtual() const override { return true; }
    void AdvanceTo(std::uint64_t Ms) override;
    std::uint64_t Step() const { return FStep; }

private:
    std::atomic<std::uint64_t> FNow;
    std::uint64_t FStep;
};

// Puts AClock in place of the current clock (null brings back the system clock) and hands back
// the one it replaces.
std::unique_ptr<TClock> SetClock(std::unique_ptr<TClock> AClock);
TClock& Clock();

void Sleep(unsigned Milliseconds);
std::uint32_t GetTickCount(); // milliseconds of the clock, wrapping
std::uint64_t GetTickCount64();

// Directory search. The mask's "*" and "?" match letters in any case, and "*.*" matches every
// name, as on the platform the Parts were written for; names come sorted. Hidden means a name
// starting with ".". Directories (and "." and "..") come only when Attr holds faDirectory.
constexpr int faReadOnly = 0x01;
constexpr int faHidden = 0x02;
constexpr int faSysFile = 0x04;
constexpr int faVolumeID = 0x08;
constexpr int faDirectory = 0x10;
constexpr int faArchive = 0x20;
constexpr int faNormal = 0x80;
constexpr int faSymLink = 0x400;
constexpr int faAnyFile = 0x3F;

struct TSearchRec {
    int Time = 0; // modification time as DOS date-time
    std::int64_t Size = 0;
    int Attr = 0;
    String Name;
    int ExcludeAttr = 0;
    TDateTime TimeStamp = 0;
    std::shared_ptr<struct TSearchState> FindHandle;
};
// 0 on success, else an error code (ENOENT when nothing matches).
int FindFirst(const String& Path, int Attr, TSearchRec& F);
int FindNext(TSearchRec& F);
void FindClose(TSearchRec& F);
bool MatchesMask(const String& FileName, const String& Mask);
