// The forms service of the class library: the skin-change messages reach the application's real forms, the
// screen's forms in the order they were made.
#pragma once

#include "skin/core/TbsSkinData.h"

#include <functional>

class TbsScreenFormsService : public TbsSkinFormsService {
public:
    bool IsForm(TComponent* Component) const override;
    std::vector<TComponent*> Forms() const override;
    void Send(TComponent* Form, unsigned Msg, std::uintptr_t WParam, std::intptr_t LParam) override;
    bool IsLayeredBorderStrip(TComponent* Form) const override;

    // Set by the form-skinning layer, which makes the layered border strips; none are known until it does.
    std::function<bool(TComponent* Form)> LayeredBorderStripTest;
};

// The service every skin data uses while no other one is registered.
TbsScreenFormsService& ScreenFormsService();
