#include "engine/SwScaleStubs.h"

namespace av {

QV_SWSCALE_FUNCTIONS(QV_DEFINE_CELL)

static void BindSwScale(const String& LibFileName, void* Handle) {
    QV_SWSCALE_FUNCTIONS(QV_BIND_CELL)
}

static void ClearSwScale() {
    QV_SWSCALE_FUNCTIONS(QV_CLEAR_CELL)
}

} // namespace av

void SwScaleFixup(const String& LibFileName, void* Handle) {
    BindProc(LibFileName, Handle, "swscale_version", false, av::swscale_version);
    CheckLibraryVersion(LibFileName, av::swscale_version(), LIBSWSCALE_VERSION_MAJOR);
    av::BindSwScale(LibFileName, Handle);
}

void SwScaleUnfix() {
    av::ClearSwScale();
}
