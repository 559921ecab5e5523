// The skin data unit: the skin data component, its control, object and form records, the ini value rules and the
// compressed skins. Users of the unit include this header.
#pragma once

#include "skin/core/SkinIniValues.h"
#include "skin/core/TbsCompressedStoredSkin.h"
#include "skin/core/TbsDataSkinControl.h"
#include "skin/core/TbsDataSkinObject.h"
#include "skin/core/TbsSkinData.h"
