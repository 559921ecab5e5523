#include "app/profiles/AdvancedLists.h"

#include "app/profiles/ProfileCatalogue.h"

namespace {

// The main window's lists, by kind, in fill order of their combo boxes.
constexpr const char16_t* FS01_Items[] = {
    u"保持原分辨率", u"128*96",    u"176*144",   u"240*176",   u"320*240",   u"352*240",   u"352*288",
    u"384*288",      u"480*480",   u"480*576",   u"640*368",   u"640*480",   u"704*480",   u"704*576",
    u"720*480",      u"720*576",   u"800*600",   u"852*480",   u"1024*768",  u"1280*720",  u"1280*1024",
    u"1600*1024",    u"1600*1200", u"1920*1080", u"1920*1200", u"1920*1440", u"2048*1536", u"2560*1600"};
constexpr const char16_t* FS02_Items[] = {u"保持原分辨率", u"1024*768",  u"1280*720",  u"1280*1024",
                                          u"1600*1024",    u"1600*1200", u"1920*1080", u"1920*1200",
                                          u"1920*1440",    u"2048*1536", u"2560*1600"};
constexpr const char16_t* FS03_Items[] = {u"112*96",  u"128*96",  u"160*112", u"160*120", u"176*144", u"192*144",
                                          u"208*176", u"220*176", u"320*208", u"320*224", u"320*240"};
constexpr const char16_t* FS04_Items[] = {u"保持原分辨率", u"128*96",    u"176*144",   u"160*120",   u"320*240",
                                          u"352*288",      u"368*208",   u"480*320",   u"480*368",   u"512*384",
                                          u"640*272",      u"640*353",   u"640*480",   u"704*480",   u"704*576",
                                          u"720*480",      u"720*576",   u"800*600",   u"852*480",   u"1024*768",
                                          u"1280*720",     u"1280*1024", u"1600*1024", u"1600*1200", u"1920*1080"};
constexpr const char16_t* FS05_Items[] = {u"128*96",  u"176*144", u"160*120", u"320*240", u"352*288",
                                          u"368*208", u"480*320", u"480*368", u"512*384", u"640*272",
                                          u"640*353", u"640*480", u"720*406"};
constexpr const char16_t* FS06_Items[] = {
    u"128*96",  u"176*144",  u"160*120",  u"320*240",   u"352*288",   u"368*208",   u"480*320",  u"480*368", u"512*384",
    u"640*272", u"640*353",  u"640*480",  u"720*406",   u"704*480",   u"704*576",   u"720*480",  u"720*576", u"800*600",
    u"852*480", u"1024*768", u"1280*720", u"1280*1024", u"1600*1024", u"1600*1200", u"1920*1080"};
constexpr const char16_t* FS07_Items[] = {
    u"保持原分辨率", u"128*96",    u"176*144",   u"240*176",   u"320*240",   u"352*240",  u"352*288",
    u"384*288",      u"480*480",   u"480*576",   u"640*368",   u"640*480",   u"704*480",  u"704*576",
    u"720*480",      u"720*576",   u"800*600",   u"852*480",   u"1024*768",  u"1280*720", u"1280*1024",
    u"1600*1024",    u"1600*1200", u"1920*1080", u"1920*1200", u"2048*1536", u"2560*1600"};
constexpr const char16_t* FS08_Items[] = {u"128*96",  u"176*144", u"160*120", u"320*240",  u"352*288",   u"368*208",
                                          u"480*272", u"640*480", u"704*576", u"1280*720", u"1440*1080", u"1920*1080"};
constexpr const char16_t* FS09_Items[] = {u"保持原分辨率", u"640*480",   u"720*480",   u"720*576",   u"960*540",
                                          u"1024*768",     u"1280*720",  u"1280*1024", u"1600*1024", u"1600*1200",
                                          u"1920*1080",    u"1920*1200", u"2048*1536", u"2560*1600"};
constexpr const char16_t* FS10_Items[] = {u"保持原分辨率", u"640*480",   u"704*480",   u"704*576",   u"720*480",
                                          u"720*576",      u"800*600",   u"852*480",   u"1024*768",  u"1280*720",
                                          u"1280*1024",    u"1600*1024", u"1600*1200", u"1920*1080", u"1920*1200",
                                          u"2048*1536",    u"2560*1600"};
constexpr const char16_t* FS11_Items[] = {
    u"保持原分辨率", u"128*96",    u"176*144",   u"160*120",   u"320*240",   u"352*288",  u"368*208",
    u"480*320",      u"480*368",   u"512*384",   u"640*272",   u"640*353",   u"640*480",  u"704*480",
    u"704*576",      u"720*480",   u"720*576",   u"800*600",   u"852*480",   u"1024*768", u"1280*720",
    u"1280*1024",    u"1600*1024", u"1600*1200", u"1920*1080", u"2048*1536", u"2560*1600"};
constexpr const char16_t* FS12_Items[] = {
    u"保持原分辨率", u"128*96",    u"176*144",   u"240*176",   u"320*240",   u"352*240",   u"352*288",
    u"384*288",      u"480*480",   u"480*576",   u"640*368",   u"640*480",   u"704*480",   u"704*576",
    u"720*480",      u"720*576",   u"800*600",   u"852*480",   u"1024*768",  u"1280*720",  u"1280*1024",
    u"1600*1024",    u"1600*1200", u"1920*1080", u"1920*1200", u"1920*1200", u"2048*1536", u"2560*1600"};
constexpr const char16_t* FS13_Items[] = {u"该格式无视频"};
constexpr const char16_t* FS14_Items[] = {u"保持原分辨率", u"128*96",  u"176*144", u"240*176", u"320*240",
                                          u"352*240",      u"352*288", u"384*288", u"480*480", u"480*576",
                                          u"640*368",      u"640*480", u"704*480", u"704*576", u"720*480",
                                          u"720*576",      u"800*600", u"852*480", u"1024*768"};
constexpr const char16_t* VB01_Items[] = {u"128 kbps",  u"288 kbps",  u"528 kbps",  u"816 kbps",
                                          u"1200 kbps", u"1600 kbps", u"1800 kbps", u"2000 kbps"};
constexpr const char16_t* VB02_Items[] = {u"816 kbps",  u"1000 kbps", u"1200 kbps", u"1600 kbps", u"1800 kbps",
                                          u"2000 kbps", u"2500 kbps", u"3000 kbps", u"4000 kbps"};
constexpr const char16_t* VB03_Items[] = {u"816 kbps",  u"1200 kbps", u"1600 kbps", u"1800 kbps",
                                          u"2000 kbps", u"2500 kbps", u"3000 kbps", u"4000 kbps"};
constexpr const char16_t* VB04_Items[] = {u"528 kbps",  u"768 kbps",  u"816 kbps",  u"1200 kbps", u"1600 kbps",
                                          u"1800 kbps", u"2000 kbps", u"2500 kbps", u"3000 kbps", u"4000 kbps"};
constexpr const char16_t* VB05_Items[] = {u"128 kbps",  u"288 kbps",  u"528 kbps",  u"816 kbps", u"1000 kbps",
                                          u"1200 kbps", u"1600 kbps", u"1800 kbps", u"2000 kbps"};
constexpr const char16_t* VB06_Items[] = {u"128 kbps",  u"288 kbps",  u"528 kbps",  u"768 kbps", u"816 kbps",
                                          u"1200 kbps", u"1600 kbps", u"1800 kbps", u"2000 kbps"};
constexpr const char16_t* VB07_Items[] = {u"128 kbps",  u"288 kbps",  u"528 kbps",  u"600 kbps", u"816 kbps",
                                          u"1200 kbps", u"1600 kbps", u"1800 kbps", u"2000 kbps"};
constexpr const char16_t* VB08_Items[] = {u"8 kbps",   u"16 kbps",  u"24 kbps",  u"32 kbps",  u"48 kbps",
                                          u"56 kbps",  u"64 kbps",  u"80 kbps",  u"96 kbps",  u"128 kbps",
                                          u"160 kbps", u"192 kbps", u"256 kbps", u"320 kbps", u"384 kbps"};
constexpr const char16_t* VB09_Items[] = {u"192 kbps",  u"384 kbps",  u"600 kbps",  u"768 kbps", u"1000 kbps",
                                          u"1200 kbps", u"1500 kbps", u"1800 kbps", u"2000 kbps"};
constexpr const char16_t* VB10_Items[] = {u"192 kbps",  u"384 kbps",  u"600 kbps",  u"768 kbps",
                                          u"1000 kbps", u"1200 kbps", u"1500 kbps", u"1800 kbps",
                                          u"2000 kbps", u"2500 kbps", u"3000 kbps"};
constexpr const char16_t* VB11_Items[] = {u"128 kbps",  u"288 kbps",  u"528 kbps",  u"768 kbps",
                                          u"816 kbps",  u"1000 kbps", u"1200 kbps", u"1600 kbps",
                                          u"1800 kbps", u"2000 kbps", u"2500 kbps", u"3000 kbps"};
constexpr const char16_t* VB12_Items[] = {u"128 kbps",  u"288 kbps",  u"528 kbps",  u"816 kbps",
                                          u"1000 kbps", u"1200 kbps", u"1600 kbps", u"1800 kbps",
                                          u"2000 kbps", u"2500 kbps", u"3000 kbps", u"4000 kbps"};
constexpr const char16_t* VB13_Items[] = {u"128 kbps",  u"288 kbps",  u"528 kbps",  u"816 kbps",
                                          u"1000 kbps", u"1200 kbps", u"1600 kbps", u"1800 kbps",
                                          u"2000 kbps", u"2500 kbps", u"3000 kbps", u"3500 kbps"};
constexpr const char16_t* VB14_Items[] = {u"192 kbps",  u"384 kbps",  u"600 kbps",  u"768 kbps",
                                          u"1000 kbps", u"1200 kbps", u"1500 kbps", u"1800 kbps",
                                          u"2000 kbps", u"2500 kbps", u"3000 kbps", u"4000 kbps"};
constexpr const char16_t* VB15_Items[] = {u"192 kbps",  u"384 kbps",  u"600 kbps",  u"768 kbps",
                                          u"1000 kbps", u"1200 kbps", u"1500 kbps", u"1800 kbps",
                                          u"2000 kbps", u"2500 kbps", u"3000 kbps", u"3500 kbps"};
constexpr const char16_t* VB16_Items[] = {u"128 kbps",  u"288 kbps",  u"528 kbps",  u"768 kbps",
                                          u"816 kbps",  u"1200 kbps", u"1600 kbps", u"1800 kbps",
                                          u"2000 kbps", u"2500 kbps", u"3000 kbps", u"3500 kbps"};
constexpr const char16_t* VB17_Items[] = {u"128 kbps",  u"288 kbps",  u"528 kbps",  u"768 kbps",  u"816 kbps",
                                          u"1000 kbps", u"1200 kbps", u"1600 kbps", u"1800 kbps", u"2000 kbps",
                                          u"2500 kbps", u"3000 kbps", u"3500 kbps"};
constexpr const char16_t* VB18_Items[] = {u"128 kbps",  u"288 kbps",  u"528 kbps",  u"816 kbps", u"1200 kbps",
                                          u"1600 kbps", u"1800 kbps", u"2000 kbps", u"2500 kbps"};
constexpr const char16_t* VB19_Items[] = {u"128 kbps",  u"288 kbps",  u"528 kbps",  u"600 kbps",
                                          u"816 kbps",  u"1200 kbps", u"1600 kbps", u"1800 kbps",
                                          u"2000 kbps", u"2500 kbps", u"3000 kbps"};
constexpr const char16_t* VB20_Items[] = {u"无视频"};
constexpr const char16_t* VB21_Items[] = {u"128 kbps",  u"288 kbps",  u"528 kbps",  u"600 kbps",  u"768 kbps",
                                          u"816 kbps",  u"900 kbps",  u"1000 kbps", u"1200 kbps", u"1600 kbps",
                                          u"1800 kbps", u"2000 kbps", u"2500 kbps", u"3000 kbps", u"3500 kbps"};
constexpr const char16_t* FR01_Items[] = {u"保持原帧速率", u"10.00", u"13.00", u"15.00", u"18.00", u"20.00",
                                          u"23.00",        u"23.97", u"24.00", u"25.00", u"29.97", u"30.00"};
constexpr const char16_t* FR02_Items[] = {u"保持原帧速率", u"25.00", u"29.97", u"30.00"};
constexpr const char16_t* FR03_Items[] = {u"1", u"2", u"3", u"5", u"10", u"12", u"15"};
constexpr const char16_t* FR04_Items[] = {u"保持原帧速率", u"10.00", u"12.00", u"15.00", u"20.00",
                                          u"23.98",        u"24.00", u"25.00", u"29.97", u"30.00"};
constexpr const char16_t* FR05_Items[] = {u"保持原帧速率", u"23.98", u"24.00", u"25.00", u"29.97", u"30.00"};
constexpr const char16_t* FR06_Items[] = {u"无视频"};
constexpr const char16_t* AB01_Items[] = {u"16 kbps",  u"24 kbps",  u"32 kbps",  u"40 kbps",  u"48 kbps",  u"56 kbps",
                                          u"64 kbps",  u"80 kbps",  u"96 kbps",  u"112 kbps", u"128 kbps", u"144 kbps",
                                          u"160 kbps", u"192 kbps", u"224 kbps", u"256 kbps", u"320 kbps"};
constexpr const char16_t* AB02_Items[] = {u"5 kbps", u"6 kbps", u"7 kbps", u"8 kbps", u"10 kbps", u"12 kbps"};
constexpr const char16_t* AB03_Items[] = {u"64 kbps", u"96 kbps", u"128 kbps", u"160 kbps", u"192 kbps"};
constexpr const char16_t* AB04_Items[] = {u"48 kbps", u"56 kbps",  u"64 kbps",  u"80 kbps",
                                          u"96 kbps", u"112 kbps", u"116 kbps", u"128 kbps"};
constexpr const char16_t* AB05_Items[] = {u"4.75 kbps", u"5.15 kbps", u"5.9 kbps",  u"6.7 kbps",
                                          u"7.4 kbps",  u"7.95 kbps", u"10.2 kbps", u"12.2 kbps"};
constexpr const char16_t* SR01_Items[] = {u"11025", u"16000", u"22050", u"32000", u"44100", u"48000"};
constexpr const char16_t* SR02_Items[] = {u"8000"};
constexpr const char16_t* SR03_Items[] = {u"22050", u"32000", u"44100", u"48000"};
constexpr const char16_t* SR04_Items[] = {u"22050", u"24000", u"32000", u"44100", u"48000"};
constexpr const char16_t* SR05_Items[] = {u"11025", u"22050", u"44100"};
constexpr const char16_t* SR06_Items[] = {u"8000", u"11025", u"16000", u"22050", u"32000", u"44100", u"48000"};
constexpr const char16_t* SC01_Items[] = {u"保持原视频模式", u"普通视频4:3模式", u"宽屏视频16:9模式",
                                          u"宽屏视频37:20模式", u"宽屏视频47:20模式"};
constexpr const char16_t* SC02_Items[] = {u"保持原视频模式", u"普通视频4:3模式"};
constexpr const char16_t* SC03_Items[] = {u"无视频"};

constexpr TAdvancedValueList FS01 = {u"FS01", akFrameSize, FS01_Items};
constexpr TAdvancedValueList FS02 = {u"FS02", akFrameSize, FS02_Items};
constexpr TAdvancedValueList FS03 = {u"FS03", akFrameSize, FS03_Items};
constexpr TAdvancedValueList FS04 = {u"FS04", akFrameSize, FS04_Items};
constexpr TAdvancedValueList FS05 = {u"FS05", akFrameSize, FS05_Items};
constexpr TAdvancedValueList FS06 = {u"FS06", akFrameSize, FS06_Items};
constexpr TAdvancedValueList FS07 = {u"FS07", akFrameSize, FS07_Items};
constexpr TAdvancedValueList FS08 = {u"FS08", akFrameSize, FS08_Items};
constexpr TAdvancedValueList FS09 = {u"FS09", akFrameSize, FS09_Items};
constexpr TAdvancedValueList FS10 = {u"FS10", akFrameSize, FS10_Items};
constexpr TAdvancedValueList FS11 = {u"FS11", akFrameSize, FS11_Items};
constexpr TAdvancedValueList FS12 = {u"FS12", akFrameSize, FS12_Items};
constexpr TAdvancedValueList FS13 = {u"FS13", akFrameSize, FS13_Items};
constexpr TAdvancedValueList FS14 = {u"FS14", akFrameSize, FS14_Items};
constexpr TAdvancedValueList VB01 = {u"VB01", akVideoBitrate, VB01_Items};
constexpr TAdvancedValueList VB02 = {u"VB02", akVideoBitrate, VB02_Items};
constexpr TAdvancedValueList VB03 = {u"VB03", akVideoBitrate, VB03_Items};
constexpr TAdvancedValueList VB04 = {u"VB04", akVideoBitrate, VB04_Items};
constexpr TAdvancedValueList VB05 = {u"VB05", akVideoBitrate, VB05_Items};
constexpr TAdvancedValueList VB06 = {u"VB06", akVideoBitrate, VB06_Items};
constexpr TAdvancedValueList VB07 = {u"VB07", akVideoBitrate, VB07_Items};
constexpr TAdvancedValueList VB08 = {u"VB08", akVideoBitrate, VB08_Items};
constexpr TAdvancedValueList VB09 = {u"VB09", akVideoBitrate, VB09_Items};
constexpr TAdvancedValueList VB10 = {u"VB10", akVideoBitrate, VB10_Items};
constexpr TAdvancedValueList VB11 = {u"VB11", akVideoBitrate, VB11_Items};
constexpr TAdvancedValueList VB12 = {u"VB12", akVideoBitrate, VB12_Items};
constexpr TAdvancedValueList VB13 = {u"VB13", akVideoBitrate, VB13_Items};
constexpr TAdvancedValueList VB14 = {u"VB14", akVideoBitrate, VB14_Items};
constexpr TAdvancedValueList VB15 = {u"VB15", akVideoBitrate, VB15_Items};
constexpr TAdvancedValueList VB16 = {u"VB16", akVideoBitrate, VB16_Items};
constexpr TAdvancedValueList VB17 = {u"VB17", akVideoBitrate, VB17_Items};
constexpr TAdvancedValueList VB18 = {u"VB18", akVideoBitrate, VB18_Items};
constexpr TAdvancedValueList VB19 = {u"VB19", akVideoBitrate, VB19_Items};
constexpr TAdvancedValueList VB20 = {u"VB20", akVideoBitrate, VB20_Items};
constexpr TAdvancedValueList VB21 = {u"VB21", akVideoBitrate, VB21_Items};
constexpr TAdvancedValueList FR01 = {u"FR01", akFrameRate, FR01_Items};
constexpr TAdvancedValueList FR02 = {u"FR02", akFrameRate, FR02_Items};
constexpr TAdvancedValueList FR03 = {u"FR03", akFrameRate, FR03_Items};
constexpr TAdvancedValueList FR04 = {u"FR04", akFrameRate, FR04_Items};
constexpr TAdvancedValueList FR05 = {u"FR05", akFrameRate, FR05_Items};
constexpr TAdvancedValueList FR06 = {u"FR06", akFrameRate, FR06_Items};
constexpr TAdvancedValueList AB01 = {u"AB01", akAudioBitrate, AB01_Items};
constexpr TAdvancedValueList AB02 = {u"AB02", akAudioBitrate, AB02_Items};
constexpr TAdvancedValueList AB03 = {u"AB03", akAudioBitrate, AB03_Items};
constexpr TAdvancedValueList AB04 = {u"AB04", akAudioBitrate, AB04_Items};
constexpr TAdvancedValueList AB05 = {u"AB05", akAudioBitrate, AB05_Items};
constexpr TAdvancedValueList SR01 = {u"SR01", akSampleRate, SR01_Items};
constexpr TAdvancedValueList SR02 = {u"SR02", akSampleRate, SR02_Items};
constexpr TAdvancedValueList SR03 = {u"SR03", akSampleRate, SR03_Items};
constexpr TAdvancedValueList SR04 = {u"SR04", akSampleRate, SR04_Items};
constexpr TAdvancedValueList SR05 = {u"SR05", akSampleRate, SR05_Items};
constexpr TAdvancedValueList SR06 = {u"SR06", akSampleRate, SR06_Items};
constexpr TAdvancedValueList SC01 = {u"SC01", akAspectMode, SC01_Items};
constexpr TAdvancedValueList SC02 = {u"SC02", akAspectMode, SC02_Items};
constexpr TAdvancedValueList SC03 = {u"SC03", akAspectMode, SC03_Items};

constexpr const TAdvancedValueList* MainLists[] = {
    &FS01, &FS02, &FS03, &FS04, &FS05, &FS06, &FS07, &FS08, &FS09, &FS10, &FS11, &FS12, &FS13, &FS14,
    &VB01, &VB02, &VB03, &VB04, &VB05, &VB06, &VB07, &VB08, &VB09, &VB10, &VB11, &VB12, &VB13, &VB14,
    &VB15, &VB16, &VB17, &VB18, &VB19, &VB20, &VB21, &FR01, &FR02, &FR03, &FR04, &FR05, &FR06, &AB01,
    &AB02, &AB03, &AB04, &AB05, &SR01, &SR02, &SR03, &SR04, &SR05, &SR06, &SC01, &SC02, &SC03,
};

// The settings dialog's lists.
constexpr const char16_t* SIZE1_Items[] = {
    u"保持原分辨率", u"128*96",    u"176*144",   u"240*176",   u"320*240",   u"352*240",   u"352*288",
    u"384*288",      u"480*480",   u"480*576",   u"640*368",   u"640*480",   u"704*480",   u"704*576",
    u"720*480",      u"720*576",   u"800*600",   u"852*480",   u"1024*768",  u"1280*720",  u"1280*1024",
    u"1600*1024",    u"1600*1200", u"1920*1080", u"1920*1200", u"1920*1440", u"2048*1536", u"2560*1600"};
constexpr const char16_t* SIZE2_Items[] = {u"112*96",  u"128*96",  u"160*112", u"160*120", u"176*144", u"192*144",
                                           u"208*176", u"220*176", u"320*208", u"320*224", u"320*240"};
constexpr const char16_t* SIZE3_Items[] = {u"该格式无视频"};
constexpr const char16_t* SIZE4_Items[] = {u"保持原分辨率", u"1024*768",  u"1280*720",  u"1280*1024",
                                           u"1600*1024",    u"1600*1200", u"1920*1080", u"1920*1200",
                                           u"1920*1440",    u"2048*1536", u"2560*1600"};
constexpr const char16_t* SIZE5_Items[] = {u"128*96",  u"176*144", u"160*120", u"320*240",
                                           u"352*288", u"368*208", u"640*480"};
constexpr const char16_t* SIZE6_Items[] = {u"128*96",  u"176*144", u"160*120", u"320*240", u"352*288", u"368*208",
                                           u"480*320", u"480*368", u"512*384", u"640*272", u"640*353", u"640*480"};
constexpr const char16_t* SIZE7_Items[] = {u"128*96",  u"176*144", u"160*120", u"320*240", u"352*288",
                                           u"368*208", u"480*320", u"480*368", u"512*384", u"640*272",
                                           u"640*353", u"640*480", u"720*406"};
constexpr const char16_t* SIZE8_Items[] = {u"320*240", u"368*208", u"480*272", u"640*480", u"720*480"};
constexpr const char16_t* SIZE9_Items[] = {u"112*96",  u"128*96",  u"160*112", u"160*120", u"176*144",
                                           u"192*144", u"208*176", u"220*176", u"320*208", u"320*224",
                                           u"320*240", u"352*288", u"480*360"};
constexpr const char16_t* SIZE10_Items[] = {u"128*96",  u"176*144", u"160*120", u"320*240",
                                            u"352*288", u"368*208", u"640*480", u"1280*720"};
constexpr const char16_t* SIZE11_Items[] = {u"128*96",  u"176*144", u"160*120", u"320*240", u"352*288",
                                            u"368*208", u"480*272", u"640*480", u"704*576"};
constexpr const char16_t* SIZE12_Items[] = {u"1280*720", u"1440*1080", u"1920*1080"};
constexpr const char16_t* SIZE13_Items[] = {
    u"640*480",   u"704*576",   u"720*480",   u"720*576",   u"800*600",   u"852*480",   u"1024*768",  u"1280*720",
    u"1280*1024", u"1600*1024", u"1600*1200", u"1920*1080", u"1920*1200", u"1920*1440", u"2048*1536", u"2560*1600"};
constexpr const char16_t* SIZE14_Items[] = {u"704*576", u"1280*720", u"1440*1080", u"1920*1080"};
constexpr const char16_t* SIZE15_Items[] = {u"128*96",  u"176*144", u"160*120",  u"320*240",   u"352*288",  u"368*208",
                                            u"640*480", u"704*576", u"1280*720", u"1440*1080", u"1920*1080"};
constexpr const char16_t* SIZE16_Items[] = {u"128*96",  u"176*144",  u"160*120",   u"320*240",
                                            u"352*288", u"368*208",  u"480*272",   u"640*480",
                                            u"704*576", u"1280*720", u"1440*1080", u"1920*1080"};
constexpr const char16_t* SIZE17_Items[] = {u"160*120", u"320*240", u"480*272", u"640*480", u"720*480"};
constexpr const char16_t* SIZE18_Items[] = {u"320*240", u"640*480"};
constexpr const char16_t* SIZE19_Items[] = {u"保持原分辨率", u"128*96",  u"176*144", u"240*176", u"320*240",
                                            u"352*240",      u"352*288", u"384*288", u"480*480", u"480*576",
                                            u"640*368",      u"640*480", u"704*480", u"704*576", u"720*480",
                                            u"720*576",      u"800*600", u"852*480", u"1024*768"};
constexpr const char16_t* VRATE1_Items[] = {u"128 kbps",  u"288 kbps",  u"528 kbps",  u"816 kbps",
                                            u"1200 kbps", u"1600 kbps", u"1800 kbps", u"2000 kbps"};
constexpr const char16_t* VRATE2_Items[] = {u"128 kbps",  u"288 kbps",  u"528 kbps",  u"768 kbps", u"816 kbps",
                                            u"1200 kbps", u"1600 kbps", u"1800 kbps", u"2000 kbps"};
constexpr const char16_t* VRATE3_Items[] = {u"128 kbps",  u"288 kbps",  u"528 kbps",  u"816 kbps", u"1000 kbps",
                                            u"1200 kbps", u"1600 kbps", u"1800 kbps", u"2000 kbps"};
constexpr const char16_t* VRATE4_Items[] = {u"8 kbps",   u"16 kbps",  u"24 kbps",  u"32 kbps",  u"48 kbps",
                                            u"56 kbps",  u"64 kbps",  u"80 kbps",  u"96 kbps",  u"128 kbps",
                                            u"160 kbps", u"192 kbps", u"256 kbps", u"320 kbps", u"384 kbps"};
constexpr const char16_t* VRATE5_Items[] = {u"128 kbps",  u"288 kbps",  u"528 kbps",  u"600 kbps", u"816 kbps",
                                            u"1200 kbps", u"1600 kbps", u"1800 kbps", u"2000 kbps"};
constexpr const char16_t* VRATE6_Items[] = {u"无视频"};
constexpr const char16_t* VRATE7_Items[] = {u"816 kbps",  u"1200 kbps", u"1600 kbps", u"1800 kbps",
                                            u"2000 kbps", u"2500 kbps", u"3000 kbps", u"4000 kbps"};
constexpr const char16_t* VRATE8_Items[] = {u"192 kbps",  u"384 kbps",  u"600 kbps",  u"768 kbps", u"1000 kbps",
                                            u"1200 kbps", u"1500 kbps", u"1800 kbps", u"2000 kbps"};
constexpr const char16_t* VRATE9_Items[] = {u"216 kbps",  u"384 kbps",  u"512 kbps", u"768 kbps",
                                            u"1000 kbps", u"1200 kbps", u"1500 kbps"};
constexpr const char16_t* VRATE10_Items[] = {
    u"8 kbps",   u"16 kbps",  u"24 kbps",  u"32 kbps",  u"48 kbps",  u"56 kbps",  u"64 kbps",  u"80 kbps", u"96 kbps",
    u"128 kbps", u"160 kbps", u"192 kbps", u"256 kbps", u"320 kbps", u"384 kbps", u"512 kbps", u"600 kbps"};
constexpr const char16_t* FPS1_Items[] = {u"保持原帧速率", u"10.00", u"13.00", u"15.00", u"18.00", u"20.00",
                                          u"23.00",        u"23.97", u"24.00", u"25.00", u"29.97", u"30.00"};
constexpr const char16_t* FPS2_Items[] = {u"1", u"2", u"3", u"5", u"10", u"12", u"15"};
constexpr const char16_t* FPS3_Items[] = {u"无视频"};
constexpr const char16_t* FPS4_Items[] = {u"保持原帧速率", u"25.00", u"29.97", u"30.00"};
constexpr const char16_t* FPS5_Items[] = {u"保持原帧速率", u"10.00", u"12.00", u"15.00", u"20.00",
                                          u"23.98",        u"24.00", u"25.00", u"29.97", u"30.00"};
constexpr const char16_t* FPS6_Items[] = {u"15.00", u"23.98", u"29.97"};
constexpr const char16_t* FPS7_Items[] = {u"1", u"2", u"3", u"5", u"10", u"12", u"15", u"25"};
constexpr const char16_t* ARATE1_Items[] = {
    u"16 kbps",  u"24 kbps",  u"32 kbps",  u"40 kbps",  u"48 kbps",  u"56 kbps",  u"64 kbps",  u"80 kbps", u"96 kbps",
    u"112 kbps", u"128 kbps", u"144 kbps", u"160 kbps", u"192 kbps", u"224 kbps", u"256 kbps", u"320 kbps"};
constexpr const char16_t* ARATE2_Items[] = {u"5 kbps", u"6 kbps", u"7 kbps", u"8 kbps", u"10 kbps", u"12 kbps"};
constexpr const char16_t* ARATE3_Items[] = {u"4.75 kbps", u"5.15 kbps", u"5.9 kbps",  u"6.7 kbps",
                                            u"7.4 kbps",  u"7.95 kbps", u"10.2 kbps", u"12.2 kbps"};
constexpr const char16_t* ARATE4_Items[] = {u"64 kbps", u"96 kbps", u"128 kbps", u"160 kbps", u"192 kbps"};
constexpr const char16_t* ARATE5_Items[] = {u"48 kbps", u"56 kbps",  u"64 kbps",  u"80 kbps",
                                            u"96 kbps", u"112 kbps", u"116 kbps", u"128 kbps"};
constexpr const char16_t* ARATE6_Items[] = {u"32 kbps", u"48 kbps",  u"56 kbps",  u"64 kbps", u"80 kbps",
                                            u"96 kbps", u"112 kbps", u"116 kbps", u"128 kbps"};
constexpr const char16_t* HZ1_Items[] = {u"11025", u"16000", u"22050", u"32000", u"44100", u"48000"};
constexpr const char16_t* HZ2_Items[] = {u"8000"};
constexpr const char16_t* HZ3_Items[] = {u"22050", u"32000", u"44100", u"48000"};
constexpr const char16_t* HZ4_Items[] = {u"8000", u"11025", u"16000", u"22050", u"32000", u"44100", u"48000"};
constexpr const char16_t* HZ5_Items[] = {u"11025", u"22050", u"44100"};
constexpr const char16_t* ASPECT1_Items[] = {u"保持原视频模式", u"普通视频4:3模式", u"宽屏视频16:9模式",
                                             u"宽屏视频37:20模式", u"宽屏视频47:20模式"};
constexpr const char16_t* ASPECT2_Items[] = {u"保持原视频模式", u"普通视频4:3模式"};
constexpr const char16_t* ASPECT3_Items[] = {u"无视频"};

constexpr TAdvancedValueList SIZE1 = {u"SIZE1", akFrameSize, SIZE1_Items};
constexpr TAdvancedValueList SIZE2 = {u"SIZE2", akFrameSize, SIZE2_Items};
constexpr TAdvancedValueList SIZE3 = {u"SIZE3", akFrameSize, SIZE3_Items};
constexpr TAdvancedValueList SIZE4 = {u"SIZE4", akFrameSize, SIZE4_Items};
constexpr TAdvancedValueList SIZE5 = {u"SIZE5", akFrameSize, SIZE5_Items};
constexpr TAdvancedValueList SIZE6 = {u"SIZE6", akFrameSize, SIZE6_Items};
constexpr TAdvancedValueList SIZE7 = {u"SIZE7", akFrameSize, SIZE7_Items};
constexpr TAdvancedValueList SIZE8 = {u"SIZE8", akFrameSize, SIZE8_Items};
constexpr TAdvancedValueList SIZE9 = {u"SIZE9", akFrameSize, SIZE9_Items};
constexpr TAdvancedValueList SIZE10 = {u"SIZE10", akFrameSize, SIZE10_Items};
constexpr TAdvancedValueList SIZE11 = {u"SIZE11", akFrameSize, SIZE11_Items};
constexpr TAdvancedValueList SIZE12 = {u"SIZE12", akFrameSize, SIZE12_Items};
constexpr TAdvancedValueList SIZE13 = {u"SIZE13", akFrameSize, SIZE13_Items};
constexpr TAdvancedValueList SIZE14 = {u"SIZE14", akFrameSize, SIZE14_Items};
constexpr TAdvancedValueList SIZE15 = {u"SIZE15", akFrameSize, SIZE15_Items};
constexpr TAdvancedValueList SIZE16 = {u"SIZE16", akFrameSize, SIZE16_Items};
constexpr TAdvancedValueList SIZE17 = {u"SIZE17", akFrameSize, SIZE17_Items};
constexpr TAdvancedValueList SIZE18 = {u"SIZE18", akFrameSize, SIZE18_Items};
constexpr TAdvancedValueList SIZE19 = {u"SIZE19", akFrameSize, SIZE19_Items};
constexpr TAdvancedValueList VRATE1 = {u"VRATE1", akVideoBitrate, VRATE1_Items};
constexpr TAdvancedValueList VRATE2 = {u"VRATE2", akVideoBitrate, VRATE2_Items};
constexpr TAdvancedValueList VRATE3 = {u"VRATE3", akVideoBitrate, VRATE3_Items};
constexpr TAdvancedValueList VRATE4 = {u"VRATE4", akVideoBitrate, VRATE4_Items};
constexpr TAdvancedValueList VRATE5 = {u"VRATE5", akVideoBitrate, VRATE5_Items};
constexpr TAdvancedValueList VRATE6 = {u"VRATE6", akVideoBitrate, VRATE6_Items};
constexpr TAdvancedValueList VRATE7 = {u"VRATE7", akVideoBitrate, VRATE7_Items};
constexpr TAdvancedValueList VRATE8 = {u"VRATE8", akVideoBitrate, VRATE8_Items};
constexpr TAdvancedValueList VRATE9 = {u"VRATE9", akVideoBitrate, VRATE9_Items};
constexpr TAdvancedValueList VRATE10 = {u"VRATE10", akVideoBitrate, VRATE10_Items};
constexpr TAdvancedValueList FPS1 = {u"FPS1", akFrameRate, FPS1_Items};
constexpr TAdvancedValueList FPS2 = {u"FPS2", akFrameRate, FPS2_Items};
constexpr TAdvancedValueList FPS3 = {u"FPS3", akFrameRate, FPS3_Items};
constexpr TAdvancedValueList FPS4 = {u"FPS4", akFrameRate, FPS4_Items};
constexpr TAdvancedValueList FPS5 = {u"FPS5", akFrameRate, FPS5_Items};
constexpr TAdvancedValueList FPS6 = {u"FPS6", akFrameRate, FPS6_Items};
constexpr TAdvancedValueList FPS7 = {u"FPS7", akFrameRate, FPS7_Items};
constexpr TAdvancedValueList ARATE1 = {u"ARATE1", akAudioBitrate, ARATE1_Items};
constexpr TAdvancedValueList ARATE2 = {u"ARATE2", akAudioBitrate, ARATE2_Items};
constexpr TAdvancedValueList ARATE3 = {u"ARATE3", akAudioBitrate, ARATE3_Items};
constexpr TAdvancedValueList ARATE4 = {u"ARATE4", akAudioBitrate, ARATE4_Items};
constexpr TAdvancedValueList ARATE5 = {u"ARATE5", akAudioBitrate, ARATE5_Items};
constexpr TAdvancedValueList ARATE6 = {u"ARATE6", akAudioBitrate, ARATE6_Items};
constexpr TAdvancedValueList HZ1 = {u"HZ1", akSampleRate, HZ1_Items};
constexpr TAdvancedValueList HZ2 = {u"HZ2", akSampleRate, HZ2_Items};
constexpr TAdvancedValueList HZ3 = {u"HZ3", akSampleRate, HZ3_Items};
constexpr TAdvancedValueList HZ4 = {u"HZ4", akSampleRate, HZ4_Items};
constexpr TAdvancedValueList HZ5 = {u"HZ5", akSampleRate, HZ5_Items};
constexpr TAdvancedValueList ASPECT1 = {u"ASPECT1", akAspectMode, ASPECT1_Items};
constexpr TAdvancedValueList ASPECT2 = {u"ASPECT2", akAspectMode, ASPECT2_Items};
constexpr TAdvancedValueList ASPECT3 = {u"ASPECT3", akAspectMode, ASPECT3_Items};

constexpr const TAdvancedValueList* SettingsLists[] = {
    &SIZE1,  &SIZE2,  &SIZE3,  &SIZE4,  &SIZE5,  &SIZE6,  &SIZE7,  &SIZE8,   &SIZE9,   &SIZE10,
    &SIZE11, &SIZE12, &SIZE13, &SIZE14, &SIZE15, &SIZE16, &SIZE17, &SIZE18,  &SIZE19,  &VRATE1,
    &VRATE2, &VRATE3, &VRATE4, &VRATE5, &VRATE6, &VRATE7, &VRATE8, &VRATE9,  &VRATE10, &FPS1,
    &FPS2,   &FPS3,   &FPS4,   &FPS5,   &FPS6,   &FPS7,   &ARATE1, &ARATE2,  &ARATE3,  &ARATE4,
    &ARATE5, &ARATE6, &HZ1,    &HZ2,    &HZ3,    &HZ4,    &HZ5,    &ASPECT1, &ASPECT2, &ASPECT3,
};

// Per profile code: frame size, video bitrate, frame rate, audio bitrate, sample rate, aspect mode, audio-only.
constexpr TAdvancedComboRow MainRows[] = {
    {2500, 2500, 0, {{&FS01, 4}, {&VB01, 2}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2501, 2501, 0, {{&FS01, 4}, {&VB01, 2}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2502, 2502, 0, {{&FS01, 8}, {&VB01, 2}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2503, 2503, 0, {{&FS01, 8}, {&VB01, 2}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2504, 2504, 0, {{&FS01, 12}, {&VB01, 4}, {&FR01, 10}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2505, 2505, 0, {{&FS01, 12}, {&VB01, 4}, {&FR01, 10}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2506, 2506, 0, {{&FS01, 12}, {&VB01, 4}, {&FR01, 10}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2100, 2100, 1, {{&FS01, 14}, {&VB02, 1}, {&FR02, 2}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2101, 2101, 1, {{&FS01, 19}, {&VB03, 2}, {&FR02, 2}, {&AB01, 10}, {&SR01, 5}, {&SC01, 0}}, false},
    {2102, 2102, 1, {{&FS01, 14}, {&VB03, 1}, {&FR02, 2}, {&AB01, 10}, {&SR01, 5}, {&SC01, 0}}, false},
    {2103, 2103, 1, {{&FS01, 0}, {&VB02, 1}, {&FR02, 2}, {&AB01, 11}, {&SR01, 5}, {&SC01, 0}}, false},
    {2104, 2104, 1, {{&FS01, 11}, {&VB04, 0}, {&FR02, 0}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2105, 2105, 1, {{&FS01, 4}, {&VB04, 0}, {&FR02, 0}, {&AB01, 10}, {&SR01, 3}, {&SC01, 0}}, false},
    {1400, 1400, 2, {{&FS01, 0}, {&VB05, 4}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {1401, 1401, 2, {{&FS01, 4}, {&VB01, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {1402, 1402, 2, {{&FS01, 0}, {&VB05, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {1403, 1403, 2, {{&FS01, 0}, {&VB06, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {1404, 1404, 2, {{&FS02, 3}, {&VB03, 2}, {&FR02, 2}, {&AB01, 10}, {&SR01, 5}, {&SC01, 0}}, false},
    {1405, 1405, 2, {{&FS02, 3}, {&VB03, 2}, {&FR02, 3}, {&AB01, 13}, {&SR01, 5}, {&SC01, 0}}, false},
    {1406, 1406, 2, {{&FS01, 11}, {&VB07, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {1407, 1407, 2, {{&FS01, 4}, {&VB01, 2}, {&FR01, 9}, {&AB01, 8}, {&SR01, 3}, {&SC01, 0}}, false},
    {1408, 1408, 2, {{&FS01, 12}, {&VB01, 4}, {&FR01, 10}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {1409, 1409, 2, {{&FS01, 8}, {&VB01, 2}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {1410, 1410, 2, {{&FS01, 4}, {&VB01, 2}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {100, 100, 3, {{&FS01, 0}, {&VB01, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {101, 101, 3, {{&FS01, 0}, {&VB06, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {102, 102, 3, {{&FS01, 0}, {&VB05, 4}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {103, 103, 3, {{&FS01, 0}, {&VB06, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 5}, {&SC01, 0}}, false},
    {104, 104, 3, {{&FS01, 0}, {&VB05, 4}, {&FR01, 0}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {105, 105, 3, {{&FS01, 0}, {&VB01, 4}, {&FR01, 10}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {106, 106, 3, {{&FS01, 4}, {&VB01, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {107, 107, 3, {{&FS01, 0}, {&VB01, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {108, 108, 3, {{&FS01, 0}, {&VB01, 3}, {&FR01, 0}, {&AB01, 10}, {&SR01, 5}, {&SC01, 0}}, false},
    {109, 109, 3, {{&FS03, 4}, {&VB08, 9}, {&FR03, 5}, {&AB02, 5}, {&SR02, 0}, {&SC02, 0}}, false},
    {110, 110, 3, {{&FS01, 0}, {&VB07, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {111, 111, 3, {{&FS01, 12}, {&VB01, 4}, {&FR01, 10}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {112, 112, 3, {{&FS01, 8}, {&VB01, 2}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {113, 113, 3, {{&FS01, 4}, {&VB01, 2}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {114, 114, 3, {{&FS01, 4}, {&VB01, 2}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {500, 500, 4, {{&FS04, 7}, {&VB09, 3}, {&FR04, 7}, {&AB03, 2}, {&SR03, 3}, {&SC01, 0}}, false},
    {501, 501, 4, {{&FS04, 12}, {&VB09, 3}, {&FR04, 7}, {&AB03, 2}, {&SR03, 3}, {&SC01, 0}}, false},
    {502, 502, 4, {{&FS04, 20}, {&VB10, 5}, {&FR04, 8}, {&AB03, 2}, {&SR03, 3}, {&SC01, 2}}, false},
    {503, 503, 4, {{&FS04, 20}, {&VB10, 7}, {&FR04, 8}, {&AB03, 2}, {&SR03, 3}, {&SC01, 0}}, false},
    {504, 504, 4, {{&FS04, 24}, {&VB10, 8}, {&FR04, 8}, {&AB03, 2}, {&SR03, 3}, {&SC01, 0}}, false},
    {505, 505, 4, {{&FS05, 12}, {&VB09, 3}, {&FR04, 7}, {&AB03, 2}, {&SR03, 3}, {&SC01, 2}}, false},
    {506, 506, 4, {{&FS06, 12}, {&VB10, 5}, {&FR04, 8}, {&AB03, 2}, {&SR03, 3}, {&SC01, 0}}, false},
    {507, 507, 4, {{&FS05, 3}, {&VB09, 3}, {&FR04, 7}, {&AB03, 2}, {&SR03, 2}, {&SC01, 0}}, false},
    {508, 508, 4, {{&FS05, 6}, {&VB09, 3}, {&FR04, 7}, {&AB03, 2}, {&SR03, 3}, {&SC01, 0}}, false},
    {509, 509, 4, {{&FS07, 0}, {&VB06, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 5}, {&SC01, 0}}, false},
    {510, 510, 4, {{&FS07, 19}, {&VB11, 5}, {&FR01, 10}, {&AB01, 10}, {&SR01, 5}, {&SC01, 0}}, false},
    {511, 511, 4, {{&FS07, 0}, {&VB12, 3}, {&FR02, 1}, {&AB01, 10}, {&SR01, 5}, {&SC01, 0}}, false},
    {512, 512, 4, {{&FS07, 19}, {&VB13, 5}, {&FR01, 10}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {513, 513, 4, {{&FS08, 9}, {&VB14, 5}, {&FR04, 8}, {&AB03, 2}, {&SR03, 3}, {&SC01, 0}}, false},
    {514, 514, 4, {{&FS07, 19}, {&VB03, 2}, {&FR02, 2}, {&AB01, 10}, {&SR01, 5}, {&SC01, 0}}, false},
    {1300, 1300, 5, {{&FS09, 0}, {&VB15, 5}, {&FR05, 5}, {&AB03, 2}, {&SR04, 2}, {&SC01, 0}}, false},
    {1301, 1301, 5, {{&FS09, 2}, {&VB15, 5}, {&FR05, 5}, {&AB03, 2}, {&SR04, 3}, {&SC01, 0}}, false},
    {1302, 1302, 5, {{&FS09, 0}, {&VB15, 4}, {&FR05, 5}, {&AB03, 2}, {&SR04, 2}, {&SC01, 0}}, false},
    {1303, 1303, 5, {{&FS09, 6}, {&VB15, 6}, {&FR05, 5}, {&AB03, 3}, {&SR04, 4}, {&SC01, 0}}, false},
    {1304, 1304, 5, {{&FS09, 0}, {&VB15, 4}, {&FR05, 5}, {&AB03, 2}, {&SR04, 1}, {&SC01, 0}}, false},
    {1305, 1305, 5, {{&FS09, 0}, {&VB15, 5}, {&FR05, 4}, {&AB03, 2}, {&SR04, 3}, {&SC01, 0}}, false},
    {1306, 1306, 5, {{&FS09, 10}, {&VB15, 6}, {&FR05, 5}, {&AB03, 3}, {&SR04, 4}, {&SC01, 0}}, false},
    {1307, 1307, 5, {{&FS10, 0}, {&VB16, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 5}, {&SC01, 0}}, false},
    {1308, 1308, 5, {{&FS10, 9}, {&VB17, 6}, {&FR01, 10}, {&AB01, 10}, {&SR01, 5}, {&SC01, 0}}, false},
    {1309, 1309, 5, {{&FS10, 0}, {&VB12, 3}, {&FR02, 1}, {&AB01, 10}, {&SR01, 5}, {&SC01, 0}}, false},
    {1310, 1310, 5, {{&FS10, 9}, {&VB13, 5}, {&FR01, 10}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {3200, 3200, 6, {{&FS11, 0}, {&VB10, 4}, {&FR04, 7}, {&AB03, 2}, {&SR03, 3}, {&SC01, 0}}, false},
    {3201, 3201, 6, {{&FS07, 0}, {&VB06, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {3202, 3202, 6, {{&FS04, 12}, {&VB09, 3}, {&FR04, 7}, {&AB03, 2}, {&SR03, 3}, {&SC01, 0}}, false},
    {3203, 3203, 6, {{&FS04, 17}, {&VB10, 6}, {&FR04, 8}, {&AB03, 2}, {&SR03, 3}, {&SC01, 0}}, false},
    {3204, 3204, 6, {{&FS07, 18}, {&VB18, 4}, {&FR01, 11}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {3205, 3205, 6, {{&FS07, 0}, {&VB03, 1}, {&FR02, 2}, {&AB01, 10}, {&SR01, 5}, {&SC01, 0}}, false},
    {3206, 3206, 6, {{&FS07, 0}, {&VB01, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {3207, 3207, 6, {{&FS07, 0}, {&VB06, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 5}, {&SC01, 0}}, false},
    {3208, 3208, 6, {{&FS12, 0}, {&VB01, 3}, {&FR01, 9}, {&AB01, 10}, {&SR05, 1}, {&SC01, 0}}, false},
    {3209, 3209, 6, {{&FS03, 4}, {&VB08, 9}, {&FR03, 5}, {&AB04, 0}, {&SR06, 4}, {&SC01, 0}}, false},
    {3210, 3210, 6, {{&FS07, 0}, {&VB07, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {3211, 3211, 6, {{&FS01, 0}, {&VB01, 3}, {&FR01, 0}, {&AB01, 10}, {&SR01, 5}, {&SC01, 0}}, false},
    {3212, 3212, 6, {{&FS07, 11}, {&VB19, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {3213, 3213, 6, {{&FS07, 16}, {&VB19, 4}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {3214, 3214, 6, {{&FS04, 12}, {&VB09, 3}, {&FR04, 7}, {&AB03, 2}, {&SR03, 3}, {&SC01, 0}}, false},
    {3215, 3215, 6, {{&FS13, 0}, {&VB20, 0}, {&FR06, 0}, {&AB01, 10}, {&SR01, 4}, {&SC03, 0}}, true},
    {1100, 1100, 7, {{&FS14, 4}, {&VB01, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {1101, 1101, 7, {{&FS01, 0}, {&VB01, 4}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {1102, 1102, 7, {{&FS01, 0}, {&VB01, 4}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {1103, 1103, 7, {{&FS01, 0}, {&VB01, 4}, {&FR01, 10}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {1104, 1104, 7, {{&FS01, 0}, {&VB01, 4}, {&FR01, 10}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {1200, 1200, 8, {{&FS01, 0}, {&VB01, 3}, {&FR01, 9}, {&AB01, 10}, {&SR05, 1}, {&SC01, 0}}, false},
    {1201, 1201, 8, {{&FS01, 0}, {&VB01, 3}, {&FR01, 9}, {&AB01, 10}, {&SR05, 1}, {&SC01, 0}}, false},
    {1202, 1202, 8, {{&FS13, 0}, {&VB20, 0}, {&FR06, 0}, {&AB01, 10}, {&SR05, 1}, {&SC03, 0}}, true},
    {1203, 1203, 8, {{&FS13, 0}, {&VB20, 0}, {&FR06, 0}, {&AB01, 10}, {&SR05, 1}, {&SC03, 0}}, true},
    {1500, 1500, 9, {{&FS12, 0}, {&VB01, 3}, {&FR01, 9}, {&AB01, 10}, {&SR05, 1}, {&SC01, 0}}, false},
    {1501, 1501, 9, {{&FS12, 19}, {&VB01, 5}, {&FR01, 10}, {&AB01, 10}, {&SR05, 1}, {&SC01, 0}}, false},
    {1502, 1502, 9, {{&FS12, 4}, {&VB07, 3}, {&FR01, 9}, {&AB01, 10}, {&SR05, 1}, {&SC01, 0}}, false},
    {1503, 1503, 9, {{&FS12, 4}, {&VB01, 2}, {&FR01, 5}, {&AB01, 8}, {&SR05, 1}, {&SC01, 0}}, false},
    {1504, 1504, 9, {{&FS12, 0}, {&VB01, 3}, {&FR01, 9}, {&AB01, 10}, {&SR05, 1}, {&SC01, 0}}, false},
    {1505, 1505, 9, {{&FS13, 0}, {&VB20, 0}, {&FR06, 0}, {&AB01, 10}, {&SR05, 1}, {&SC03, 0}}, true},
    {1506, 1506, 9, {{&FS13, 0}, {&VB20, 0}, {&FR06, 0}, {&AB01, 10}, {&SR05, 1}, {&SC03, 0}}, true},
    {1600, 1600, 10, {{&FS01, 0}, {&VB01, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {1601, 1601, 10, {{&FS01, 19}, {&VB03, 2}, {&FR02, 2}, {&AB01, 10}, {&SR01, 5}, {&SC01, 0}}, false},
    {1602, 1602, 10, {{&FS01, 4}, {&VB01, 2}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {1603, 1603, 10, {{&FS01, 0}, {&VB05, 4}, {&FR01, 10}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {1604, 1604, 10, {{&FS01, 4}, {&VB07, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {1605, 1605, 10, {{&FS01, 0}, {&VB01, 2}, {&FR01, 5}, {&AB01, 8}, {&SR01, 3}, {&SC01, 0}}, false},
    {1606, 1606, 10, {{&FS01, 19}, {&VB03, 2}, {&FR02, 2}, {&AB01, 10}, {&SR01, 5}, {&SC01, 0}}, false},
    {1700, 1700, 11, {{&FS01, 0}, {&VB01, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {1701, 1701, 11, {{&FS01, 19}, {&VB03, 2}, {&FR02, 2}, {&AB01, 10}, {&SR01, 5}, {&SC01, 0}}, false},
    {1702, 1702, 11, {{&FS01, 4}, {&VB01, 2}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {1703, 1703, 11, {{&FS01, 0}, {&VB05, 4}, {&FR01, 10}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {1704, 1704, 11, {{&FS01, 4}, {&VB07, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {1705, 1705, 11, {{&FS01, 0}, {&VB01, 2}, {&FR01, 5}, {&AB01, 8}, {&SR01, 3}, {&SC01, 0}}, false},
    {1706, 1706, 11, {{&FS01, 19}, {&VB03, 2}, {&FR02, 2}, {&AB01, 10}, {&SR01, 5}, {&SC01, 0}}, false},
    {1800, 1800, 12, {{&FS01, 0}, {&VB01, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {1801, 1801, 12, {{&FS01, 19}, {&VB03, 2}, {&FR02, 2}, {&AB01, 10}, {&SR01, 5}, {&SC01, 0}}, false},
    {1802, 1802, 12, {{&FS01, 4}, {&VB01, 2}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {1803, 1803, 12, {{&FS01, 0}, {&VB05, 4}, {&FR01, 10}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {1804, 1804, 12, {{&FS01, 4}, {&VB07, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {1805, 1805, 12, {{&FS01, 0}, {&VB01, 2}, {&FR01, 5}, {&AB01, 8}, {&SR01, 3}, {&SC01, 0}}, false},
    {1806, 1806, 12, {{&FS01, 19}, {&VB03, 2}, {&FR02, 2}, {&AB01, 10}, {&SR01, 5}, {&SC01, 0}}, false},
    {2000, 2000, 13, {{&FS07, 0}, {&VB03, 0}, {&FR02, 0}, {&AB01, 10}, {&SR01, 5}, {&SC01, 0}}, false},
    {2001, 2001, 13, {{&FS04, 12}, {&VB10, 3}, {&FR04, 7}, {&AB03, 2}, {&SR03, 3}, {&SC01, 2}}, false},
    {2002, 2002, 13, {{&FS04, 20}, {&VB10, 5}, {&FR04, 8}, {&AB03, 2}, {&SR03, 3}, {&SC01, 2}}, false},
    {2003, 2003, 13, {{&FS04, 12}, {&VB09, 3}, {&FR04, 7}, {&AB03, 2}, {&SR03, 3}, {&SC01, 0}}, false},
    {2004, 2004, 13, {{&FS04, 20}, {&VB10, 6}, {&FR04, 8}, {&AB03, 2}, {&SR03, 3}, {&SC01, 0}}, false},
    {2005, 2005, 13, {{&FS07, 11}, {&VB01, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2006, 2006, 13, {{&FS07, 0}, {&VB05, 4}, {&FR01, 0}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2007, 2007, 13, {{&FS07, 0}, {&VB06, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 5}, {&SC01, 0}}, false},
    {2008, 2008, 13, {{&FS07, 0}, {&VB07, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2009, 2009, 13, {{&FS07, 11}, {&VB19, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2010, 2010, 13, {{&FS07, 0}, {&VB05, 4}, {&FR01, 10}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2011, 2011, 13, {{&FS12, 0}, {&VB01, 3}, {&FR01, 9}, {&AB01, 10}, {&SR05, 1}, {&SC01, 0}}, false},
    {2200, 2200, 14, {{&FS01, 12}, {&VB05, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2201, 2201, 14, {{&FS01, 19}, {&VB05, 6}, {&FR01, 10}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2202, 2202, 14, {{&FS01, 19}, {&VB01, 5}, {&FR01, 11}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2203, 2203, 14, {{&FS01, 0}, {&VB01, 4}, {&FR01, 10}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2204, 2204, 14, {{&FS01, 12}, {&VB05, 4}, {&FR01, 10}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2205, 2205, 14, {{&FS01, 4}, {&VB06, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2206, 2206, 14, {{&FS01, 0}, {&VB01, 5}, {&FR01, 10}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2207, 2207, 14, {{&FS03, 4}, {&VB08, 9}, {&FR03, 5}, {&AB02, 5}, {&SR02, 0}, {&SC02, 0}}, false},
    {2208, 2208, 14, {{&FS01, 0}, {&VB07, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2209, 2209, 14, {{&FS01, 0}, {&VB01, 3}, {&FR01, 9}, {&AB01, 10}, {&SR05, 1}, {&SC01, 0}}, false},
    {2210, 2210, 14, {{&FS01, 12}, {&VB01, 4}, {&FR01, 10}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2211, 2211, 14, {{&FS01, 8}, {&VB01, 2}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2212, 2212, 14, {{&FS01, 4}, {&VB01, 2}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2600, 2600, 15, {{&FS01, 0}, {&VB11, 5}, {&FR01, 9}, {&AB01, 10}, {&SR01, 5}, {&SC01, 0}}, false},
    {2601, 2601, 15, {{&FS01, 19}, {&VB17, 7}, {&FR01, 9}, {&AB01, 10}, {&SR01, 5}, {&SC01, 0}}, false},
    {2602, 2602, 15, {{&FS01, 11}, {&VB21, 6}, {&FR01, 9}, {&AB01, 10}, {&SR01, 5}, {&SC01, 0}}, false},
    {2603, 2603, 15, {{&FS01, 0}, {&VB06, 2}, {&FR01, 5}, {&AB01, 8}, {&SR01, 3}, {&SC01, 0}}, false},
    {2800, 2800, 16, {{&FS01, 19}, {&VB21, 9}, {&FR01, 10}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2801, 2801, 16, {{&FS01, 19}, {&VB21, 9}, {&FR01, 10}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2802, 2802, 16, {{&FS01, 19}, {&VB21, 9}, {&FR01, 10}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2803, 2803, 16, {{&FS01, 19}, {&VB21, 9}, {&FR01, 10}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {2804, 2804, 16, {{&FS01, 0}, {&VB01, 3}, {&FR01, 9}, {&AB01, 10}, {&SR01, 4}, {&SC01, 0}}, false},
    {3000, 3000, 17, {{&FS13, 0}, {&VB20, 0}, {&FR06, 0}, {&AB01, 13}, {&SR01, 5}, {&SC03, 0}}, true},
    {3001, 3001, 17, {{&FS13, 0}, {&VB20, 0}, {&FR06, 0}, {&AB01, 8}, {&SR01, 2}, {&SC03, 0}}, true},
    {3002, 3002, 17, {{&FS13, 0}, {&VB20, 0}, {&FR06, 0}, {&AB01, 10}, {&SR01, 4}, {&SC03, 0}}, true},
    {3003, 3003, 17, {{&FS13, 0}, {&VB20, 0}, {&FR06, 0}, {&AB01, 10}, {&SR01, 4}, {&SC03, 0}}, true},
    {200, 200, 18, {{&FS13, 0}, {&VB20, 0}, {&FR06, 0}, {&AB01, 10}, {&SR01, 4}, {&SC03, 0}}, true},
    {201, 201, 18, {{&FS13, 0}, {&VB20, 0}, {&FR06, 0}, {&AB01, 10}, {&SR01, 4}, {&SC03, 0}}, true},
    {202, 202, 18, {{&FS13, 0}, {&VB20, 0}, {&FR06, 0}, {&AB01, 13}, {&SR01, 5}, {&SC03, 0}}, true},
    {203, 203, 18, {{&FS13, 0}, {&VB20, 0}, {&FR06, 0}, {&AB01, 10}, {&SR01, 5}, {&SC03, 0}}, true},
    {204, 204, 18, {{&FS13, 0}, {&VB20, 0}, {&FR06, 0}, {&AB01, 9}, {&SR01, 4}, {&SC03, 0}}, true},
    {205, 205, 18, {{&FS13, 0}, {&VB20, 0}, {&FR06, 0}, {&AB01, 10}, {&SR01, 4}, {&SC03, 0}}, true},
    {206, 206, 18, {{&FS13, 0}, {&VB20, 0}, {&FR06, 0}, {&AB01, 9}, {&SR01, 4}, {&SC03, 0}}, true},
    {207, 207, 18, {{&FS13, 0}, {&VB20, 0}, {&FR06, 0}, {&AB01, 10}, {&SR01, 4}, {&SC03, 0}}, true},
    {208, 208, 18, {{&FS13, 0}, {&VB20, 0}, {&FR06, 0}, {&AB01, 10}, {&SR01, 4}, {&SC03, 0}}, true},
    {209, 209, 18, {{&FS13, 0}, {&VB20, 0}, {&FR06, 0}, {&AB01, 10}, {&SR01, 4}, {&SC03, 0}}, true},
    {210, 210, 18, {{&FS13, 0}, {&VB20, 0}, {&FR06, 0}, {&AB01, 13}, {&SR01, 5}, {&SC03, 0}}, true},
    {211, 211, 18, {{&FS13, 0}, {&VB20, 0}, {&FR06, 0}, {&AB01, 12}, {&SR01, 5}, {&SC03, 0}}, true},
    {212, 212, 18, {{&FS13, 0}, {&VB20, 0}, {&FR06, 0}, {&AB05, 4}, {&SR02, 0}, {&SC03, 0}}, true},
};

// The settings dialog's rows; runs of codes with equal rows share one row.
constexpr TAdvancedComboRow SettingsRows[] = {
    {100, 100, 0, {{&SIZE1, 0}, {&VRATE1, 3}, {&FPS1, 9}, {&ARATE1, 10}, {&HZ1, 4}, {&ASPECT1, 0}}, false},
    {101, 101, 0, {{&SIZE1, 0}, {&VRATE2, 3}, {&FPS1, 9}, {&ARATE1, 10}, {&HZ1, 4}, {&ASPECT1, 0}}, false},
    {102, 102, 0, {{&SIZE1, 0}, {&VRATE3, 4}, {&FPS1, 9}, {&ARATE1, 10}, {&HZ1, 4}, {&ASPECT1, 0}}, false},
    {103, 103, 0, {{&SIZE1, 0}, {&VRATE2, 3}, {&FPS1, 9}, {&ARATE1, 10}, {&HZ1, 5}, {&ASPECT1, 0}}, false},
    {104, 104, 0, {{&SIZE1, 0}, {&VRATE3, 4}, {&FPS1, 0}, {&ARATE1, 10}, {&HZ1, 4}, {&ASPECT1, 0}}, false},
    {105, 105, 0, {{&SIZE1, 0}, {&VRATE1, 4}, {&FPS1, 10}, {&ARATE1, 10}, {&HZ1, 4}, {&ASPECT1, 0}}, false},
    {106, 106, 0, {{&SIZE1, 4}, {&VRATE1, 3}, {&FPS1, 9}, {&ARATE1, 10}, {&HZ1, 4}, {&ASPECT1, 0}}, false},
    {107, 107, 0, {{&SIZE1, 0}, {&VRATE1, 3}, {&FPS1, 9}, {&ARATE1, 10}, {&HZ1, 4}, {&ASPECT1, 0}}, false},
    {108, 108, 0, {{&SIZE1, 0}, {&VRATE1, 3}, {&FPS1, 0}, {&ARATE1, 10}, {&HZ1, 5}, {&ASPECT1, 0}}, false},
    {109, 109, 0, {{&SIZE2, 4}, {&VRATE4, 9}, {&FPS2, 5}, {&ARATE2, 5}, {&HZ2, 0}, {&ASPECT2, 0}}, false},
    {110, 110, 0, {{&SIZE1, 0}, {&VRATE5, 3}, {&FPS1, 9}, {&ARATE1, 10}, {&HZ1, 4}, {&ASPECT1, 0}}, false},
    {111, 111, 0, {{&SIZE1, 12}, {&VRATE1, 4}, {&FPS1, 10}, {&ARATE1, 10}, {&HZ1, 4}, {&ASPECT1, 0}}, false},
    {112, 112, 0, {{&SIZE1, 8}, {&VRATE1, 2}, {&FPS1, 9}, {&ARATE1, 10}, {&HZ1, 4}, {&ASPECT1, 0}}, false},
    {113, 114, 0, {{&SIZE1, 4}, {&VRATE1, 2}, {&FPS1, 9}, {&ARATE1, 10}, {&HZ1, 4}, {&ASPECT1, 0}}, false},
    {200, 201, 1, {{&SIZE3, 0}, {&VRATE6, 0}, {&FPS3, 0}, {&ARATE1, 10}, {&HZ1, 4}, {&ASPECT3, 0}}, true},
    {202, 202, 1, {{&SIZE3, 0}, {&VRATE6, 0}, {&FPS3, 0}, {&ARATE1, 13}, {&HZ1, 5}, {&ASPECT3, 0}}, true},
    {203, 203, 1, {{&SIZE3, 0}, {&VRATE6, 0}, {&FPS3, 0}, {&ARATE1, 10}, {&HZ1, 5}, {&ASPECT3, 0}}, true},
    {204, 204, 1, {{&SIZE3, 0}, {&VRATE6, 0}, {&FPS3, 0}, {&ARATE1, 9}, {&HZ1, 4}, {&ASPECT3, 0}}, true},
    {205, 205, 1, {{&SIZE3, 0}, {&VRATE6, 0}, {&FPS3, 0}, {&ARATE1, 10}, {&HZ1, 4}, {&ASPECT3, 0}}, true},
    {206, 206, 1, {{&SIZE3, 0}, {&VRATE6, 0}, {&FPS3, 0}, {&ARATE1, 9}, {&HZ1, 4}, {&ASPECT3, 0}}, true},
    {207, 209, 1, {{&SIZE3, 0}, {&VRATE6, 0}, {&FPS3, 0}, {&ARATE1, 10}, {&HZ1, 4}, {&ASPECT3, 0}}, true},
    {210, 210, 1, {{&SIZE3, 0}, {&VRATE6, 0}, {&FPS3, 0}, {&ARATE1, 13}, {&HZ1, 5}, {&ASPECT3, 0}}, true},
    {211, 211, 1, {{&SIZE3, 0}, {&VRATE6, 0}, {&FPS3, 0}, {&ARATE1, 12}, {&HZ1, 5}, {&ASPECT3, 0}}, true},
    {212, 212, 1, {{&SIZE3, 0}, {&VRATE6, 0}, {&FPS3, 0}, {&ARATE3, 4}, {&HZ2, 0}, {&ASPECT3, 0}}, true},
    {300, 300, 2, {{&SIZE4, 2}, {&VRATE7, 2}, {&FPS4, 2}, {&ARATE1, 10}, {&HZ1, 5}, {&ASPECT1, 0}}, false},
    {301, 301, 2, {{&SIZE4, 2}, {&VRATE7, 1}, {&FPS4, 3}, {&ARATE1, 10}, {&HZ1, 5}, {&ASPECT1, 0}}, false},
    {302, 302, 2, {{&SIZE4, 2}, {&VRATE7, 1}, {&FPS4, 2}, {&ARATE1, 13}, {&HZ1, 5}, {&ASPECT1, 0}}, false},
    {303, 303, 2, {{&SIZE4, 3}, {&VRATE7, 2}, {&FPS4, 3}, {&ARATE1, 13}, {&HZ1, 5}, {&ASPECT1, 0}}, false},
    {304, 304, 2, {{&SIZE4, 3}, {&VRATE7, 2}, {&FPS4, 2}, {&ARATE1, 12}, {&HZ1, 5}, {&ASPECT1, 0}}, false},
    {305, 305, 2, {{&SIZE4, 3}, {&VRATE7, 1}, {&FPS4, 2}, {&ARATE1, 10}, {&HZ1, 5}, {&ASPECT1, 0}}, false},
    {306, 306, 2, {{&SIZE4, 3}, {&VRATE7, 2}, {&FPS4, 2}, {&ARATE1, 10}, {&HZ1, 5}, {&ASPECT1, 0}}, false},
    {307, 307, 2, {{&SIZE4, 2}, {&VRATE7, 1}, {&FPS4, 2}, {&ARATE1, 10}, {&HZ1, 5}, {&ASPECT1, 0}}, false},
    {308, 308, 2, {{&SIZE4, 3}, {&VRATE7, 2}, {&FPS4, 2}, {&ARATE1, 10}, {&HZ1, 5}, {&ASPECT1, 0}}, false},
    {309, 309, 2, {{&SIZE4, 3}, {&VRATE7, 2}, {&FPS4, 3}, {&ARATE1, 10}, {&HZ1, 5}, {&ASPECT1, 0}}, false},
    {400, 400, 3, {{&SIZE5, 3}, {&VRATE8, 4}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {401, 401, 3, {{&SIZE5, 3}, {&VRATE8, 2}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {402, 402, 3, {{&SIZE5, 3}, {&VRATE8, 3}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {403, 404, 3, {{&SIZE5, 6}, {&VRATE8, 3}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {405, 405, 3, {{&SIZE5, 6}, {&VRATE8, 5}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {406, 406, 3, {{&SIZE5, 6}, {&VRATE8, 2}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {407, 407, 3, {{&SIZE6, 6}, {&VRATE8, 3}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {408, 408, 3, {{&SIZE6, 11}, {&VRATE8, 3}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {409, 409, 3, {{&SIZE6, 11}, {&VRATE8, 5}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {410, 410, 3, {{&SIZE6, 11}, {&VRATE8, 2}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {411, 411, 3, {{&SIZE6, 9}, {&VRATE8, 3}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 2}}, false},
    {412, 412, 3, {{&SIZE6, 3}, {&VRATE8, 3}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {413, 413, 3, {{&SIZE6, 6}, {&VRATE8, 3}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {500, 500, 4, {{&SIZE6, 6}, {&VRATE8, 3}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {501, 501, 4, {{&SIZE6, 11}, {&VRATE8, 3}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {502, 502, 4, {{&SIZE7, 12}, {&VRATE8, 3}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 2}}, false},
    {503, 503, 4, {{&SIZE7, 11}, {&VRATE8, 5}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {504, 504, 4, {{&SIZE7, 3}, {&VRATE8, 3}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {505, 505, 4, {{&SIZE7, 6}, {&VRATE8, 3}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {600, 600, 5, {{&SIZE8, 0}, {&VRATE9, 3}, {&FPS6, 2}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {601, 601, 5, {{&SIZE8, 1}, {&VRATE9, 4}, {&FPS6, 2}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {602, 602, 5, {{&SIZE8, 1}, {&VRATE9, 5}, {&FPS6, 2}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {603, 603, 5, {{&SIZE8, 1}, {&VRATE9, 2}, {&FPS6, 2}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {604, 604, 5, {{&SIZE8, 4}, {&VRATE9, 4}, {&FPS6, 2}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {700, 700, 6, {{&SIZE2, 4}, {&VRATE4, 9}, {&FPS2, 5}, {&ARATE2, 5}, {&HZ2, 0}, {&ASPECT1, 0}}, false},
    {701, 701, 6, {{&SIZE2, 4}, {&VRATE4, 9}, {&FPS2, 5}, {&ARATE5, 0}, {&HZ4, 4}, {&ASPECT1, 0}}, false},
    {702, 702, 6, {{&SIZE2, 4}, {&VRATE4, 9}, {&FPS2, 5}, {&ARATE2, 5}, {&HZ2, 0}, {&ASPECT1, 0}}, false},
    {703, 703, 6, {{&SIZE2, 4}, {&VRATE4, 9}, {&FPS2, 5}, {&ARATE5, 0}, {&HZ4, 4}, {&ASPECT1, 0}}, false},
    {704, 704, 6, {{&SIZE9, 4}, {&VRATE4, 9}, {&FPS2, 5}, {&ARATE2, 5}, {&HZ2, 0}, {&ASPECT1, 0}}, false},
    {705, 706, 6, {{&SIZE9, 4}, {&VRATE4, 9}, {&FPS2, 5}, {&ARATE5, 0}, {&HZ4, 4}, {&ASPECT1, 0}}, false},
    {707, 707, 6, {{&SIZE9, 4}, {&VRATE10, 10}, {&FPS7, 6}, {&ARATE5, 0}, {&HZ4, 4}, {&ASPECT1, 0}}, false},
    {708, 708, 6, {{&SIZE3, 0}, {&VRATE6, 0}, {&FPS3, 0}, {&ARATE3, 4}, {&HZ2, 0}, {&ASPECT3, 0}}, true},
    {709, 713, 6, {{&SIZE9, 4}, {&VRATE10, 9}, {&FPS7, 5}, {&ARATE6, 0}, {&HZ4, 4}, {&ASPECT1, 0}}, false},
    {800, 800, 7, {{&SIZE5, 3}, {&VRATE8, 3}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {801, 801, 7, {{&SIZE5, 6}, {&VRATE8, 3}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {802, 802, 7, {{&SIZE10, 7}, {&VRATE8, 6}, {&FPS5, 8}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {803, 803, 7, {{&SIZE5, 6}, {&VRATE8, 7}, {&FPS5, 8}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {804, 804, 7, {{&SIZE5, 6}, {&VRATE8, 2}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {900, 900, 8, {{&SIZE11, 7}, {&VRATE8, 5}, {&FPS5, 8}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {901, 902, 8, {{&SIZE12, 0}, {&VRATE8, 5}, {&FPS5, 9}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {903, 903, 8, {{&SIZE11, 7}, {&VRATE8, 4}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {904, 904, 8, {{&SIZE13, 7}, {&VRATE8, 5}, {&FPS5, 9}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {905, 905, 8, {{&SIZE11, 7}, {&VRATE8, 5}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {906, 906, 8, {{&SIZE14, 2}, {&VRATE8, 7}, {&FPS5, 9}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {907, 907, 8, {{&SIZE15, 8}, {&VRATE8, 7}, {&FPS5, 9}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {908, 908, 8, {{&SIZE16, 9}, {&VRATE8, 5}, {&FPS5, 8}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {909, 909, 8, {{&SIZE15, 8}, {&VRATE8, 7}, {&FPS5, 9}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {1000, 1000, 9, {{&SIZE17, 2}, {&VRATE8, 4}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {1001, 1001, 9, {{&SIZE17, 4}, {&VRATE8, 4}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {1002, 1002, 9, {{&SIZE17, 1}, {&VRATE8, 2}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {1003, 1004, 9, {{&SIZE18, 0}, {&VRATE8, 3}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {1005, 1005, 9, {{&SIZE18, 0}, {&VRATE8, 5}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {1006, 1006, 9, {{&SIZE18, 0}, {&VRATE8, 3}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {1007, 1007, 9, {{&SIZE17, 3}, {&VRATE8, 3}, {&FPS5, 7}, {&ARATE4, 2}, {&HZ3, 3}, {&ASPECT1, 0}}, false},
    {1100, 1100, 10, {{&SIZE19, 4}, {&VRATE1, 3}, {&FPS1, 9}, {&ARATE1, 10}, {&HZ1, 4}, {&ASPECT1, 0}}, false},
    {1101, 1102, 10, {{&SIZE1, 0}, {&VRATE1, 4}, {&FPS1, 9}, {&ARATE1, 10}, {&HZ1, 4}, {&ASPECT1, 0}}, false},
    {1103, 1104, 10, {{&SIZE1, 0}, {&VRATE1, 4}, {&FPS1, 10}, {&ARATE1, 10}, {&HZ1, 4}, {&ASPECT1, 0}}, false},
    {1200, 1201, 11, {{&SIZE1, 0}, {&VRATE1, 3}, {&FPS1, 9}, {&ARATE1, 10}, {&HZ5, 1}, {&ASPECT1, 0}}, false},
    {1202, 1203, 11, {{&SIZE3, 0}, {&VRATE6, 0}, {&FPS3, 0}, {&ARATE1, 10}, {&HZ5, 1}, {&ASPECT3, 0}}, true},
};

} // namespace

std::span<const TAdvancedValueList* const> AdvancedValueLists() {
    return MainLists;
}
std::span<const TAdvancedComboRow> AdvancedComboDefaults() {
    return MainRows;
}
std::span<const TAdvancedValueList* const> SettingsAdvancedValueLists() {
    return SettingsLists;
}
std::span<const TAdvancedComboRow> SettingsAdvancedComboDefaults() {
    return SettingsRows;
}

const TAdvancedValueList* FindAdvancedValueList(std::span<const TAdvancedValueList* const> Lists,
                                                std::u16string_view Name) {
    for (const TAdvancedValueList* List : Lists)
        if (Name == List->Name)
            return List;
    return nullptr;
}

const TAdvancedComboRow* FindAdvancedComboRow(std::span<const TAdvancedComboRow> Table, int ProfileCode) {
    for (const TAdvancedComboRow& Row : Table)
        if (ProfileCode >= Row.FirstCode && ProfileCode <= Row.LastCode)
            return &Row;
    return nullptr;
}

const TAdvancedComboRow* FillAdvancedCombos(const TAdvancedCombos& Combos, std::span<const TAdvancedComboRow> Table,
                                            int ProfileCode, TOutputParams& Params) {
    // Emptying and enabling go by the combo boxes' numbers: 1, 2, 3, 4, 9, 10.
    static constexpr TAdvancedKind ByNumber[] = {akFrameSize,  akVideoBitrate, akAudioBitrate,
                                                 akAspectMode, akFrameRate,    akSampleRate};
    for (TAdvancedKind Kind : ByNumber)
        Combos[Kind].ClearItems();
    for (TAdvancedKind Kind : ByNumber)
        Combos[Kind].SetEnabled(true);

    Params.All_Trant_Number = ProfileCode;
    Params.Video_DisableVideo = false;

    const TAdvancedComboRow* Row = FindAdvancedComboRow(Table, ProfileCode);
    if (!Row)
        return nullptr;

    // Selecting may run the combo box's change handler at once; it must see its own list complete and the
    // later combo boxes still empty.
    for (int K = 0; K < AdvancedKindCount; ++K) {
        const TAdvancedChoice& Choice = Row->Choices[K];
        TAdvancedComboTarget& Combo = Combos[TAdvancedKind(K)];
        for (const char16_t* Item : Choice.List->Items)
            Combo.AddItem(Item);
        Combo.SetItemIndex(Choice.DefaultIndex);
    }

    if (Row->AudioOnly)
        for (TAdvancedKind Kind : {akFrameSize, akVideoBitrate, akAspectMode, akFrameRate})
            Combos[Kind].SetEnabled(false);
    return Row;
}

int SettingsProfileCode(int CategoryIndex, int ProfileIndex) {
    return (CategoryIndex + 1) * 100 + ProfileIndex;
}

const TAdvancedComboRow* FillMainAdvancedCombos(const TAdvancedCombos& Combos, int CategoryIndex, int ProfileIndex,
                                                TOutputParams& Params) {
    return FillAdvancedCombos(Combos, AdvancedComboDefaults(), ProfileCode(CategoryIndex, ProfileIndex), Params);
}

const TAdvancedComboRow* FillSettingsAdvancedCombos(const TAdvancedCombos& Combos, int CategoryIndex, int ProfileIndex,
                                                    TOutputParams& Params) {
    return FillAdvancedCombos(Combos, SettingsAdvancedComboDefaults(), SettingsProfileCode(CategoryIndex, ProfileIndex),
                              Params);
}
