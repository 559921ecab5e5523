#include "skin/core/TbsDataSkinControl.h"

void TbsDataSkinControl::Keys(TbsSkinSectionIO& IO) {
    IO.Integer(u"pictureindex", PictureIndex, -1);
    IO.Integer(u"maskpictureindex", MaskPictureIndex, -1);
    IO.Rect(u"skinrect", SkinRect);
}

void TbsDataSkinControl::LoadFromFile(TCustomIniFile& IniFile) {
    TbsSkinSectionIO IO(IniFile, IDName, false);
    Keys(IO);
}

void TbsDataSkinControl::SaveToFile(TCustomIniFile& IniFile) {
    IniFile.EraseSection(IDName);
    TbsSkinSectionIO IO(IniFile, IDName, true);
    Keys(IO);
}

void TbsDataSkinCustomControl::Keys(TbsSkinSectionIO& IO) {
    IO.Corners(LTPoint, RTPoint, LBPoint, RBPoint);
    IO.Rect(u"clientrect", ClRect);
    IO.Flag(u"stretcheffect", StretchEffect);
    IO.Stretch(u"stretchtype", StretchType);
    IO.Flag(u"leftstretch", LeftStretch);
    IO.Flag(u"topstretch", TopStretch);
    IO.Flag(u"rightstretch", RightStretch);
    IO.Flag(u"bottomstretch", BottomStretch);
}

void TbsDataSkinButtonControl::Keys(TbsSkinSectionIO& IO) {
    IO.Font(FontName, FontStyle, FontHeight, FontColor);
    IO.Color(u"activefontcolor", ActiveFontColor);
    IO.Color(u"downfontcolor", DownFontColor);
    IO.Color(u"disabledfontcolor", DisabledFontColor);
    IO.Rect(u"activeskinrect", ActiveSkinRect);
    IO.Rect(u"downskinrect", DownSkinRect);
    IO.Rect(u"focusedskinrect", FocusedSkinRect);
    IO.Rect(u"disabledskinrect", DisabledSkinRect);
    IO.Flag(u"morphing", Morphing);
    IO.Morph(u"morphkind", MorphKind);
    IO.Rect(u"animateskinrect", AnimateSkinRect);
    IO.Integer(u"framecount", FrameCount);
    IO.Integer(u"animateinterval", AnimateInterval, 25);
    IO.Flag(u"showfocus", ShowFocus);
    IO.Rect(u"menumarkerflatrect", MenuMarkerFlatRect);
    IO.Rect(u"menumarkerrect", MenuMarkerRect);
    IO.Rect(u"menumarkeractiverect", MenuMarkerActiveRect);
    IO.Rect(u"menumarkerdownrect", MenuMarkerDownRect);
    IO.Color(u"menumarkertransparentcolor", MenuMarkerTransparentColor);
    IO.Integer(u"glowlayerpictureindex", GlowLayerPictureIndex, -1);
    IO.Integer(u"glowlayermaskpictureindex", GlowLayerMaskPictureIndex, -1);
    IO.Integer(u"glowlayeroffsetleft", GlowLayerOffsetLeft);
    IO.Integer(u"glowlayeroffsetright", GlowLayerOffsetRight);
    IO.Integer(u"glowlayeroffsettop", GlowLayerOffsetTop);
    IO.Integer(u"glowlayeroffsetbottom", GlowLayerOffsetBottom);
    IO.Integer(u"glowlayershowoffsetx", GlowLayerShowOffsetX);
    IO.Integer(u"glowlayershowoffsety", GlowLayerShowOffsetY);
    IO.Integer(u"glowlayeralphablendvalue", GlowLayerAlphaBlendValue, 255);
}

void TbsDataSkinMenuButtonControl::Keys(TbsSkinSectionIO& IO) {
    IO.Rect(u"trackbuttonrect", TrackButtonRect);
}

