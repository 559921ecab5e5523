#include "platform/base/SysUtils.h"

#include <dirent.h>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wctype.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <mutex>
#include <thread>
#include <vector>

Exception::Exception(const String& Msg) {
    SetMessage(Msg);
}

void Exception::SetMessage(const String& Value) {
    FMessage = Value;
    FMessageUTF8 = UTF8Encode(Value);
}

void Abort() {
    throw EAbort(u"Operation aborted");
}

// ---------------------------------------------------------------------------------------------
// Decimal forms of floating-point numbers.
//
// A double is first written with 15 significant digits (what it holds reliably); fixed forms then
// round that decimal text half away from zero, so 2.675 shows as "2.68" as a person expects.

namespace {

struct TFloatRec {
    bool Negative = false;
    int Exponent = 0;   // value = 0.Digits * 10^Exponent
    std::string Digits; // no trailing zeros; empty for zero
};

// Keeps the first Keep digits, rounding half away from zero.
void RoundDigits(TFloatRec& Rec, int Keep) {
    if (Keep >= int(Rec.Digits.size()))
        return;
    if (Keep < 0) {
        Rec.Digits.clear();
    } else {
        const bool Up = Rec.Digits[Keep] >= '5';
        Rec.Digits.resize(Keep);
        if (Up) {
            int I = Keep - 1;
            while (I >= 0 && Rec.Digits[I] == '9')
                Rec.Digits[I--] = '0';
            if (I >= 0) {
                ++Rec.Digits[I];
            } else {
                Rec.Digits.insert(Rec.Digits.begin(), '1');
                ++Rec.Exponent;
            }
        }
    }
    while (!Rec.Digits.empty() && Rec.Digits.back() == '0')
        Rec.Digits.pop_back();
    if (Rec.Digits.empty()) {
        Rec.Exponent = 0;
        Rec.Negative = false;
    }
}

TFloatRec FloatToDecimal(double Value, int Precision) {
    TFloatRec Rec;
    Rec.Negative = std::signbit(Value);
    char Buf[64];
    std::snprintf(Buf, sizeof Buf, "%.*e", std::max(Precision, 15) - 1, std::fabs(Value));
    std::string S = Buf;
    const std::size_t E = S.find('e');
    for (std::size_t I = 0; I < E; ++I)
        if (S[I] != '.')
            Rec.Digits.push_back(S[I]);
    Rec.Exponent = std::atoi(S.c_str() + E + 1) + 1;
    while (!Rec.Digits.empty() && Rec.Digits.back() == '0')
        Rec.Digits.pop_back();
    if (Rec.Digits.empty()) {
        Rec.Exponent = 0;
        Rec.Negative = false;
    }
    if (Precision < 15)
        RoundDigits(Rec, Precision);
    return Rec;
}

char DigitAt(const TFloatRec& Rec, int i) {
    return i >= 0 && i < int(Rec.Digits.size()) ? Rec.Digits[i] : '0';
}

std::string SpecialText(double Value) {
    if (std::isnan(Value))
        return "NAN";
    return Value < 0 ? "-INF" : "INF";
}

std::string ExponentForm(const TFloatRec& Rec, int Precision, int MinExpDigits, bool PlusSign) {
    std::string S = Rec.Negative ? "-" : "";
    S += DigitAt(Rec, 0);
    if (Precision > 1) {
        S += '.';
        for (int I = 1; I < Precision; ++I)
            S += DigitAt(Rec, I);
    }
    const int Exp = Rec.Digits.empty() ? 0 : Rec.Exponent - 1;
    S += 'E';
    if (Exp < 0)
        S += '-';
    else if (PlusSign)
        S += '+';
    std::string E = std::to_string(std::abs(Exp));
    while (int(E.size()) < MinExpDigits)
        E.insert(E.begin(), '0');
    return S + E;
}

std::string FixedForm(double Value, int Decimals, bool Thousands, int Precision = 15) {
    if (!std::isfinite(Value))
        return SpecialText(Value);
    TFloatRec Rec = FloatToDecimal(Value, Precision);
    if (Rec.Exponent > 18)
        return ExponentForm(Rec, Precision, 3, true);
    RoundDigits(Rec, Rec.Exponent + Decimals);
    std::string S;
    if (Rec.Exponent <= 0) {
        S = "0";
    } else {
        for (int I = 0; I < Rec.Exponent; ++I) {
            if (Thousands && I > 0 && (Rec.Exponent - I) % 3 == 0)
                S += ',';
            S += DigitAt(Rec, I);
        }
    }
    if (Decimals > 0) {
        S += '.';
        for (int I = 0; I < Decimals; ++I)
            S += DigitAt(Rec, Rec.Exponent + I);
    }
    return Rec.Negative ? "-" + S : S;
}

std::string GeneralForm(double Value, int Precision, int MinExpDigits = 0) {
    if (!std::isfinite(Value))
        return SpecialText(Value);
    const TFloatRec Rec = FloatToDecimal(Value, Precision);
    if (Rec.Digits.empty())
        return "0";
    std::string S = Rec.Negative ? "-" : "";
    const int N = int(Rec.Digits.size());
    if (Rec.Exponent > Precision || Rec.Exponent < -3) {
        S += Rec.Digits[0];
        if (N > 1)
            S += "." + Rec.Digits.substr(1);
        const int Exp = Rec.Exponent - 1;
        std::string E = std::to_string(std::abs(Exp));
        while (int(E.size()) < MinExpDigits)
            E.insert(E.begin(), '0');
        return S + (Exp < 0 ? "E-" : "E") + E;
    }
    if (Rec.Exponent <= 0) {
        S += "0." + std::string(-Rec.Exponent, '0') + Rec.Digits;
    } else if (Rec.Exponent >= N) {
        S += Rec.Digits + std::string(Rec.Exponent - N, '0');
    } else {
        S += Rec.Digits.substr(0, Rec.Exponent) + "." + Rec.Digits.substr(Rec.Exponent);
    }
    return S;
}

String Widen(const std::string& ascii) {
    return String(ascii.begin(), ascii.end());
}

std::string HexDigits(std::uint64_t v) {
    static const char Digits[] = "0123456789ABCDEF";
    std::string S;
    do {
        S.insert(S.begin(), Digits[v & 15]);
        v >>= 4;
    } while (v);
    return S;
}

// ---------------------------------------------------------------------------------------------
// Format

class TFormatter {
public:
    TFormatter(const String& Fmt, std::initializer_list<TVarRec> Args) : FFmt(Fmt), FArgs(Args) {}

