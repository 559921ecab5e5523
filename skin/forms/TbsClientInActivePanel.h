// The inactive-client panel (a frozen, blurred or veiled picture over an inactive form's client area) and the
// lookups of the form-skinning component that belongs to a form, to the maximized or to the active MDI child.
#pragma once

#include <memory>

#include "platform/ui/Forms.h"
#include "skin/controls/bsSkinCtrls.h"
#include "skin/core/TbsBitmap.h"
#include "skin/forms/TbsSkinForm.h"

class TbsClientInActivePanel : public TbsSkinControl {
    QV_CLASS_NAME(TbsClientInActivePanel)
public:
    // Hidden, without a picture.
    explicit TbsClientInActivePanel(TComponent* AOwner);
    ~TbsClientInActivePanel() override;

    // Covers AForm's client area with its picture in the effect's look; nothing for a hidden form or an empty
    // client area.
    void ShowPanel(TCustomForm* AForm, TbsClientInActiveEffect AEffect);
    void HidePanel();

    std::unique_ptr<TbsBitmap> Buffer;

protected:
    void Paint() override;
};

// The first form-skinning component the form owns, in component order; null for no form or none.
TbsSkinForm* GetSkinForm(TCustomForm* AForm);
// The component of the first MDI child of the main form (index order) whose component is maximized.
TbsSkinForm* GetMaximizedMDIChildForm();
// The component of the main form's active MDI child.
TbsSkinForm* GetActiveMDIChildForm();

// Lets the skinned controls find the skin data of their form's component.
void RegisterFormSkinLookup();
