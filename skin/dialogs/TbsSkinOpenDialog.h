// The skinned file dialog: a component holding the dialog's settings whose Execute builds a modal form in code
// (look-in box and tool strip, the folder's list, the name edit and the filter box), lets the user browse the
// shell namespace, copies the chosen file or files back and frees the form. The component remembers the
// client size, the list's view style and the chosen filter between runs. The form also has a save mode.
#pragma once

#include "skin/dialogs/TbsSkinCustomOpenDialog.h"

#include <memory>
#include <vector>

#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "skin/controls/TbsSkinBevel.h"
#include "skin/controls/TbsSkinButton.h"
#include "skin/controls/TbsSkinEdit.h"
#include "skin/controls/TbsSkinMenuSpeedButton.h"
#include "skin/controls/TbsSkinPanel.h"
#include "skin/controls/TbsSkinScrollBar.h"
#include "skin/controls/TbsSkinSpeedButton.h"
#include "skin/controls/TbsSkinStdLabel.h"
#include "skin/controls/TbsSkinToolBar.h"
#include "skin/dialogs/TbsCustomShellComboBox.h"
#include "skin/dialogs/TbsCustomShellListView.h"
#include "skin/dialogs/TbsSkinFilterComboBox.h"
#include "skin/forms/bsSkinForm.h"
#include "skin/forms/bsSkinMenus.h"

class TbsOpenDlgForm : public TForm {
    QV_CLASS_NAME(TbsOpenDlgForm)
public:
    TbsOpenDlgForm(TComponent* AOwner, bool ASaveMode, TbsSkinData* ACtrlSkinData, bool AToolButtonsTransparent);
    ~TbsOpenDlgForm() override;

    void BackToolButtonClick(TObject* Sender);
    void UpToolButtonClick(TObject* Sender);
    void NewFolderToolButtonClick(TObject* Sender);
    void IconItemClick(TObject* Sender);
    void SmallIconItemClick(TObject* Sender);
    void ListItemClick(TObject* Sender);
    void ReportItemClick(TObject* Sender);
    // The picture dialogs' form also shows the selected picture.
    virtual void FLVChange(TObject* Sender, TListItem* Item, TItemChange Change);
    void FLVPathChange(TObject* Sender);
    void FLVDBLClick(TObject* Sender);
    void FLVKeyPress(TObject* Sender, Char& Key);
    void EditKeyPress(TObject* Sender, Char& Key);
    void FCBChange(TObject* Sender);
    void OpenButtonClick(TObject* Sender);
    void InitHistory();

    // The default extension ("." and the extension, or empty) and the selected filter's extension.
    String GetDefaultExt();
    String GetFilterExt();
    // The shown folder's path with a trailing separator.
    String FolderPrefix() const;

    bool SaveMode = false;
    std::vector<LPITEMIDLIST> FolderHistory;
    bool StopAddToHistory = false;
    TbsSkinData* CtrlSD = nullptr;
    int NewFolderCount = 0;
    String DefaultExt;
    bool OverwritePromt = false;
    String FileName;
    TbsSkinForm* BSF = nullptr;
    TbsSkinPanel *FileListViewPanel = nullptr, *BottomPanel = nullptr;
    TbsSkinScrollBar *FLVHScrollBar = nullptr, *FLVVScrollBar = nullptr;
    TbsSkinFileListView* FileListView = nullptr;
    TbsSkinEdit* FileNameEdit = nullptr;
    TbsSkinFilterComboBox* FilterComboBox = nullptr;
    TbsSkinShellComboBox* ShellBox = nullptr;
    TbsSkinButton *OpenButton = nullptr, *CancelButton = nullptr;
    TbsSkinStdLabel *Drivelabel = nullptr, *OpenFileLabel = nullptr, *FileTypeLabel = nullptr;
    TbsSkinToolBar* ToolPanel = nullptr;
    TbsSkinSpeedButton *NewFolderToolButton = nullptr, *UpToolButton = nullptr, *BackToolButton = nullptr;
    TbsSkinMenuSpeedButton* StyleToolButton = nullptr;
    TbsSkinPopupMenu* StylePopupMenu = nullptr;
    TMenuItem *IconMenuItem = nullptr, *SmallIconMenuItem = nullptr, *ReportMenuItem = nullptr, *ListMenuItem = nullptr;
    TNotifyEvent OnFolderChange;
    bool CheckFileExists = true;

protected:
    // A caption or hint from the controls' string table, else the built-in text.
    String Text(const char16_t* Key, const char16_t* BuiltIn) const;

private:
    // Asks whether the existing file may be overwritten; true on OK.
    bool ConfirmOverwrite();
    void CheckStyleItem(TMenuItem* Item);
    void FocusFirstItem();
};

class TbsSkinOpenDialog : public TbsSkinCustomOpenDialog {
    QV_CLASS_NAME(TbsSkinOpenDialog)
public:
    explicit TbsSkinOpenDialog(TComponent* AOwner);

    String GetSelectedFile() const;

    String DefaultExt;
    TNotifyEvent OnFolderChange;

    // While the form is open the name also goes, unchanged, into its name edit.
    void SetFileName(const String& Value);
    // The form while Execute runs, else null.
    TbsOpenDlgForm* Form() const { return FDlgFrm; }

protected:
    // The form of a run: open mode here.
    TbsOpenDlgForm* CreateForm() override;
    void PrepareForm(TbsOpenDlgForm* Form) override;
};
