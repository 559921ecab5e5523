// Skin object records (caption, caption buttons, menu items), the three form-level records and the skin colours.
#pragma once

#include "platform/base/IniFiles.h"
#include "platform/base/System.h"
#include "skin/core/SkinIniValues.h"

// The root of the object records; the section of a record is named by its IDName.
class TbsDataSkinObject : public TObject {
public:
    explicit TbsDataSkinObject(const String& AIDName) : IDName(AIDName) {}
    virtual void LoadFromFile(TCustomIniFile& IniFile);
    // Erases the record's section first, then writes every key.
    virtual void SaveToFile(TCustomIniFile& IniFile);

    String IDName;
    String Hint;
    bool SkinRectInAPicture = false;
    TRect SkinRect;
    TRect ActiveSkinRect;
    int ActivePictureIndex = -1;
    int ActiveMaskPictureIndex = -1;
    TRect InActiveSkinRect;
    bool Morphing = false;
    TbsMorphKind MorphKind = mkDefault;
    int GlowLayerPictureIndex = -1;
    int GlowLayerMaskPictureIndex = -1;
    int GlowLayerOffsetX = 0;
    int GlowLayerOffsetY = 0;
    int GlowLayerAlphaBlendValue = 255;

private:
    void Keys(TbsSkinSectionIO& IO);
};

// A user object carries only its place; every other field keeps its constructor value.
class TbsDataUserObject : public TbsDataSkinObject {
public:
    explicit TbsDataUserObject(const String& AIDName) : TbsDataSkinObject(AIDName) {}
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TbsDataSkinButton : public TbsSkinRecord<TbsDataSkinObject, TbsDataSkinButton> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    TRect DownRect;
    TRect DisableSkinRect;
};

class TbsDataSkinStdButton : public TbsSkinRecord<TbsDataSkinButton, TbsDataSkinStdButton> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void Keys(TbsSkinSectionIO& IO);

    TbsStdCommand Command = cmDefault;
    String RestoreHint;
    TRect RestoreRect;
    TRect RestoreActiveRect;
    TRect RestoreDownRect;
    TRect RestoreInActiveRect;
};

class TbsDataSkinMainMenuBarButton : public TbsDataSkinStdButton {
public:
    using TbsDataSkinStdButton::TbsDataSkinStdButton;
};

class TbsDataSkinAnimate : public TbsSkinRecord<TbsDataSkinObject, TbsDataSkinAnimate> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void Keys(TbsSkinSectionIO& IO);

    int CountFrames = 1;
    bool Cycle = false;
    bool ButtonStyle = false;
    int TimerInterval = 50;
    TbsStdCommand Command = cmDefault;
    TRect DownSkinRect;
    String RestoreHint;
    TRect RestoreRect;
    TRect RestoreActiveRect;
    TRect RestoreDownRect;
    TRect RestoreInActiveRect;
};

class TbsDataSkinMenuItem : public TbsSkinRecord<TbsDataSkinObject, TbsDataSkinMenuItem> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void Keys(TbsSkinSectionIO& IO);

    TRect DividerRect;
    int DividerLO = 0;
    int DividerRO = 0;
    int ItemLO = 0;
    int ItemRO = 0;
    String FontName = u"Arial";
    int FontHeight = 14;
    TFontStyles FontStyle;
    TColor UnEnabledFontColor = 0;
    TColor FontColor = 0;
    TColor ActiveFontColor = 0;
    TRect TextRct;
    TRect ImageRct;
    bool UseImageColor = false;
    TColor ImageColor = 0;
    TColor ActiveImageColor = 0;
    bool StretchEffect = false;
    bool DividerStretchEffect = false;
    bool InActiveStretchEffect = false;
    TRect AnimateSkinRect;
    int FrameCount = 0;
    int AnimateInterval = 25;
    bool InActiveAnimation = false;
    bool InActiveTransparent = false;
    TRect CheckImageRect;
    TRect ActiveCheckImageRect;
    TRect RadioImageRect;
    TRect ActiveRadioImageRect;
    TRect ArrowImageRect;
    TRect ActiveArrowImageRect;
};

class TbsDataSkinMainMenuItem : public TbsSkinRecord<TbsDataSkinObject, TbsDataSkinMainMenuItem> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    TRect DownRect;
    String FontName = u"Arial";
    int FontHeight = 14;
    TFontStyles FontStyle;
    TColor FontColor = 0;
    TColor ActiveFontColor = 0;
    TColor DownFontColor = 0;
    TColor UnEnabledFontColor = 0;
    TRect TextRct;
    int ItemLO = 0;
    int ItemRO = 0;
    bool StretchEffect = false;
    TRect AnimateSkinRect;
    int FrameCount = 0;
    int AnimateInterval = 25;
    bool InActiveAnimation = false;
};

class TbsDataSkinMainMenuBarItem : public TbsDataSkinMainMenuItem {
public:
    using TbsDataSkinMainMenuItem::TbsDataSkinMainMenuItem;
};

class TbsDataSkinCaption : public TbsSkinRecord<TbsDataSkinObject, TbsDataSkinCaption> {
public:
    using TbsSkinRecord::TbsSkinRecord;
    void Keys(TbsSkinSectionIO& IO);

