// The file dialogs' tool-button glyphs ("BS_BACK", "BS_UP", "BS_NEWFOLDER", "BS_LVSTYLE" and the picture dialogs'
// "BS_STRETCH", 16 x 16 BMP files of resources/dialogs), registered as program resources on the first call.
#pragma once

void RegisterDialogPictures();