void TbsDataSkinListBox::Keys(TbsSkinSectionIO& IO) {
    IO.Rect(u"itemrect", SItemRect);
    IO.Rect(u"activeitemrect", ActiveItemRect);
    IO.Rect(u"focusitemrect", FocusItemRect);
    IO.Integer(u"itemleftoffset", ItemLeftOffset);
    IO.Integer(u"itemrightoffset", ItemRightOffset);
    IO.Rect(u"itemtextrect", ItemTextRect);
    IO.Font(FontName, FontStyle, FontHeight, FontColor);
    IO.Color(u"activefontcolor", ActiveFontColor);
    IO.Color(u"focusfontcolor", FocusFontColor);
    IO.Rect(u"captionrect", CaptionRect);
    IO.Text(u"captionfontname", CaptionFontName, u"Arial");
    IO.FontStyle(u"captionfontstyle", CaptionFontStyle);
    IO.Integer(u"captionfontheight", CaptionFontHeight, 14);
    IO.Color(u"captionfontcolor", CaptionFontColor);
    IO.ArrowButtons(UpButtonRect, ActiveUpButtonRect, DownUpButtonRect, DownButtonRect, ActiveDownButtonRect,
                    DownDownButtonRect);
    IO.Rect(u"checkbuttonrect", CheckButtonRect);
    IO.Rect(u"activecheckbuttonrect", ActiveCheckButtonRect);
    IO.Rect(u"downcheckbuttonrect", DownCheckButtonRect);
    IO.Text(u"hscrollbarname", HScrollBarName, u"hscrollbar");
    IO.Text(u"vscrollbarname", VScrollBarName, u"vscrollbar");
    IO.Text(u"bothhscrollbarname", BothScrollBarName, u"bothhscrollbar");
    IO.Flag(u"showfocus", ShowFocus);
    IO.Rect(u"disabledbuttonsrect", DisabledButtonsRect);
    IO.Rect(u"buttonsarea", ButtonsArea);
}

void TbsDataSkinCheckListBox::Keys(TbsSkinSectionIO& IO) {
    IO.Rect(u"uncheckimagerect", UnCheckImageRect);
    IO.Rect(u"checkimagerect", CheckImageRect);
    IO.Rect(u"itemcheckrect", ItemCheckRect);
}

void TbsDataSkinComboBox::Keys(TbsSkinSectionIO& IO) {
    IO.Rect(u"itemrect", SItemRect);
    IO.Rect(u"activeitemrect", ActiveItemRect);
    IO.Rect(u"focusitemrect", FocusItemRect);
    IO.Integer(u"itemleftoffset", ItemLeftOffset);
    IO.Integer(u"itemrightoffset", ItemRightOffset);
    IO.Rect(u"itemtextrect", ItemTextRect);
    IO.Font(FontName, FontStyle, FontHeight, FontColor);
    IO.Color(u"focusfontcolor", FocusFontColor);
    IO.Color(u"activefontcolor", ActiveFontColor);
    IO.Rect(u"buttonrect", ButtonRect);
    IO.Rect(u"activebuttonrect", ActiveButtonRect);
    IO.Rect(u"downbuttonrect", DownButtonRect);
    IO.Rect(u"unenabledbuttonrect", UnEnabledButtonRect);
    IO.Flag(u"itemstretcheffect", ItemStretchEffect);
    IO.Flag(u"focusitemstretcheffect", FocusItemStretchEffect);
    IO.Rect(u"activeskinrect", ActiveSkinRect);
    IO.Text(u"listboxname", ListBoxName);
    IO.Flag(u"showfocus", ShowFocus);
}

void TbsDataSkinMainMenuBar::Keys(TbsSkinSectionIO& IO) {
    IO.Rect(u"itemsrect", ItemsRect);
    IO.Text(u"menubaritem", MenuBarItem);
    IO.Text(u"closebutton", CloseButton);
    IO.Text(u"maxbutton", MaxButton);
    IO.Text(u"minbutton", MinButton);
    IO.Text(u"sysmenubutton", SysMenuButton);
    IO.Color(u"trackmarkcolor", TrackMarkColor);
    IO.Color(u"trackmarkactivecolor", TrackMarkActiveColor);
    IO.Flag(u"stretcheffect", StretchEffect);
    IO.Flag(u"itemtransparent", ItemTransparent);
}

