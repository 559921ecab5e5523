// A form built in code from nested panels, buttons, check boxes, radio buttons and labels, driven by
// injected clicks and keys on the headless screen; its picture is saved as build/artifacts/std_form.png.
#include "UiTestSupport.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "platform/win/WinExtras.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using StdFormTest = uitest::UiTest;

template <class T> T* Add(TWinControl* Parent, TComponent* Owner, int X, int Y, const String& Caption) {
    auto* C = new T(Owner);
    C->SetParent(Parent);
    C->SetLeft(X);
    C->SetTop(Y);
    C->SetCaption(Caption);
    return C;
}

TEST_F(StdFormTest, AFormOfStandardControlsAnswersClicksAndKeys) {
    auto Form = std::make_unique<TForm>(nullptr);
    TForm* F = Form.get();
    F->SetBounds(200, 150, 360, 260);
    F->SetCaption(u"Output settings");
    F->SetColor(clBtnFace);

    auto* Header = new TPanel(F);
    Header->SetParent(F);
    Header->SetHeight(34);
    Header->SetAlign(alTop);
    Header->SetAlignment(taLeftJustify);
    Header->SetCaption(u"  Profile: MP4 video");
    auto* Buttons = new TPanel(F);
    Buttons->SetParent(F);
    Buttons->SetHeight(41);
    Buttons->SetAlign(alBottom);
    Buttons->SetBevelOuter(bvNone);
    auto* Body = new TPanel(F);
    Body->SetParent(F);
    Body->SetAlign(alClient);
    Body->SetBevelOuter(bvLowered);
    Body->SetBorderWidth(4);
    auto* Streams = new TPanel(F);
    Streams->SetParent(Body);
    Streams->SetWidth(150);
    Streams->SetAlign(alLeft);
    Streams->SetBevelInner(bvLowered);

    auto* StreamsLabel = Add<TLabel>(Streams, F, 10, 8, u"Streams");
    auto* Audio = Add<TCheckBox>(Streams, F, 10, 30, u"&Audio");
    auto* Video = Add<TCheckBox>(Streams, F, 10, 52, u"&Video");
    Video->SetChecked(true);
    auto* Mp4 = Add<TRadioButton>(Streams, F, 10, 80, u"MP4");
    auto* Avi = Add<TRadioButton>(Streams, F, 10, 100, u"AVI");
    Mp4->SetChecked(true);
    auto* Note = Add<TLabel>(Body, F, 165, 14, u"Files go to the folder of the source.");
    Note->SetAutoSize(false);
    Note->SetWordWrap(true);
    Note->SetBounds(165, 14, 150, 60);
    auto* Ok = Add<TButton>(Buttons, F, 180, 8, u"OK");
    auto* Cancel = Add<TButton>(Buttons, F, 265, 8, u"Cancel");
    Ok->SetDefault(true);
    Ok->SetModalResult(mrOk);
    Cancel->SetCancel(true);
    Cancel->SetModalResult(mrCancel);
    ASSERT_EQ(StreamsLabel->Parent(), Streams);

    std::vector<std::string> Log;
    Ok->OnClick = [&](TObject*) { Log.push_back("ok"); };
    Cancel->OnClick = [&](TObject*) { Log.push_back("cancel"); };
    Audio->OnClick = [&](TObject*) { Log.push_back(Audio->Checked() ? "audio on" : "audio off"); };
    Avi->OnClick = [&](TObject*) { Log.push_back("avi"); };

    F->Show();
    Pump();
    // Nested alignment: the streams panel inside the body's bevel and border.
    EXPECT_EQ(Streams->BoundsRect(), Rect(5, 5, 155, Body->ClientHeight() - 5));

    uitest::ClickAt(Audio);
    Pump();
    EXPECT_TRUE(Audio->Checked());
    EXPECT_TRUE(Audio->Focused());
    // Space on the focused check box; Tab on to the next control.
    InjectKeyPress(VK_SPACE);
    Pump();
    EXPECT_FALSE(Audio->Checked());
    InjectKeyPress(VK_SPACE);
    Pump();
    // The radio group takes the arrows.
    uitest::ClickAt(Mp4);
    Pump();
    InjectKeyPress(VK_DOWN);
    Pump();
    EXPECT_TRUE(Avi->Checked());
    EXPECT_FALSE(Mp4->Checked());
    // Enter reaches the default button once, Escape the cancel button; each hands the form its result.
    InjectKeyPress(VK_RETURN);
    Pump();
    EXPECT_EQ(F->ModalResult(), mrOk);
    InjectKeyPress(VK_ESCAPE);
    Pump();
    EXPECT_EQ(F->ModalResult(), mrCancel);
    EXPECT_EQ(Log, (std::vector<std::string>{"audio on", "audio off", "audio on", "avi", "ok", "cancel"}));

    // The picture shows the ticks: Video's box has its tick in the window text colour.
    TPoint Tick = Video->ClientToScreen(TPoint{0, Video->Height() / 2});
    EXPECT_EQ(ScreenPixel(Tick.X + 6, Tick.Y + 2), RGB(0, 0, 0));
    std::filesystem::create_directories("artifacts");
    EXPECT_TRUE(SaveWindowToPng(F->Handle(), "artifacts/std_form.png"));
}

