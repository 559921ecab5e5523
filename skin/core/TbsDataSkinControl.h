// Skin control records: one per SKINCONTROLS entry of a skin, read from and written to the entry's own section.
#pragma once

#include "platform/base/IniFiles.h"
#include "platform/base/System.h"
#include "skin/core/SkinIniValues.h"

// The root of the control records; the section of a record is named by its IDName.
class TbsDataSkinControl : public TObject {
public:
    explicit TbsDataSkinControl(const String& AIDName) : IDName(AIDName) {}
    virtual void LoadFromFile(TCustomIniFile& IniFile);
    // Erases the record's section first, then writes every key.
    virtual void SaveToFile(TCustomIniFile& IniFile);

    String IDName;
    int PictureIndex = -1;
    int MaskPictureIndex = -1;
    TRect SkinRect;

private:
    void Keys(TbsSkinSectionIO& IO);
};

class TbsDataSkinCustomControl : public TbsSkinRecord<TbsDataSkinControl, TbsDataSkinCustomControl> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    TPoint LTPoint;
    TPoint RTPoint;
    TPoint LBPoint;
    TPoint RBPoint;
    TRect ClRect;
    bool StretchEffect = false;
    TbsStretchType StretchType = bsstFull;
    bool LeftStretch = false;
    bool TopStretch = false;
    bool RightStretch = false;
    bool BottomStretch = false;
};

class TbsDataSkinButtonControl : public TbsSkinRecord<TbsDataSkinCustomControl, TbsDataSkinButtonControl> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    String FontName = u"Arial";
    TFontStyles FontStyle;
    int FontHeight = 12;
    TColor FontColor = 0;
    TColor ActiveFontColor = 0;
    TColor DownFontColor = 0;
    TColor DisabledFontColor = 0;
    TRect ActiveSkinRect;
    TRect DownSkinRect;
    TRect FocusedSkinRect;
    TRect DisabledSkinRect;
    bool Morphing = false;
    TbsMorphKind MorphKind = mkDefault;
    TRect AnimateSkinRect;
    int FrameCount = 0;
    int AnimateInterval = 0;
    bool ShowFocus = false;
    TRect MenuMarkerFlatRect;
    TRect MenuMarkerRect;
    TRect MenuMarkerActiveRect;
    TRect MenuMarkerDownRect;
    TColor MenuMarkerTransparentColor = 0;
    int GlowLayerPictureIndex = -1;
    int GlowLayerMaskPictureIndex = -1;
    int GlowLayerOffsetLeft = 0;
    int GlowLayerOffsetRight = 0;
    int GlowLayerOffsetTop = 0;
    int GlowLayerOffsetBottom = 0;
    int GlowLayerShowOffsetX = 0;
    int GlowLayerShowOffsetY = 0;
    int GlowLayerAlphaBlendValue = 255;
};

class TbsDataSkinMenuButtonControl : public TbsSkinRecord<TbsDataSkinButtonControl, TbsDataSkinMenuButtonControl> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    TRect TrackButtonRect;
};

class TbsDataSkinListBox : public TbsSkinRecord<TbsDataSkinCustomControl, TbsDataSkinListBox> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    TRect SItemRect;
    TRect ActiveItemRect;
    TRect FocusItemRect;
    int ItemLeftOffset = 0;
    int ItemRightOffset = 0;
    TRect ItemTextRect;
    String FontName = u"Arial";
    TFontStyles FontStyle;
    int FontHeight = 14;
    TColor FontColor = 0;
    TColor ActiveFontColor = 0;
    TColor FocusFontColor = 0;
    TRect CaptionRect;
    String CaptionFontName = u"Arial";
    TFontStyles CaptionFontStyle;
    int CaptionFontHeight = 14;
    TColor CaptionFontColor = 0;
    TRect UpButtonRect;
    TRect ActiveUpButtonRect;
    TRect DownUpButtonRect;
    TRect DownButtonRect;
    TRect ActiveDownButtonRect;
    TRect DownDownButtonRect;
    TRect CheckButtonRect;
    TRect ActiveCheckButtonRect;
    TRect DownCheckButtonRect;
    String HScrollBarName;
    String VScrollBarName;
    String BothScrollBarName;
    bool ShowFocus = false;
    TRect DisabledButtonsRect;
    TRect ButtonsArea;
};

