#include "skin/core/TbsScreenFormsService.h"

#include "platform/ui/Forms.h"

bool TbsScreenFormsService::IsForm(TComponent* Component) const {
    return dynamic_cast<TCustomForm*>(Component) != nullptr;
}

std::vector<TComponent*> TbsScreenFormsService::Forms() const {
    std::vector<TComponent*> Result;
    if (!Screen)
        return Result;
    for (int I = 0; I < Screen->FormCount(); ++I)
        Result.push_back(Screen->Forms(I));
    return Result;
}

void TbsScreenFormsService::Send(TComponent* Form, unsigned Msg, std::uintptr_t WParam, std::intptr_t LParam) {
    auto* F = dynamic_cast<TCustomForm*>(Form);
    if (!F)
        return;
    // Reading the handle creates the window of a form that has none yet.
    SendMessageW(F->Handle(), Msg, WPARAM(WParam), LPARAM(LParam));
}

bool TbsScreenFormsService::IsLayeredBorderStrip(TComponent* Form) const {
    return LayeredBorderStripTest && LayeredBorderStripTest(Form);
}

TbsScreenFormsService& ScreenFormsService() {
    static TbsScreenFormsService Service;
    return Service;
}
