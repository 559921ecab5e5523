#include "engine/AVCodecStubs.h"

namespace av {

QV_AVCODEC_FUNCTIONS(QV_DEFINE_CELL)

static void BindAVCodec(const String& LibFileName, void* Handle) {
    QV_AVCODEC_FUNCTIONS(QV_BIND_CELL)
}

static void ClearAVCodec() {
    QV_AVCODEC_FUNCTIONS(QV_CLEAR_CELL)
}

} // namespace av

void AVCodecFixup(const String& LibFileName, void* Handle) {
    BindProc(LibFileName, Handle, "avcodec_version", false, av::avcodec_version);
    CheckLibraryVersion(LibFileName, av::avcodec_version(), LIBAVCODEC_VERSION_MAJOR);
    av::BindAVCodec(LibFileName, Handle);
}

void AVCodecUnfix() {
    av::ClearAVCodec();
}