    String Run() {
        String Out;
        std::size_t I = 0;
        const std::size_t N = FFmt.size();
        while (I < N) {
            const char16_t C = FFmt[I++];
            if (C != '%') {
                Out.push_back(C);
                continue;
            }
            if (I >= N)
                Fail(false);
            if (FFmt[I] == '%') {
                Out.push_back('%');
                ++I;
                continue;
            }
            bool Left = false;
            int Width = -1, Precision = -1;
            int Number = ReadNumber(I);
            if (I < N && FFmt[I] == ':') {
                if (Number < 0)
                    Fail(false);
                FNext = std::size_t(Number);
                ++I;
                Number = -1;
            }
            if (Number < 0) {
                if (I < N && FFmt[I] == '-') {
                    Left = true;
                    ++I;
                }
                Number = ReadNumber(I);
            }
            Width = Number;
            if (I < N && FFmt[I] == '.') {
                ++I;
                Precision = ReadNumber(I);
                if (Precision < 0)
                    Precision = 0;
            }
            if (I >= N)
                Fail(false);
            char16_t Type = FFmt[I++];
            if (Type >= 'a' && Type <= 'z')
                Type -= 32;
            String Item = FormatItem(char(Type), Precision);
            if (Width >= 0 && int(Item.size()) < Width) {
                const String Pad(Width - Item.size(), u' ');
                Item = Left ? Item + Pad : Pad + Item;
            }
            Out += Item;
        }
        return Out;
    }

private:
    [[noreturn]] void Fail(bool Missing) {
        const String Shown = FFmt.substr(0, 31);
        if (Missing)
            throw EConvertError(u"No argument for format '" + Shown + u"'");
        throw EConvertError(u"Format '" + Shown + u"' invalid or incompatible with argument");
    }

    const TVarRec& NextArg() {
        if (FNext >= FArgs.size())
            Fail(true);
        return FArgs.begin()[FNext++];
    }

    // A run of digits or "*" (taken from the arguments); -1 when neither is there.
    int ReadNumber(std::size_t& i) {
        if (i < FFmt.size() && FFmt[i] == '*') {
            ++i;
            const TVarRec& A = NextArg();
            if (A.VType != TVarRec::vtInteger)
                Fail(false);
            return int(A.VInt64);
        }
        if (i >= FFmt.size() || FFmt[i] < '0' || FFmt[i] > '9')
            return -1;
        long V = 0;
        while (i < FFmt.size() && FFmt[i] >= '0' && FFmt[i] <= '9') {
            V = V * 10 + (FFmt[i++] - '0');
            if (V > 100000)
                Fail(false);
        }
        return int(V);
    }

    static bool IsSigned(const TVarRec& a) {
        return a.VType == TVarRec::vtInteger || a.VType == TVarRec::vtInt64 || a.VType == TVarRec::vtBoolean;
    }
    static bool IsUnsigned(const TVarRec& a) { return a.VType == TVarRec::vtCardinal || a.VType == TVarRec::vtUInt64; }
    static std::int64_t Signed(const TVarRec& a) { return a.VType == TVarRec::vtBoolean ? a.VBoolean : a.VInt64; }

    String FormatItem(char Type, int Precision) {
        const TVarRec& A = NextArg();
        switch (Type) {
        case 'D':
        case 'U':
        case 'X': {
            bool Negative = false;
            std::uint64_t Magnitude = 0;
            if (IsSigned(A)) {
                const std::int64_t V = Signed(A);
                if (Type == 'D') {
                    Negative = V < 0;
                    Magnitude = Negative ? 0 - std::uint64_t(V) : std::uint64_t(V);
                } else {
                    // Unsigned and hex forms show a 32-bit integer's own bits.
                    Magnitude = A.VType == TVarRec::vtInteger ? std::uint32_t(V) : std::uint64_t(V);
                }
            } else if (IsUnsigned(A)) {
                Magnitude = A.VUInt64;
            } else {
                Fail(false);
            }
            std::string Digits = Type == 'X' ? HexDigits(Magnitude) : std::to_string(Magnitude);
            if (Precision > int(Digits.size()))
                Digits.insert(0, Precision - Digits.size(), '0');
            return Widen(Negative ? "-" + Digits : Digits);
        }
        case 'E':
        case 'F':
        case 'G':
        case 'N':
        case 'M': {
            if (A.VType != TVarRec::vtExtended)
                Fail(false);
            const double V = A.VExtended;
            switch (Type) {
            case 'E': {
                const int P = Precision < 0 ? 15 : std::min(std::max(Precision, 1), 18);
                if (!std::isfinite(V))
                    return Widen(SpecialText(V));
                return Widen(ExponentForm(FloatToDecimal(V, P), P, 3, true));
            }
            case 'F':
                return Widen(FixedForm(V, Precision < 0 ? 2 : std::min(Precision, 18), false));
            case 'G':
                return Widen(GeneralForm(V, Precision < 0 ? 15 : std::min(std::max(Precision, 1), 18)));
            case 'N':
                return Widen(FixedForm(V, Precision < 0 ? 2 : std::min(Precision, 18), true));
            default: {
                // Money in the neutral English form: "$1,234.50", negatives in parentheses.
                std::string S = FixedForm(std::fabs(V), Precision < 0 ? 2 : std::min(Precision, 18), true);
                if (!std::isfinite(V))
                    return Widen(SpecialText(V));
                return Widen(V < 0 && S.find_first_not_of("0.,") != std::string::npos ? "($" + S + ")" : "$" + S);
            }
            }
        }
        case 'P': {
            if (A.VType != TVarRec::vtPointer)
                Fail(false);
            std::string Digits = HexDigits(reinterpret_cast<std::uintptr_t>(A.VPointer));
            Digits.insert(0, 2 * sizeof(void*) - Digits.size(), '0');
            return Widen(Digits);
        }
        case 'S': {
            String S;
            switch (A.VType) {
            case TVarRec::vtString:
                S = *A.VString;
                break;
            case TVarRec::vtPWideChar:
                if (A.VPWideChar)
                    S = A.VPWideChar;
                break;
            case TVarRec::vtChar:
                S = String(1, A.VChar);
                break;
            case TVarRec::vtPChar:
                if (A.VPChar)
                    S = UTF8ToString(A.VPChar);
                break;
            case TVarRec::vtStdString:
                S = UTF8ToString(*A.VStdString);
                break;
            default:
                Fail(false);
            }
            if (Precision >= 0 && std::size_t(Precision) < S.size())
                S.resize(Precision);
            return S;
        }
        default:
            Fail(false);
        }
    }

    const String& FFmt;
    std::initializer_list<TVarRec> FArgs;
    std::size_t FNext = 0;
};

} // namespace

String Format(const String& Fmt, std::initializer_list<TVarRec> Args) {
    return TFormatter(Fmt, Args).Run();
}

// ---------------------------------------------------------------------------------------------
// Integers

namespace {

// The raising and defaulting forms of a TryStrToX routine.
template <class T> T ConvertOrRaise(bool (*Try)(const String&, T&), const String& S, const char16_t* What) {
    T V{};
    if (!Try(S, V))
        throw EConvertError(u"'" + S + u"' is not a valid " + What);
    return V;
}

template <class T> T ConvertOrDefault(bool (*Try)(const String&, T&), const String& S, T Default) {
    T V{};
    return Try(S, V) ? V : Default;
}

} // namespace

String IntToStr(std::int64_t Value) {
    return Widen(std::to_string(Value));
}

String UIntToStr(std::uint64_t Value) {
    return Widen(std::to_string(Value));
}

String IntToHex(std::int64_t Value, int Digits) {
    std::string S = HexDigits(std::uint64_t(Value));
    if (Digits > int(S.size()))
        S.insert(0, Digits - S.size(), '0');
    return Widen(S);
}

