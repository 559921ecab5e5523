// The file-system list controls' glyphs, pictures of this program registered as resources by name: the drive
// kinds "BS_FLOPPY", "BS_HARD", "BS_NETWORK", "BS_CDROM" (16 x 16) and "BS_RAM" (16 x 11), and the folders
// "BS_OPENFOLDER", "BS_CLOSEDFOLDER", "BS_CURRENTFOLDER" (16 x 15), and the directory picker's "BS_NEWFOLDER" (16 x 16)
// unless another part of the program registered its own first. 8-bit BMP files; the bottom-left pixel is the
// transparent colour.
#pragma once

// Registers them on the first call.
void RegisterFileCtrlGlyphs();
