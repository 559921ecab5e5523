// The preview panel of the main window: the selected job's input file plays paused into Panel6, the player's
// events drive the seek slider and the log, and the buttons under the slider play, pause, stop and mute.
#include "app/Unit1.h"

#include "engine/AVProbe.h"
#include "engine/MyUtils.h"
#include "platform/base/SysUtils.h"

void TForm1::BindPreview() {
    RUDezari->OnFileOpen = [this](TObject* S, Int64 Duration, Integer W, Integer H, Integer& SW, Integer& SH) {
        RUDezariFileOpen(S, Duration, W, H, SW, SH);
    };
    RUDezari->OnPosition = [this](TObject* S, Int64 Pts) { RUDezariPosition(S, Pts); };
    RUDezari->OnState = [this](TObject* S, TPlayState State) { RUDezariState(S, State); };
    RUDezari->OnHook = [this](TObject* S, TBitmap* Bitmap, Int64 Pts) { RUDezariHook(S, Bitmap, Pts); };

    auto On = [this](void (TForm1::*Handler)(TObject*)) {
        return [this, Handler](TObject* S) { (this->*Handler)(S); };
    };
    bsSkinButton13->OnClick = On(&TForm1::bsSkinButton13Click);
    bsSkinButton14->OnClick = On(&TForm1::bsSkinButton14Click);
    bsSkinButton15->OnClick = On(&TForm1::bsSkinButton15Click);
    bsSkinButton16->OnClick = On(&TForm1::bsSkinButton16Click);
    bsSkinButton20->OnClick = On(&TForm1::bsSkinButton20Click);
    bsSkinSlider1->OnMouseDown = [this](TObject* S, TMouseButton B, TShiftState Shift, int X, int Y) {
        bsSkinSlider1MouseDown(S, B, Shift, X, Y);
    };
    bsSkinSlider1->OnMouseUp = [this](TObject* S, TMouseButton B, TShiftState Shift, int X, int Y) {
        bsSkinSlider1MouseUp(S, B, Shift, X, Y);
    };

    bsSkinButton22->OnClick = On(&TForm1::bsSkinButton22Click);
    bsSkinButton23->OnClick = On(&TForm1::bsSkinButton23Click);
    bsSkinButton23->OnMouseDown = [this](TObject* S, TMouseButton B, TShiftState Shift, int X, int Y) {
        bsSkinButton23MouseDown(S, B, Shift, X, Y);
    };
    // A right click opens the same menu through the control's own context-menu handling.
    bsSkinButton23->SetPopupMenu(bsSkinPopupMenu2);
    MenuItem1->OnClick = On(&TForm1::MenuItem1Click);
    MenuItem2->OnClick = On(&TForm1::MenuItem2Click);
    BMP1->OnClick = On(&TForm1::BMP1Click);
    JPG1->OnClick = On(&TForm1::JPG1Click);
    GIF1->OnClick = On(&TForm1::GIF1Click);
    PNG1->OnClick = On(&TForm1::PNG1Click);
}

TWinControl* TForm1::FindWinControlByName(const String& Name) {
    for (int I = 0; I < ControlCount(); ++I)
        if (auto* Child = dynamic_cast<TWinControl*>(Controls(I)); Child && Child->Name() == Name)
            return Child;
    return nullptr;
}

void TForm1::Button31Click(TObject* Sender) {
    if (!RUDezari->AVLibLoaded() && !RUDezari->LoadAVLib(GetAppPath() + u"LibAV")) {
        mmoLog->Lines()->Add(RUDezari->LastErrMsg());
        return;
    }
    const int Target = cboScreens->ItemIndex();
    FScreenControl = FindWinControlByName(Target >= 0 ? cboScreens->Items()->Strings(Target) : String());
    switch (cboVideoDriver->ItemIndex()) {
    case 1:
        RUDezari->SetVideoDriver(vdDirectDraw);
        break;
    case 2:
        RUDezari->SetVideoDriver(vdGDI);
        break;
    default:
        RUDezari->SetVideoDriver(vdDefault);
    }
    switch (cboAudioDriver->ItemIndex()) {
    case 1:
        RUDezari->SetAudioDriver(adDirectSound);
        break;
    case 2:
        RUDezari->SetAudioDriver(adWaveOut);
        break;
    default:
        RUDezari->SetAudioDriver(adDefault);
    }
    // The picture always goes to Panel6, whatever the target's name found.
    if (!RUDezari->Open(T_Movie_PLayer_FileName, Panel6->Handle(), chkOpenPaused->Checked()))
        mmoLog->Lines()->Add(RUDezari->LastErrMsg());
}