    String FontName = u"Arial";
    int FontHeight = 14;
    TFontStyles FontStyle;
    TColor FontColor = 0;
    TColor ActiveFontColor = 0;
    TColor ShadowColor = 0;
    TColor ActiveShadowColor = 0;
    bool Shadow = false;
    TAlignment Alignment = taCenter;
    TRect TextRct;
    TRect FrameRect;
    TRect ActiveFrameRect;
    int FrameLeftOffset = 0;
    int FrameRightOffset = 0;
    TRect FrameTextRect;
    bool Light = false;
    TColor LightColor = 0;
    TColor ActiveLightColor = 0;
    bool StretchEffect = false;
    TRect AnimateSkinRect;
    int FrameCount = 0;
    int AnimateInterval = 25;
    bool InActiveAnimation = false;
    bool FullFrame = false;
    bool GlowEffect = false;
    bool VistaGlowEffect = false;
    bool VistaGlowInActiveEffect = false;
    bool GlowInActiveEffect = false;
    int GlowSize = 3;
    TColor GlowColor = 0;
    TColor GlowActiveColor = 0;
    int GlowOffset = 0;
    bool ReflectionEffect = false;
    TColor ReflectionColor = 0;
    TColor ReflectionActiveColor = 0;
    int ReflectionOffset = 0;
};

// The restore hint of a maximize, minimize or roll-up button whose section gives none.
void ApplyRestoreHintRule(const String& Hint, TbsStdCommand Command, String& RestoreHint);

// Section POPUPWINDOW: the frame of popup menus.
class TbsDataSkinPopupWindow : public TObject {
public:
    void LoadFromFile(TCustomIniFile& IniFile);
    void SaveToFile(TCustomIniFile& IniFile);

    int WindowPictureIndex = -1;
    int MaskPictureIndex = -1;
    TPoint LTPoint;
    TPoint RTPoint;
    TPoint LBPoint;
    TPoint RBPoint;
    TRect ItemsRect;
    TColor ScrollMarkerColor = 0;
    TColor ScrollMarkerActiveColor = 0;
    bool TopStretch = false;
    bool LeftStretch = false;
    bool RightStretch = false;
    bool BottomStretch = false;
    bool StretchEffect = false;
    TbsStretchType StretchType = bsstFull;

private:
    void Keys(TbsSkinSectionIO& IO);
};

// Section LAYERFRAME: the layered frame around forms; PictureIndex -1 means the skin has none.
class TbsDataSkinLayerFrame : public TObject {
public:
    void LoadFromFile(TCustomIniFile& IniFile);
    void SaveToFile(TCustomIniFile& IniFile);

    int PictureIndex = -1;
    int MaskPictureIndex = -1;
    int InActivePictureIndex = -1;
    int InActiveMaskPictureIndex = -1;
    TPoint LTPoint;
    TPoint RTPoint;
    TPoint LBPoint;
    TPoint RBPoint;
    TRect ClRect;
    int AlphaBlendValue = 255;
    int InActiveAlphaBlendValue = 255;
    TRect BorderRect;
    bool HitTestEnable = false;

private:
    void Keys(TbsSkinSectionIO& IO);
};

// Section HINTWINDOW: the frame and font of hints.
class TbsDataSkinHintWindow : public TObject {
public:
    void LoadFromFile(TCustomIniFile& IniFile);
    void SaveToFile(TCustomIniFile& IniFile);

    int WindowPictureIndex = -1;
    int MaskPictureIndex = -1;
    TPoint LTPoint;
    TPoint RTPoint;
    TPoint LBPoint;
    TPoint RBPoint;
    TRect ClRect;
    String FontName = u"Arial";
    TFontStyles FontStyle;
    int FontHeight = 12;
    TColor FontColor = 0;
    bool TopStretch = false;
    bool LeftStretch = false;
    bool RightStretch = false;
    bool BottomStretch = false;
    bool StretchEffect = false;
    TbsStretchType StretchType = bsstFull;

private:
    void Keys(TbsSkinSectionIO& IO);
};

// Section SKINCOLORS: the eight colours that stand in for the system colours while a skin is active.
class TbsSkinColors : public TObject {
public:
    void SetColorsToDefault();
    void LoadFromFile(TCustomIniFile& IniFile);
    void SaveToFile(TCustomIniFile& IniFile);

    TColor FcBtnFace = 0;
    TColor FcBtnText = 0;
    TColor FcWindow = 0;
    TColor FcWindowText = 0;
    TColor FcHighLight = 0;
    TColor FcHighLightText = 0;
    TColor FcBtnHighLight = 0;
    TColor FcBtnShadow = 0;

private:
    void Keys(TbsSkinSectionIO& IO);
};

// The record class of a SKINOBJECTS kind word (exact, case-sensitive); nullptr for any other word.
TbsDataSkinObject* CreateSkinObjectRecord(const String& Kind, const String& AIDName);
// The kind word a record is written with, found by testing its class most derived first; empty for a class
// without a kind word.
String SkinObjectKindWord(const TbsDataSkinObject& Record);
