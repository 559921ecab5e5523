// The main window's start-up and shutdown, the output folder, the open-file filter, the log lines, the job
// list's columns and the option slots.
#include "app/Unit1.h"

#include <cmath>

#include "app/OptionIni.h"
#include "app/Unit5.h"
#include "platform/base/SysUtils.h"

TForm1* Form1 = nullptr;

const std::array<TJobColumnSpec, JobColumnCount> JobColumns = {{
    {u"输入文件", 80},  {u"视频时间", 70},  {u"文件大小", 70},  {u"输出文件", 80},  {u"转换进度", 70},
    {u"", 0},           {u"当前时间", 80},  {u"转换大小", 80},  {u"视频序号", 0},   {u"视频类别", 0},
    {u"视频选项", 0},   {u"视频编码", 0},   {u"音频编码", 0},   {u"声音频道", 0},   {u"VideoTag", 0},
    {u"FileExt", 0},    {u"视频分辨率", 0}, {u"视频比特率", 0}, {u"视频帧率", 0},   {u"音频比特率", 0},
    {u"音频采样率", 0}, {u"视频缩放", 0},   {u"视频能否", 0},   {u"TargetType", 0}, {u"NormType", 0},
}};

const std::array<String, 6> PlayerStateNames = {u"Play", u"Pause", u"Resume", u"Step", u"Stop", u"End"};

String SecToDate(int Sec) {
    const int S = Sec % 60;
    const int M = ((Sec - S) / 60) % 60;
    const int H = ((Sec - S - 60 * M) / 3600) % 24;
    return Format(u"%.2d:%.2d:%.2d", {H, M, S});
}

String FileSizeText(Int64 Bytes) {
    // Two decimals, the value times 100 rounded half to even.
    const double Hundredths = std::nearbyint(double(Bytes) / 1024 / 1024 * 100);
    return FloatToStr(Hundredths / 100) + u"MB";
}

