#include "skin/core/TbsSkinData.h"

#include <algorithm>

#include "platform/base/SysUtils.h"
#include "skin/core/TbsScreenFormsService.h"

namespace {
TbsSkinFormsService* FormsService = nullptr;
}

void SetSkinFormsService(TbsSkinFormsService* Service) {
    FormsService = Service;
}

// Without a registered service the messages go to the screen's forms.
TbsSkinFormsService* SkinFormsService() {
    return FormsService ? FormsService : &ScreenFormsService();
}

TbsSkinData::TbsSkinData(TComponent* AOwner) : TComponent(AOwner) {}

TbsSkinData::~TbsSkinData() {
    Empty = true;
    ClearObjects();
}

void TbsSkinData::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FCompressedStoredSkin)
        FCompressedStoredSkin = nullptr;
    if (AComponent == FResourceStrData)
        FResourceStrData = nullptr;
    if (AComponent == FCompressedSkinList)
        FCompressedSkinList = nullptr;
}

void TbsSkinData::SendSkinDataMessage(unsigned M) {
    TbsSkinFormsService* Service = SkinFormsService();
    const auto WParam = reinterpret_cast<std::uintptr_t>(this);
    constexpr std::intptr_t LParam = 1000;
    TComponent* OwnerForm = nullptr;
    if (Owner() && Service->IsForm(Owner()) && !FShowLayeredBorders) {
        OwnerForm = Owner();
        Service->Send(OwnerForm, M, WParam, LParam);
    }
    std::vector<TComponent*> Targets;
    for (TComponent* Form : Service->Forms())
        if (Form != OwnerForm && !Service->IsLayeredBorderStrip(Form))
            Targets.push_back(Form);
    if (FShowLayeredBorders && LayerFrame->PictureIndex != -1)
        std::reverse(Targets.begin(), Targets.end());
    for (TComponent* Form : Targets)
        Service->Send(Form, M, WParam, LParam);
}

void TbsSkinData::SetSkinnableForm(bool Value) {
    if (FSkinnableForm == Value)
        return;
    FSkinnableForm = Value;
    if (!Designing() && !Loading())
        SendSkinDataMessage(WM_CHANGEFORMSKINNABLE);
}

void TbsSkinData::SetShowLayeredBorders(bool Value) {
    if (FShowLayeredBorders == Value)
        return;
    FShowLayeredBorders = Value;
    if (!Designing() && !Loading())
        SendSkinDataMessage(WM_CHANGELAYEREDBORDER);
}

void TbsSkinData::SetResourceStrData(TbsResourceStrData* Value) {
    FResourceStrData = Value;
    if (Value)
        Value->FreeNotification(this);
    // Also for the same value and while loading: the forms re-read their captions.
    if (!Designing())
        SendSkinDataMessage(WM_CHANGERESSTRDATA);
}

void TbsSkinData::SetCompressedStoredSkin(TbsCompressedStoredSkin* Value) {
    FCompressedStoredSkin = Value;
    if (Value)
        Value->FreeNotification(this);
    if (!Designing() && Value)
        LoadCompressedStoredSkin(Value);
}

void TbsSkinData::SetSkinList(TbsCompressedSkinList* Value) {
    FCompressedSkinList = Value;
    if (Value)
        Value->FreeNotification(this);
    if (!Designing() && Value && FCompressedSkinIndex >= 0 && FCompressedSkinIndex < Value->Skins()->Count())
        LoadCompressedStoredSkin(Value->Skins()->GetSkinItem(FCompressedSkinIndex)->Skin());
}

void TbsSkinData::SetSkinIndex(int Value) {
    if (Value == FCompressedSkinIndex)
        return;
    if (!FCompressedSkinList) {
        FCompressedSkinIndex = Value;
        return;
    }
    if (Value < 0 || Value >= FCompressedSkinList->Skins()->Count())
        return;
    FCompressedSkinIndex = Value;
    if (!Designing())
        LoadCompressedStoredSkin(FCompressedSkinList->Skins()->GetSkinItem(Value)->Skin());
}

