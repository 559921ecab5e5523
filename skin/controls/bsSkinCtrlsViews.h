// What the skinned tree and list views share: their font and colour from a text-view record, and showing an
// external bar with the view.
#pragma once

#include "platform/ui/Controls.h"
#include "skin/controls/TbsSkinScrollBar.h"
#include "skin/core/TbsSkinData.h"

// Applies the record Name of SD (of class Record) to View, or the defaults without one; returns the record's
// index, -1 for none. A record of another class changes nothing.
template <class Record>
int ApplyViewSkin(TControl* View, TbsSkinData* SD, const String& Name, bool UseSkinFont, TFont* DefaultFont,
                  TColor DefaultColor) {
    const int Index = !SD || SD->Empty ? -1 : SD->GetControlIndex(Name);
    if (Index == -1) {
        View->SetColor(DefaultColor);
        View->Font()->Assign(DefaultFont);
    } else if (auto* Rec = dynamic_cast<Record*>(SD->CtrlList.at(std::size_t(Index)).get())) {
        if (UseSkinFont) {
            View->Font()->SetName(Rec->FontName);
            View->Font()->SetStyle(Rec->FontStyle);
            View->Font()->SetHeight(Rec->FontHeight);
        } else {
            View->Font()->Assign(DefaultFont);
        }
        View->Font()->SetColor(Rec->FontColor);
        View->SetColor(Rec->BGColor);
    }
    if (SD && SD->ResourceStrData())
        View->Font()->SetCharset(SD->ResourceStrData()->CharSet());
    else
        View->Font()->SetCharset(DefaultFont->Charset());
    return Index;
}

// Stores a view's skin data and applies it, unless it is empty or the view is being designed.
template <class View> void StoreViewSkinData(View& V, TbsSkinData* Value) {
    if (V.FSD && V.FSD != Value)
        V.FSD->RemoveFreeNotification(&V);
    V.FSD = Value;
    if (Value)
        Value->FreeNotification(&V);
    if (Value && !Value->Empty && !V.ComponentState().Contains(csDesigning))
        V.ChangeSkinData();
}

// Attaches an external bar: enabled, hidden until the view shows it, its changes going to OnChange.
template <class View>
void AttachViewBar(View& V, TbsSkinScrollBar*& Field, TbsSkinScrollBar* Value, TNotifyEvent OnChange) {
    if (Field && Field != Value)
        Field->RemoveFreeNotification(&V);
    Field = Value;
    if (Value) {
        Value->FreeNotification(&V);
        Value->SetEnabled(true);
        Value->SetVisible(false);
        Value->OnChange = std::move(OnChange);
    }
    V.UpDateScrollBars();
}

// A removed skin data or bar is forgotten.
template <class View> void ForgetViewPart(View& V, TComponent* AComponent) {
    if (AComponent == V.FSD)
        V.FSD = nullptr;
    if (AComponent == V.FVScrollBar)
        V.FVScrollBar = nullptr;
    if (AComponent == V.FHScrollBar)
        V.FHScrollBar = nullptr;
}

// The default look of a part: a one-pixel frame around a fill.
void FrameAndFill(TCanvas* C, const TRect& R, TColor Frame, TColor Fill);

// Shows or hides Bar by Show and the view's own visibility; true when that changed its visibility.
bool ShowViewBar(TbsSkinScrollBar* Bar, bool Show, bool ViewVisible);
// The horizontal bar leaves the corner square while the vertical one shows.
void SyncBoth(TbsSkinScrollBar* VBar, TbsSkinScrollBar* HBar);
