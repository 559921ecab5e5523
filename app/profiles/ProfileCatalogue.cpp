#include "app/profiles/ProfileCatalogue.h"

#include <algorithm>

namespace {

const TProfileCategory Categories[ProfileCategoryCount] = {
    {u"VCD视频", 24, 7},    {u"VOB视频", 20, 6},      {u"MPG视频", 13, 11},  {u"常用视频", 0, 15},
    {u"iPhone视频", 4, 15}, {u"iPad视频", 12, 11},    {u"智能手机", 31, 16}, {u"MP4视频", 10, 5},
    {u"Flash视频", 11, 4},  {u"SWF视频", 14, 7},      {u"AVI视频", 15, 7},   {u"MKV视频", 16, 7},
    {u"WMV视频", 17, 7},    {u"Android视频", 19, 12}, {u"MTS视频", 21, 13},  {u"MOV视频", 25, 4},
    {u"AVCHD视频", 27, 5},  {u"MP3音频", 29, 4},      {u"常用音频", 1, 13},
};

// One line per profile.
// clang-format off
const TProfileItem Profiles[ProfileCount] = {
    // 0 "VCD视频"
    {2500, u"VCD - PAL视频格式(*.mpg)", u"VCD视频格式，采用PAL制式的VCD视频格式，可以用于刻录VCD光盘"},
    {2501, u"VCD - NTSC视频格式(*.mpg)", u"VCD视频格式，采用NTSC制式的VCD视频格式，可以用于刻录VCD光盘"},
    {2502, u"SVCD - PAL视频格式(*.mpg)", u"SVCD视频格式，采用PAL制式的SVCD视频格式，可以用于刻录SVCD光盘"},
    {2503, u"SVCD - NTSC视频格式(*.mpg)", u"SVCD视频格式，采用NTSC制式的SVCD视频格式，可以用于刻录SVCD光盘"},
    {2504, u"DVD - PAL视频格式(*.mpg)", u"DVD视频格式，采用PAL制式的DVD视频格式，可以用于刻录DVD光盘"},
    {2505, u"DVD - NTSC视频格式(*.mpg)", u"DVD视频格式，采用NTSC制式的DVD视频格式，可以用于刻录DVD光盘"},
    {2506, u"VOB  - DVD视频格式(*.vob)", u"标准的VOB文件格式，VOB由视频、声音、字幕数据流组成的DVD电影文件"},
    // 1 "VOB视频"
    {2100, u"VOB标准视频(*.vob)", u"最常用的标准VOB视频格式"},
    {2101, u"HD高清VOB视频(*.vob)", u"HD高清晰的VOB视频格式"},
    {2102, u"高清DVD视频格式(*.vob)", u"高清DVD视频格式"},
    {2103, u"电脑上常用的VOB标准视频(*.vob)", u"电脑上常用的VOB视频格式，质量较高"},
    {2104, u"优化的VOB视频(*.vob)", u"优化的VOB视频格式，速度和质量进行平衡"},
    {2105, u"高压缩的VOB视频(*.vob)", u"高压缩的VOB视频格式，为您节约大量空间"},
    // 2 "MPG视频"
    {1400, u"MPG标准视频(*.mpg)", u"MPG格式标准视频，电脑常用格式"},
    {1401, u"MPEG-1标准视频(*.mpg)", u"最常用的MPEG-1标准视频预置方案"},
    {1402, u"MPEG-2标准视频(*.mpg)", u"最常用的MPEG-2标准视频预置方案，液晶电视常用"},
    {1403, u"MPEG-4标准视频(*.mp4)", u"最常用的MPEG-4标准视频预置方案，MP4视频格式"},
    {1404, u"MPEG-2高清HD视频(*.mpg)", u"HD高清的MPEG-2视频预置方案，高清MPG视频格式，高清液晶电视常用"},
    {1405, u"MPEG-4高清HD视频(*.mp4)", u"HD高清的MPEG-4标准视频预置方案，高清MP4视频格式"},
    {1406, u"MPEG-2优化视频(*.mpg)", u"常用的MPEG-2优化视频预置方案"},
    {1407, u"MPEG-2高压缩视频(*.mpg)", u"常用的MPEG-2高压缩视频预置方案"},
    {1408, u"DVD格式高清晰视频(*.mpg)", u"标准的DVD格式高清晰视频预置方案"},
    {1409, u"SVCD格式标清视频(*.mpg)", u"标准的SVCD格式标清视频预置方案"},
    {1410, u"VCD格式清晰视频(*.mpg)", u"标准的VCD格式清晰视频预置方案"},
    // 3 "常用视频"
    {100, u"AVI - 音频视频交错格式(*.avi)", u"AVI最常用的视频格式,语音和影像同步组合在一起的文件格式"},
    {101, u"MP4 - MPEG-4视频格式(*.mp4)", u"为网络广播和视频通信制定的压缩标准,有很小的体积和清晰的画质"},
    {102, u"DivX - 视频格式(*.avi)", u"DivX采用MPEG-4技术来压缩的数字多媒体格式,有接近DVD的画质和完美的音质"},
    {103, u"MOV - 苹果QuickTime视频格式(*.mov)", u"MOV即QuickTime影片格式，它是Apple公司开发的音频视频文件格式"},
    {104, u"XviD - 视频格式(*.avi)", u"XviD是世界上最流行的视频编码,很多电影是用XviD压制的"},
    {105, u"MKV - Matroska视频格式(*.mkv)", u"Matroska是一种新的多媒体封装格式 ，有超清晰的画面，和完美的音质"},
    {106, u"MPEG-1视频格式(*.mpg)", u"工业级标准而设计的压缩格式，具有VHS的画质和接近CD的音质"},
    {107, u"MPEG-2视频格式(*.mpg)", u"工业级标准而设计的压缩格式，具有广播级的视频画质和CD的音质"},
    {108, u"ASF - 高级流视频格式(*.asf)", u"微软制定的高级流媒体视频格式，被广泛用于网络"},
    {109, u"3GP - 视频格式(*.3gp)", u"3GP是一种3G流媒体的视频编码格式，手机支持的视频格式"},
    {110, u"WMV - 视频格式(*.wmv)", u"WMV是微软推出的一种流媒体格式,WMV格式的体积非常小,很适合在网上播放和传输"},
    {111, u"DVD - 视频格式(*.mpg)", u"DVD-数字视频光盘通,常用来播放标准电视机清晰度的电影,高质量的音乐"},
    {112, u"SVCD - 视频格式(*.mpg)", u"SVCD采用MPEG-2压缩,比VCD视频有更好的视频质量"},
    {113, u"VCD - 视频格式(*.mpg)", u"可以在VCD机上直接播放,也可以在配置了光驱的电脑中播放。"},
    {114, u"RM - REAL视频格式(*.rm)", u"RealNetWorks推出的一种流媒体格式,低码率,很适合在网上播放和传输"},
    // 4 "iPhone视频"
    {500, u"标准iPhone MPEG-4视频(*.mp4)", u"为iPhone优化的MPEG-4视频预置方案"},
    {501, u"iPhone MPEG-4视频480P(*.mp4)", u"为iPhone优化的MPEG-4视频预置方案.(480P)"},
    {502, u"高清iPhone MPEG-4视频720P(*.mp4)", u"iPhone适用的MPEG-4视频预置方案.(720P)"},
    {503, u"高清iPhone H264视频720P(*.mp4)", u"为iPhone优化的H.264编码MP4视频预置方案.(720P)"},
    {504, u"高清iPhone H264视频1080P(*.mp4)", u"1080P全高清的iPhone视频格式预置方案.(H.264编码)"},
    {505, u"iPhone MPEG-4视频宽屏(*.mp4)", u"为iPhone优化的MPEG-4视频预置方案.(宽屏)"},
    {506, u"iPhone MPEG-4高清晰视频(*.mp4)", u"高清晰的iPhone适用的MPEG-4视频预置方案"},
    {507, u"iPhone MPEG-4视频(320X240)(*.mp4)", u"标准的iPhone手机MP4视频预置方案.(320X240)"},
    {508, u"iPhone MPEG-4视频(480X320)(*.mp4)", u"标准的iPhone手机MPEG-4视频预置方案.(480*320)"},
    {509, u"iPhone 标准MOV视频(*.mov)", u"iPhone支持的标准MOV视频格式预置方案"},
    {510, u"iPhone 高清MOV视频(*.mov)", u"iPhone支持的高清MOV视频预置方案"},
    {511, u"iPhone 标准AVI视频-Xvid(*.avi)", u"为iPhone优化的AVI视频格式预置方案.(XviD视频编码)"},
    {512, u"iPhone 高清DivX视频(*.avi)", u"iPhone支持的高清AVI视频预置方案.(DivX视频编码)"},
    {513, u"iPhone 高清AVI视频(*.avi)", u"为iPhone优化的高清AVI视频预置方案"},
    {514, u"iPhone 高清WMV视频(*.wmv)", u"为iPhone优化的高清WMV视频格式预置方案"},
    // 5 "iPad视频"
    {1300, u"iPad标准视频格式(*.mp4)", u"iPad支持的标准MPEG-4视频预置方案"},
    {1301, u"iPad高清视频格式H.264编码(*.mp4)", u"适合iPad播放的高清MPEG-4视频预置方案.(H.264编码)"},
    {1302, u"iPad MPEG-4视频格式 XviD编码 (*.mp4)", u"为iPad优化的MPEG-4视频预置方案.(XviD视频编码)"},
    {1303, u"iPad 720P HD高清晰视频MPEG-4(*.mp4)", u"适合iPad播放的MPEG-4视频预置方案.(720P高清)"},
    {1304, u"iPad 优化视频方案1(*.mp4)", u"为iPad优化的MPEG-4视频预置方案1"},
    {1305, u"iPad 优化视频方案2(*.mp4)", u"为iPad优化的MPEG-4视频预置方案2"},
    {1306, u"iPad 1080P FHD全高清晰视频MPEG-4(*.mp4)", u"1080P全高清iPad支持的MPEG-4视频预置方案"},
    {1307, u"iPad 标准MOV视频(*.mov)", u"标准的iPad支持的MOV视频格式预置方案"},
    {1308, u"iPad 高清MOV视频(*.mov)", u"iPad支持的高清MOV视频预置方案"},
    {1309, u"iPad 标准AVI视频(*.avi)", u"适用于iPad播放的标准AVI视频格式预置方案"},
    {1310, u"iPad 高清AVI视频(*.avi)", u"为iPad优化的高清AVI视频预置方案"},
    // 6 "智能手机"
    {3200, u"智能手机标准MP4视频(*.mp4)", u"智能手机最常用的MP4视频格式预置方案"},
    {3201, u"智能手机DivX视频(*.mp4)", u"各种智能手机使用的MP4视频格式.(DivX编码)"},
    {3202, u"智能手机Xvid视频(*.mp4)", u"各种智能手机使用的MP4视频格式.(Xvid编码)"},
    {3203, u"H.264编码高清视频(*.mp4)", u"各种智能手机使用的高清MP4视频格式.(H.264编码)"},
    {3204, u"智能手机高清AVI视频(*.avi)", u"适用于智能手机播放的高清AVI视频格式"},
    {3205, u"AVI视频-智能手机适用(*.avi)", u"流行的AVI视频-智能手机适用"},
    {3206, u"MKV格式视频(*.mkv)", u"适用于智能手机播放的MKV视频格式"},
    {3207, u"手机MOV视频(*.mov)", u"适合各种智能手机播放的MOV视频格式"},
    {3208, u"FLV网络格式视频(*.flv)", u"FLV网络压缩视频格式，智能手机适用"},
    {3209, u"手机3GP视频(*.3gp)", u"手机3GP视频,早期智能机视频格式"},
    {3210, u"WMV格式视频(*.wmv)", u"智能手机适用的WMV视频格式预置方案.(高清)"},
    {3211, u"ASF格式视频(*.asf)", u"智能手机适用的ASF视频格式预置方案"},
    {3212, u"MPG格式视频(*.mpg)", u"智能手机适用的MPG视频格式预置方案"},
    {3213, u"智能手机支持的MPEG-2视频(*.mpg)", u"适合各种智能手机播放的MPEG-2视频格式.(高清/标清)"},
    {3214, u"智能手机支持的MPEG-4视频(*.mp4)", u"各种智能手机支持的MPEG-4视频格式"},
    {3215, u"手机MP3格式音频(*.mp3)", u"各种手机适用的MP3音频格式预置方案"},
    // 7 "MP4视频"
    {1100, u"MP4机播放的MP4视频格式(*.mp4)", u"为各种MP4机优化的MPEG-4视频预置方案"},
    {1101, u"电脑上使用的MP4视频格式(*.mp4)", u"为电脑上使用的MP4优化的MPEG-4视频预置方案"},
    {1102, u"MPEG-4视频高清晰视频(*.mp4)", u"MPEG-4视频预置方案(高清晰编码格式)"},
    {1103, u"MP4 AVC视频(*.mp4)", u"MPEG-4 AVC视频预置方案"},
    {1104, u"MP4 H264编码视频(*.mp4)", u"优化的MPEG-4视频预置方案(H264高清晰编码)"},
    // 8 "Flash视频"
    {1200, u"FLV在线网络视频(*.flv)", u"在线视频网站常用的视频预置方案如(优酷、酷六、土豆网)"},
    {1201, u"SWF动画视频FLASH动画视频(*.swf)", u"最常用的FLASH动画视频预置方案，动画格式为SWF文件"},
    {1202, u"FLV在线网络音频格式(*.flv)", u"在线视频网站常用的视频预置方案如(优酷、酷六、土豆网)(音频格式)"},
    {1203, u"SWF动画视频FLASH动画音频格式(*.swf)", u"最常用的FLASH动画视频预置方案，动画格式为SWF文件(音频格式)"},
    // 9 "SWF视频"
    {1500, u"标准的SWF视频格式(*.swf)", u"电脑上常用的标准的SWF视频格式"},
    {1501, u"高清的SWF动画视频FLASH动画视频(*.swf)", u"高清的FLASH动画视频预置方案，动画格式为SWF文件"},
    {1502, u"优化的SWF视频格式(*.swf)", u"采用优化方式处理的SWF视频格式"},
    {1503, u"高压缩的SWF视频格式(*.swf)", u"采用高压缩方式处理的SWF视频格式，便于网络传输"},
    {1504, u"FLV在线网络视频(*.flv)", u"在线视频网站常用的视频预置方案如(优酷、酷六、土豆网)"},
    {1505, u"SWF动画视频FLASH动画音频格式(*.swf)", u"最常用的FLASH动画视频预置方案，动画格式为SWF文件(音频格式)"},
    {1506, u"FLV在线网络音频格式(*.flv)", u"在线视频网站常用的视频预置方案如(优酷、酷六、土豆网)(音频格式)"},
    // 10 "AVI视频"
    {1600, u"AVI标准视频(*.avi)", u"最常用的AVI标准视频格式，采用DivX编码"},
    {1601, u"HD高清晰AVI标准视频(*.avi)", u"HD高清晰的AVI标准视频格式，采用H.264编码"},
    {1602, u"网络上常用的AVI视频(*.avi)", u"网络上常用的AVI视频格式，采用XivD编码"},
    {1603, u"电脑上常用的AVI视频(*.avi)", u"电脑上常用的AVI视频格式，采用XivD编码"},
    {1604, u"优化的AVI视频(*.avi)", u"优化的AVI视频格式，采用DivX编码"},
    {1605, u"高压缩的AVI视频(*.avi)", u"高压缩的AVI视频格式，采用XivD编码"},
    {1606, u"高清的HD AVI视频(*.avi)", u"高清的AVI视频格式，采用XivD编码"},
    // 11 "MKV视频"
    {1700, u"MKV标准视频(*.mkv)", u"最常用的标准MKV视频格式"},
    {1701, u"HD高清MKV视频(*.mkv)", u"HD高清晰的MKV标准视频格式，采用H.264编码"},
    {1702, u"网络上常用的MKV视频(*.mkv)", u"网络上常用的MKV视频格式，采用XivD编码"},
    {1703, u"电脑上常用的MKV标准视频(*.mkv)", u"电脑上常用的MKV视频格式，采用XivD编码"},
    {1704, u"优化的MKV视频(*.mkv)", u"优化的MKV视频格式，采用DivX编码"},
    {1705, u"高压缩的MKV视频(*.mkv)", u"高压缩的MKV视频格式，采用XivD编码"},
    {1706, u"高清的HD MKV视频(*.mkv)", u"高清的MKV视频格式，采用XivD编码"},
    // 12 "WMV视频"
    {1800, u"WMV标准视频(*.wmv)", u"最常用的标准WMV视频格式"},
    {1801, u"HD高清WMV视频(*.wmv)", u"HD高清晰的微软WMV视频格式"},
    {1802, u"网络上常用的WMV视频(*.wmv)", u"常用的网络上WMV视频格式，采用压缩算法"},
    {1803, u"电脑上常用的WMV标准视频(*.wmv)", u"质量较高电脑上常用的WMV视频格式"},
    {1804, u"优化的WMV视频(*.wmv)", u"优化的WMV视频格式，速度和质量进行平衡"},
    {1805, u"高压缩的WMV视频(*.wmv)", u"高压缩的WMV视频格式，为您节约大量空间"},
    {1806, u"高清的HD WMV视频(*.wmv)", u"HD高清晰的WMV视频格式"},
    // 13 "Android视频"
    {2000, u"Android手机AVI视频(*.avi)", u"针对Android手机配置的AVI视频格式预置方案"},
    {2001, u"Android手机MPEG-4视频(*.mp4)", u"适用于Android手机的MPEG-4视频格式预置方案"},
    {2002, u"Android平台高清MP4视频(*.mp4)", u"适用于Android平台设备的MP4高清视频预置方案"},
    {2003, u"安卓智能手机专用MP4视频(*.mp4)", u"安卓智能手机专用MP4格式预置方案."},
    {2004, u"H.264高清的MP4视频(*.mp4)", u"采用H.264高清视频编码的MP4视频格式预置方案"},
    {2005, u"各种手机常用的AVI视频DivX(*.avi)", u"采用DivX高清视频编码AVI视频格式预置方案"},
    {2006, u"安卓适用的AVI视频Xvid(*.avi)", u"采用Xvid高清视频编码AVI视频格式预置方案"},
    {2007, u"安卓常用的MOV视频(*.mov)", u"适用于安卓设备的MOV视频格式预置方案"},
    {2008, u"Android常用的WMV视频(*.wmv)", u"为Android手机优化的WMV视频格式预置方案"},
    {2009, u"Android常用的MPEG视频(*.mpg)", u"为智能手机优化的MPEG视频格式预置方案"},
    {2010, u"Android平台的MKV视频(*.mkv)", u"支持Android设备播放的MKV视频格式预置方案"},
    {2011, u"Android平台的FLV视频(*.flv)", u"适用于Android平台播放的FLV视频格式预置方案"},
    // 14 "MTS视频"
    {2200, u"MTS转换为标准AVI视频(*.avi)", u"Sony MTS高清摄像视频格式，转换为标准AVI视频格式"},
    {2201, u"Sony HD高清MTS视频转换为HD高清AVI视频(*.avi)", u"Sony HD高清晰的MTS视频格式，转换为HD高清AVI视频格式，采用H.264编码"},
    {2202, u"Sony AVCHD高清视频格式(*.avi)", u"Sony AVCHD高清视频格式,DivX编码格式"},
    {2203, u"MTS转换为MPEG-2视频格式标准视频(*.mpg)", u"转换为MPEG-2视频格式，质量较高，易于再次编辑"},
    {2204, u"MTS转换为MPG视频格式(*.mpg)", u"MTS转换为MPG视频格式，速度和质量进行平衡，可以用户刻录DVD光盘"},
    {2205, u"MTS转换为MP4视频(*.mp4)", u"MP4视频格式，为您节约大量空间，可以在多种支持MP4视频的移动设备上播放"},
    {2206, u"MTS转换为AVI视频(*.avi)", u"MTS转换为AVI视频，采用最先进的Xvid编码"},
    {2207, u"MTS转换为3GP视频(*.3gp)", u"MTS转换为3gp视频，便于手机上观看"},
    {2208, u"MTS转换为电脑常用WMV视频(*.wmv)", u"MTS转换为WMV视频，常用于电脑上观看"},
    {2209, u"MTS转换为网络在线常用FLV视频(*.flv)", u"MTS转换为常见的FLV视频，便于网络在线视频观看"},
    {2210, u"MTS视频转换为DVD视频(*.mpg)", u"MTS视频转换为DVD视频，可以用于刻录DVD光盘"},
    {2211, u"MTS视频转换为SVCD视频(*.mpg)", u"MTS视频转换为SVCD视频，可以用于刻录SVCD光盘"},
    {2212, u"MTS视频转换为VCD视频(*.mpg)", u"MTS视频转换为VCD视频，可以用于刻录VCD光盘"},
    // 15 "MOV视频"
    {2600, u"标准MOV视频格式(*.mov)", u"MOV视频格式，可以转换为标准的MOV视频格式"},
    {2601, u"高清MOV视频格式(*.mov)", u"MOV视频格式，可以转换为高清晰的MOV视频格式"},
    {2602, u"优化MOV视频格式(*.mov)", u"MOV视频格式， 可以转换为优化的MOV视频格式"},
    {2603, u"高压缩MOV视频格式(*.mov)", u"MOV视频格式，可以转换为高压缩的MOV视频格式"},
    // 16 "AVCHD视频"
    {2800, u"高清AVCHD视频格式(*.avi)", u"AVI视频格式，可以转换为高清AVI视频，采用H.264编码的AVI视频格式"},
    {2801, u"高清AVI视频格式(*.avi)", u"AVI视频格式，可以转换为高清AVI视频，采用DivX编码的AVI视频格式"},
    {2802, u"高清AVI视频格式(*.avi)", u"AVI视频格式，可以转换为高清AVI视频，采用XviD编码的AVI视频格式"},
    {2803, u"高清MP4视频格式(*.mp4)", u"MP4视频格式，可以转换为高清MP4视频，采用H.264编码的MP4视频格式"},
    {2804, u"高清MPEG-4视频格式(*.mp4)", u"MPEG-4视频格式，可以转换为高清MPEG-4视频格式"},
    // 17 "MP3音频"
    {3000, u"高清晰MP3音频格式(*.mp3)", u"MP3音频格式，可以转换高清晰的MP3音频格式"},
    {3001, u"高压缩MP3音频格式(*.mp3)", u"MP3 音频格式，可以转换高压缩的MP3音频格式"},
    {3002, u"优化MP3音频格式(*.mp3)", u"MP3音频格式，可以转换优化的MP3音频格式"},
    {3003, u"标准MP3音频格式(*.mp3)", u"MP3音频格式，可以转换标准的MP3音频格式"},
    // 18 "常用音频"
    {200, u"MP3 - MPEG Layer-3音频格式(*.mp3)", u"最流行的音频格式,具有体积小,音质高的特点,几乎成为网上音乐的代名词"},
    {201, u"WMA - Windows媒体音频格式(*.wma)", u"微软公司推出的与MP3格式齐名的一种新的音频格式"},
    {202, u"WAV - 波形音频格式(*.wav)", u"WAV为微软公司开发的波形声音文件格式"},
    {203, u"AAC - 高级音频格式(*.aac)", u"高级声音数据设计的文件压缩格式,与Mp3类似,苹果公司的ipod,iPhone支持的音频格式"},
    {204, u"M4A - MPEG-4音频格式(*.m4a)", u"M4A是MPEG4音频标准的文件,几乎所有支持MPEG4音频的软件都支持m4a音频"},
    {205, u"OGG - Ogg Vorbis音频格式(*.ogg)", u"OGG是一种常见的格式，在音乐软件、游戏音效、便携播放器、网络浏览器上都得到广泛支持"},
    {206, u"RA - RealAudio音频格式(*.ra)", u"RealNetworks制定的流媒体音频格式,便于网络传输的音频格式"},
    {207, u"AC3 - 杜比数字AC-3音频格式(*.ac3)", u"杜比数字AC-3是杜比公司开发的新一代家庭影院多声道数字音频系统。"},
    {208, u"AIFF - 音频交换文件格式(*.aiff)", u"AIFF是音频交换文件格式是Apple公司开发的声音文件格式,广泛应用于各种专业的音频软件中"},
    {209, u"MP2 - MPEG Layer-2音频格式(*.mp2)", u"MPEG Layer-2音频格式，具有CD级别的音质"},
    {210, u"FLAC-音频格式(*.flac)", u"FLAC是一套著名的无损压缩编码,所以还原CD音乐光盘音质"},
    {211, u"MP4-MP4音频格式(*.m4a)", u"MP4音频格式,具有完美的CD音质"},
    {212, u"AMR-手机音频格式(*.amr)", u"AMR是流行的手机数字音乐文件格式之一"},
};
// clang-format on

} // namespace

