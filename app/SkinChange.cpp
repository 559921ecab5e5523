#include "app/SkinChange.h"

#include "skin/controls/bsSkinCtrls.h"
#include "skin/controls/bsSkinTabs.h"
#include "skin/core/TbsSkinData.h"

namespace {

template <class F> void ForEachControl(TWinControl* Root, const F& Visit) {
    for (int I = 0; I < Root->ControlCount(); ++I) {
        TControl* Control = Root->Controls(I);
        Visit(Control);
        if (auto* Windowed = dynamic_cast<TWinControl*>(Control))
            ForEachControl(Windowed, Visit);
    }
}

template <class C> void Pass(C* Control, const TbsSkinData* Sender) {
    if (Control && Control->SkinData() == Sender)
        Control->ChangeSkinData();
}

} // namespace

bool PassSkinChange(TWinControl* Root, const TMessage& Message) {
    if (Message.Msg != WM_CHANGESKINDATA)
        return false;
    const auto* Sender = reinterpret_cast<const TbsSkinData*>(Message.WParam);
    ForEachControl(Root, [&](TControl* Control) {
        Pass(dynamic_cast<TbsSkinCustomListView*>(Control), Sender);
        Pass(dynamic_cast<TbsSkinPageControl*>(Control), Sender);
        Pass(dynamic_cast<TbsSkinStdLabel*>(Control), Sender);
    });
    return true;
}
