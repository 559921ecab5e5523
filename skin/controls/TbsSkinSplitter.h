// The skinned splitter: the class library's splitter drawn from the skin's splitter record as a three-part strip
// along its length with an optional gripper in its middle, as thick as the record's face (DefaultSize without a
// record or when transparent).
#pragma once

#include "platform/ui/ExtCtrls.h"
#include "skin/core/TbsSkinData.h"

class TbsSkinSplitter : public TSplitter {
    QV_CLASS_NAME(TbsSkinSplitter)
public:
    explicit TbsSkinSplitter(TComponent* AOwner);

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    int DefaultSize() const { return FDefaultSize; }
    void SetDefaultSize(int Value) { FDefaultSize = Value; }
    const String& SkinDataName() const { return FSkinDataName; }
    void SetSkinDataName(const String& Value) { FSkinDataName = Value; }
    TbsSkinData* SkinData() const { return FSD; }
    void SetSkinData(TbsSkinData* Value);

    void GetSkinData();
    // Re-reads the record, takes its thickness and repaints.
    void ChangeSkinData();

    bool FTransparent = false;
    int FDefaultSize = 10;
    int FIndex = -1;
    TbsSkinData* FSD = nullptr;
    String FSkinDataName = u"vsplitter";
    TPoint LTPt, RTPt, LBPt;
    TRect SkinRect;
    TBitmap* FSkinPicture = nullptr;
    bool StretchEffect = false;
    TRect GripperRect;
    bool GripperTransparent = false;
    TColor GripperTransparentColor = 0;

protected:
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
};
