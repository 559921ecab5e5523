// A shown form at (100, 100), 300 x 200 unless a test asks otherwise, with a form-skinning component, on the
// tests' clock; a recorder of what reaches the form's previous window procedure.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <vector>

#include "platform/ui/Forms.h"
#include "platform/win/WinExtras.h"
#include "skin/forms/bsSkinForm.h"
#include "tests/platform/ui/UiTestSupport.h"

namespace formtest {

class SkinFormTest : public uitest::UiTest {
protected:
    void SetUp() override {
        uitest::UiTest::SetUp();
        SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, 1, nullptr, 0);
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(100, 100, 300, 200);
        Form->SetCaption(u"Skinned");
        // What reaches the procedure the component replaces.
        TWndMethod Previous = Form->WindowProc();
        Form->SetWindowProc([this, Previous](TMessage& M) {
            if (Watched.count(M.Msg)) {
                Reached.push_back(M.Msg);
                ReachedMessages.push_back(M);
            }
            Previous(M);
        });
        Skin = new TbsSkinForm(Form.get());
        Form->Show();
        Pump();
    }
    void TearDown() override {
        Form.reset();
        uitest::UiTest::TearDown();
    }
    int CountReached(UINT Msg) const { return int(std::count(Reached.begin(), Reached.end(), Msg)); }
    // The window's client rectangle in window coordinates.
    TRect ClientInWindow() {
        RECT C, W;
        GetClientRect(Form->Handle(), &C);
        POINT O{0, 0};
        ClientToScreen(Form->Handle(), &O);
        GetWindowRect(Form->Handle(), &W);
        return TRect{O.X - W.Left, O.Y - W.Top, O.X - W.Left + C.Right, O.Y - W.Top + C.Bottom};
    }
    // The hit code of a window point as the system asks for it.
    LRESULT HitAt(int X, int Y) {
        return SendMessageW(Form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(Form->Left() + X, Form->Top() + Y));
    }
    TColor WindowPixel(int X, int Y) { return TColor(ScreenPixel(Form->Left() + X, Form->Top() + Y)); }
    void MouseAt(int X, int Y) {
        InjectMouseMove(Form->Left() + X, Form->Top() + Y);
        Pump();
    }

    std::unique_ptr<TForm> Form;
    TbsSkinForm* Skin = nullptr;
    std::set<UINT> Watched;
    std::vector<UINT> Reached;
    std::vector<TMessage> ReachedMessages;
};

} // namespace formtest