void TbsDataSkinUpDownControl::Keys(TbsSkinSectionIO& IO) {
    IO.ArrowButtons(UpButtonRect, ActiveUpButtonRect, DownUpButtonRect, DownButtonRect, ActiveDownButtonRect,
                    DownDownButtonRect);
}

// An up-down record never carries nine-part geometry, whatever its section says.
void TbsDataSkinUpDownControl::ClearGeometry() {
    LTPoint = RTPoint = LBPoint = RBPoint = TPoint();
    ClRect = TRect();
}

void TbsDataSkinUpDownControl::LoadFromFile(TCustomIniFile& IniFile) {
    TbsSkinRecord::LoadFromFile(IniFile);
    ClearGeometry();
}

void TbsDataSkinUpDownControl::SaveToFile(TCustomIniFile& IniFile) {
    ClearGeometry();
    TbsSkinRecord::SaveToFile(IniFile);
}

void TbsDataSkinControlBar::Keys(TbsSkinSectionIO& IO) {
    IO.Rect(u"itemrect", ItemRect);
    IO.Integer(u"bgpictureindex", BGPictureIndex, -1);
    IO.Rect(u"hgriprect", HGripRect);
    IO.Rect(u"vgriprect", VGripRect);
    IO.Integer(u"gripoffset1", GripOffset1);
    IO.Integer(u"gripoffset2", GripOffset2);
    IO.Flag(u"itemstretcheffect", ItemStretchEffect);
    IO.Integer(u"itemoffset1", ItemOffset1, 3);
    IO.Integer(u"itemoffset2", ItemOffset2, 3);
    IO.Flag(u"itemtransparent", ItemTransparent);
    IO.Color(u"itemtransparentcolor", ItemTransparentColor);
    IO.Flag(u"griptransparent", GripTransparent);
    IO.Color(u"griptransparentcolor", GripTransparentColor);
}

void TbsDataSkinSlider::Keys(TbsSkinSectionIO& IO) {
    IO.Rect(u"hrulerrect", HRulerRect);
    IO.Rect(u"hthumbrect", HThumbRect);
    IO.Rect(u"vrulerrect", VRulerRect);
    IO.Rect(u"vthumbrect", VThumbRect);
    IO.Integer(u"edgesize", EdgeSize);
    IO.Color(u"bgcolor", BGColor);
    IO.Color(u"pointscolor", PointsColor);
}

void TbsDataSkinBevel::Keys(TbsSkinSectionIO& IO) {
    IO.Color(u"lightcolor", LightColor);
    IO.Color(u"darkcolor", DarkColor);
}

void TbsDataSkinTabControl::Keys(TbsSkinSectionIO& IO) {
    IO.Rect(u"tabrect", TabRect);
    IO.Rect(u"activetabrect", ActiveTabRect);
    IO.Rect(u"focustabrect", FocusTabRect);
    IO.Rect(u"mouseintabrect", MouseInTabRect);
    IO.Rect(u"clientrect", ClRect);
    IO.Rect(u"tabsbgrect", TabsBGRect);
    IO.Corners(LTPoint, RTPoint, LBPoint, RBPoint);
    IO.Integer(u"tableftoffset", TabLeftOffset);
    IO.Integer(u"tabrightoffset", TabRightOffset);
    IO.Font(FontName, FontStyle, FontHeight, FontColor);
    IO.Color(u"activefontcolor", ActiveFontColor);
    IO.Color(u"focusfontcolor", FocusFontColor);
    IO.Color(u"mouseinfontcolor", MouseInFontColor);
    IO.Text(u"updown", UpDown);
    IO.Integer(u"bgpictureindex", BGPictureIndex, -1);
    IO.Flag(u"tabstretcheffect", TabStretchEffect);
    IO.Flag(u"showfocus", ShowFocus);
    IO.Integer(u"focusoffsetx", FocusOffsetX);
    IO.Integer(u"focusoffsety", FocusOffsetY);
    IO.Flag(u"leftstretch", LeftStretch);
    IO.Flag(u"topstretch", TopStretch);
    IO.Flag(u"rightstretch", RightStretch);
    IO.Flag(u"bottomstretch", BottomStretch);
    IO.Flag(u"stretcheffect", StretchEffect);
    IO.Stretch(u"stretchtype", StretchType);
    IO.Rect(u"closebuttonrect", CloseButtonRect);
    IO.Rect(u"closebuttonactiverect", CloseButtonActiveRect);
    IO.Rect(u"closebuttondownrect", CloseButtonDownRect);
    IO.Flag(u"buttontransparent", ButtonTransparent);
    IO.Color(u"buttontransparentcolor", ButtonTransparentColor);
}

