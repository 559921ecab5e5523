// Ini text: any bytes are read by the ini file on disk (TIniFile, and the program's option.ini readers over it)
// and by the ini held in memory (TMemIniFile), their sections, keys and values; then writes go back.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "FuzzSupport.h"
#include "app/OptionIni.h"
#include "platform/base/IniFiles.h"

namespace {

std::string& IniFolder() {
    static std::string Folder;
    return Folder;
}

// option.ini lies beside the executable: the program is pointed at a folder of its own, removed at the end of
// the run.
const std::string& IniPath() {
    static const std::string Path = [] {
        const std::string Folder = "/tmp/qv-fuzz-ini-" + std::to_string(::getpid());
        ::mkdir(Folder.c_str(), 0700);
        IniFolder() = Folder;
        std::atexit([] {
            std::error_code Ignored;
            std::filesystem::remove_all(IniFolder(), Ignored);
        });
        SetAppFileName(UTF8ToString(Folder + "/quorvane"));
        return UTF8Encode(OptionIniPath());
    }();
    return Path;
}

void ReadAll(TCustomIniFile& Ini) {
    TStringList Sections, Keys, Values;
    Ini.ReadSections(&Sections);
    for (int S = 0; S < Sections.Count() && S < 64; ++S) {
        const String Section = Sections[S];
        Ini.ReadSection(Section, &Keys);
        Ini.ReadSectionValues(Section, &Values);
        for (int K = 0; K < Keys.Count() && K < 64; ++K) {
            Ini.ReadString(Section, Keys[K], u"");
            Ini.ReadInteger(Section, Keys[K], 0);
            Ini.ReadBool(Section, Keys[K], false);
            Ini.ReadFloat(Section, Keys[K], 0);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    std::ofstream(IniPath(), std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(Data), Size);
    // Every read of the file on disk parses the file again: a few reads, the copy in memory reads it all.
    qvfuzz::Tolerate([] {
        int Index = 0;
        TryStrToInt(ReadOption(u"Skin", u"SetSkin"), Index);
        ReadOption(u"OutPath", u"OutPath");
        TIniFile File(OptionIniPath());
        TStringList Sections, Keys;
        File.ReadSections(&Sections);
        if (Sections.Count() > 0) {
            File.ReadSection(Sections[0], &Keys);
            if (Keys.Count() > 0)
                File.ReadFloat(Sections[0], Keys[0], 0);
        }
        File.WriteString(u"Skin", u"SetSkin", u"3");
        File.EraseSection(u"OutPath");
    });

    TStringList Lines;
    Lines.SetText(qvfuzz::Text(Data, Size));
    TMemIniFile Memory(&Lines);
    ReadAll(Memory);
    Memory.WriteString(u"VERSION", u"skinname", u"x");
    Memory.DeleteKey(u"VERSION", u"ver");
    TStringList Back;
    Memory.GetStrings(&Back);
    return 0;
}
