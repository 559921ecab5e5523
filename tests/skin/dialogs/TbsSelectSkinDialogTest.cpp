// The skin chooser over the main window's eight stored skins: the start selection and its miniature, a click and
// a double click on a name, OK and Cancel, names standing in for empty descriptions, the application's skin left
// alone, no list at all; pictures in two stored skins.
#include "skin/dialogs/TbsSelectSkinDialog.h"

#include "platform/win/WinExtras.h"
#include "resources/StoredSkins.h"
#include "skin/core/TbsCompressedStoredSkin.h"
#include "tests/skin/controls/GalleryFixture.h"
#include "tests/skin/dialogs/DialogFixture.h"

#include <gtest/gtest.h>

namespace {

// The main window's skins as a compressed skin list, the first one with a description of its own.
std::unique_ptr<TbsCompressedSkinList> MainWindowSkins() {
    auto List = std::make_unique<TbsCompressedSkinList>(nullptr);
    for (int I = 0; I < MainWindowSkinCount; ++I) {
        auto* Item = static_cast<TbsSkinListItem*>(List->Skins()->Add());
        Item->SetName(StoredSkin(I).Name);
        TMemoryStream Bytes;
        Bytes.WriteBuffer(StoredSkin(I).Data, static_cast<std::int64_t>(StoredSkin(I).Size));
        Item->Skin()->LoadFromCompressStream(&Bytes);
    }
    static_cast<TbsSkinListItem*>(List->Skins()->Items(0))->SetDescription(u"Jupiter");
    return List;
}

class SelectSkinTest : public dlgtest::DialogTest {
protected:
    void SetUp() override {
        dlgtest::DialogTest::SetUp();
        Skins = MainWindowSkins();
        AppSkin = std::make_unique<TbsSkinData>(nullptr);
        AppSkin->SetSkinList(Skins.get());
        AppSkin->SetSkinIndex(0);
        Dialog = std::make_unique<TbsSelectSkinDialog>(nullptr);
        Dialog->SetSkinList(Skins.get());
        Dialog->SetSkinData(AppSkin.get());
        Dialog->SetCtrlSkinData(AppSkin.get());
    }
    void TearDown() override {
        Dialog.reset();
        AppSkin.reset();
        Skins.reset();
        dlgtest::DialogTest::TearDown();
    }
    void WhenShown(std::function<void(TbsSelectSkinDlgForm*)> Act) {
        DialogTest::WhenShown<TbsSelectSkinDlgForm>(std::move(Act));
    }
    // The middle of a name in the list, on the screen.
    static TPoint NamePoint(TbsSelectSkinDlgForm* Form, int Index) {
        TListBox* List = Form->SkinsListBox->ListBox;
        const TRect R = List->ItemRect(Index);
        return List->ClientToScreen(Point((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2));
    }
    // The miniature's pixel at (X, Y) of the preview form's window.
    static COLORREF PreviewPixel(TbsSelectSkinDlgForm* Form, int X, int Y) {
        RECT R;
        GetWindowRect(Form->PreviewForm->Handle(), &R);
        return ScreenPixel(R.Left + X, R.Top + Y);
    }

    std::unique_ptr<TbsCompressedSkinList> Skins;
    std::unique_ptr<TbsSkinData> AppSkin;
    std::unique_ptr<TbsSelectSkinDialog> Dialog;
};

TEST_F(SelectSkinTest, TheStartSkinIsSelectedAndAClickedNameIsChosenWithOk) {
    std::vector<String> Names;
    int StartIndex = -1, PreviewIndex = -1, AppIndexWhileOpen = -1;
    COLORREF ButtonAtStart = 0, ButtonAfterClick = 0, CaptionAtStart = 0, CaptionAfterClick = 0;
    WhenShown([&](TbsSelectSkinDlgForm* Form) {
        for (int I = 0; I < Form->SkinsListBox->Items()->Count(); ++I)
            Names.push_back(Form->SkinsListBox->Items()->Strings(I));
        StartIndex = Form->SkinsListBox->ItemIndex();
        const TPoint ButtonMiddle = Point(Form->PreviewButton->Left() + 50, Form->PreviewButton->Top() + 5);
        TPoint InWindow = Form->PreviewForm->ClientToScreen(ButtonMiddle);
        RECT R;
        GetWindowRect(Form->PreviewForm->Handle(), &R);
        InWindow = Point(InWindow.X - R.Left, InWindow.Y - R.Top);
        ButtonAtStart = PreviewPixel(Form, InWindow.X, InWindow.Y);
        CaptionAtStart = PreviewPixel(Form, 110, 6);
        InjectClick(NamePoint(Form, 4).X, NamePoint(Form, 4).Y);
        Pump();
        PreviewIndex = Form->PreviewSkinData->SkinIndex();
        ButtonAfterClick = PreviewPixel(Form, InWindow.X, InWindow.Y);
        CaptionAfterClick = PreviewPixel(Form, 110, 6);
        AppIndexWhileOpen = AppSkin->SkinIndex();
        InjectKeyPress(VK_RETURN);
    });
    EXPECT_TRUE(Dialog->Execute(1));
    ASSERT_EQ(Names.size(), 8u);
    EXPECT_EQ(Names[0], u"Jupiter");
    EXPECT_EQ(Names[1], StoredSkin(1).Name) << "an empty description is listed by the name";
    EXPECT_EQ(StartIndex, 1);
    EXPECT_EQ(PreviewIndex, 4);
    EXPECT_NE(ButtonAtStart, ButtonAfterClick) << "the miniature is drawn in the clicked skin";
    EXPECT_NE(CaptionAtStart, CaptionAfterClick);
    EXPECT_EQ(AppIndexWhileOpen, 0);
    EXPECT_EQ(Dialog->SelectedSkinIndex(), 4);
    EXPECT_EQ(Dialog->Form(), nullptr);
    EXPECT_EQ(AppSkin->SkinIndex(), 0) << "the caller applies the choice";
}

TEST_F(SelectSkinTest, TheMiniatureIsDrawnLikeAFormInTheSameSkin) {
    // A form of the miniature's size with the same button, skinned by the application's skin data at skin 1.
    AppSkin->SetSkinIndex(1);
    TForm Reference(nullptr);
    Reference.SetBounds(0, 0, 220, 170);
    auto* Frame = new TbsSkinForm(&Reference);
    Frame->SetSkinData(AppSkin.get());
    Frame->PreviewMode = true;
    auto* Button = new TbsSkinButton(&Reference);
    Button->SetParent(&Reference);
    Button->SetBounds(20, 20, 100, 25);
    Button->SetCaption(u"Button");
    Button->SetSkinData(AppSkin.get());
    Reference.SetCaption(u"Preview");
    Reference.Show();
    Pump();
    RECT RefRect;
    GetWindowRect(Reference.Handle(), &RefRect);
    const TPoint Probes[] = {{110, 8}, {4, 60}};
    std::vector<COLORREF> Expected;
    for (TPoint P : Probes)
        Expected.push_back(ScreenPixel(RefRect.Left + P.X, RefRect.Top + P.Y));
    const TPoint ButtonPoint = Reference.ClientToScreen(Point(26, 36));
    Expected.push_back(ScreenPixel(ButtonPoint.X, ButtonPoint.Y));
    Reference.Hide();

    std::vector<COLORREF> Seen;
    WhenShown([&](TbsSelectSkinDlgForm* Form) {
        for (TPoint P : Probes)
            Seen.push_back(PreviewPixel(Form, P.X, P.Y));
        const TPoint B = Form->PreviewForm->ClientToScreen(Point(26, 36));
        Seen.push_back(ScreenPixel(B.X, B.Y));
        Form->SetModalResult(mrCancel);
    });
    EXPECT_FALSE(Dialog->Execute(1));
    EXPECT_EQ(Seen, Expected);
}

// The chooser's frame takes its translucency: layered at the value once it has faded in, or opaque.
TEST_F(SelectSkinTest, TheChooserIsAsTranslucentAsItsPropertiesAsk) {
    const struct {
        bool AlphaBlend, Animation;
        Byte Value;
        bool Layered;
    } Cases[] = {
        {true, true, 150, true}, {true, false, 90, true}, {false, true, 150, false}, {false, false, 150, false}};
    for (const auto& C : Cases) {
        Dialog->AlphaBlend = C.AlphaBlend;
        Dialog->AlphaBlendAnimation = C.Animation;
        Dialog->AlphaBlendValue = C.Value;
        bool Layered = false;
        BYTE Alpha = 0;
        WhenShown([&](TbsSelectSkinDlgForm* Form) {
            Wait(10);
            Layered = GetWindowLongW(Form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED;
            GetLayeredWindowAttributes(Form->Handle(), nullptr, &Alpha, nullptr);
            InjectKeyPress(VK_ESCAPE);
        });
        EXPECT_FALSE(Dialog->Execute(1));
        EXPECT_EQ(Layered, C.Layered) << C.AlphaBlend << C.Animation;
        if (C.Layered)
            EXPECT_EQ(Alpha, C.Value);
    }
}

TEST_F(SelectSkinTest, CancelDoubleClickAndNoList) {
    WhenShown([&](TbsSelectSkinDlgForm* Form) {
        InjectClick(NamePoint(Form, 2).X, NamePoint(Form, 2).Y);
        Pump();
        InjectKeyPress(VK_ESCAPE);
    });
    EXPECT_FALSE(Dialog->Execute(1));
    EXPECT_EQ(Dialog->SelectedSkinIndex(), -1);

    WhenShown([&](TbsSelectSkinDlgForm* Form) {
        const TPoint P = NamePoint(Form, 6);
        InjectClick(P.X, P.Y);
        InjectClick(P.X, P.Y);
        Pump();
        if (Form->ModalResult() == mrNone)
            Form->SetModalResult(mrCancel);
    });
    EXPECT_TRUE(Dialog->Execute(1));
    EXPECT_EQ(Dialog->SelectedSkinIndex(), 6);

    const int Forms = Screen->FormCount();
    Dialog->SetSkinList(nullptr);
    EXPECT_FALSE(Dialog->Execute(1));
    EXPECT_EQ(Screen->FormCount(), Forms);
    EXPECT_EQ(Dialog->SelectedSkinIndex(), 6) << "nothing shown, nothing changed";
}

TEST_F(SelectSkinTest, StoredSkinsOfTheOwnerAreOfferedWithTheDefaultSelected) {
    TComponent Owner(nullptr);
    auto* First = new TbsCompressedStoredSkin(&Owner);
    First->SetName(u"First");
    auto* Second = new TbsCompressedStoredSkin(&Owner);
    Second->SetName(u"Second");
    Second->SetDescription(u"The second");
    for (auto* S : {First, Second}) {
        TMemoryStream Bytes;
        Bytes.WriteBuffer(StoredSkin(2).Data, static_cast<std::int64_t>(StoredSkin(2).Size));
        S->LoadFromCompressStream(&Bytes);
    }
    auto* Chooser = new TbsSelectSkinDialog(&Owner);
    std::vector<String> Names;
    WhenShown([&](TbsSelectSkinDlgForm* Form) {
        for (int I = 0; I < Form->SkinsListBox->Items()->Count(); ++I)
            Names.push_back(Form->SkinsListBox->Items()->Strings(I));
        EXPECT_EQ(Form->SkinsListBox->ItemIndex(), 1);
        InjectClick(NamePoint(Form, 0).X, NamePoint(Form, 0).Y);
        Pump();
        InjectKeyPress(VK_RETURN);
    });
    EXPECT_TRUE(Chooser->Execute(Second));
    EXPECT_EQ(Names, (std::vector<String>{u"First", u"The second"}));
    EXPECT_EQ(Chooser->SelectedSkin(), First);
}

// Pictures for a person to look at: the chooser framed by two stored skins, started on skin 3.
class SelectSkinGallery : public ctltest::GalleryTest {};

TEST_P(SelectSkinGallery, TheChooserInTheSkin) {
    auto Skins = MainWindowSkins();
    TbsSelectSkinDialog Chooser(nullptr);
    Chooser.SetSkinList(Skins.get());
    Chooser.SetSkinData(Skin);
    Chooser.SetCtrlSkinData(Skin);
    Chooser.Title = u"软件皮肤";
    NewSheet(500, 320);
    Application->OnIdle = [&](TObject*) {
        auto* Form = dynamic_cast<TbsSelectSkinDlgForm*>(Screen->ActiveForm());
        if (!Form)
            return;
        Application->OnIdle = nullptr;
        Pump();
        const TRect R = Form->BoundsRect();
        PasteScreen(Point(R.Left, R.Top), std::min(R.Width(), 490), std::min(R.Height(), 310), 5, 5);
        Form->SetModalResult(mrCancel);
    };
    Chooser.Execute(3);
    Application->OnIdle = nullptr;
    SaveSheet("skinchooser");
}

INSTANTIATE_TEST_SUITE_P(Skins, SelectSkinGallery, ::testing::Values(1, 5));

} // namespace
