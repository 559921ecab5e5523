// The link label: a transparent label with a hand cursor that opens its URL with the desktop's opener when
// clicked, changes colour (or glows) while the mouse is over it, and takes its font and colours from the
// skin's "stdlabel" record.
#pragma once

#include <memory>

#include "platform/ui/StdCtrls.h"
#include "skin/core/TbsSkinData.h"

class TbsSkinLinkLabel : public TCustomLabel {
    QV_CLASS_NAME(TbsSkinLinkLabel)
public:
    explicit TbsSkinLinkLabel(TComponent* AOwner);
    ~TbsSkinLinkLabel() override;

    bool GlowEffect() const { return FGlowEffect; }
    void SetGlowEffect(bool Value) { FGlowEffect = Value; }
    int GlowSize() const { return FGlowSize; }
    void SetGlowSize(int Value) { FGlowSize = Value; }
    TbsSkinData* SkinData() const { return FSD; }
    void SetSkinData(TbsSkinData* Value);
    const String& SkinDataName() const { return FSkinDataName; }
    void SetSkinDataName(const String& Value) { FSkinDataName = Value; }
    TFont* DefaultFont() const { return FDefaultFont.get(); }
    // Assigns the font; the label repaints at its next paint.
    void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
    TColor DefaultActiveFontColor() const { return FDefaultActiveFontColor; }
    void SetDefaultActiveFontColor(TColor Value) { FDefaultActiveFontColor = Value; }
    const String& URL() const { return FURL; }
    void SetURL(const String& Value) { FURL = Value; }
    bool UseUnderLine() const { return FUseUnderLine; }
    void SetUseUnderLine(bool Value);
    bool MouseIn() const { return FMouseIn; }

    // Looks the record up again and repaints.
    void ChangeSkinData();
    void Dispatch(TMessage& Message) override;

    bool FGlowEffect = false;
    int FGlowSize = 7;
    bool FMouseIn = false;
    int FIndex = -1;
    TbsSkinData* FSD = nullptr;
    String FSkinDataName = u"stdlabel";
    std::unique_ptr<TFont> FDefaultFont;
    bool FUseSkinFont = true;
    TColor FDefaultActiveFontColor = clBlue;
    String FURL;
    bool FUseUnderLine = true;
    // Copies of the "stdlabel" record.
    String FontName = u"Arial";
    TFontStyles FontStyle;
    int FontHeight = 14;
    TColor FontColor = 0;
    TColor ActiveFontColor = clBlue;

protected:
    void Click() override;
    void DoDrawText(TRect& Rect, UINT Flags) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void GetSkinData();
    TFontCharset TextCharset() const;
};