void TbsDataSkinGridControl::Keys(TbsSkinSectionIO& IO) {
    IO.Rect(u"fixedcellrect", FixedCellRect);
    IO.Rect(u"selectcellrect", SelectCellRect);
    IO.Rect(u"focuscellrect", FocusCellRect);
    IO.Integer(u"fixedcellleftoffset", FixedCellLeftOffset);
    IO.Integer(u"fixedcellrightoffset", FixedCellRightOffset);
    IO.Rect(u"fixedcelltextrect", FixedCellTextRect);
    IO.Integer(u"cellleftoffset", CellLeftOffset);
    IO.Integer(u"cellrightoffset", CellRightOffset);
    IO.Rect(u"celltextrect", CellTextRect);
    IO.Color(u"linescolor", LinesColor);
    IO.Color(u"bgcolor", BGColor);
    IO.Font(FontName, FontStyle, FontHeight, FontColor);
    IO.Color(u"selectfontcolor", SelectFontColor);
    IO.Color(u"focusfontcolor", FocusFontColor);
    IO.Text(u"fixedfontname", FixedFontName, u"Arial");
    IO.FontStyle(u"fixedfontstyle", FixedFontStyle);
    IO.Integer(u"fixedfontheight", FixedFontHeight, 14);
    IO.Color(u"fixedfontcolor", FixedFontColor);
    IO.Flag(u"fixedcellstretcheffect", FixedCellStretchEffect);
    IO.Flag(u"cellstretcheffect", CellStretchEffect);
    IO.Flag(u"showfocus", ShowFocus);
    IO.Integer(u"bgpictureindex", BGPictureIndex, -1);
}

void TbsDataSkinSpinEditControl::Keys(TbsSkinSectionIO& IO) {
    IO.Rect(u"activeskinrect", ActiveSkinRect);
    IO.Font(FontName, FontStyle, FontHeight, FontColor);
    IO.Color(u"activefontcolor", ActiveFontColor);
    IO.Color(u"disabledfontcolor", DisabledFontColor);
    IO.ArrowButtons(UpButtonRect, ActiveUpButtonRect, DownUpButtonRect, DownButtonRect, ActiveDownButtonRect,
                    DownDownButtonRect);
}

void TbsDataSkinEditControl::Keys(TbsSkinSectionIO& IO) {
    IO.Rect(u"activeskinrect", ActiveSkinRect);
    IO.Font(FontName, FontStyle, FontHeight, FontColor);
    IO.Color(u"disabledfontcolor", DisabledFontColor);
    IO.Color(u"activefontcolor", ActiveFontColor);
    IO.Rect(u"buttonrect", ButtonRect);
    IO.Rect(u"activebuttonrect", ActiveButtonRect);
    IO.Rect(u"downbuttonrect", DownButtonRect);
    IO.Rect(u"unenabledbuttonrect", UnEnabledButtonRect);
}

void TbsDataSkinMemoControl::Keys(TbsSkinSectionIO& IO) {
    IO.Color(u"bgcolor", BGColor);
    IO.Color(u"activebgcolor", ActiveBGColor);
}

void TbsDataSkinStdLabelControl::Keys(TbsSkinSectionIO& IO) {
    IO.Font(FontName, FontStyle, FontHeight, FontColor);
    IO.Color(u"activefontcolor", ActiveFontColor, 16711680);
}

