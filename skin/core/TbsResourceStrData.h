// The user-visible texts of the skinned controls as NAME=text lines, with built-in English texts.
#pragma once

#include <memory>

#include "platform/base/Classes.h"

class TbsResourceStrData : public TComponent {
public:
    explicit TbsResourceStrData(TComponent* AOwner);

    // The text after the first "=" of the first line whose name matches ResName without regard to letter case;
    // empty when no line matches.
    String GetResStr(const String& ResName) const;

    TStrings* ResStrings() const { return FResStrs.get(); }
    // Replaces every line by a copy of Value's lines.
    void SetResStrings(TStrings* Value) { FResStrs->Assign(Value); }
    Byte CharSet() const { return FCharSet; }
    void SetCharSet(Byte Value) { FCharSet = Value; }

private:
    std::unique_ptr<TStringList> FResStrs = std::make_unique<TStringList>();
    Byte FCharSet = 1; // DEFAULT_CHARSET
};
