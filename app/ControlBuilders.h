// Small builders for the forms' controls: the skinned ones drawn from the given skin data, and the plain panels
// that hold the hidden buttons.
#pragma once

#include "platform/ui/ExtCtrls.h"
#include "skin/controls/bsSkinCtrls.h"
#include "skin/controls/bsSkinTabs.h"

TPanel* NewPanel(TComponent* Owner, TWinControl* Parent, const String& Name, int Left, int Top, int Width, int Height);
TbsSkinPanel* NewSkinPanel(TComponent* Owner, TWinControl* Parent, TbsSkinData* Skin, const String& Name, int Left,
                           int Top, int Width, int Height);
// A group box: a skinned panel in caption mode over the skin's group-box record, its caption in the top band.
TbsSkinGroupBox* NewGroupBox(TComponent* Owner, TWinControl* Parent, TbsSkinData* Skin, const String& Name,
                             const String& Caption, int Left, int Top, int Width, int Height);
TbsSkinStdLabel* NewLabel(TComponent* Owner, TWinControl* Parent, TbsSkinData* Skin, const String& Caption, int Left,
                          int Top);
TbsSkinCheckRadioBox* NewCheckBox(TComponent* Owner, TWinControl* Parent, TbsSkinData* Skin, const String& Name,
                                  const String& Caption, int Left, int Top, int Width);
// A radio box of group 1 among its parent's boxes: checking it unchecks the others there.
TbsSkinCheckRadioBox* NewRadioBox(TComponent* Owner, TWinControl* Parent, TbsSkinData* Skin, const String& Name,
                                  const String& Caption, int Left, int Top, int Width);
// A page control and its tab sheets, the first one shown.
TbsSkinPageControl* NewPageControl(TComponent* Owner, TWinControl* Parent, TbsSkinData* Skin, const String& Name,
                                   int Left, int Top, int Width, int Height);
TbsSkinTabSheet* NewTabSheet(TComponent* Owner, TbsSkinPageControl* Pages, const String& Name, const String& Caption);
