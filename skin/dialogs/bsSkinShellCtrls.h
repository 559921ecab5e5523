// The shell controls' unit: namespace items, the change notifier, the shell list view and the shell combo box.
#pragma once

#include "skin/dialogs/TbsCustomShellComboBox.h"
#include "skin/dialogs/TbsCustomShellListView.h"
#include "skin/dialogs/TbsShellChangeNotifier.h"
#include "skin/dialogs/TbsShellFolder.h"
