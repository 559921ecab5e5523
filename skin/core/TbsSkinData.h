// The in-memory skin: form pictures, extra pictures, form geometry, the form-level records, the colours and the
// two lists of named records every skinned part looks up.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/base/Classes.h"
#include "platform/base/IniFiles.h"
#include "platform/gdi/Graphics.h"
#include "skin/core/TbsCompressedStoredSkin.h"
#include "skin/core/TbsDataSkinControl.h"
#include "skin/core/TbsDataSkinObject.h"
#include "skin/core/TbsResourceStrData.h"

// The skin-change messages; WParam is the sending skin data, LParam 1000.
constexpr unsigned WM_BEFORECHANGESKINDATA = 0x400 + 201; // 1225
constexpr unsigned WM_CHANGESKINDATA = 0x400 + 202;       // 1226
constexpr unsigned WM_AFTERCHANGESKINDATA = 0x400 + 203;  // 1227
constexpr unsigned WM_CHANGERESSTRDATA = 0x400 + 250;     // 1274
constexpr unsigned WM_CHANGEFORMSKINNABLE = 0x400 + 270;  // 1294
constexpr unsigned WM_CHANGELAYEREDBORDER = 0x400 + 403;  // 1427

// What the skin data needs of the forms of the application to tell them about a change. Without a registered
// one the screen's forms are told (TbsScreenFormsService); tests register their own.
class TbsSkinFormsService {
public:
    virtual ~TbsSkinFormsService() = default;
    virtual bool IsForm(TComponent* Component) const = 0;
    // The screen's forms, index 0 upwards.
    virtual std::vector<TComponent*> Forms() const = 0;
    // A synchronous send to the form's window (reading its handle creates the window when it has none).
    virtual void Send(TComponent* Form, unsigned Msg, std::uintptr_t WParam, std::intptr_t LParam) = 0;
    // Whether a form is one of the strips that draw the layered border of another form: those hear of a skin
    // change from the form they border, never from the skin data.
    virtual bool IsLayeredBorderStrip(TComponent* Form) const { return false; }
};

// nullptr goes back to the screen's forms.
void SetSkinFormsService(TbsSkinFormsService* Service);
TbsSkinFormsService* SkinFormsService();

// What a skin holds: its pictures, its records and colours, its form geometry and its credits. Loading reads a
// skin into a content of its own and takes it over whole, so a skin that fails to load leaves the current one
// as it was.
struct TbsSkinContent {
    std::unique_ptr<TbsSkinColors> FSkinColors = std::make_unique<TbsSkinColors>();
    TRect ButtonsRect;
    TRect CaptionRect;
    int ButtonsOffset = 0;
    bool CapButtonsInLeft = false;
    bool AutoRenderingInActiveImage = false;
    TbsInActiveEffect InActiveEffect = ieBrightness;
    std::unique_ptr<TbsDataSkinPopupWindow> PopupWindow = std::make_unique<TbsDataSkinPopupWindow>();
    std::unique_ptr<TbsDataSkinLayerFrame> LayerFrame = std::make_unique<TbsDataSkinLayerFrame>();
    std::unique_ptr<TbsDataSkinHintWindow> HintWindow = std::make_unique<TbsDataSkinHintWindow>();
    std::unique_ptr<TBitmap> FPicture = std::make_unique<TBitmap>();
    std::unique_ptr<TBitmap> FInActivePicture = std::make_unique<TBitmap>();
    std::unique_ptr<TBitmap> FMask = std::make_unique<TBitmap>();
    std::vector<std::unique_ptr<TBitmap>> FActivePictures;
    String FPictureName;
    String FInActivePictureName;
    String FMaskName;
    std::unique_ptr<TStringList> FActivePicturesNames = std::make_unique<TStringList>();
    std::vector<std::unique_ptr<TbsDataSkinObject>> ObjectList;
    std::vector<std::unique_ptr<TbsDataSkinControl>> CtrlList;
    TPoint LTPoint;
    TPoint RTPoint;
    TPoint LBPoint;
    TPoint RBPoint;
    int BGPictureIndex = -1;
    int MDIBGPictureIndex = -1;
    bool MainMenuPopupUp = false;
    TRect MaskRectArea;
    TPoint HitTestLTPoint;
    TPoint HitTestRTPoint;
    TPoint HitTestLBPoint;
    TPoint HitTestRBPoint;
    TRect ClRect;
    int BorderW = 0;
    int FormMinWidth = 0;
    bool MDITabsTransparent = false;
    bool MainMenuBarTransparent = false;
    bool TopStretch = false;
    bool LeftStretch = false;
    bool RightStretch = false;
    bool BottomStretch = false;
    bool StretchEffect = false;
    TbsStretchType StretchType = bsstFull;
    bool MDIBGStretchEffect = false;
    TbsStretchType MDIBGStretchType = bsstFull;
    String SkinName;
    String SkinAuthor;
    String AuthorURL;
    String AuthorEmail;
    String SkinComments;
};

