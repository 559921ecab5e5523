// The main window's open-file dialog over a folder of clips with Chinese names, driven inside its modal loop:
// the 42 filters of the filter box and the files each one lists, and two clips picked with the mouse coming back
// as the dialog's file name and list.
#include "AppFixture.h"

#include <algorithm>
#include <vector>

#include "platform/win/WinExtras.h"
#include "skin/dialogs/TbsSkinOpenDialog.h"
#include "tests/skin/dialogs/DialogFixture.h"

namespace {

class OpenDialogUseTest : public AppTest {
protected:
    void TearDown() override {
        Application->OnIdle = nullptr;
        AppTest::TearDown();
    }
    // The files (not folders) the dialog's list shows, in name order.
    static std::vector<String> Files(TbsOpenDlgForm* F) {
        std::vector<String> Names;
        for (int I = 0; I < F->FileListView->FolderCount(); ++I)
            if (!F->FileListView->GetFolder(I)->IsFolder())
                Names.push_back(F->FileListView->GetFolder(I)->DisplayName());
        std::sort(Names.begin(), Names.end());
        return Names;
    }
    // Clicks the middle of row I of the dialog's list, with a modifier key held.
    void ClickRow(TbsOpenDlgForm* F, int I, UINT Modifier = 0) {
        TbsSkinFileListView* L = F->FileListView;
        const TRect R = L->Items()->Item(I)->DisplayRect(drLabel);
        const TPoint P = L->ClientToScreen(TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2});
        InjectMouseMove(P.X, P.Y);
        if (Modifier)
            InjectKey(Modifier, true);
        InjectMouseButton(0, true);
        InjectMouseButton(0, false);
        if (Modifier)
            InjectKey(Modifier, false);
        Pump();
    }
    int RowOf(TbsOpenDlgForm* F, const String& Name) {
        for (int I = 0; I < F->FileListView->FolderCount(); ++I)
            if (F->FileListView->GetFolder(I)->DisplayName() == Name)
                return I;
        return -1;
    }
};

TEST_F(OpenDialogUseTest, TheFiltersListTheirClipsAndTwoPickedClipsComeBack) {
    const String Spring = u"春节联欢晚会.mp4", Home = u"家庭录像.AVI", Concert = u"音乐会.aiff", Notes = u"说明.txt";
    for (const String& Name : {Spring, Home, Concert, Notes})
        std::ofstream(Exe.Folder() / UTF8Encode(Name)) << "x";
    StartProgram();
    TbsSkinOpenDialog* Dialog = Form1->OpenDialog2;

    struct Case {
        int FilterIndex; // counted from 1, as the dialog's FilterIndex
        std::vector<String> Listed;
    };
    const std::vector<Case> Cases = {
        {1, {u"option.ini", Home, Spring, Notes, Concert}}, // 所有文件格式 (*.*)
        {2, {Home, Spring}},                                // the upper-case masks take lower-case names too
        {5, {Home}},                                        // AVI文件 (*.avi)
        {7, {Spring}},                                      // MP4视频格式 (*.mp4;*.m4v)
        {42, {Concert}},                                    // AIFF: "*.aif; *.aiff", a blank after the ";"
    };
    int FilterCount = 0;
    String FirstFilter, LastFilter;
    std::vector<std::vector<String>> Listed;
    bool SpringFirst = false;
    dlgtest::WhenShown<TbsOpenDlgForm>([&](TbsOpenDlgForm* F) {
        FilterCount = F->FilterComboBox->Items()->Count();
        FirstFilter = F->FilterComboBox->Items()->Strings(0);
        LastFilter = F->FilterComboBox->Items()->Strings(FilterCount - 1);
        for (const Case& C : Cases) {
            F->FilterComboBox->SetItemIndex(C.FilterIndex - 1);
            Pump();
            Listed.push_back(Files(F));
        }
        // The video and audio filter, then a click on one clip and a Ctrl+click on the other, then Open.
        F->FilterComboBox->SetItemIndex(1);
        Pump();
        SpringFirst = RowOf(F, Spring) < RowOf(F, Home);
        ClickRow(F, RowOf(F, Spring));
        ClickRow(F, RowOf(F, Home), VK_CONTROL);
        const TPoint Open =
            F->OpenButton->ClientToScreen(TPoint{F->OpenButton->Width() / 2, F->OpenButton->Height() / 2});
        InjectMouseMove(Open.X, Open.Y);
        InjectMouseButton(0, true);
        InjectMouseButton(0, false);
        Pump();
        if (F->ModalResult() == mrNone)
            F->SetModalResult(mrCancel);
    });
    TStringList Picked;
    String FileName;
    ASSERT_TRUE(Form1->PickInputFiles(&Picked, FileName));

    EXPECT_EQ(FilterCount, 42);
    EXPECT_EQ(FirstFilter, u"所有文件格式 (*.*)");
    EXPECT_EQ(LastFilter, u"AIFF音频编码格式(*.aif; *.aiff)");
    for (std::size_t I = 0; I < Cases.size(); ++I) {
        std::vector<String> Expected = Cases[I].Listed;
        std::sort(Expected.begin(), Expected.end());
        EXPECT_EQ(Listed.at(I), Expected) << "filter " << Cases[I].FilterIndex;
    }
    const String Folder = Exe.Path();
    ASSERT_EQ(Picked.Count(), 2);
    // In the list's order, whichever was clicked first; the name is the first of them.
    const std::vector<String> Expected = SpringFirst ? std::vector<String>{Folder + Spring, Folder + Home}
                                                     : std::vector<String>{Folder + Home, Folder + Spring};
    EXPECT_EQ(Picked.Strings(0), Expected[0]);
    EXPECT_EQ(Picked.Strings(1), Expected[1]);
    EXPECT_EQ(FileName, Expected[0]);
    EXPECT_EQ(Dialog->FilterIndex, 2);
}

} // namespace
