// The directory list box: the chain of folders from "/" down to the current directory (open folders, then the
// current one) followed by the current directory's subfolders (closed folders). Opening an item makes that
// folder the process's current directory and the list's Directory; a linked file list and label follow.
#pragma once

#include "skin/controls/TbsSkinListBox.h"
#include "skin/dialogs/bsFileCtrlPaths.h"

#include <memory>

class TbsSkinDriveComboBox;
class TbsSkinFileListBox;
class TbsSkinStdLabel;

class TbsSkinDirectoryListBox : public TbsSkinListBox {
    QV_CLASS_NAME(TbsSkinDirectoryListBox)
public:
    explicit TbsSkinDirectoryListBox(TComponent* AOwner);
    ~TbsSkinDirectoryListBox() override;

    const String& Directory() const { return FDirectory; }
    // EInOutError when the folder (or the one before it) cannot be made current.
    virtual void SetDirectory(const String& Value);
    // The mount point of the drive that holds Directory.
    String Drive() const;
    void SetDrive(const String& Value);
    String GetItemPath(int Index) const;
    void OpenCurrent();
    // Reads the list again (the control's own Update repaints, as every control's does).
    void UpdateList();
    String DisplayCase(const String& S) const;
    int FileCompareText(const String& A, const String& B) const;
    TbsSkinFileListBox* FileList() const { return FFileList; }
    void SetFileList(TbsSkinFileListBox* Value);
    TbsSkinStdLabel* DirLabel() const { return FDirLabel; }
    void SetDirLabel(TbsSkinStdLabel* Value);
    // The index of the current-folder item.
    int CurrentIndex() const;

    // The drive combo's choice of another drive.
    void DriveChange(const String& NewDrive);
    void Loaded() override;
    int GetItemWidth(int Index, TCanvas* Canvas) override;
    void ListBoxDblClick() override;
    void ListBoxKeyPress(Char& Key) override;

    TNotifyEvent OnChange;

    TBitmap* ClosedBitmap() const { return ClosedBMP.get(); }
    TBitmap* OpenedBitmap() const { return OpenedBMP.get(); }
    TBitmap* CurrentBitmap() const { return CurrentBMP.get(); }

protected:
    friend class TbsSkinDriveComboBox;
    friend class TbsSkinFileListBox;
    virtual void Change();
    virtual void LoadFolderBitmaps();
    virtual void BuildDirList();
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateWnd() override;

private:
    void ApplyDirectory(const String& Dir);
    void UpdateDirLabel();
    void DrawDirItem(TCanvas* Cnvs, int Index, int ItemWidth, int ItemHeight, TRect TxtRect, TOwnerDrawState State);
    int ItemIndent(int Index) const;

    TbsSkinFileListBox* FFileList = nullptr;
    TbsSkinDriveComboBox* FDriveCombo = nullptr;
    TbsSkinStdLabel* FDirLabel = nullptr;
    bool FInSetDir = false;
    // Linux file systems keep names as written and tell letter cases apart.
    bool FPreserveCase = true;
    bool FCaseSensitive = true;
    std::unique_ptr<TBitmap> ClosedBMP, OpenedBMP, CurrentBMP;
    String FDirectory;
};
