// The shell controls' unit: namespace items and the change notifier.
#pragma once

#include "skin/dialogs/TbsShellChangeNotifier.h"
#include "skin/dialogs/TbsShellFolder.h"
