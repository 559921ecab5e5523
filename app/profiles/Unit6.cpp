#include "app/profiles/Unit6.h"

TForm6* Form6 = nullptr;

TForm6::TForm6(TComponent* AOwner) : TForm(AOwner) {
    SetName(u"Form6");
    SetVisible(false);
}

TForm6::~TForm6() {
    if (Form6 == this)
        Form6 = nullptr;
}
