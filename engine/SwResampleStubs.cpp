#include "engine/SwResampleStubs.h"

namespace av {

QV_SWRESAMPLE_FUNCTIONS(QV_DEFINE_CELL)

static void BindSwResample(const String& LibFileName, void* Handle) {
    QV_SWRESAMPLE_FUNCTIONS(QV_BIND_CELL)
}

static void ClearSwResample() {
    QV_SWRESAMPLE_FUNCTIONS(QV_CLEAR_CELL)
}

} // namespace av

void SwResampleFixup(const String& LibFileName, void* Handle) {
    BindProc(LibFileName, Handle, "swresample_version", false, av::swresample_version);
    CheckLibraryVersion(LibFileName, av::swresample_version(), LIBSWRESAMPLE_VERSION_MAJOR);
    av::BindSwResample(LibFileName, Handle);
}

void SwResampleUnfix() {
    av::ClearSwResample();
}