void TForm1::RUDezariFileOpen(TObject* Sender, Int64 ADuration, Integer AFrameWidth, Integer AFrameHeight,
                              Integer& AScreenWidth, Integer& AScreenHeight) {
    // The player reports an unknown duration as -1: it counts as none, so the slider stays at its start.
    const Int64 Duration = ADuration > 0 ? ADuration : 0;
    String Info = RUDezari->AVProbe() ? RUDezari->AVProbe()->FileInfoText() : String();
    // The text ends in a line break, which would leave an empty line in the log.
    if (Info.size() >= 2 && Info.compare(Info.size() - 2, 2, u"\r\n") == 0)
        Info.resize(Info.size() - 2);
    mmoLog->Lines()->Add(Info);
    mmoLog->Lines()->Add(
        Format(u"duration: %f, frame size: %dx%d", {double(Duration) / 1000000, AFrameWidth, AFrameHeight}));
    if (FScreenControl) {
        AScreenWidth = FScreenControl->Width();
        AScreenHeight = FScreenControl->Height();
    } else {
        const TRect Desktop = Screen->DesktopRect();
        AScreenWidth = Desktop.Right - Desktop.Left;
        AScreenHeight = Desktop.Bottom - Desktop.Top;
    }
    FDuration = Duration;
    bsSkinSlider1->SetIncrement(5);
    bsSkinSlider1->SetMaxValue(bsSkinSlider1->Width());
    bsSkinSlider1->SetValue(0);
}

void TForm1::RUDezariPosition(TObject* Sender, Int64 APTS) {
    // The thumb stays where the user holds it.
    if (bsSkinSlider1_down_UP != u"UP")
        return;
    if (APTS >= 0 && FDuration > 0)
        bsSkinSlider1->SetValue(int(Int64(bsSkinSlider1->MaxValue()) * APTS / FDuration));
}

void TForm1::RUDezariState(TObject* Sender, TPlayState AState) {
    mmoLog->Lines()->Add(PlayerStateNames[std::size_t(AState)]);
    switch (AState) {
    case psPlay:
    case psResume:
        if (chkStayOnTop->Checked())
            SetFormStyle(fsStayOnTop);
        break;
    case psPause:
    case psStep:
        SetFormStyle(fsNormal);
        break;
    case psStop:
        SetFormStyle(fsNormal);
        // The video surface repaints in its own colour, so the last picture goes.
        if (HWND Surface = RUDezari->ScreenHandle()) {
            PostMessageW(Surface, CM_INVALIDATE, 0, 0);
            UpdateWindow(Surface);
        }
        break;
    case psEnd:
        // Back to the start, paused: play starts the file again.
        SeekPlayer(0, TSeekFlags{sfAny});
        PausePlayer();
        break;
    }
}

void TForm1::bsSkinSlider1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
    bsSkinSlider1_down_UP = u"Down";
    PausePlayer();
}

void TForm1::bsSkinSlider1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
    PausePlayer();
    const int Max = bsSkinSlider1->MaxValue();
    // A slider without range seeks to the start rather than dividing by zero.
    SeekPlayer(Max > 0 ? FDuration * bsSkinSlider1->Value() / Max : 0, TSeekFlags());
    ResumePlayer();
    bsSkinSlider1_down_UP = u"UP";
}

void TForm1::PausePlayer() {
    RUDezari->Pause();
}

void TForm1::SeekPlayer(Int64 APTS, TSeekFlags AFlags) {
    RUDezari->Seek(APTS, AFlags, false);
}

void TForm1::ResumePlayer() {
    RUDezari->Resume();
}

void TForm1::bsSkinButton13Click(TObject* Sender) {
    ResumePlayer();
    if (lvFiles->CanFocus())
        lvFiles->SetFocus();
}

void TForm1::bsSkinButton14Click(TObject* Sender) {
    PausePlayer();
    if (lvFiles->CanFocus())
        lvFiles->SetFocus();
}

void TForm1::bsSkinButton15Click(TObject* Sender) {
    if (!lvFiles->Selected())
        return;
    try {
        RUDezari->Stop(true);
        if (!RUDezari->Open(T_Movie_PLayer_FileName, Panel6->Handle(), chkOpenPaused->Checked()))
            mmoLog->Lines()->Add(RUDezari->LastErrMsg());
        if (lvFiles->CanFocus())
            lvFiles->SetFocus();
    } catch (const std::exception&) {
        // A failed reopen leaves the preview closed; nothing is shown.
        RUDezari->Stop(true);
    }
}

void TForm1::bsSkinButton16Click(TObject* Sender) {
    RUDezari->SetMute(true);
    bsSkinButton20->SetVisible(true);
    bsSkinButton16->SetVisible(false);
}

void TForm1::bsSkinButton20Click(TObject* Sender) {
    RUDezari->SetMute(false);
    bsSkinButton20->SetVisible(false);
    bsSkinButton16->SetVisible(true);
}

void TForm1::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_WINDOWPOSCHANGING:
        WMWindowPosChanging(Message);
        return;
    case WM_WINDOWPOSCHANGED:
        WMWindowPosChanged(Message);
        return;
    }
    TForm::Dispatch(Message);
}

void TForm1::WMWindowPosChanging(TMessage& Message) {
    TForm::Dispatch(Message);
    if (RUDezari)
        RUDezari->UpdateScreenPosition();
}

void TForm1::WMWindowPosChanged(TMessage& Message) {
    TForm::Dispatch(Message);
    if (RUDezari)
        RUDezari->UpdateScreenPosition();
}