String OpenFileFilter() {
    static const char16_t* const Pairs[][2] = {
        {u"所有文件格式 (*.*)", u"*.*"},
        {u"支持的视频/音频文件格式",
         u"*.AVI;*.ASF;*.asx;*.WMV;*.AVS;*.FLV;*.MKV;*.MOV;*.3GP;*.MP4;*.MPG;*.MPEG;*.DAT;*.OGM;*.VOB;*.RM;*.RMVB;"
         u"*.TS;*.TP;*.IFO;*.NSV;*.MP3;*.AAC;*.WAV;*.WMA;*.CDA;*.SWF;*.FLAC;*.M4A;*.MID;*.MKA;*.MP2;*.MPA;*.MPC;"
         u"*.APE;*.OFR;*.OGG;*.RA;*.WV;*.TTA;*.AC3;*.DTS;*.DV;*.m4v;*.3g2;*.mkv;*.dv;*.yuv;*.h261;*.h264;*.mjpeg;"
         u"*.dif;*.m4v;*.3gpp;*.3gp2;*.qt"},
        {u"支持的视频文件格式",
         u"*.AVI;*.ASF;*.asx;*.WMV;*.AVS;*.FLV;*.MKV;*.MOV;*.3GP;*.MP4;*.MPG;*.MPEG;*.DAT;*.OGM;*.VOB;*.RM;*.RMVB;"
         u"*.TS;*.TP;*.IFO;*.NSV;*.SWF;*.WV;*.TTA;*.AC3;*.DTS;*.DV;*.m4v;*.3g2;*.mkv;*.dv;*.yuv;*.h261;*.h264;"
         u"*.mjpeg;*.dif;*.m4v;*.3gpp;*.3gp2;*.qt"},
        {u"支持的音频文件格式",
         u"*.MP3;*.AAC;*.WAV;*.WMA;*.CDA;*.FLAC;*.M4A;*.MID;*.MKA;*.MP2;*.MPA;*.MPC;*.APE;*.OFR;*.OGG;*.RA;*.WV;"
         u"*.TTA;*.AC3"},
        {u"AVI文件 (*.avi)", u"*.avi"},
        {u"Real视频文件格式 (*.rm;*.rmvb)", u"*.rm;*.rmvb"},
        {u"MP4视频格式 (*.mp4;*.m4v)", u"*.mp4;*.m4v"},
        {u"MPEG视频格式 (*.mpg;*.mpeg)", u"*.mpg;*.mpeg"},
        {u"DVD视频格式 (*.vob)", u"*.vob"},
        {u"VCD/SVCD视频格式 (*.dat;*.mpg)", u"*.dat;*.mpg"},
        {u"ASF微软视频格式 (*.asf)", u"*.asf"},
        {u"WMV微软视频格式 (*.wmv)", u"*.wmv"},
        {u"手机3GPP文件格式 (*.3gp;*.3gpp)", u"*.3gp;*.3gpp"},
        {u"手机3GPP2文件格式 (*.3g2;*.3gp2)", u"*.3g2;*.3gp2"},
        {u"Flash动画格式 (*.swf)", u"*.swf"},
        {u"Flash视频格式 (*.flv)", u"*.flv"},
        {u"MKV视频媒体格式 (*.mkv)", u"*.mkv"},
        {u"Quick Time视频文件格式 (*.mov;*.qt)", u"*.mov;*.qt"},
        {u"DV数字视频文件格式 (*.dv;*.dif)", u"*.dv;*.dif"},
        {u"Raw h261类型文件 (*.h261)", u"*.h261"},
        {u"Raw h264类型文件 (*.h264)", u"*.h264"},
        {u"YUV类型文件 (*.yuv)", u"*.yuv"},
        {u"GIF图片动画格式 (*.gif)", u"*.gif"},
        {u"MJPEG视频格式(*.mjpg;*.mjpeg)", u"*.mjpg;*.mjpeg"},
        {u"TS视频格式 (*.ts)", u"*.ts"},
        {u"WMV高清HD视频格式 (*.xwmv)", u"*.xwmv"},
        {u"微软数字视频格式( *.dvr-ms)", u"*.dvr-ms"},
        {u"iTunes视频格式 (*.m4v)", u"*.m4v"},
        {u"MP3音频格式 (*.mp3)", u"*.mp3"},
        {u"CD音频格式 (*.cda)", u"*.cda"},
        {u"WMA微软音频格式 (*.wma)", u"*.wma"},
        {u"WAVE音频格式 (*.wav)", u"*.wav"},
        {u"REAL音频格式 (*.ra;*.ram)", u"*.ra;*.ram"},
        {u"MP4音频格式 (*.m4a;*.mp4)", u"*.m4a;*.mp4"},
        {u"AAC高级音频格式 (*.aac)", u"*.aac"},
        {u"AC3音频格式 (*.ac3)", u"*.ac3"},
        {u"Monkey音频格式 (*.ape;*.cue)", u"*.ape;*.cue"},
        {u"Flac无损压缩音频格式\u3000(*.flac)", u"*.flac"},
        {u"MPEG音频编码格式(*.mpa)", u"*.mpa"},
        {u"MPEG 2音频编码格式(*.mp2)", u"*.mp2"},
        {u"OGG音频编码格式(*.ogg)", u"*.ogg"},
        {u"AIFF音频编码格式(*.aif; *.aiff)", u"*.aif; *.aiff"},
    };
    String Filter;
    for (const auto& Pair : Pairs)
        Filter += String(Pair[0]) + u"|" + Pair[1] + u"|";
    return Filter;
}

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner) {
    SetName(u"Form1");
    SetCaption(u"Quorvane");
    SetBorderStyle(bsSingle);
    SetBorderIcons({biSystemMenu, biMinimize});
    SetPosition(poDesktopCenter);
    SetClientSize(839, 522);
    SlotStates.fill(SlotFree);
    for (int I = 0; I < OptionSlotCount; ++I) {
        InitInputOptions(IO1[std::size_t(I)]);
        InitOutputOptions(OO1[std::size_t(I)]);
    }

    CreateSkins();
    // The frame and caption are drawn from the window's skin.
    bsSkinForm1 = new TbsSkinForm(this);
    bsSkinForm1->SetName(u"bsSkinForm1");
    bsSkinForm1->SetBorderIcons({TbsBorderIcon::biSystemMenu, TbsBorderIcon::biMinimize});
    bsSkinForm1->SetPositionInMonitor(bspDesktopCenter);
    bsSkinForm1->SetClientWidth(839);
    bsSkinForm1->SetClientHeight(522);
    bsSkinForm1->SetSkinData(bsSkinData1);
    CreateImageLists();
    CreateEngine();
    CreateMenus();
    CreateMenuBar();
    CreateToolBar();
    CreateJobPanel();
    CreatePreviewPanel();
    CreateHiddenControls();
    CreatePages();
    // The direct windowed children in their tab order, which the render-target list follows.
    const char16_t* const TabOrder[] = {u"bsSkinMainMenuBar1",
                                        u"bsSkinToolBar2",
                                        u"Panel1",
                                        u"bsSkinPanel1",
                                        u"bsSkinPanel3",
                                        u"Panel3",
                                        u"bsSkinPanel5",
                                        u"Button19",
                                        u"Button27",
                                        u"edt",
                                        u"Panel4",
                                        u"Panel5",
                                        u"Panel6",
                                        u"bsSkinPageControl1"};
    for (int I = 0; I < int(std::size(TabOrder)); ++I)
        static_cast<TWinControl*>(FindComponent(TabOrder[I]))->SetTabOrder(I);
    SetCreatedCommandStates();

    FFConv->OnProgress = [this](TObject* S, PProgressInfo Info) { FFConvProgress(S, Info); };
    FFConv->OnTerminate = [this](TObject* S, const TTerminateInfo& Info) { FFConvTerminate(S, Info); };
    BindPreview();
    OnCreate = [this](TObject* S) { FormCreate(S); };
    OnCloseQuery = [this](TObject* S, bool& CanClose) { FormCloseQuery(S, CanClose); };
    RegisterSettingsHost(this);
}

