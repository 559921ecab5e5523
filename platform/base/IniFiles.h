// Ini files: "[Section]" headers and "Key=Value" lines. Section and key names match without
// regard to letter case; blanks around names and values are ignored; lines starting with ";"
// are comments. Files are UTF-8 (a byte-order mark is skipped, bytes that are not UTF-8 read as
// Latin-1) and are written with CR LF and a blank line after each section. Comments and lines
// that hold no key are kept when the file is written back.
#pragma once

#include <vector>

#include "platform/base/Classes.h"
#include "platform/base/System.h"

class TCustomIniFile : public TObject {
public:
    explicit TCustomIniFile(const String& FileName) : FFileName(FileName) {}
    const String& FileName() const { return FFileName; }

    virtual String ReadString(const String& Section, const String& Ident, const String& Default) = 0;
    virtual void WriteString(const String& Section, const String& Ident, const String& Value) = 0;
    // Decimal or "0x" hexadecimal; anything else gives Default.
    int ReadInteger(const String& Section, const String& Ident, int Default);
    void WriteInteger(const String& Section, const String& Ident, int Value);
    // An integer: 0 is False, any other is True; anything else gives Default. Written as 1 or 0.
    bool ReadBool(const String& Section, const String& Ident, bool Default);
    void WriteBool(const String& Section, const String& Ident, bool Value);
    double ReadFloat(const String& Section, const String& Ident, double Default);
    void WriteFloat(const String& Section, const String& Ident, double Value);

    // The key names of Section, in file order.
    virtual void ReadSection(const String& Section, TStrings* Strings) = 0;
    virtual void ReadSections(TStrings* Strings) = 0;
    // "Key=Value" lines of Section.
    virtual void ReadSectionValues(const String& Section, TStrings* Strings) = 0;
    // A section counts as present when it holds at least one key.
    bool SectionExists(const String& Section);
    bool ValueExists(const String& Section, const String& Ident);
    virtual void EraseSection(const String& Section) = 0;
    virtual void DeleteKey(const String& Section, const String& Ident) = 0;
    virtual void UpdateFile() = 0;

private:
    String FFileName;
};

// The ini text parsed and held in memory: the model behind both ini classes.
class TIniContent {
public:
    void SetText(const String& Text);
    void SetStrings(const TStrings* Strings);
    String Text() const;
    void Clear();

    const String* Find(const String& Section, const String& Ident) const;
    void Write(const String& Section, const String& Ident, const String& Value);
    void Keys(const String& Section, TStrings* Strings) const;
    void Sections(TStrings* Strings) const;
    void Values(const String& Section, TStrings* Strings) const;
    void EraseSection(const String& Section);
    void DeleteKey(const String& Section, const String& Ident);

    bool LoadFromFile(const String& FileName); // False when the file cannot be read
    // Writes through a temporary file renamed over the old one, so a failed write loses nothing:
    // EIniFileException "Unable to write to %s" when it fails.
    void SaveToFile(const String& FileName) const;

private:
    struct TLine {
        String Key; // empty for a comment or a line without "="
        String Value;
        String Raw;
    };
    struct TSection {
        String Name;
        std::vector<TLine> Lines;
    };
    TSection* FindSection(const String& Name);
    const TSection* FindSection(const String& Name) const;

    std::vector<String> FPreamble; // lines before the first section
    std::vector<TSection> FSections;
};

// An ini file read into memory when created; changes reach the file on UpdateFile.
// Created with an empty name, it is filled with SetStrings (a skin's ini text, say).
class TMemIniFile : public TCustomIniFile {
public:
    explicit TMemIniFile(const String& FileName);
    explicit TMemIniFile(const TStrings* Strings);

    String ReadString(const String& Section, const String& Ident, const String& Default) override;
    void WriteString(const String& Section, const String& Ident, const String& Value) override;
    void ReadSection(const String& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void ReadSectionValues(const String& Section, TStrings* Strings) override;
    void EraseSection(const String& Section) override;
    void DeleteKey(const String& Section, const String& Ident) override;
    void UpdateFile() override;

    void Clear() { FContent.Clear(); }
    void GetStrings(TStrings* List) const;
    void SetStrings(const TStrings* List) { FContent.SetStrings(List); }

private:
    TIniContent FContent;
};

// An ini file on disk that is read at every read and written at every write, so every reader
// sees the file's current contents. Values in matching quotes lose them when read, as the
// platform's profile functions do.
class TIniFile : public TCustomIniFile {
public:
    using TCustomIniFile::TCustomIniFile;

    String ReadString(const String& Section, const String& Ident, const String& Default) override;
    void WriteString(const String& Section, const String& Ident, const String& Value) override;
    void ReadSection(const String& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void ReadSectionValues(const String& Section, TStrings* Strings) override;
    void EraseSection(const String& Section) override;
    void DeleteKey(const String& Section, const String& Ident) override;
    void UpdateFile() override {}

private:
    TIniContent Load() const;
    template <class F> void Change(F Edit);
};
