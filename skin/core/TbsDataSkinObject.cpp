#include "skin/core/TbsDataSkinObject.h"

void TbsDataSkinObject::Keys(TbsSkinSectionIO& IO) {
    IO.Text(u"hint", Hint);
    IO.Flag(u"skinrectinapicture", SkinRectInAPicture);
    IO.Rect(u"skinrect", SkinRect);
    IO.Rect(u"activeskinrect", ActiveSkinRect);
    IO.Integer(u"activepictureindex", ActivePictureIndex, -1);
    IO.Integer(u"activemaskpictureindex", ActiveMaskPictureIndex, -1);
    IO.Rect(u"inactiveskinrect", InActiveSkinRect);
    IO.Flag(u"morphing", Morphing);
    IO.Morph(u"morphkind", MorphKind);
    IO.Integer(u"glowlayerpictureindex", GlowLayerPictureIndex, -1);
    IO.Integer(u"glowlayermaskpictureindex", GlowLayerMaskPictureIndex, -1);
    IO.Integer(u"glowlayeroffsetx", GlowLayerOffsetX);
    IO.Integer(u"glowlayeroffsety", GlowLayerOffsetY);
    IO.Integer(u"glowlayeralphablendvalue", GlowLayerAlphaBlendValue, 255);
}

void TbsDataSkinObject::LoadFromFile(TCustomIniFile& IniFile) {
    TbsSkinSectionIO IO(IniFile, IDName, false);
    Keys(IO);
}

void TbsDataSkinObject::SaveToFile(TCustomIniFile& IniFile) {
    IniFile.EraseSection(IDName);
    TbsSkinSectionIO IO(IniFile, IDName, true);
    Keys(IO);
}

void TbsDataUserObject::LoadFromFile(TCustomIniFile& IniFile) {
    SkinRect = ReadRectValue(IniFile, IDName, u"skinrect");
}

void TbsDataUserObject::SaveToFile(TCustomIniFile& IniFile) {
    IniFile.EraseSection(IDName);
    WriteRectValue(IniFile, IDName, u"skinrect", SkinRect);
}

void ApplyRestoreHintRule(const String& Hint, TbsStdCommand Command, String& RestoreHint) {
    if (RestoreHint.empty() && Hint == u"Maximize" && Command == cmMaximize)
        RestoreHint = u"Restore";
    if (RestoreHint.empty() && Hint == u"Minimize" && Command == cmMinimize)
        RestoreHint = u"Restore";
    if (RestoreHint.empty() && (Hint == u"RollUp" || Hint == u"Roll Up") && Command == cmRollUp)
        RestoreHint = u"Restore";
}

void TbsDataSkinButton::Keys(TbsSkinSectionIO& IO) {
    IO.Rect(u"downrect", DownRect);
    IO.Rect(u"disableskinrsect", DisableSkinRect);
}

void TbsDataSkinStdButton::Keys(TbsSkinSectionIO& IO) {
    IO.Command(u"command", Command);
    IO.Text(u"restorehint", RestoreHint);
    IO.Rect(u"restorerect", RestoreRect);
    IO.Rect(u"restoreactiverect", RestoreActiveRect);
    IO.Rect(u"restoredownrect", RestoreDownRect);
    IO.Rect(u"restoreinactiverect", RestoreInActiveRect);
}

void TbsDataSkinStdButton::LoadFromFile(TCustomIniFile& IniFile) {
    TbsSkinRecord::LoadFromFile(IniFile);
    ApplyRestoreHintRule(Hint, Command, RestoreHint);
}

void TbsDataSkinAnimate::Keys(TbsSkinSectionIO& IO) {
    IO.Integer(u"countframes", CountFrames, 1);
    IO.Flag(u"cycle", Cycle);
    IO.Flag(u"buttonstyle", ButtonStyle);
    IO.Integer(u"timerinterval", TimerInterval, 50);
    IO.Command(u"command", Command);
    IO.Rect(u"downskinrect", DownSkinRect);
    IO.Text(u"restorehint", RestoreHint);
    IO.Rect(u"restorerect", RestoreRect);
    IO.Rect(u"restoreactiverect", RestoreActiveRect);
    IO.Rect(u"restoredownrect", RestoreDownRect);
    IO.Rect(u"restoreinactiverect", RestoreInActiveRect);
}

void TbsDataSkinAnimate::LoadFromFile(TCustomIniFile& IniFile) {
    TbsSkinRecord::LoadFromFile(IniFile);
    // An animation plays its frames; it never blends between states.
    Morphing = false;
    ApplyRestoreHintRule(Hint, Command, RestoreHint);
}