bool TryStrToInt64(const String& S, std::int64_t& Value) {
    std::size_t I = 0, N = S.size();
    while (I < N && (S[I] == ' ' || S[I] == '\t'))
        ++I;
    while (N > I && (S[N - 1] == ' ' || S[N - 1] == '\t'))
        --N;
    bool Negative = false;
    if (I < N && (S[I] == '-' || S[I] == '+'))
        Negative = S[I++] == '-';
    unsigned Base = 10;
    if (I < N && S[I] == '$') {
        Base = 16;
        ++I;
    } else if (I + 1 < N && S[I] == '0' && (S[I + 1] == 'x' || S[I + 1] == 'X')) {
        Base = 16;
        I += 2;
    }
    if (I >= N)
        return false;
    const std::uint64_t Limit = Negative ? std::uint64_t(1) << 63 : (std::uint64_t(1) << 63) - 1;
    std::uint64_t V = 0;
    for (; I < N; ++I) {
        const char16_t C = S[I];
        unsigned D;
        if (C >= '0' && C <= '9')
            D = C - '0';
        else if (Base == 16 && C >= 'a' && C <= 'f')
            D = C - 'a' + 10;
        else if (Base == 16 && C >= 'A' && C <= 'F')
            D = C - 'A' + 10;
        else
            return false;
        if (V > (Limit - D) / Base)
            return false;
        V = V * Base + D;
    }
    Value = Negative ? std::int64_t(0 - V) : std::int64_t(V);
    return true;
}

bool TryStrToInt(const String& S, int& Value) {
    std::int64_t V;
    if (!TryStrToInt64(S, V) || V < std::numeric_limits<int>::min() || V > std::numeric_limits<int>::max())
        return false;
    Value = int(V);
    return true;
}

int StrToInt(const String& S) {
    return ConvertOrRaise(TryStrToInt, S, u"integer value");
}

std::int64_t StrToInt64(const String& S) {
    return ConvertOrRaise(TryStrToInt64, S, u"integer value");
}

int StrToIntDef(const String& S, int Default) {
    return ConvertOrDefault(TryStrToInt, S, Default);
}

std::int64_t StrToInt64Def(const String& S, std::int64_t Default) {
    return ConvertOrDefault(TryStrToInt64, S, Default);
}

// ---------------------------------------------------------------------------------------------
// Booleans

String BoolToStr(bool B, bool UseBoolStrs) {
    if (UseBoolStrs)
        return B ? u"True" : u"False";
    return B ? u"-1" : u"0";
}

bool TryStrToBool(const String& S, bool& Value) {
    const String T = Trim(S);
    if (SameText(T, u"True")) {
        Value = true;
        return true;
    }
    if (SameText(T, u"False")) {
        Value = false;
        return true;
    }
    double D;
    if (TryStrToFloat(T, D)) {
        Value = D != 0;
        return true;
    }
    return false;
}

bool StrToBool(const String& S) {
    return ConvertOrRaise(TryStrToBool, S, u"boolean value");
}

bool StrToBoolDef(const String& S, bool Default) {
    return ConvertOrDefault(TryStrToBool, S, Default);
}

// ---------------------------------------------------------------------------------------------
// Floating point

String FloatToStr(double Value) {
    return Widen(GeneralForm(Value, 15));
}

String FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits) {
    Precision = std::min(std::max(Precision, 1), 18);
    Digits = std::min(std::max(Digits, 0), 18);
    switch (Format) {
    case ffGeneral:
        return Widen(GeneralForm(Value, Precision, std::min(Digits, 4)));
    case ffExponent:
        if (!std::isfinite(Value))
            return Widen(SpecialText(Value));
        return Widen(ExponentForm(FloatToDecimal(Value, Precision), Precision, std::min(Digits, 4), true));
    case ffFixed:
        return Widen(FixedForm(Value, Digits, false, std::min(Precision, 15)));
    case ffNumber:
        return Widen(FixedForm(Value, Digits, true, std::min(Precision, 15)));
    case ffCurrency:
    default:
        return ::Format(u"%." + IntToStr(Digits) + u"m", {Value});
    }
}

namespace {

// One section of a picture format such as "#,##0.00" or "0.0E+00".
struct TFloatPicture {
    String Prefix, Suffix;
    int IntZeros = 0;
    int IntDigits = 0;
    int FracZeros = 0;
    int FracDigits = 0;
    bool Thousands = false;
    bool Scientific = false;
    bool ExpPlus = false;
    int ExpDigits = 0;
};

TFloatPicture ParsePicture(const String& Section) {
    TFloatPicture P;
    bool SeenDigit = false, AfterPoint = false, Done = false;
    std::size_t I = 0;
    const std::size_t N = Section.size();
    auto Literal = [&](const String& text) { (SeenDigit ? P.Suffix : P.Prefix) += text; };
    while (I < N) {
        const char16_t C = Section[I];
        if (C == '"' || C == '\'') {
            const std::size_t End = Section.find(C, I + 1);
            const std::size_t Stop = End == String::npos ? N : End;
            Literal(Section.substr(I + 1, Stop - I - 1));
            I = Stop + 1;
        } else if (!Done && (C == '0' || C == '#')) {
            SeenDigit = true;
            if (AfterPoint)
                (C == '0' ? P.FracZeros : P.FracDigits)++;
            else {
                P.IntDigits++;
                if (C == '0')
                    P.IntZeros++;
            }
            ++I;
        } else if (!Done && C == '.' && !AfterPoint) {
            AfterPoint = true;
            SeenDigit = true;
            ++I;
        } else if (!Done && C == ',') {
            P.Thousands = true;
            ++I;
        } else if (!Done && SeenDigit && (C == 'E' || C == 'e') && I + 1 < N &&
                   (Section[I + 1] == '+' || Section[I + 1] == '-')) {
            P.Scientific = true;
            P.ExpPlus = Section[I + 1] == '+';
            I += 2;
            while (I < N && Section[I] == '0') {
                P.ExpDigits++;
                ++I;
            }
            Done = true;
        } else {
            if (SeenDigit)
                Done = true;
            Literal(String(1, C));
            ++I;
        }
    }
    // Digits after an optional "#" decimals count as optional too.
    return P;
}

std::vector<String> SplitSections(const String& Format) {
    std::vector<String> Sections(1);
    char16_t Quote = 0;
    for (char16_t C : Format) {
        if (Quote) {
            if (C == Quote)
                Quote = 0;
        } else if (C == '"' || C == '\'') {
            Quote = C;
        } else if (C == ';') {
            Sections.emplace_back();
            continue;
        }
        Sections.back().push_back(C);
    }
    return Sections;
}

std::string GroupThousands(const std::string& digits) {
    std::string S;
    for (std::size_t I = 0; I < digits.size(); ++I) {
        if (I > 0 && (digits.size() - I) % 3 == 0)
            S += ',';
        S += digits[I];
    }
    return S;
}

std::string ApplyPicture(const TFloatPicture& P, double Value) {
    const int FracMax = P.FracZeros + P.FracDigits;
    std::string IntPart, FracPart, ExpPart;
    if (P.Scientific) {
        const int IntDigits = std::max(P.IntDigits, 1);
        const int Precision = std::min(IntDigits + FracMax, 15);
        TFloatRec Rec = FloatToDecimal(Value, std::max(Precision, 1));
        int Exp = Rec.Digits.empty() ? 0 : Rec.Exponent - IntDigits;
        for (int I = 0; I < IntDigits; ++I)
            IntPart += DigitAt(Rec, I);
        for (int I = 0; I < FracMax; ++I)
            FracPart += DigitAt(Rec, IntDigits + I);
        std::string E = std::to_string(std::abs(Exp));
        while (int(E.size()) < P.ExpDigits)
            E.insert(E.begin(), '0');
        ExpPart = std::string("E") + (Exp < 0 ? "-" : P.ExpPlus ? "+" : "") + E;
    } else {
        TFloatRec Rec = FloatToDecimal(Value, 15);
        RoundDigits(Rec, Rec.Exponent + FracMax);
        for (int I = 0; I < Rec.Exponent; ++I)
            IntPart += DigitAt(Rec, I);
        for (int I = 0; I < FracMax; ++I)
            FracPart += DigitAt(Rec, Rec.Exponent + I);
    }
    while (int(IntPart.size()) < P.IntZeros)
        IntPart.insert(IntPart.begin(), '0');
    while (int(FracPart.size()) > P.FracZeros && FracPart.back() == '0')
        FracPart.pop_back();
    if (P.Thousands)
        IntPart = GroupThousands(IntPart);
    std::string S = IntPart;
    if (!FracPart.empty())
        S += "." + FracPart;
    return S + ExpPart;
}

} // namespace

