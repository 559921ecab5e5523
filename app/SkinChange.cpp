#include "app/SkinChange.h"

#include "skin/controls/TbsSkinControl.h"
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

template <class C> void Pass(C* Control, const TbsSkinData* Sender, unsigned Msg) {
    if (!Control || Control->SkinData() != Sender)
        return;
    if (Msg == WM_BEFORECHANGESKINDATA)
        Control->BeforeChangeSkinData();
    else
        Control->ChangeSkinData();
}

} // namespace

bool PassSkinChange(TWinControl* Root, const TMessage& Message) {
    if (Message.Msg != WM_BEFORECHANGESKINDATA && Message.Msg != WM_CHANGESKINDATA)
        return false;
    const auto* Sender = reinterpret_cast<const TbsSkinData*>(Message.WParam);
    ForEachControl(Root, [&](TControl* Control) {
        Pass(dynamic_cast<TbsSkinControl*>(Control), Sender, Message.Msg);
        Pass(dynamic_cast<TbsGraphicSkinControl*>(Control), Sender, Message.Msg);
    });
    return true;
}