void TbsDataSkinMenuItem::Keys(TbsSkinSectionIO& IO) {
    IO.Rect(u"dividerrect", DividerRect);
    IO.Integer(u"dividerleftoffset", DividerLO);
    IO.Integer(u"dividerrightoffset", DividerRO);
    IO.Integer(u"itemleftoffset", ItemLO);
    IO.Integer(u"itemrightoffset", ItemRO);
    IO.Text(u"fontname", FontName, u"Arial");
    IO.Integer(u"fontheight", FontHeight, 14);
    IO.FontStyle(u"fontstyle", FontStyle);
    IO.Color(u"unenabledfontcolor", UnEnabledFontColor);
    IO.Color(u"fontcolor", FontColor);
    IO.Color(u"activefontcolor", ActiveFontColor);
    IO.Rect(u"textrect", TextRct);
    IO.Rect(u"imagerect", ImageRct);
    IO.Flag(u"useimagecolor", UseImageColor);
    IO.Color(u"imagecolor", ImageColor);
    IO.Color(u"activeimagecolor", ActiveImageColor);
    IO.Flag(u"stretcheffect", StretchEffect);
    IO.Flag(u"dividerstretcheffect", DividerStretchEffect);
    IO.Flag(u"inactivestretcheffect", InActiveStretchEffect);
    IO.Rect(u"animateskinrect", AnimateSkinRect);
    IO.Integer(u"framecount", FrameCount);
    IO.Integer(u"animateinterval", AnimateInterval, 25);
    IO.Flag(u"inactiveanimation", InActiveAnimation);
    IO.Flag(u"inactivetransparent", InActiveTransparent);
    IO.Rect(u"checkimagerect", CheckImageRect);
    IO.Rect(u"activecheckimagerect", ActiveCheckImageRect);
    IO.Rect(u"radioimagerect", RadioImageRect);
    IO.Rect(u"activeradioimagerect", ActiveRadioImageRect);
    IO.Rect(u"arrowimagerect", ArrowImageRect);
    IO.Rect(u"activearrowimagerect", ActiveArrowImageRect);
}

void TbsDataSkinMenuItem::LoadFromFile(TCustomIniFile& IniFile) {
    TbsSkinRecord::LoadFromFile(IniFile);
    // An item without its own active images shows the normal ones.
    if (IsRectEmpty(ActiveCheckImageRect))
        ActiveCheckImageRect = CheckImageRect;
    if (IsRectEmpty(ActiveRadioImageRect))
        ActiveRadioImageRect = RadioImageRect;
    if (IsRectEmpty(ActiveArrowImageRect))
        ActiveArrowImageRect = ArrowImageRect;
}

void TbsDataSkinMainMenuItem::Keys(TbsSkinSectionIO& IO) {
    IO.Rect(u"downrect", DownRect);
    IO.Text(u"fontname", FontName, u"Arial");
    IO.Integer(u"fontheight", FontHeight, 14);
    IO.FontStyle(u"fontstyle", FontStyle);
    IO.Color(u"fontcolor", FontColor);
    IO.Color(u"activefontcolor", ActiveFontColor);
    IO.Color(u"downfontcolor", DownFontColor);
    IO.Color(u"unenabledfontColor", UnEnabledFontColor);
    IO.Rect(u"textrect", TextRct);
    IO.Integer(u"itemleftoffset", ItemLO);
    IO.Integer(u"itemrightoffset", ItemRO);
    IO.Flag(u"stretcheffect", StretchEffect);
    IO.Rect(u"animateskinrect", AnimateSkinRect);
    IO.Integer(u"framecount", FrameCount);
    IO.Integer(u"animateinterval", AnimateInterval, 25);
    IO.Flag(u"inactiveanimation", InActiveAnimation);
}

