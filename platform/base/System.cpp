#include "platform/base/System.h"

#include <cxxabi.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <typeindex>
#include <unordered_map>

String UTF8ToString(std::string_view utf8) {
    String Result;
    Result.reserve(utf8.size());
    const auto* P = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t N = utf8.size();
    std::size_t I = 0;
    while (I < N) {
        const unsigned char B = P[I];
        if (B < 0x80) {
            Result.push_back(B);
            ++I;
            continue;
        }
        int Len = 0;
        char32_t Cp = 0;
        char32_t Min = 0;
        if ((B & 0xE0) == 0xC0) {
            Len = 2, Cp = B & 0x1F, Min = 0x80;
        } else if ((B & 0xF0) == 0xE0) {
            Len = 3, Cp = B & 0x0F, Min = 0x800;
        } else if ((B & 0xF8) == 0xF0) {
            Len = 4, Cp = B & 0x07, Min = 0x10000;
        }
        bool Valid = Len > 0 && I + Len <= N;
        for (int K = 1; Valid && K < Len; ++K) {
            if ((P[I + K] & 0xC0) != 0x80)
                Valid = false;
            else
                Cp = (Cp << 6) | (P[I + K] & 0x3F);
        }
        if (Valid && (Cp < Min || Cp > 0x10FFFF || (Cp >= 0xD800 && Cp <= 0xDFFF)))
            Valid = false;
        if (!Valid) {
            Result.push_back(B); // Latin-1
            ++I;
            continue;
        }
        if (Cp >= 0x10000) {
            Cp -= 0x10000;
            Result.push_back(char16_t(0xD800 + (Cp >> 10)));
            Result.push_back(char16_t(0xDC00 + (Cp & 0x3FF)));
        } else {
            Result.push_back(char16_t(Cp));
        }
        I += Len;
    }
    return Result;
}

std::string UTF8Encode(std::u16string_view s) {
    std::string Result;
    Result.reserve(s.size());
    for (std::size_t I = 0; I < s.size(); ++I) {
        char32_t Cp = s[I];
        if (Cp >= 0xD800 && Cp <= 0xDBFF && I + 1 < s.size() && s[I + 1] >= 0xDC00 && s[I + 1] <= 0xDFFF) {
            Cp = 0x10000 + ((Cp - 0xD800) << 10) + (s[I + 1] - 0xDC00);
            ++I;
        } else if (Cp >= 0xD800 && Cp <= 0xDFFF) {
            Cp = 0xFFFD;
        }
        if (Cp < 0x80) {
            Result.push_back(char(Cp));
        } else if (Cp < 0x800) {
            Result.push_back(char(0xC0 | (Cp >> 6)));
            Result.push_back(char(0x80 | (Cp & 0x3F)));
        } else if (Cp < 0x10000) {
            Result.push_back(char(0xE0 | (Cp >> 12)));
            Result.push_back(char(0x80 | ((Cp >> 6) & 0x3F)));
            Result.push_back(char(0x80 | (Cp & 0x3F)));
        } else {
            Result.push_back(char(0xF0 | (Cp >> 18)));
            Result.push_back(char(0x80 | ((Cp >> 12) & 0x3F)));
            Result.push_back(char(0x80 | ((Cp >> 6) & 0x3F)));
            Result.push_back(char(0x80 | (Cp & 0x3F)));
        }
    }
    return Result;
}

std::string UTF8Encode(const String& s) {
    return UTF8Encode(std::u16string_view(s));
}

TObject::~TObject() = default;

namespace {

String DemangledName(const std::type_info& type) {
    int Status = 0;
    char* Raw = abi::__cxa_demangle(type.name(), nullptr, nullptr, &Status);
    std::string Name = Status == 0 && Raw ? Raw : type.name();
    std::free(Raw);
    // Drop namespaces, but keep template arguments as they are.
    const std::size_t Angle = Name.find('<');
    const std::size_t Colons = Name.rfind("::", Angle);
    if (Colons != std::string::npos)
        Name.erase(0, Colons + 2);
    return UTF8ToString(Name);
}

} // namespace

String TObject::ClassName() const {
    static std::mutex Lock;
    static std::unordered_map<std::type_index, String> Names;
    const std::type_info& Type = typeid(*this);
    std::lock_guard Guard(Lock);
    auto It = Names.find(Type);
    if (It == Names.end())
        It = Names.emplace(Type, DemangledName(Type)).first;
    return It->second;
}

bool TObject::ClassNameIs(const String& Name) const {
    const String Own = ClassName();
    if (Own.size() != Name.size())
        return false;
    for (std::size_t I = 0; I < Own.size(); ++I) {
        char16_t A = Own[I], B = Name[I];
        if (A >= 'a' && A <= 'z')
            A -= 32;
        if (B >= 'a' && B <= 'z')
            B -= 32;
        if (A != B)
            return false;
    }
    return true;
}

int Pos(const String& Sub, const String& S) {
    return PosEx(Sub, S, 1);
}

int PosEx(const String& Sub, const String& S, int Offset) {
    if (Sub.empty() || Offset < 1 || std::size_t(Offset) > S.size())
        return 0;
    const std::size_t P = S.find(Sub, Offset - 1);
    return P == String::npos ? 0 : int(P) + 1;
}

String Copy(const String& S, int Index, int Count) {
    if (Index < 1)
        Index = 1;
    if (Count <= 0 || std::size_t(Index) > S.size())
        return String();
    return S.substr(Index - 1, std::size_t(Count));
}

void Delete(String& S, int Index, int Count) {
    if (Index < 1 || std::size_t(Index) > S.size() || Count <= 0)
        return;
    S.erase(Index - 1, std::size_t(Count));
}

void Insert(const String& Source, String& S, int Index) {
    if (Index < 1)
        Index = 1;
    if (std::size_t(Index) > S.size() + 1)
        Index = int(S.size()) + 1;
    S.insert(Index - 1, Source);
}

String StringOfChar(Char C, int Count) {
    return Count > 0 ? String(std::size_t(Count), C) : String();
}

namespace {

std::int64_t Saturate(double X) {
    if (std::isnan(X))
        return 0;
    if (X >= 9223372036854775807.0)
        return INT64_MAX;
    if (X <= -9223372036854775808.0)
        return INT64_MIN;
    return std::int64_t(X);
}

std::mutex RandomLock;

} // namespace

std::int64_t Round(double X) {
    return Saturate(std::nearbyint(X));
}

std::int64_t Trunc(double X) {
    return Saturate(std::trunc(X));
}

double Frac(double X) {
    return X - std::trunc(X);
}

double Int(double X) {
    return std::trunc(X);
}

std::int32_t RandSeed = 0;

static std::uint32_t NextRandom() {
    std::lock_guard Guard(RandomLock);
    RandSeed = std::int32_t(std::uint32_t(RandSeed) * 134775813u + 1u);
    return std::uint32_t(RandSeed);
}

int Random(int Range) {
    const std::uint32_t R = NextRandom();
    if (Range <= 0)
        return 0;
    return int((std::uint64_t(R) * std::uint32_t(Range)) >> 32);
}

double Random() {
    return NextRandom() / 4294967296.0;
}

void Randomize() {
    const auto Now = std::chrono::steady_clock::now().time_since_epoch().count() ^
                     std::chrono::system_clock::now().time_since_epoch().count();
    std::lock_guard Guard(RandomLock);
    RandSeed = std::int32_t(std::uint32_t(Now) ^ std::uint32_t(std::uint64_t(Now) >> 32));
}
