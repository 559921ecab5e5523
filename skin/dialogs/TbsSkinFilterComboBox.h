// The filter combo box: the descriptions of a filter of "description|mask|description|mask" pairs; choosing
// one gives a linked file list its mask.
#pragma once

#include "skin/controls/TbsSkinComboBox.h"

#include <memory>

class TbsSkinFileListBox;

class TbsSkinFilterComboBox : public TbsSkinComboBox {
    QV_CLASS_NAME(TbsSkinFilterComboBox)
public:
    explicit TbsSkinFilterComboBox(TComponent* AOwner);
    ~TbsSkinFilterComboBox() override;

    const String& Filter() const { return FFilter; }
    void SetFilter(const String& Value);
    // The selected filter's mask; with nothing selected the last filter is selected first; "*.*" for an empty
    // list.
    String Mask();
    TbsSkinFileListBox* FileList() const { return FFileList; }
    void SetFileList(TbsSkinFileListBox* Value);
    TStrings* Masks() const { return MaskList.get(); }

    void Change() override;
    void Click() override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateWnd() override;

private:
    friend class TbsSkinFileListBox;
    void BuildFilterList();

    String FFilter = u"All files (*.*)|*.*";
    TbsSkinFileListBox* FFileList = nullptr;
    std::unique_ptr<TStringList> MaskList = std::make_unique<TStringList>();
};
