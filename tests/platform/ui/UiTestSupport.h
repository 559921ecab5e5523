// Helpers of the class library's tests: the fixtures of tests/support, a button that answers the dialog keys as a push
// button does, and a recorder of the messages a control receives.
#pragma once

#include "platform/ui/Forms.h"
#include "platform/win/WinExtras.h"
#include "tests/platform/ui/UiTestFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace uitest {

// Records "<name>:<what>" for the watched messages a control receives, through its WindowProc.
class TRecorder {
public:
    std::vector<std::string> Log;
    void Watch(TControl* Control, const std::string& Name, const std::set<UINT>& Messages) {
        TWndMethod Previous = Control->WindowProc();
        Control->SetWindowProc([this, Name, Messages, Previous](TMessage& M) {
            if (Messages.count(M.Msg))
                Log.push_back(Name + ":" + What(M.Msg));
            Previous(M);
        });
    }
    std::vector<std::string> Take() {
        std::vector<std::string> L;
        L.swap(Log);
        return L;
    }
    static std::string What(UINT Msg) {
        switch (Msg) {
        case CM_MOUSEENTER:
            return "enter";
        case CM_MOUSELEAVE:
            return "leave";
        case CM_ENTER:
            return "CM_ENTER";
        case CM_EXIT:
            return "CM_EXIT";
        case CM_CANCELMODE:
            return "CM_CANCELMODE";
        default:
            return std::to_string(Msg);
        }
    }
};

// A push button for the tests: Enter clicks it when it is the default (or focused) one, Escape when it
// is the cancel one; its click sets the form's ModalResult.
class TTestButton : public TCustomControl {
public:
    explicit TTestButton(TComponent* AOwner) : TCustomControl(AOwner) {
        SetTabStop(true);
        SetBounds(0, 0, 75, 25);
    }
    bool Default = false;
    bool Cancel = false;
    TModalResult Result = mrNone;
    int Clicks = 0;

    void Dispatch(TMessage& M) override {
        switch (M.Msg) {
        case CM_DIALOGKEY:
            if (((M.WParam == VK_RETURN && FActive) || (M.WParam == VK_ESCAPE && Cancel)) && CanFocus()) {
                Click();
                M.Result = 1;
                return;
            }
            break;
        case CM_FOCUSCHANGED: {
            auto* Focused = reinterpret_cast<TControl*>(M.LParam);
            FActive = Focused == this || (Default && !dynamic_cast<TTestButton*>(Focused));
            break;
        }
        case WM_GETDLGCODE:
            M.Result = FActive ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
            return;
        }
        TCustomControl::Dispatch(M);
    }

protected:
    void Click() override {
        ++Clicks;
        if (Result != mrNone)
            GetParentForm(this)->SetModalResult(Result);
        TCustomControl::Click();
    }

private:
    bool FActive = false;
};

// The centre of a control on the screen.
inline TPoint CentreOf(TControl* C) {
    return C->ClientToScreen(TPoint{C->Width() / 2, C->Height() / 2});
}

inline void ClickAt(TControl* C, int Button = 0) {
    TPoint P = CentreOf(C);
    InjectClick(P.X, P.Y, Button);
}

} // namespace uitest
