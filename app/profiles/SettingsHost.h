// What the settings dialog needs of the main window, which lives in the layer above: the output parameter fields
// it writes, the output folder, the overwrite choice and the skin its controls draw from. The main window
// registers itself when it is created; until then a plain stand-in with fields of its own serves.
#pragma once

#include "app/profiles/OutputParams.h"
#include "platform/base/System.h"

class TbsSkinData;

class TSettingsHost {
public:
    virtual ~TSettingsHost() = default;
    // The output parameter fields; also the profile code and the disable-video flag.
    virtual TOutputParams& SettingsParams() = 0;
    // The output folder edit's text, used as it stands.
    virtual String SettingsOutputFolder() = 0;
    // True when existing output files are overwritten rather than renamed.
    virtual bool SettingsOverwriteFiles() = 0;
    // The skin of the dialog's skinned parts; null draws their default look.
    virtual TbsSkinData* SettingsSkinData() = 0;
};

// A later registration replaces an earlier one; unregistering a host that is not the registered one does nothing.
void RegisterSettingsHost(TSettingsHost* Host);
void UnregisterSettingsHost(TSettingsHost* Host);
// The registered host, or the stand-in.
TSettingsHost& SettingsHost();
