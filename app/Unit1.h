// The main window: the job list, the toolbar and menus, the preview panel, the settings pages, the engine's
// components and the two skin data components. Operations that other operations run are click handlers of
// hidden plain buttons; the start-up runs them in order by clicking those buttons from code.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "app/profiles/AdvancedLists.h"
#include "app/profiles/OutputParams.h"
#include "app/profiles/SettingsHost.h"
#include "engine/FFConverter.h"
#include "engine/FFPlayer.h"
#include "engine/FFmpegLogger.h"
#include "platform/ui/ComboBoxes.h"
#include "platform/ui/Edits.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ListViews.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/Tabs.h"
#include "skin/controls/TbsSkinOfficeComboBox.h"
#include "skin/controls/bsSkinBoxCtrls.h"
#include "skin/controls/bsSkinCtrls.h"
#include "skin/controls/bsSkinTabs.h"
#include "skin/core/bsPngImageList.h"
#include "skin/core/bsSkinData.h"
#include "skin/dialogs/TbsSelectSkinDialog.h"
#include "skin/dialogs/TbsSkinMessage.h"
#include "skin/dialogs/TbsSkinOpenDialog.h"
#include "skin/dialogs/TbsSkinSelectDirectoryDialog.h"
#include "skin/forms/bsSkinForm.h"
#include "skin/forms/bsSkinMenus.h"

// The job row's 25 columns: column 0 is the row's caption, column n the sub-item n - 1.
enum TJobColumn {
    jcInputFile,
    jcDuration,
    jcFileSize,
    jcOutputFile,
    jcProgress,
    jcFps,
    jcCurrentTime,
    jcConvertedSize,
    jcTaskNumber,
    jcProfileCode,
    jcComboIndices,
    jcVideoCodec,
    jcAudioCodec,
    jcAudioChannels,
    jcVideoTag,
    jcFileExt,
    jcFrameSize,
    jcVideoBitrate,
    jcFrameRate,
    jcAudioBitrate,
    jcAudioSampleRate,
    jcFrameAspectRatio,
    jcDisableVideo,
    jcTargetType,
    jcNormType
};
constexpr int JobColumnCount = 25;

// Column Column of a job row (0: the caption). A column the row lacks reads empty and is made when written.
String JobColumnText(const TListItem* Row, int Column);
void SetJobColumnText(TListItem* Row, int Column, const String& Text);

struct TJobColumnSpec {
    const char16_t* Caption;
    int Width; // 0: a hidden column, at most 1 pixel wide
};
extern const std::array<TJobColumnSpec, JobColumnCount> JobColumns;

// The option slots: 501 pairs of engine records with a state of their own.
constexpr int OptionSlotCount = 501;
inline const String SlotFree = u"kong";
inline const String SlotUsed = u"Full";
inline const String SlotRemoved = u"DELETED";

// The player states by TPlayState, for the log.
extern const std::array<String, 6> PlayerStateNames;

// Whole seconds as "hh:mm:ss", the hours wrapping at 24.
String SecToDate(int Sec);
// A file size in bytes as megabytes to two decimals, in the general float form, followed by "MB".
String FileSizeText(Int64 Bytes);
// The open-file dialogs' filter: 42 description|masks pairs, each ending in "|".
String OpenFileFilter();

// The commands whose controls are enabled and disabled together.
enum TCommand { cmdAdd, cmdRemove, cmdRename, cmdClear, cmdStart, cmdStop, cmdPause, cmdResume, cmdSettings };

class TForm1 : public TForm, public TSettingsHost {
    QV_CLASS_NAME(TForm1)
public:
    explicit TForm1(TComponent* AOwner);
    ~TForm1() override;

