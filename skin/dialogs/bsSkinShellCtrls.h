// The shell controls' unit: namespace items, the change notifier, the shell tree and list views and the shell combo
// box.
#pragma once

#include "skin/dialogs/TbsCustomShellComboBox.h"
#include "skin/dialogs/TbsCustomShellListView.h"
#include "skin/dialogs/TbsCustomShellTreeView.h"
#include "skin/dialogs/TbsShellChangeNotifier.h"
#include "skin/dialogs/TbsShellFolder.h"
