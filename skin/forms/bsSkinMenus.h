// The skinned menus unit: the menu stack of a form, the popup menu component, the popup windows and their rows,
// the main menu and its menu bar.
// Users of the unit include this header.
#pragma once

#include "skin/forms/TbsMenuBarObject.h"
#include "skin/forms/TbsSkinImagesMenu.h"
#include "skin/forms/TbsSkinMainMenuBar.h"
#include "skin/forms/TbsSkinMenu.h"
#include "skin/forms/TbsSkinMenuItem.h"
#include "skin/forms/TbsSkinPopupWindow.h"