void TbsDataSkinCaption::Keys(TbsSkinSectionIO& IO) {
    IO.Text(u"fontname", FontName, u"Arial");
    IO.Integer(u"fontheight", FontHeight, 14);
    IO.FontStyle(u"fontstyle", FontStyle);
    IO.Color(u"fontcolor", FontColor);
    IO.Color(u"activefontcolor", ActiveFontColor);
    IO.Color(u"shadowcolor", ShadowColor);
    IO.Color(u"activeshadowcolor", ActiveShadowColor);
    IO.Flag(u"shadow", Shadow);
    IO.Alignment(u"alignment", Alignment);
    IO.Rect(u"textrect", TextRct);
    IO.Rect(u"framerect", FrameRect);
    IO.Rect(u"activeframerect", ActiveFrameRect);
    IO.Integer(u"frameleftoffset", FrameLeftOffset);
    IO.Integer(u"framerightoffset", FrameRightOffset);
    IO.Rect(u"frametextrect", FrameTextRect);
    IO.Flag(u"light", Light);
    IO.Color(u"lightcolor", LightColor);
    IO.Color(u"activelightcolor", ActiveLightColor);
    IO.Flag(u"stretcheffect", StretchEffect);
    IO.Rect(u"animateskinrect", AnimateSkinRect);
    IO.Integer(u"framecount", FrameCount);
    IO.Integer(u"animateinterval", AnimateInterval, 25);
    IO.Flag(u"inactiveanimation", InActiveAnimation);
    IO.Flag(u"fullframe", FullFrame);
    IO.Flag(u"gloweffect", GlowEffect);
    IO.Flag(u"vistagloweffect", VistaGlowEffect);
    IO.Flag(u"vistaglowinactiveeffect", VistaGlowInActiveEffect);
    IO.Flag(u"glowinactiveeffect", GlowInActiveEffect);
    IO.Integer(u"glowsize", GlowSize, 3);
    IO.Color(u"glowcolor", GlowColor);
    IO.Color(u"glowactivecolor", GlowActiveColor);
    IO.Integer(u"glowoffset", GlowOffset);
    IO.Flag(u"reflectioneffect", ReflectionEffect);
    IO.Color(u"reflactioncolor", ReflectionColor);
    IO.Color(u"reflactionactivecolor", ReflectionActiveColor);
    IO.Integer(u"reflectionoffset", ReflectionOffset);
}

void TbsDataSkinPopupWindow::Keys(TbsSkinSectionIO& IO) {
    IO.Integer(u"windowpictureindex", WindowPictureIndex, -1);
    IO.Integer(u"maskpictureindex", MaskPictureIndex, -1);
    IO.Corners(LTPoint, RTPoint, LBPoint, RBPoint);
    IO.Rect(u"itemsrect", ItemsRect);
    IO.Color(u"scrollmarkercolor", ScrollMarkerColor);
    IO.Color(u"scrollmarkeractivecolor", ScrollMarkerActiveColor);
    IO.Stretches(LeftStretch, RightStretch, TopStretch, BottomStretch, StretchEffect);
    IO.Stretch(u"stretchtype", StretchType);
}

void TbsDataSkinPopupWindow::LoadFromFile(TCustomIniFile& IniFile) {
    TbsSkinSectionIO IO(IniFile, u"POPUPWINDOW", false);
    Keys(IO);
}

void TbsDataSkinPopupWindow::SaveToFile(TCustomIniFile& IniFile) {
    TbsSkinSectionIO IO(IniFile, u"POPUPWINDOW", true);
    Keys(IO);
}

void TbsDataSkinLayerFrame::Keys(TbsSkinSectionIO& IO) {
    IO.Integer(u"pictureindex", PictureIndex, -1);
    IO.Integer(u"maskpictureindex", MaskPictureIndex, -1);
    IO.Integer(u"inactivepictureindex", InActivePictureIndex, -1);
    IO.Integer(u"inactivemaskpictureindex", InActiveMaskPictureIndex, -1);
    IO.Corners(LTPoint, RTPoint, LBPoint, RBPoint);
    IO.Rect(u"clientrect", ClRect);
    IO.Integer(u"alphablendvalue", AlphaBlendValue, 255);
    IO.Integer(u"inactivealphablendvalue", InActiveAlphaBlendValue, 255);
    IO.Rect(u"borderrect", BorderRect);
    IO.Flag(u"hittestenable", HitTestEnable);
}

void TbsDataSkinLayerFrame::LoadFromFile(TCustomIniFile& IniFile) {
    TbsSkinSectionIO IO(IniFile, u"LAYERFRAME", false);
    Keys(IO);
}

void TbsDataSkinLayerFrame::SaveToFile(TCustomIniFile& IniFile) {
    TbsSkinSectionIO IO(IniFile, u"LAYERFRAME", true);
    Keys(IO);
}

void TbsDataSkinHintWindow::Keys(TbsSkinSectionIO& IO) {
    IO.Integer(u"windowpictureindex", WindowPictureIndex, -1);
    IO.Integer(u"maskpictureindex", MaskPictureIndex, -1);
    IO.Corners(LTPoint, RTPoint, LBPoint, RBPoint);
    IO.Rect(u"clientrect", ClRect);
    IO.Text(u"fontname", FontName, u"Arial");
    IO.Integer(u"fontheight", FontHeight, 14);
    IO.FontStyle(u"fontstyle", FontStyle);
    IO.Color(u"fontcolor", FontColor);
    IO.Stretches(LeftStretch, RightStretch, TopStretch, BottomStretch, StretchEffect);
    IO.Stretch(u"stretchtype", StretchType);
}