String FormatFloat(const String& Format, double Value) {
    if (!std::isfinite(Value))
        return Widen(SpecialText(Value));
    const std::vector<String> Sections = SplitSections(Format);
    if (Format.empty())
        return FloatToStr(Value);
    const TFloatPicture First = ParsePicture(Sections[0]);
    // Zero and negative values take their own sections when the format has them (and they are
    // not empty); the sign is then the section's business.
    const String ZeroProbe = Widen(ApplyPicture(First, Value));
    const bool IsZero = ZeroProbe.find_first_not_of(u"0.,E+-") == String::npos;
    if (IsZero && Sections.size() >= 3 && !Sections[2].empty()) {
        const TFloatPicture P = ParsePicture(Sections[2]);
        return P.Prefix + Widen(ApplyPicture(P, 0)) + P.Suffix;
    }
    if (Value < 0 && !IsZero && Sections.size() >= 2 && !Sections[1].empty()) {
        const TFloatPicture P = ParsePicture(Sections[1]);
        return P.Prefix + Widen(ApplyPicture(P, -Value)) + P.Suffix;
    }
    const String Sign = Value < 0 && !IsZero ? u"-" : u"";
    if (First.IntDigits == 0 && First.FracZeros + First.FracDigits == 0 && !First.Scientific &&
        First.Prefix + First.Suffix == Sections[0])
        return First.Prefix; // a picture without digits is all literal
    return Sign + First.Prefix + Widen(ApplyPicture(First, std::fabs(Value))) + First.Suffix;
}

bool TryStrToFloat(const String& S, double& Value) {
    const String T = Trim(S);
    std::string Ascii;
    for (char16_t C : T) {
        if (C >= 0x80)
            return false;
        Ascii.push_back(char(C));
    }
    // Check the form first: from_chars would accept "inf", "nan" and hex forms.
    std::size_t I = 0;
    if (I < Ascii.size() && (Ascii[I] == '+' || Ascii[I] == '-'))
        ++I;
    std::size_t Digits = 0;
    while (I < Ascii.size() && std::isdigit((unsigned char)Ascii[I]))
        ++I, ++Digits;
    if (I < Ascii.size() && Ascii[I] == '.') {
        ++I;
        while (I < Ascii.size() && std::isdigit((unsigned char)Ascii[I]))
            ++I, ++Digits;
    }
    if (Digits == 0)
        return false;
    if (I < Ascii.size() && (Ascii[I] == 'e' || Ascii[I] == 'E')) {
        ++I;
        if (I < Ascii.size() && (Ascii[I] == '+' || Ascii[I] == '-'))
            ++I;
        std::size_t ExpDigits = 0;
        while (I < Ascii.size() && std::isdigit((unsigned char)Ascii[I]))
            ++I, ++ExpDigits;
        if (ExpDigits == 0)
            return false;
    }
    if (I != Ascii.size())
        return false;
    const char* Begin = Ascii.data() + (Ascii[0] == '+' ? 1 : 0);
    double V = 0;
    const auto [end, ec] = std::from_chars(Begin, Ascii.data() + Ascii.size(), V);
    if (ec != std::errc() || end != Ascii.data() + Ascii.size())
        return false;
    Value = V;
    return true;
}

double StrToFloat(const String& S) {
    return ConvertOrRaise(TryStrToFloat, S, u"floating point value");
}

double StrToFloatDef(const String& S, double Default) {
    return ConvertOrDefault(TryStrToFloat, S, Default);
}

// ---------------------------------------------------------------------------------------------
// Text

String Trim(const String& S) {
    return TrimRight(TrimLeft(S));
}

String TrimLeft(const String& S) {
    std::size_t I = 0;
    while (I < S.size() && S[I] <= ' ')
        ++I;
    return S.substr(I);
}

String TrimRight(const String& S) {
    std::size_t N = S.size();
    while (N > 0 && S[N - 1] <= ' ')
        --N;
    return S.substr(0, N);
}

namespace {

char16_t AsciiUpper(char16_t c) {
    return c >= 'a' && c <= 'z' ? char16_t(c - 32) : c;
}
char16_t AsciiLower(char16_t c) {
    return c >= 'A' && c <= 'Z' ? char16_t(c + 32) : c;
}

locale_t Utf8Locale() {
    static locale_t Loc = [] {
        locale_t L = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
        return L ? L : newlocale(LC_CTYPE_MASK, "C", locale_t(0));
    }();
    return Loc;
}

char16_t UnicodeUpper(char16_t c) {
    if (c < 0x80)
        return AsciiUpper(c);
    if (c >= 0xD800 && c <= 0xDFFF)
        return c;
    const wint_t U = towupper_l(c, Utf8Locale());
    return U <= 0xFFFF ? char16_t(U) : c;
}

char16_t UnicodeLower(char16_t c) {
    if (c < 0x80)
        return AsciiLower(c);
    if (c >= 0xD800 && c <= 0xDFFF)
        return c;
    const wint_t U = towlower_l(c, Utf8Locale());
    return U <= 0xFFFF ? char16_t(U) : c;
}

template <class F> String MapChars(const String& S, F f) {
    String R = S;
    for (char16_t& C : R)
        C = f(C);
    return R;
}

template <class F> int CompareWith(const String& A, const String& B, F f) {
    const std::size_t N = std::min(A.size(), B.size());
    for (std::size_t I = 0; I < N; ++I) {
        const int D = int(f(A[I])) - int(f(B[I]));
        if (D != 0)
            return D;
    }
    return int(A.size()) - int(B.size());
}

char16_t Same(char16_t c) {
    return c;
}

} // namespace

