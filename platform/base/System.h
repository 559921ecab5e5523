// Core of the run-time library: the text type, its UTF-8 boundary, and the root object.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Text is UTF-16 throughout the program; Linux and the libraries see UTF-8 at the boundary.
using String = std::u16string;
using Char = char16_t;

// Sized integer names as the Parts write them.
using Byte = std::uint8_t;
using Word = std::uint16_t;
using ShortInt = std::int8_t;
using SmallInt = std::int16_t;
using Integer = std::int32_t;
using Cardinal = std::uint32_t;
using LongWord = std::uint32_t;
using Int64 = std::int64_t;
using UInt64 = std::uint64_t;
using NativeInt = std::intptr_t;
using NativeUInt = std::uintptr_t;
using Pointer = void*;

// Decodes UTF-8. A byte that does not start or continue a valid sequence (overlong forms and
// encoded surrogates included) decodes as its Latin-1 character, so nothing is ever dropped.
String UTF8ToString(std::string_view utf8);
// Encodes UTF-16 as UTF-8; a lone surrogate becomes U+FFFD.
std::string UTF8Encode(const String& s);
std::string UTF8Encode(std::u16string_view s);

// The root of the class hierarchy.
//
// ClassName() is by default the C++ class name without namespaces, so a class declared with the
// Part's name (class TbsFormLayerWindow) answers exactly that name. A class whose C++ name differs
// from the name it must answer writes QV_CLASS_NAME(TheName) in its body.
class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = default;
    TObject& operator=(const TObject&) = default;
    virtual ~TObject();

    virtual String ClassName() const;
    // Case-insensitive, as class names are compared in the Parts.
    bool ClassNameIs(const String& Name) const;
};

#define QV_CLASS_NAME(Name)                                                                                            \
public:                                                                                                                \
    String ClassName() const override {                                                                                \
        return u"" #Name;                                                                                              \
    }

// Frees an object and clears the reference first, so a destructor that looks back sees nil.
template <class T> void FreeAndNil(T*& Obj) {
    T* Temp = Obj;
    Obj = nullptr;
    delete Temp;
}
