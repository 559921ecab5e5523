// The form-skinning component: owned by a form, it takes over the form's window procedure and draws the
// frame (caption, caption buttons, border, region) from its skin data, or in the built-in default look while
// no skin is applied; it passes the skin data's change messages on to every skinned control of the form.
#pragma once

#include <memory>
#include <vector>

#include "platform/gdi/ImgList.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "skin/core/bsSkinData.h"

class TbsActiveSkinObject;
class TbsClientInActivePanel;
class TbsFormLayerBorder;
class TbsLayerManager;
class TbsQuickButtonItems;
class TbsSkinHint;
class TbsSkinMainMenuBar;
class TbsSkinMenu;
class TbsSkinMDITabsBar;
class TbsSkinPopupMenu;
class TbsTrayIcon;

// Scoped: the class library's own border icons share three of the names. Stored as one byte: bit 0
// biSystemMenu ... bit 4 biMinimizeToTray.
enum class TbsBorderIcon { biSystemMenu, biMinimize, biMaximize, biRollUp, biMinimizeToTray };
using TbsBorderIcons = TSet<TbsBorderIcon, 5>;
enum TbsPositionInMonitor { bspDefault, bspScreenCenter, bspDesktopCenter };
enum TbsClientInActiveEffect { bsieSemiTransparent, bsieBlur };

using TbsCaptionPaintEvent = std::function<void(TCanvas* Cnvs, const TRect& R, bool AActive)>;
using TbsMouseEnterEvent = std::function<void(const String& IDName)>;
using TbsMouseLeaveEvent = std::function<void(const String& IDName)>;
using TbsMouseDownEvent =
    std::function<void(const String& IDName, int X, int Y, const TRect& ObjectRect, TMouseButton Button)>;
using TbsMouseUpEvent = TbsMouseDownEvent;
using TbsMouseMoveEvent = std::function<void(const String& IDName, int X, int Y, const TRect& ObjectRect)>;
using TbsPaintEvent = std::function<void(const String& IDName, TCanvas* Canvas, const TRect& ObjectRect)>;
using TbsActivateCustomObjectEvent = std::function<void(const String& IDName, bool& ObjectVisible)>;
using TbsOnAcceptToMDITabsBar = std::function<void(bool& Accept)>;

// Messages of the form-skinning layer (the skin data's own change messages are in skin/core).
constexpr UINT WM_MDICHILDMOVE = WM_USER + 206;     // 1230: a maximized child refits the free client area
constexpr UINT WM_MDICHILDMAX = WM_USER + 207;      // 1231: a child was maximized
constexpr UINT WM_MDICHILDRESTORE = WM_USER + 208;  // 1232: a child left that state or was destroyed
constexpr UINT WM_TRAYSHOWMAINFORM = WM_USER + 402; // 1426 (posted)
constexpr UINT WM_QUERYNATIVEFRAME = 0xB1B2;        // answered 12852 (native frame) or 12853
constexpr UINT WM_EFFECTSTART = 0xB1B3;
constexpr UINT WM_EFFECTEND = 0xB1B4;
constexpr UINT WM_PAINTFRAMETODC = 0xB1C9;     // answered 12851 when painted
constexpr UINT WM_PAINTBGORFRAMETODC = 0xBC4B; // with LParam 16802, answered 16802

class TbsSkinForm : public TComponent {
    QV_CLASS_NAME(TbsSkinForm)
public:
    // AOwner must be a form: EInvalidCast "Invalid class typecast" otherwise, and nothing is hooked.
    explicit TbsSkinForm(TComponent* AOwner);
    ~TbsSkinForm() override;

