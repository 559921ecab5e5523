#include "app/ControlBuilders.h"

TPanel* NewPanel(TComponent* Owner, TWinControl* Parent, const String& Name, int Left, int Top, int Width, int Height) {
    auto* Panel = new TPanel(Owner);
    Panel->SetName(Name);
    Panel->SetCaption(u"");
    Panel->SetBounds(Left, Top, Width, Height);
    Panel->SetParent(Parent);
    return Panel;
}

namespace {

template <class T>
T* Place(T* Control, TWinControl* Parent, TbsSkinData* Skin, const String& Name, int Left, int Top, int Width,
         int Height) {
    Control->SetName(Name);
    Control->SetSkinData(Skin);
    Control->SetBounds(Left, Top, Width, Height);
    Control->SetParent(Parent);
    return Control;
}

} // namespace

TbsSkinPanel* NewSkinPanel(TComponent* Owner, TWinControl* Parent, TbsSkinData* Skin, const String& Name, int Left,
                           int Top, int Width, int Height) {
    auto* Panel = Place(new TbsSkinPanel(Owner), Parent, Skin, Name, Left, Top, Width, Height);
    Panel->SetCaption(u"");
    return Panel;
}

TbsSkinGroupBox* NewGroupBox(TComponent* Owner, TWinControl* Parent, TbsSkinData* Skin, const String& Name,
                             const String& Caption, int Left, int Top, int Width, int Height) {
    auto* Box = Place(new TbsSkinGroupBox(Owner), Parent, Skin, Name, Left, Top, Width, Height);
    Box->SetCaption(Caption);
    return Box;
}

TbsSkinStdLabel* NewLabel(TComponent* Owner, TWinControl* Parent, TbsSkinData* Skin, const String& Caption, int Left,
                          int Top) {
    auto* Label = new TbsSkinStdLabel(Owner);
    Label->SetSkinData(Skin);
    Label->SetCaption(Caption);
    Label->SetLeft(Left);
    Label->SetTop(Top);
    Label->SetParent(Parent);
    return Label;
}

TbsSkinCheckRadioBox* NewCheckBox(TComponent* Owner, TWinControl* Parent, TbsSkinData* Skin, const String& Name,
                                  const String& Caption, int Left, int Top, int Width) {
    auto* Box = Place(new TbsSkinCheckRadioBox(Owner), Parent, Skin, Name, Left, Top, Width, 22);
    Box->SetCaption(Caption);
    return Box;
}

TbsSkinCheckRadioBox* NewRadioBox(TComponent* Owner, TWinControl* Parent, TbsSkinData* Skin, const String& Name,
                                  const String& Caption, int Left, int Top, int Width) {
    auto* Box = new TbsSkinCheckRadioBox(Owner);
    Box->SetSkinDataName(u"radiobox");
    Box->SetRadio(true);
    Box->SetGroupIndex(1);
    Place(Box, Parent, Skin, Name, Left, Top, Width, 22);
    Box->SetCaption(Caption);
    return Box;
}

TbsSkinPageControl* NewPageControl(TComponent* Owner, TWinControl* Parent, TbsSkinData* Skin, const String& Name,
                                   int Left, int Top, int Width, int Height) {
    return Place(new TbsSkinPageControl(Owner), Parent, Skin, Name, Left, Top, Width, Height);
}

TbsSkinTabSheet* NewTabSheet(TComponent* Owner, TbsSkinPageControl* Pages, const String& Name, const String& Caption) {
    auto* Sheet = new TbsSkinTabSheet(Owner);
    Sheet->SetName(Name);
    Sheet->SetCaption(Caption);
    Sheet->SetPageControl(Pages);
    if (Pages->PageCount() == 1)
        Pages->SetActivePage(Sheet);
    return Sheet;
}
