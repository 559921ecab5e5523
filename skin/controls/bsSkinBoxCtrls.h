// The skinned edit, list and combo controls unit: the inner and numeric edits, the skinned edit, the
// skinned list box and the skinned combo box, the office list and office combo box, and the scroll box.
// Users of the unit include this header.
#pragma once

#include "skin/controls/TbsCustomEdit.h"
#include "skin/controls/TbsSkinComboBox.h"
#include "skin/controls/TbsSkinEdit.h"
#include "skin/controls/TbsSkinListBox.h"
#include "skin/controls/TbsSkinOfficeComboBox.h"
#include "skin/controls/TbsSkinOfficeListBox.h"
#include "skin/controls/TbsSkinScrollBox.h"
