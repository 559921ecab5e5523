#include "engine/AVFormatStubs.h"

namespace av {

QV_AVFORMAT_FUNCTIONS(QV_DEFINE_CELL)

static void BindAVFormat(const String& LibFileName, void* Handle) {
    QV_AVFORMAT_FUNCTIONS(QV_BIND_CELL)
}

static void ClearAVFormat() {
    QV_AVFORMAT_FUNCTIONS(QV_CLEAR_CELL)
}

} // namespace av

void AVFormatFixup(const String& LibFileName, void* Handle) {
    BindProc(LibFileName, Handle, "avformat_version", false, av::avformat_version);
    CheckLibraryVersion(LibFileName, av::avformat_version(), LIBAVFORMAT_VERSION_MAJOR);
    av::BindAVFormat(LibFileName, Handle);
}

void AVFormatUnfix() {
    av::ClearAVFormat();
}