    // Start-up and shutdown.
    void FormCreate(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FFLoggerLog(TObject* Sender, Cardinal AThreadID, TLogLevel ALogLevel, const String& ALogMsg);

    // Hidden-button operations.
    void Button15Click(TObject* Sender); // free all option slots
    void Button17Click(TObject* Sender); // read the output folder
    void Button16Click(TObject* Sender); // write the output folder
    void Button21Click(TObject* Sender); // the open-file filter
    void Button3Click(TObject* Sender);  // read the skin index
    void Button4Click(TObject* Sender);  // write the skin index
    // The catalogue (Unit1Catalogue.cpp): virtual so that a test can log every run.
    virtual void Button2Click(TObject* Sender);  // fill the profile combo box
    virtual void Button5Click(TObject* Sender);  // apply the chosen profile
    virtual void Button6Click(TObject* Sender);  // reset the output parameters
    virtual void Button13Click(TObject* Sender); // apply the advanced choices
    virtual void Button18Click(TObject* Sender); // fill the six advanced combo boxes
    virtual void bsSkinOfficeComboBox2Change(TObject* Sender);
    virtual void bsSkinOfficeComboBox1Change(TObject* Sender);
    virtual void bsSkinComboBox1Change(TObject* Sender);
    virtual void bsSkinComboBox2Change(TObject* Sender);
    virtual void bsSkinComboBox3Change(TObject* Sender);
    virtual void bsSkinComboBox4Change(TObject* Sender);
    virtual void bsSkinComboBox9Change(TObject* Sender);
    virtual void bsSkinComboBox10Change(TObject* Sender);
    // Adding and editing jobs (Unit1Jobs.cpp).
    void btnAddClick(TObject* Sender);   // one file
    void Button8Click(TObject* Sender);  // several files
    void Button12Click(TObject* Sender); // every file of a folder
    void btnRemoveClick(TObject* Sender);
    void btnClearClick(TObject* Sender);
    void bsSkinButton3Click(TObject* Sender);  // move up
    void bsSkinButton4Click(TObject* Sender);  // move down
    void bsSkinButton21Click(TObject* Sender); // begin renaming
    void edtExit(TObject* Sender);             // commit the typed name
    void lvFilesSelectItem(TObject* Sender, TListItem* Item, bool Selected);
    void lvFilesClick(TObject* Sender);
    void lvFilesDblClick(TObject* Sender);
    // The paths of the files (not folders) of one folder, in the order the file system gives them; null when
    // there is no such folder.
    std::unique_ptr<TStringList> GetFilenames(String FilePath, const String& ExtMask);
    // Built by later work; kept as the places the start-up and the commands call.
    void Button31Click(TObject* Sender); // open the preview file

    // Running a batch and the after-batch actions (Unit1Batch.cpp).
    void btnStartClick(TObject* Sender);
    void btnStopClick(TObject* Sender);
    void btnPauseClick(TObject* Sender);
    void btnResumeClick(TObject* Sender);
    void button28Click(TObject* Sender); // rebuild the engine's tasks from the rows
    void Button22Click(TObject* Sender); // lock the settings controls
    void Button23Click(TObject* Sender); // unlock them
    void Button20Click(TObject* Sender); // open the output folder
    void Button25Click(TObject* Sender); // power the computer off
    void Button29Click(TObject* Sender); // play the end-of-batch sound
    bool SetPrivilege(const String& PrivilegeName, bool Enable);
    void bsSkinButton6Click(TObject* Sender);
    void chkPreviewClick(TObject* Sender);
    void FFConvProgress(TObject* Sender, PProgressInfo AProgressInfo);
    void FFConvTerminate(TObject* Sender, const TTerminateInfo& ATerminateInfo);
    // The row that a task's reports address, or -1.
    int RowOfTask(int TaskIndex) const;

    // Visible controls and menu items.
    void bsSkinButton5Click(TObject* Sender);
    void bsSkinButton2Click(TObject* Sender) { btnStartClick(Sender); }
    void bsSkinButton10Click(TObject* Sender) { btnStopClick(Sender); }
    void bsSkinButton11Click(TObject* Sender);
    void bsSkinButton12Click(TObject* Sender);
    void bsSkinButton19Click(TObject* Sender);
    void bsSkinButton7Click(TObject* Sender) { btnRemoveClick(Sender); }
    void bsSkinButton8Click(TObject* Sender) { btnClearClick(Sender); }
    void N21Click(TObject* Sender) { Button12Click(Sender); }
    void N3331Click(TObject* Sender) { Button12Click(Sender); }
    void N2222Click(TObject* Sender) { Button8Click(Sender); }
    void N26Click(TObject* Sender) { bsSkinButton21Click(Sender); }
    void N4Click(TObject* Sender) { Close(); }
    void N5Click(TObject* Sender);
    void N24Click(TObject* Sender) { bsSkinButton19Click(Sender); }
    void N23Click(TObject* Sender);
    void N15Click(TObject* Sender);
    void N19Click(TObject* Sender);
    void Video_OutPut_Folder_EditClick(TObject* Sender);
    void bsSkinPanel1Click(TObject* Sender) {}
    void bsSkinSlider1Change(TObject* Sender) {}

    // The preview panel: the buttons, the seek slider and the player's events.
    void bsSkinButton13Click(TObject* Sender); // play
    void bsSkinButton14Click(TObject* Sender); // pause
    void bsSkinButton15Click(TObject* Sender); // stop: back to the start, paused
    void bsSkinButton16Click(TObject* Sender); // mute
    void bsSkinButton20Click(TObject* Sender); // unmute
    void bsSkinSlider1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void bsSkinSlider1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void RUDezariFileOpen(TObject* Sender, Int64 ADuration, Integer AFrameWidth, Integer AFrameHeight,
                          Integer& AScreenWidth, Integer& AScreenHeight);
    void RUDezariPosition(TObject* Sender, Int64 APTS);
    void RUDezariState(TObject* Sender, TPlayState AState);
    void RUDezariHook(TObject* Sender, TBitmap* ABitmap, Int64 APTS) {}
    // The first direct windowed child named Name exactly; nil when there is none.
    TWinControl* FindWinControlByName(const String& Name);

    // Snapshots: the picture on show saved into the snapshot folder, and the settings menu.
    void bsSkinButton22Click(TObject* Sender);
    void bsSkinButton23MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void bsSkinButton23Click(TObject* Sender);
    void BMP1Click(TObject* Sender);
    void JPG1Click(TObject* Sender);
    void GIF1Click(TObject* Sender);
    void PNG1Click(TObject* Sender);
    void MenuItem1Click(TObject* Sender); // open the snapshot folder
    void MenuItem2Click(TObject* Sender); // choose the snapshot folder
    // Both read option.ini afresh, repair what is unusable and write the repair back.
    String ResolveSnapshotFolder();
    String ResolveSnapshotType();

    // Sets the command's controls (skinned buttons and menu items) enabled or disabled together; a picture of
    // bsPngImageList1 (not -1) is shown by the command's toolbar button.
    void SetCommandState(TCommand Command, bool Enabled, int Picture = -1);
    bool CommandEnabled(TCommand Command) const;
    // The "window created" states.
    void SetCreatedCommandStates();

    // The names of the controls the preview may render into.
    void FillScreenNames();

    // The folder the user picks in the shared folder picker (output and snapshot folder alike); false when the
    // picker was cancelled or there is none.
    virtual bool PickOutputFolder(String& Folder);
    // The skin the user picks; false when cancelled or there is no chooser.
    virtual bool PickSkin(int& SkinIndex);
    // The file to add; false when cancelled or there is no dialog.
    virtual bool PickInputFile(String& FileName);
    // The files chosen to add (Files) and the dialog's file name; false when cancelled or there is no dialog.
    virtual bool PickInputFiles(TStrings* Files, String& FileName);
    // The folder whose files to add; false when cancelled or there is no picker.
    virtual bool PickInputFolder(String& Folder);
    // A notice with the caption "提示", the information icon and one OK button.
    virtual void ShowNotice(const String& Text);

    // What the settings dialog reads and writes: OutputParams, the output folder edit, the options dialog's
    // overwrite choice, bsSkinData1.
    TOutputParams& SettingsParams() override { return OutputParams; }
    String SettingsOutputFolder() override;
    bool SettingsOverwriteFiles() override;
    TbsSkinData* SettingsSkinData() override { return bsSkinData1; }

    // The skins and pictures.
    TbsCompressedSkinList* bsCompressedSkinList1 = nullptr;
    TbsSelectSkinDialog* bsSelectSkinDialog1 = nullptr;
    // The output and snapshot folders' picker.
    TbsSkinSelectDirectoryDialog* bsSkinSelectDirectoryDialog2 = nullptr;
    // Adding files: one file, several files, every file of a folder; and the notices.
    TbsSkinOpenDialog *OpenDialog1 = nullptr, *OpenDialog2 = nullptr;
    TbsSkinSelectDirectoryDialog* bsSkinSelectDirectoryDialog1 = nullptr;
    TbsSkinMessage* bsSkinMessage1 = nullptr;
    TbsCompressedStoredSkin* bsCompressedStoredSkin1 = nullptr;
    TbsSkinData* bsSkinData1 = nullptr;
    TbsSkinData* bsSkinData2 = nullptr;
    TbsPngImageList* bsPngImageList1 = nullptr;
    TbsPngImageList* bsPngImageList3 = nullptr;
    TbsPngImageList* bsPngImageList4 = nullptr;
    TbsPngImageList* bsPngImageList5 = nullptr;
    TbsSkinForm* bsSkinForm1 = nullptr;

    // The engine.
    TFFLogger* FFLogger = nullptr;
    TFFConverter* FFConv = nullptr;
    // The row of each task of the running batch, by task index.
    std::vector<int> FTaskRows;
    TRUDezari* RUDezari = nullptr;

    // Menus.
    TbsSkinMainMenu* bsSkinMainMenu1 = nullptr;
    TbsSkinMainMenuBar* bsSkinMainMenuBar1 = nullptr;
    TMenuItem *Item111 = nullptr, *Item121 = nullptr, *N21 = nullptr, *N4 = nullptr;
    TMenuItem *N111 = nullptr, *N2221 = nullptr, *N13 = nullptr, *N14 = nullptr, *N26 = nullptr;
    TMenuItem *N7 = nullptr, *N8 = nullptr, *N10 = nullptr, *N11 = nullptr;
    TMenuItem *N24 = nullptr, *N23 = nullptr, *N15 = nullptr, *N19 = nullptr, *N5 = nullptr;
    TPopupMenu* bsSkinPopupMenu1 = nullptr;
    TMenuItem *N11111 = nullptr, *N2222 = nullptr, *N3331 = nullptr;
    TPopupMenu* bsSkinPopupMenu2 = nullptr;
    TMenuItem *MenuItem1 = nullptr, *MenuItem2 = nullptr, *N27 = nullptr;
    TMenuItem *BMP1 = nullptr, *JPG1 = nullptr, *GIF1 = nullptr, *PNG1 = nullptr;

    // Toolbar.
    TbsSkinToolBar* bsSkinToolBar2 = nullptr;
    TbsSkinMenuSpeedButton* bsSkinMenuSpeedButton1 = nullptr;
    TbsSkinButton *bsSkinButton2 = nullptr, *bsSkinButton10 = nullptr, *bsSkinButton11 = nullptr;
    TbsSkinButton *bsSkinButton12 = nullptr, *bsSkinButton19 = nullptr;

    // Job list.
    TbsSkinPanel* bsSkinPanel1 = nullptr;
    TbsSkinListView* lvFiles = nullptr;
    TbsSkinScrollBar *bsSkinScrollBar1 = nullptr, *bsSkinScrollBar2 = nullptr;
    TbsSkinButton *bsSkinButton7 = nullptr, *bsSkinButton8 = nullptr, *bsSkinButton4 = nullptr;
    TbsSkinButton *bsSkinButton3 = nullptr, *bsSkinButton21 = nullptr;
    TbsSkinPanel* bsSkinPanel5 = nullptr;
    TImage* bsSkinPanel5Picture = nullptr;

    // Preview.
    TbsSkinPanel* bsSkinPanel3 = nullptr;
    TPanel* Panel6 = nullptr;
    TbsSkinSlider* bsSkinSlider1 = nullptr;
    TbsSkinButton *bsSkinButton13 = nullptr, *bsSkinButton14 = nullptr, *bsSkinButton15 = nullptr;
    TbsSkinButton *bsSkinButton16 = nullptr, *bsSkinButton20 = nullptr, *bsSkinButton22 = nullptr;
    TbsSkinButton* bsSkinButton23 = nullptr;

    // Settings pages.
    TbsSkinPageControl* bsSkinPageControl1 = nullptr;
    TbsSkinTabSheet *bsSkinTabSheet1 = nullptr, *bsSkinTabSheet2 = nullptr;
    TbsSkinOfficeComboBox *bsSkinOfficeComboBox2 = nullptr, *bsSkinOfficeComboBox1 = nullptr;
    TEdit* Video_OutPut_Folder_Edit = nullptr;
    TbsSkinButton *bsSkinButton5 = nullptr, *bsSkinButton6 = nullptr;
    TbsSkinComboBox *bsSkinComboBox1 = nullptr, *bsSkinComboBox2 = nullptr, *bsSkinComboBox9 = nullptr;
    TbsSkinComboBox *bsSkinComboBox3 = nullptr, *bsSkinComboBox10 = nullptr, *bsSkinComboBox4 = nullptr;
    // Writes a catalogue combo box's ItemIndex, which runs its change handler at once, also for the index it
    // already had.
    void SetCatalogueIndex(TbsSkinOfficeComboBox* Combo, int Index) { Combo->SetItemIndex(Index); }
    // The advanced combo box of a kind.
    TbsSkinComboBox* AdvancedCombo(TAdvancedKind Kind) const;

    // Hidden panels and buttons; Panel5 lies outside the client area.
    TPanel *Panel1 = nullptr, *Panel3 = nullptr, *Panel4 = nullptr, *Panel5 = nullptr;
    TButton *Button19 = nullptr, *Button27 = nullptr;
    TEdit* edt = nullptr;
    TMemo* mmoLog = nullptr;
    TComboBox *cboScreens = nullptr, *cboVideoDriver = nullptr, *cboAudioDriver = nullptr;
    TCheckBox *chkOpenPaused = nullptr, *chkStayOnTop = nullptr, *chkThreadMode = nullptr;
    TCheckBox* chkPreview = nullptr;

    // Window state.
    String FileOutPutPath;
    // The Filter of the two open-file dialogs, which take it when they exist.
    String OpenDialogFilter;
    String bsSkinSlider1_down_UP;
    String T_Movie_PLayer_FileName;
    Int64 FDuration = 0;
    TWinControl* FScreenControl = nullptr;
    TOutputParams OutputParams;
    std::array<TInputOptions, OptionSlotCount> IO1{};
    std::array<TOutputOptions, OptionSlotCount> OO1{};
    std::array<String, OptionSlotCount> SlotStates;

    // The maker's web addresses.
    static const String HelpPageURL;
    static const String HomePageURL;
    static const String SupportMail;

    void Dispatch(TMessage& Message) override;

protected:
    void CreateWnd() override;
    void WMWindowPosChanging(TMessage& Message);
    void WMWindowPosChanged(TMessage& Message);
    // The player operations of the seek slider and the end of the media.
    virtual void PausePlayer();
    virtual void SeekPlayer(Int64 APTS, TSeekFlags AFlags);
    virtual void ResumePlayer();

private:
    void CreateSkins();
    void CreateImageLists();
    void CreateEngine();
    void CreateMenus();
    void CreateMenuBar();
    void CreateToolBar();
    void CreateJobPanel();
    void CreatePreviewPanel();
    void CreatePages();
    void CreateHiddenControls();
    void BindPreview();
    TbsSkinButton* NewSkinButton(TWinControl* AParent, const String& AName, const String& ACaption, int ALeft, int ATop,
                                 int AWidth, int AHeight, TbsPngImageList* AImages, int AImageIndex);
    TButton* NewHiddenButton(TWinControl* AParent, const String& AName, const String& ACaption, TNotifyEvent AClick);
    // A choice in an advanced combo box recorded in the selected job row.
    void AdvancedComboChange(TAdvancedKind Kind);
    // Adding: the preparation of every add command, one file's job, and the steps after the last file.
    enum TAddResult { arAdded, arSkipped, arStopped };
    bool PrepareAdd();
    TAddResult AddFileAsJob(const String& FileName, bool FocusList);
    void AddedJobRow(const TInputOptions& Input, const TOutputOptions& Output, int TaskIndex);
    void FinishAdd();
    void LogLine(const String& Line);
    // Editing.
    void SetListCommandStates(bool Enabled);
    void ShowEmptyList();
    void MoveSelectedRow(int Delta);
    void BeginRename();
    bool RowOwnsTask(const TListItem* Row, int TaskIndex);
    void WriteOutputFolder(const String& Folder);
    void UseDefaultOutputFolder();
    static void OpenAddress(const String& Address);
};

extern TForm1* Form1;