class TbsSkinData : public TComponent, public TbsSkinContent {
public:
    explicit TbsSkinData(TComponent* AOwner);
    ~TbsSkinData() override;

    void LoadFromFile(const String& FileName);
    // Takes over the content of an existing file; writes no pictures.
    void SaveToFile(const String& FileName);
    // The description, then every picture as a BMP file under its own name in the description's folder.
    void StoreToDisk(const String& FileName);
    void LoadFromCompressedFile(const String& FileName);
    void SaveToCompressedFile(const String& FileName);
    void LoadCompressedStoredSkin(TbsCompressedStoredSkin* AStoredSkin);
    void ClearSkin();
    void ClearAll();
    void ClearObjects();
    void AddBitMap(const String& FileName);
    void DeleteBitMap(int Index);
    int GetIndex(const String& AIDName) const;
    int GetControlIndex(const String& AIDName) const;
    void SendSkinDataMessage(unsigned M);
    // Writes the whole description into an ini held in memory.
    void WriteSkinIni(TCustomIniFile& IniFile);
    static void SplitObjectEntry(const String& Entry, String& Name, String& Kind);

    bool SkinnableForm() const { return FSkinnableForm; }
    void SetSkinnableForm(bool Value);
    bool ShowLayeredBorders() const { return FShowLayeredBorders; }
    void SetShowLayeredBorders(bool Value);
    TbsResourceStrData* ResourceStrData() const { return FResourceStrData; }
    void SetResourceStrData(TbsResourceStrData* Value);
    TbsCompressedStoredSkin* CompressedStoredSkin() const { return FCompressedStoredSkin; }
    void SetCompressedStoredSkin(TbsCompressedStoredSkin* Value);
    TbsCompressedSkinList* SkinList() const { return FCompressedSkinList; }
    void SetSkinList(TbsCompressedSkinList* Value);
    int SkinIndex() const { return FCompressedSkinIndex; }
    void SetSkinIndex(int Value);
    TbsSkinColors* SkinColors() const { return FSkinColors.get(); }
    bool AnimationForAllWindows() const { return FAnimationForAllWindows; }
    void SetAnimationForAllWindows(bool Value) { FAnimationForAllWindows = Value; }
    bool EnableSkinEffects() const { return FEnableSkinEffects; }
    void SetEnableSkinEffects(bool Value) { FEnableSkinEffects = Value; }
    bool ShowButtonGlowFrames() const { return FShowButtonGlowFrames; }
    void SetShowButtonGlowFrames(bool Value) { FShowButtonGlowFrames = Value; }
    bool ShowCaptionButtonGlowFrames() const { return FShowCaptionButtonGlowFrames; }
    void SetShowCaptionButtonGlowFrames(bool Value) { FShowCaptionButtonGlowFrames = Value; }

    TbsCompressedSkinList* FCompressedSkinList = nullptr;
    int FCompressedSkinIndex = 0;
    bool FSkinnableForm = true;
    bool FEnableSkinEffects = true;
    TbsCompressedStoredSkin* FCompressedStoredSkin = nullptr;
    TbsResourceStrData* FResourceStrData = nullptr;
    bool FShowButtonGlowFrames = true;
    bool FShowCaptionButtonGlowFrames = true;
    bool FShowLayeredBorders = true;
    bool FAnimationForAllWindows = false;
    bool Empty = true;
    bool ChangeSkinDataProcess = false;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // VERSION, the picture names, then FORMINFO, the form-level records, the colours and both entry lists.
    void ReadDescription(TCustomIniFile& IniFile, bool ReadPictureList);
    // VERSION and the picture names of PICTURES; then FORMINFO, the form records, colours and the skin records.
    void ReadVersion(TCustomIniFile& IniFile, bool ReadPictureList);
    void ReadSections(TCustomIniFile& IniFile);
    void FormInfoKeys(TbsSkinSectionIO& IO);
    void TakeOver(TbsSkinData& Other);
    bool Designing() const { return ComponentState().Contains(csDesigning); }
    bool Loading() const { return ComponentState().Contains(csLoading); }
};
