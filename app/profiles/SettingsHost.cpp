#include "app/profiles/SettingsHost.h"

namespace {

class TStandInSettingsHost : public TSettingsHost {
public:
    TOutputParams& SettingsParams() override { return FParams; }
    String SettingsOutputFolder() override { return u""; }
    bool SettingsOverwriteFiles() override { return false; }
    TbsSkinData* SettingsSkinData() override { return nullptr; }

private:
    TOutputParams FParams;
};

TSettingsHost* Registered = nullptr;

} // namespace

void RegisterSettingsHost(TSettingsHost* Host) {
    Registered = Host;
}

void UnregisterSettingsHost(TSettingsHost* Host) {
    if (Registered == Host)
        Registered = nullptr;
}

TSettingsHost& SettingsHost() {
    static TStandInSettingsHost StandIn;
    return Registered ? *Registered : StandIn;
}