void TbsDataSkinHintWindow::LoadFromFile(TCustomIniFile& IniFile) {
    TbsSkinSectionIO IO(IniFile, u"HINTWINDOW", false);
    Keys(IO);
}

void TbsDataSkinHintWindow::SaveToFile(TCustomIniFile& IniFile) {
    TbsSkinSectionIO IO(IniFile, u"HINTWINDOW", true);
    Keys(IO);
}

// System colours are 0xFF000000 plus the colour's index.
void TbsSkinColors::SetColorsToDefault() {
    FcBtnFace = TColor(0xFF00000F);
    FcBtnText = TColor(0xFF000012);
    FcWindow = TColor(0xFF000005);
    FcWindowText = TColor(0xFF000008);
    FcHighLight = TColor(0xFF00000D);
    FcHighLightText = TColor(0xFF00000E);
    FcBtnHighLight = TColor(0xFF000014);
    FcBtnShadow = TColor(0xFF000010);
}

void TbsSkinColors::Keys(TbsSkinSectionIO& IO) {
    IO.Color(u"cbtnface", FcBtnFace, TColor(0xFF00000F));
    IO.Color(u"cbtntext", FcBtnText, TColor(0xFF000012));
    IO.Color(u"cwindow", FcWindow, TColor(0xFF000005));
    IO.Color(u"cwindowtext", FcWindowText, TColor(0xFF000008));
    IO.Color(u"chighlight", FcHighLight, TColor(0xFF00000D));
    IO.Color(u"chighlighttext", FcHighLightText, TColor(0xFF00000E));
    IO.Color(u"cbtnhighlight", FcBtnHighLight, TColor(0xFF000014));
    IO.Color(u"cbtnshadow", FcBtnShadow, TColor(0xFF000010));
}

void TbsSkinColors::LoadFromFile(TCustomIniFile& IniFile) {
    TbsSkinSectionIO IO(IniFile, u"SKINCOLORS", false);
    Keys(IO);
}

void TbsSkinColors::SaveToFile(TCustomIniFile& IniFile) {
    TbsSkinSectionIO IO(IniFile, u"SKINCOLORS", true);
    Keys(IO);
}

namespace {

template <class T> TbsDataSkinObject* MakeObject(const String& AIDName) {
    return new T(AIDName);
}
template <class T> bool IsObject(const TbsDataSkinObject& R) {
    return dynamic_cast<const T*>(&R) != nullptr;
}

struct TObjectKind {
    const char16_t* Word;
    TbsDataSkinObject* (*Make)(const String&);
    bool (*Is)(const TbsDataSkinObject&);
};

// In the order the writer tests the classes: a derived class always comes before its parent.
const TObjectKind ObjectKinds[] = {
    {u"menuitem", MakeObject<TbsDataSkinMenuItem>, IsObject<TbsDataSkinMenuItem>},
    {u"mainmenubaritem", MakeObject<TbsDataSkinMainMenuBarItem>, IsObject<TbsDataSkinMainMenuBarItem>},
    {u"mainmenubarbutton", MakeObject<TbsDataSkinMainMenuBarButton>, IsObject<TbsDataSkinMainMenuBarButton>},
    {u"stdbutton", MakeObject<TbsDataSkinStdButton>, IsObject<TbsDataSkinStdButton>},
    {u"button", MakeObject<TbsDataSkinButton>, IsObject<TbsDataSkinButton>},
    {u"caption", MakeObject<TbsDataSkinCaption>, IsObject<TbsDataSkinCaption>},
    {u"userobject", MakeObject<TbsDataUserObject>, IsObject<TbsDataUserObject>},
    {u"animate", MakeObject<TbsDataSkinAnimate>, IsObject<TbsDataSkinAnimate>},
};

} // namespace

TbsDataSkinObject* CreateSkinObjectRecord(const String& Kind, const String& AIDName) {
    for (const TObjectKind& K : ObjectKinds)
        if (Kind == K.Word)
            return K.Make(AIDName);
    return nullptr;
}

String SkinObjectKindWord(const TbsDataSkinObject& Record) {
    for (const TObjectKind& K : ObjectKinds)
        if (K.Is(Record))
            return K.Word;
    return String();
}
