#include "skin/controls/bsSkinCtrlsViews.h"

#include "skin/controls/TbsSkinScrollBar.h"

bool ShowViewBar(TbsSkinScrollBar* Bar, bool Show, bool ViewVisible) {
    const bool Old = Bar->Visible();
    Bar->SetVisible(Show && ViewVisible);
    return Bar->Visible() != Old;
}

void SyncBoth(TbsSkinScrollBar* VBar, TbsSkinScrollBar* HBar) {
    if (VBar && HBar && HBar->Both() != VBar->Visible())
        HBar->SetBoth(VBar->Visible());
}

void FrameAndFill(TCanvas* C, const TRect& R, TColor Frame, TColor Fill) {
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Frame);
    C->FrameRect(R);
    C->Brush()->SetColor(Fill);
    C->FillRect(Rect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1));
}
