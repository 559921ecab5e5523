// Core of the run-time library: the text type, its UTF-8 boundary, and the root object.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
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

// The event type of most Parts' events: a std::function member, called only when set.
using TNotifyEvent = std::function<void(TObject* Sender)>;

#define QV_CLASS_NAME(Name)                                                                                            \
public:                                                                                                                \
    String ClassName() const override {                                                                                \
        return u"" #Name;                                                                                              \
    }

// 1-based string routines as the Parts write them: Pos gives 0 when Sub is absent; Copy, Delete and
// Insert clamp Index and Count to the string the way the classic routines do.
int Pos(const String& Sub, const String& S);
int PosEx(const String& Sub, const String& S, int Offset = 1);
String Copy(const String& S, int Index, int Count = 0x7FFFFFFF);
void Delete(String& S, int Index, int Count);
void Insert(const String& Source, String& S, int Index);
String StringOfChar(Char C, int Count);
inline int Length(const String& S) {
    return int(S.size());
}

// Rounding as the drawing arithmetic needs it: Round is to nearest with ties to even, Trunc
// toward zero; values beyond the 64-bit range saturate.
std::int64_t Round(double X);
std::int64_t Trunc(double X);
double Frac(double X);
double Int(double X);

// The classic linear-congruential generator, so a seed gives the same numbers on every machine:
// RandSeed := RandSeed * 134775813 + 1. Random(Range) gives 0 .. Range-1; Random() gives [0, 1).
// RandSeed may be set directly to replay a sequence; Randomize seeds it from the clock.
extern std::int32_t RandSeed;
int Random(int Range);
double Random();
void Randomize();

// Frees an object and clears the reference first, so a destructor that looks back sees nil.
template <class T> void FreeAndNil(T*& Obj) {
    T* Temp = Obj;
    Obj = nullptr;
    delete Temp;
}

// A Delphi set over an enumeration whose values lie in 0 .. N-1:
//   enum TShiftStateItem { ssShift, ssAlt, ... };  using TShiftState = TSet<TShiftStateItem>;
//   TShiftState s{ssShift, ssCtrl};  if (s.Contains(ssShift)) ...;  s += ssAlt;  s = s - TShiftState{ssCtrl};
// ToInt() gives the bits (bit i for value i), as a set is stored.
template <class E, std::size_t N = 64> class TSet {
public:
    constexpr TSet() = default;
    TSet(std::initializer_list<E> Items) {
        for (E e : Items)
            Include(e);
    }

    bool Contains(E e) const { return Valid(e) && FBits.test(std::size_t(e)); }
    TSet& Include(E e) {
        if (Valid(e))
            FBits.set(std::size_t(e));
        return *this;
    }
    TSet& Exclude(E e) {
        if (Valid(e))
            FBits.reset(std::size_t(e));
        return *this;
    }
    bool Empty() const { return FBits.none(); }
    std::size_t Count() const { return FBits.count(); }
    void Clear() { FBits.reset(); }

    std::uint64_t ToInt() const {
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < N && i < 64; ++i)
            if (FBits.test(i))
                v |= std::uint64_t(1) << i;
        return v;
    }
    static TSet FromInt(std::uint64_t Bits) {
        TSet s;
        for (std::size_t i = 0; i < N && i < 64; ++i)
            if (Bits & (std::uint64_t(1) << i))
                s.FBits.set(i);
        return s;
    }

    friend TSet operator+(TSet a, const TSet& b) { return a.FBits |= b.FBits, a; }
    friend TSet operator-(TSet a, const TSet& b) { return a.FBits &= ~b.FBits, a; }
    friend TSet operator*(TSet a, const TSet& b) { return a.FBits &= b.FBits, a; }
    friend TSet operator+(TSet a, E e) { return a.Include(e), a; }
    friend TSet operator-(TSet a, E e) { return a.Exclude(e), a; }
    TSet& operator+=(const TSet& b) { return FBits |= b.FBits, *this; }
    TSet& operator-=(const TSet& b) { return FBits &= ~b.FBits, *this; }
    TSet& operator*=(const TSet& b) { return FBits &= b.FBits, *this; }
    TSet& operator+=(E e) { return Include(e); }
    TSet& operator-=(E e) { return Exclude(e); }
    friend bool operator==(const TSet& a, const TSet& b) { return a.FBits == b.FBits; }
    // a <= b: every member of a is in b.
    friend bool operator<=(const TSet& a, const TSet& b) { return (a.FBits & ~b.FBits).none(); }

private:
    static bool Valid(E e) { return std::size_t(e) < N; }
    std::bitset<N> FBits;
};
