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
        const bool up = Rec.Digits[Keep] >= '5';
        Rec.Digits.resize(Keep);
        if (up) {
            int i = Keep - 1;
            while (i >= 0 && Rec.Digits[i] == '9')
                Rec.Digits[i--] = '0';
            if (i >= 0) {
                ++Rec.Digits[i];
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
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", std::max(Precision, 15) - 1, std::fabs(Value));
    std::string s = buf;
    const std::size_t e = s.find('e');
    for (std::size_t i = 0; i < e; ++i)
        if (s[i] != '.')
            Rec.Digits.push_back(s[i]);
    Rec.Exponent = std::atoi(s.c_str() + e + 1) + 1;
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
    std::string s = Rec.Negative ? "-" : "";
    s += DigitAt(Rec, 0);
    if (Precision > 1) {
        s += '.';
        for (int i = 1; i < Precision; ++i)
            s += DigitAt(Rec, i);
    }
    const int exp = Rec.Digits.empty() ? 0 : Rec.Exponent - 1;
    s += 'E';
    if (exp < 0)
        s += '-';
    else if (PlusSign)
        s += '+';
    std::string e = std::to_string(std::abs(exp));
    while (int(e.size()) < MinExpDigits)
        e.insert(e.begin(), '0');
    return s + e;
}

std::string FixedForm(double Value, int Decimals, bool Thousands, int Precision = 15) {
    if (!std::isfinite(Value))
        return SpecialText(Value);
    TFloatRec Rec = FloatToDecimal(Value, Precision);
    if (Rec.Exponent > 18)
        return ExponentForm(Rec, Precision, 3, true);
    RoundDigits(Rec, Rec.Exponent + Decimals);
    std::string s;
    if (Rec.Exponent <= 0) {
        s = "0";
    } else {
        for (int i = 0; i < Rec.Exponent; ++i) {
            if (Thousands && i > 0 && (Rec.Exponent - i) % 3 == 0)
                s += ',';
            s += DigitAt(Rec, i);
        }
    }
    if (Decimals > 0) {
        s += '.';
        for (int i = 0; i < Decimals; ++i)
            s += DigitAt(Rec, Rec.Exponent + i);
    }
    return Rec.Negative ? "-" + s : s;
}

std::string GeneralForm(double Value, int Precision, int MinExpDigits = 0) {
    if (!std::isfinite(Value))
        return SpecialText(Value);
    const TFloatRec Rec = FloatToDecimal(Value, Precision);
    if (Rec.Digits.empty())
        return "0";
    std::string s = Rec.Negative ? "-" : "";
    const int n = int(Rec.Digits.size());
    if (Rec.Exponent > Precision || Rec.Exponent < -3) {
        s += Rec.Digits[0];
        if (n > 1)
            s += "." + Rec.Digits.substr(1);
        const int exp = Rec.Exponent - 1;
        std::string e = std::to_string(std::abs(exp));
        while (int(e.size()) < MinExpDigits)
            e.insert(e.begin(), '0');
        return s + (exp < 0 ? "E-" : "E") + e;
    }
    if (Rec.Exponent <= 0) {
        s += "0." + std::string(-Rec.Exponent, '0') + Rec.Digits;
    } else if (Rec.Exponent >= n) {
        s += Rec.Digits + std::string(Rec.Exponent - n, '0');
    } else {
        s += Rec.Digits.substr(0, Rec.Exponent) + "." + Rec.Digits.substr(Rec.Exponent);
    }
    return s;
}

String Widen(const std::string& ascii) {
    return String(ascii.begin(), ascii.end());
}

std::string HexDigits(std::uint64_t v) {
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    do {
        s.insert(s.begin(), digits[v & 15]);
        v >>= 4;
    } while (v);
    return s;
}

// ---------------------------------------------------------------------------------------------
// Format

class TFormatter {
public:
    TFormatter(const String& Fmt, std::initializer_list<TVarRec> Args) : FFmt(Fmt), FArgs(Args) {}

    String Run() {
        String Out;
        std::size_t i = 0;
        const std::size_t n = FFmt.size();
        while (i < n) {
            const char16_t c = FFmt[i++];
            if (c != '%') {
                Out.push_back(c);
                continue;
            }
            if (i >= n)
                Fail(false);
            if (FFmt[i] == '%') {
                Out.push_back('%');
                ++i;
                continue;
            }
            bool left = false;
            int width = -1, precision = -1;
            int number = ReadNumber(i);
            if (i < n && FFmt[i] == ':') {
                if (number < 0)
                    Fail(false);
                FNext = std::size_t(number);
                ++i;
                number = -1;
            }
            if (number < 0) {
                if (i < n && FFmt[i] == '-') {
                    left = true;
                    ++i;
                }
                number = ReadNumber(i);
            }
            width = number;
            if (i < n && FFmt[i] == '.') {
                ++i;
                precision = ReadNumber(i);
                if (precision < 0)
                    precision = 0;
            }
            if (i >= n)
                Fail(false);
            char16_t type = FFmt[i++];
            if (type >= 'a' && type <= 'z')
                type -= 32;
            String Item = FormatItem(char(type), precision);
            if (width >= 0 && int(Item.size()) < width) {
                const String pad(width - Item.size(), u' ');
                Item = left ? Item + pad : pad + Item;
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
            const TVarRec& a = NextArg();
            if (a.VType != TVarRec::vtInteger)
                Fail(false);
            return int(a.VInt64);
        }
        if (i >= FFmt.size() || FFmt[i] < '0' || FFmt[i] > '9')
            return -1;
        long v = 0;
        while (i < FFmt.size() && FFmt[i] >= '0' && FFmt[i] <= '9') {
            v = v * 10 + (FFmt[i++] - '0');
            if (v > 100000)
                Fail(false);
        }
        return int(v);
    }

    static bool IsSigned(const TVarRec& a) {
        return a.VType == TVarRec::vtInteger || a.VType == TVarRec::vtInt64 || a.VType == TVarRec::vtBoolean;
    }
    static bool IsUnsigned(const TVarRec& a) { return a.VType == TVarRec::vtCardinal || a.VType == TVarRec::vtUInt64; }
    static std::int64_t Signed(const TVarRec& a) { return a.VType == TVarRec::vtBoolean ? a.VBoolean : a.VInt64; }

    String FormatItem(char Type, int Precision) {
        const TVarRec& a = NextArg();
        switch (Type) {
        case 'D':
        case 'U':
        case 'X': {
            bool negative = false;
            std::uint64_t magnitude = 0;
            if (IsSigned(a)) {
                const std::int64_t v = Signed(a);
                if (Type == 'D') {
                    negative = v < 0;
                    magnitude = negative ? 0 - std::uint64_t(v) : std::uint64_t(v);
                } else {
                    // Unsigned and hex forms show a 32-bit integer's own bits.
                    magnitude = a.VType == TVarRec::vtInteger ? std::uint32_t(v) : std::uint64_t(v);
                }
            } else if (IsUnsigned(a)) {
                magnitude = a.VUInt64;
            } else {
                Fail(false);
            }
            std::string digits = Type == 'X' ? HexDigits(magnitude) : std::to_string(magnitude);
            if (Precision > int(digits.size()))
                digits.insert(0, Precision - digits.size(), '0');
            return Widen(negative ? "-" + digits : digits);
        }
        case 'E':
        case 'F':
        case 'G':
        case 'N':
        case 'M': {
            if (a.VType != TVarRec::vtExtended)
                Fail(false);
            const double v = a.VExtended;
            switch (Type) {
            case 'E': {
                const int p = Precision < 0 ? 15 : std::min(std::max(Precision, 1), 18);
                if (!std::isfinite(v))
                    return Widen(SpecialText(v));
                return Widen(ExponentForm(FloatToDecimal(v, p), p, 3, true));
            }
            case 'F':
                return Widen(FixedForm(v, Precision < 0 ? 2 : std::min(Precision, 18), false));
            case 'G':
                return Widen(GeneralForm(v, Precision < 0 ? 15 : std::min(std::max(Precision, 1), 18)));
            case 'N':
                return Widen(FixedForm(v, Precision < 0 ? 2 : std::min(Precision, 18), true));
            default: {
                // Money in the neutral English form: "$1,234.50", negatives in parentheses.
                std::string s = FixedForm(std::fabs(v), Precision < 0 ? 2 : std::min(Precision, 18), true);
                if (!std::isfinite(v))
                    return Widen(SpecialText(v));
                return Widen(v < 0 && s.find_first_not_of("0.,") != std::string::npos ? "($" + s + ")" : "$" + s);
            }
            }
        }
        case 'P': {
            if (a.VType != TVarRec::vtPointer)
                Fail(false);
            std::string digits = HexDigits(reinterpret_cast<std::uintptr_t>(a.VPointer));
            digits.insert(0, 2 * sizeof(void*) - digits.size(), '0');
            return Widen(digits);
        }
        case 'S': {
            String s;
            switch (a.VType) {
            case TVarRec::vtString:
                s = *a.VString;
                break;
            case TVarRec::vtPWideChar:
                if (a.VPWideChar)
                    s = a.VPWideChar;
                break;
            case TVarRec::vtChar:
                s = String(1, a.VChar);
                break;
            case TVarRec::vtPChar:
                if (a.VPChar)
                    s = UTF8ToString(a.VPChar);
                break;
            case TVarRec::vtStdString:
                s = UTF8ToString(*a.VStdString);
                break;
            default:
                Fail(false);
            }
            if (Precision >= 0 && std::size_t(Precision) < s.size())
                s.resize(Precision);
            return s;
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
    T v{};
    if (!Try(S, v))
        throw EConvertError(u"'" + S + u"' is not a valid " + What);
    return v;
}

template <class T> T ConvertOrDefault(bool (*Try)(const String&, T&), const String& S, T Default) {
    T v{};
    return Try(S, v) ? v : Default;
}

} // namespace

String IntToStr(std::int64_t Value) {
    return Widen(std::to_string(Value));
}

String UIntToStr(std::uint64_t Value) {
    return Widen(std::to_string(Value));
}

String IntToHex(std::int64_t Value, int Digits) {
    std::string s = HexDigits(std::uint64_t(Value));
    if (Digits > int(s.size()))
        s.insert(0, Digits - s.size(), '0');
    return Widen(s);
}

bool TryStrToInt64(const String& S, std::int64_t& Value) {
    std::size_t i = 0, n = S.size();
    while (i < n && (S[i] == ' ' || S[i] == '\t'))
        ++i;
    while (n > i && (S[n - 1] == ' ' || S[n - 1] == '\t'))
        --n;
    bool negative = false;
    if (i < n && (S[i] == '-' || S[i] == '+'))
        negative = S[i++] == '-';
    unsigned base = 10;
    if (i < n && S[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < n && S[i] == '0' && (S[i + 1] == 'x' || S[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= n)
        return false;
    const std::uint64_t limit = negative ? std::uint64_t(1) << 63 : (std::uint64_t(1) << 63) - 1;
    std::uint64_t v = 0;
    for (; i < n; ++i) {
        const char16_t c = S[i];
        unsigned d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        if (v > (limit - d) / base)
            return false;
        v = v * base + d;
    }
    Value = negative ? std::int64_t(0 - v) : std::int64_t(v);
    return true;
}

bool TryStrToInt(const String& S, int& Value) {
    std::int64_t v;
    if (!TryStrToInt64(S, v) || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return false;
    Value = int(v);
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
    const String t = Trim(S);
    if (SameText(t, u"True")) {
        Value = true;
        return true;
    }
    if (SameText(t, u"False")) {
        Value = false;
        return true;
    }
    double d;
    if (TryStrToFloat(t, d)) {
        Value = d != 0;
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
    bool seenDigit = false, afterPoint = false, done = false;
    std::size_t i = 0;
    const std::size_t n = Section.size();
    auto literal = [&](const String& text) { (seenDigit ? P.Suffix : P.Prefix) += text; };
    while (i < n) {
        const char16_t c = Section[i];
        if (c == '"' || c == '\'') {
            const std::size_t end = Section.find(c, i + 1);
            const std::size_t stop = end == String::npos ? n : end;
            literal(Section.substr(i + 1, stop - i - 1));
            i = stop + 1;
        } else if (!done && (c == '0' || c == '#')) {
            seenDigit = true;
            if (afterPoint)
                (c == '0' ? P.FracZeros : P.FracDigits)++;
            else {
                P.IntDigits++;
                if (c == '0')
                    P.IntZeros++;
            }
            ++i;
        } else if (!done && c == '.' && !afterPoint) {
            afterPoint = true;
            seenDigit = true;
            ++i;
        } else if (!done && c == ',') {
            P.Thousands = true;
            ++i;
        } else if (!done && seenDigit && (c == 'E' || c == 'e') && i + 1 < n &&
                   (Section[i + 1] == '+' || Section[i + 1] == '-')) {
            P.Scientific = true;
            P.ExpPlus = Section[i + 1] == '+';
            i += 2;
            while (i < n && Section[i] == '0') {
                P.ExpDigits++;
                ++i;
            }
            done = true;
        } else {
            if (seenDigit)
                done = true;
            literal(String(1, c));
            ++i;
        }
    }
    // Digits after an optional "#" decimals count as optional too.
    return P;
}

std::vector<String> SplitSections(const String& Format) {
    std::vector<String> sections(1);
    char16_t quote = 0;
    for (char16_t c : Format) {
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            sections.emplace_back();
            continue;
        }
        sections.back().push_back(c);
    }
    return sections;
}

std::string GroupThousands(const std::string& digits) {
    std::string s;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            s += ',';
        s += digits[i];
    }
    return s;
}

std::string ApplyPicture(const TFloatPicture& P, double Value) {
    const int fracMax = P.FracZeros + P.FracDigits;
    std::string intPart, fracPart, expPart;
    if (P.Scientific) {
        const int intDigits = std::max(P.IntDigits, 1);
        const int precision = std::min(intDigits + fracMax, 15);
        TFloatRec Rec = FloatToDecimal(Value, std::max(precision, 1));
        int exp = Rec.Digits.empty() ? 0 : Rec.Exponent - intDigits;
        for (int i = 0; i < intDigits; ++i)
            intPart += DigitAt(Rec, i);
        for (int i = 0; i < fracMax; ++i)
            fracPart += DigitAt(Rec, intDigits + i);
        std::string e = std::to_string(std::abs(exp));
        while (int(e.size()) < P.ExpDigits)
            e.insert(e.begin(), '0');
        expPart = std::string("E") + (exp < 0 ? "-" : P.ExpPlus ? "+" : "") + e;
    } else {
        TFloatRec Rec = FloatToDecimal(Value, 15);
        RoundDigits(Rec, Rec.Exponent + fracMax);
        for (int i = 0; i < Rec.Exponent; ++i)
            intPart += DigitAt(Rec, i);
        for (int i = 0; i < fracMax; ++i)
            fracPart += DigitAt(Rec, Rec.Exponent + i);
    }
    while (int(intPart.size()) < P.IntZeros)
        intPart.insert(intPart.begin(), '0');
    while (int(fracPart.size()) > P.FracZeros && fracPart.back() == '0')
        fracPart.pop_back();
    if (P.Thousands)
        intPart = GroupThousands(intPart);
    std::string s = intPart;
    if (!fracPart.empty())
        s += "." + fracPart;
    return s + expPart;
}

} // namespace

String FormatFloat(const String& Format, double Value) {
    if (!std::isfinite(Value))
        return Widen(SpecialText(Value));
    const std::vector<String> sections = SplitSections(Format);
    if (Format.empty())
        return FloatToStr(Value);
    const TFloatPicture first = ParsePicture(sections[0]);
    // Zero and negative values take their own sections when the format has them (and they are
    // not empty); the sign is then the section's business.
    const String zeroProbe = Widen(ApplyPicture(first, Value));
    const bool isZero = zeroProbe.find_first_not_of(u"0.,E+-") == String::npos;
    if (isZero && sections.size() >= 3 && !sections[2].empty()) {
        const TFloatPicture P = ParsePicture(sections[2]);
        return P.Prefix + Widen(ApplyPicture(P, 0)) + P.Suffix;
    }
    if (Value < 0 && !isZero && sections.size() >= 2 && !sections[1].empty()) {
        const TFloatPicture P = ParsePicture(sections[1]);
        return P.Prefix + Widen(ApplyPicture(P, -Value)) + P.Suffix;
    }
    const String sign = Value < 0 && !isZero ? u"-" : u"";
    if (first.IntDigits == 0 && first.FracZeros + first.FracDigits == 0 && !first.Scientific &&
        first.Prefix + first.Suffix == sections[0])
        return first.Prefix; // a picture without digits is all literal
    return sign + first.Prefix + Widen(ApplyPicture(first, std::fabs(Value))) + first.Suffix;
}

bool TryStrToFloat(const String& S, double& Value) {
    const String t = Trim(S);
    std::string ascii;
    for (char16_t c : t) {
        if (c >= 0x80)
            return false;
        ascii.push_back(char(c));
    }
    // Check the form first: from_chars would accept "inf", "nan" and hex forms.
    std::size_t i = 0;
    if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < ascii.size() && std::isdigit((unsigned char)ascii[i]))
        ++i, ++digits;
    if (i < ascii.size() && ascii[i] == '.') {
        ++i;
        while (i < ascii.size() && std::isdigit((unsigned char)ascii[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < ascii.size() && (ascii[i] == 'e' || ascii[i] == 'E')) {
        ++i;
        if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-'))
            ++i;
        std::size_t expDigits = 0;
        while (i < ascii.size() && std::isdigit((unsigned char)ascii[i]))
            ++i, ++expDigits;
        if (expDigits == 0)
            return false;
    }
    if (i != ascii.size())
        return false;
    const char* begin = ascii.data() + (ascii[0] == '+' ? 1 : 0);
    double v = 0;
    const auto [end, ec] = std::from_chars(begin, ascii.data() + ascii.size(), v);
    if (ec != std::errc() || end != ascii.data() + ascii.size())
        return false;
    Value = v;
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
    std::size_t i = 0;
    while (i < S.size() && S[i] <= ' ')
        ++i;
    return S.substr(i);
}

String TrimRight(const String& S) {
    std::size_t n = S.size();
    while (n > 0 && S[n - 1] <= ' ')
        --n;
    return S.substr(0, n);
}

namespace {

char16_t AsciiUpper(char16_t c) {
    return c >= 'a' && c <= 'z' ? char16_t(c - 32) : c;
}
char16_t AsciiLower(char16_t c) {
    return c >= 'A' && c <= 'Z' ? char16_t(c + 32) : c;
}

locale_t Utf8Locale() {
    static locale_t loc = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
        return l ? l : newlocale(LC_CTYPE_MASK, "C", locale_t(0));
    }();
    return loc;
}

char16_t UnicodeUpper(char16_t c) {
    if (c < 0x80)
        return AsciiUpper(c);
    if (c >= 0xD800 && c <= 0xDFFF)
        return c;
    const wint_t u = towupper_l(c, Utf8Locale());
    return u <= 0xFFFF ? char16_t(u) : c;
}

char16_t UnicodeLower(char16_t c) {
    if (c < 0x80)
        return AsciiLower(c);
    if (c >= 0xD800 && c <= 0xDFFF)
        return c;
    const wint_t u = towlower_l(c, Utf8Locale());
    return u <= 0xFFFF ? char16_t(u) : c;
}

template <class F> String MapChars(const String& S, F f) {
    String r = S;
    for (char16_t& c : r)
        c = f(c);
    return r;
}

template <class F> int CompareWith(const String& A, const String& B, F f) {
    const std::size_t n = std::min(A.size(), B.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int d = int(f(A[i])) - int(f(B[i]));
        if (d != 0)
            return d;
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
    String r(1, Quote);
    for (char16_t c : S) {
        r.push_back(c);
        if (c == Quote)
            r.push_back(c);
    }
    r.push_back(Quote);
    return r;
}

String AnsiDequotedStr(const String& S, Char Quote) {
    if (S.size() < 2 || S.front() != Quote || S.back() != Quote)
        return S;
    String r;
    for (std::size_t i = 1; i + 1 < S.size(); ++i) {
        r.push_back(S[i]);
        if (S[i] == Quote && i + 2 < S.size() && S[i + 1] == Quote)
            ++i;
    }
    return r;
}

String StringReplace(const String& S, const String& OldPattern, const String& NewPattern, TReplaceFlags Flags) {
    if (OldPattern.empty())
        return S;
    const bool ignoreCase = Flags.Contains(rfIgnoreCase);
    const String hay = ignoreCase ? AnsiUpperCase(S) : S;
    const String needle = ignoreCase ? AnsiUpperCase(OldPattern) : OldPattern;
    String r;
    std::size_t from = 0;
    while (true) {
        const std::size_t p = hay.find(needle, from);
        if (p == String::npos)
            break;
        r.append(S, from, p - from);
        r += NewPattern;
        from = p + OldPattern.size();
        if (!Flags.Contains(rfReplaceAll))
            break;
    }
    r.append(S, from, String::npos);
    return r;
}

int LastDelimiter(const String& Delimiters, const String& S) {
    const std::size_t p = S.find_last_of(Delimiters);
    return p == String::npos ? 0 : int(p) + 1;
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
    String r = S;
    while (r.size() > 1 && r.back() == PathDelim)
        r.pop_back();
    return r;
}

bool IsPathDelimiter(const String& S, int Index) {
    return Index >= 1 && std::size_t(Index) <= S.size() && S[Index - 1] == PathDelim;
}

String ExtractFilePath(const String& FileName) {
    const std::size_t p = FileName.rfind(PathDelim);
    return p == String::npos ? String() : FileName.substr(0, p + 1);
}

String ExtractFileDir(const String& FileName) {
    const std::size_t p = FileName.rfind(PathDelim);
    if (p == String::npos)
        return String();
    return p == 0 ? String(u"/") : FileName.substr(0, p);
}

String ExtractFileName(const String& FileName) {
    const std::size_t p = FileName.rfind(PathDelim);
    return p == String::npos ? FileName : FileName.substr(p + 1);
}

String ExtractFileExt(const String& FileName) {
    const std::size_t p = FileName.find_last_of(u"./");
    if (p == String::npos || FileName[p] != '.')
        return String();
    return FileName.substr(p);
}

String ExtractFileDrive(const String&) {
    return String();
}

String ChangeFileExt(const String& FileName, const String& Extension) {
    const std::size_t p = FileName.find_last_of(u"./");
    if (p == String::npos || FileName[p] != '.')
        return FileName + Extension;
    return FileName.substr(0, p) + Extension;
}

String ExpandFileName(const String& FileName) {
    String full = FileName;
    if (full.empty() || full[0] != PathDelim)
        full = IncludeTrailingPathDelimiter(GetCurrentDir()) + full;
    std::vector<String> parts;
    std::size_t i = 0;
    while (i <= full.size()) {
        std::size_t j = full.find(PathDelim, i);
        if (j == String::npos)
            j = full.size();
        const String part = full.substr(i, j - i);
        if (part == u"..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != u".") {
            parts.push_back(part);
        }
        i = j + 1;
    }
    String r;
    for (const String& part : parts)
        r += u"/" + part;
    if (r.empty() || (!FileName.empty() && FileName.back() == PathDelim))
        r += u"/";
    return r;
}

std::string FileNameToUTF8(const String& FileName) {
    return UTF8Encode(FileName);
}

bool FileExists(const String& FileName) {
    struct stat st;
    return !FileName.empty() && ::stat(UTF8Encode(FileName).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const String& Directory) {
    struct stat st;
    return !Directory.empty() && ::stat(UTF8Encode(Directory).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDir(const String& Dir) {
    return !Dir.empty() && ::mkdir(UTF8Encode(Dir).c_str(), 0777) == 0;
}

bool ForceDirectories(const String& Dir) {
    if (Dir.empty())
        throw EInOutError(u"Unable to create directory");
    const String d = ExcludeTrailingPathDelimiter(Dir);
    if (DirectoryExists(d))
        return true;
    const String parent = ExtractFileDir(d);
    if (!parent.empty() && parent != d && !ForceDirectories(parent))
        return false;
    return CreateDir(d) || DirectoryExists(d);
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
    const std::string from = UTF8Encode(OldName), to = UTF8Encode(NewName);
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    struct stat st;
    if (::lstat(to.c_str(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

std::int64_t FileSize(const String& FileName) {
    struct stat st;
    if (::stat(UTF8Encode(FileName).c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return -1;
    return st.st_size;
}

String GetCurrentDir() {
    std::string buf(4096, '\0');
    while (!::getcwd(buf.data(), buf.size())) {
        if (errno != ERANGE)
            return String();
        buf.resize(buf.size() * 2);
    }
    return UTF8ToString(buf.c_str());
}

bool SetCurrentDir(const String& Dir) {
    return ::chdir(UTF8Encode(Dir).c_str()) == 0;
}

String GetEnvironmentVariable(const String& Name) {
    const char* v = std::getenv(UTF8Encode(Name).c_str());
    return v ? UTF8ToString(v) : String();
}

int GetLastError() {
    return errno;
}

void SetLastError(int Code) {
    errno = Code;
}

String SysErrorMessage(int ErrorCode) {
    char buf[256];
    return UTF8ToString(strerror_r(ErrorCode, buf, sizeof buf));
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
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + std::int64_t(doe) - 719468 + 25569; // 1970-01-01 is day 25569
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z -= 25569;
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = int(std::int64_t(yoe) + era * 400 + (m <= 2));
}

// Whole days and milliseconds of the day of a date-time.
void SplitDateTime(TDateTime dt, std::int64_t& days, std::int64_t& ms) {
    if (dt >= 0) {
        const std::int64_t total = Round(dt * MSecsPerDay);
        days = total / 86400000;
        ms = total % 86400000;
    } else {
        days = Trunc(dt);
        ms = std::min<std::int64_t>(Round(std::fabs(Frac(dt)) * MSecsPerDay), 86399999);
    }
}

TDateTime FromTm(const std::tm& t, int msec) {
    return EncodeDate(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday) + EncodeTime(t.tm_hour, t.tm_min, t.tm_sec, msec);
}

TDateTime LocalFromTimespec(const timespec& ts) {
    std::tm t{};
    const time_t secs = ts.tv_sec;
    localtime_r(&secs, &t);
    return FromTm(t, int(ts.tv_nsec / 1000000));
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
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (Month < 1 || Month > 12)
        return 0;
    return days[Month - 1] + (Month == 2 && IsLeapYear(Year));
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
    TDateTime d;
    if (!TryEncodeDate(Year, Month, Day, d))
        throw EConvertError(u"Invalid argument to date encode");
    return d;
}

TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec) {
    TDateTime t;
    if (!TryEncodeTime(Hour, Min, Sec, MSec, t))
        throw EConvertError(u"Invalid argument to time encode");
    return t;
}

void DecodeDate(TDateTime Date, int& Year, int& Month, int& Day) {
    std::int64_t days, ms;
    SplitDateTime(Date, days, ms);
    CivilFromDays(days, Year, Month, Day);
}

void DecodeTime(TDateTime Time, int& Hour, int& Min, int& Sec, int& MSec) {
    std::int64_t days, ms;
    SplitDateTime(Time, days, ms);
    Hour = int(ms / 3600000);
    Min = int(ms / 60000 % 60);
    Sec = int(ms / 1000 % 60);
    MSec = int(ms % 1000);
}

int DayOfWeek(TDateTime Date) {
    std::int64_t days, ms;
    SplitDateTime(Date, days, ms);
    // 1899-12-30 was a Saturday.
    return int(((days - 1) % 7 + 7) % 7) + 1;
}

TDateTime Now() {
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return LocalFromTimespec(ts);
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
    timespec ts{time_t(Seconds), 0};
    return LocalFromTimespec(ts);
}

std::int64_t DateTimeToUnix(TDateTime DateTime, bool InputIsUTC) {
    if (InputIsUTC)
        return Round((DateTime - UnixDateDelta) * 86400.0);
    int y, mo, d, h, mi, s, ms;
    DecodeDate(DateTime, y, mo, d);
    DecodeTime(DateTime, h, mi, s, ms);
    std::tm t{};
    t.tm_year = y - 1900;
    t.tm_mon = mo - 1;
    t.tm_mday = d;
    t.tm_hour = h;
    t.tm_min = mi;
    t.tm_sec = s;
    t.tm_isdst = -1;
    return std::int64_t(mktime(&t));
}

bool FileAge(const String& FileName, TDateTime& FileDateTime) {
    struct stat st;
    if (::stat(UTF8Encode(FileName).c_str(), &st) != 0)
        return false;
    FileDateTime = LocalFromTimespec(st.st_mtim);
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
    std::int64_t days, ms;
    SplitDateTime(DateTime, days, ms);
    return ms == 0 ? DateToStr(DateTime) : FormatDateTime(u"yyyy-mm-dd hh:nn:ss", DateTime);
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
    const char16_t *starMask = nullptr, *starName = nullptr;
    while (*name) {
        if (*mask == '*') {
            starMask = ++mask;
            starName = name;
        } else if (*mask == '?' || (*mask && UnicodeUpper(*mask) == UnicodeUpper(*name))) {
            ++mask;
            ++name;
        } else if (starMask) {
            mask = starMask;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*mask == '*')
        ++mask;
    return *mask == 0;
}

int DosDateTime(TDateTime dt) {
    int y, mo, d, h, mi, s, ms;
    DecodeDate(dt, y, mo, d);
    DecodeTime(dt, h, mi, s, ms);
    if (y < 1980)
        return 0;
    return int(unsigned(y - 1980) << 25 | unsigned(mo) << 21 | unsigned(d) << 16 | unsigned(h) << 11 |
               unsigned(mi) << 5 | unsigned(s / 2));
}

int FillSearchRec(TSearchRec& F) {
    TSearchState& st = *F.FindHandle;
    while (st.Next < st.Entries.size()) {
        const TSearchState::Entry& e = st.Entries[st.Next++];
        if (e.Attr & F.ExcludeAttr)
            continue;
        F.Name = e.Name;
        F.Attr = e.Attr;
        F.Size = e.Size;
        F.TimeStamp = LocalFromTimespec(e.MTime);
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
    String dir = ExtractFilePath(Path);
    const String mask = ExtractFileName(Path);
    const std::string dirUtf8 = UTF8Encode(dir.empty() ? String(u"./") : dir);
    DIR* d = ::opendir(dirUtf8.c_str());
    if (!d)
        return errno ? errno : ENOENT;
    auto state = std::make_shared<TSearchState>();
    while (dirent* ent = ::readdir(d)) {
        const String name = UTF8ToString(ent->d_name);
        if (!MatchesMask(name, mask))
            continue;
        TSearchState::Entry e{name, 0, 0, {}};
        struct stat st;
        const std::string full = dirUtf8 + ent->d_name;
        if (::stat(full.c_str(), &st) == 0) {
            if (S_ISDIR(st.st_mode))
                e.Attr |= faDirectory;
            else
                e.Size = st.st_size;
            if (::access(full.c_str(), W_OK) != 0 && errno == EACCES)
                e.Attr |= faReadOnly;
            e.MTime = st.st_mtim;
        }
        struct stat lst;
        if (::lstat(full.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode))
            e.Attr |= faSymLink;
        if (name.size() > 1 && name[0] == '.' && name != u"..")
            e.Attr |= faHidden;
        state->Entries.push_back(std::move(e));
    }
    ::closedir(d);
    std::sort(state->Entries.begin(), state->Entries.end(), [](const auto& a, const auto& b) {
        const int c = AnsiCompareText(a.Name, b.Name);
        return c != 0 ? c < 0 : a.Name < b.Name;
    });
    F.FindHandle = std::move(state);
    F.ExcludeAttr = ~Attr & (faHidden | faSysFile | faVolumeID | faDirectory);
    const int r = FillSearchRec(F);
    if (r != 0)
        FindClose(F);
    return r;
}

int FindNext(TSearchRec& F) {
    if (!F.FindHandle)
        return EBADF;
    return FillSearchRec(F);
}

void FindClose(TSearchRec& F) {
    F.FindHandle.reset();
}
