#include "app/profiles/ProfileSettings.h"

#include <algorithm>

#include "app/profiles/OutputFileName.h"
#include "app/profiles/ProfileCatalogue.h"
#include "platform/base/SysUtils.h"

namespace {

// Code, Ext, VideoCodec, VideoTag, FrameRate, FrameSize, FrameAspectRatio, VideoBitrate, AudioCodec,
// AudioChannels, AudioSampleRate, AudioBitrate, TargetType, NormType, FileExt, FileFormat, DisableVideo
// One line per profile.
// clang-format off
const TProfileSettings Settings[ProfileCount] = {
    // 0 "VCD视频"
    {2500, u".mpg", u"", u"", u"", u"", u"", -1000, u"", u"", u"", -1000, u"vcd", u"PAL", u"", u"", false},
    {2501, u".mpg", u"", u"", u"", u"", u"", -1000, u"", u"", u"", -1000, u"vcd", u"NTSC", u"", u"", false},
    {2502, u".mpg", u"", u"", u"", u"", u"", -1000, u"", u"", u"", -1000, u"svcd", u"PAL", u"", u"", false},
    {2503, u".mpg", u"", u"", u"", u"", u"", -1000, u"", u"", u"", -1000, u"svcd", u"NTSC", u"", u"", false},
    {2504, u".mpg", u"", u"", u"", u"", u"", -1000, u"", u"", u"", -1000, u"dvd", u"PAL", u"", u"", false},
    {2505, u".mpg", u"", u"", u"", u"", u"", -1000, u"", u"", u"", -1000, u"dvd", u"NTSC", u"", u"", false},
    {2506, u".vob", u"", u"", u"", u"", u"", -1000, u"", u"", u"", -1000, u"dvd", u"PAL", u"", u"", false},
    // 1 "VOB视频"
    {2100, u".vob", u"", u"", u"29.97", u"1280*720", u"", 1200000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".vob", u"", false},
    {2101, u".vob", u"", u"", u"30", u"1280*720", u"", 1600000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".vob", u"", false},
    {2102, u".vob", u"", u"", u"30", u"1280*720", u"", 1600000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".vob", u"", false},
    {2103, u".vob", u"", u"", u"25", u"1280*720", u"", 1000000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".vob", u"", false},
    {2104, u".vob", u"", u"", u"25", u"1024*768", u"", 1200000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".vob", u"", false},
    {2105, u".vob", u"", u"", u"25", u"1280*720", u"", 1600000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".vob", u"", false},
    // 2 "MPG视频"
    {1400, u".mpg", u"mpeg1video", u"", u"25", u"", u"", 528000, u"", u"2", u"44100", 128000, u"", u"", u".mpg", u"", false},
    {1401, u".mpg", u"mpeg1video", u"", u"25", u"", u"", 528000, u"", u"2", u"44100", 128000, u"", u"", u".mpg", u"", false},
    {1402, u".mpg", u"mpeg2video", u"", u"25", u"", u"", 816000, u"", u"2", u"44100", 128000, u"", u"", u".mpg", u"", false},
    {1403, u".mp4", u"mpeg4", u"", u"25", u"", u"", 816000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".mp4", u"", false},
    {1404, u".mpg", u"mpeg2video", u"", u"25", u"1280*720", u"", 1600000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".mpg", u"", false},
    {1405, u".mp4", u"mpeg4", u"", u"25", u"1280*720", u"", 1600000, u"libmp3lame", u"2", u"48000", 128000, u"", u"", u".mp4", u"", false},
    {1406, u".mpg", u"mpeg2video", u"", u"25", u"", u"", 816000, u"", u"2", u"44100", 128000, u"", u"", u".mpg", u"", false},
    {1407, u".mpg", u"mpeg2video", u"", u"25", u"", u"", 816000, u"", u"2", u"44100", 128000, u"", u"", u".mpg", u"", false},
    {1408, u".mpg", u"", u"", u"", u"", u"", -1000, u"", u"", u"", -1000, u"dvd", u"PAL", u"", u"", false},
    {1409, u".mpg", u"", u"", u"", u"", u"", -1000, u"", u"", u"", -1000, u"svcd", u"PAL", u"", u"", false},
    {1410, u".mpg", u"", u"", u"", u"", u"", -1000, u"", u"", u"", -1000, u"vcd", u"PAL", u"", u"", false},
    // 3 "常用视频"
    {100, u".avi", u"mpeg4", u"XVID", u"25", u"", u"", 816000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".avi", u"", false},
    {101, u".mp4", u"mpeg4", u"", u"25", u"", u"", 816000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".mp4", u"", false},
    {102, u".avi", u"mpeg4", u"DX50", u"25", u"", u"", 816000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".avi", u"", false},
    {103, u".mov", u"", u"", u"25", u"", u"", 816000, u"libfaac", u"2", u"44100", 128000, u"", u"", u".mov", u"", false},
    {104, u".avi", u"libxvid", u"", u"25", u"", u"", 816000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".avi", u"", false},
    {105, u".mkv", u"mpeg4", u"", u"25", u"", u"", 1200000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".mkv", u"", false},
    {106, u".mpg", u"mpeg1video", u"", u"25", u"", u"", 528000, u"", u"2", u"44100", 128000, u"", u"", u".mpg", u"", false},
    {107, u".mpg", u"mpeg2video", u"", u"25", u"", u"", 816000, u"", u"2", u"44100", 128000, u"", u"", u".mpg", u"", false},
    {108, u".asf", u"msmpeg4", u"", u"25", u"", u"", 816000, u"wmav2", u"2", u"44100", 128000, u"", u"", u".asf", u"asf", false},
    {109, u".3gp", u"mpeg4", u"", u"12", u"176*144", u"4:3", 128000, u"libfaac", u"1", u"8000", 12000, u"", u"", u".3gp", u"", false},
    {110, u".wmv", u"wmv2", u"", u"25", u"", u"", 816000, u"wmav2", u"2", u"44100", 128000, u"", u"", u".wmv", u"", false},
    {111, u".mpg", u"", u"", u"", u"", u"", -1000, u"", u"", u"", -1000, u"dvd", u"PAL", u"", u"", false},
    {112, u".mpg", u"", u"", u"", u"", u"", -1000, u"", u"", u"", -1000, u"svcd", u"PAL", u"", u"", false},
    {113, u".mpg", u"", u"", u"", u"", u"", -1000, u"", u"", u"", -1000, u"vcd", u"PAL", u"", u"", false},
    {114, u".rm", u"rv20", u"", u"", u"320*240", u"", -1, u"", u"", u"", -1, u"", u"", u"", u"", false},
    // 4 "iPhone视频"
    {500, u".mp4", u"mpeg4", u"", u"25", u"480*320", u"", 768000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".mp4", u"", false},
    {501, u".mp4", u"libxvid", u"", u"25", u"640*480", u"", 768000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".mp4", u"", false},
    {502, u".mp4", u"mpeg4", u"", u"29.97", u"1280*720", u"16:9", 1200000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".mp4", u"", false},
    {503, u".mp4", u"libx264", u"", u"29.97", u"1280*720", u"", 1800000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".mp4", u"", false},
    {504, u".mp4", u"libx264", u"", u"29.97", u"1920*1080", u"", 2000000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".mp4", u"", false},
    {505, u".mp4", u"mpeg4", u"", u"25", u"720*406", u"16:9", 768000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".mp4", u"", false},
    {506, u".mp4", u"libx264", u"", u"29.97", u"720*406", u"", 1200000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".mp4", u"", false},
    {507, u".mp4", u"mpeg4", u"", u"25", u"320*240", u"", 768000, u"libfaac", u"2", u"44100", 128000, u"", u"", u".mp4", u"", false},
    {508, u".mp4", u"mpeg4", u"", u"25", u"480*320", u"", 768000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".mp4", u"", false},
    {509, u".mov", u"", u"", u"25", u"", u"", 768000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".mov", u"", false},
    {510, u".mov", u"", u"", u"29.97", u"1280*720", u"", 1000000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".mov", u"", false},
    {511, u".avi", u"libxvid", u"", u"25", u"", u"", 816000, u"libmp3lame", u"2", u"48000", 128000, u"", u"", u".avi", u"", false},
    {512, u".avi", u"mpeg4", u"DX50", u"29.97", u"1280*720", u"", 1200000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".avi", u"", false},
    {513, u".avi", u"msmpeg4", u"", u"29.97", u"1280*720", u"", 1200000, u"libmp3lame", u"2", u"48000", 128000, u"", u"", u".avi", u"", false},
    {514, u".wmv", u"wmv2", u"", u"29.97", u"1280*720", u"", 1600000, u"wmav2", u"2", u"48000", 128000, u"", u"", u".wmv", u"", false},
    // 5 "iPad视频"
    {1300, u".mp4", u"mpeg4", u"", u"30", u"", u"", 1200000, u"libfaac", u"2", u"32000", 128000, u"", u"", u".mp4", u"", false},
    {1301, u".mp4", u"libx264", u"", u"30", u"720*480", u"", 1200000, u"libfaac", u"2", u"44100", 128000, u"", u"", u".mp4", u"", false},
    {1302, u".mp4", u"libxvid", u"", u"30", u"", u"", 1000000, u"libfaac", u"2", u"32000", 128000, u"", u"", u".mp4", u"", false},
    {1303, u".mp4", u"libx264", u"", u"30", u"1280*720", u"", 1500000, u"libfaac", u"2", u"48000", 160000, u"", u"", u".mp4", u"", false},
    {1304, u".mp4", u"mpeg4", u"", u"30", u"", u"", 1000000, u"libfaac", u"2", u"24000", 128000, u"", u"", u".mp4", u"", false},
    {1305, u".mp4", u"mpeg4", u"", u"29.97", u"", u"", 1200000, u"libfaac", u"2", u"44100", 128000, u"", u"", u".mp4", u"", false},
    {1306, u".mp4", u"libx264", u"", u"30", u"1920*1080", u"", 1500000, u"libfaac", u"2", u"48000", 160000, u"", u"", u".mp4", u"", false},
    {1307, u".mov", u"", u"", u"25", u"", u"", 768000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".mov", u"", false},
    {1308, u".mov", u"", u"", u"29.97", u"1280*720", u"", 1200000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".mov", u"", false},
    {1309, u".avi", u"libxvid", u"", u"25", u"", u"", 816000, u"libmp3lame", u"2", u"48000", 128000, u"", u"", u".avi", u"", false},
    {1310, u".avi", u"mpeg4", u"DX50", u"29.97", u"1280*720", u"", 1200000, u"libfaac", u"2", u"44100", 128000, u"", u"", u".avi", u"", false},
    // 6 "智能手机"
    {3200, u".avi", u"libx264", u"", u"25", u"", u"", 1000000, u"libmp3lame", u"2", u"48000", 128000, u"", u"", u".avi", u"", false},
    {3201, u".mp4", u"mpeg4", u"", u"25", u"", u"", 768000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".mp4", u"", false},
    {3202, u".mp4", u"libxvid", u"", u"25", u"640*480", u"", 768000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".mp4", u"", false},
    {3203, u".mp4", u"libx264", u"", u"29.97", u"800*600", u"", 1500000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".mp4", u"", false},
    {3204, u".avi", u"mpeg4", u"", u"30", u"1024*768", u"", 1200000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".avi", u"", false},
    {3205, u".avi", u"mpeg4", u"", u"29.97", u"", u"", 1200000, u"libmp3lame", u"2", u"48000", 128000, u"", u"", u".avi", u"", false},
    {3206, u".mkv", u"mpeg4", u"XVID", u"25", u"", u"", 816000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".mkv", u"", false},
    {3207, u".mov", u"", u"", u"25", u"", u"", 768000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".mov", u"", false},
    {3208, u".flv", u"", u"", u"25", u"1280*720", u"", 816000, u"libmp3lame", u"2", u"22050", 128000, u"", u"", u".flv", u"", false},
    {3209, u".3gp", u"h263", u"", u"12", u"176*144", u"", 128000, u"libfaac", u"2", u"32000", 48000, u"", u"", u".3gp", u"", false},
    {3210, u".wmv", u"wmv2", u"", u"25", u"", u"", 600000, u"wmav2", u"2", u"44100", 128000, u"", u"", u".wmv", u"", false},
    {3211, u".asf", u"msmpeg4", u"", u"25", u"", u"", 816000, u"wmav2", u"2", u"44100", 128000, u"", u"", u".asf", u"asf", false},
    {3212, u".mpg", u"mpeg2video", u"", u"25", u"640*480", u"", 600000, u"", u"2", u"44100", 128000, u"", u"", u".mpg", u"", false},
    {3213, u".mpg", u"mpeg2video", u"", u"25", u"800*600", u"", 816000, u"", u"2", u"44100", 128000, u"", u"", u".mpg", u"", false},
    {3214, u".mp4", u"libxvid", u"", u"25", u"640*480", u"", 768000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".mp4", u"", false},
    {3215, u".mp3", u"", u"", u"", u"", u"", -1, u"libmp3lame", u"2", u"48000", 128000, u"", u"", u".mp3", u"", true},
    // 7 "MP4视频"
    {1100, u".mp4", u"mpeg4", u"", u"25", u"320*240", u"", 528000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".mp4", u"", false},
    {1101, u".mp4", u"mpeg4", u"", u"25", u"", u"", 768000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".mp4", u"", false},
    {1102, u".mp4", u"libx264", u"", u"25", u"", u"", 1200000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".mp4", u"", false},
    {1103, u".mp4", u"libx264", u"", u"25", u"320*240", u"", 1200000, u"libfaac", u"2", u"44100", 128000, u"", u"", u".mp4", u"", false},
    {1104, u".mp4", u"libx264", u"", u"25", u"", u"", 1200000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".mp4", u"", false},
    // 8 "Flash视频"
    {1200, u".flv", u"", u"", u"25", u"", u"", 1200000, u"libmp3lame", u"2", u"22050", 128000, u"", u"", u".flv", u"", false},
    {1201, u".swf", u"", u"", u"25", u"", u"", 528000, u"libmp3lame", u"2", u"22050", 128000, u"", u"", u".swf", u"", false},
    {1202, u".flv", u"", u"", u"", u"", u"", -1, u"libmp3lame", u"2", u"22050", 128000, u"", u"", u"", u"", true},
    {1203, u".swf", u"", u"", u"", u"", u"", -1, u"libmp3lame", u"2", u"22050", 128000, u"", u"", u"", u"", true},
    // 9 "SWF视频"
    {1500, u".swf", u"", u"", u"25", u"", u"", 528000, u"libmp3lame", u"2", u"22050", 128000, u"", u"", u".swf", u"", false},
    {1501, u".swf", u"", u"", u"25", u"", u"", 528000, u"libmp3lame", u"2", u"22050", 128000, u"", u"", u".swf", u"", false},
    {1502, u".swf", u"", u"", u"25", u"", u"", 528000, u"libmp3lame", u"2", u"22050", 128000, u"", u"", u".swf", u"", false},
    {1503, u".swf", u"", u"", u"25", u"", u"", 528000, u"libmp3lame", u"2", u"22050", 128000, u"", u"", u".swf", u"", false},
    {1504, u".flv", u"", u"", u"25", u"", u"", 1200000, u"libmp3lame", u"2", u"22050", 128000, u"", u"", u".flv", u"", false},
    {1505, u".swf", u"", u"", u"", u"", u"", -1, u"libmp3lame", u"2", u"22050", 128000, u"", u"", u"", u"", true},
    {1506, u".flv", u"", u"", u"", u"", u"", -1, u"libmp3lame", u"2", u"22050", 128000, u"", u"", u"", u"", true},
    // 10 "AVI视频"
    {1600, u".avi", u"mpeg4", u"DX50", u"25", u"", u"", 816000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".avi", u"", false},
    {1601, u".avi", u"libx264", u"", u"25", u"1280*720", u"", 1600000, u"libmp3lame", u"2", u"48000", 256000, u"", u"", u".avi", u"", false},
    {1602, u".avi", u"mpeg4", u"XVID", u"25", u"", u"", 816000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".avi", u"", false},
    {1603, u".avi", u"libxvid", u"", u"25", u"", u"", 816000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".avi", u"", false},
    {1604, u".avi", u"mpeg4", u"DX50", u"25", u"", u"", 816000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".avi", u"", false},
    {1605, u".avi", u"mpeg4", u"XVID", u"25", u"", u"", 816000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".avi", u"", false},
    {1606, u".avi", u"libxvid", u"", u"25", u"1280*720", u"", 1600000, u"libmp3lame", u"2", u"48000", 128000, u"", u"", u".avi", u"", false},
    // 11 "MKV视频"
    {1700, u".mkv", u"mpeg4", u"", u"25", u"", u"", 816000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".mkv", u"", false},
    {1701, u".mkv", u"libx264", u"", u"25", u"1280*720", u"", 1600000, u"libmp3lame", u"2", u"48000", 256000, u"", u"", u".mkv", u"", false},
    {1702, u".mkv", u"mpeg4", u"XVID", u"25", u"", u"", 816000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".mkv", u"", false},
    {1703, u".mkv", u"libxvid", u"", u"25", u"", u"", 816000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".mkv", u"", false},
    {1704, u".mkv", u"mpeg4", u"DX50", u"25", u"", u"", 816000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".mkv", u"", false},
    {1705, u".mkv", u"mpeg4", u"XVID", u"25", u"", u"", 816000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".mkv", u"", false},
    {1706, u".mkv", u"libxvid", u"", u"25", u"1280*720", u"", 1600000, u"libmp3lame", u"2", u"48000", 128000, u"", u"", u".mkv", u"", false},
    // 12 "WMV视频"
    {1800, u".wmv", u"wmv2", u"", u"25", u"", u"", 816000, u"wmav2", u"2", u"44100", 128000, u"", u"", u".wmv", u"", false},
    {1801, u".wmv", u"wmv2", u"", u"30", u"1280*720", u"", 1600000, u"wmav2", u"2", u"48000", 128000, u"", u"", u".wmv", u"", false},
    {1802, u".wmv", u"wmv2", u"", u"25", u"320*240", u"", 816000, u"wmav2", u"2", u"44100", 128000, u"", u"", u".wmv", u"", false},
    {1803, u".wmv", u"wmv2", u"", u"25", u"1024*768", u"", 1000000, u"wmav2", u"2", u"44100", 128000, u"", u"", u".wmv", u"", false},
    {1804, u".wmv", u"wmv2", u"", u"25", u"", u"", 728000, u"wmav2", u"2", u"44100", 128000, u"", u"", u".wmv", u"", false},
    {1805, u".wmv", u"wmv2", u"", u"25", u"320*240", u"", 528000, u"wmav2", u"2", u"44100", 128000, u"", u"", u".wmv", u"", false},
    {1806, u".wmv", u"wmv2", u"", u"30", u"1280*720", u"", 1600000, u"wmav2", u"2", u"48000", 128000, u"", u"", u".wmv", u"", false},
    // 13 "Android视频"
    {2000, u".avi", u"mpeg4", u"", u"", u"", u"", 816000, u"libmp3lame", u"2", u"48000", 128000, u"", u"", u".avi", u"", false},
    {2001, u".mp4", u"mpeg4", u"", u"25", u"640*480", u"16:9", 768000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".mp4", u"", false},
    {2002, u".mp4", u"mpeg4", u"", u"29.97", u"1280*720", u"16:9", 1200000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".mp4", u"", false},
    {2003, u".mp4", u"libxvid", u"", u"25", u"640*480", u"", 768000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".mp4", u"", false},
    {2004, u".mp4", u"libx264", u"", u"29.97", u"1280*720", u"", 1500000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".mp4", u"", false},
    {2005, u".avi", u"mpeg4", u"DX50", u"25", u"640*480", u"", 816000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".avi", u"", false},
    {2006, u".avi", u"libxvid", u"", u"", u"", u"", 1000000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".avi", u"", false},
    {2007, u".mov", u"", u"", u"25", u"", u"", 768000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".mov", u"", false},
    {2008, u".wmv", u"wmv2", u"", u"25", u"", u"", 600000, u"wmav2", u"2", u"44100", 128000, u"", u"", u".wmv", u"", false},
    {2009, u".mpg", u"mpeg2video", u"", u"25", u"640*480", u"", 600000, u"", u"2", u"44100", 128000, u"", u"", u".mpg", u"", false},
    {2010, u".mkv", u"libxvid", u"", u"29.97", u"", u"", 1000000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".mkv", u"", false},
    {2011, u".flv", u"", u"", u"25", u"", u"", 816000, u"libmp3lame", u"2", u"22050", 128000, u"", u"", u".flv", u"", false},
    // 14 "MTS视频"
    {2200, u".avi", u"mpeg4", u"XVID", u"25", u"", u"", 816000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".avi", u"", false},
    {2201, u".avi", u"libx264", u"", u"30", u"1280*720", u"", 1600000, u"libmp3lame", u"2", u"48000", 256000, u"", u"", u".avi", u"", false},
    {2202, u".avi", u"mpeg4", u"DX50", u"29.97", u"", u"", 1200000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".avi", u"", false},
    {2203, u".mpg", u"mpeg2video", u"", u"25", u"", u"", 1000000, u"", u"2", u"44100", 128000, u"", u"", u".mpg", u"", false},
    {2204, u".mpg", u"mpeg2video", u"", u"25", u"", u"", 1200000, u"", u"2", u"44100", 128000, u"", u"", u".mpg", u"", false},
    {2205, u".mp4", u"mpeg4", u"", u"25", u"", u"", 816000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".mp4", u"", false},
    {2206, u".avi", u"libxvid", u"", u"25", u"", u"", 1000000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".avi", u"", false},
    {2207, u".3gp", u"mpeg4", u"", u"12", u"176*144", u"4:3", 128000, u"libfaac", u"1", u"8000", 12000, u"", u"", u".3gp", u"", false},
    {2208, u".wmv", u"wmv2", u"", u"25", u"", u"", 816000, u"wmav2", u"2", u"44100", 128000, u"", u"", u".wmv", u"", false},
    {2209, u".flv", u"", u"", u"25", u"", u"", 1200000, u"libmp3lame", u"2", u"22050", 128000, u"", u"", u".flv", u"", false},
    {2210, u".mpg", u"", u"", u"", u"", u"", -1000, u"", u"", u"", -1000, u"dvd", u"PAL", u"", u"", false},
    {2211, u".mpg", u"", u"", u"", u"", u"", -1000, u"", u"", u"", -1000, u"svcd", u"PAL", u"", u"", false},
    {2212, u".mpg", u"", u"", u"", u"", u"", -1000, u"", u"", u"", -1000, u"vcd", u"PAL", u"", u"", false},
    // 15 "MOV视频"
    {2600, u".mov", u"", u"", u"25", u"", u"", 816000, u"libfaac", u"2", u"44100", 128000, u"", u"", u".mov", u"", false},
    {2601, u".mov", u"", u"", u"25", u"1280*720", u"", 1600000, u"libfaac", u"2", u"48000", 128000, u"", u"", u".mov", u"", false},
    {2602, u".mov", u"", u"", u"25", u"", u"", 816000, u"libfaac", u"2", u"44100", 128000, u"", u"", u".mov", u"", false},
    {2603, u".mov", u"", u"", u"25", u"", u"", 600000, u"libfaac", u"2", u"44100", 128000, u"", u"", u".mov", u"", false},
    // 16 "AVCHD视频"
    {2800, u".avi", u"libx264", u"", u"25", u"1280*720", u"", 1600000, u"libmp3lame", u"2", u"48000", 128000, u"", u"", u".avi", u"", false},
    {2801, u".avi", u"libxvid", u"", u"25", u"", u"", 816000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".avi", u"", false},
    {2802, u".avi", u"mpeg4", u"DX50", u"25", u"", u"", 816000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".avi", u"", false},
    {2803, u".mp4", u"libx264", u"", u"25", u"1280*720", u"", 1600000, u"libmp3lame", u"2", u"48000", 256000, u"", u"", u".mp4", u"", false},
    {2804, u".mp4", u"mpeg4", u"", u"25", u"", u"", 816000, u"libmp3lame", u"2", u"44100", 128000, u"", u"", u".mp4", u"", false},
    // 17 "MP3音频"
    {3000, u".mp3", u"", u"", u"", u"", u"", -1, u"libmp3lame", u"2", u"48000", 128000, u"", u"", u".mp3", u"", true},
    {3001, u".mp3", u"", u"", u"", u"", u"", -1, u"libmp3lame", u"2", u"48000", 128000, u"", u"", u".mp3", u"", true},
    {3002, u".mp3", u"", u"", u"", u"", u"", -1, u"libmp3lame", u"2", u"48000", 128000, u"", u"", u".mp3", u"", true},
    {3003, u".mp3", u"", u"", u"", u"", u"", -1, u"libmp3lame", u"2", u"48000", 128000, u"", u"", u".mp3", u"", true},
    // 18 "常用音频"
    {200, u".mp3", u"", u"", u"", u"", u"", -1, u"libmp3lame", u"2", u"48000", 128000, u"", u"", u".mp3", u"", true},
    {201, u".wma", u"", u"", u"", u"", u"", -1, u"wmav2", u"2", u"48000", 128000, u"", u"", u".wma", u"", true},
    {202, u".wav", u"", u"", u"", u"", u"", -1, u"", u"2", u"48000", 128000, u"", u"", u".wav", u"", true},
    {203, u".aac", u"", u"", u"", u"", u"", -1, u"libfaac", u"2", u"48000", 128000, u"", u"", u".aac", u"", true},
    {204, u".m4a", u"", u"", u"", u"", u"", -1, u"", u"2", u"48000", 128000, u"", u"", u".m4a", u"", true},
    {205, u".ogg", u"", u"", u"", u"", u"", -1, u"libvorbis", u"2", u"48000", 128000, u"", u"", u".ogg", u"", true},
    {206, u".ra", u"", u"", u"", u"", u"", -1, u"", u"2", u"48000", 128000, u"", u"", u".rm", u"", true},
    {207, u".ac3", u"", u"", u"", u"", u"", -1, u"ac3", u"2", u"48000", 128000, u"", u"", u".ac3", u"", true},
    {208, u".aiff", u"", u"", u"", u"", u"", -1, u"", u"2", u"48000", 128000, u"", u"", u".aiff", u"", true},
    {209, u".mp2", u"", u"", u"", u"", u"", -1, u"", u"2", u"44100", 128000, u"", u"", u".mp2", u"", true},
    {210, u".flac", u"", u"", u"", u"", u"", -1, u"flac", u"2", u"48000", 128000, u"", u"", u".flac", u"", true},
    {211, u".m4a", u"", u"", u"", u"", u"", -1, u"", u"2", u"48000", 128000, u"", u"", u".m4a", u"", true},
    {212, u".amr", u"", u"", u"", u"", u"", -1, u"libopencore_amrnb", u"1", u"8000", 7400, u"", u"", u".amr", u"", true},
};
// clang-format on

} // namespace

