// The class library's message-dialog vocabulary: the kinds of message (each with its caption and icon) and the
// buttons a message dialog can show, in the order they are laid out.
#pragma once

#include "platform/base/System.h"

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp,
    mbClose
};

using TMsgDlgButtons = TSet<TMsgDlgBtn, 12>;
