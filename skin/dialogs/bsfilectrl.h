// The file-system list controls' unit: the path routines, the drive combo box, the directory and file list
// boxes and the filter combo box.
#pragma once

#include "skin/dialogs/TbsSkinDirectoryListBox.h"
#include "skin/dialogs/TbsSkinDriveComboBox.h"
#include "skin/dialogs/TbsSkinFileListBox.h"
#include "skin/dialogs/TbsSkinFilterComboBox.h"
#include "skin/dialogs/bsFileCtrlGlyphs.h"
#include "skin/dialogs/bsFileCtrlPaths.h"
