// The skinned labels: the class library's label, and a multi-line label whose text is a string list, both in the
// font of the skin's "stdlabel" record, disabled text embossed in the skin's highlight and shadow colours. The
// standard label can shorten a line that does not fit with an ellipsis at its end or in the middle of a path.
#pragma once

#include "platform/ui/StdCtrls.h"
#include "skin/controls/bsSkinCtrlsLabels.h"

enum TbsEllipsType { bsetNone, bsetEndEllips, bsetPathEllips };

class TbsSkinStdLabel : public TCustomLabel, public TbsLabelSkin {
    QV_CLASS_NAME(TbsSkinStdLabel)
public:
    explicit TbsSkinStdLabel(TComponent* AOwner);

    TbsEllipsType EllipsType() const { return FEllipsType; }
    void SetEllipsType(TbsEllipsType Value);
    TbsSkinData* SkinData() const { return FSD; }
    void SetSkinData(TbsSkinData* Value);

    void ChangeSkinData();
    // AText drawn as the label would draw it, at X, Y of another canvas.
    void PaintSkinTo(TCanvas* C, int X, int Y, const String& AText);

protected:
    void DoDrawText(TRect& Rect, UINT Flags) override;
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // Draws (or measures) Text on C by the label's rules.
    void DrawOn(TCanvas* C, const String& Text, TRect& R, UINT Flags);
    UINT EllipsFlag() const;

    TbsEllipsType FEllipsType = bsetNone;
};

class TbsSkinTextLabel : public TGraphicControl, public TbsLabelSkin {
    QV_CLASS_NAME(TbsSkinTextLabel)
public:
    explicit TbsSkinTextLabel(TComponent* AOwner);
    ~TbsSkinTextLabel() override;

    TStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value) override;
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    TbsSkinData* SkinData() const { return FSD; }
    void SetSkinData(TbsSkinData* Value);

    void ChangeSkinData();
    // Sizes the label to its text (with AutoSize), keeping the right edge of a right-aligned label.
    virtual void AdjustBounds();
    void Dispatch(TMessage& Message) override;

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Paint() override;
    // The lines, each followed by a line break.
    virtual String GetLabelText() const;

private:
    UINT TextFlags() const;

    std::unique_ptr<TStringList> FLines;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = true;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
};
