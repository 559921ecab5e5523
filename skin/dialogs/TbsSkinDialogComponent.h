// What the skinned dialog components share: the skin of the dialog's frame, the skin of its controls (also the
// source of its texts), both forgotten when they are freed, and the default font ("Arial", height 14) used where
// no skin font applies.
#pragma once

#include <memory>

#include "platform/base/Classes.h"
#include "platform/gdi/Graphics.h"
#include "skin/core/TbsSkinData.h"

class TbsSkinDialogComponent : public TComponent {
public:
    explicit TbsSkinDialogComponent(TComponent* AOwner);
    ~TbsSkinDialogComponent() override;

    TbsSkinData* SkinData() const { return FSD; }
    void SetSkinData(TbsSkinData* Value) { Follow(FSD, Value); }
    TbsSkinData* CtrlSkinData() const { return FCtrlFSD; }
    void SetCtrlSkinData(TbsSkinData* Value) { Follow(FCtrlFSD, Value); }
    TFont* DefaultFont() const { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }

    // A font as the dialogs' default: "Arial", height 14, no style.
    static void InitDialogFont(TFont* F);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Field := Value, asking to hear when Value is freed.
    void Follow(TbsSkinData*& Field, TbsSkinData* Value);

    TbsSkinData* FSD = nullptr;
    TbsSkinData* FCtrlFSD = nullptr;
    std::unique_ptr<TFont> FDefaultFont;
};