class TbsDataSkinCheckListBox : public TbsSkinRecord<TbsDataSkinListBox, TbsDataSkinCheckListBox> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    TRect UnCheckImageRect;
    TRect CheckImageRect;
    TRect ItemCheckRect;
};

class TbsDataSkinComboBox : public TbsSkinRecord<TbsDataSkinCustomControl, TbsDataSkinComboBox> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    TRect SItemRect;
    TRect ActiveItemRect;
    TRect FocusItemRect;
    int ItemLeftOffset = 0;
    int ItemRightOffset = 0;
    TRect ItemTextRect;
    String FontName = u"Arial";
    TFontStyles FontStyle;
    int FontHeight = 14;
    TColor FontColor = 0;
    TColor FocusFontColor = 0;
    TColor ActiveFontColor = 0;
    TRect ButtonRect;
    TRect ActiveButtonRect;
    TRect DownButtonRect;
    TRect UnEnabledButtonRect;
    bool ItemStretchEffect = false;
    bool FocusItemStretchEffect = false;
    TRect ActiveSkinRect;
    String ListBoxName;
    bool ShowFocus = false;
};

class TbsDataSkinMainMenuBar : public TbsSkinRecord<TbsDataSkinControl, TbsDataSkinMainMenuBar> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    TRect ItemsRect;
    String MenuBarItem;
    String CloseButton;
    String MaxButton;
    String MinButton;
    String SysMenuButton;
    TColor TrackMarkColor = 0;
    TColor TrackMarkActiveColor = 0;
    bool StretchEffect = false;
    bool ItemTransparent = false;
};

class TbsDataSkinUpDownControl : public TbsSkinRecord<TbsDataSkinCustomControl, TbsDataSkinUpDownControl> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
    void Keys(TbsSkinSectionIO& IO);

    TRect UpButtonRect;
    TRect ActiveUpButtonRect;
    TRect DownUpButtonRect;
    TRect DownButtonRect;
    TRect ActiveDownButtonRect;
    TRect DownDownButtonRect;

private:
    void ClearGeometry();
};

class TbsDataSkinControlBar : public TbsSkinRecord<TbsDataSkinCustomControl, TbsDataSkinControlBar> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    TRect ItemRect;
    int BGPictureIndex = -1;
    TRect HGripRect;
    TRect VGripRect;
    int GripOffset1 = 0;
    int GripOffset2 = 0;
    bool ItemStretchEffect = false;
    int ItemOffset1 = 0;
    int ItemOffset2 = 0;
    bool ItemTransparent = false;
    TColor ItemTransparentColor = 0;
    bool GripTransparent = false;
    TColor GripTransparentColor = 0;
};

class TbsDataSkinSlider : public TbsSkinRecord<TbsDataSkinControl, TbsDataSkinSlider> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    TRect HRulerRect;
    TRect HThumbRect;
    TRect VRulerRect;
    TRect VThumbRect;
    int EdgeSize = 0;
    TColor BGColor = 0;
    TColor PointsColor = 0;
};

class TbsDataSkinBevel : public TbsSkinRecord<TbsDataSkinControl, TbsDataSkinBevel> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    TColor LightColor = 0;
    TColor DarkColor = 0;
};

