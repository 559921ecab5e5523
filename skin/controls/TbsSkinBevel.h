// The skinned bevel: the class library's bevel (box, frame, lines, spacer; lowered or raised) with its two line
// colours from the skin's bevel record, and a divider mode that draws any shape as a short two-line divider. On a
// tool bar that centres its children it stays vertically centred.
#pragma once

#include "platform/ui/ExtCtrls.h"
#include "skin/core/TbsSkinData.h"

class TbsSkinBevel : public TBevel {
    QV_CLASS_NAME(TbsSkinBevel)
public:
    explicit TbsSkinBevel(TComponent* AOwner);

    TbsSkinData* SkinData() const { return FSD; }
    void SetSkinData(TbsSkinData* Value);
    const String& SkinDataName() const { return FSkinDataName; }
    void SetSkinDataName(const String& Value) { FSkinDataName = Value; }
    bool DividerMode() const { return FDividerMode; }
    void SetDividerMode(bool Value);

    // Re-reads the colours of the record and repaints.
    void ChangeSkinData();
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TbsSkinData* FSD = nullptr;
    String FSkinDataName = u"bevel";
    int FIndex = -1;
    bool FDividerMode = false;
    TColor LightColor = clBtnHighlight;
    TColor DarkColor = clBtnShadow;

protected:
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
};
