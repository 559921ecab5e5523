#include "skin/forms/TbsClientInActivePanel.h"

#include "skin/core/bsBlur.h"

TbsClientInActivePanel::TbsClientInActivePanel(TComponent* AOwner) : TbsSkinControl(AOwner) {
    SetVisible(false);
}

TbsClientInActivePanel::~TbsClientInActivePanel() = default;

void TbsClientInActivePanel::Paint() {
    if (Buffer)
        Buffer->Draw(Canvas(), 0, 0);
}

void TbsClientInActivePanel::ShowPanel(TCustomForm* AForm, TbsClientInActiveEffect AEffect) {
    if (!AForm || !AForm->Visible() || AForm->ClientWidth() == 0 || AForm->ClientHeight() == 0)
        return;
    int W = AForm->ClientWidth(), H = AForm->ClientHeight();
    SetVisible(false);
    SetParent(AForm);
    SetBounds(0, 0, W, H);
    Buffer = std::make_unique<TbsBitmap>();
    Buffer->SetSize(W, H);
    // The client area as it shows now (read from the window, which keeps its update area as it was).
    HWND Wnd = AForm->Handle();
    HDC DC = GetDC(Wnd);
    BitBlt(Buffer->DC(), 0, 0, W, H, DC, 0, 0, SRCCOPY);
    ReleaseDC(Wnd, DC);
    if (AEffect == bsieBlur) {
        BlurBitmap(*Buffer, 3);
    } else {
        TbsBitmap Veil;
        Veil.SetSize(W, H);
        SendMessageW(Wnd, WM_ERASEBKGND, WPARAM(Veil.DC()), 0);
        Veil.SetAlphaBlend(true);
        Veil.SetAlpha(170);
        Veil.DrawToBitmap(*Buffer, 0, 0);
    }
    SetVisible(true);
}

void TbsClientInActivePanel::HidePanel() {
    SetVisible(false);
    Buffer.reset();
}

// ---------------------------------------------------------------------------------------------
// Lookups

TbsSkinForm* GetSkinForm(TCustomForm* AForm) {
    if (!AForm)
        return nullptr;
    for (int I = 0; I < AForm->ComponentCount(); ++I)
        if (auto* S = dynamic_cast<TbsSkinForm*>(AForm->Components(I)))
            return S;
    return nullptr;
}

TbsSkinForm* GetMaximizedMDIChildForm() {
    TCustomForm* Main = Application ? Application->MainForm() : nullptr;
    if (!Main)
        return nullptr;
    for (int I = 0; I < Main->MDIChildCount(); ++I)
        if (TbsSkinForm* S = GetSkinForm(Main->MDIChildren(I)); S && S->WindowState() == wsMaximized)
            return S;
    return nullptr;
}

TbsSkinForm* GetActiveMDIChildForm() {
    TCustomForm* Main = Application ? Application->MainForm() : nullptr;
    if (!Main)
        return nullptr;
    return GetSkinForm(Main->ActiveMDIChild());
}

namespace {

class TFormsSkinLookup : public TbsFormSkinLookup {
public:
    TbsSkinData* FormSkinData(TControl* Control) override {
        TbsSkinForm* S = GetSkinForm(GetParentForm(Control));
        return S ? S->SkinData() : nullptr;
    }
};

} // namespace

void RegisterFormSkinLookup() {
    static TFormsSkinLookup Lookup;
    SetFormSkinLookup(&Lookup);
}
