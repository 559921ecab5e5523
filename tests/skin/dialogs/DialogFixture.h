// The fixture of the modal dialogs' tests: runs a step on the dialog form once its modal loop idles, so a test
// can look at the shown form and drive it with injected input.
#pragma once

#include "platform/ui/Forms.h"
#include "tests/support/UiFixture.h"

#include <functional>

namespace dlgtest {

// Runs Act once on the active form of class F as soon as the modal loop idles with it shown. The caller clears
// Application->OnIdle at its end, in case the form never showed.
template <class F> void WhenShown(std::function<void(F*)> Act) {
    Application->OnIdle = [Act](TObject*) {
        auto* Form = dynamic_cast<F*>(Screen->ActiveForm());
        if (!Form)
            return;
        // Clearing the handler destroys this closure: run a copy.
        const std::function<void(F*)> Run = Act;
        Application->OnIdle = nullptr;
        Run(Form);
        // The loop waits for a message before it looks at a modal result set here: give it one.
        PostMessageW(Form->Handle(), WM_NULL, 0, 0);
    };
}

class DialogTest : public uitest::UiTest {
protected:
    void TearDown() override {
        Application->OnIdle = nullptr;
        uitest::UiTest::TearDown();
    }
    template <class F> void WhenShown(std::function<void(F*)> Act) { dlgtest::WhenShown<F>(std::move(Act)); }
};

} // namespace dlgtest