void TbsDataSkinLabelControl::Keys(TbsSkinSectionIO& IO) {
    IO.Font(FontName, FontStyle, FontHeight, FontColor);
}

void TbsDataSkinScrollBarControl::Keys(TbsSkinSectionIO& IO) {
    IO.Rect(u"trackarea", TrackArea);
    IO.ArrowButtons(UpButtonRect, ActiveUpButtonRect, DownUpButtonRect, DownButtonRect, ActiveDownButtonRect,
                    DownDownButtonRect);
    IO.Rect(u"thumbrect", ThumbRect);
    IO.Rect(u"activethumbrect", ActiveThumbRect);
    IO.Rect(u"downthumbrect", DownThumbRect);
    IO.Integer(u"thumboffset1", ThumbOffset1);
    IO.Integer(u"thumboffset2", ThumbOffset2);
    IO.Rect(u"glyphrect", GlyphRect);
    IO.Rect(u"activeglyphrect", ActiveGlyphRect);
    IO.Rect(u"downglyphrect", DownGlyphRect);
    IO.Flag(u"glyphtransparent", GlyphTransparent);
    IO.Color(u"glyphtransparentcolor", GlyphTransparentColor);
    IO.Flag(u"thumbtransparent", ThumbTransparent);
    IO.Color(u"thumbtransparentcolor", ThumbTransparentColor);
    IO.Flag(u"thumbstretcheffect", ThumbStretchEffect);
    IO.Integer(u"thumbminsize", ThumbMinSize);
    IO.Integer(u"thumbminpagesize", ThumbMinPageSize);
}

void TbsDataSkinTrackBarControl::Keys(TbsSkinSectionIO& IO) {
    IO.Rect(u"activeskinrect", ActiveSkinRect);
    IO.Rect(u"trackarea", TrackArea);
    IO.Rect(u"buttonrect", ButtonRect);
    IO.Rect(u"activebuttonrect", ActiveButtonRect);
    IO.Flag(u"vertical", Vertical);
    IO.Flag(u"buttontransparent", ButtonTransparent);
    IO.Color(u"buttontransparentcolor", ButtonTransparentColor);
}

void TbsDataSkinSplitterControl::Keys(TbsSkinSectionIO& IO) {
    IO.Rect(u"gripperrect", GripperRect);
    IO.Flag(u"grippertransparent", GripperTransparent);
    IO.Color(u"grippertransparentcolor", GripperTransparentColor);
}

void TbsDataSkinGaugeControl::Keys(TbsSkinSectionIO& IO) {
    IO.Rect(u"progressarea", ProgressArea);
    IO.Rect(u"progressrect", ProgressRect);
    IO.Flag(u"vertical", Vertical);
    IO.Integer(u"beginoffset", BeginOffset);
    IO.Integer(u"endoffset", EndOffset);
    IO.Font(FontName, FontStyle, FontHeight, FontColor);
    IO.Flag(u"progresstransparent", ProgressTransparent);
    IO.Color(u"progresstransparentcolor", ProgressTransparentColor);
    IO.Flag(u"progressstretch", ProgressStretch);
    IO.Rect(u"animationskinrect", AnimationSkinRect);
    IO.Integer(u"animationcountframes", AnimationCountFrames);
    IO.Integer(u"animationtimerinterval", AnimationTimerInterval);
    IO.Rect(u"progressanimationskinrect", ProgressAnimationSkinRect);
    IO.Integer(u"progressanimationcountframes", ProgressAnimationCountFrames);
    IO.Integer(u"progressanimationtimerinterval", ProgressAnimationTimerInterval);
    IO.Integer(u"animationbeginoffset", AnimationBeginOffset);
    IO.Integer(u"animationendoffset", AnimationEndOffset);
}

void TbsDataSkinScrollBoxControl::Keys(TbsSkinSectionIO& IO) {
    IO.Integer(u"bgpictureindex", BGPictureIndex, -1);
}