String UpperCase(const String& S) {
    return MapChars(S, AsciiUpper);
}
String LowerCase(const String& S) {
    return MapChars(S, AsciiLower);
}
String AnsiUpperCase(const String& S) {
    return MapChars(S, UnicodeUpper);
}
String AnsiLowerCase(const String& S) {
    return MapChars(S, UnicodeLower);
}
int CompareStr(const String& A, const String& B) {
    return CompareWith(A, B, Same);
}
int CompareText(const String& A, const String& B) {
    return CompareWith(A, B, AsciiUpper);
}
bool SameStr(const String& A, const String& B) {
    return A == B;
}
bool SameText(const String& A, const String& B) {
    return A.size() == B.size() && CompareText(A, B) == 0;
}
int AnsiCompareStr(const String& A, const String& B) {
    return CompareWith(A, B, Same);
}
int AnsiCompareText(const String& A, const String& B) {
    return CompareWith(A, B, UnicodeUpper);
}
bool AnsiSameText(const String& A, const String& B) {
    return A.size() == B.size() && AnsiCompareText(A, B) == 0;
}
bool AnsiSameStr(const String& A, const String& B) {
    return A == B;
}
int AnsiPos(const String& Sub, const String& S) {
    return Pos(Sub, S);
}

String QuotedStr(const String& S) {
    return AnsiQuotedStr(S, u'\'');
}

String AnsiQuotedStr(const String& S, Char Quote) {
    String R(1, Quote);
    for (char16_t C : S) {
        R.push_back(C);
        if (C == Quote)
            R.push_back(C);
    }
    R.push_back(Quote);
    return R;
}

String AnsiDequotedStr(const String& S, Char Quote) {
    if (S.size() < 2 || S.front() != Quote || S.back() != Quote)
        return S;
    String R;
    for (std::size_t I = 1; I + 1 < S.size(); ++I) {
        R.push_back(S[I]);
        if (S[I] == Quote && I + 2 < S.size() && S[I + 1] == Quote)
            ++I;
    }
    return R;
}

String StringReplace(const String& S, const String& OldPattern, const String& NewPattern, TReplaceFlags Flags) {
    if (OldPattern.empty())
        return S;
    const bool IgnoreCase = Flags.Contains(rfIgnoreCase);
    const String Hay = IgnoreCase ? AnsiUpperCase(S) : S;
    const String Needle = IgnoreCase ? AnsiUpperCase(OldPattern) : OldPattern;
    String R;
    std::size_t From = 0;
    while (true) {
        const std::size_t P = Hay.find(Needle, From);
        if (P == String::npos)
            break;
        R.append(S, From, P - From);
        R += NewPattern;
        From = P + OldPattern.size();
        if (!Flags.Contains(rfReplaceAll))
            break;
    }
    R.append(S, From, String::npos);
    return R;
}

int LastDelimiter(const String& Delimiters, const String& S) {
    const std::size_t P = S.find_last_of(Delimiters);
    return P == String::npos ? 0 : int(P) + 1;
}

bool StartsStr(const String& SubText, const String& Text) {
    return Text.starts_with(SubText);
}
bool EndsStr(const String& SubText, const String& Text) {
    return Text.ends_with(SubText);
}
bool StartsText(const String& SubText, const String& Text) {
    return Text.size() >= SubText.size() && AnsiSameText(Text.substr(0, SubText.size()), SubText);
}
bool EndsText(const String& SubText, const String& Text) {
    return Text.size() >= SubText.size() && AnsiSameText(Text.substr(Text.size() - SubText.size()), SubText);
}
bool ContainsStr(const String& Text, const String& SubText) {
    return Text.find(SubText) != String::npos;
}
bool ContainsText(const String& Text, const String& SubText) {
    return AnsiUpperCase(Text).find(AnsiUpperCase(SubText)) != String::npos;
}

String IntToStrPadded(std::int64_t Value, int Digits) {
    return Format(u"%.*d", {Digits, Value});
}

// ---------------------------------------------------------------------------------------------
// Paths and files

const String sLineBreak = u"\r\n";

String IncludeTrailingPathDelimiter(const String& S) {
    if (!S.empty() && S.back() == PathDelim)
        return S;
    return S + PathDelim;
}

String ExcludeTrailingPathDelimiter(const String& S) {
    String R = S;
    while (R.size() > 1 && R.back() == PathDelim)
        R.pop_back();
    return R;
}

bool IsPathDelimiter(const String& S, int Index) {
    return Index >= 1 && std::size_t(Index) <= S.size() && S[Index - 1] == PathDelim;
}

String ExtractFilePath(const String& FileName) {
    const std::size_t P = FileName.rfind(PathDelim);
    return P == String::npos ? String() : FileName.substr(0, P + 1);
}

String ExtractFileDir(const String& FileName) {
    const std::size_t P = FileName.rfind(PathDelim);
    if (P == String::npos)
        return String();
    return P == 0 ? String(u"/") : FileName.substr(0, P);
}

String ExtractFileName(const String& FileName) {
    const std::size_t P = FileName.rfind(PathDelim);
    return P == String::npos ? FileName : FileName.substr(P + 1);
}

String ExtractFileExt(const String& FileName) {
    const std::size_t P = FileName.find_last_of(u"./");
    if (P == String::npos || FileName[P] != '.')
        return String();
    return FileName.substr(P);
}

String ExtractFileDrive(const String&) {
    return String();
}

String ChangeFileExt(const String& FileName, const String& Extension) {
    const std::size_t P = FileName.find_last_of(u"./");
    if (P == String::npos || FileName[P] != '.')
        return FileName + Extension;
    return FileName.substr(0, P) + Extension;
}

String ExpandFileName(const String& FileName) {
    String Full = FileName;
    if (Full.empty() || Full[0] != PathDelim)
        Full = IncludeTrailingPathDelimiter(GetCurrentDir()) + Full;
    std::vector<String> Parts;
    std::size_t I = 0;
    while (I <= Full.size()) {
        std::size_t J = Full.find(PathDelim, I);
        if (J == String::npos)
            J = Full.size();
        const String Part = Full.substr(I, J - I);
        if (Part == u"..") {
            if (!Parts.empty())
                Parts.pop_back();
        } else if (!Part.empty() && Part != u".") {
            Parts.push_back(Part);
        }
        I = J + 1;
    }
    String R;
    for (const String& Part : Parts)
        R += u"/" + Part;
    if (R.empty() || (!FileName.empty() && FileName.back() == PathDelim))
        R += u"/";
    return R;
}

std::string FileNameToUTF8(const String& FileName) {
    return UTF8Encode(FileName);
}

bool FileExists(const String& FileName) {
    struct stat St;
    return !FileName.empty() && ::stat(UTF8Encode(FileName).c_str(), &St) == 0 && !S_ISDIR(St.st_mode);
}

bool DirectoryExists(const String& Directory) {
    struct stat St;
    return !Directory.empty() && ::stat(UTF8Encode(Directory).c_str(), &St) == 0 && S_ISDIR(St.st_mode);
}

bool CreateDir(const String& Dir) {
    return !Dir.empty() && ::mkdir(UTF8Encode(Dir).c_str(), 0777) == 0;
}

bool ForceDirectories(const String& Dir) {
    if (Dir.empty())
        throw EInOutError(u"Unable to create directory");
    const String D = ExcludeTrailingPathDelimiter(Dir);
    if (DirectoryExists(D))
        return true;
    const String Parent = ExtractFileDir(D);
    if (!Parent.empty() && Parent != D && !ForceDirectories(Parent))
        return false;
    return CreateDir(D) || DirectoryExists(D);
}

bool RemoveDir(const String& Dir) {
    return ::rmdir(UTF8Encode(Dir).c_str()) == 0;
}

