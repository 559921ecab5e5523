#include "skin/dialogs/TbsSkinFilterComboBox.h"

#include "skin/dialogs/TbsSkinFileListBox.h"

TbsSkinFilterComboBox::TbsSkinFilterComboBox(TComponent* AOwner) : TbsSkinComboBox(AOwner) {}

TbsSkinFilterComboBox::~TbsSkinFilterComboBox() {
    SetFileList(nullptr);
}

void TbsSkinFilterComboBox::BuildFilterList() {
    Items()->Clear();
    MaskList->Clear();
    String Rest = FFilter;
    // Pairs of description and mask; a description without a mask after it is dropped.
    for (;;) {
        const std::size_t Bar = Rest.find(u'|');
        if (Bar == String::npos)
            break;
        const String Description = Rest.substr(0, Bar);
        Rest = Rest.substr(Bar + 1);
        const std::size_t Next = Rest.find(u'|');
        MaskList->Add(Rest.substr(0, Next));
        Items()->Add(Description);
        if (Next == String::npos)
            break;
        Rest = Rest.substr(Next + 1);
    }
    SetItemIndex(0);
}

void TbsSkinFilterComboBox::SetFilter(const String& Value) {
    if (Value == FFilter)
        return;
    FFilter = Value;
    if (HandleAllocated())
        BuildFilterList();
    Change();
}

String TbsSkinFilterComboBox::Mask() {
    if (ItemIndex() < 0 && Items()->Count() > 0)
        SetItemIndex(Items()->Count() - 1);
    const int I = ItemIndex();
    if (I < 0 || I >= MaskList->Count())
        return u"*.*";
    return MaskList->Strings(I);
}

void TbsSkinFilterComboBox::Change() {
    if (FFileList)
        FFileList->SetMask(Mask());
    TbsSkinComboBox::Change();
}

void TbsSkinFilterComboBox::Click() {
    TbsSkinComboBox::Click();
    Change();
}

void TbsSkinFilterComboBox::SetFileList(TbsSkinFileListBox* Value) {
    if (FFileList == Value)
        return;
    if (FFileList) {
        FFileList->FFilterCombo = nullptr;
        FFileList->RemoveFreeNotification(this);
    }
    FFileList = Value;
    if (Value) {
        Value->FFilterCombo = this;
        Value->FreeNotification(this);
    }
}

void TbsSkinFilterComboBox::Notification(TComponent* AComponent, TOperation Operation) {
    TbsSkinComboBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFileList)
        FFileList = nullptr;
}

void TbsSkinFilterComboBox::CreateWnd() {
    TbsSkinComboBox::CreateWnd();
    BuildFilterList();
}