void TbsDataSkinExPanelControl::Keys(TbsSkinSectionIO& IO) {
    IO.Rect(u"rollhskinrect", RollHSkinRect);
    IO.Rect(u"rollvskinrect", RollVSkinRect);
    IO.Integer(u"rollleftoffset", RollLeftOffset);
    IO.Integer(u"rollrightoffset", RollRightOffset);
    IO.Integer(u"rolltopoffset", RollTopOffset);
    IO.Integer(u"rollbottomoffset", RollBottomOffset);
    IO.Rect(u"rollvcaptionrect", RollVCaptionRect);
    IO.Rect(u"rollhcaptionrect", RollHCaptionRect);
    IO.Rect(u"closebuttonrect", CloseButtonRect);
    IO.Rect(u"closebuttonactiverect", CloseButtonActiveRect);
    IO.Rect(u"closebuttondownrect", CloseButtonDownRect);
    IO.Rect(u"hrollbuttonrect", HRollButtonRect);
    IO.Rect(u"hrollbuttonactiverect", HRollButtonActiveRect);
    IO.Rect(u"hrollbuttondownrect", HRollButtonDownRect);
    IO.Rect(u"hrestorebuttonrect", HRestoreButtonRect);
    IO.Rect(u"hrestorebuttonactiverect", HRestoreButtonActiveRect);
    IO.Rect(u"hrestorebuttondownrect", HRestoreButtonDownRect);
    IO.Rect(u"vrollbuttonrect", VRollButtonRect);
    IO.Rect(u"vrollbuttonactiverect", VRollButtonActiveRect);
    IO.Rect(u"vrollbuttondownrect", VRollButtonDownRect);
    IO.Rect(u"vrestorebuttonrect", VRestoreButtonRect);
    IO.Rect(u"vrestorebuttonactiverect", VRestoreButtonActiveRect);
    IO.Rect(u"vrestorebuttondownrect", VRestoreButtonDownRect);
    IO.Rect(u"captionrect", CaptionRect);
    IO.Font(FontName, FontStyle, FontHeight, FontColor);
    IO.Flag(u"buttonstransparent", ButtonsTransparent);
    IO.Color(u"buttonstransparentcolor", ButtonsTransparentColor);
}

void TbsDataSkinPanelControl::Keys(TbsSkinSectionIO& IO) {
    IO.Rect(u"captionrect", CaptionRect);
    IO.Alignment(u"alignment", Alignment);
    IO.Font(FontName, FontStyle, FontHeight, FontColor);
    IO.Integer(u"bgpictureindex", BGPictureIndex, -1);
    IO.Rect(u"checkimagerect", CheckImageRect);
    IO.Rect(u"uncheckimagerect", UnCheckImageRect);
    IO.Rect(u"markframerect", MarkFrameRect);
    IO.Rect(u"framerect", FrameRect);
    IO.Integer(u"frameleftoffset", FrameLeftOffset);
    IO.Integer(u"framerightoffset", FrameRightOffset);
    IO.Rect(u"frametextrect", FrameTextRect);
    IO.Rect(u"gripperrect", GripperRect);
    IO.Flag(u"grippertransparent", GripperTransparent);
    IO.Color(u"grippertransparentcolor", GripperTransparentColor);
}

void TbsDataSkinCheckRadioControl::Keys(TbsSkinSectionIO& IO) {
    IO.Font(FontName, FontStyle, FontHeight, FontColor);
    IO.Color(u"activefontcolor", ActiveFontColor);
    IO.Color(u"unenabledfontcolor", UnEnabledFontColor);
    IO.Rect(u"activeskinrect", ActiveSkinRect);
    IO.Rect(u"checkimagearea", CheckImageArea);
    IO.Rect(u"textarea", TextArea);
    IO.Rect(u"checkimagerect", CheckImageRect);
    IO.Rect(u"uncheckimagerect", UnCheckImageRect);
    IO.Rect(u"activecheckimagerect", ActiveCheckImageRect);
    IO.Rect(u"activeuncheckimagerect", ActiveUnCheckImageRect);
    IO.Rect(u"unenabledcheckimagerect", UnEnabledCheckImageRect);
    IO.Rect(u"unenableduncheckimagerect", UnEnabledUnCheckImageRect);
    IO.Rect(u"grayedcheckimagerect", GrayedCheckImageRect);
    IO.Rect(u"activegrayedcheckimagerect", ActiveGrayedCheckImageRect);
    IO.Flag(u"morphing", Morphing);
    IO.Morph(u"morphkind", MorphKind);
    IO.Color(u"framefontcolor", FrameFontColor);
}

