// The frame objects of a skinned form: the active areas of the caption and border (caption buttons, further
// buttons of the skin, areas the application draws). The form component lays them out, tracks the mouse over
// them and asks them to draw; each object draws itself in its state and acts on a click.
#pragma once

#include "platform/gdi/Graphics.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Menus.h"
#include "skin/core/bsSkinData.h"

class TbsSkinForm;
class TbsLayerManager;

class TbsActiveSkinObject : public TObject {
public:
    // AData may be null (the default look's buttons).
    TbsActiveSkinObject(TbsSkinForm* AParent, TbsDataSkinObject* AData);

    virtual bool PointInMask(int X, int Y);
    virtual void ShowLayer();
    virtual void HideLayer();
    virtual bool CanMorphing();
    // UpDate false: the frame picture under the object has just been drawn; true: the object alone is refreshed.
    virtual void Draw(TCanvas* Cnvs, bool UpDate);
    virtual void DblClick() {}
    virtual void MouseDown(int X, int Y, TMouseButton Button);
    virtual void MouseUp(int X, int Y, TMouseButton Button);
    virtual void MouseMove(int X, int Y);
    virtual void MouseEnter();
    virtual void MouseLeave();

    bool EnableMorphing();
    void ReDraw();
    void DoMorphing();
    double MorphKf() const { return FMorphKf; }
    void SetMorphKf(double Value);

    TbsSkinForm* Parent;
    double FMorphKf = 0;
    bool FMouseIn = false;
    TBitmap* Picture = nullptr;
    TBitmap* ActivePicture = nullptr;
    TBitmap* ActiveMaskPicture = nullptr;
    TbsSkinData* SD = nullptr;
    String IDName;
    String Hint;
    TRect SkinRect;
    TRect ActiveSkinRect;
    TRect InActiveSkinRect;
    TRect ObjectRect;
    bool Active = false;
    bool Morphing = false;
    TbsMorphKind MorphKind = mkDefault;
    bool Enabled = true;
    bool Visible = true;
    bool SkinRectInAPicture = false;
    int GlowLayerPictureIndex = -1;
    int GlowLayerMaskPictureIndex = -1;
    int GlowLayerOffsetX = 0;
    int GlowLayerOffsetY = 0;
    int GlowLayerAlphaBlendValue = 255;

protected:
    bool SkinEmpty() const;
    bool FormActive();
    // Copies R of the picture stretched onto ObjectRect.
    void CopyPicture(TCanvas* Cnvs, TBitmap* APicture, const TRect& R);
    // The normal image morphed toward the active one by MorphKf.
    void DrawMorph(TCanvas* Cnvs, TBitmap* NormalPicture, const TRect& NormalRect, const TRect& ActiveRect);
    bool MorphInProgress();
    // The object's glow over the frame, in the given layer window.
    void ShowLayerIn(TbsLayerManager* Manager);
    void HideLayerIn(TbsLayerManager* Manager);
    // Whether the command's state holds (maximized, minimized, rolled up), in which the restore images serve.
    bool CommandStateHolds(TbsStdCommand Command) const;
    // The hint of a caption button: the restore hint while its command's state holds, else the normal one.
    String CommandHint(TbsStdCommand Command, const String& ARestoreHint, const String& ATempHint) const;
};

// An area the application draws itself (OnPaintEvent of the form).
class TbsUserObject : public TbsActiveSkinObject {
public:
    using TbsActiveSkinObject::TbsActiveSkinObject;
    void Draw(TCanvas* Cnvs, bool UpDate) override;
};

// A button drawn as a strip of frames that runs forward while hovered and back when left.
class TbsSkinAnimateObject : public TbsActiveSkinObject {
public:
    TbsSkinAnimateObject(TbsSkinForm* AParent, TbsDataSkinObject* AData);

    void ShowLayer() override;
    void HideLayer() override;
    void Draw(TCanvas* Cnvs, bool UpDate) override;
    void DblClick() override;
    void MouseDown(int X, int Y, TMouseButton Button) override;
    void MouseUp(int X, int Y, TMouseButton Button) override;
    void MouseEnter() override;
    void MouseLeave() override;

    void Start();
    void Stop();
    // One tick of the form's 25 ms animate timer.
    void ChangeFrame();
    int Frame() const { return FFrame; }
    void SetFrame(int Value);
    void DoCommand();
    void TrackMenu();

    int FFrame = 1;
    int FInc = 25;
    int TimerInterval = 25;
    TMenuItem* MenuItem = nullptr;
    bool FPopupUp = false;
    bool FDown = false;
    bool FMenuTracking = false;
    int CountFrames = 1;
    bool Cycle = false;
    bool ButtonStyle = false;
    bool Increment = true;
    TbsStdCommand Command = cmDefault;
    TRect DownSkinRect;
    TRect RestoreRect;
    TRect RestoreActiveRect;
    TRect RestoreDownRect;
    TRect RestoreInActiveRect;
    String RestoreHint;
    String FTempHint;

private:
    bool UseRestore() const;
    TRect FrameRect(int N) const;
};

class TbsSkinButtonObject : public TbsActiveSkinObject {
public:
    TbsSkinButtonObject(TbsSkinForm* AParent, TbsDataSkinObject* AData);

    bool CanMorphing() override;
    void Draw(TCanvas* Cnvs, bool UpDate) override;
    void MouseDown(int X, int Y, TMouseButton Button) override;
    void MouseUp(int X, int Y, TMouseButton Button) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void ShowLayer() override;
    void HideLayer() override;
    virtual void TrackMenu();

    bool Down() const { return FDown; }
    void SetDown(bool Value);

    bool FDown = false;
    bool FPopupUp = false;
    TRect DisableSkinRect;
    TRect DownRect;
    TMenuItem* MenuItem = nullptr;
};

class TbsSkinStdButtonObject : public TbsSkinButtonObject {
public:
    TbsSkinStdButtonObject(TbsSkinForm* AParent, TbsDataSkinObject* AData);

    bool PointInMask(int X, int Y) override;
    void ShowLayer() override;
    void HideLayer() override;
    bool CanMorphing() override;
    void Draw(TCanvas* Cnvs, bool UpDate) override;
    void DblClick() override;
    void MouseDown(int X, int Y, TMouseButton Button) override;
    void MouseUp(int X, int Y, TMouseButton Button) override;
    void MouseEnter() override;
    void DefaultDraw(TCanvas* Cnvs);
    void DoCommand();

    bool FSkinSupport = false;
    TbsStdCommand Command = cmDefault;
    TRect RestoreRect;
    TRect RestoreActiveRect;
    TRect RestoreInActiveRect;
    TRect RestoreDownRect;
    String RestoreHint;
    String FTempHint;

private:
    bool IconButton() const;
};
