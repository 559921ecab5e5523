// The skin data unit: the skin data component, its control, object and form records, the ini value rules, the
// compressed skins and the resource texts. Users of the unit include this header.
#pragma once

#include "skin/core/SkinIniValues.h"
#include "skin/core/TbsCompressedStoredSkin.h"
#include "skin/core/TbsDataSkinControl.h"
#include "skin/core/TbsDataSkinObject.h"
#include "skin/core/TbsResourceStrData.h"
#include "skin/core/TbsSkinData.h"
