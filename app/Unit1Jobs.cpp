// The main window's jobs: adding files (one, several, a folder's) as rows, engine tasks, output files and option
// slots, and editing the list (remove, clear, move, rename, and restoring the combo boxes from a selected row).
#include "app/Unit1.h"

#include "app/profiles/AdvancedChoices.h"
#include "app/profiles/OutputFileName.h"
#include "app/profiles/ProfileCatalogue.h"
#include "engine/AVProbe.h"
#include "engine/MyUtils.h"
#include "platform/base/SysUtils.h"
#include "resources/AppPictures.h"

namespace {

const String NoFilesInFolder = u"在该目录没有发现可以用的视频或音频文件！";
const String SelectRowToRemove = u"请先选择您需要删除的项目！";
const String SelectRowToRename = u"请先选中您需要重命名的项目！";
// No option slot is free: the list must be cleared before more files can be added.
const String NoFreeSlot = u"任务列表已满，请先清空列表再添加文件！";

int FirstFreeSlot(const std::array<String, OptionSlotCount>& States) {
    for (int I = 0; I < OptionSlotCount; ++I)
        if (States[std::size_t(I)] == SlotFree)
            return I;
    return -1;
}

} // namespace

bool TForm1::PickInputFile(String& FileName) {
    OpenDialog1->Filter = OpenDialogFilter;
    if (!OpenDialog1->Execute())
        return false;
    FileName = OpenDialog1->FileName();
    return true;
}

bool TForm1::PickInputFiles(TStrings* Files, String& FileName) {
    OpenDialog2->Filter = OpenDialogFilter;
    if (!OpenDialog2->Execute())
        return false;
    Files->Assign(OpenDialog2->Files());
    FileName = OpenDialog2->FileName();
    return true;
}

bool TForm1::PickInputFolder(String& Folder) {
    if (!bsSkinSelectDirectoryDialog1->Execute())
        return false;
    Folder = bsSkinSelectDirectoryDialog1->Directory();
    return true;
}

void TForm1::ShowNotice(const String& Text) {
    bsSkinMessage1->MessageDlg2(Text, u"提示", mtInformation, {mbOK}, 0);
}

void TForm1::LogLine(const String& Line) {
    mmoLog->Lines()->Add(u"");
    mmoLog->Lines()->Add(Line);
    mmoLog->Lines()->Add(u"");
}

std::unique_ptr<TStringList> TForm1::GetFilenames(String FilePath, const String& ExtMask) {
    if (!DirectoryExists(FilePath))
        return nullptr;
    if (FilePath.empty() || FilePath.back() != u'/')
        FilePath += u'/';
    auto Names = std::make_unique<TStringList>();
    TSearchRec F;
    if (FindFirst(FilePath + ExtMask, faAnyFile, F) == 0) {
        do {
            if (!(F.Attr & faDirectory))
                Names->Add(FilePath + F.Name);
        } while (FindNext(F) == 0);
        FindClose(F);
    }
    return Names;
}

bool TForm1::PrepareAdd() {
    Button6Click(this);
    if (!FFConv->AVLibLoaded() && !FFConv->LoadAVLib(GetAppPath() + u"LibAV")) {
        mmoLog->Lines()->Add(FFConv->LastErrMsg());
        return false;
    }
    return true;
}

void TForm1::btnAddClick(TObject* Sender) {
    if (!PrepareAdd())
        return;
    String FileName;
    if (!PickInputFile(FileName) || !FileExists(FileName))
        return;
    if (AddFileAsJob(FileName, true) == arAdded)
        FinishAdd();
}

void TForm1::Button8Click(TObject* Sender) {
    if (!PrepareAdd())
        return;
    TStringList Files;
    String FileName;
    if (!PickInputFiles(&Files, FileName) || !FileExists(FileName))
        return;
    // A name typed into the dialog without a selection leaves the list empty: that name is the one file.
    if (Files.Count() == 0)
        Files.Add(FileName);
    for (int I = Files.Count() - 1; I >= 0; --I) {
        if (!FileExists(Files.Strings(I)) || AddFileAsJob(Files.Strings(I), false) == arStopped)
            return;
    }
    FinishAdd();
}

