// The file list box: the files of a directory that match a mask (patterns joined by ";"), and with the
// directory file type its folders as "[name]". A linked edit shows the selected name or the mask.
#pragma once

#include "skin/controls/TbsSkinListBox.h"
#include "skin/dialogs/bsFileCtrlPaths.h"

class TbsSkinDirectoryListBox;
class TbsSkinFilterComboBox;
class TCustomEdit;

enum TbsFileAttr { bsftReadOnly, bsftHidden, bsftSystem, bsftVolumeID, bsftDirectory, bsftArchive, bsftNormal };
using TbsFileType = TSet<TbsFileAttr, 7>;

class TbsSkinFileListBox : public TbsSkinListBox {
    QV_CLASS_NAME(TbsSkinFileListBox)
public:
    explicit TbsSkinFileListBox(TComponent* AOwner);
    ~TbsSkinFileListBox() override;

    const String& Directory() const { return FDirectory; }
    // EInOutError when the folder cannot be made current.
    void SetDirectory(const String& Value);
    String Drive() const { return MountPointOf(FDirectory); }
    void SetDrive(const String& Value);
    const String& Mask() const { return FMask; }
    void SetMask(const String& Value);
    TbsFileType FileType() const { return FFileType; }
    void SetFileType(TbsFileType Value);
    TCustomEdit* FileEdit() const { return FFileEdit; }
    void SetFileEdit(TCustomEdit* Value);
    // The selected file's full name; empty without a selection.
    virtual String GetFileName();
    void SetFileName(const String& Name);
    // Takes typed text: a directory goes to the linked directory list (or this list), a mask becomes Mask, a
    // file name is selected.
    virtual void ApplyFilePath(const String& EditText);
    // Reads the list again (the control's own Update repaints, as every control's does).
    void UpdateList();
    void Loaded() override;
    void ListBoxClick() override;

    TNotifyEvent OnChange;

protected:
    friend class TbsSkinDirectoryListBox;
    friend class TbsSkinFilterComboBox;
    virtual void Change();
    virtual void ListFiles();
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateWnd() override;

private:
    String SelectedName() const;
    void ShowInEdit();

    String FDirectory;
    String FMask = u"*.*";
    TbsFileType FFileType{bsftNormal};
    TCustomEdit* FFileEdit = nullptr;
    TbsSkinDirectoryListBox* FDirList = nullptr;
    TbsSkinFilterComboBox* FFilterCombo = nullptr;
    int FLastSel = -1;
};
