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
    TStringList Keys;
    ReadSection(Section, &Keys);
    return Keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(const String& Section, const String& Ident) {
    TStringList Keys;
    ReadSection(Section, &Keys);
    return Keys.IndexOf(Trim(Ident)) >= 0;
}

// ---------------------------------------------------------------------------------------------
// TIniContent

void TIniContent::Clear() {
    FPreamble.clear();
    FSections.clear();
}

void TIniContent::SetText(const String& Text) {
    TStringList Lines;
    Lines.SetText(Text);
    SetStrings(&Lines);
}

void TIniContent::SetStrings(const TStrings* Strings) {
    Clear();
    TSection* Current = nullptr;
    for (int I = 0; I < Strings->Count(); ++I) {
        const String Line = Trim(Strings->Strings(I));
        if (Line.empty())
            continue;
        if (Line.front() == '[' && Line.back() == ']') {
            const String Name = Trim(Line.substr(1, Line.size() - 2));
            Current = FindSection(Name); // a repeated section continues the first one
            if (!Current) {
                FSections.push_back(TSection{Name, {}});
                Current = &FSections.back();
            }
            continue;
        }
        TLine Entry;
        Entry.Raw = Line;
        const std::size_t Eq = Line.find(u'=');
        if (Line.front() != ';' && Eq != String::npos && Eq > 0) {
            Entry.Key = Trim(Line.substr(0, Eq));
            Entry.Value = Trim(Line.substr(Eq + 1));
        }
        if (Current)
            Current->Lines.push_back(std::move(Entry));
        else
            FPreamble.push_back(Line);
    }
}

String TIniContent::Text() const {
    String Text;
    for (const String& Line : FPreamble)
        Text += Line + sLineBreak;
    if (!FPreamble.empty())
        Text += sLineBreak;
    for (const TSection& Section : FSections) {
        Text += u"[" + Section.Name + u"]" + sLineBreak;
        for (const TLine& Line : Section.Lines)
            Text += (Line.Key.empty() ? Line.Raw : Line.Key + u"=" + Line.Value) + sLineBreak;
        Text += sLineBreak;
    }
    return Text;
}

TIniContent::TSection* TIniContent::FindSection(const String& Name) {
    for (TSection& S : FSections)
        if (AnsiSameText(S.Name, Name))
            return &S;
    return nullptr;
}

const TIniContent::TSection* TIniContent::FindSection(const String& Name) const {
    return const_cast<TIniContent*>(this)->FindSection(Name);
}

const String* TIniContent::Find(const String& Section, const String& Ident) const {
    const TSection* S = FindSection(Trim(Section));
    if (!S)
        return nullptr;
    const String Key = Trim(Ident);
    for (const TLine& Line : S->Lines)
        if (!Line.Key.empty() && AnsiSameText(Line.Key, Key))
            return &Line.Value;
    return nullptr;
}

void TIniContent::Write(const String& Section, const String& Ident, const String& Value) {
    const String Name = Trim(Section), Key = Trim(Ident);
    TSection* S = FindSection(Name);
    if (!S) {
        FSections.push_back(TSection{Name, {}});
        S = &FSections.back();
    }
    for (TLine& Line : S->Lines)
        if (!Line.Key.empty() && AnsiSameText(Line.Key, Key)) {
            Line.Value = Value;
            return;
        }
    S->Lines.push_back(TLine{Key, Value, String()});
}

void TIniContent::Keys(const String& Section, TStrings* Strings) const {
    Strings->BeginUpdate();
    Strings->Clear();
    if (const TSection* S = FindSection(Trim(Section)))
        for (const TLine& Line : S->Lines)
            if (!Line.Key.empty())
                Strings->Add(Line.Key);
    Strings->EndUpdate();
}

void TIniContent::Sections(TStrings* Strings) const {
    Strings->BeginUpdate();
    Strings->Clear();
    for (const TSection& S : FSections)
        Strings->Add(S.Name);
    Strings->EndUpdate();
}

void TIniContent::Values(const String& Section, TStrings* Strings) const {
    Strings->BeginUpdate();
    Strings->Clear();
    if (const TSection* S = FindSection(Trim(Section)))
        for (const TLine& Line : S->Lines)
            if (!Line.Key.empty())
                Strings->Add(Line.Key + u"=" + Line.Value);
    Strings->EndUpdate();
}

void TIniContent::EraseSection(const String& Section) {
    const String Name = Trim(Section);
    std::erase_if(FSections, [&](const TSection& s) { return AnsiSameText(s.Name, Name); });
}

void TIniContent::DeleteKey(const String& Section, const String& Ident) {
    TSection* S = FindSection(Trim(Section));
    if (!S)
        return;
    const String Key = Trim(Ident);
    const auto It = std::find_if(S->Lines.begin(), S->Lines.end(),
                                 [&](const TLine& line) { return !line.Key.empty() && AnsiSameText(line.Key, Key); });
    if (It != S->Lines.end())
        S->Lines.erase(It);
}

bool TIniContent::LoadFromFile(const String& FileName) {
    Clear();
    if (FileName.empty() || !FileExists(FileName))
        return false;
    try {
        TStringList Lines;
        Lines.LoadFromFile(FileName);
        SetStrings(&Lines);
        return true;
    } catch (const EStreamError&) {
        return false;
    }
}

void TIniContent::SaveToFile(const String& FileName) const {
    const std::string Target = UTF8Encode(FileName);
    std::string Temp = Target + ".XXXXXX";
    const int Fd = ::mkstemp(Temp.data());
    bool Ok = Fd >= 0;
    if (Ok) {
        const std::string Bytes = UTF8Encode(Text());
        THandleStream Stream(Fd);
        Ok = Stream.Write(Bytes.data(), std::int64_t(Bytes.size())) == std::int64_t(Bytes.size());
        Ok = ::fsync(Fd) == 0 && Ok;
        Ok = ::close(Fd) == 0 && Ok;
        // mkstemp creates the file for its owner only; an ini file is as readable as any other.
        const mode_t Mask = ::umask(0);
        ::umask(Mask);
        ::chmod(Temp.c_str(), 0666 & ~Mask);
        Ok = Ok && ::rename(Temp.c_str(), Target.c_str()) == 0;
        if (!Ok)
            ::unlink(Temp.c_str());
    }
    if (!Ok)
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
    const String* V = FContent.Find(Section, Ident);
    return V ? *V : Default;
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
    TIniContent Content;
    Content.LoadFromFile(FileName());
    return Content;
}

template <class F> void TIniFile::Change(F Edit) {
    TIniContent Content = Load();
    Edit(Content);
    Content.SaveToFile(FileName());
}

String TIniFile::ReadString(const String& Section, const String& Ident, const String& Default) {
    const TIniContent Content = Load();
    const String* V = Content.Find(Section, Ident);
    if (!V)
        return Default;
    if (V->size() >= 2 && (V->front() == '"' || V->front() == '\'') && V->back() == V->front())
        return V->substr(1, V->size() - 2);
    return *V;
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