// The tree view, list view and rich edit records: a font and a background colour, nothing more.
template <class Self> class TbsDataSkinTextControl : public TbsSkinRecord<TbsDataSkinControl, Self> {
public:
    using TbsSkinRecord<TbsDataSkinControl, Self>::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO) {
        IO.Font(FontName, FontStyle, FontHeight, FontColor);
        IO.Color(u"bgcolor", BGColor);
    }

    String FontName = u"Arial";
    TFontStyles FontStyle;
    int FontHeight = 14;
    TColor FontColor = 0;
    TColor BGColor = TColor(0x00FFFFFF);
};

class TbsDataSkinTreeView : public TbsDataSkinTextControl<TbsDataSkinTreeView> {
public:
    using TbsDataSkinTextControl::TbsDataSkinTextControl;
};

class TbsDataSkinListView : public TbsDataSkinTextControl<TbsDataSkinListView> {
public:
    using TbsDataSkinTextControl::TbsDataSkinTextControl;
};

class TbsDataSkinRichEdit : public TbsDataSkinTextControl<TbsDataSkinRichEdit> {
public:
    using TbsDataSkinTextControl::TbsDataSkinTextControl;
};

class TbsDataSkinTabControl : public TbsSkinRecord<TbsDataSkinControl, TbsDataSkinTabControl> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    TRect TabRect;
    TRect ActiveTabRect;
    TRect FocusTabRect;
    TRect MouseInTabRect;
    TRect ClRect;
    TRect TabsBGRect;
    TPoint LTPoint;
    TPoint RTPoint;
    TPoint LBPoint;
    TPoint RBPoint;
    int TabLeftOffset = 0;
    int TabRightOffset = 0;
    String FontName = u"Arial";
    TFontStyles FontStyle;
    int FontHeight = 14;
    TColor FontColor = 0;
    TColor ActiveFontColor = 0;
    TColor FocusFontColor = 0;
    TColor MouseInFontColor = 0;
    String UpDown;
    int BGPictureIndex = -1;
    bool TabStretchEffect = false;
    bool ShowFocus = false;
    int FocusOffsetX = 0;
    int FocusOffsetY = 0;
    bool LeftStretch = false;
    bool TopStretch = false;
    bool RightStretch = false;
    bool BottomStretch = false;
    bool StretchEffect = false;
    TbsStretchType StretchType = bsstFull;
    TRect CloseButtonRect;
    TRect CloseButtonActiveRect;
    TRect CloseButtonDownRect;
    bool ButtonTransparent = false;
    TColor ButtonTransparentColor = TColor(0x00FF00FF);
};

class TbsDataSkinGridControl : public TbsSkinRecord<TbsDataSkinControl, TbsDataSkinGridControl> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    TRect FixedCellRect;
    TRect SelectCellRect;
    TRect FocusCellRect;
    int FixedCellLeftOffset = 0;
    int FixedCellRightOffset = 0;
    TRect FixedCellTextRect;
    int CellLeftOffset = 0;
    int CellRightOffset = 0;
    TRect CellTextRect;
    TColor LinesColor = 0;
    TColor BGColor = 0;
    String FontName = u"Arial";
    TFontStyles FontStyle;
    int FontHeight = 14;
    TColor FontColor = 0;
    TColor SelectFontColor = 0;
    TColor FocusFontColor = 0;
    String FixedFontName = u"Arial";
    TFontStyles FixedFontStyle;
    int FixedFontHeight = 14;
    TColor FixedFontColor = 0;
    bool FixedCellStretchEffect = false;
    bool CellStretchEffect = false;
    bool ShowFocus = false;
    int BGPictureIndex = -1;
};

class TbsDataSkinSpinEditControl : public TbsSkinRecord<TbsDataSkinCustomControl, TbsDataSkinSpinEditControl> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    TRect ActiveSkinRect;
    String FontName = u"Arial";
    TFontStyles FontStyle;
    int FontHeight = 12;
    TColor FontColor = 0;
    TColor ActiveFontColor = 0;
    TColor DisabledFontColor = 0;
    TRect UpButtonRect;
    TRect ActiveUpButtonRect;
    TRect DownUpButtonRect;
    TRect DownButtonRect;
    TRect ActiveDownButtonRect;
    TRect DownDownButtonRect;
};

