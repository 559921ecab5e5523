// ExtCtrls: the class library's extra controls and its timer, in the classic look.
//
// TPanel (a container with bevels and a caption), TBevel (lines and boxes), TImage (a picture),
// TSplitter (drags the size of the aligned control beside it), TTimer (OnTimer every Interval
// milliseconds on the GUI thread, through a thread timer of the window layer; a timer may free itself,
// or be stopped or changed, inside its own OnTimer).
#pragma once

#include "platform/base/Classes.h"
#include "platform/gdi/Graphics.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"

#include <memory>

// ---------------------------------------------------------------------------------------------
// TPanel

enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };
using TBevelWidth = int;

class TCustomPanel : public TCustomControl {
    QV_CLASS_NAME(TCustomPanel)
public:
    explicit TCustomPanel(TComponent* AOwner);

    TPanelBevel BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TPanelBevel Value);
    TPanelBevel BevelInner() const { return FBevelInner; }
    void SetBevelInner(TPanelBevel Value);
    TBevelWidth BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(TBevelWidth Value);
    // Room between the outer and the inner bevel, in the panel's colour.
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // bsSingle: the classic sunken frame round the panel, outside its bevels (bsNone or bsSingle).
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);

    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    // Aligned children stay inside the bevels.
    void AdjustClientRect(TRect& Rect) override;

private:
    void BordersChanged();

    TPanelBevel FBevelOuter = bvRaised;
    TPanelBevel FBevelInner = bvNone;
    TBevelWidth FBevelWidth = 1;
    int FBorderWidth = 0;
    TAlignment FAlignment = taCenter;
    TBorderStyle FBorderStyle = bsNone;
};

class TPanel : public TCustomPanel {
    QV_CLASS_NAME(TPanel)
public:
    using TCustomPanel::TCustomPanel;
};

// The 3-D frame of panels and bevels: Width rings, top and left in TopColor, bottom and right (their
// corners included) in BottomColor; Rect shrinks by the frame.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

// ---------------------------------------------------------------------------------------------
// TBevel

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
    QV_CLASS_NAME(TBevel)
public:
    explicit TBevel(TComponent* AOwner);
    TBevelShape Shape() const { return FShape; }
    void SetShape(TBevelShape Value);
    TBevelStyle Style() const { return FStyle; }
    void SetStyle(TBevelStyle Value);

protected:
    void Paint() override;

private:
    TBevelShape FShape = bsBox;
    TBevelStyle FStyle = bsLowered;
};

// ---------------------------------------------------------------------------------------------
// TImage

class TImage : public TGraphicControl {
    QV_CLASS_NAME(TImage)
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;

    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
    // Stretch fills the control (keeping the picture's proportions with Proportional, which also
    // shrinks a picture too large); Center centres what is drawn.
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    // Where the picture goes, in client coordinates.
    TRect DestRect();
    // Drawing on the image's bitmap: an empty image first gets a bitmap of the control's size.
    // EInvalidOperation "Can only modify an image if it contains a bitmap" for another kind of picture.
    TCanvas* Canvas();

protected:
    void Paint() override;
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;

private:
    void PictureChanged(TObject* Sender);

    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false;
    bool FCenter = false;
    bool FProportional = false;
    bool FTransparent = false;
};

// ---------------------------------------------------------------------------------------------
// TSplitter: dragged with the left button, it sizes the control aligned like it on its near side
// (left of an alLeft splitter, above an alTop one ...), keeping that control and the space on the far
// side at least MinSize.

class TSplitter : public TGraphicControl {
    QV_CLASS_NAME(TSplitter)
public:
    explicit TSplitter(TComponent* AOwner);

    int MinSize() const { return FMinSize; }
    void SetMinSize(int Value) { FMinSize = Value < 1 ? 1 : Value; }
    bool Beveled() const { return FBeveled; }
    void SetBeveled(bool Value);
    // The control the splitter sizes now, or null.
    TControl* FindControl() const;

    // NewSize may be changed; false refuses the move.
    std::function<void(TObject* Sender, int& NewSize, bool& Accept)> OnCanResize;
    TNotifyEvent OnMoved;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    bool Horizontal() const { return Align() == alTop || Align() == alBottom; }
    int FreeSpace() const;