bool DeleteFile(const String& FileName) {
    if (DirectoryExists(FileName)) {
        errno = EISDIR;
        return false;
    }
    return ::unlink(UTF8Encode(FileName).c_str()) == 0;
}

bool RenameFile(const String& OldName, const String& NewName) {
    // Never replaces an existing file: a rename that would overwrite fails with EEXIST.
    const std::string From = UTF8Encode(OldName), To = UTF8Encode(NewName);
    if (::renameat2(AT_FDCWD, From.c_str(), AT_FDCWD, To.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    struct stat St;
    if (::lstat(To.c_str(), &St) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(From.c_str(), To.c_str()) == 0;
}

std::int64_t FileSize(const String& FileName) {
    struct stat St;
    if (::stat(UTF8Encode(FileName).c_str(), &St) != 0 || S_ISDIR(St.st_mode))
        return -1;
    return St.st_size;
}

String GetCurrentDir() {
    std::string Buf(4096, '\0');
    while (!::getcwd(Buf.data(), Buf.size())) {
        if (errno != ERANGE)
            return String();
        Buf.resize(Buf.size() * 2);
    }
    return UTF8ToString(Buf.c_str());
}

bool SetCurrentDir(const String& Dir) {
    return ::chdir(UTF8Encode(Dir).c_str()) == 0;
}

String GetEnvironmentVariable(const String& Name) {
    const char* V = std::getenv(UTF8Encode(Name).c_str());
    return V ? UTF8ToString(V) : String();
}

int GetLastError() {
    return errno;
}

void SetLastError(int Code) {
    errno = Code;
}

String SysErrorMessage(int ErrorCode) {
    char Buf[256];
    return UTF8ToString(strerror_r(ErrorCode, Buf, sizeof Buf));
}

void RaiseLastOSError() {
    RaiseLastOSError(GetLastError());
}

void RaiseLastOSError(int LastError) {
    if (LastError != 0)
        throw EOSError(Format(u"System Error.  Code: %d.\n%s", {LastError, SysErrorMessage(LastError)}));
    throw EOSError(u"A call to an OS function failed");
}

// ---------------------------------------------------------------------------------------------
// Dates and times

namespace {

// Days from 1899-12-30 of a proleptic Gregorian date, and back.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t Era = (y >= 0 ? y : y - 399) / 400;
    const unsigned Yoe = unsigned(y - Era * 400);
    const unsigned Doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned Doe = Yoe * 365 + Yoe / 4 - Yoe / 100 + Doy;
    return Era * 146097 + std::int64_t(Doe) - 719468 + 25569; // 1970-01-01 is day 25569
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z -= 25569;
    z += 719468;
    const std::int64_t Era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned Doe = unsigned(z - Era * 146097);
    const unsigned Yoe = (Doe - Doe / 1460 + Doe / 36524 - Doe / 146096) / 365;
    const unsigned Doy = Doe - (365 * Yoe + Yoe / 4 - Yoe / 100);
    const unsigned Mp = (5 * Doy + 2) / 153;
    d = int(Doy - (153 * Mp + 2) / 5 + 1);
    m = int(Mp < 10 ? Mp + 3 : Mp - 9);
    y = int(std::int64_t(Yoe) + Era * 400 + (m <= 2));
}

// Whole days and milliseconds of the day of a date-time.
void SplitDateTime(TDateTime dt, std::int64_t& days, std::int64_t& ms) {
    if (dt >= 0) {
        const std::int64_t Total = Round(dt * MSecsPerDay);
        days = Total / 86400000;
        ms = Total % 86400000;
    } else {
        days = Trunc(dt);
        ms = std::min<std::int64_t>(Round(std::fabs(Frac(dt)) * MSecsPerDay), 86399999);
    }
}

TDateTime FromTm(const std::tm& t, int msec) {
    return EncodeDate(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday) + EncodeTime(t.tm_hour, t.tm_min, t.tm_sec, msec);
}

TDateTime LocalFromTimespec(const timespec& ts) {
    std::tm T{};
    const time_t Secs = ts.tv_sec;
    localtime_r(&Secs, &T);
    return FromTm(T, int(ts.tv_nsec / 1000000));
}

const char* const ShortMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const LongMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                      "July",    "August",   "September", "October", "November", "December"};
const char* const ShortDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const LongDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

} // namespace

bool IsLeapYear(int Year) {
    return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0);
}

int DaysInMonth(int Year, int Month) {
    static const int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (Month < 1 || Month > 12)
        return 0;
    return Days[Month - 1] + (Month == 2 && IsLeapYear(Year));
}

bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date) {
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > DaysInMonth(Year, Month))
        return false;
    Date = double(DaysFromCivil(Year, unsigned(Month), unsigned(Day)));
    return true;
}

bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time) {
    if (Hour < 0 || Hour > 23 || Min < 0 || Min > 59 || Sec < 0 || Sec > 59 || MSec < 0 || MSec > 999)
        return false;
    Time = (((Hour * 60.0 + Min) * 60.0 + Sec) * 1000.0 + MSec) / MSecsPerDay;
    return true;
}

TDateTime EncodeDate(int Year, int Month, int Day) {
    TDateTime D;
    if (!TryEncodeDate(Year, Month, Day, D))
        throw EConvertError(u"Invalid argument to date encode");
    return D;
}

TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec) {
    TDateTime T;
    if (!TryEncodeTime(Hour, Min, Sec, MSec, T))
        throw EConvertError(u"Invalid argument to time encode");
    return T;
}

void DecodeDate(TDateTime Date, int& Year, int& Month, int& Day) {
    std::int64_t Days, Ms;
    SplitDateTime(Date, Days, Ms);
    CivilFromDays(Days, Year, Month, Day);
}

void DecodeTime(TDateTime Time, int& Hour, int& Min, int& Sec, int& MSec) {
    std::int64_t Days, Ms;
    SplitDateTime(Time, Days, Ms);
    Hour = int(Ms / 3600000);
    Min = int(Ms / 60000 % 60);
    Sec = int(Ms / 1000 % 60);
    MSec = int(Ms % 1000);
}

int DayOfWeek(TDateTime Date) {
    std::int64_t Days, Ms;
    SplitDateTime(Date, Days, Ms);
    // 1899-12-30 was a Saturday.
    return int(((Days - 1) % 7 + 7) % 7) + 1;
}

TDateTime Now() {
    timespec Ts;
    clock_gettime(CLOCK_REALTIME, &Ts);
    return LocalFromTimespec(Ts);
}

TDateTime Date() {
    return std::floor(Now());
}

TDateTime Time() {
    return Frac(Now());
}

TDateTime UnixToDateTime(std::int64_t Seconds, bool ReturnUTC) {
    if (ReturnUTC)
        return UnixDateDelta + double(Seconds) / 86400.0;
    timespec Ts{time_t(Seconds), 0};
    return LocalFromTimespec(Ts);
}

std::int64_t DateTimeToUnix(TDateTime DateTime, bool InputIsUTC) {
    if (InputIsUTC)
        return Round((DateTime - UnixDateDelta) * 86400.0);
    int Y, Mo, D, H, Mi, S, Ms;
    DecodeDate(DateTime, Y, Mo, D);
    DecodeTime(DateTime, H, Mi, S, Ms);
    std::tm T{};
    T.tm_year = Y - 1900;
    T.tm_mon = Mo - 1;
    T.tm_mday = D;
    T.tm_hour = H;
    T.tm_min = Mi;
    T.tm_sec = S;
    T.tm_isdst = -1;
    return std::int64_t(mktime(&T));
}