std::span<const TProfileCategory> ProfileCategories() {
    return Categories;
}

std::span<const TProfileItem> ProfileItems() {
    return Profiles;
}

std::span<const TProfileItem> ProfilesOfCategory(int CategoryIndex) {
    if (CategoryIndex < 0 || CategoryIndex >= ProfileCategoryCount)
        return {};
    int First = 0;
    for (int I = 0; I < CategoryIndex; ++I)
        First += Categories[I].ProfileCount;
    return std::span<const TProfileItem>(Profiles).subspan(First, Categories[CategoryIndex].ProfileCount);
}

const TProfileItem* FindProfileItem(int ProfileCode) {
    auto It = std::find_if(std::begin(Profiles), std::end(Profiles),
                           [&](const TProfileItem& Item) { return Item.ProfileCode == ProfileCode; });
    return It == std::end(Profiles) ? nullptr : &*It;
}

int ProfileGroupOf(int CategoryIndex) {
    if (CategoryIndex < 0 || CategoryIndex >= ProfileCategoryCount)
        return -1;
    return Categories[CategoryIndex].ProfileGroup;
}

int ProfileCode(int CategoryIndex, int ProfileIndex) {
    int Group = ProfileGroupOf(CategoryIndex);
    return Group < 0 ? -1 : (Group + 1) * 100 + ProfileIndex;
}

int ProfilePositionCode(int CategoryIndex, int ProfileIndex) {
    return (CategoryIndex + 1) * 100 + ProfileIndex;
}

void SplitProfilePositionCode(int PositionCode, int& CategoryIndex, int& ProfileIndex) {
    CategoryIndex = PositionCode / 100 - 1;
    ProfileIndex = PositionCode % 100;
}

String ProfileTitleExtension(std::u16string_view Title) {
    if (Title.size() < 5)
        return {};
    std::u16string_view Four = Title.substr(Title.size() - 5, 4);
    if (Four == u"flac")
        return u".flac";
    if (Four == u"aiff")
        return u".aiff";
    if (Four == u"*.rm")
        return u".rm";
    if (Four == u"*.ra")
        return u".ra";
    return String(Four);
}
