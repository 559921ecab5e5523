#include "engine/AVDeviceStubs.h"

namespace av {

QV_AVDEVICE_FUNCTIONS(QV_DEFINE_CELL)

static void BindAVDevice(const String& LibFileName, void* Handle) {
    QV_AVDEVICE_FUNCTIONS(QV_BIND_CELL)
}

static void ClearAVDevice() {
    QV_AVDEVICE_FUNCTIONS(QV_CLEAR_CELL)
}

} // namespace av

void AVDeviceFixup(const String& LibFileName, void* Handle) {
    BindProc(LibFileName, Handle, "avdevice_version", false, av::avdevice_version);
    CheckLibraryVersion(LibFileName, av::avdevice_version(), LIBAVDEVICE_VERSION_MAJOR);
    av::BindAVDevice(LibFileName, Handle);
    av::avdevice_register_all();
}

void AVDeviceUnfix() {
    av::ClearAVDevice();
}