class TbsDataSkinEditControl : public TbsSkinRecord<TbsDataSkinCustomControl, TbsDataSkinEditControl> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    TRect ActiveSkinRect;
    String FontName = u"Arial";
    TFontStyles FontStyle;
    int FontHeight = 12;
    TColor FontColor = 0;
    TColor DisabledFontColor = 0;
    TColor ActiveFontColor = 0;
    TRect ButtonRect;
    TRect ActiveButtonRect;
    TRect DownButtonRect;
    TRect UnEnabledButtonRect;
};

class TbsDataSkinMemoControl : public TbsSkinRecord<TbsDataSkinEditControl, TbsDataSkinMemoControl> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    TColor BGColor = 0;
    TColor ActiveBGColor = 0;
};

class TbsDataSkinStdLabelControl : public TbsSkinRecord<TbsDataSkinControl, TbsDataSkinStdLabelControl> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    String FontName = u"Arial";
    TFontStyles FontStyle;
    int FontHeight = 12;
    TColor FontColor = 0;
    TColor ActiveFontColor = TColor(0x00FF0000);
};

class TbsDataSkinLabelControl : public TbsSkinRecord<TbsDataSkinCustomControl, TbsDataSkinLabelControl> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    String FontName = u"Arial";
    TFontStyles FontStyle;
    int FontHeight = 12;
    TColor FontColor = 0;
};

class TbsDataSkinScrollBarControl : public TbsSkinRecord<TbsDataSkinCustomControl, TbsDataSkinScrollBarControl> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    TRect TrackArea;
    TRect UpButtonRect;
    TRect ActiveUpButtonRect;
    TRect DownUpButtonRect;
    TRect DownButtonRect;
    TRect ActiveDownButtonRect;
    TRect DownDownButtonRect;
    TRect ThumbRect;
    TRect ActiveThumbRect;
    TRect DownThumbRect;
    int ThumbOffset1 = 0;
    int ThumbOffset2 = 0;
    TRect GlyphRect;
    TRect ActiveGlyphRect;
    TRect DownGlyphRect;
    bool GlyphTransparent = false;
    TColor GlyphTransparentColor = TColor(0x00FF00FF);
    bool ThumbTransparent = false;
    TColor ThumbTransparentColor = TColor(0x00FF00FF);
    bool ThumbStretchEffect = false;
    int ThumbMinSize = 0;
    int ThumbMinPageSize = 0;
};

class TbsDataSkinTrackBarControl : public TbsSkinRecord<TbsDataSkinCustomControl, TbsDataSkinTrackBarControl> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    TRect ActiveSkinRect;
    TRect TrackArea;
    TRect ButtonRect;
    TRect ActiveButtonRect;
    bool Vertical = false;
    bool ButtonTransparent = false;
    TColor ButtonTransparentColor = TColor(0x00FF00FF);
};

class TbsDataSkinSplitterControl : public TbsSkinRecord<TbsDataSkinCustomControl, TbsDataSkinSplitterControl> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    TRect GripperRect;
    bool GripperTransparent = false;
    TColor GripperTransparentColor = TColor(0x00FF00FF);
};

class TbsDataSkinGaugeControl : public TbsSkinRecord<TbsDataSkinCustomControl, TbsDataSkinGaugeControl> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    TRect ProgressArea;
    TRect ProgressRect;
    bool Vertical = false;
    int BeginOffset = 0;
    int EndOffset = 0;
    String FontName = u"Arial";
    TFontStyles FontStyle;
    int FontHeight = 14;
    TColor FontColor = 0;
    bool ProgressTransparent = false;
    TColor ProgressTransparentColor = TColor(0x00FF00FF);
    bool ProgressStretch = false;
    TRect AnimationSkinRect;
    int AnimationCountFrames = 0;
    int AnimationTimerInterval = 0;
    TRect ProgressAnimationSkinRect;
    int ProgressAnimationCountFrames = 0;
    int ProgressAnimationTimerInterval = 0;
    int AnimationBeginOffset = 0;
    int AnimationEndOffset = 0;
};

