// The fixture of the modal dialogs' tests: runs a step on the dialog form once its modal loop idles, so a test
// can look at the shown form and drive it with injected input.
#pragma once

#include "platform/ui/Forms.h"
#include "tests/support/UiFixture.h"

#include <functional>

namespace dlgtest {

class DialogTest : public uitest::UiTest {
protected:
    void TearDown() override {
        Application->OnIdle = nullptr;
        uitest::UiTest::TearDown();
    }
    // Runs Act once on the active form of class F as soon as the modal loop idles with it shown.
    template <class F> void WhenShown(std::function<void(F*)> Act) {
        Application->OnIdle = [Act](TObject*) {
            auto* Form = dynamic_cast<F*>(Screen->ActiveForm());
            if (!Form)
                return;
            // Clearing the handler destroys this closure: run a copy.
            const std::function<void(F*)> Run = Act;
            Application->OnIdle = nullptr;
            Run(Form);
        };
    }
};

} // namespace dlgtest
