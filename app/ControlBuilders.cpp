#include "app/ControlBuilders.h"

TPanel* NewPanel(TComponent* Owner, TWinControl* Parent, const String& Name, int Left, int Top, int Width, int Height) {
    auto* Panel = new TPanel(Owner);
    Panel->SetName(Name);
    Panel->SetCaption(u"");
    Panel->SetBounds(Left, Top, Width, Height);
    Panel->SetParent(Parent);
    return Panel;
}

TPanel* NewGroupPanel(TComponent* Owner, TWinControl* Parent, const String& Name, const String& Caption, int Left,
                      int Top, int Width, int Height) {
    TPanel* Panel = NewPanel(Owner, Parent, Name, Left, Top, Width, Height);
    Panel->SetBevelOuter(bvLowered);
    NewLabel(Owner, Panel, Caption, 8, 4);
    return Panel;
}

TLabel* NewLabel(TComponent* Owner, TWinControl* Parent, const String& Caption, int Left, int Top) {
    auto* Label = new TLabel(Owner);
    Label->SetCaption(Caption);
    Label->SetLeft(Left);
    Label->SetTop(Top);
    Label->SetParent(Parent);
    return Label;
}

namespace {

template <class T>
T* NewButtonControl(TComponent* Owner, TWinControl* Parent, const String& Name, const String& Caption, int Left,
                    int Top, int Width) {
    auto* Box = new T(Owner);
    Box->SetName(Name);
    Box->SetCaption(Caption);
    Box->SetBounds(Left, Top, Width, 22);
    Box->SetParent(Parent);
    return Box;
}

} // namespace

TCheckBox* NewCheckBox(TComponent* Owner, TWinControl* Parent, const String& Name, const String& Caption, int Left,
                       int Top, int Width) {
    return NewButtonControl<TCheckBox>(Owner, Parent, Name, Caption, Left, Top, Width);
}

TRadioButton* NewRadioButton(TComponent* Owner, TWinControl* Parent, const String& Name, const String& Caption,
                             int Left, int Top, int Width) {
    return NewButtonControl<TRadioButton>(Owner, Parent, Name, Caption, Left, Top, Width);
}

TPageControl* NewPageControl(TComponent* Owner, TWinControl* Parent, const String& Name, int Left, int Top, int Width,
                             int Height) {
    auto* Pages = new TPageControl(Owner);
    Pages->SetName(Name);
    Pages->SetBounds(Left, Top, Width, Height);
    Pages->SetParent(Parent);
    return Pages;
}

TTabSheet* NewTabSheet(TComponent* Owner, TPageControl* Pages, const String& Name, const String& Caption) {
    auto* Sheet = new TTabSheet(Owner);
    Sheet->SetName(Name);
    Sheet->SetCaption(Caption);
    Sheet->SetPageControl(Pages);
    if (Pages->PageCount() == 1)
        Pages->SetActivePage(Sheet);
    return Sheet;
}
