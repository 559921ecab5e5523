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
