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
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t n = utf8.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            Result.push_back(b);
            ++i;
            continue;
        }
        int len = 0;
        char32_t cp = 0;
        char32_t min = 0;
        if ((b & 0xE0) == 0xC0) {
            len = 2, cp = b & 0x1F, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            len = 3, cp = b & 0x0F, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            len = 4, cp = b & 0x07, min = 0x10000;
        }
        bool valid = len > 0 && i + len <= n;
        for (int k = 1; valid && k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                valid = false;
            else
                cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if (valid && (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)))
            valid = false;
        if (!valid) {
            Result.push_back(b); // Latin-1
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            Result.push_back(char16_t(0xD800 + (cp >> 10)));
            Result.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            Result.push_back(char16_t(cp));
        }
        i += len;
    }
    return Result;
}

std::string UTF8Encode(std::u16string_view s) {
    std::string Result;
    Result.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            Result.push_back(char(cp));
        } else if (cp < 0x800) {
            Result.push_back(char(0xC0 | (cp >> 6)));
            Result.push_back(char(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            Result.push_back(char(0xE0 | (cp >> 12)));
            Result.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            Result.push_back(char(0x80 | (cp & 0x3F)));
        } else {
            Result.push_back(char(0xF0 | (cp >> 18)));
            Result.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
            Result.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            Result.push_back(char(0x80 | (cp & 0x3F)));
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
    int status = 0;
    char* raw = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    std::string name = status == 0 && raw ? raw : type.name();
    std::free(raw);
    // Drop namespaces, but keep template arguments as they are.
    const std::size_t angle = name.find('<');
    const std::size_t colons = name.rfind("::", angle);
    if (colons != std::string::npos)
        name.erase(0, colons + 2);
    return UTF8ToString(name);
}

} // namespace

String TObject::ClassName() const {
    static std::mutex lock;
    static std::unordered_map<std::type_index, String> names;
    const std::type_info& type = typeid(*this);
    std::lock_guard guard(lock);
    auto it = names.find(type);
    if (it == names.end())
        it = names.emplace(type, DemangledName(type)).first;
    return it->second;
}

bool TObject::ClassNameIs(const String& Name) const {
    const String Own = ClassName();
    if (Own.size() != Name.size())
        return false;
    for (std::size_t i = 0; i < Own.size(); ++i) {
        char16_t a = Own[i], b = Name[i];
        if (a >= 'a' && a <= 'z')
            a -= 32;
        if (b >= 'a' && b <= 'z')
            b -= 32;
        if (a != b)
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
    const std::size_t p = S.find(Sub, Offset - 1);
    return p == String::npos ? 0 : int(p) + 1;
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
    std::lock_guard guard(RandomLock);
    RandSeed = std::int32_t(std::uint32_t(RandSeed) * 134775813u + 1u);
    return std::uint32_t(RandSeed);
}

int Random(int Range) {
    const std::uint32_t r = NextRandom();
    if (Range <= 0)
        return 0;
    return int((std::uint64_t(r) * std::uint32_t(Range)) >> 32);
}

double Random() {
    return NextRandom() / 4294967296.0;
}

void Randomize() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count() ^
                     std::chrono::system_clock::now().time_since_epoch().count();
    std::lock_guard guard(RandomLock);
    RandSeed = std::int32_t(std::uint32_t(now) ^ std::uint32_t(std::uint64_t(now) >> 32));
}
