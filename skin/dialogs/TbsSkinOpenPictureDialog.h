// The skinned picture dialogs: the file dialog with a preview of the selected picture on the right (a scroll box
// behind a splitter, showing the picture at its own size or stretched over the preview by a tool button). The
// component remembers the preview's width and the stretch button's state between runs; the save dialog completes
// a typed name with the selected filter's extension.
#pragma once

#include "skin/dialogs/TbsSkinCustomOpenDialog.h"

#include "platform/ui/ExtCtrls.h"
#include "skin/controls/TbsSkinScrollBox.h"
#include "skin/controls/TbsSkinSplitter.h"
#include "skin/dialogs/TbsSkinOpenDialog.h"

class TbsOpenPictureDlgForm : public TbsOpenDlgForm {
    QV_CLASS_NAME(TbsOpenPictureDlgForm)
public:
    TbsOpenPictureDlgForm(TComponent* AOwner, bool ASaveMode, TbsSkinData* ACtrlSkinData, bool AToolButtonsTransparent);

    void StretchButtonClick(TObject* Sender);
    void FLVChange(TObject* Sender, TListItem* Item, TItemChange Change) override;

    // Loads a picture file into the preview. Whether or not it loads, an unstretched preview takes the picture's
    // size; a file the picture classes cannot read raises their error.
    void LoadPicture(const String& File);
    // Stretches the picture over the preview, or shows it at its own size again.
    void SetStretched(bool Value);

    TbsSkinPanel* ImagePanel = nullptr;
    TImage* Image = nullptr;
    TbsSkinScrollBox* ScrollBox = nullptr;
    TbsSkinScrollBar *SBVScrollBar = nullptr, *SBHScrollBar = nullptr;
    TbsSkinSpeedButton* StretchButton = nullptr;
    TbsSkinSplitter* Splitter = nullptr;

private:
    void FitToPicture();
    // The scroll box measures the picture again; the bars show or go.
    void UpdateScrollRange();
};

class TbsSkinOpenPictureDialog : public TbsSkinCustomOpenDialog {
    QV_CLASS_NAME(TbsSkinOpenPictureDialog)
public:
    explicit TbsSkinOpenPictureDialog(TComponent* AOwner);

    // True forces the stretch button down at every start.
    bool StretchPicture = false;
    // Width of the preview panel, rewritten after every run.
    int ImagePanelWidth = 190;
    // State of the stretch button at the end of the last run.
    bool DialogStretch = false;

    // A plain field: an open form is not touched.
    void SetFileName(const String& Value) { FFileName = Value; }
    // The form while Execute runs, else null.
    TbsOpenPictureDlgForm* Form() const { return static_cast<TbsOpenPictureDlgForm*>(FDlgFrm); }

protected:
    TbsOpenDlgForm* CreateForm() override;
    void PrepareForm(TbsOpenDlgForm* Form) override;
    void TakeResults(TbsOpenDlgForm* Form, bool Ok) override;

    bool FSaveMode = false;

private:
    void ShowStartPicture(TbsOpenPictureDlgForm* Form);
};

// The picture dialog in save mode.
class TbsSkinSavePictureDialog : public TbsSkinOpenPictureDialog {
    QV_CLASS_NAME(TbsSkinSavePictureDialog)
public:
    explicit TbsSkinSavePictureDialog(TComponent* AOwner);
};
