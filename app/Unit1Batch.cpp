// The main window's batch: Start rebuilds the engine's tasks from the job rows and locks the window, the
// progress and termination reports fill the rows, Stop, Pause and Resume, and the after-batch actions.
#include "app/Unit1.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>

#include "app/Unit5.h"
#include "app/profiles/OutputFileName.h"
#include "engine/MyUtils.h"
#include "platform/base/SysUtils.h"
#include "platform/shell/PowerService.h"
#include "platform/shell/ShellLauncher.h"
#include "platform/shell/SoundService.h"
#include "resources/AppPictures.h"

namespace {

// A file of the output folder; the folder may end in "/".
String OutputPath(const String& Folder, const String& Name) {
    return !Folder.empty() && Folder.back() == u'/' ? Folder + Name : Folder + u"/" + Name;
}

// The application's own log lines stand between empty lines.
void AddLogLine(TMemo* Log, const String& Line) {
    Log->Lines()->Add(u"");
    Log->Lines()->Add(Line);
    Log->Lines()->Add(u"");
}

// One spelling per file, so that "a//b/../c.avi" and a link to it count as the same file.
std::string PathKey(const String& Path) {
    std::error_code Ignored;
    const std::filesystem::path P(UTF8Encode(Path));
    std::filesystem::path Canonical = std::filesystem::weakly_canonical(P, Ignored);
    if (Canonical.empty())
        Canonical = P.lexically_normal();
    return Canonical.string();
}

// The row's columns 11 to 24 into its output record; a field whose column is empty keeps what the record holds.
void FillOutputFromRow(TListItem* Row, TOutputOptions& Out) {
    const String VideoCodec = JobColumnText(Row, jcVideoCodec);
    if (VideoCodec == u"libx264") {
        Out.VideoCodec = VideoCodec;
        Out.VideoPreset = u"libx264-default";
    } else if (!VideoCodec.empty()) {
        Out.VideoCodec = VideoCodec;
        Out.VideoPreset.clear();
    }
    if (const String Text = JobColumnText(Row, jcAudioCodec); !Text.empty())
        Out.AudioCodec = Text;
    if (const String Text = JobColumnText(Row, jcAudioChannels); !Text.empty())
        Out.AudioChannels = StrToInt(Text);
    const String VideoTag = JobColumnText(Row, jcVideoTag);
    Out.VideoTag = VideoCodec == u"libx264" ? String() : VideoTag;
    if (const String Text = JobColumnText(Row, jcFileExt); !Text.empty())
        Out.FileExt = Text;
    if (const String Text = JobColumnText(Row, jcFrameSize); !Text.empty())
        Out.FrameSize = Text;
    if (const String Text = JobColumnText(Row, jcVideoBitrate); !Text.empty())
        Out.VideoBitrate = StrToInt(Text);
    if (const String Text = JobColumnText(Row, jcFrameRate); !Text.empty())
        Out.FrameRate = Text;
    if (const String Text = JobColumnText(Row, jcAudioBitrate); Text != u"-1000")
        Out.AudioBitrate = StrToInt(Text);
    if (const String Text = JobColumnText(Row, jcAudioSampleRate); !Text.empty())
        Out.AudioSampleRate = StrToInt(Text);
    if (const String Text = JobColumnText(Row, jcFrameAspectRatio); !Text.empty())
        Out.FrameAspectRatio = Text;
    Out.DisableVideo = JobColumnText(Row, jcDisableVideo) == u"True";
    if (const String Target = JobColumnText(Row, jcTargetType); !Target.empty())
        Out.TargetType = Target == u"vcd" ? ttVCD : Target == u"svcd" ? ttSVCD : Target == u"dvd" ? ttDVD : ttIgnore;
    else if (!JobColumnText(Row, jcDisableVideo).empty())
        // A profile applied to the row always writes column 22, and its empty target then means none: the disc
        // target the slot kept from the profile the file was added with must not turn the new profile into a disc.
        Out.TargetType = ttIgnore;
    const String Norm = JobColumnText(Row, jcNormType);
    Out.NormType = Norm == u"PAL" ? ntPAL : Norm == u"NTSC" ? ntNTSC : ntAuto;
}

// The files a batch must not write onto: every input of the batch and the outputs given to earlier rows.
struct TBatchFiles {
    std::set<std::string> Inputs;
    std::set<std::string> Outputs;
    bool Taken(const std::string& Key) const { return Inputs.count(Key) || Outputs.count(Key); }
};

// The row's output name (column 3) in Folder. A name that is an input of the batch or an earlier row's output
// moves on to the first free "_N" name, which the row then shows.
String BatchOutputName(TListItem* Row, const String& Folder, TBatchFiles& Files) {
    String Name = JobColumnText(Row, jcOutputFile);
    std::string Key = PathKey(OutputPath(Folder, Name));
    if (Files.Taken(Key)) {
        const String Base = StripFileNameExt(Name);
        const String Ext = ExtractFileNameExt(Name);
        for (int N = 1;; ++N) {
            const String Candidate = Base + u"_" + IntToStr(N) + Ext;
            const String Path = OutputPath(Folder, Candidate);
            Key = PathKey(Path);
            if (!Files.Taken(Key) && !OutputFileExists(Path)) {
                Name = Candidate;
                break;
            }
        }
        SetJobColumnText(Row, jcOutputFile, Name);
    }
    Files.Outputs.insert(Key);
    return Name;
}

} // namespace

