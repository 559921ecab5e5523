#include "app/StandIns.h"

TPanel* NewGroupPanel(TComponent* Owner, TWinControl* Parent, const String& Name, const String& Caption, int Left,
                      int Top, int Width, int Height) {
    auto* Panel = new TPanel(Owner);
    Panel->SetName(Name);
    Panel->SetCaption(u"");
    Panel->SetBevelOuter(bvLowered);
    Panel->SetBounds(Left, Top, Width, Height);
    Panel->SetParent(Parent);
    auto* Title = new TLabel(Owner);
    Title->SetCaption(Caption);
    Title->SetLeft(8);
    Title->SetTop(4);
    Title->SetParent(Panel);
    return Panel;
}
