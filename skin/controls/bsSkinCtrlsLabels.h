// What the two skinned labels share: their own skin data reference, record name and index, the default font,
// the copies of the "stdlabel" record's font, and the drawing of their text in that font, embossed when disabled.
#pragma once

#include <memory>

#include "platform/gdi/Graphics.h"
#include "skin/core/TbsSkinData.h"

class TbsLabelSkin {
public:
    TbsLabelSkin();
    virtual ~TbsLabelSkin();

    TFont* DefaultFont() const { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
    bool UseSkinColor() const { return FUseSkinColor; }
    void SetUseSkinColor(bool Value) { FUseSkinColor = Value; }
    const String& SkinDataName() const { return FSkinDataName; }
    void SetSkinDataName(const String& Value) { FSkinDataName = Value; }

    // Looks the record up (index -1 without skin data or with an empty one) and copies its font.
    void GetSkinData();

    int FIndex = -1;
    TbsSkinData* FSD = nullptr;
    String FSkinDataName = u"stdlabel";
    std::unique_ptr<TFont> FDefaultFont;
    bool FUseSkinFont = true;
    bool FUseSkinColor = true;
    String FontName = u"Arial";
    TFontStyles FontStyle;
    int FontHeight = 12;
    TColor FontColor = 0;

protected:
    // The font the text is drawn in, on C: the record's or the default font, or the control's Font.
    void ApplyTextFont(TCanvas* C, TFont* ControlFont) const;
    // Draws (or with DT_CALCRECT measures into R) Text with format F: once when enabled; disabled, one pixel down
    // and right in the highlight colour, then in place in the shadow colour. Ex draws through DrawTextExW.
    void DrawLabelText(TCanvas* C, const String& Text, TRect& R, UINT F, bool Enabled, bool Ex) const;
};