    // ---- skin and frame
    TbsSkinData* SkinData() const { return FSD; }
    void SetSkinData(TbsSkinData* Value);
    TbsSkinData* MenusSkinData() const { return FMSD; }
    void SetMenusSkinData(TbsSkinData* Value);
    bool SkinnableForm() const { return FSkinnableForm; }
    void SetSkinnableForm(bool Value);
    bool UseRibbon() const { return FUseRibbon; }
    void SetUseRibbon(bool Value);
    void SetFormStyle(TFormStyle FS);
    void SetFormBorderStyle(TFormBorderStyle BS);
    TbsBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TbsBorderIcons Value);
    bool ShowIcon() const { return FShowIcon; }
    void SetShowIcon(bool Value);
    TFont* DefCaptionFont() const { return FDefCaptionFont.get(); }
    void SetDefCaptionFont(TFont* Value);
    TFont* DefInActiveCaptionFont() const { return FDefInActiveCaptionFont.get(); }
    void SetDefInActiveCaptionFont(TFont* Value);
    bool HideCaptionButtons() const { return FHideCaptionButtons; }
    void SetHideCaptionButtons(bool Value) { FHideCaptionButtons = Value; }
    bool DisableSystemMenu() const { return FDisableSystemMenu; }
    void SetDisableSystemMenu(bool Value) { FDisableSystemMenu = Value; }
    bool AlwaysResize() const { return FAlwaysResize; }
    void SetAlwaysResize(bool Value) { FAlwaysResize = Value; }
    bool UseFormCursorInNCArea() const { return FUseFormCursorInNCArea; }
    void SetUseFormCursorInNCArea(bool Value) { FUseFormCursorInNCArea = Value; }
    int ClientWidth() const { return FClientWidth; }
    void SetClientWidth(int Value) { FClientWidth = Value; }
    int ClientHeight() const { return FClientHeight; }
    void SetClientHeight(int Value) { FClientHeight = Value; }
    TBitmap* LogoBitMap() const { return FLogoBitMap.get(); }
    void SetLogoBitMap(TBitmap* Value) { FLogoBitMap->Assign(Value); }
    bool LogoBitMapTransparent() const { return FLogoBitMapTransparent; }
    void SetLogoBitMapTransparent(bool Value) { FLogoBitMapTransparent = Value; }
    bool MaximizeOnFullScreen() const { return FMaximizeOnFullScreen; }
    void SetMaximizeOnFullScreen(bool Value) { FMaximizeOnFullScreen = Value; }
    bool ClientInActiveEffect() const { return FClientInActiveEffect; }
    void SetClientInActiveEffect(bool Value) { FClientInActiveEffect = Value; }
    TbsClientInActiveEffect ClientInActiveEffectType() const { return FClientInActiveEffectType; }
    void SetClientInActiveEffectType(TbsClientInActiveEffect Value) { FClientInActiveEffectType = Value; }
    bool ShowObjectHint() const { return FShowObjectHint; }
    void SetShowObjectHint(bool Value) { FShowObjectHint = Value; }
    bool UseDefaultObjectHint() const { return FUseDefaultObjectHint; }
    void SetUseDefaultObjectHint(bool Value) { FUseDefaultObjectHint = Value; }
    TCustomImageList* QuickImageList() const { return FQuickImageList; }
    void SetQuickImageList(TCustomImageList* Value);
    TbsQuickButtonItems* QuickButtons() const { return FQuickButtons.get(); }
    // Copies the given buttons.
    void SetQuickButtons(TbsQuickButtonItems* Value);
    bool QuickButtonsShowHint() const { return FQuickButtonsShowHint; }
    void SetQuickButtonsShowHint(bool Value) { FQuickButtonsShowHint = Value; }
    TbsSkinHint* SkinHint() const { return FSkinHint; }
    void SetSkinHint(TbsSkinHint* Value);
    TPopupMenu* SystemMenu() const { return FSystemMenu; }
    void SetSystemMenu(TPopupMenu* Value);
    bool AlwaysMinimizeToTray() const { return FAlwaysMinimizeToTray; }
    void SetAlwaysMinimizeToTray(bool Value) { FAlwaysMinimizeToTray = Value; }

    // ---- menus
    TbsSkinMenu* SkinMenu() const { return FSkinMenu.get(); }
    int MaxMenuItemsInWindow() const { return FMaxMenuItemsInWindow; }
    // Negative values are ignored.
    void SetMaxMenuItemsInWindow(int Value);
    bool UseSkinFontInMenu() const;
    void SetUseSkinFontInMenu(bool Value);
    bool MenusAlphaBlend() const { return FMenusAlphaBlend; }
    void SetMenusAlphaBlend(bool Value);
    Byte MenusAlphaBlendValue() const { return FMenusAlphaBlendValue; }
    void SetMenusAlphaBlendValue(Byte Value);
    bool MenusAlphaBlendAnimation() const { return FMenusAlphaBlendAnimation; }
    void SetMenusAlphaBlendAnimation(bool Value);
    int DefMenuItemHeight() const;
    // Values of 0 or less are ignored.
    void SetDefMenuItemHeight(int Value);
    TFont* DefMenuItemFont() const;
    void SetDefMenuItemFont(TFont* Value);
    bool UseDefaultSysMenu() const { return FUseDefaultSysMenu; }
    void SetUseDefaultSysMenu(bool Value) { FUseDefaultSysMenu = Value; }
    TbsSkinPopupMenu* SysTrayMenu() const { return FSysTrayMenu; }
    // Bracket every skinned menu of the form.
    void SkinMenuOpen();
    void SkinMenuClose();
    void PopupSkinMenu(TMenu* Menu, const TPoint& P);
    void PopupSkinMenu1(TMenu* Menu, const TRect& R, bool PopupUp);
    void DoPopupMenu(TPopupMenu* Menu, int X, int Y);
    // While a menu is open the application's messages pass the component first: keys go to the menu.
    void HookAppMessages();
    void UnhookAppMessages();
    void MenuKeyDown(WPARAM Key);
    void CloseMenusOnMessage(TMessage& M);
    // An MDI parent's combo boxes and edits close their drop-downs.
    void CancelDropDowns();
    // The system menu: the application's SystemMenu or the built-in one, with the commands the state allows.
    TMenuItem* GetSystemMenuItems();
    void BuildSystemMenu();
    void BuildBuiltInSystemMenu();
    void BuildTrayMenu();
    void PopupSystemMenu(int X, int Y);
    void PopupSystemMenuAtRect(const TRect& R);
    void ShowSystemMenuFromButton();
    // The menu bar's keyboard menu mode: left altogether, or its open submenu closed while the mode stays.
    void LeaveMainMenu();
    void CloseMainMenuPopup();
    TbsSkinMainMenuBar* MainMenuBar() const { return FMainMenuBar; }
    void SetMainMenuBar(TbsSkinMainMenuBar* Value);
    bool InMenu = false;
    bool InMainMenu = false;
    bool FInAppHook = false;
    bool FInShortCut = false;
    bool FAltShortCut = false;

    // ---- sizes and placement
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value) { FMinWidth = Value; }
    int MinHeight() const { return FMinHeight; }
    void SetMinHeight(int Value) { FMinHeight = Value; }
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value) { FMaxWidth = Value; }
    int MaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(int Value) { FMaxHeight = Value; }
    bool Magnetic() const { return FMagnetic; }
    void SetMagnetic(bool Value) { FMagnetic = Value; }
    Byte MagneticSize() const { return FMagneticSize; }
    void SetMagneticSize(Byte Value) { FMagneticSize = Value; }
    TbsPositionInMonitor PositionInMonitor() const { return FPositionInMonitor; }
    void SetPositionInMonitor(TbsPositionInMonitor Value) { FPositionInMonitor = Value; }
    int GetMinWidth();
    int GetMinHeight();
    int GetMaxWidth();
    int GetMaxHeight();
    void ApplyPositionInMonitor();
    TPoint GetPositionInMonitor(int AX, int AY, int AW, int AH);

    // ---- states (the component's own; run by the window-state commands)
    TWindowState WindowState() const { return FWindowState; }
    // On a skinned frame the component sets the form's bounds itself; a native frame leaves it to the form.
    void SetWindowState(TWindowState Value);
    bool RollUpState() const { return FRollUpState; }
    // Rolled up, the form is its frame without client area; only with biRollUp and not while minimized.
    void SetRollUpState(bool Value);
    // Both need a tray icon; without one nothing happens.
    void MinimizeToTray();
    void RestoreFromTray();
    TbsTrayIcon* TrayIcon() const { return FTrayIcon; }
    // The icon hides until the form goes to the tray (unless AlwaysShowInTray); it gets the tray menu and a double
    // click that restores the form when it has none of its own.
    void SetTrayIcon(TbsTrayIcon* Value);
    bool AlwaysShowInTray() const { return FAlwaysShowInTray; }
    void SetAlwaysShowInTray(bool Value) { FAlwaysShowInTray = Value; }
    TPoint GetMinimizedPosition();
    bool MaxRollUpState = false;
    bool FRollUpBeforeMaximize = false;
    int OldHeight = 0;
    TNotifyEvent OnChangeRollUpState;
    TNotifyEvent OnMinimizeToTray;
    TNotifyEvent OnRestoreFromTray;
    bool MinimizeDefault() const { return FMinimizeDefault; }
    void SetMinimizeDefault(bool Value) { FMinimizeDefault = Value; }
    bool GetFormActive();
    bool PreviewMode = false;
    bool AlwaysDisableLayeredFrames = false;

    // ---- translucency, fade-in, shadow, inactive-client panel, layered border (bsSkinFormAlpha.cpp)
    bool AlphaBlend() const { return FAlphaBlend; }
    void SetAlphaBlend(bool Value);
    Byte AlphaBlendValue() const { return FAlphaBlendValue; }
    void SetAlphaBlendValue(Byte Value);
    bool AlphaBlendAnimation() const { return FAlphaBlendAnimation; }
    void SetAlphaBlendAnimation(bool Value) { FAlphaBlendAnimation = Value; }
    bool UseLayeredBorder();
    bool NeedsLayeredFadeIn();
    void EnableShadow(bool AShowShadow, bool AHideFormBefore);
    void ShowClientInActiveEffect();
    void HideClientInActiveEffect();
    TbsFormLayerBorder* FBorderLayer = nullptr; // owned through the component model
    // Expires with the component: a handler that lets the queue run checks it before going on.
    std::weak_ptr<char> AliveToken() const { return FAlive; }
    TbsClientInActivePanel* FInActivePanel = nullptr;
    bool FClientInActiveDraw = false;
    bool FHaveShadow = false;
    bool FLayeredForHide = false; // made layered by its hiding only

    // ---- painting (non-client area and client background)
    void PaintNCDefault(HDC ADC, bool AUseExternalDC);
    void PaintNCSkin(HDC ADC, bool AUseExternalDC);
    void PaintBG(HDC DC);
    void PaintBG2(HDC DC);
    void PaintBG3(HDC DC);
    void PaintBGDefault(HDC DC);
    void PaintMDIBGDefault(HDC DC);
    void DrawLogo(TCanvas* Canvas);
    void GetFormIcon();
    void DrawFormIcon(TCanvas* Canvas, int X, int Y);
    void GetSmallIconSize(int& W, int& H);
    int GetDefCaptionHeight();
    int GetDefButtonSize();
    void CalcNewRects();
    void CalcDefRects();
    void UpdateFrame();
    void UpdateFormRegion();
    bool IsPointInMask(const TPoint& P);

    // ---- hit testing, sizing, moving
    int HitTestSkin(const TPoint& P);
    int HitTestDefault(const TPoint& P);
    bool CanResizeForm();
    void NudgeWidth();
    void MagneticSnap(int& ALeft, int& ATop, int AWidth, int AHeight);
    bool GetFullDrag();

    // ---- frame objects
    int GetIndex(const String& AIDName) const;
    void SetEnabled(const String& AIDName, bool Value);
    void UserObjectDraw(const String& AIDName);
    void LinkMenu(const String& AIDName, TMenu* AMenu, bool APopupUp);
    void DrawSkinObject(TbsActiveSkinObject* AObject);
    void ClearObjects();
    void CreateSkinObjects();
    void CreateDefaultObjects();
    void UpdateCaptionButtons();
    void SetDefaultObjectHints();
    void CalcObjectRects();
    void UpdateActiveObject(int X, int Y, bool InFrame);
    void ResetObjectStates();
    void UpdateCaptionActive(bool AAnimate);
    TRect MapSkinRect(const TRect& R);
    // What turns the window coordinates of a frame object into screen coordinates.
    TPoint WindowToScreenOffset();
    int ObjectCount() const { return int(ObjectList.size()); }
    TbsActiveSkinObject* Objects(int Index) const { return ObjectList.at(std::size_t(Index)).get(); }

    // ---- window procedure and skin changes
    void FormWndProc(TMessage& Message);
    void ApplySkinData();
    void BeforeChangeSkinDataWalk(TbsSkinData* ASkinData, TControl* AControl);
    void ChangeSkinDataWalk(TbsSkinData* ASkinData, TControl* AControl);

    // ---- MDI (bsSkinFormMDI.cpp)
    TbsSkinMDITabsBar* MDITabsBar() const { return FMDITabsBar; }
    void SetMDITabsBar(TbsSkinMDITabsBar* Value);
    // The free client area of the main form: its client area less the visible controls aligned to its edges.
    TRect GetMDIClientArea();
    TForm* FindMaximizedMDIChild();
    // Every child hears 1230 (a maximized one refits the free area); minimized ones line up again.
    void UpdateMDIChildren();
    void ArrangeMinimizedChildren();
    bool MDIChildMaximized() const { return FMDIChildMaximized; }
    // The subclassed procedure of an MDI parent's client window: the background from the skin, no border.
    void MDIClientWndProc(TMessage& Message);
    void SubclassMDIClient();
    // The parent's window menu holds an item per child, named after it with "_BSFCHILDITEM".
    void AddChildToMenu(TCustomForm* Child);
    void DeleteChildFromMenu(TCustomForm* Child);
    void UpDateChildCaptionInMenu(TCustomForm* Child);
    void UpDateChildActiveInMenu();
    void MDIItemClick(TObject* Sender);
    // The main form's tabs bar holds a tab per accepted child.
    void AddChildToBar(TCustomForm* Child);
    void DeleteChildFromBar(TCustomForm* Child);
    void RefreshMDIBarTab(TCustomForm* Child);
    void UpdateMDITabsActive();
    // Whole-set commands of an MDI parent.
    void Tile();
    void Cascade();
    void MinimizeAll();
    void MaximizeAll();
    void RestoreAll();
    void CloseAll();
    TbsOnAcceptToMDITabsBar OnAcceptToMDITabsBar;

    TCustomForm* Form() const { return FForm; }
    // What the hook in the form's procedure chain reaches the component through.
    struct TProcLink;
    String GetProductVersion() const { return u"7.81"; }

    // Published events.
    TbsCaptionPaintEvent OnCaptionPaint;
    TNotifyEvent OnChangeSkinData;
    TNotifyEvent OnBeforeChangeSkinData;
    TNotifyEvent OnAfterChangeSkinData;
    TbsMouseEnterEvent OnMouseEnterEvent;
    TbsMouseLeaveEvent OnMouseLeaveEvent;
    TbsMouseDownEvent OnMouseDownEvent;
    TbsMouseUpEvent OnMouseUpEvent;
    TbsMouseMoveEvent OnMouseMoveEvent;
    TbsPaintEvent OnPaintEvent;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeActivate;
    TbsActivateCustomObjectEvent OnActivateCustomObject;
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;
    TNotifyEvent OnMaximize;
    TShortCutEvent OnShortCut;
    TNotifyEvent OnSkinMenuOpen;
    TNotifyEvent OnSkinMenuClose;
    TNotifyEvent OnMainMenuEnter;
    TNotifyEvent OnMainMenuExit;

    // Frame geometry at the current size.
    TPoint NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint;
    TRect NewClRect, NewCaptionRect, NewButtonsRect;
    int NewButtonsOffset = 0;
    bool NewButtonsInLeft = false;
    TRect NewMaskRectArea;
    TPoint NewHitTestLTPoint, NewHitTestRTPoint, NewHitTestLBPoint, NewHitTestRBPoint;
    TRect NewDefCaptionRect;

    int ActiveObject = -1;
    int OldActiveObject = -1;
    int MouseCaptureObject = -1;
    std::unique_ptr<TTimer> MouseTimer;
    std::unique_ptr<TTimer> MorphTimer;
    std::unique_ptr<TTimer> AnimateTimer;
    // The glow of a hovered caption button and of a button whose menu is open.
    std::unique_ptr<TbsLayerManager> FLayerManager;
    std::unique_ptr<TbsLayerManager> FMenuLayerManager;

    bool FSkinSupport = false;
    bool FFormActive = false;
    bool FStopPainting = false;
    bool FStartShow = true;
    bool FSizeMove = false;
    bool FSizing = false;
    bool FFullDrag = false;
    bool FSmartEffectsShow = false;
    bool FBorderLayerChangeSize = false;
    bool FMDIChildMaximized = false;
    bool HMagnetized = false, VMagnetized = false, HMagnetized2 = false, VMagnetized2 = false;
    TPoint FOnMouseDownCoord{-1, -1};
    int FFormWidth = 0, FFormHeight = 0, FFormLeft = 0, FFormTop = 0;
    int FOldFormLeft = 0, FOldFormTop = 0;
    TWindowState FWindowState = wsNormal;
    bool FRollUpState = false;
    TRect OldBoundsRect;
    TWndMethod OldWindowProc;
    TColor BlackColor = 0;
    std::unique_ptr<TBitmap> RMTop, RMBottom, RMLeft, RMRight;
    HRGN FRgn = nullptr;
    std::unique_ptr<TIcon> FIcon;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // First dispatch of the window procedure (bsSkinFormWndProc.cpp).
    void WMDestroy(TMessage& M);
    void WMSize(TMessage& M);
    void WMActivate(TMessage& M);
    void WMSetText(TMessage& M);
    void WMEraseBkgnd(TMessage& M);
    void WMShowWindow(TMessage& M);
    void WMSetCursor(TMessage& M);
    void WMMouseActivate(TMessage& M);
    void WMGetMinMaxInfo(TMessage& M);
    void WMWindowPosChanged(TMessage& M);
    void WMDisplayChange(TMessage& M);
    void WMNCCalcSize(TMessage& M);
    void WMNCHitTest(TMessage& M);
    void WMNCPaint(TMessage& M);
    void WMNCActivate(TMessage& M);
    void WMSyncPaint(TMessage& M);
    void WMSysCommand(TMessage& M);
    void WMSizing(TMessage& M);
    void WMMoving(TMessage& M);
    void WMEnterSizeMove(TMessage& M);
    void WMExitSizeMove(TMessage& M);
    void WMBeforeChangeSkinData(TMessage& M);
    void WMChangeSkinData(TMessage& M);
    void WMAfterChangeSkinData(TMessage& M);
    void WMMDIChildMove(TMessage& M);
    void WMMDIChildMax(TMessage& M);
    void WMMDIChildRestore(TMessage& M);
    void WMChangeResStrData(TMessage& M);
    void WMChangeFormSkinnable(TMessage& M);
    void WMTrayShowMainForm(TMessage& M);
    void WMQueryNativeFrame(TMessage& M);
    void WMEffectStart(TMessage& M);
    void WMEffectEnd(TMessage& M);
    void WMTimer(TMessage& M);
    void WMChangeLayeredBorder(TMessage& M);
    void WMPaintFrameToDC(TMessage& M);
    void WMSkinMenuClosed(TMessage& M);
    // Second dispatch, after the previous procedure.
    void AfterOldWindowProc(TMessage& M);

