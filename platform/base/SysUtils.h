// Exceptions, text formatting and conversions of the run-time library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <initializer_list>
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