TForm1::~TForm1() {
    UnregisterSettingsHost(this);
    if (Form1 == this)
        Form1 = nullptr;
}

String TForm1::SettingsOutputFolder() {
    return Video_OutPut_Folder_Edit->Text();
}

bool TForm1::SettingsOverwriteFiles() {
    return Form5 && Form5->bsSkinCheckRadioBox3->Checked();
}

void TForm1::CreateWnd() {
    TForm::CreateWnd();
    // The skinned frame's size is known only once the window exists: the client area keeps its own.
    SetClientSize(839, 522);
}

void TForm1::FormCreate(TObject* Sender) {
    Button15Click(this);
    Button17Click(this);
    Button21Click(this);
    Button3Click(this);
    Button2Click(this);
    FillScreenNames();
    bsSkinSlider1_down_UP = u"UP";
}

void TForm1::FormCloseQuery(TObject* Sender, bool& CanClose) {
    // The handlers that would touch the window go before the engine stops; the log's only after, so the
    // lines of the stop still arrive.
    RUDezari->OnPosition = nullptr;
    RUDezari->OnState = nullptr;
    RUDezari->OnHook = nullptr;
    FFConv->OnCustomHook = nullptr;
    FFConv->OnProgress = nullptr;
    FFConv->OnTerminate = nullptr;
    FFConv->Stop(true);
    FFLogger->OnLog = nullptr;
    CanClose = true;
}

void TForm1::FFLoggerLog(TObject* Sender, Cardinal AThreadID, TLogLevel ALogLevel, const String& ALogMsg) {
    mmoLog->Lines()->Add(u"#" + UIntToStr(AThreadID) + u"." + IntToStr(int(ALogLevel)) + u": " + ALogMsg);
}

void TForm1::Button15Click(TObject* Sender) {
    SlotStates.fill(SlotFree);
}

void TForm1::Button17Click(TObject* Sender) {
    try {
        if (!OptionIniExists()) {
            UseDefaultOutputFolder();
            return;
        }
        const String Folder = ReadOption(u"OutPath", u"OutPath");
        if (OptionIsMissing(Folder)) {
            UseDefaultOutputFolder();
            return;
        }
        if (!DirectoryExists(Folder)) {
            try {
                ForceDirectories(Folder);
            } catch (const Exception&) {
                // A folder that cannot be made shows all the same; adding a file then reports it.
            }
        }
        Video_OutPut_Folder_Edit->SetText(Folder);
        FileOutPutPath = Folder;
    } catch (const Exception&) {
        UseDefaultOutputFolder();
    }
}

void TForm1::UseDefaultOutputFolder() {
    const String Folder = DefaultOutputFolder();
    if (!DirectoryExists(Folder)) {
        try {
            ForceDirectories(Folder);
        } catch (const Exception&) {
        }
    }
    WriteOption(u"OutPath", u"OutPath", Folder);
    Video_OutPut_Folder_Edit->SetText(Folder);
    FileOutPutPath = Folder;
}

void TForm1::Button16Click(TObject* Sender) {
    if (DirectoryExists(FileOutPutPath))
        WriteOption(u"OutPath", u"OutPath", FileOutPutPath);
}

void TForm1::bsSkinButton5Click(TObject* Sender) {
    // Only a folder chosen with OK counts: a cancelled picker changes nothing.
    String Folder;
    if (!PickOutputFolder(Folder) || !DirectoryExists(Folder))
        return;
    Video_OutPut_Folder_Edit->SetText(Folder);
    FileOutPutPath = Folder;
    Button16Click(this);
    if (lvFiles->CanFocus())
        lvFiles->SetFocus();
}

bool TForm1::PickOutputFolder(String& Folder) {
    // Cancel leaves the folder as it was: only a folder confirmed with OK is taken.
    if (!bsSkinSelectDirectoryDialog2->Execute())
        return false;
    Folder = bsSkinSelectDirectoryDialog2->Directory();
    return true;
}

void TForm1::Button21Click(TObject* Sender) {
    // The open-file dialogs take this filter when they exist; the text is kept for them.
    OpenDialogFilter = OpenFileFilter();
}

void TForm1::FillScreenNames() {
    cboScreens->Items()->Clear();
    cboScreens->Items()->Add(u"Panel6");
    for (int Order = 0;; ++Order) {
        TWinControl* Found = nullptr;
        for (int I = 0; I < ControlCount() && !Found; ++I)
            if (auto* Child = dynamic_cast<TWinControl*>(Controls(I)); Child && Child->TabOrder() == Order)
                Found = Child;
        if (!Found)
            break;
        cboScreens->Items()->Add(Found->Name());
    }
    cboScreens->SetItemIndex(0);
}