std::span<const TProfileSettings> ProfileSettingsTable() {
    return Settings;
}

const TProfileSettings* FindProfileSettings(int ProfileCode) {
    auto It = std::find_if(std::begin(Settings), std::end(Settings),
                           [&](const TProfileSettings& Entry) { return Entry.ProfileCode == ProfileCode; });
    return It == std::end(Settings) ? nullptr : &*It;
}

void AssignProfileSettings(const TProfileSettings& Settings, TOutputParams& Params) {
    Params.Video_FileExt = Settings.FileExt;
    Params.Video_FileFormat = Settings.FileFormat;
    Params.Video_VideoCodec = Settings.VideoCodec;
    Params.Video_VideoTag = Settings.VideoTag;
    Params.Video_FrameRate = Settings.FrameRate;
    Params.Video_FrameSize = Settings.FrameSize;
    Params.Video_FrameAspectRatio = Settings.FrameAspectRatio;
    Params.Video_VideoBitrate = Settings.VideoBitrate;
    Params.Video_AudioCodec = Settings.AudioCodec;
    Params.Video_AudioChannels = Settings.AudioChannels;
    Params.Video_AudioSampleRate = Settings.AudioSampleRate;
    Params.Video_AudioBitrate = Settings.AudioBitrate;
    Params.Video_AudioVolume = u"256";
    Params.Video_TargetType = Settings.TargetType;
    Params.Video_NormType = Settings.NormType;
    Params.Video_DisableVideo = Settings.DisableVideo;
}