class TbsDataSkinScrollBoxControl : public TbsSkinRecord<TbsDataSkinCustomControl, TbsDataSkinScrollBoxControl> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    int BGPictureIndex = -1;
};

class TbsDataSkinExPanelControl : public TbsSkinRecord<TbsDataSkinCustomControl, TbsDataSkinExPanelControl> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    TRect RollHSkinRect;
    TRect RollVSkinRect;
    int RollLeftOffset = 0;
    int RollRightOffset = 0;
    int RollTopOffset = 0;
    int RollBottomOffset = 0;
    TRect RollVCaptionRect;
    TRect RollHCaptionRect;
    TRect CloseButtonRect;
    TRect CloseButtonActiveRect;
    TRect CloseButtonDownRect;
    TRect HRollButtonRect;
    TRect HRollButtonActiveRect;
    TRect HRollButtonDownRect;
    TRect HRestoreButtonRect;
    TRect HRestoreButtonActiveRect;
    TRect HRestoreButtonDownRect;
    TRect VRollButtonRect;
    TRect VRollButtonActiveRect;
    TRect VRollButtonDownRect;
    TRect VRestoreButtonRect;
    TRect VRestoreButtonActiveRect;
    TRect VRestoreButtonDownRect;
    TRect CaptionRect;
    String FontName = u"Arial";
    TFontStyles FontStyle;
    int FontHeight = 12;
    TColor FontColor = 0;
    bool ButtonsTransparent = false;
    TColor ButtonsTransparentColor = TColor(0x00FF00FF);
};

class TbsDataSkinPanelControl : public TbsSkinRecord<TbsDataSkinCustomControl, TbsDataSkinPanelControl> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    TRect CaptionRect;
    TAlignment Alignment = taCenter;
    String FontName = u"Arial";
    TFontStyles FontStyle;
    int FontHeight = 12;
    TColor FontColor = 0;
    int BGPictureIndex = -1;
    TRect CheckImageRect;
    TRect UnCheckImageRect;
    TRect MarkFrameRect;
    TRect FrameRect;
    int FrameLeftOffset = 0;
    int FrameRightOffset = 0;
    TRect FrameTextRect;
    TRect GripperRect;
    bool GripperTransparent = false;
    TColor GripperTransparentColor = TColor(0x00FF00FF);
};

class TbsDataSkinCheckRadioControl : public TbsSkinRecord<TbsDataSkinCustomControl, TbsDataSkinCheckRadioControl> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    String FontName = u"Arial";
    TFontStyles FontStyle;
    int FontHeight = 12;
    TColor FontColor = 0;
    TColor ActiveFontColor = 0;
    TColor UnEnabledFontColor = 0;
    TRect ActiveSkinRect;
    TRect CheckImageArea;
    TRect TextArea;
    TRect CheckImageRect;
    TRect UnCheckImageRect;
    TRect ActiveCheckImageRect;
    TRect ActiveUnCheckImageRect;
    TRect UnEnabledCheckImageRect;
    TRect UnEnabledUnCheckImageRect;
    TRect GrayedCheckImageRect;
    TRect ActiveGrayedCheckImageRect;
    bool Morphing = false;
    TbsMorphKind MorphKind = mkDefault;
    TColor FrameFontColor = 0;
};

// The record class of a SKINCONTROLS kind word (exact, case-sensitive); nullptr for any other word.
TbsDataSkinControl* CreateSkinControlRecord(const String& Kind, const String& AIDName);
// The kind word a record is written with, found by testing its class most derived first; empty for a class
// without a kind word.
String SkinControlKindWord(const TbsDataSkinControl& Record);