    int FMinSize = 30;
    bool FBeveled = false;
    TControl* FControl = nullptr;
    int FDownPos = 0;
    int FStartSize = 0;
    int FMaxSize = 0;
};

// ---------------------------------------------------------------------------------------------
// TScrollBox: a container whose children may lie beyond its client area. With AutoScroll the ranges
// follow the children's extent; a bar shows while its range passes the client size, drawn in the
// window's non-client area and driven by its arrows, its track, its thumb and the mouse wheel.

enum TScrollBarKind { sbHorizontal, sbVertical };
enum TScrollBoxBorderStyle { bsNoBorder, bsSingleBorder };

class TScrollBox;

class TControlScrollBar : public TPersistent {
public:
    TControlScrollBar(TScrollBox* AControl, TScrollBarKind AKind) : FControl(AControl), FKind(AKind) {}
    TScrollBarKind Kind() const { return FKind; }
    // 0 .. Range minus the client size.
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    int Range() const { return FRange; }
    // Setting a range switches AutoScroll's own ranges off for this bar.
    void SetRange(int Value);
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value) { FIncrement = Value < 1 ? 1 : Value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    // Shown now: visible, and the range passes the client size.
    bool IsScrollBarVisible() const { return FShown; }

private:
    friend class TScrollBox;
    TScrollBox* FControl;
    TScrollBarKind FKind;
    int FPosition = 0;
    int FRange = 0;
    int FIncrement = 8;
    bool FVisible = true;
    bool FShown = false;
    bool FFixedRange = false;
};

class TScrollBox : public TWinControl {
    QV_CLASS_NAME(TScrollBox)
public:
    explicit TScrollBox(TComponent* AOwner);
    ~TScrollBox() override;

    TControlScrollBar* HorzScrollBar() const { return FHorz.get(); }
    TControlScrollBar* VertScrollBar() const { return FVert.get(); }
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool Value);
    // bsSingleBorder: a sunken edge round the client area.
    TScrollBoxBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TScrollBoxBorderStyle Value);
    // Scrolls as little as needed for the child to show whole (its top-left corner first).
    void ScrollInView(TControl* AControl);
    // Ranges from the children, bars shown or hidden, positions kept inside the ranges.
    void UpdateScrollBars();

    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void AlignControls(TControl* AControl) override;
    // A child moved, sized, added, removed, shown or hidden: the ranges follow.
    void AlignControl(TControl* AControl) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;

private:
    friend class TControlScrollBar;
    // The bar's parts in window coordinates: the whole bar, its arrows and its thumb.
    struct TBarParts {
        RECT Bar, Back, Forward, Thumb;
    };
    bool BarParts(TControlScrollBar* Bar, TBarParts& Parts);
    int ClientExtent(TControlScrollBar* Bar);
    void ScrollTo(TControlScrollBar* Bar, int Position);
    void PaintBars();
    void NCLButtonDown(TMessage& Message);
    void DragThumb(TMessage& Message);
    void EndThumbDrag(TMessage& Message);

    std::unique_ptr<TControlScrollBar> FHorz;
    std::unique_ptr<TControlScrollBar> FVert;
    bool FAutoScroll = true;
    TScrollBoxBorderStyle FBorderStyle = bsSingleBorder;
    bool FUpdating = false;
    TControlScrollBar* FDragBar = nullptr;
    int FDragOffset = 0;
};

// ---------------------------------------------------------------------------------------------
// TTimer

class TTimer : public TComponent {
    QV_CLASS_NAME(TTimer)
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // Milliseconds; 0 stops the timer.
    Cardinal Interval() const { return FInterval; }
    void SetInterval(Cardinal Value);

    // Set or not, the timer runs while enabled with an interval: a handler assigned later takes the
    // next tick.
    TNotifyEvent OnTimer;

protected:
    virtual void Timer();

private:
    static void TimerProc(HWND, UINT, UINT_PTR Id, DWORD);
    void UpdateTimer();

    bool FEnabled = true;
    Cardinal FInterval = 1000;
    UINT_PTR FTimerId = 0;
};
