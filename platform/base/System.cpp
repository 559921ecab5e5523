#include "platform/base/System.h"

#include <cxxabi.h>

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