int TbsSkinData::GetIndex(const String& AIDName) const {
    for (std::size_t I = 0; I < ObjectList.size(); ++I)
        if (ObjectList[I]->IDName == AIDName)
            return static_cast<int>(I);
    return -1;
}

int TbsSkinData::GetControlIndex(const String& AIDName) const {
    for (std::size_t I = 0; I < CtrlList.size(); ++I)
        if (CtrlList[I]->IDName == AIDName)
            return static_cast<int>(I);
    return -1;
}

void TbsSkinData::SplitObjectEntry(const String& Entry, String& Name, String& Kind) {
    const auto Colon = Entry.find(u':');
    if (Colon == String::npos) {
        Name.clear();
        Kind.clear();
        return;
    }
    Name = Entry.substr(0, Colon);
    Kind = Entry.substr(Colon + 1);
}

void TbsSkinData::ClearObjects() {
    ObjectList.clear();
    CtrlList.clear();
    FActivePictures.clear();
    FActivePicturesNames->Clear();
    LayerFrame->PictureIndex = -1;
    PopupWindow->WindowPictureIndex = -1;
    HintWindow->WindowPictureIndex = -1;
    FSkinColors->SetColorsToDefault();
}

void TbsSkinData::ClearAll() {
    ClearObjects();
    FPicture = std::make_unique<TBitmap>();
    FInActivePicture = std::make_unique<TBitmap>();
    FMask = std::make_unique<TBitmap>();
    FPictureName.clear();
    FInActivePictureName.clear();
    FMaskName.clear();
    Empty = true;
}

void TbsSkinData::ClearSkin() {
    ClearAll();
    SendSkinDataMessage(WM_BEFORECHANGESKINDATA);
    SendSkinDataMessage(WM_CHANGESKINDATA);
    SendSkinDataMessage(WM_AFTERCHANGESKINDATA);
}

void TbsSkinData::AddBitMap(const String& FileName) {
    // Read first: a picture that cannot be read leaves both lists as they were.
    auto Bitmap = std::make_unique<TBitmap>();
    Bitmap->LoadFromFile(FileName);
    FActivePicturesNames->Add(ExtractFileName(FileName));
    FActivePictures.push_back(std::move(Bitmap));
}

void TbsSkinData::DeleteBitMap(int Index) {
    // Checked before either list changes, so names and pictures keep one count.
    if (Index < 0 || Index >= static_cast<int>(FActivePictures.size()))
        throw EListError(Format(u"List index out of bounds (%d)", {Index}));
    FActivePicturesNames->Delete(Index);
    FActivePictures.erase(FActivePictures.begin() + Index);
}

void TbsSkinData::FormInfoKeys(TbsSkinSectionIO& IO) {
    IO.Corners(LTPoint, RTPoint, LBPoint, RBPoint);
    IO.Rect(u"clientrect", ClRect);
    IO.Integer(u"bgpictureindex", BGPictureIndex, -1);
    IO.Integer(u"mdibgpictureindex", MDIBGPictureIndex, -1);
    IO.Stretches(LeftStretch, RightStretch, TopStretch, BottomStretch, StretchEffect);
    IO.Stretch(u"stretchtype", StretchType);
    IO.Flag(u"mdibgstretcheffect", MDIBGStretchEffect);
    IO.Stretch(u"mdibgstretchtype", MDIBGStretchType);
    IO.Rect(u"maskrectarea", MaskRectArea);
    IO.Point(u"hittestlefttoppoint", HitTestLTPoint);
    IO.Point(u"hittestrighttoppoint", HitTestRTPoint);
    IO.Point(u"hittestleftbottompoint", HitTestLBPoint);
    IO.Point(u"hittestrightbottompoint", HitTestRBPoint);
    IO.Rect(u"buttonsrect", ButtonsRect);
    IO.Rect(u"captionrect", CaptionRect);
    IO.Integer(u"buttonsoffset", ButtonsOffset);
    IO.Flag(u"buttonsinleft", CapButtonsInLeft);
    IO.Flag(u"mainmenupopupup", MainMenuPopupUp);
    IO.Integer(u"borderwidth", BorderW);
    IO.Flag(u"autorenderinginactiveimage", AutoRenderingInActiveImage);
    IO.Effect(u"inactiveeffect", InActiveEffect);
    IO.Integer(u"formminwidth", FormMinWidth);
    IO.Flag(u"mditabstransparent", MDITabsTransparent);
    IO.Flag(u"mainmenubartransparent", MainMenuBarTransparent);
}

