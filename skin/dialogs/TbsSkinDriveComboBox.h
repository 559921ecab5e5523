// The drive combo box: the drives of the mount table, each as its mount point followed by its label in brackets
// and drawn with the glyph of its kind. Choosing one makes a linked directory list go there.
#pragma once

#include "skin/controls/TbsSkinComboBox.h"
#include "skin/dialogs/bsFileCtrlPaths.h"

#include <memory>
#include <vector>

class TbsSkinDirectoryListBox;

class TbsSkinDriveComboBox : public TbsSkinComboBox {
    QV_CLASS_NAME(TbsSkinDriveComboBox)
public:
    explicit TbsSkinDriveComboBox(TComponent* AOwner);
    ~TbsSkinDriveComboBox() override;

    // The selected drive's mount point; empty for none.
    const String& Drive() const { return FDrive; }
    void SetDrive(const String& Value);
    TTextCase TextCase() const { return FTextCase; }
    void SetTextCase(TTextCase Value);
    TbsSkinDirectoryListBox* DirList() const { return FDirList; }
    void SetDirList(TbsSkinDirectoryListBox* Value);
    // The mount point of item Index.
    String ItemDrive(int Index) const;

    virtual void BuildDriveList();
    void Loaded() override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateWnd() override;

private:
    void DriveSelected(TObject* Sender);
    void DrawDriveItem(TCanvas* Cnvs, int Index, int ItemWidth, int ItemHeight, TRect TxtRect, TOwnerDrawState State);

    TbsSkinDirectoryListBox* FDirList = nullptr;
    String FDrive;
    TTextCase FTextCase = tcLowerCase;
    std::vector<String> FDrives; // the mount point of each item
    std::unique_ptr<TBitmap> FloppyBMP, FixedBMP, NetworkBMP, CDROMBMP, RAMBMP;
};
