// Loads the media libraries from build/LibAV for engine tests.
#pragma once

#include <gtest/gtest.h>

#include "engine/FFmpegLoader.h"
#include "engine/MyUtils.h"

inline void LoadEngineLibraries(const TLibraries& ALibraries) {
    FFLoader().SetLibraryPath(GetAppPath() + u"LibAV");
    ASSERT_TRUE(FFLoader().Load(ALibraries)) << UTF8Encode(FFLoader().LastErrMsg());
}