bool ApplyProfile(TOutputParams& Params, int CategoryIndex, int ProfileIndex, const String& OutputFolder,
                  bool Overwrite) {
    Params.Reset();
    int Code = ProfileCode(CategoryIndex, ProfileIndex);
    Params.All_Trant_Number = Code;
    Params.Video_DisableVideo = false;
    // Only indices the combo boxes can form name an entry; anything else leaves the fields reset.
    const TProfileSettings* Entry = ProfileIndex >= 0 && ProfileIndex < 100 ? FindProfileSettings(Code) : nullptr;
    if (!Entry)
        return false;
    String Name = ChangeFileNameExt(ExtractFileNamePart(Params.Video_AddFileName), Entry->Ext);
    AssignProfileSettings(*Entry, Params);
    Params.Video_OutPutFileName =
        UniqueOutputFileName(OutputFolder, StripFileNameExt(Name), Entry->Ext, Overwrite, Params.Video_AddFileName);
    return true;
}

void ProfileRowColumns(const TOutputParams& Params, String (&Columns)[ProfileRowColumnCount]) {
    Columns[0] = Params.Video_VideoCodec;
    Columns[1] = Params.Video_AudioCodec;
    Columns[2] = Params.Video_AudioChannels;
    Columns[3] = Params.Video_VideoTag;
    Columns[4] = Params.Video_FileExt;
    Columns[5] = Params.Video_FrameSize;
    Columns[6] = IntToStr(Params.Video_VideoBitrate);
    Columns[7] = Params.Video_FrameRate;
    Columns[8] = IntToStr(Params.Video_AudioBitrate);
    Columns[9] = Params.Video_AudioSampleRate;
    Columns[10] = Params.Video_FrameAspectRatio;
    Columns[11] = Params.Video_DisableVideo ? u"True" : u"False";
    Columns[12] = Params.Video_TargetType;
    Columns[13] = Params.Video_NormType;
}