bool FileAge(const String& FileName, TDateTime& FileDateTime) {
    struct stat St;
    if (::stat(UTF8Encode(FileName).c_str(), &St) != 0)
        return false;
    FileDateTime = LocalFromTimespec(St.st_mtim);
    return true;
}

namespace {

// One run of FormatDateTime: each specifier of the format appends its part of the date and time.
class TDateTimeFormatter {
public:
    TDateTimeFormatter(const String& Format, TDateTime DateTime) : FFormat(UTF8Encode(Format)), FDateTime(DateTime) {
        DecodeDate(FDateTime, FYear, FMonth, FDay);
        DecodeTime(FDateTime, FHour, FMinute, FSecond, FMsec);
        std::string Lower;
        for (char C : FFormat)
            Lower += char(std::tolower((unsigned char)C));
        FUsesAmPm = Lower.find("am/pm") != std::string::npos || Lower.find("a/p") != std::string::npos ||
                    Lower.find("ampm") != std::string::npos;
    }

    String Run() {
        std::size_t I = 0;
        while (I < FFormat.size()) {
            const char C = FFormat[I];
            const char Lc = char(std::tolower((unsigned char)C));
            if (C == '"' || C == '\'') {
                I = Quoted(I, C);
                continue;
            }
            I = Specifier(I, C, Lc);
            // Literal separators between an hour and "m" keep "m" a minute.
            if (std::strchr("ymdnsztc", Lc))
                FLastWasHour = false;
        }
        return UTF8ToString(FOut);
    }

private:
    static std::string Two(int V) {
        char B[8];
        std::snprintf(B, sizeof B, "%02d", V);
        return std::string(B);
    }
    // How many times C (in either case) repeats from I.
    std::size_t RunOf(std::size_t I, char C) const {
        std::size_t N = 0;
        while (I + N < FFormat.size() && std::tolower((unsigned char)FFormat[I + N]) == C)
            ++N;
        return N;
    }
    std::size_t Quoted(std::size_t I, char C) {
        const std::size_t End = FFormat.find(C, I + 1);
        const std::size_t Stop = End == std::string::npos ? FFormat.size() : End;
        FOut += FFormat.substr(I + 1, Stop - I - 1);
        return Stop + 1;
    }
    // Appends the part that the specifier at I stands for; answers where the next one starts.
    std::size_t Specifier(std::size_t I, char C, char Lc) {
        switch (Lc) {
        case 'y':
            return Year(I);
        case 'm':
            return MonthOrMinute(I);
        case 'd':
            return Day(I);
        case 'h':
            return Hour(I);
        case 'n':
            return Number(I, 'n', FMinute);
        case 's':
            return Number(I, 's', FSecond);
        case 'z':
            return Milliseconds(I);
        case 't': {
            const std::size_t N = RunOf(I, 't');
            FOut += UTF8Encode(FormatDateTime(N == 1 ? u"hh:nn" : u"hh:nn:ss", FDateTime));
            return I + N;
        }
        case 'c':
            FOut += UTF8Encode(DateTimeToStr(FDateTime));
            return I + 1;
        case 'a':
            if (std::size_t N = AmPm(I, C))
                return I + N;
            break;
        }
        FOut += C; // "/" and ":" are the separators themselves here
        return I + 1;
    }
    std::size_t Year(std::size_t I) {
        const std::size_t N = RunOf(I, 'y');
        FOut += N <= 2 ? Two(FYear % 100) : std::to_string(FYear);
        return I + N;
    }
    std::size_t MonthOrMinute(std::size_t I) {
        std::size_t N = RunOf(I, 'm');
        if (FLastWasHour && N <= 2) {
            FOut += N == 1 ? std::to_string(FMinute) : Two(FMinute);
        } else if (N == 1) {
            FOut += std::to_string(FMonth);
        } else if (N == 2) {
            FOut += Two(FMonth);
        } else if (N == 3) {
            FOut += ShortMonthNames[FMonth - 1];
        } else {
            FOut += LongMonthNames[FMonth - 1];
            N = 4;
        }
        return I + N;
    }
    std::size_t Day(std::size_t I) {
        std::size_t N = RunOf(I, 'd');
        const int Dow = DayOfWeek(FDateTime) - 1;
        switch (N) {
        case 1:
            FOut += std::to_string(FDay);
            break;
        case 2:
            FOut += Two(FDay);
            break;
        case 3:
            FOut += ShortDayNames[Dow];
            break;
        case 4:
            FOut += LongDayNames[Dow];
            break;
        case 5:
            FOut += UTF8Encode(FormatDateTime(u"yyyy-mm-dd", FDateTime));
            break;
        default:
            FOut += UTF8Encode(FormatDateTime(u"dddd, mmmm d, yyyy", FDateTime));
            N = 6;
        }
        return I + N;
    }
    std::size_t Hour(std::size_t I) {
        const std::size_t N = RunOf(I, 'h');
        int Hh = FHour;
        if (FUsesAmPm) {
            Hh = FHour % 12;
            if (Hh == 0)
                Hh = 12;
        }
        FOut += N == 1 ? std::to_string(Hh) : Two(Hh);
        FLastWasHour = true;
        return I + N;
    }
    std::size_t Number(std::size_t I, char C, int V) {
        const std::size_t N = RunOf(I, C);
        FOut += N == 1 ? std::to_string(V) : Two(V);
        return I + N;
    }
    std::size_t Milliseconds(std::size_t I) {
        const std::size_t N = RunOf(I, 'z');
        char B[8];
        std::snprintf(B, sizeof B, N >= 3 ? "%03d" : "%d", FMsec);
        FOut += B;
        return I + N;
    }
    // The morning or afternoon marker at I, in the case it is written; 0 when none stands there.
    std::size_t AmPm(std::size_t I, char C) {
        if (FFormat.compare(I, 5, "am/pm") == 0) {
            FOut += FHour < 12 ? "am" : "pm";
            return 5;
        }
        if (FFormat.compare(I, 5, "AM/PM") == 0) {
            FOut += FHour < 12 ? "AM" : "PM";
            return 5;
        }
        if (FFormat.compare(I, 3, "a/p") == 0 || FFormat.compare(I, 3, "A/P") == 0) {
            FOut += FHour < 12 ? (C == 'a' ? "a" : "A") : (C == 'a' ? "p" : "P");
            return 3;
        }
        if (FFormat.compare(I, 4, "ampm") == 0 || FFormat.compare(I, 4, "AMPM") == 0) {
            FOut += FHour < 12 ? "AM" : "PM";
            return 4;
        }
        return 0;
    }

    const std::string FFormat;
    const TDateTime FDateTime;
    int FYear = 0, FMonth = 0, FDay = 0, FHour = 0, FMinute = 0, FSecond = 0, FMsec = 0;
    bool FUsesAmPm = false;
    bool FLastWasHour = false;
    std::string FOut;
};

} // namespace

