#include "skin/controls/TbsSkinEdit.h"

#include "skin/controls/TbsSkinControl.h"

TbsSkinCustomEdit::TbsSkinCustomEdit(TComponent* AOwner) : TbsCustomEdit(AOwner) {
    FControlStyle += csOpaque;
    SetAutoSize(false);
    Font()->SetName(u"Arial");
    Font()->SetHeight(14);
    Font()->SetColor(clBlack);
    Font()->SetStyle({});
    FDefaultFont = std::make_unique<TFont>();
    FDefaultFont->Assign(Font());
    SetBorderStyle(bsNone);
    SetHeight(20);
    SetEditTransparent(true);
}

TbsSkinCustomEdit::~TbsSkinCustomEdit() = default;

void TbsSkinCustomEdit::SetSkinData(TbsSkinData* Value) {
    ReferToSkinData(this, FSD, Value);
}
void TbsSkinCustomEdit::ChangeSkinData() {}
void TbsSkinCustomEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TbsCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
}
void TbsSkinCustomEdit::Invalidate() {
    TbsCustomEdit::Invalidate();
}
void TbsSkinCustomEdit::Dispatch(TMessage& Message) {
    TbsCustomEdit::Dispatch(Message);
}
void TbsSkinCustomEdit::Loaded() {
    TbsCustomEdit::Loaded();
}
void TbsSkinCustomEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TbsCustomEdit::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSD)
        FSD = nullptr;
    if (Operation == opRemove && AComponent == FImages)
        FImages = nullptr;
}
void TbsSkinCustomEdit::CreateParams(TCreateParams& Params) {
    TbsCustomEdit::CreateParams(Params);
}
void TbsSkinCustomEdit::SetDefaultColor(TColor Value) {
    FDefaultColor = Value;
}
void TbsSkinCustomEdit::SetDefaultWidth(int Value) {
    FDefaultWidth = Value;
}
void TbsSkinCustomEdit::SetDefaultHeight(int Value) {
    FDefaultHeight = Value;
}
void TbsSkinCustomEdit::SetButtonMode(bool Value) {
    FButtonMode = Value;
}
void TbsSkinCustomEdit::SetImages(TCustomImageList* Value) {
    FImages = Value;
}
void TbsSkinCustomEdit::SetLeftImageIndex(int Value) {
    FLeftImageIndex = Value;
}
void TbsSkinCustomEdit::SetRightImageIndex(int Value) {
    FRightImageIndex = Value;
}
void TbsSkinCustomEdit::SetAlignment(TAlignment Value) {
    TbsCustomEdit::SetAlignment(Value);
}
void TbsSkinCustomEdit::PaintSkinTo(TCanvas*, int, int, const String&) {}