namespace {

template <class T> TbsDataSkinControl* MakeControl(const String& AIDName) {
    return new T(AIDName);
}
template <class T> bool IsControl(const TbsDataSkinControl& R) {
    return dynamic_cast<const T*>(&R) != nullptr;
}

struct TControlKind {
    const char16_t* Word;
    TbsDataSkinControl* (*Make)(const String&);
    bool (*Is)(const TbsDataSkinControl&);
};

#define QV_CONTROL_KIND(Word, Class)                                                                                   \
    { Word, MakeControl<Class>, IsControl<Class> }

// In the order the writer tests the classes: a derived class always comes before its parent.
const TControlKind ControlKinds[] = {
    QV_CONTROL_KIND(u"panel", TbsDataSkinPanelControl),
    QV_CONTROL_KIND(u"expanel", TbsDataSkinExPanelControl),
    QV_CONTROL_KIND(u"menubutton", TbsDataSkinMenuButtonControl),
    QV_CONTROL_KIND(u"button", TbsDataSkinButtonControl),
    QV_CONTROL_KIND(u"checkradio", TbsDataSkinCheckRadioControl),
    QV_CONTROL_KIND(u"gauge", TbsDataSkinGaugeControl),
    QV_CONTROL_KIND(u"splitter", TbsDataSkinSplitterControl),
    QV_CONTROL_KIND(u"trackbar", TbsDataSkinTrackBarControl),
    QV_CONTROL_KIND(u"label", TbsDataSkinLabelControl),
    QV_CONTROL_KIND(u"stdlabel", TbsDataSkinStdLabelControl),
    QV_CONTROL_KIND(u"updown", TbsDataSkinUpDownControl),
    QV_CONTROL_KIND(u"grid", TbsDataSkinGridControl),
    QV_CONTROL_KIND(u"tab", TbsDataSkinTabControl),
    QV_CONTROL_KIND(u"mainmenubar", TbsDataSkinMainMenuBar),
    QV_CONTROL_KIND(u"controlbar", TbsDataSkinControlBar),
    QV_CONTROL_KIND(u"memo", TbsDataSkinMemoControl),
    QV_CONTROL_KIND(u"edit", TbsDataSkinEditControl),
    QV_CONTROL_KIND(u"checklistbox", TbsDataSkinCheckListBox),
    QV_CONTROL_KIND(u"listbox", TbsDataSkinListBox),
    QV_CONTROL_KIND(u"combobox", TbsDataSkinComboBox),
    QV_CONTROL_KIND(u"scrollbar", TbsDataSkinScrollBarControl),
    QV_CONTROL_KIND(u"spinedit", TbsDataSkinSpinEditControl),
    QV_CONTROL_KIND(u"scrollbox", TbsDataSkinScrollBoxControl),
    QV_CONTROL_KIND(u"treeview", TbsDataSkinTreeView),
    QV_CONTROL_KIND(u"bevel", TbsDataSkinBevel),
    QV_CONTROL_KIND(u"slider", TbsDataSkinSlider),
    QV_CONTROL_KIND(u"listview", TbsDataSkinListView),
    QV_CONTROL_KIND(u"richedit", TbsDataSkinRichEdit),
};

#undef QV_CONTROL_KIND

} // namespace

TbsDataSkinControl* CreateSkinControlRecord(const String& Kind, const String& AIDName) {
    for (const TControlKind& K : ControlKinds)
        if (Kind == K.Word)
            return K.Make(AIDName);
    return nullptr;
}

String SkinControlKindWord(const TbsDataSkinControl& Record) {
    for (const TControlKind& K : ControlKinds)
        if (K.Is(Record))
            return K.Word;
    return String();
}