void TbsSkinData::ReadDescription(TCustomIniFile& IniFile, bool ReadPictureList) {
    ReadVersion(IniFile, ReadPictureList);
    ReadSections(IniFile);
}

void TbsSkinData::ReadVersion(TCustomIniFile& IniFile, bool ReadPictureList) {
    SkinName = IniFile.ReadString(u"VERSION", u"skinname", u"");
    SkinAuthor = IniFile.ReadString(u"VERSION", u"skinauthor", u"");
    AuthorEmail = IniFile.ReadString(u"VERSION", u"authoremail", u"");
    AuthorURL = IniFile.ReadString(u"VERSION", u"authorurl", u"");
    SkinComments = IniFile.ReadString(u"VERSION", u"skincomments", u"");
    FPictureName = IniFile.ReadString(u"PICTURES", u"picture", u"");
    FInActivePictureName = IniFile.ReadString(u"PICTURES", u"inactivepicture", u"");
    FMaskName = IniFile.ReadString(u"PICTURES", u"mask", u"");
    if (ReadPictureList)
        ReadStringsValue(IniFile, u"PICTURES", u"activepictures", *FActivePicturesNames);
}

void TbsSkinData::ReadSections(TCustomIniFile& IniFile) {
    TbsSkinSectionIO FormInfo(IniFile, u"FORMINFO", false);
    FormInfoKeys(FormInfo);
    PopupWindow->LoadFromFile(IniFile);
    LayerFrame->LoadFromFile(IniFile);
    HintWindow->LoadFromFile(IniFile);
    FSkinColors->LoadFromFile(IniFile);
    String Name, Kind;
    const int Objects = IniFile.ReadInteger(u"SKINOBJECTS", u"count", 0);
    for (int I = 0; I < Objects; ++I) {
        SplitObjectEntry(IniFile.ReadString(u"SKINOBJECTS", IntToStr(I), u""), Name, Kind);
        if (TbsDataSkinObject* R = CreateSkinObjectRecord(Kind, Name)) {
            ObjectList.emplace_back(R);
            R->LoadFromFile(IniFile);
        }
    }
    const int Controls = IniFile.ReadInteger(u"SKINCONTROLS", u"count", 0);
    for (int I = 0; I < Controls; ++I) {
        SplitObjectEntry(IniFile.ReadString(u"SKINCONTROLS", IntToStr(I), u""), Name, Kind);
        if (TbsDataSkinControl* R = CreateSkinControlRecord(Kind, Name)) {
            CtrlList.emplace_back(R);
            R->LoadFromFile(IniFile);
        }
    }
}

