// Every record name that the skinned controls, forms, menus, dialogs and the main window look up, with the record
// kind its user expects: a skin that holds all of them leaves no part of the application in the default look.
#pragma once

#include <vector>

#include "platform/base/System.h"

enum class TbsSkinRecordList { Control, Object };

struct TbsSkinRecordName {
    TbsSkinRecordList List; // CtrlList (GetControlIndex) or ObjectList (GetIndex)
    String Name;
    String Kind; // the kind word of the record class the user expects
};

const std::vector<TbsSkinRecordName>& SkinRecordNames();
