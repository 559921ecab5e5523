// Small builders for the forms' plain controls, several of which stand where a skinned kind is still missing.
#pragma once

#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/Tabs.h"

TPanel* NewPanel(TComponent* Owner, TWinControl* Parent, const String& Name, int Left, int Top, int Width, int Height);
// A group box: a panel with its caption as a label in its top-left corner.
TPanel* NewGroupPanel(TComponent* Owner, TWinControl* Parent, const String& Name, const String& Caption, int Left,
                      int Top, int Width, int Height);
TLabel* NewLabel(TComponent* Owner, TWinControl* Parent, const String& Caption, int Left, int Top);
TCheckBox* NewCheckBox(TComponent* Owner, TWinControl* Parent, const String& Name, const String& Caption, int Left,
                       int Top, int Width);
TRadioButton* NewRadioButton(TComponent* Owner, TWinControl* Parent, const String& Name, const String& Caption,
                             int Left, int Top, int Width);
// A page control and its tab sheets, the first one shown.
TPageControl* NewPageControl(TComponent* Owner, TWinControl* Parent, const String& Name, int Left, int Top, int Width,
                             int Height);
TTabSheet* NewTabSheet(TComponent* Owner, TPageControl* Pages, const String& Name, const String& Caption);