void TForm1::Button12Click(TObject* Sender) {
    const int RowsBefore = lvFiles->Items()->Count();
    if (!PrepareAdd())
        return;
    // Only a folder chosen with OK is added: a cancelled picker adds nothing, not even its earlier folder.
    String Folder;
    if (!PickInputFolder(Folder) || Folder.empty() || !DirectoryExists(Folder))
        return;
    const std::unique_ptr<TStringList> Files = GetFilenames(Folder, u"*.*");
    if (!Files)
        return;
    for (int I = Files->Count() - 1; I >= 0; --I) {
        if (!FileExists(Files->Strings(I)) || AddFileAsJob(Files->Strings(I), false) == arStopped)
            return;
    }
    FinishAdd();
    if (lvFiles->Items()->Count() <= RowsBefore)
        ShowNotice(NoFilesInFolder);
}

TForm1::TAddResult TForm1::AddFileAsJob(const String& FileName, bool FocusList) {
    TAVProbe* Probe = FFConv->AVProbe();
    if (!Probe->LoadFile(FileName)) {
        LogLine(u"***File load error: " + Probe->LastErrMsg());
        return arSkipped;
    }
    // Refused before a task or an output file exists, so a refused file leaves nothing behind.
    const int Slot = FirstFreeSlot(SlotStates);
    if (Slot < 0) {
        ShowNotice(NoFreeSlot);
        return arStopped;
    }
    OutputParams.Video_AddFileName = FileName;
    TInputOptions Input;
    InitInputOptions(Input);
    const int Task = FFConv->AddTask(FileName, &Input);
    if (Task < 0) {
        LogLine(u"***File open error: " + FFConv->LastErrMsg());
        return arStopped;
    }
    mmoLog->Lines()->Add(u"");
    mmoLog->Lines()->Add(FFConv->GetTaskAVProbe(Task, 0)->FileInfoText());
    T_Movie_PLayer_FileName = FileName;

    TOutputOptions Output;
    InitOutputOptions(Output);
    Button5Click(this);
    Button13Click(this);
    OutputParams.FillOutputOptions(Output);
    if (!FFConv->SetOutputFile(Task, OutputParams.Video_OutPutFileName, &Output)) {
        FFConv->RemoveTask(Task);
        LogLine(u"***Cannot do convert, error: " + FFConv->LastErrMsg());
        return arStopped;
    }
    if (Input.FileName.empty())
        Input.FileName = FileName;
    if (Output.FileName.empty())
        Output.FileName = OutputParams.Video_OutPutFileName;

    bsSkinPanel5->SetVisible(false);
    AddedJobRow(Input, Output, Task);
    if (FocusList && lvFiles->CanFocus())
        lvFiles->SetFocus();
    SetListCommandStates(true);
    IO1[std::size_t(Slot)] = Input;
    OO1[std::size_t(Slot)] = Output;
    SlotStates[std::size_t(Slot)] = SlotUsed;
    LogLine(u"***Can do convert.");
    SetCommandState(cmdStart, true, ToolbarImages::Start);
    if (TWinControl* Start = static_cast<TWinControl*>(FindComponent(u"btnStart")); Start && Start->CanFocus())
        Start->SetFocus();
    return arAdded;
}

void TForm1::AddedJobRow(const TInputOptions& Input, const TOutputOptions& Output, int TaskIndex) {
    TAVProbe* Probe = FFConv->AVProbe();
    const Int64 Duration = Probe->FileStreamInfo().Duration;
    TListItem* Row = lvFiles->Items()->Add();
    // Every column is made at once, in column order, so later writers find them all.
    const String Columns[JobColumnCount] = {
        Input.FileName,
        Duration > 0 ? SecToDate(int(Duration / 1000000)) : String(u"N/A"),
        FileSizeText(Probe->FileSize()),
        ExtractFileNamePart(Output.FileName),
        u"",
        u"",
        u"",
        u"",
        IntToStr(TaskIndex + 1),
        IntToStr(ProfilePositionCode(bsSkinOfficeComboBox2->ItemIndex(), bsSkinOfficeComboBox1->ItemIndex())),
        ComboIndexPair(bsSkinComboBox1->ItemIndex()) + ComboIndexPair(bsSkinComboBox2->ItemIndex()) +
            ComboIndexPair(bsSkinComboBox3->ItemIndex()) + ComboIndexPair(bsSkinComboBox4->ItemIndex()) +
            ComboIndexPair(bsSkinComboBox9->ItemIndex()) + ComboIndexPair(bsSkinComboBox10->ItemIndex()),
        Output.VideoCodec,
        Output.AudioCodec,
        IntToStr(Output.AudioChannels),
        Output.VideoTag,
        Output.FileExt,
        Output.FrameSize,
        IntToStr(Output.VideoBitrate),
        Output.FrameRate,
        IntToStr(Output.AudioBitrate),
        IntToStr(Output.AudioSampleRate),
        Output.FrameAspectRatio,
        u"",
        u"",
        u"",
    };
    Row->SetCaption(Columns[0]);
    for (int Column = 1; Column < JobColumnCount; ++Column)
        Row->SubItems()->Add(Columns[Column]);
}

