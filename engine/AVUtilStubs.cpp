#include "engine/AVUtilStubs.h"

namespace av {

QV_AVUTIL_FUNCTIONS(QV_DEFINE_CELL)

static void BindAVUtil(const String& LibFileName, void* Handle) {
    QV_AVUTIL_FUNCTIONS(QV_BIND_CELL)
}

static void ClearAVUtil() {
    QV_AVUTIL_FUNCTIONS(QV_CLEAR_CELL)
}

} // namespace av

void AVUtilFixup(const String& LibFileName, void* Handle) {
    BindProc(LibFileName, Handle, "avutil_version", false, av::avutil_version);
    CheckLibraryVersion(LibFileName, av::avutil_version(), LIBAVUTIL_VERSION_MAJOR);
    av::BindAVUtil(LibFileName, Handle);
}

void AVUtilUnfix() {
    av::ClearAVUtil();
}
