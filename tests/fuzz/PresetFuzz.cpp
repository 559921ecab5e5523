// The transcoder's preset files and option texts (the name=value lines of a task's extra options): any text is
// applied or refused with the transcoder's error. The first byte picks which: even bytes a preset file, odd ones
// an option text. Frame-hook lines are left out: their value names a plug-in library that the option loads and
// runs, which is no parsing of the text.
#include "FuzzSupport.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFConverterTasks.h"
#include "engine/FFmpeg.h"
#include "engine/FFmpegLoader.h"
#include "engine/MyUtils.h"

namespace {

String WithoutFrameHooks(const String& AText) {
    String Text;
    for (const TExtOption& L : ParseExtOptions(AText))
        if (!SameText(Trim(L.Name), u"vhook"))
            Text += L.Name + u"=" + L.Value + u"\n";
    return Text;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FFLoader().SetLibraryPath(GetAppPath() + u"LibAV");
    if (!FFLoader().Load(ConverterLibraries)) {
        std::fprintf(stderr, "%s\n", UTF8Encode(FFLoader().LastErrMsg()).c_str());
        std::abort();
    }
    av::av_log_set_level(AV_LOG_QUIET);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    static const qvfuzz::TScratchFile Preset("preset.ffpreset");
    if (Size == 0)
        return 0;
    TCustomFFmpeg Task(1);
    if (Data[0] % 2 == 0) {
        Preset.Write(Data + 1, Size - 1);
        qvfuzz::Tolerate([&] { Task.ApplyPreset(u"fpre", Preset.Name()); });
    } else {
        const String Text = WithoutFrameHooks(qvfuzz::Text(Data + 1, Size - 1));
        qvfuzz::Tolerate([&] { ApplyExtOptions(Task, Text, true); });
    }
    return 0;
}