void TForm1::FinishAdd() {
    const int Count = lvFiles->Items()->Count();
    if (Count == 0)
        return;
    lvFiles->SetItemIndex(Count - 1);
    if (lvFiles->CanFocus())
        lvFiles->SetFocus();
}

void TForm1::SetListCommandStates(bool Enabled) {
    SetCommandState(cmdRemove, Enabled);
    SetCommandState(cmdRename, Enabled);
    SetCommandState(cmdClear, Enabled);
    SetCommandState(cmdStart, Enabled, Enabled ? ToolbarImages::Start : ToolbarImages::StartDisabled);
}

void TForm1::ShowEmptyList() {
    bsSkinPanel5->SetVisible(true);
    RUDezari->Stop(true);
    bsSkinSlider1->SetValue(0);
}

bool TForm1::RowOwnsTask(const TListItem* Row, int TaskIndex) {
    // After a batch the engine's list is empty and later rows are numbered from 1 again, so an old row's number
    // may name no task or another row's.
    if (TaskIndex < 0 || TaskIndex >= FFConv->TasksCount())
        return false;
    TAVProbe* Probe = FFConv->GetTaskAVProbe(TaskIndex, 0);
    return Probe && Probe->FileName() == Row->Caption();
}

void TForm1::btnRemoveClick(TObject* Sender) {
    const int Index = lvFiles->ItemIndex();
    if (Index < 0) {
        ShowNotice(SelectRowToRemove);
        return;
    }
    TListItem* Row = lvFiles->Items()->Item(Index);
    const int Number = StrToInt(JobColumnText(Row, jcTaskNumber));
    if (RowOwnsTask(Row, Number - 1))
        FFConv->RemoveTask(Number - 1);
    lvFiles->Items()->Delete(Index);
    if (Index < OptionSlotCount)
        SlotStates[std::size_t(Index)] = SlotRemoved;
    for (int I = 0; I < lvFiles->Items()->Count(); ++I) {
        TListItem* Other = lvFiles->Items()->Item(I);
        int Value = 0;
        if (TryStrToInt(JobColumnText(Other, jcTaskNumber), Value) && Value > Number)
            SetJobColumnText(Other, jcTaskNumber, IntToStr(Value - 1));
    }
    const bool RowsRemain = lvFiles->Items()->Count() > 0;
    SetListCommandStates(RowsRemain);
    if (lvFiles->CanFocus())
        lvFiles->SetFocus();
    if (RowsRemain) {
        lvFiles->SetItemIndex(0);
        if (lvFiles->CanFocus())
            lvFiles->SetFocus();
    } else {
        ShowEmptyList();
    }
}

void TForm1::btnClearClick(TObject* Sender) {
    FFConv->ClearTasks();
    lvFiles->Items()->Clear();
    SetCommandState(cmdAdd, true, ToolbarImages::Add);
    SetListCommandStates(false);
    Button15Click(this);
    ShowEmptyList();
}

void TForm1::bsSkinButton3Click(TObject* Sender) {
    MoveSelectedRow(-1);
}

void TForm1::bsSkinButton4Click(TObject* Sender) {
    MoveSelectedRow(+1);
}