void TForm1::btnStartClick(TObject* Sender) {
    if (Form5) {
        // One radio group: the checked box decides; none checked keeps the priority.
        if (Form5->bsSkinCheckRadioBox9->Checked())
            FFConv->SetThreadPriority(tpIdle);
        if (Form5->bsSkinCheckRadioBox10->Checked())
            FFConv->SetThreadPriority(tpLowest);
        if (Form5->bsSkinCheckRadioBox11->Checked())
            FFConv->SetThreadPriority(tpLower);
        if (Form5->bsSkinCheckRadioBox12->Checked())
            FFConv->SetThreadPriority(tpNormal);
    }
    button28Click(this);
    // No row gave a task (each shows why): the engine would never report an end, so the window stays open.
    if (FFConv->TasksCount() == 0)
        return;

    SetCommandState(cmdAdd, false, ToolbarImages::AddDisabled);
    Button22Click(this);
    SetCommandState(cmdRemove, false);
    SetCommandState(cmdRename, false);
    SetCommandState(cmdClear, false);
    SetCommandState(cmdStart, false, ToolbarImages::StartDisabled);
    const bool Threaded = chkThreadMode->Checked();
    SetCommandState(cmdStop, Threaded, Threaded ? ToolbarImages::Stop : ToolbarImages::StopDisabled);
    SetCommandState(cmdPause, Threaded, Threaded ? ToolbarImages::Pause : ToolbarImages::PauseDisabled);
    SetCommandState(cmdResume, false, ToolbarImages::ResumeDisabled);

    int ThreadCount = 1;
    if (Form5 && Form5->bsSkinCheckRadioBox7->Checked())
        ThreadCount = StrToIntDef(Form5->bsSkinComboBox2->Text(), 1);
    // A count below 1 would run the whole batch inside this call, with the window frozen.
    FFConv->Start(std::max(ThreadCount, 1));
}

void TForm1::button28Click(TObject* Sender) {
    FFConv->ClearTasks();
    FTaskRows.clear();
    String LoadError;
    if (!FFConv->AVLibLoaded() && !FFConv->LoadAVLib(GetAppPath() + u"LibAV"))
        LoadError = FFConv->LastErrMsg();

    TListItems* Rows = lvFiles->Items();
    TBatchFiles Files;
    for (int I = 0; I < Rows->Count(); ++I)
        Files.Inputs.insert(PathKey(Rows->Item(I)->Caption()));
    for (int I = 0; I < Rows->Count(); ++I) {
        TListItem* Row = Rows->Item(I);
        // Rows past the last slot are built in records of their own.
        TInputOptions SpareIn;
        TOutputOptions SpareOut;
        InitInputOptions(SpareIn);
        InitOutputOptions(SpareOut);
        TInputOptions& In = I < OptionSlotCount ? IO1[std::size_t(I)] : SpareIn;
        TOutputOptions& Out = I < OptionSlotCount ? OO1[std::size_t(I)] : SpareOut;
        In.FileName = Row->Caption();
        FillOutputFromRow(Row, Out);
        const String OutputName = BatchOutputName(Row, FileOutPutPath, Files);
        if (!LoadError.empty()) {
            SetJobColumnText(Row, jcProgress, LoadError);
            continue;
        }
        // A row whose task cannot be made shows the engine's reason, logged as adding a file logs it; later rows
        // keep their own reports through the task-to-row map.
        const int Task = FFConv->AddTask(In.FileName, &In);
        if (Task < 0) {
            SetJobColumnText(Row, jcProgress, FFConv->LastErrMsg());
            AddLogLine(mmoLog, u"***File open error: " + FFConv->LastErrMsg());
            continue;
        }
        if (!FFConv->SetOutputFile(Task, OutputPath(FileOutPutPath, OutputName), &Out)) {
            const String Reason = FFConv->LastErrMsg();
            FFConv->RemoveTask(Task);
            SetJobColumnText(Row, jcProgress, Reason);
            AddLogLine(mmoLog, u"***Cannot do convert, error: " + Reason);
            continue;
        }
        FTaskRows.push_back(I);
    }
}

int TForm1::RowOfTask(int TaskIndex) const {
    if (TaskIndex < 0 || TaskIndex >= int(FTaskRows.size()))
        return -1;
    const int Row = FTaskRows[std::size_t(TaskIndex)];
    return Row < lvFiles->Items()->Count() ? Row : -1;
}

