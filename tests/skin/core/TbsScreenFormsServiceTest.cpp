// The skin-change messages reach the application's real forms through the screen's form list.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/ui/Forms.h"
#include "platform/ui/UiTestFixture.h"
#include "skin/core/TbsScreenFormsService.h"
#include "skin/core/bsSkinData.h"

namespace {

struct TLogged {
    std::string Form;
    unsigned Msg;
    std::uintptr_t WParam;
    std::intptr_t LParam;
    friend bool operator==(const TLogged&, const TLogged&) = default;
    friend std::ostream& operator<<(std::ostream& S, const TLogged& L) {
        return S << L.Form << ":" << L.Msg << "(" << L.LParam << ")";
    }
};

class ScreenFormsServiceTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        SetSkinFormsService(nullptr);
        A = std::make_unique<TForm>(nullptr);
        B = std::make_unique<TForm>(nullptr);
        Watch(*A, "A");
        Watch(*B, "B");
    }
    void TearDown() override {
        A.reset();
        B.reset();
        UiTest::TearDown();
    }
    void Watch(TForm& Form, std::string Name) {
        TWndMethod Previous = Form.WindowProc();
        Form.SetWindowProc([this, Previous, Name](TMessage& M) {
            if (M.Msg >= WM_BEFORECHANGESKINDATA && M.Msg <= WM_AFTERCHANGESKINDATA)
                Log.push_back({Name, M.Msg, std::uintptr_t(M.WParam), std::intptr_t(M.LParam)});
            Previous(M);
        });
    }
    std::vector<TLogged> Expected(const std::vector<std::string>& Order, const TbsSkinData& Data) {
        std::vector<TLogged> R;
        for (unsigned Msg : {WM_BEFORECHANGESKINDATA, WM_CHANGESKINDATA, WM_AFTERCHANGESKINDATA})
            for (const std::string& Name : Order)
                R.push_back({Name, Msg, reinterpret_cast<std::uintptr_t>(&Data), 1000});
        return R;
    }

    std::unique_ptr<TForm> A;
    std::unique_ptr<TForm> B;
    std::vector<TLogged> Log;
};

TEST_F(ScreenFormsServiceTest, TheScreensFormsHearEachChangeInTheOrderTheyWereMade) {
    EXPECT_EQ(SkinFormsService(), &ScreenFormsService());
    TbsSkinData Data(nullptr);
    Data.ClearSkin();
    EXPECT_EQ(Log, Expected({"A", "B"}, Data));
}

// The form-skinning layer names its layered border strips; they hear of a change from the form they border.
TEST_F(ScreenFormsServiceTest, TheLayeredBorderStripsTheFormsLayerNamesHearNothing) {
    ScreenFormsService().LayeredBorderStripTest = [this](TComponent* Form) { return Form == A.get(); };
    TbsSkinData Data(nullptr);
    Data.ClearSkin();
    ScreenFormsService().LayeredBorderStripTest = nullptr;
    EXPECT_EQ(Log, Expected({"B"}, Data));
}

TEST_F(ScreenFormsServiceTest, TheOwnerFormHearsFirstOnlyWithoutLayeredBorders) {
    auto* Data = new TbsSkinData(B.get()); // owned and freed by B
    Data->ClearSkin();
    EXPECT_EQ(Log, Expected({"A", "B"}, *Data));

    Log.clear();
    Data->SetShowLayeredBorders(false);
    Data->ClearSkin();
    std::vector<TLogged> Want;
    for (unsigned Msg : {WM_BEFORECHANGESKINDATA, WM_CHANGESKINDATA, WM_AFTERCHANGESKINDATA})
        for (const char* Name : {"B", "A"})
            Want.push_back({Name, Msg, reinterpret_cast<std::uintptr_t>(Data), 1000});
    EXPECT_EQ(Log, Want);
}

TEST_F(ScreenFormsServiceTest, AFreedFormIsNoLongerTold) {
    B.reset();
    TbsSkinData Data(nullptr);
    Data.ClearSkin();
    EXPECT_EQ(Log, Expected({"A"}, Data));
}

} // namespace
