// The form-skinning unit: the form component, its frame objects, the inactive-client panel, the form lookups
// and the MDI tabs bar. Users of the unit include this header.
#pragma once

#include "skin/forms/TbsActiveSkinObject.h"
#include "skin/forms/TbsClientInActivePanel.h"
#include "skin/forms/TbsSkinForm.h"
#include "skin/forms/TbsSkinMDITabsBar.h"
