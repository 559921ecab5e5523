#include "platform/base/SysUtils.h"

#include <cmath>
#include <cstdio>
#include <limits>

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

TFloatRec FloatToDecimal(double Value, int Precision) {
    TFloatRec Rec;
    Rec.Negative = std::signbit(Value);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", Precision - 1, std::fabs(Value));
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
    return Rec;
}

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

std::string FixedForm(double Value, int Decimals, bool Thousands) {
    if (!std::isfinite(Value))
        return SpecialText(Value);
    TFloatRec Rec = FloatToDecimal(Value, 15);
    if (Rec.Exponent > 18)
        return ExponentForm(Rec, 15, 3, true);
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

std::string GeneralForm(double Value, int Precision) {
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
        return s + "E" + std::to_string(Rec.Exponent - 1);
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
    int v;
    if (!TryStrToInt(S, v))
        throw EConvertError(u"'" + S + u"' is not a valid integer value");
    return v;
}

std::int64_t StrToInt64(const String& S) {
    std::int64_t v;
    if (!TryStrToInt64(S, v))
        throw EConvertError(u"'" + S + u"' is not a valid integer value");
    return v;
}

int StrToIntDef(const String& S, int Default) {
    int v;
    return TryStrToInt(S, v) ? v : Default;
}

std::int64_t StrToInt64Def(const String& S, std::int64_t Default) {
    std::int64_t v;
    return TryStrToInt64(S, v) ? v : Default;
}