void TForm1::MoveSelectedRow(int Delta) {
    const int Index = lvFiles->ItemIndex();
    const int Neighbour = Index + Delta;
    if (Index < 0 || Neighbour < 0 || Neighbour >= lvFiles->Items()->Count())
        return;
    TListItems* Items = lvFiles->Items();
    Items->BeginUpdate();
    TListItem* Temporary = Items->Add();
    try {
        Temporary->Assign(Items->Item(Index));
        Items->Item(Index)->Assign(Items->Item(Neighbour));
        Items->Item(Neighbour)->Assign(Temporary);
        lvFiles->SetItemIndex(Neighbour);
        if (lvFiles->CanFocus())
            lvFiles->SetFocus();
    } catch (...) {
        Temporary->Delete();
        Items->EndUpdate();
        throw;
    }
    Temporary->Delete();
    Items->EndUpdate();
}

void TForm1::bsSkinButton21Click(TObject* Sender) {
    if (!lvFiles->Selected()) {
        ShowNotice(SelectRowToRename);
        return;
    }
    BeginRename();
}

void TForm1::lvFilesDblClick(TObject* Sender) {
    if (lvFiles->Selected())
        BeginRename();
}

void TForm1::BeginRename() {
    TListItem* Row = lvFiles->Selected();
    edt->SetParent(lvFiles);
    const int Left = lvFiles->Columns(0)->Width() + lvFiles->Left() + lvFiles->Columns(1)->Width() +
                     lvFiles->Columns(2)->Width() + 2;
    edt->SetBounds(Left, Row->Top(), lvFiles->Columns(3)->Width(), 14);
    edt->SetText(StripFileNameExt(JobColumnText(Row, jcOutputFile)));
    edt->SetVisible(true);
    if (edt->CanFocus())
        edt->SetFocus();
}

void TForm1::edtExit(TObject* Sender) {
    TListItem* Row = lvFiles->Selected();
    if (!Row)
        return; // the list was cleared or the row removed while the box was open
    const int ProfileIndex = bsSkinOfficeComboBox1->ItemIndex();
    if (ProfileIndex < 0 || ProfileIndex >= bsSkinOfficeComboBox1->Items()->Count())
        return;
    const String Ext = ProfileTitleExtension(bsSkinOfficeComboBox1->Items()->Items(ProfileIndex)->Title());
    const String Typed = edt->Text();
    if (Typed.empty())
        return;
    const String Name = Typed + Ext;
    const String Path = Video_OutPut_Folder_Edit->Text() + u"/" + Name;
    // A name that leaves the output folder, or that is the input file itself, would write where it must not.
    if (Typed.find(u'/') != String::npos || Path == Row->Caption())
        return;
    SetJobColumnText(Row, jcOutputFile, Name);
    edt->SetVisible(false);
    if (const int Index = Row->Index(); Index < OptionSlotCount)
        OO1[std::size_t(Index)].FileName = Path;
}

void TForm1::lvFilesSelectItem(TObject* Sender, TListItem* Item, bool Selected) {
    // Any failure ends the restore silently; what was set before it stays.
    try {
        TListItem* Row = lvFiles->Selected();
        if (!Row)
            return;
        const int Code = StrToInt(JobColumnText(Row, jcProfileCode));
        const int Category = Code / 100;
        const int Profile = Code - 100 * Category;
        const String Pairs = JobColumnText(Row, jcComboIndices);
        if (Pairs.size() < 12)
            return;
        int Indices[6];
        for (int I = 0; I < 6; ++I)
            Indices[I] = StrToInt(Pairs.substr(std::size_t(2 * I), 2));
        bsSkinOfficeComboBox2->SetItemIndex(Category - 1);
        bsSkinOfficeComboBox1->SetItemIndex(Profile);
        TbsSkinComboBox* const Combos[6] = {bsSkinComboBox1, bsSkinComboBox2, bsSkinComboBox3,
                                            bsSkinComboBox4, bsSkinComboBox9, bsSkinComboBox10};
        for (int I = 0; I < 6; ++I)
            Combos[I]->SetItemIndex(Indices[I]);
        bsSkinSlider1->SetValue(0);
        T_Movie_PLayer_FileName = Row->Caption();
        Button31Click(this);
    } catch (const Exception&) {
    }
}

void TForm1::lvFilesClick(TObject* Sender) {
    if (!lvFiles->Selected())
        RUDezari->Stop(true);
}
