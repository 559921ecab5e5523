// Helpers that build ini descriptions from text lines and read sections back.
#pragma once

#include <initializer_list>
#include <vector>

#include "platform/base/Classes.h"
#include "platform/base/IniFiles.h"

inline void LoadIniText(TMemIniFile& Ini, std::initializer_list<const char16_t*> Lines) {
    TStringList L;
    for (const char16_t* Line : Lines)
        L.Add(Line);
    Ini.SetStrings(&L);
}

inline std::vector<String> SectionLines(TMemIniFile& Ini, const String& Section) {
    TStringList L;
    Ini.ReadSectionValues(Section, &L);
    std::vector<String> Result;
    for (int I = 0; I < L.Count(); ++I)
        Result.push_back(L[I]);
    return Result;
}
