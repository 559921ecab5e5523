// The skin chooser: a small modal form with the stored skins' names on the left and a live miniature form on
// the right, framed and drawn with a skin data of its own into which the name last picked is loaded. The
// application's skin is never touched: after OK the caller reads the chosen index and applies it.
#pragma once

#include "skin/dialogs/TbsSkinDialogComponent.h"

#include <memory>
#include <vector>

#include "platform/ui/Forms.h"
#include "skin/controls/TbsSkinButton.h"
#include "skin/controls/TbsSkinListBox.h"
#include "skin/core/TbsSkinData.h"
#include "skin/forms/bsSkinForm.h"

class TbsSelectSkinDlgForm : public TForm {
    QV_CLASS_NAME(TbsSelectSkinDlgForm)
public:
    // List mode: the skins of ASkinList, starting at ASkinIndex.
    static TbsSelectSkinDlgForm* CreateEx2(TComponent* AOwner, TbsCompressedSkinList* ASkinList, int ASkinIndex,
                                           TbsSkinData* ACtrlSkinData);
    // Stored-skin mode: the stored skins owned by AForm, starting at ADefaultSkin when it is one of them.
    static TbsSelectSkinDlgForm* CreateEx(TComponent* AOwner, TComponent* AForm, TbsCompressedStoredSkin* ADefaultSkin,
                                          TbsSkinData* ACtrlSkinData);

    TbsCompressedStoredSkin* GetSelectedSkin() const { return PreviewSkinData->CompressedStoredSkin(); }
    void SLBOnChange(TObject* Sender);
    void SLBOnDblClick(TObject* Sender);

    TbsCompressedSkinList* FCSkinList = nullptr;
    int FCSkinIndex = -1;
    TbsSkinForm* BSF = nullptr;
    TbsSkinButton* OpenButton = nullptr;
    TbsSkinButton* CancelButton = nullptr;
    TForm* PreviewForm = nullptr;
    TbsSkinForm* PreviewBSF = nullptr;
    TbsSkinData* PreviewSkinData = nullptr;
    TbsSkinButton* PreviewButton = nullptr;
    TbsSkinListBox* SkinsListBox = nullptr;
    // Stored-skin mode only; the skins belong to their owner.
    std::vector<TbsCompressedStoredSkin*> SkinList;

private:
    TbsSelectSkinDlgForm(TComponent* AOwner, TbsSkinData* ACtrlSkinData);
    // Shows the preview form inside the chooser and gives the list the focus.
    void FinishLayout();
};

class TbsSelectSkinDialog : public TbsSkinDialogComponent {
    QV_CLASS_NAME(TbsSelectSkinDialog)
public:
    explicit TbsSelectSkinDialog(TComponent* AOwner);
    ~TbsSelectSkinDialog() override;

    // List mode over SkinList; false at once without a list.
    bool Execute(int SkinIndex);
    // Stored-skin mode over the stored skins of this component's owner.
    bool Execute(TbsCompressedStoredSkin* DefaultCompressedSkin);

    TbsCompressedSkinList* SkinList() const { return FSkinList; }
    void SetSkinList(TbsCompressedSkinList* Value);

    bool AlphaBlend = false;
    Byte AlphaBlendValue = 200;
    bool AlphaBlendAnimation = false;
    String Title = u"Select skin";

    TbsCompressedStoredSkin* SelectedSkin() const { return FSelectedSkin; }
    int SelectedSkinIndex() const { return FSelectedSkinIndex; }
    // The chooser while Execute runs, else null.
    TbsSelectSkinDlgForm* Form() const { return FForm; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // Frames, fonts and sizes the form, shows it modally and frees it; true on OK.
    bool Run(TbsSelectSkinDlgForm* Form);

    TbsCompressedSkinList* FSkinList = nullptr;
    TbsCompressedStoredSkin* FSelectedSkin = nullptr;
    int FSelectedSkinIndex = -1;
    TbsSelectSkinDlgForm* FForm = nullptr;
};