void TbsSkinData::LoadFromFile(const String& FileName) {
    TMemIniFile IniFile(FileName);
    if (!IsSkinIniValid(IniFile))
        return;
    Empty = true;
    ChangeSkinDataProcess = true;
    SendSkinDataMessage(WM_BEFORECHANGESKINDATA);
    ClearAll();
    const String Folder = ExtractFilePath(FileName);
    try {
        // Pictures before the sections, so a missing picture is the first error a broken skin raises.
        ReadVersion(IniFile, false);
        auto LoadPicture = [&](const String& Name, std::unique_ptr<TBitmap>& Target) {
            Target = std::make_unique<TBitmap>();
            if (!Name.empty())
                Target->LoadFromFile(Folder + Name);
        };
        LoadPicture(FPictureName, FPicture);
        LoadPicture(FInActivePictureName, FInActivePicture);
        LoadPicture(FMaskName, FMask);
        ReadStringsValue(IniFile, u"PICTURES", u"activepictures", *FActivePicturesNames);
        for (int I = 0; I < FActivePicturesNames->Count(); ++I) {
            FActivePictures.push_back(std::make_unique<TBitmap>());
            FActivePictures.back()->LoadFromFile(Folder + FActivePicturesNames->Strings(I));
        }
        ReadSections(IniFile);
    } catch (...) {
        // The forms stopped painting at 1225: they hear 1226 and 1227 over the cleared skin before the error goes
        // on to the caller.
        ClearAll();
        SendSkinDataMessage(WM_CHANGESKINDATA);
        ChangeSkinDataProcess = false;
        SendSkinDataMessage(WM_AFTERCHANGESKINDATA);
        throw;
    }
    Empty = false;
    SendSkinDataMessage(WM_CHANGESKINDATA);
    ChangeSkinDataProcess = false;
    SendSkinDataMessage(WM_AFTERCHANGESKINDATA);
}

void TbsSkinData::TakeOver(TbsSkinData& Other) {
    std::swap(static_cast<TbsSkinContent&>(*this), static_cast<TbsSkinContent&>(Other));
}

void TbsSkinData::LoadCompressedStoredSkin(TbsCompressedStoredSkin* AStoredSkin) {
    if (!AStoredSkin || AStoredSkin->Empty())
        return;
    // The whole skin is read and checked into a private copy first: a corrupt one raises here, before any form
    // hears of a change, and the current skin stays as it is. A payload version above 3 is not loaded at all.
    TbsSkinData Next(nullptr);
    {
        TbsSkinPayload Payload;
        if (!ReadSkinPayload(*AStoredSkin, Payload))
            return;
        TMemIniFile IniFile(&Payload.Description);
        Next.ReadDescription(IniFile, true);
        // Names and pictures keep one count: a description that lists more names than the payload holds pictures
        // loses the extra names, one that lists fewer gets empty names (such pictures are never stored to disk).
        const int Pictures = static_cast<int>(Payload.ActivePictures.size());
        while (Next.FActivePicturesNames->Count() > Pictures)
            Next.FActivePicturesNames->Delete(Next.FActivePicturesNames->Count() - 1);
        while (Next.FActivePicturesNames->Count() < Pictures)
            Next.FActivePicturesNames->Add(u"");
        if (Payload.Picture)
            Next.FPicture = std::move(Payload.Picture);
        if (Payload.InActivePicture)
            Next.FInActivePicture = std::move(Payload.InActivePicture);
        if (Payload.Mask)
            Next.FMask = std::move(Payload.Mask);
        Next.FActivePictures = std::move(Payload.ActivePictures);
    }
    Empty = true;
    ChangeSkinDataProcess = true;
    SendSkinDataMessage(WM_BEFORECHANGESKINDATA);
    ClearAll();
    TakeOver(Next);
    Empty = false;
    SendSkinDataMessage(WM_CHANGESKINDATA);
    ChangeSkinDataProcess = false;
    SendSkinDataMessage(WM_AFTERCHANGESKINDATA);
}

void TbsSkinData::LoadFromCompressedFile(const String& FileName) {
    TbsCompressedStoredSkin Stored(nullptr);
    Stored.LoadFromCompressFile(FileName);
    if (!Stored.Empty())
        LoadCompressedStoredSkin(&Stored);
}

