// The directory picker: a skinned modal form built in code on every run, showing the shell namespace as a tree,
// optionally with a tool strip holding a path edit and a new-folder button. The chosen folder comes back in
// Directory, and the client size is remembered between runs.
#pragma once

#include "skin/dialogs/TbsSkinDialogComponent.h"

#include "platform/base/Classes.h"
#include "platform/ui/Forms.h"

#include <memory>

class TbsSkinData;
class TbsSkinForm;
class TbsSkinPanel;
class TbsSkinDirTreeView;
class TbsSkinScrollBar;
class TbsSkinButton;
class TbsSkinSpeedButton;
class TbsSkinEdit;
class TTreeNode;

class TbsSelDirDlgForm : public TForm {
    QV_CLASS_NAME(TbsSelDirDlgForm)
public:
    TbsSelDirDlgForm(TComponent* AOwner, TbsSkinData* ACtrlSkinData, bool AShowToolBar, bool AToolButtonsTransparent);
    ~TbsSelDirDlgForm() override;

    TbsSkinData* CtrlSD = nullptr;
    bool ShowToolBar = false;
    TbsSkinForm* BSF = nullptr;
    TbsSkinPanel* DirTreeViewPanel = nullptr;
    TbsSkinPanel* BottomPanel = nullptr;
    TbsSkinDirTreeView* DirTreeView = nullptr;
    TbsSkinScrollBar* VScrollBar = nullptr;
    TbsSkinScrollBar* HScrollBar = nullptr;
    TbsSkinButton* OkButton = nullptr;
    TbsSkinButton* CancelButton = nullptr;
    TbsSkinPanel* ToolPanel = nullptr;
    TbsSkinSpeedButton* NewFolderToolButton = nullptr;
    TbsSkinEdit* DirEdit = nullptr;

    // A text of the controls' skin, else the built-in one.
    String Text(const char16_t* Key, const char16_t* BuiltIn) const;

private:
    void DirTreeViewChange(TObject* Sender, TTreeNode* Node);
    void DirEditKeyPress(TObject* Sender, Char& Key);
    void NewFolderToolButtonClick(TObject* Sender);
};

class TbsSkinSelectDirectoryDialog : public TbsSkinDialogComponent {
    QV_CLASS_NAME(TbsSkinSelectDirectoryDialog)
public:
    explicit TbsSkinSelectDirectoryDialog(TComponent* AOwner);
    ~TbsSkinSelectDirectoryDialog() override;

    // True when the user closed the form with OK.
    bool Execute();
    // The form while Execute runs, else nil.
    TbsSelDirDlgForm* Form() const { return FForm; }

    bool ToolButtonsTransparent() const { return FToolButtonsTransparent; }
    void SetToolButtonsTransparent(bool Value) { FToolButtonsTransparent = Value; }
    int DialogWidth() const { return FDialogWidth; }
    void SetDialogWidth(int Value) { FDialogWidth = Value; }
    int DialogHeight() const { return FDialogHeight; }
    void SetDialogHeight(int Value) { FDialogHeight = Value; }
    int DialogMinWidth() const { return FDialogMinWidth; }
    void SetDialogMinWidth(int Value) { FDialogMinWidth = Value; }
    int DialogMinHeight() const { return FDialogMinHeight; }
    void SetDialogMinHeight(int Value) { FDialogMinHeight = Value; }
    // Kept for the frame; this frame draws no translucency yet.
    bool AlphaBlend() const { return FAlphaBlend; }
    void SetAlphaBlend(bool Value) { FAlphaBlend = Value; }
    BYTE AlphaBlendValue() const { return FAlphaBlendValue; }
    void SetAlphaBlendValue(BYTE Value) { FAlphaBlendValue = Value; }
    bool AlphaBlendAnimation() const { return FAlphaBlendAnimation; }
    void SetAlphaBlendAnimation(bool Value) { FAlphaBlendAnimation = Value; }
    const String& Title() const { return FTitle; }
    void SetTitle(const String& Value) { FTitle = Value; }
    const String& Directory() const { return FDirectory; }
    void SetDirectory(const String& Value) { FDirectory = Value; }
    bool ShowToolBar() const { return FShowToolBar; }
    void SetShowToolBar(bool Value) { FShowToolBar = Value; }

    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

private:
    bool FToolButtonsTransparent = false;
    int FDialogWidth = 0, FDialogHeight = 0;
    int FDialogMinWidth = 0, FDialogMinHeight = 0;
    bool FAlphaBlend = false;
    BYTE FAlphaBlendValue = 200;
    bool FAlphaBlendAnimation = false;
    String FTitle = u"Select folder";
    String FDirectory;
    bool FShowToolBar = false;
    TbsSelDirDlgForm* FForm = nullptr;
};
