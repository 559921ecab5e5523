#include "platform/base/IniFiles.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

// ---------------------------------------------------------------------------------------------
// TCustomIniFile

int TCustomIniFile::ReadInteger(const String& Section, const String& Ident, int Default) {
    return StrToIntDef(ReadString(Section, Ident, String()), Default);
}

void TCustomIniFile::WriteInteger(const String& Section, const String& Ident, int Value) {
    WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const String& Section, const String& Ident, bool Default) {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const String& Section, const String& Ident, bool Value) {
    WriteString(Section, Ident, Value ? u"1" : u"0");
}

double TCustomIniFile::ReadFloat(const String& Section, const String& Ident, double Default) {
    return StrToFloatDef(ReadString(Section, Ident, String()), Default);
}

void TCustomIniFile::WriteFloat(const String& Section, const String& Ident, double Value) {
    WriteString(Section, Ident, FloatToStr(Value));
}

bool TCustomIniFile::SectionExists(const String& Section) {
    TStringList keys;
    ReadSection(Section, &keys);
    return keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(const String& Section, const String& Ident) {
    TStringList keys;
    ReadSection(Section, &keys);
    return keys.IndexOf(Trim(Ident)) >= 0;
}

// ---------------------------------------------------------------------------------------------
// TIniContent

void TIniContent::Clear() {
    FPreamble.clear();
    FSections.clear();
}

void TIniContent::SetText(const String& Text) {
    TStringList lines;
    lines.SetText(Text);
    SetStrings(&lines);
}

void TIniContent::SetStrings(const TStrings* Strings) {
    Clear();
    TSection* current = nullptr;
    for (int i = 0; i < Strings->Count(); ++i) {
        const String line = Trim(Strings->Strings(i));
        if (line.empty())
            continue;
        if (line.front() == '[' && line.back() == ']') {
            const String name = Trim(line.substr(1, line.size() - 2));
            current = FindSection(name); // a repeated section continues the first one
            if (!current) {
                FSections.push_back(TSection{name, {}});
                current = &FSections.back();
            }
            continue;
        }
        TLine entry;
        entry.Raw = line;
        const std::size_t eq = line.find(u'=');
        if (line.front() != ';' && eq != String::npos && eq > 0) {
            entry.Key = Trim(line.substr(0, eq));
            entry.Value = Trim(line.substr(eq + 1));
        }
        if (current)
            current->Lines.push_back(std::move(entry));
        else
            FPreamble.push_back(line);
    }
}

String TIniContent::Text() const {
    String text;
    for (const String& line : FPreamble)
        text += line + sLineBreak;
    if (!FPreamble.empty())
        text += sLineBreak;
    for (const TSection& section : FSections) {
        text += u"[" + section.Name + u"]" + sLineBreak;
        for (const TLine& line : section.Lines)
            text += (line.Key.empty() ? line.Raw : line.Key + u"=" + line.Value) + sLineBreak;
        text += sLineBreak;
    }
    return text;
}

TIniContent::TSection* TIniContent::FindSection(const String& Name) {
    for (TSection& s : FSections)
        if (AnsiSameText(s.Name, Name))
            return &s;
    return nullptr;
}

const TIniContent::TSection* TIniContent::FindSection(const String& Name) const {
    return const_cast<TIniContent*>(this)->FindSection(Name);
}

const String* TIniContent::Find(const String& Section, const String& Ident) const {
    const TSection* s = FindSection(Trim(Section));
    if (!s)
        return nullptr;
    const String key = Trim(Ident);
    for (const TLine& line : s->Lines)
        if (!line.Key.empty() && AnsiSameText(line.Key, key))
            return &line.Value;
    return nullptr;
}

void TIniContent::Write(const String& Section, const String& Ident, const String& Value) {
    const String name = Trim(Section), key = Trim(Ident);
    TSection* s = FindSection(name);
    if (!s) {
        FSections.push_back(TSection{name, {}});
        s = &FSections.back();
    }
    for (TLine& line : s->Lines)
        if (!line.Key.empty() && AnsiSameText(line.Key, key)) {
            line.Value = Value;
            return;
        }
    s->Lines.push_back(TLine{key, Value, String()});
}

void TIniContent::Keys(const String& Section, TStrings* Strings) const {
    Strings->BeginUpdate();
    Strings->Clear();
    if (const TSection* s = FindSection(Trim(Section)))
        for (const TLine& line : s->Lines)
            if (!line.Key.empty())
                Strings->Add(line.Key);
    Strings->EndUpdate();
}

void TIniContent::Sections(TStrings* Strings) const {
    Strings->BeginUpdate();
    Strings->Clear();
    for (const TSection& s : FSections)
        Strings->Add(s.Name);
    Strings->EndUpdate();
}

void TIniContent::Values(const String& Section, TStrings* Strings) const {
    Strings->BeginUpdate();
    Strings->Clear();
    if (const TSection* s = FindSection(Trim(Section)))
        for (const TLine& line : s->Lines)
            if (!line.Key.empty())
                Strings->Add(line.Key + u"=" + line.Value);
    Strings->EndUpdate();
}

void TIniContent::EraseSection(const String& Section) {
    const String name = Trim(Section);
    std::erase_if(FSections, [&](const TSection& s) { return AnsiSameText(s.Name, name); });
}

void TIniContent::DeleteKey(const String& Section, const String& Ident) {
    TSection* s = FindSection(Trim(Section));
    if (!s)
        return;
    const String key = Trim(Ident);
    const auto it = std::find_if(s->Lines.begin(), s->Lines.end(),
                                 [&](const TLine& line) { return !line.Key.empty() && AnsiSameText(line.Key, key); });
    if (it != s->Lines.end())
        s->Lines.erase(it);
}

bool TIniContent::LoadFromFile(const String& FileName) {
    Clear();
    if (FileName.empty() || !FileExists(FileName))
        return false;
    try {
        TStringList lines;
        lines.LoadFromFile(FileName);
        SetStrings(&lines);
        return true;
    } catch (const EStreamError&) {
        return false;
    }
}

void TIniContent::SaveToFile(const String& FileName) const {
    const std::string target = UTF8Encode(FileName);
    std::string temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    bool ok = fd >= 0;
    if (ok) {
        const std::string bytes = UTF8Encode(Text());
        THandleStream stream(fd);
        ok = stream.Write(bytes.data(), std::int64_t(bytes.size())) == std::int64_t(bytes.size());
        ok = ::fsync(fd) == 0 && ok;
        ok = ::close(fd) == 0 && ok;
        // mkstemp creates the file for its owner only; an ini file is as readable as any other.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::chmod(temp.c_str(), 0666 & ~mask);
        ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
        if (!ok)
            ::unlink(temp.c_str());
    }
    if (!ok)
        throw EIniFileException(Format(u"Unable to write to %s", {FileName}));
}

// ---------------------------------------------------------------------------------------------
// TMemIniFile

TMemIniFile::TMemIniFile(const String& FileName) : TCustomIniFile(FileName) {
    FContent.LoadFromFile(FileName);
}

TMemIniFile::TMemIniFile(const TStrings* Strings) : TCustomIniFile(String()) {
    FContent.SetStrings(Strings);
}

String TMemIniFile::ReadString(const String& Section, const String& Ident, const String& Default) {
    const String* v = FContent.Find(Section, Ident);
    return v ? *v : Default;
}

void TMemIniFile::WriteString(const String& Section, const String& Ident, const String& Value) {
    FContent.Write(Section, Ident, Value);
}

void TMemIniFile::ReadSection(const String& Section, TStrings* Strings) {
    FContent.Keys(Section, Strings);
}

void TMemIniFile::ReadSections(TStrings* Strings) {
    FContent.Sections(Strings);
}

void TMemIniFile::ReadSectionValues(const String& Section, TStrings* Strings) {
    FContent.Values(Section, Strings);
}

void TMemIniFile::EraseSection(const String& Section) {
    FContent.EraseSection(Section);
}

void TMemIniFile::DeleteKey(const String& Section, const String& Ident) {
    FContent.DeleteKey(Section, Ident);
}

void TMemIniFile::UpdateFile() {
    if (!FileName().empty())
        FContent.SaveToFile(FileName());
}

void TMemIniFile::GetStrings(TStrings* List) const {
    List->SetText(FContent.Text());
}

// ---------------------------------------------------------------------------------------------
// TIniFile

TIniContent TIniFile::Load() const {
    TIniContent content;
    content.LoadFromFile(FileName());
    return content;
}

template <class F> void TIniFile::Change(F Edit) {
    TIniContent content = Load();
    Edit(content);
    content.SaveToFile(FileName());
}

String TIniFile::ReadString(const String& Section, const String& Ident, const String& Default) {
    const TIniContent content = Load();
    const String* v = content.Find(Section, Ident);
    if (!v)
        return Default;
    if (v->size() >= 2 && (v->front() == '"' || v->front() == '\'') && v->back() == v->front())
        return v->substr(1, v->size() - 2);
    return *v;
}

void TIniFile::WriteString(const String& Section, const String& Ident, const String& Value) {
    Change([&](TIniContent& c) { c.Write(Section, Ident, Value); });
}

void TIniFile::ReadSection(const String& Section, TStrings* Strings) {
    Load().Keys(Section, Strings);
}

void TIniFile::ReadSections(TStrings* Strings) {
    Load().Sections(Strings);
}

void TIniFile::ReadSectionValues(const String& Section, TStrings* Strings) {
    Load().Values(Section, Strings);
}

void TIniFile::EraseSection(const String& Section) {
    Change([&](TIniContent& c) { c.EraseSection(Section); });
}

void TIniFile::DeleteKey(const String& Section, const String& Ident) {
    Change([&](TIniContent& c) { c.DeleteKey(Section, Ident); });
}