TEST_F(StdFormTest, ARightClickOpensAPanelsPopupMenuAndKeysChooseFromIt) {
    auto Form = std::make_unique<TForm>(nullptr);
    TForm* F = Form.get();
    F->SetBounds(100, 100, 300, 200);
    auto* Body = new TPanel(F);
    Body->SetParent(F);
    Body->SetAlign(alClient);
    auto* Menu = new TPopupMenu(F);
    std::vector<String> Log;
    for (const char16_t* Caption : {u"&Play", u"-", u"&Remove", u"Remove &all"}) {
        auto* Item = new TMenuItem(F);
        Item->SetCaption(Caption);
        Item->OnClick = [&Log, Item](TObject*) { Log.push_back(Item->Caption()); };
        Menu->Items()->Add(Item);
    }
    Menu->Items()->Items(2)->SetShortCut(ShortCut(VK_DELETE, {}));
    Menu->Items()->Items(2)->SetDefault(true);
    Body->SetPopupMenu(Menu);
    F->Show();
    Pump();

    uitest::ClickAt(Body, 1);
    Pump();
    ASSERT_NE(Menu->PopupWindow(), nullptr);
    EXPECT_EQ(Menu->PopupComponent(), Body);
    TPoint At = uitest::CentreOf(Body);
    EXPECT_EQ(Menu->PopupWindow()->Left(), At.X);
    EXPECT_EQ(Menu->PopupWindow()->Top(), At.Y);
    std::filesystem::create_directories("artifacts");
    EXPECT_TRUE(SaveWindowToPng(Menu->PopupWindow()->Handle(), "artifacts/std_popup_menu.png"));
    InjectKeyPress(VK_DOWN);
    InjectKeyPress(VK_DOWN);
    InjectKeyPress(VK_RETURN);
    Pump();
    EXPECT_EQ(Menu->PopupWindow(), nullptr);
    EXPECT_EQ(Log, std::vector<String>{u"&Remove"});
}

TEST_F(StdFormTest, TheMouseRestingOnAFormsCaptionLetsTheMessagesRunOut) {
    auto Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(100, 100, 300, 200);
    Form->Show();
    Pump();
    InjectMouseMove(150, 150);
    Pump();
    // From the client area onto the caption: one leave, not a leave that asks for the next.
    InjectMouseMove(150, 105);
    Pump();
    InjectMouseMove(150, 150);
    Pump();
    EXPECT_EQ(MouseControl(), Form.get());
}

} // namespace
