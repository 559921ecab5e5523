// The options dialog: OK writes the choices into the section "Options", Cancel keeps them in force unsaved, and
// the live-preview box drives the engine's live preview at once.
#include "AppFixture.h"

namespace {

class OptionsDialogTest : public AppTest {};

} // namespace

TEST_F(OptionsDialogTest, OkWritesTheChosenBoxesAndLeavesTheOtherSectionsAlone) {
    StartProgram();
    WriteOption(u"SnapShot", u"Picture", u"PNG");
    Form5->bsSkinCheckRadioBox11->SetChecked(true); // 较低优先级进行
    Form5->bsSkinCheckRadioBox2->SetChecked(true);  // 自动关闭计算机
    Form5->bsSkinCheckRadioBox3->SetChecked(true);  // 直接覆盖输出文件
    Form5->bsSkinComboBox2->SetItemIndex(5);
    Form5->bsSkinButton6Click(nullptr);
    EXPECT_EQ(Ini(u"Options", u"Thread_Priority"), u"2");
    EXPECT_EQ(Ini(u"Options", u"After_Done"), u"1");
    EXPECT_EQ(Ini(u"Options", u"Overwrite_File"), u"0");
    EXPECT_EQ(Ini(u"Options", u"Thread_Count"), u"6");
    EXPECT_EQ(Ini(u"Options", u"Show_Preview"), u"0");
    EXPECT_EQ(Ini(u"SnapShot", u"Picture"), u"PNG");
    EXPECT_EQ(Ini(u"OutPath", u"OutPath"), DefaultFolder());
    EXPECT_EQ(Form5->ThreadPriority(), tpLower);
    // Each radio group keeps one checked box.
    EXPECT_FALSE(Form5->bsSkinCheckRadioBox12->Checked());
    EXPECT_FALSE(Form5->bsSkinCheckRadioBox1->Checked());
    EXPECT_FALSE(Form5->bsSkinCheckRadioBox6->Checked());
}

TEST_F(OptionsDialogTest, CancelKeepsTheChangesInForceButUnsaved) {
    StartProgram();
    Form5->bsSkinCheckRadioBox5->SetChecked(true); // 不进行任何操作
    Form5->bsSkinButton1Click(nullptr);
    EXPECT_TRUE(Form5->bsSkinCheckRadioBox5->Checked());
    EXPECT_EQ(Ini(u"Options", u"After_Done"), u"0");
    // The next start reads the file again.
    delete Form5;
    Application->CreateForm(Form5);
    EXPECT_TRUE(Form5->bsSkinCheckRadioBox1->Checked());
    EXPECT_FALSE(Form5->bsSkinCheckRadioBox5->Checked());
}

TEST_F(OptionsDialogTest, TheLivePreviewBoxSwitchesTheEnginesPreviewAtOnce) {
    WriteIni("[Options]\nShow_Preview=1\n");
    StartProgram();
    EXPECT_TRUE(Form5->bsSkinCheckRadioBox8->Checked());
    EXPECT_TRUE(Form1->FFConv->Preview());
    Form5->bsSkinCheckRadioBox8->SetChecked(false);
    EXPECT_FALSE(Form1->FFConv->Preview());
    Form5->bsSkinCheckRadioBox8->SetChecked(true);
    EXPECT_TRUE(Form1->FFConv->Preview());
    EXPECT_EQ(Ini(u"Options", u"Show_Preview"), u"1");
}

TEST_F(OptionsDialogTest, TheDialogShowsItsChoicesWithTheirTexts) {
    StartProgram();
    EXPECT_EQ(Form5->Caption(), u"选项");
    EXPECT_EQ(Form5->ClientWidth(), 542);
    EXPECT_EQ(Form5->ClientHeight(), 550);
    EXPECT_TRUE(Form5->BorderIcons().Empty());
    EXPECT_EQ(Form5->bsSkinComboBox2->Items()->Count(), 19);
    EXPECT_EQ(Form5->bsSkinCheckRadioBox4->Caption(), u" 播放提示音乐");
    EXPECT_TRUE(Form5->bsSkinCheckRadioBox7->Checked());
    EXPECT_FALSE(Form5->bsSkinCheckRadioBox7->Visible());
    EXPECT_TRUE(Form5->bsSkinComboBox2->Enabled());
    EXPECT_EQ(Form5->bsSkinButton6->Caption(), u"确定");
    EXPECT_EQ(Form5->bsSkinButton1->Caption(), u"取消");
    EXPECT_EQ(Form5->bsSkinButton6->SkinData(), Form1->bsSkinData1);
}
