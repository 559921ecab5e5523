// The settings dialog over the profile catalogue and the advanced lists: created at start-up, never shown.
// Its controls and lists come with its own work; until then it is an empty, hidden form.
#pragma once

#include "platform/ui/Forms.h"

class TForm6 : public TForm {
    QV_CLASS_NAME(TForm6)
public:
    explicit TForm6(TComponent* AOwner);
    ~TForm6() override;
};

extern TForm6* Form6;
