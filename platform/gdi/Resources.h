// Resources: pictures embedded in the program, looked up by name as the platform's resources are.
//
// Public names: RegisterResource, TResourceRegistration (registers at start-up from a file of the program),
// FindResourceData, TResourceStream, LoadBitmapW (LoadBitmap), LoadIconW (LoadIcon), MAKEINTRESOURCEW,
// IS_INTRESOURCE, IDI_APPLICATION, IDI_HAND (IDI_ERROR), IDI_QUESTION, IDI_EXCLAMATION (IDI_WARNING),
// IDI_ASTERISK (IDI_INFORMATION), HInstance.
//
// A resource is the bytes of a BMP, PNG or ICO file under a name (letter case ignored) or a number ("#123").
// The system icons are the drawing layer's own 32 x 32 pictures.
#pragma once

#include "platform/base/Classes.h"
#include "platform/gdi/WinDef.h"

#include <cstddef>
#include <cstdint>

inline LPCWSTR MAKEINTRESOURCEW(std::uintptr_t id) {
    return reinterpret_cast<LPCWSTR>(id);
}
inline bool IS_INTRESOURCE(LPCWSTR name) {
    return (reinterpret_cast<std::uintptr_t>(name) >> 16) == 0;
}

inline const LPCWSTR IDI_APPLICATION = MAKEINTRESOURCEW(32512);
inline const LPCWSTR IDI_HAND = MAKEINTRESOURCEW(32513);
inline const LPCWSTR IDI_QUESTION = MAKEINTRESOURCEW(32514);
inline const LPCWSTR IDI_EXCLAMATION = MAKEINTRESOURCEW(32515);
inline const LPCWSTR IDI_ASTERISK = MAKEINTRESOURCEW(32516);
inline const LPCWSTR IDI_ERROR = IDI_HAND;
inline const LPCWSTR IDI_WARNING = IDI_EXCLAMATION;
inline const LPCWSTR IDI_INFORMATION = IDI_ASTERISK;

// The program's module handle (resources of the program itself).
extern const HINSTANCE HInstance;

// The data must stay valid for the life of the program (a static array). A later registration of the same name
// replaces the earlier one.
void RegisterResource(const String& Name, const std::uint8_t* Data, std::size_t Size);
struct TResourceRegistration {
    TResourceRegistration(const char16_t* Name, const std::uint8_t* Data, std::size_t Size) {
        RegisterResource(Name, Data, Size);
    }
};
// False when no resource has the name (a number given by MAKEINTRESOURCEW is looked up as "#number").
bool FindResourceData(LPCWSTR Name, const std::uint8_t*& Data, std::size_t& Size);

// Reads a resource: EResNotFound "Resource %s not found" when there is none.
QV_DECLARE_EXCEPTION(EResNotFound, Exception)
class TResourceStream : public TCustomMemoryStream {
public:
    TResourceStream(HINSTANCE Instance, const String& ResName, LPCWSTR ResType = nullptr);
    std::int64_t Write(const void* Buffer, std::int64_t Count) override;
};

// A bitmap from a BMP or PNG resource (the caller deletes it); nullptr when there is none or it is not valid.
HBITMAP LoadBitmapW(HINSTANCE hInstance, LPCWSTR lpBitmapName);
inline HBITMAP LoadBitmap(HINSTANCE h, LPCWSTR n) {
    return LoadBitmapW(h, n);
}
// A system icon (hInstance nullptr and an IDI_ value), or an icon from an ICO or PNG resource. System icons are
// shared and must not be destroyed; others belong to the caller.
HICON LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName);
inline HICON LoadIcon(HINSTANCE h, LPCWSTR n) {
    return LoadIconW(h, n);
}
