#include "skin/controls/TbsSkinComboBox.h"

#include "skin/core/TbsDataSkinControl.h"
#include "skin/core/TbsSkinData.h"

TbsPopupListBox::TbsPopupListBox(TComponent* AOwner) : TbsSkinListBox(AOwner) {
    FControlStyle += csAcceptsControls;
    FControlStyle += csNoDesignVisible;
    FControlStyle += csReplicatable;
    SetCtl3D(false);
    SetParentCtl3D(false);
    SetVisible(false);
}

void TbsPopupListBox::CreateParams(TCreateParams& Params) {
    TbsSkinListBox::CreateParams(Params);
    Params.Style = WS_POPUP | WS_CLIPCHILDREN;
    Params.ExStyle = WS_EX_TOOLWINDOW;
    Params.WindowClass.style = CS_SAVEBITS;
}

void TbsPopupListBox::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_MOUSEACTIVATE) {
        Message.Result = MA_NOACTIVATE;
        return;
    }
    TbsSkinListBox::Dispatch(Message);
}

void TbsPopupListBox::Show(TPoint Origin) {
    SetWindowPos(Handle(), HWND_TOP, Origin.X, Origin.Y, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
    SetVisible(true);
}

void TbsPopupListBox::Hide() {
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetVisible(false);
}

void TbsPopupListBox::ApplyAlphaBlend() {}
void TbsPopupListBox::FadeIn() {}

TbsSkinCustomComboBox::TbsSkinCustomComboBox(TComponent* AOwner) : TbsSkinCustomControl(AOwner) {
    SetTabStop(true);
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csOpaque, csDoubleClicks, csReplicatable};
    SetBounds(Left(), Top(), 120, 20);
    FListBox = new TbsPopupListBox(this);
    FListBox->SetVisible(false);
    CalcRects();
    FSkinDataName = u"combobox";
}

TbsSkinCustomComboBox::~TbsSkinCustomComboBox() {
    delete FEdit;
    FEdit = nullptr;
    delete FListBox;
    FListBox = nullptr;
}

void TbsSkinCustomComboBox::SetItemIndex(int Value) {
    FListBox->SetItemIndex(Value);
    int I = FListBox->ItemIndex();
    if (Items()->Count() > 0 && I >= 0)
        SetText(Items()->Strings(I));
    FOldItemIndex = I;
    if (!FEdit)
        Repaint();
    if (!ComponentState().Contains(csDesigning) && !ComponentState().Contains(csLoading)) {
        if (OnClick)
            OnClick(this);
        Change();
    }
}

void TbsSkinCustomComboBox::SetStyle(TbsSkinCustomComboBoxStyle Value) {
    FStyle = Value;
}
void TbsSkinCustomComboBox::SetDropDownCount(int Value) {
    if (Value > 0)
        FDropDownCount = Value;
}
void TbsSkinCustomComboBox::SetCharCase(TEditCharCase Value) {
    FCharCase = Value;
}
void TbsSkinCustomComboBox::SetDefaultColor(TColor Value) {
    FDefaultColor = Value;
}
void TbsSkinCustomComboBox::SetToolButtonStyle(bool Value) {
    FToolButtonStyle = Value;
}
void TbsSkinCustomComboBox::SetImages(TCustomImageList* Value) {
    FListBox->SetImages(Value);
}
void TbsSkinCustomComboBox::SetImageIndex(int Value) {
    FListBox->SetImageIndex(Value);
}
int TbsSkinCustomComboBox::SelStart() {
    return FEdit ? FEdit->SelStart() : 0;
}
void TbsSkinCustomComboBox::SetSelStart(int Value) {
    if (FEdit)
        FEdit->SetSelStart(Value);
}
int TbsSkinCustomComboBox::SelLength() {
    return FEdit ? FEdit->SelLength() : 0;
}
void TbsSkinCustomComboBox::SetSelLength(int Value) {
    if (FEdit)
        FEdit->SetSelLength(Value);
}
void TbsSkinCustomComboBox::DropDown() {}
void TbsSkinCustomComboBox::CloseUp(bool) {}
bool TbsSkinCustomComboBox::IsPopupVisible() const {
    return FListBox && FListBox->Visible();
}
bool TbsSkinCustomComboBox::CanCancelDropDown() const {
    return IsPopupVisible() && !FMouseIn;
}
void TbsSkinCustomComboBox::PaintSkinTo(TCanvas*, int, int, const String&) {}
void TbsSkinCustomComboBox::EditWndProc(TMessage& Message) {
    if (FEditWindowProc)
        FEditWindowProc(Message);
}
void TbsSkinCustomComboBox::CreateEditControl() {}
void TbsSkinCustomComboBox::Invalidate() {
    TbsSkinCustomControl::Invalidate();
}
void TbsSkinCustomComboBox::GetSkinData() {
    TbsSkinCustomControl::GetSkinData();
}
void TbsSkinCustomComboBox::ChangeSkinData() {
    TbsSkinCustomControl::ChangeSkinData();
}
void TbsSkinCustomComboBox::DefaultFontChanged() {}
void TbsSkinCustomComboBox::CalcSize(int& W, int& H) {
    TbsSkinCustomControl::CalcSize(W, H);
}
void TbsSkinCustomComboBox::SetControlRegion() {
    if (FUseSkinSize)
        TbsSkinCustomControl::SetControlRegion();
}
void TbsSkinCustomComboBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
        CMTextChanged(Message);
        return;
    }
    TbsSkinCustomControl::Dispatch(Message);
}
void TbsSkinCustomComboBox::CMTextChanged(TMessage& Message) {
    // Only a text that differs arrives here: the change runs inside the write that caused it.
    TbsSkinCustomControl::Dispatch(Message);
    if (OnChange)
        OnChange(this);
}
void TbsSkinCustomComboBox::Notification(TComponent* AComponent, TOperation Operation) {
    TbsSkinCustomControl::Notification(AComponent, Operation);
}
void TbsSkinCustomComboBox::CreateControlDefaultImage(TBitmap* B) {
    TbsSkinCustomControl::CreateControlDefaultImage(B);
}
void TbsSkinCustomComboBox::CreateControlSkinImage(TBitmap* B) {
    TbsSkinCustomControl::CreateControlSkinImage(B);
}
void TbsSkinCustomComboBox::KeyDown(Word& Key, TShiftState Shift) {
    TbsSkinCustomControl::KeyDown(Key, Shift);
}
void TbsSkinCustomComboBox::KeyPress(Char& Key) {
    TbsSkinCustomControl::KeyPress(Key);
}
void TbsSkinCustomComboBox::MouseDown(TMouseButton B, TShiftState S, int X, int Y) {
    TbsSkinCustomControl::MouseDown(B, S, X, Y);
}
void TbsSkinCustomComboBox::MouseMove(TShiftState S, int X, int Y) {
    TbsSkinCustomControl::MouseMove(S, X, Y);
}
void TbsSkinCustomComboBox::MouseUp(TMouseButton B, TShiftState S, int X, int Y) {
    TbsSkinCustomControl::MouseUp(B, S, X, Y);
}
void TbsSkinCustomComboBox::CalcRects() {
    Button.R = TRect(Width() - 19, 2, Width() - 2, Height() - 2);
    CBItem.R = TRect(2, 2, Button.R.Left - 1, Height() - 2);
}