private:
    friend class TbsActiveSkinObject;
    void CallOld(TMessage& M);
    bool IsMDIChild() const;
    bool IsMDIForm() const;
    bool IsMaximizedMDIChild() const;
    bool HasBorder() const;
    bool Loading() const { return ComponentState().Contains(csLoading); }
    bool Designing() const { return ComponentState().Contains(csDesigning); }
    bool SkinApplied() const { return FSD && !FSD->Empty; }
    TPoint ScreenToWindowPoint(LPARAM LParam);
    void SendNCPaint();
    void FormShortCut(TMessage& Msg, bool& Handled);
    void FormShortCutKeys(TMessage& Msg, bool& Handled);
    void InstallWindowProc();
    void ApplySizeLimits();
    void SetFormRegion(HRGN Rgn);
    void PaintBGColor(HDC DC, TColor Color);
    void PaintBGPicture(HDC DC, int Index, bool Stretch, TbsStretchType Type);
    void NotifyParentBackground();
    bool IsNearOutside(const TPoint& P);
    bool IsPointOnCaption(const TPoint& P);
    void SnapEdge(int& Pos, int Edge, int Size, int Cursor, int& Start, bool& Flag);
    void MouseTimerTick(TObject* Sender);
    void MorphTimerTick(TObject* Sender);
    void AnimateTimerTick(TObject* Sender);
    void ObjectMouseMove(int X, int Y);
    void ObjectMouseDown(int X, int Y, TMouseButton Button);
    void ObjectMouseUp(int X, int Y, TMouseButton Button);
    void ObjectDblClick();
    void PlaceButtonRow(const TRect& Row, bool RowIsCaption);
    void HideLayers();
    // Showing and hiding (bsSkinFormAlpha.cpp).
    void PrepareFadeIn();
    void ShowBorderAfterShow();
    void HideBeforeHide();
    void FadeIn();
    bool SkinAnimatesAll() const;
    bool LayeredAlphaAvailable() const;
    void SetFormLayered(bool Value);
    bool FormLayered() const;
    bool FormVisible() const;
    void AppMessageHook(MSG& Msg, bool& Handled);
    // The keys the menu bar takes in its menu mode; true when the key was taken.
    bool MenuBarKeyDown(WPARAM Key);
    void KeyMenu();
    void DoMinimize();
    void DoMaximize();
    void DoRestore();
    void CaptionDblClick();
    TbsSkinData* MenuSkin() const { return FMSD ? FMSD : FSD; }
    void MakeSystemMenuItems();
    // Makes the form's window anew; a form on the screen stays there.
    void RecreateFormWindow();
    struct TClientLink;
    void UnsubclassMDIClient();
    void CallClientProc(TMessage& M);
    void ClientWMSize(TMessage& M);
    void ClientWMEraseBkgnd(TMessage& M);
    std::vector<TCustomForm*> MDIChildForms();
    TClientLink* FClientLink = nullptr;
    TbsSkinMDITabsBar* FMDITabsBar = nullptr;
    TMenuItem* SystemMenuItem(const String& Name, const String& Key, const String& Caption, TNotifyEvent Click);

    TCustomForm* FForm = nullptr;
    std::shared_ptr<TProcLink> FProcLink;
    std::shared_ptr<char> FAlive = std::make_shared<char>();
    TShortCutEvent FOldShortCut;
    TBorderIcons FOldBorderIcons;
    std::vector<std::unique_ptr<TbsActiveSkinObject>> ObjectList;

    TbsSkinData* FSD = nullptr;
    TbsSkinData* FMSD = nullptr;
    bool FUseRibbon = false;
    bool FSkinnableForm = true;
    bool FIsVistaOs = false;
    bool FIsLayerEnabled = false;
    TbsBorderIcons FBorderIcons{TbsBorderIcon::biSystemMenu, TbsBorderIcon::biMinimize, TbsBorderIcon::biMaximize,
                                TbsBorderIcon::biRollUp};
    bool FShowIcon = false;
    std::unique_ptr<TFont> FDefCaptionFont;
    std::unique_ptr<TFont> FDefInActiveCaptionFont;
    bool FHideCaptionButtons = false;
    bool FDisableSystemMenu = false;
    bool FAlwaysResize = false;
    bool FUseFormCursorInNCArea = false;
    int FClientWidth = 0;
    int FClientHeight = 0;
    std::unique_ptr<TBitmap> FLogoBitMap;
    bool FLogoBitMapTransparent = false;
    bool FMaximizeOnFullScreen = false;
    bool FClientInActiveEffect = false;
    TbsClientInActiveEffect FClientInActiveEffectType = bsieSemiTransparent;
    bool FShowObjectHint = false;
    bool FUseDefaultObjectHint = true;
    TCustomImageList* FQuickImageList = nullptr;
    std::unique_ptr<TbsQuickButtonItems> FQuickButtons;
    bool FQuickButtonsShowHint = false;
    TbsSkinHint* FSkinHint = nullptr;
    TPopupMenu* FSystemMenu = nullptr;
    TbsSkinMainMenuBar* FMainMenuBar = nullptr;
    TbsTrayIcon* FTrayIcon = nullptr;
    bool FAlwaysShowInTray = false;
    bool FAlwaysMinimizeToTray = false;
    int FMinWidth = 0, FMinHeight = 0, FMaxWidth = 0, FMaxHeight = 0;
    bool FMagnetic = false;
    Byte FMagneticSize = 5;
    TbsPositionInMonitor FPositionInMonitor = bspDefault;
    bool FMinimizeDefault = false;
    bool FAlphaBlend = false;
    bool FAlphaBlendAnimation = false;
    Byte FAlphaBlendValue = 200;

    std::unique_ptr<TbsSkinMenu> FSkinMenu;
    int FMaxMenuItemsInWindow = 0;
    bool FMenusAlphaBlend = false;
    Byte FMenusAlphaBlendValue = 200;
    bool FMenusAlphaBlendAnimation = false;
    bool FUseDefaultSysMenu = true;
    TPopupMenu* FSysMenu = nullptr;           // owned through the component model
    TbsSkinPopupMenu* FSysTrayMenu = nullptr; // owned through the component model
    TMessageEvent OldAppMessage;
};
