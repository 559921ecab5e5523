// A main window whose open dialog answers with the next queued file and whose notices are kept, for the soaks
// and the no-data-loss cases.
#pragma once

#include <deque>
#include <vector>

#include "tests/app/AppFixture.h"

namespace soak {

class TPickForm1 : public TForm1 {
public:
    using TForm1::TForm1;
    std::deque<String> Picks;
    std::vector<String> Notices;
    bool PickInputFile(String& Result) override {
        if (Picks.empty())
            return false;
        Result = Picks.front();
        Picks.pop_front();
        return true;
    }
    void ShowNotice(const String& Text) override { Notices.push_back(Text); }
};

} // namespace soak