String FormatDateTime(const String& Format, TDateTime DateTime) {
    return TDateTimeFormatter(Format, DateTime).Run();
}

String DateToStr(TDateTime Date) {
    return FormatDateTime(u"yyyy-mm-dd", Date);
}

String TimeToStr(TDateTime Time) {
    return FormatDateTime(u"hh:nn:ss", Time);
}

String DateTimeToStr(TDateTime DateTime) {
    std::int64_t Days, Ms;
    SplitDateTime(DateTime, Days, Ms);
    return Ms == 0 ? DateToStr(DateTime) : FormatDateTime(u"yyyy-mm-dd hh:nn:ss", DateTime);
}

// ---------------------------------------------------------------------------------------------
// The clock

std::uint64_t TSystemClock::Read() {
    using namespace std::chrono;
    return std::uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void TSystemClock::Sleep(std::uint64_t Ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(Ms));
}

std::uint64_t TTestClock::Read() {
    return FNow.fetch_add(FStep) + FStep;
}

void TTestClock::Sleep(std::uint64_t Ms) {
    FNow.fetch_add(std::max(Ms, FStep));
}

void TTestClock::AdvanceTo(std::uint64_t Ms) {
    std::uint64_t Now = FNow.load();
    while (Now < Ms && !FNow.compare_exchange_weak(Now, Ms)) {
    }
}

namespace {

std::atomic<TClock*>& ClockSlot() {
    // Never destroyed: threads may read the clock while the program ends.
    static auto* Slot = new std::atomic<TClock*>(new TSystemClock);
    return *Slot;
}

} // namespace

std::unique_ptr<TClock> SetClock(std::unique_ptr<TClock> AClock) {
    if (!AClock)
        AClock = std::make_unique<TSystemClock>();
    return std::unique_ptr<TClock>(ClockSlot().exchange(AClock.release()));
}

TClock& Clock() {
    return *ClockSlot().load();
}

void Sleep(unsigned Milliseconds) {
    Clock().Sleep(Milliseconds);
}

std::uint64_t GetTickCount64() {
    return Clock().Read();
}

std::uint32_t GetTickCount() {
    return std::uint32_t(Clock().Read());
}

// ---------------------------------------------------------------------------------------------
// Directory search

struct TSearchState {
    struct Entry {
        String Name;
        int Attr;
        std::int64_t Size;
        timespec MTime;
    };
    std::vector<Entry> Entries;
    std::size_t Next = 0;
};

namespace {

bool MaskMatch(const char16_t* name, const char16_t* mask) {
    // Iterative "*" matching with one back-track point.
    const char16_t *StarMask = nullptr, *StarName = nullptr;
    while (*name) {
        if (*mask == '*') {
            StarMask = ++mask;
            StarName = name;
        } else if (*mask == '?' || (*mask && UnicodeUpper(*mask) == UnicodeUpper(*name))) {
            ++mask;
            ++name;
        } else if (StarMask) {
            mask = StarMask;
            name = ++StarName;
        } else {
            return false;
        }
    }
    while (*mask == '*')
        ++mask;
    return *mask == 0;
}

int DosDateTime(TDateTime dt) {
    int Y, Mo, D, H, Mi, S, Ms;
    DecodeDate(dt, Y, Mo, D);
    DecodeTime(dt, H, Mi, S, Ms);
    if (Y < 1980)
        return 0;
    return int(unsigned(Y - 1980) << 25 | unsigned(Mo) << 21 | unsigned(D) << 16 | unsigned(H) << 11 |
               unsigned(Mi) << 5 | unsigned(S / 2));
}

int FillSearchRec(TSearchRec& F) {
    TSearchState& St = *F.FindHandle;
    while (St.Next < St.Entries.size()) {
        const TSearchState::Entry& E = St.Entries[St.Next++];
        if (E.Attr & F.ExcludeAttr)
            continue;
        F.Name = E.Name;
        F.Attr = E.Attr;
        F.Size = E.Size;
        F.TimeStamp = LocalFromTimespec(E.MTime);
        F.Time = DosDateTime(F.TimeStamp);
        return 0;
    }
    return ENOENT;
}

} // namespace

bool MatchesMask(const String& FileName, const String& Mask) {
    if (Mask == u"*.*" || Mask == u"*")
        return true;
    return MaskMatch(FileName.c_str(), Mask.c_str());
}

int FindFirst(const String& Path, int Attr, TSearchRec& F) {
    FindClose(F);
    String Dir = ExtractFilePath(Path);
    const String Mask = ExtractFileName(Path);
    const std::string DirUtf8 = UTF8Encode(Dir.empty() ? String(u"./") : Dir);
    DIR* D = ::opendir(DirUtf8.c_str());
    if (!D)
        return errno ? errno : ENOENT;
    auto State = std::make_shared<TSearchState>();
    while (dirent* Ent = ::readdir(D)) {
        const String Name = UTF8ToString(Ent->d_name);
        if (!MatchesMask(Name, Mask))
            continue;
        TSearchState::Entry E{Name, 0, 0, {}};
        struct stat St;
        const std::string Full = DirUtf8 + Ent->d_name;
        if (::stat(Full.c_str(), &St) == 0) {
            if (S_ISDIR(St.st_mode))
                E.Attr |= faDirectory;
            else
                E.Size = St.st_size;
            if (::access(Full.c_str(), W_OK) != 0 && errno == EACCES)
                E.Attr |= faReadOnly;
            E.MTime = St.st_mtim;
        }
        struct stat Lst;
        if (::lstat(Full.c_str(), &Lst) == 0 && S_ISLNK(Lst.st_mode))
            E.Attr |= faSymLink;
        if (Name.size() > 1 && Name[0] == '.' && Name != u"..")
            E.Attr |= faHidden;
        State->Entries.push_back(std::move(E));
    }
    ::closedir(D);
    std::sort(State->Entries.begin(), State->Entries.end(), [](const auto& a, const auto& b) {
        const int C = AnsiCompareText(a.Name, b.Name);
        return C != 0 ? C < 0 : a.Name < b.Name;
    });
    F.FindHandle = std::move(State);
    F.ExcludeAttr = ~Attr & (faHidden | faSysFile | faVolumeID | faDirectory);
    const int R = FillSearchRec(F);
    if (R != 0)
        FindClose(F);
    return R;
}

int FindNext(TSearchRec& F) {
    if (!F.FindHandle)
        return EBADF;
    return FillSearchRec(F);
}

void FindClose(TSearchRec& F) {
    F.FindHandle.reset();
}

namespace {

std::mutex AppFileNameLock;
String AppFileNameOverride;

} // namespace

String GetAppFileName() {
    {
        std::lock_guard Guard(AppFileNameLock);
        if (!AppFileNameOverride.empty())
            return AppFileNameOverride;
    }
    std::string Buffer(4096, '\0');
    ssize_t Length = readlink("/proc/self/exe", Buffer.data(), Buffer.size());
    if (Length <= 0)
        return String();
    Buffer.resize(size_t(Length));
    return UTF8ToString(Buffer);
}

String GetAppPath() {
    String FileName = GetAppFileName();
    return FileName.substr(0, FileName.rfind(u'/') + 1);
}

void SetAppFileName(const String& AFileName) {
    std::lock_guard Guard(AppFileNameLock);
    AppFileNameOverride = AFileName;
}
