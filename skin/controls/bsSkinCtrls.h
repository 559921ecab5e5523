// The skinned base controls unit: the control bases, the push button, the speed buttons, the menu
// services they call, the scroll bar, the slider, the tree and list views and the link label. Users of the
// unit include this header.
#pragma once

#include "skin/controls/TbsSkinBevel.h"
#include "skin/controls/TbsSkinButton.h"
#include "skin/controls/TbsSkinCheckRadioBox.h"
#include "skin/controls/TbsSkinControl.h"
#include "skin/controls/TbsSkinLinkLabel.h"
#include "skin/controls/TbsSkinListView.h"
#include "skin/controls/TbsSkinMenuSpeedButton.h"
#include "skin/controls/TbsSkinPanel.h"
#include "skin/controls/TbsSkinScrollBar.h"
#include "skin/controls/TbsSkinSlider.h"
#include "skin/controls/TbsSkinSpeedButton.h"
#include "skin/controls/TbsSkinSplitter.h"
#include "skin/controls/TbsSkinStdLabel.h"
#include "skin/controls/TbsSkinToolBar.h"
#include "skin/controls/TbsSkinTreeView.h"
#include "skin/controls/bsSkinMenuServices.h"