void TForm1::Button22Click(TObject* Sender) {
    SetCommandState(cmdSettings, false);
    bsSkinOfficeComboBox2->Repaint();
}

void TForm1::Button23Click(TObject* Sender) {
    SetCommandState(cmdSettings, true);
}

void TForm1::FFConvProgress(TObject* Sender, PProgressInfo AProgressInfo) {
    const int Index = RowOfTask(AProgressInfo->TaskIndex);
    if (Index < 0)
        return;
    TListItem* Row = lvFiles->Items()->Item(Index);
    const TProgressInfo& P = *AProgressInfo;
    SetJobColumnText(Row, jcProgress,
                     P.TotalDuration > 0 ? IntToStr(P.CurrentDuration * 100 / P.TotalDuration) + u"%" : String(u"N/A"));
    if (P.FPS > 0)
        SetJobColumnText(Row, jcFps, IntToStr(P.FPS));
    SetJobColumnText(Row, jcCurrentTime, SecToDate(int(P.CurrentDuration / 1000000)));
    SetJobColumnText(Row, jcConvertedSize, FileSizeText(P.CurrentSize));
}

void TForm1::FFConvTerminate(TObject* Sender, const TTerminateInfo& ATerminateInfo) {
    if (ATerminateInfo.TaskIndex >= 0) {
        const int Index = RowOfTask(ATerminateInfo.TaskIndex);
        if (ATerminateInfo.Finished && Index >= 0)
            SetJobColumnText(lvFiles->Items()->Item(Index), jcProgress, u"100%");
    } else {
        SetCommandState(cmdRemove, false);
        SetCommandState(cmdRename, false);
        SetCommandState(cmdClear, true);
        SetCommandState(cmdStop, false, ToolbarImages::StopDisabled);
        SetCommandState(cmdPause, false, ToolbarImages::PauseDisabled);
        SetCommandState(cmdResume, false, ToolbarImages::ResumeDisabled);
        Button23Click(this);
        FFConv->ClearTasks();
        SetCommandState(cmdAdd, true, ToolbarImages::Add);
        SetCommandState(cmdStart, true, ToolbarImages::Start);
        // The choice as it stands now, not as it stood at Start.
        if (Form5) {
            if (Form5->bsSkinCheckRadioBox1->Checked())
                Button20Click(this);
            else if (Form5->bsSkinCheckRadioBox2->Checked())
                Button25Click(this);
            else if (Form5->bsSkinCheckRadioBox4->Checked())
                Button29Click(this);
        }
    }
    if (ATerminateInfo.Exception)
        Application->MessageBox(ATerminateInfo.ExceptionMsg, Application->Title(), MB_OK | MB_ICONWARNING);
}

void TForm1::btnStopClick(TObject* Sender) {
    SetCommandState(cmdStop, false, ToolbarImages::StopDisabled);
    SetCommandState(cmdStart, true, ToolbarImages::Start);
    Button23Click(this);
    FFConv->Stop(true);
    RUDezari->Stop(true);
    Sleep(1000);
    FFConv->ClearTasks();
    SetCommandState(cmdAdd, true, ToolbarImages::Add);
    bsSkinButton11->SetVisible(true);
    SetCommandState(cmdResume, false, ToolbarImages::ResumeDisabled);
    bsSkinButton12->SetVisible(false);
}

void TForm1::btnPauseClick(TObject* Sender) {
    SetCommandState(cmdPause, false, ToolbarImages::PauseDisabled);
    SetCommandState(cmdResume, true, ToolbarImages::Resume);
    FFConv->Pause();
}

void TForm1::btnResumeClick(TObject* Sender) {
    SetCommandState(cmdPause, true, ToolbarImages::Pause);
    SetCommandState(cmdResume, false, ToolbarImages::ResumeDisabled);
    FFConv->Resume();
}

void TForm1::chkPreviewClick(TObject* Sender) {
    FFConv->SetPreview(chkPreview->Checked());
}

// The after-batch actions fail silently: no message, no log line.

void TForm1::Button20Click(TObject* Sender) {
    String Error;
    ShellLauncher().Open(Video_OutPut_Folder_Edit->Text(), u"", Error);
}

void TForm1::bsSkinButton6Click(TObject* Sender) {
    Button20Click(this);
    if (lvFiles->CanFocus())
        lvFiles->SetFocus();
}

void TForm1::Button25Click(TObject* Sender) {
    SetPrivilege(u"SeShutdownPrivilege", true);
    if (!PowerService().PowerOff())
        SetPrivilege(u"SeShutdownPrivilege", false);
}

bool TForm1::SetPrivilege(const String& PrivilegeName, bool Enable) {
    // There is no token to adjust: the login manager decides at the power-off call whether this user may.
    return PrivilegeName == u"SeShutdownPrivilege";
}

void TForm1::Button29Click(TObject* Sender) {
    const String Sound = GetAppPath() + u"sounds/ring001.wav";
    if (FileExists(Sound))
        SoundService().PlayFile(Sound);
}
