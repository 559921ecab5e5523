// What the file dialog and the picture dialogs share: their settings, the run of Execute (the form built, set up,
// shown modally, its state stored and the form freed whatever happens) and the steps that set the form up the same
// way in both. A descendant says which form it builds, and what it sets up and takes back besides.
#pragma once

#include "skin/dialogs/TbsSkinDialogComponent.h"

#include <memory>

#include "platform/base/Classes.h"
#include "platform/ui/ListViews.h"

class TbsOpenDlgForm;

class TbsSkinCustomOpenDialog : public TbsSkinDialogComponent {
public:
    explicit TbsSkinCustomOpenDialog(TComponent* AOwner);
    ~TbsSkinCustomOpenDialog() override;

    // True when the user accepted a file.
    bool Execute();

    bool ShowHiddenFiles = false;
    bool ToolButtonsTransparent = false;
    bool OverwritePromt = false;
    int DialogWidth = 0, DialogHeight = 0;
    int DialogMinWidth = 0, DialogMinHeight = 0;
    bool CheckFileExists = true;
    bool MultiSelection = false;
    bool AlphaBlend = false;
    Byte AlphaBlendValue = 225;
    bool AlphaBlendAnimation = false;
    bool CtrlAlphaBlend = false;
    Byte CtrlAlphaBlendValue = 225;
    bool CtrlAlphaBlendAnimation = false;
    String LVHeaderSkinDataName = u"resizebutton";
    String Title;
    String InitialDir;
    String Filter;
    int FilterIndex = 1;
    TViewStyle ListViewStyle = vsList;
    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

    const String& FileName() const { return FFileName; }
    TStringList* Files() const { return FFiles.get(); }

protected:
    // The form of a run, owned by the application object.
    virtual TbsOpenDlgForm* CreateForm() = 0;
    // Everything between building the form and showing it.
    virtual void PrepareForm(TbsOpenDlgForm* Form) = 0;
    // After the modal loop, whatever its result: the state kept for the next run and, on success, the choice.
    virtual void TakeResults(TbsOpenDlgForm* Form, bool Ok);

    // Caption, frame, translucency of the drop-downs and menus, default fonts, view style, start folder and the
    // list's settings.
    void SetUpForm(TbsOpenDlgForm* Form);
    // The filter box's filters, with filter number FilterIndex (counted from 1) selected.
    void SetUpFilter(TbsOpenDlgForm* Form);
    // The controls' skin data, in the order the form repaints them.
    void SkinControls(TbsOpenDlgForm* Form);
    // The client size: the stored one, else the given defaults, raised to the skinned frame's minimum.
    void SizeForm(TbsOpenDlgForm* Form, int DefaultWidth, int DefaultHeight);
    void FocusFirstItem(TbsOpenDlgForm* Form);
    // The folder the list starts in.
    String StartFolder() const;

    String FFileName;
    std::unique_ptr<TStringList> FFiles;
    // The form while Execute runs, else null.
    TbsOpenDlgForm* FDlgFrm = nullptr;
};
