#include "app/profiles/SettingsProfiles.h"

#include "app/profiles/AdvancedLists.h"
#include "app/profiles/OutputFileName.h"

namespace {

constexpr const char16_t* Categories[SettingsCategoryCount] = {
    u"常用视频", u"常用音频",  u"HD视频",   u"iPod视频", u"iPhone视频", u"PSP视频",
    u"3GP视频",  u"APPLE视频", u"XboX视频", u"PMP视频",  u"MP4视频",    u"Flash视频",
};

// Code, title, description, image index.
constexpr TSettingsProfileItem Items[] = {
    // 常用视频
    {100, u"AVI - 音频视频交错格式(*.avi)", u"AVI最常用的视频格式,语音和影像同步组合在一起的文件格式", 0},
    {101, u"MP4 - MPEG-4视频格式(*.mp4)", u"为网络广播和视频通信制定的压缩标准,有很小的体积和清晰的画质", 1},
    {102, u"DivX - 视频格式(*.avi)", u"DivX采用MPEG-4技术来压缩的数字多媒体格式,有接近DVD的画质和完美的音质", 2},
    {103, u"MOV - 苹果QuickTime视频格式(*.mov)", u"MOV即QuickTime影片格式，它是Apple公司开发的音频视频文件格式", 3},
    {104, u"XviD - 视频格式(*.avi)", u"XviD是世界上最流行的视频编码,很多电影是用XviD压制的", 4},
    {105, u"MKV - Matroska视频格式(*.mkv)", u"Matroska是一种新的多媒体封装格式 ，有超清晰的画面，和完美的音质", 5},
    {106, u"MPEG-1视频格式(*.mpg)", u"工业级标准而设计的压缩格式，具有VHS的画质和接近CD的音质", 6},
    {107, u"MPEG-2视频格式(*.mpg)", u"工业级标准而设计的压缩格式，具有广播级的视频画质和CD的音质", 7},
    {108, u"ASF - 高级流视频格式(*.asf)", u"微软制定的高级流媒体视频格式，被广泛用于网络", 8},
    {109, u"3GP - 视频格式(*.3gp)", u"3GP是一种3G流媒体的视频编码格式，手机支持的视频格式", 9},
    {110, u"WMV - 视频格式(*.wmv)", u"WMV是微软推出的一种流媒体格式,WMV格式的体积非常小,很适合在网上播放和传输", 10},
    {111, u"DVD - 视频格式(*.mpg)", u"DVD-数字视频光盘通,常用来播放标准电视机清晰度的电影,高质量的音乐", 11},
    {112, u"SVCD - 视频格式(*.mpg)", u"SVCD采用MPEG-2压缩,比VCD视频有更好的视频质量", 12},
    {113, u"VCD - 视频格式(*.mpg)", u"可以在VCD机上直接播放,也可以在配置了光驱的电脑中播放。", 13},
    {114, u"RM - REAL视频格式(*.rm)", u"RealNetWorks推出的一种流媒体格式,低码率,很适合在网上播放和传输", 14},
    // 常用音频
    {200, u"MP3 - MPEG Layer-3音频格式(*.mp3)", u"最流行的音频格式,具有体积小,音质高的特点,几乎成为网上音乐的代名词",
     0},
    {201, u"WMA - Windows媒体音频格式(*.wma)", u"微软公司推出的与MP3格式齐名的一种新的音频格式", 1},
    {202, u"WAV - 波形音频格式(*.wav) ", u"WAV为微软公司开发的波形声音文件格式", 2},
    {203, u"AAC - 高级音频格式(*.aac)", u"高级声音数据设计的文件压缩格式,与Mp3类似,苹果公司的ipod,iPhone支持的音频格式",
     3},
    {204, u"M4A - MPEG-4音频格式(*.m4a)", u"M4A是MPEG4音频标准的文件,几乎所有支持MPEG4音频的软件都支持m4a音频", 4},
    {205, u"OGG - Ogg Vorbis音频格式(*.ogg)",
     u"OGG是一种常见的格式，在音乐软件、游戏音效、便携播放器、网络浏览器上都得到广泛支持", 5},
    {206, u"RA - RealAudio音频格式(*.ra)", u"RealNetworks制定的流媒体音频格式,便于网络传输的音频格式", 6},
    {207, u"AC3 - 杜比数字AC-3音频格式(*.ac3)", u"杜比数字AC-3是杜比公司开发的新一代家庭影院多声道数字音频系统。", 7},
    {208, u"AIFF - 音频交换文件格式(*.aiff)",
     u"AIFF是音频交换文件格式是Apple公司开发的声音文件格式,广泛应用于各种专业的音频软件中", 8},
    {209, u"MP2 - MPEG Layer-2音频格式(*.mp2)", u"MPEG Layer-2音频格式，具有CD级别的音质", 9},
    {210, u"FLAC-音频格式(*.flac)", u"FLAC是一套著名的无损压缩编码,所以还原CD音乐光盘音质", 10},
    {211, u"ALAC-Apple Lossless无损音频格式(*.alac) ", u"ALAC是苹果公司开发的无损音频格式,音质与原始CD完全相同", 11},
    {212, u"AMR-手机音频格式(*.amr)", u"AMR是流行的手机数字音乐文件格式之一", 12},
    // HD视频
    {300, u"高清AVI视频格式(*.avi)", u"高清AVI视频格式(MPEG-4)", 20},
    {301, u"高清AVI视频格式(*.avi)", u"高清AVI视频格式(XviD)", 21},
    {302, u"高清H264视频格式(*.mp4)", u"高清H264视频格式", 21},
    {303, u"高清MPEG-4视频格式(*.mp4)", u"高清MPEG-4视频格式)", 21},
    {304, u"高清MOV视频格式(*.mov)", u"高清MOV视频格式(QuickTime)", 21},
    {305, u"高清ASF视频格式(*.asf)", u"高清ASF视频格式", 21},
    {306, u"高清WMV视频格式(*.wmv)", u"高清WMV视频格式(Windows Media)", 21},
    {307, u"高清DVD视频格式(*.vob)", u"高清DVD视频格式(VOB)", 21},
    {308, u"高清MPEG-2视频格式(*.mpg)", u"高清MPEG-2视频格式", 21},
    {309, u"高清MKV视频格式(*.mkv)", u"高清MKV视频格式(Matroska)", 21},
    // iPod视频
    {400, u"iPod (320X240) 高清晰视频(*.mp4)", u"为iPod优化的H.264视频预置方案.(高清晰)", 20},
    {401, u"iPod (320X240) 高压缩视频(*.mp4)", u"为iPod优化的MPEG-4视频预置方案.(高压缩)", 21},
    {402, u"iPod (320X240) 标准视频(*.mp4)", u"为iPod优化的MPEG-4视频预置方案.(标准)", 21},
    {403, u"iPod Video2 TV OutPut视频(*.mp4)", u"为iPod Video2优化的MPEG-4视频预置方案.(TV OutPut)", 21},
    {404, u"iPod Video2 (640X480)视频(*.mp4)", u"为iPod Video2优化的MPEG-4视频预置方案.(640X480)", 21},
    {405, u"iPod Video2 (640X480)高清晰视频(*.mp4)", u"为iPod Video2优化的MPEG-4视频预置方案.(高清晰)", 21},
    {406, u"iPod Video2 (640X480)高压缩视频(*.mp4)", u"为iPod Video2优化的MPEG-4视频预置方案.(高压缩)", 21},
    {407, u"iPod touch MPEG-4视频(*.mp4)", u"为iPod touch优化的MPEG-4视频预置方案", 21},
    {408, u"iPod touch MPEG-4 480P视频(*.mp4)", u"为iPod touch优化的MPEG-4视频预置方案.(480P)", 21},
    {409, u"iPod touch MPEG-4 480P高清晰视频(*.mp4)", u"为iPod touch优化的MPEG-4视频预置方案.(高清晰)", 21},
    {410, u"iPod touch MPEG-4 480P高压缩视频(*.mp4)", u"为iPod touch优化的MPEG-4视频预置方案.(高压缩)", 21},
    {411, u"iPod touch MPEG-4 480P宽屏视频(*.mp4)", u"为iPod touch优化的MPEG-4视频预置方案.(宽屏)", 21},
    {412, u"iPod touch MPEG-4 (320X240)视频(*.mp4)", u"为iPod touch优化的MPEG-4视频预置方案.(320X240)", 21},
    {413, u"iPod touch MPEG-4 (480X320)视频(*.mp4)", u"为iPod touch优化的MPEG-4视频预置方案.(480X320)", 21},
    // iPhone视频
    {500, u"iPhone MPEG-4视频(*.mp4)", u"为iPhone优化的MPEG-4视频预置方案", 20},
    {501, u"iPhone MPEG-4视频480P(*.mp4)", u"为iPhone优化的MPEG-4视频预置方案.(480P)", 21},
    {502, u"iPhone MPEG-4视频宽屏(*.mp4)", u"为iPhone优化的MPEG-4视频预置方案.(宽屏)", 20},
    {503, u"iPhone MPEG-4高清晰视频(*.mp4)", u"为iPhone优化的MPEG-4视频预置方案.(高清晰)", 21},
    {504, u"iPhone MPEG-4视频(320X240)(*.mp4)", u"为iPhone优化的MPEG-4视频预置方案.(320X240)", 20},
    {505, u"iPhone MPEG-4视频(480X320)(*.mp4)", u"为iPhone优化的MPEG-4视频预置方案.(480X320)", 21},
    // PSP视频
    {600, u"PSP MPEG-4视频(*.mp4)", u"为PSP优化的MPEG-4视频预置方案", 20},
    {601, u"PSP AVC MPEG-4视频(*.mp4)", u"为PSP优化的H.264编码MP4视频预置方案.(AVC)", 21},
    {602, u"PSP高清晰MPEG-4视频(*.mp4)", u"为PSP优化的MPEG-4视频预置方案.(高清晰)", 20},
    {603, u"PSP高压缩MPEG-4视频(*.mp4)", u"为PSP优化的MPEG-4视频预置方案.(高压缩)", 21},
    {604, u"PSP Video MPEG-4视频480P(*.mp4)", u"为PSP优化的MPEG-4视频预置方案.(480P)", 20},
    // 3GP视频
    {700, u"3GPP -  第三代合作项目-3GP视频+AMR音频(*.3gp)", u"为手机优化的3GP视频预置方案.(AMR音频)", 20},
    {701, u"3GPP -  第三代合作项目-3GP视频+AAC音频(*.3gp)", u"为手机优化的3GP视频预置方案.(AAC音频)", 20},
    {702, u"3GPP2 -  第三代合作项目2-3G2视频+AMR音频(*.3g2))", u"为手机优化的3G2视频预置方案.(AMR音频)", 21},
    {703, u"3GPP2 -  第三代合作项目2-3G2视频+AAC音频(*.3g2)", u"为手机优化的3G2视频预置方案.(AAC音频)", 21},
    {704, u"黑莓手机3GP视频+AMR音频(*.3gp)", u"为黑莓手机优化的AMR音频预置方案.(AMR音频)", 20},
    {705, u"黑莓手机3GP视频+AAC音频(*.3gp)", u"为黑莓手机优化的3GP视频预置方案.(AAC音频)", 21},
    {706, u"黑莓手机AVI视频(*.avi)", u"为黑莓手机优化的AVI视频预置方案", 20},
    {707, u"黑莓手机MPEG-4视频(*.mp4)", u"为黑莓手机优化的MPEG-4视频预置方案", 21},
    {708, u"黑莓手机AMR音频格式(*.amr)", u"为黑莓手机优化的AMR音频预置方案", 21},
    {709, u"Symbian智能平台手机专用MP4视频(*.mp4)", u"为Symbian智能手机优化的MP4视频预置方案", 21},
    {710, u"各种手机常用的MP4视频(*.mp4)", u"为各种手机优化的MP4视频预置方案", 21},
    {711, u"各种手机常用的AVI视频(*.avi)", u"为各种手机优化的AVI视频预置方案", 21},
    {712, u"各种手机常用的MOV视频(*.mov)", u"为各种手机优化的MOV视频预置方案", 21},
    {713, u"各种手机常用的MP4视频(*.mp4)", u"为各种手机优化的MP4视频预置方案.(小尺寸)", 21},
    // APPLE视频
    {800, u"Apple TV H264视频(320X240)(*.mp4)", u"为Apple TV优化的H.264视频预置方案.(320X240)", 22},
    {801, u"Apple TV H264视频480P(640X480)(*.mp4)", u"为Apple TV优化的H.264视频预置方案.(480P)", 23},
    {802, u"Apple TV H264视频720P(1280X720)(*.mp4)", u"为Apple TV优化的H.264视频预置方案.(720P)", 24},
    {803, u"Apple TV H264高清晰视频480P(640X480)(*.mp4)", u"为Apple TV优化的H.264视频预置方案.(高清晰)", 25},
    {804, u"Apple TV MPEG-4高压缩视频480P(640X480)(*.mp4)", u"为Apple TV优化的MPEG-4视频预置方案.(高压缩)", 26},
    // XboX视频
    {900, u"Xbox360 HD H.264视频(*.mp4)", u"为Xbox360优化的H.264视频预置方案.(HD)", 22},
    {901, u"Xbox360 MCE HD MPEG-2视频(*.mpg)", u"为Xbox360 MCE优化的MPEG-2视频预置方案.(HD)", 23},
    {902, u"Xbox360 MCE HD MPEG-2视频(*.mpg)", u"为Xbox360 MCE优化的MPEG-2视频预置方案.(HD MPG)", 24},
    {903, u"Xbox360 MPEG-4视频(*.mp4)", u"为Xbox360优化的MPEG-4视频预置方案", 25},
    {904, u"Xbox360 MP4高清晰视频(*.mp4)", u"为Xbox360优化的MPEG-4视频预置方案.(高清晰)", 26},
    {905, u"Xbox360 WMV视频(*.wmv)", u"为Xbox360优化的WMV视频预置方案", 21},
    {906, u"Xbox360 WMV HDTV视频(*.wmv)", u"为Xbox360优化的WMV视频预置方案.(HDTV)", 21},
    {907, u"Xbox360 MCE 高清晰AVI视频(*.avi)", u"为Xbox360 MCE优化的高清晰AVI视频预置方案.(MS-MPEG4 V2)", 21},
    {908, u"Xbox360 MCE 高清晰AVI视频(*.avi)", u"为Xbox360 MCE优化的高清晰AVI视频预置方案.(MS-MPEG4)", 21},
    {909, u"Xbox360 MCE 高清晰AVI视频(*.avi)", u"为Xbox360 MCE优化的高清晰AVI视频预置方案.(MS-MPEG4 V1)", 21},
    // PMP视频
    {1000, u"爱可视AV500/GMini402视频(*.avi)", u"为爱可视AV500/GMini402优化的视频预置方案", 22},
    {1001, u"爱可视AV700视频(*.avi)", u"为爱可视AV700优化的视频预置方案", 23},
    {1002, u"Creative Zen Vision视频(*.avi)", u"为Creative Zen Vision优化的视频预置方案", 24},
    {1003, u"Zune MPEG-4 AVC视频(*.mp4)", u"为微软Zune优化的H.264视频预置方案", 25},
    {1004, u"Zune MPEG-4 AVC视频(*.mp4)", u"为微软Zune优化的H.264视频预置方案.(高清晰)", 26},
    {1005, u"Zune MPEG-4视频(*.mp4)", u"为微软Zune优化的MPEG-4视频预置方案", 21},
    {1006, u"Zune WMV多媒体视频(*.wmv)", u"为微软Zune优化的WMV视频预置方案", 21},
    {1007, u"iRiver PMP-100视频(*.avi)", u"为iRiver PMP-100优化的视频预置方案", 21},
    // MP4视频
    {1100, u"MP4机播放的MP4视频格式(*.mp4)", u"为各种MP4机优化的MPEG-4视频预置方案", 22},
    {1101, u"电脑上使用的MP4视频格式(*.mp4)", u"为电脑上使用的MP4优化的MPEG-4视频预置方案", 23},
    {1102, u"MPEG-4视频高清晰视频(*.mp4)", u"MPEG-4视频预置方案(高清晰编码格式)", 24},
    {1103, u"MP4 AVC视频(*.mp4)", u"MPEG-4 AVC视频预置方案", 25},
    {1104, u"MP4 H264编码视频(*.mp4)", u"优化的MPEG-4视频预置方案(H264高清晰编码)", 26},
    // Flash视频
    {1200, u"FLV在线网络视频(*.flv)", u"在线视频网站常用的视频预置方案如(优酷、酷六、土豆网)", 22},
    {1201, u"SWF动画视频FLASH动画视频(*.swf)", u"最常用的FLASH动画视频预置方案，动画格式为SWF文件", 23},
    {1202, u"FLV在线网络音频格式(*.flv)", u"在线视频网站常用的视频预置方案如(优酷、酷六、土豆网)(音频格式)", 24},
    {1203, u"SWF动画视频FLASH动画音频格式(*.swf)", u"最常用的FLASH动画视频预置方案，动画格式为SWF文件(音频格式)", 25},
};

// Code, output extension, video codec, frame rate, frame size, video bitrate, audio codec, sample rate,
// audio bitrate, channels, tag, aspect, Video_FileExt, target, norm, format, filters, copy timestamp, volume,
// disable video.
constexpr TSettingsProfileEntry Entries[] = {
    {100,     u".avi", u"mpeg4", u"25", u"", 816000, u"libmp3lame", u"44100", 128000, u"2",
     u"XVID", u"",     u".avi",  u"",   u"", u"",    u"",           u"",      u"256", false},
    {101, u".mp4", u"mpeg4", u"25", u"", 816000, u"libmp3lame", u"44100", 128000, u"2",
     u"", u"",     u".mp4",  u"",   u"", u"",    u"",           u"",      u"256", false},
    {102,     u".avi", u"mpeg4", u"25", u"", 816000, u"libmp3lame", u"44100", 128000, u"2",
     u"DX50", u"",     u".avi",  u"",   u"", u"",    u"",           u"",      u"256", false},
    {103, u".mov", u"",     u"25", u"", 816000, u"libfaac", u"44100", 128000, u"2",
     u"", u"",     u".mov", u"",   u"", u"",    u"",        u"",      u"256", false},
    {104, u".avi", u"libxvid", u"25", u"", 816000, u"libmp3lame", u"44100", 128000, u"2",
     u"", u"",     u".avi",    u"",   u"", u"",    u"",           u"",      u"256", false},
    {105, u".mkv", u"mpeg4", u"25", u"", 1200000, u"libmp3lame", u"44100", 128000, u"2",
     u"", u"",     u".mkv",  u"",   u"", u"",     u"",           u"",      u"256", false},
    {106, u".mpg", u"mpeg1video", u"25", u"", 528000, u"", u"44100", 128000, u"2",
     u"", u"",     u".mpg",       u"",   u"", u"",    u"", u"",      u"256", false},
    {107, u".mpg", u"mpeg2video", u"25", u"", 816000, u"", u"44100", 128000, u"2",
     u"", u"",     u".mpg",       u"",   u"", u"",    u"", u"",      u"256", false},
    {108, u".asf", u"msmpeg4", u"25", u"", 816000, u"wmav2", u"44100", 128000, u"2",
     u"", u"",     u".asf",    u"",   u"", u"",    u"",      u"",      u"256", false},
    {109, u".3gp", u"mpeg4", u"12", u"176*144", 128000, u"libfaac", u"8000", 12000,  u"1",
     u"", u"4:3",  u".3gp",  u"",   u"",        u"",    u"",        u"",     u"256", false},
    {110, u".wmv", u"wmv2", u"25", u"", 816000, u"wmav2", u"44100", 128000, u"2",
     u"", u"",     u".wmv", u"",   u"", u"",    u"",      u"",      u"256", false},
    {300, u".avi", u"mpeg4", u"25", u"1280*720", 1600000, u"libmp3lame", u"48000", 128000, u"2",
     u"", u"",     u".avi",  u"",   u"",         u"",     u"",           u"",      u"256", false},
    {301, u".avi", u"libxvid", u"25", u"1280*720", 1600000, u"libmp3lame", u"48000", 128000, u"2",
     u"", u"",     u".avi",    u"",   u"",         u"",     u"",           u"",      u"256", false},
    {302, u".mp4", u"libx264", u"25", u"1280*720", 1600000, u"libmp3lame", u"48000", 256000, u"2",
     u"", u"",     u".mp4",    u"",   u"",         u"",     u"",           u"",      u"256", false},
    {303, u".mp4", u"mpeg4", u"25", u"1280*720", 1600000, u"libmp3lame", u"48000", 128000, u"2",
     u"", u"",     u".mp4",  u"",   u"",         u"",     u"",           u"",      u"256", false},
    {304, u".mov", u"",     u"25", u"1280*720", 1600000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mov", u"",   u"",         u"",     u"",        u"",      u"256", false},
    {305,  u".asf", u"msmpeg4", u"25", u"1280*720", 1600000, u"wmav2", u"48000", 128000, u"2",
     Keep, u"",     u".asf",    u"",   u"",         u"",     u"",      u"",      u"256", false},
    {306, u".wmv", u"wmv2", u"25", u"1280*720", 1600000, u"wmav2", u"48000", 128000, u"2",
     u"", u"",     u".asf", u"",   u"",         u"",     u"",      u"",      u"256", false},
    {307, u".vob", u"",     u"25", u"1280*720", 1600000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".vob", u"",   u"",         u"",     u"",        u"",      u"256", false},
    {308, u".mpg", u"mpeg2video", u"25", u"1280*720", 1600000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mpg",       u"",   u"",         u"",     u"",        u"",      u"256", false},
    {309, u".mkv", u"mpeg4", u"25", u"1280*720", 1600000, u"libfaac", u"48000", 192000, u"2",
     u"", u"",     u".mkv",  u"",   u"",         u"",     u"",        u"",      u"256", false},
    {400, u".mp4", u"libx264", u"25", u"320*240", 512000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mp4",    u"",   u"",        u"",    u"",        u"",      u"256", false},
    {401, u".mp4", u"libxvid", u"25", u"320*240", 768000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mp4",    u"",   u"",        u"",    u"",        u"",      u"256", false},
    {402, u".mp4", u"libxvid", u"25", u"640*480", 768000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mp4",    u"",   u"",        u"",    u"",        u"",      u"256", false},
    {403, u".mp4", u"libxvid", u"25", u"640*480", 768000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mp4",    Keep,  u"",        u"",    u"",        u"",      u"256", false},
    {404, u".mp4", u"mpeg4", u"25", u"640*480", 600000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mp4",  Keep,  u"",        u"",    u"",        u"",      u"256", false},
    {405, u".mp4", u"libx264", u"25", u"640*480", 1200000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mp4",    Keep,  u"",        u"",     u"",        u"",      u"256", false},
    {406, u".mp4", u"libxvid", u"25", u"640*480", 512000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mp4",    Keep,  u"",        u"",    u"",        u"",      u"256", false},
    {407, u".mp4", u"mpeg4", u"25", u"320*240", 600000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mp4",  u"",   u"",        u"",    u"",        u"",      u"256", false},
    {408, u".mp4", u"libxvid", u"25", u"640*480", 7680000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mp4",    u"",   u"",        u"",     u"",        u"",      u"256", false},
    {410, u".mp4", u"libx264", u"25", u"640*480", 1200000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mp4",    u"",   u"",        u"",     u"",        u"",      u"256", false},
    {411, u".mp4", u"libxvid", u"25", u"640*480", 512000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mp4",    u"",   u"",        u"",    u"",        u"",      u"256", false},
    {412, u".mp4", u"libxvid", u"25", u"640*480", 1200000, u"libfaac", u"48000", 128000, u"2",
     u"", u"16:9", u".mp4",    u"",   u"",        u"",     u"",        u"",      u"256", false},
    {413, u".mp4", u"libxvid", u"25", u"320*240", 768000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mp4",    u"",   u"",        u"",    u"",        u"",      u"256", false},
    {414, u".mp4", u"libxvid", u"25", u"480*320", 1000000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mp4",    u"",   u"",        u"",     u"",        u"",      u"256", false},
    {500, u".mp4", u"mpeg4", u"25", u"320*240", 600000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mp4",  u"",   u"",        u"",    u"",        u"",      u"256", false},
    {501, u".mp4", u"libxvid", u"25", u"640*480", 1000000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mp4",    u"",   u"",        u"",     u"",        u"",      u"256", false},
    {502, u".mp4", u"mpeg4", u"25", u"640*480", 600000, u"libfaac", u"48000", 128000, u"2",
     u"", u"16:9", u".mp4",  u"",   u"",        u"",    u"",        u"",      u"256", false},
    {503, u".mp4", u"libx264", u"25", u"320*240", 1200000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mp4",    u"",   u"",        u"",     u"",        u"",      u"256", false},
    {504, u".mp4", u"mpeg4", u"25", u"320*240", 600000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mp4",  u"",   u"",        u"",    u"",        u"",      u"256", false},
    {505, u".mp4", u"mpeg4", u"25", u"480*320", 768000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mp4",  u"",   u"",        u"",    u"",        u"",      u"256", false},
    {506, u".mp4", u"mpeg4", u"25", u"320*240", 600000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mp4",  u"",   u"",        u"",    u"",        u"",      u"256", false},
    {600, u".mp4", u"mpeg4", u"29.97", u"320*240", 600000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mp4",  u"",      u"",        u"",    u"",        u"",      u"256", false},
    {601, u".mp4", u"libx264", u"29.97", u"320*240", 768000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mp4",    u"",      u"",        u"",    u"",        u"",      u"256", false},
    {602, u".mp4", u"libx264", u"29.97", u"320*240", 1200000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mp4",    u"",      u"",        u"",     u"",        u"",      u"256", false},
    {603, u".mp4", u"libxvid", u"29.97", u"320*240", 384000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mp4",    u"",      u"",        u"",    u"",        u"",      u"256", false},
    {604, u".mp4", u"libx264", u"29.97", u"640*480", 1000000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mp4",    u"",      u"",        u"",     u"",        u"",      u"256", false},
    {700, u".3gp", u"h263", u"12", u"176*144", 128000, u"libamr_nb", u"8000", 12000,  u"1",
     u"", u"",     u".3gp", u"",   u"",        u"",    u"",          u"",     u"256", false},
    {701, u".3gp", u"h263", u"12", u"176*144", 128000, u"libfaac", u"16000", 48000,  u"2",
     u"", u"",     u".3gp", u"",   u"",        u"",    u"",        u"",      u"256", false},
    {702, u".3gp", u"mpeg4", u"12", u"176*144", 128000, u"libamr_nb", u"8000", 12000,  u"1",
     u"", u"",     u".3gp",  u"",   u"",        u"",    u"",          u"",     u"256", false},
    {703, u".3g2", u"mpeg4", u"12", u"176*144", 128000, u"libfaac", u"32000", 48000,  u"2",
     u"", u"",     u".3g2",  u"",   u"",        u"",    u"",        u"",      u"256", false},
    {704, u".3gp", u"mpeg4", u"12", u"176*144", 128000, u"libamr_nb", u"8000", 10200,  u"1",
     u"", u"",     u".3gp",  u"",   u"",        u"",    u"",          u"",     u"256", false},
    {705, u".3gp", u"mpeg4", u"15", u"320*240", 128000, u"libfaac", u"16000", 32000,  u"2",
     u"", u"",     u".3gp",  u"",   u"",        u"",    u"",        u"",      u"256", false},
    {706, u".avi", u"h263", u"15", u"352*288", 256000, u"libmp3lame", u"44100", 128000, u"2",
     u"", u"",     u".avi", u"",   u"",        u"",    u"",           u"",      u"256", false},
    {707, u".mp4", u"mpeg4", u"15", u"352*288", 128000, u"libfaac", u"44100", 128000, u"2",
     u"", u"",     u".mp4",  u"",   u"",        u"",    u"",        u"",      u"256", false},
    {709, u".mp4", u"mpeg4", u"15", u"352*288", 160000, u"libfaac", u"44100", 64000,  u"2",
     u"", u"",     u".mp4",  u"",   u"",        u"",    u"",        u"",      u"256", false},
    {710, u".mp4", u"mpeg4", u"12", u"352*288", 128000, u"libfaac", u"32000", 32000,  u"2",
     u"", u"",     u".mp4",  u"",   u"",        u"",    u"",        u"",      u"256", false},
    {711,     u".avi", u"mpeg4", u"25", u"320*240", 256000, u"libmp3lame", u"44100", 128000, u"2",
     u"DX50", u"",     u".avi",  u"",   u"",        u"",    u"",           u"",      u"256", false},
    {712, u".mov", u"",     u"25", u"320*240", 256000, u"libfaac", u"44100", 128000, u"2",
     u"", u"",     u".mov", u"",   u"",        u"",    u"",        u"",      u"256", false},
    {713, u".mp4", u"mpeg4", u"12", u"176*144", 128000, u"libfaac", u"32000", 32000,  u"2",
     u"", u"",     u".mp4",  u"",   u"",        u"",    u"",        u"",      u"256", false},
    {800, u".mp4", u"libx264", u"25", u"320*240", 768000, u"libfaac", u"48000", 192000, u"2",
     u"", u"",     u".mp4",    u"",   u"",        u"",    u"",        u"",      u"256", false},
    {801, u".mp4", u"libx264", u"25", u"640*480", 1000000, u"libfaac", u"48000", 192000, u"2",
     u"", u"",     u".mp4",    u"",   u"",        u"",     u"",        u"",      u"256", false},
    {802, u".mp4", u"libx264", u"25", u"1280*720", 1000000, u"libfaac", u"48000", 192000, u"2",
     u"", u"",     u".mp4",    u"",   u"",         u"",     u"",        u"",      u"256", false},
    {803, u".mp4", u"mpeg4", u"25", u"640*480", 1200000, u"libfaac", u"48000", 192000, u"2",
     u"", u"",     u".mp4",  u"",   u"",        u"",     u"",        u"",      u"256", false},
    {804, u".mp4", u"libxvid", u"25", u"640*480", 600000, u"libfaac", u"48000", 192000, u"2",
     u"", u"",     u".mp4",    u"",   u"",        u"",    u"",        u"",      u"256", false},
    {900, u".mp4", u"libx264", u"29.97", u"640*480", 1200000, u"libfaac", u"48000", 192000, u"2",
     u"", u"",     u".mp4",    u"",      u"",        u"",     u"",        u"",      u"256", false},
    {901, u".mpeg", u"mpeg2video", u"25", u"1280*720", 1200000, u"ac3", u"48000", 192000, u"2",
     u"", u"",      u".mpeg",      u"",   u"",         u"",     u"",    u"",      u"256", false},
    {902, u".mpg", u"mpeg2video", u"25", u"1280*720", 1200000, u"ac3", u"48000", 192000, u"2",
     u"", u"",     u".mpg",       u"",   u"",         u"",     u"",    u"",      u"256", false},
    {903, u".mp4", u"mpeg4", u"25", u"640*480", 1200000, u"libmp3lame", u"48000", 192000, u"2",
     u"", u"",     u".mp4",  u"",   u"",        u"",     u"",           u"",      u"256", false},
    {904, u".mp4", u"mpeg4", u"25", u"1280*720", 1200000, u"libfaac", u"48000", 128000, u"2",
     u"", u"",     u".mp4",  u"",   u"",         u"",     u"",        u"",      u"256", false},
    {905, u".wmv", u"wmv2", u"25", u"640*480", 1200000, u"wmav2", u"48000", 128000, u"2",
     u"", u"",     u".wmv", u"",   u"",        u"",     u"",      u"",      u"256", false},
    {906, u".avi", u"wmv2", u"25", u"1280*720", 1200000, u"libmp3lame", u"48000", 128000, u"2",
     u"", u"",     u".avi", u"",   u"",         u"",     u"",           u"",      u"256", false},
    {907, u".avi", u"msmpeg4v2", u"25", u"1280*720", 1200000, u"libmp3lame", u"48000", 128000, u"2",
     u"", u"",     u".avi",      u"",   u"",         u"",     u"",           u"",      u"256", false},
    {908, u".avi", u"msmpeg4", u"25", u"1280*720", 1200000, u"libmp3lame", u"48000", 128000, u"2",
     u"", u"",     u".avi",    u"",   u"",         u"",     u"",           u"",      u"256", false},
    {909, u".mp4", u"msmpeg4v1", u"25", u"1280*720", 1200000, u"libmp3lame", u"48000", 128000, u"2",
     u"", u"",     u".mp4",      u"",   u"",         u"",     u"",           u"",      u"256", false},
    {1000, u".avi", u"mpeg4", u"25", u"480*272", 1000000, u"libmp3lame", u"48000", 128000, u"2",
     u"",  u"",     u".avi",  u"",   u"",        u"",     u"",           u"",      u"256", false},
    {1001, u".avi", u"mpeg4", u"25", u"720*480", 1000000, u"libmp3lame", u"48000", 128000, u"2",
     u"",  u"",     u".avi",  u"",   u"",        u"",     u"",           u"",      u"256", false},
    {1002, u".avi", u"mpeg4", u"25", u"320*240", 768000, u"libmp3lame", u"44100", 128000, u"2",
     u"",  u"",     u".avi",  u"",   u"",        u"",    u"",           u"",      u"256", false},
    {1003, u".mp4", u"mpeg4", u"25", u"320*240", 512000, u"libfaac", u"44100", 128000, u"2",
     u"",  u"",     u".mp4",  u"",   u"",        u"",    u"",        u"",      u"256", false},
    {1004, u".mp4", u"libx264", u"25", u"320*240", 768000, u"libfaac", u"44100", 128000, u"2",
     u"",  u"",     u".mp4",    u"",   u"",        u"",    u"",        u"",      u"256", false},
    {1005, u".mp4", u"libxvid", u"25", u"320*240", 768000, u"libfaac", u"44100", 128000, u"2",
     u"",  u"",     u".mp4",    u"",   u"",        u"",    u"",        u"",      u"256", false},
    {1006, u".wmv", u"wmv2", u"25", u"320*240", 1000000, u"wmav2", u"44100", 128000, u"2",
     u"",  u"",     u".wmv", u"",   u"",        u"",     u"",      u"",      u"256", false},
    {1007, u".avi", u"mpeg4", u"25", u"640*480", 1000000, u"libmp3lame", u"44100", 128000, u"2",
     u"",  u"",     u".avi",  u"",   u"",        u"",     u"",           u"",      u"256", false},
    {1100, u".mp4", u"mpeg4", u"25", u"320*240", 528000, u"libmp3lame", u"44100", 128000, u"2",
     u"",  u"",     u".mp4",  u"",   u"",        u"",    u"",           u"",      u"256", false},
    {1101, u".mp4", u"mpeg4", u"25", u"", 768000, u"libmp3lame", u"44100", 128000, u"2",
     u"",  u"",     u".mp4",  u"",   u"", u"",    u"",           u"",      u"256", false},
    {1102, u".mp4", u"libx264", u"25", u"", 1200000, u"libmp3lame", u"44100", 128000, u"2",
     u"",  u"",     u".mp4",    u"",   u"", u"",     u"",           u"",      u"256", false},
    {1103, u".mp4", u"libx264", u"25", u"320*240", 1200000, u"libfaac", u"44100", 128000, u"2",
     u"",  u"",     u".mp4",    u"",   u"",        u"",     u"",        u"",      u"256", false},
    {1104, u".mp4", u"libx264", u"25", u"", 1200000, u"libmp3lame", u"44100", 128000, u"2",
     u"",  u"",     u".mp4",    u"",   u"", u"",     u"",           u"",      u"256", false},
    {1200, u".flv", u"",     u"25", u"", 1200000, u"libmp3lame", u"22050", 128000, u"2",
     u"",  u"",     u".flv", u"",   u"", u"",     u"",           u"",      u"256", false},
    {1201, u".swf", u"",     u"25", u"", 528000, u"libmp3lame", u"22050", 128000, u"2",
     u"",  u"",     u".swf", u"",   u"", u"",    u"",           u"",      u"256", false},
    // Audio-only entries: no video field is written.
    {200,  u".mp3", Keep,    Keep, Keep, KeepRate, u"libmp3lame", u"48000", 128000, u"2",
     Keep, Keep,    u".mp3", u"",  u"",  u"",      Keep,          u"",      u"256", true},
    {201,  u".wma", Keep,    Keep, Keep, KeepRate, u"wmav2", u"48000", 128000, u"2",
     Keep, Keep,    u".wma", u"",  u"",  u"",      Keep,     u"",      u"256", true},
    {202,  u".wav", Keep,    Keep, Keep, KeepRate, u"",  u"48000", 128000, u"2",
     Keep, Keep,    u".wav", u"",  u"",  u"",      Keep, u"",      u"256", true},
    {203,  u".aac", Keep,    Keep, Keep, KeepRate, u"libfaac", u"48000", 128000, u"2",
     Keep, Keep,    u".aac", u"",  u"",  u"",      Keep,       u"",      u"256", true},
    {204,  u".m4a", Keep,    Keep, Keep, KeepRate, u"",  u"48000", 128000, u"2",
     Keep, Keep,    u".m4a", u"",  u"",  u"",      Keep, u"",      u"256", true},
    {205,  u".ogg", Keep,    Keep, Keep, KeepRate, u"libvorbis", u"48000", 128000, u"2",
     Keep, Keep,    u".ogg", u"",  u"",  u"",      Keep,         u"",      u"256", true},
    {206,  u".ra", Keep,   Keep, Keep, KeepRate, u"",  u"48000", 128000, u"2",
     Keep, Keep,   u".rm", u"",  u"",  u"",      Keep, u"",      u"256", true},
    {207,  u".ac3", Keep,    Keep, Keep, KeepRate, u"ac3", u"48000", 128000, u"2",
     Keep, Keep,    u".ac3", u"",  u"",  u"",      Keep,   u"",      u"256", true},
    {208,  u".aiff", Keep,     Keep, Keep, KeepRate, u"",  u"48000", 128000, u"2",
     Keep, Keep,     u".aiff", u"",  u"",  u"",      Keep, u"",      u"256", true},
    {209,  u".mp2", Keep,    Keep, Keep, KeepRate, u"",  u"44100", 128000, u"2",
     Keep, Keep,    u".mp2", u"",  u"",  u"",      Keep, u"",      u"256", true},
    {210,  u".flac", Keep,     Keep, Keep, KeepRate, u"flac", u"48000", 128000, u"2",
     Keep, Keep,     u".flac", u"",  u"",  u"",      Keep,    u"",      u"256", true},
    {211,  u".m4a", Keep,     Keep, Keep, KeepRate, u"alac", u"48000", 128000, u"2",
     Keep, Keep,    u".alac", u"",  u"",  u"",      Keep,    u"",      u"256", true},
    {212, u".amr", Keep, Keep, Keep,   KeepRate, u"libopencore_amrnb", u"8000", 7400, u"1", Keep, Keep, u".amr", u"",
     u"", u"",     Keep, u"",  u"256", true},
    {708, u".amr", Keep, Keep, Keep,   KeepRate, u"libopencore_amrnb", u"8000", 7400, u"1", Keep, Keep, u".amr", u"",
     u"", u"",     Keep, u"",  u"256", true},
    {1202, u".flv", Keep, Keep, Keep, KeepRate, u"libmp3lame", u"22050", 128000, u"2",
     Keep, Keep,    Keep, u"",  u"",  u"",      Keep,          u"",      u"256", true},
    {1203, u".swf", Keep, Keep, Keep, KeepRate, u"libmp3lame", u"22050", 128000, u"2",
     Keep, Keep,    Keep, u"",  u"",  u"",      Keep,          u"",      u"256", true},
    // Disc entries: a target and a norm; the engine's target preset gives the rest.
    {111, u".mpg", u"",  u"",    u"",    -1000, u"",  u"",  -1000,  u"",
     u"", u"",     Keep, u"dvd", u"PAL", u"",   Keep, Keep, u"256", false},
    {112, u".mpg", u"",  u"",     u"",    -1000, u"",  u"",  -1000,  u"",
     u"", u"",     Keep, u"svcd", u"PAL", u"",   Keep, Keep, u"256", false},
    {113, u".mpg", u"",  u"",    u"",    -1000, u"",  u"",  -1000,  u"",
     u"", u"",     Keep, u"vcd", u"PAL", u"",   Keep, Keep, u"256", false},
    // A partial entry: only its video codec and frame size.
    {114,  u".rm", u"rv20", Keep, u"320*240", KeepRate, Keep, Keep, KeepRate, Keep,
     Keep, Keep,   Keep,    u"",  u"",        u"",      Keep, u"",  Keep,     false},
};

void AssignText(const char16_t* Value, String& Field) {
    if (Value)
        Field = Value;
}

void AssignRate(int Value, int& Field) {
    if (Value != KeepRate)
        Field = Value;
}

} // namespace

std::span<const char16_t* const> SettingsCategories() {
    return Categories;
}
std::span<const TSettingsProfileItem> SettingsProfileItems() {
    return Items;
}

std::span<const TSettingsProfileItem> SettingsProfilesOfCategory(int CategoryIndex) {
    if (CategoryIndex < 0 || CategoryIndex >= SettingsCategoryCount)
        return {};
    std::span<const TSettingsProfileItem> All = Items;
    size_t First = 0;
    while (First < All.size() && All[First].ProfileCode / 100 - 1 < CategoryIndex)
        ++First;
    size_t Last = First;
    while (Last < All.size() && All[Last].ProfileCode / 100 - 1 == CategoryIndex)
        ++Last;
    return All.subspan(First, Last - First);
}

std::span<const TSettingsProfileEntry> SettingsProfileTable() {
    return Entries;
}

const TSettingsProfileEntry* FindSettingsProfileEntry(int ProfileCode) {
    for (const TSettingsProfileEntry& Entry : Entries)
        if (Entry.ProfileCode == ProfileCode)
            return &Entry;
    return nullptr;
}

void AssignSettingsProfileEntry(const TSettingsProfileEntry& E, TOutputParams& P) {
    AssignText(E.FileExt, P.Video_FileExt);
    AssignText(E.AudioChannels, P.Video_AudioChannels);
    AssignText(E.AudioSampleRate, P.Video_AudioSampleRate);
    AssignText(E.FrameSize, P.Video_FrameSize);
    AssignText(E.FrameRate, P.Video_FrameRate);
    AssignText(E.NormType, P.Video_NormType);
    AssignText(E.VideoFilters, P.Video_VideoFilters);
    AssignText(E.AudioVolume, P.Video_AudioVolume);
    AssignText(E.FrameAspectRatio, P.Video_FrameAspectRatio);
    AssignText(E.VideoCodec, P.Video_VideoCodec);
    AssignText(E.AudioCodec, P.Video_AudioCodec);
    AssignText(E.CopyTimestamp, P.Video_CopyTimestamp);
    AssignText(E.FileFormat, P.Video_FileFormat);
    AssignText(E.TargetType, P.Video_TargetType);
    AssignText(E.VideoTag, P.Video_VideoTag);
    AssignRate(E.VideoBitrate, P.Video_VideoBitrate);
    AssignRate(E.AudioBitrate, P.Video_AudioBitrate);
    if (E.DisableVideo)
        P.Video_DisableVideo = true;
}

const TSettingsProfileEntry* ApplySettingsProfile(TOutputParams& Params, int CategoryIndex, int ProfileIndex,
                                                  const String& OutputFolder, bool Overwrite) {
    int Code = SettingsProfileCode(CategoryIndex, ProfileIndex);
    Params.All_Trant_Number = Code;
    Params.Video_DisableVideo = false;
    const TSettingsProfileEntry* Entry = FindSettingsProfileEntry(Code);
    if (Entry) {
        Params.Video_OutPutFileName =
            OutputFolder + u"/" + ChangeFileNameExt(ExtractFileNamePart(Params.Video_AddFileName), Entry->Ext);
        AssignSettingsProfileEntry(*Entry, Params);
    }
    // Also without an entry: the name left by an earlier run moves into the current folder.
    String Name = ExtractFileNamePart(Params.Video_OutPutFileName);
    Params.Video_OutPutFileName = UniqueOutputFileName(OutputFolder, StripFileNameExt(Name), ExtractFileNameExt(Name),
                                                       Overwrite, Params.Video_AddFileName);
    return Entry;
}