void TbsSkinData::WriteSkinIni(TCustomIniFile& IniFile) {
    IniFile.EraseSection(u"VERSION");
    IniFile.WriteInteger(u"VERSION", u"ver", 1);
    IniFile.WriteString(u"VERSION", u"skinname", SkinName);
    IniFile.WriteString(u"VERSION", u"skinauthor", SkinAuthor);
    IniFile.WriteString(u"VERSION", u"authoremail", AuthorEmail);
    IniFile.WriteString(u"VERSION", u"authorurl", AuthorURL);
    IniFile.WriteString(u"VERSION", u"skincomments", SkinComments);
    IniFile.EraseSection(u"PICTURES");
    IniFile.WriteString(u"PICTURES", u"picture", FPictureName);
    IniFile.WriteString(u"PICTURES", u"inactivepicture", FInActivePictureName);
    IniFile.WriteString(u"PICTURES", u"mask", FMaskName);
    WriteStringsValue(IniFile, u"PICTURES", u"activepictures", *FActivePicturesNames);
    IniFile.EraseSection(u"FORMINFO");
    TbsSkinSectionIO FormInfo(IniFile, u"FORMINFO", true);
    FormInfoKeys(FormInfo);
    IniFile.EraseSection(u"POPUPWINDOW");
    PopupWindow->SaveToFile(IniFile);
    IniFile.EraseSection(u"LAYERFRAME");
    LayerFrame->SaveToFile(IniFile);
    IniFile.EraseSection(u"HINTWINDOW");
    HintWindow->SaveToFile(IniFile);
    IniFile.EraseSection(u"SKINCOLORS");
    FSkinColors->SaveToFile(IniFile);
    IniFile.EraseSection(u"SKINOBJECTS");
    IniFile.WriteInteger(u"SKINOBJECTS", u"count", static_cast<int>(ObjectList.size()));
    for (std::size_t I = 0; I < ObjectList.size(); ++I) {
        IniFile.WriteString(u"SKINOBJECTS", IntToStr(static_cast<int>(I)),
                            ObjectList[I]->IDName + u":" + SkinObjectKindWord(*ObjectList[I]));
        ObjectList[I]->SaveToFile(IniFile);
    }
    IniFile.EraseSection(u"SKINCONTROLS");
    IniFile.WriteInteger(u"SKINCONTROLS", u"count", static_cast<int>(CtrlList.size()));
    for (std::size_t I = 0; I < CtrlList.size(); ++I) {
        IniFile.WriteString(u"SKINCONTROLS", IntToStr(static_cast<int>(I)),
                            CtrlList[I]->IDName + u":" + SkinControlKindWord(*CtrlList[I]));
        CtrlList[I]->SaveToFile(IniFile);
    }
}

void TbsSkinData::SaveToFile(const String& FileName) {
    TMemIniFile IniFile(FileName);
    WriteSkinIni(IniFile);
    IniFile.UpdateFile();
}

void TbsSkinData::StoreToDisk(const String& FileName) {
    SaveToFile(FileName);
    const String Folder = ExtractFilePath(FileName);
    // A picture without a name has no file to go to.
    const auto Store = [&](TBitmap& Bitmap, const String& Name) {
        if (!Bitmap.Empty() && !Name.empty())
            Bitmap.SaveToFile(Folder + Name);
    };
    Store(*FPicture, FPictureName);
    Store(*FInActivePicture, FInActivePictureName);
    Store(*FMask, FMaskName);
    if (FActivePicturesNames->Count() == 0)
        return;
    for (std::size_t I = 0; I < FActivePictures.size() && I < static_cast<std::size_t>(FActivePicturesNames->Count());
         ++I)
        Store(*FActivePictures[I], FActivePicturesNames->Strings(static_cast<int>(I)));
}

void TbsSkinData::SaveToCompressedFile(const String& FileName) {
    TbsCompressedStoredSkin Stored(nullptr);
    Stored.LoadFromSkinData(this);
    Stored.SaveToCompressFile(FileName);
}
