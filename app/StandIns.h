// Small builders for the plain controls that stand where a skinned kind is still missing.
#pragma once

#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"

// A group box: a panel with its caption as a label in its top-left corner.
TPanel* NewGroupPanel(TComponent* Owner, TWinControl* Parent, const String& Name, const String& Caption, int Left,
                      int Top, int Width, int Height);
