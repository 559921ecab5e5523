#include "engine/AVFilterStubs.h"

namespace av {

QV_AVFILTER_FUNCTIONS(QV_DEFINE_CELL)

static void BindAVFilter(const String& LibFileName, void* Handle) {
    QV_AVFILTER_FUNCTIONS(QV_BIND_CELL)
}

static void ClearAVFilter() {
    QV_AVFILTER_FUNCTIONS(QV_CLEAR_CELL)
}

} // namespace av

void AVFilterFixup(const String& LibFileName, void* Handle) {
    BindProc(LibFileName, Handle, "avfilter_version", false, av::avfilter_version);
    CheckLibraryVersion(LibFileName, av::avfilter_version(), LIBAVFILTER_VERSION_MAJOR);
    av::BindAVFilter(LibFileName, Handle);
}

void AVFilterUnfix() {
    av::ClearAVFilter();
}
