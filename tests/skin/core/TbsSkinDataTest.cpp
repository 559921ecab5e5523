#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "skin/core/TbsSkinData.h"

namespace {

// Forms that log what they hear, in place of the window layer.
class TLoggingForm : public TComponent {
public:
    using TComponent::TComponent;
};

class TbsFormLayerWindow : public TComponent {
public:
    using TComponent::TComponent;
};

struct TLogEntry {
    const TComponent* Form;
    unsigned Msg;
    friend bool operator==(const TLogEntry&, const TLogEntry&) = default;
};

class TLoggingService : public TbsSkinFormsService {
public:
    bool IsForm(TComponent* C) const override { return dynamic_cast<TLoggingForm*>(C) != nullptr; }
    std::vector<TComponent*> Forms() const override { return FForms; }
    void Send(TComponent* Form, unsigned Msg, std::uintptr_t, std::intptr_t LParam) override {
        EXPECT_EQ(LParam, 1000);
        Log.push_back({Form, Msg});
    }
    std::vector<TComponent*> FForms;
    std::vector<TLogEntry> Log;
};

struct TServiceScope {
    explicit TServiceScope(TLoggingService& S) { SetSkinFormsService(&S); }
    ~TServiceScope() { SetSkinFormsService(nullptr); }
};

} // namespace

TEST(TbsSkinData, BroadcastOrder) {
    TLoggingService Service;
    TServiceScope Scope(Service);
    TLoggingForm A(nullptr), B(nullptr), C(nullptr);
    TbsFormLayerWindow Layer(nullptr);
    Service.FForms = {&A, &Layer, &B, &C};
    std::unique_ptr<TbsSkinData> Data(new TbsSkinData(&B));

    Data->ClearSkin();
    EXPECT_EQ(Service.Log, (std::vector<TLogEntry>{{&A, 1225}, {&B, 1225}, {&C, 1225}, {&A, 1226}, {&B, 1226},
                                                   {&C, 1226}, {&A, 1227}, {&B, 1227}, {&C, 1227}}));
    Service.Log.clear();
    Data->LayerFrame->PictureIndex = 2;
    Data->SendSkinDataMessage(1226);
    EXPECT_EQ(Service.Log, (std::vector<TLogEntry>{{&C, 1226}, {&B, 1226}, {&A, 1226}}));
    Service.Log.clear();
    Data->SetShowLayeredBorders(false); // the owner form first, once
    EXPECT_EQ(Service.Log, (std::vector<TLogEntry>{{&B, 1427}, {&A, 1427}, {&C, 1427}}));
    Service.Log.clear();
    Data->SetShowLayeredBorders(false);
    EXPECT_TRUE(Service.Log.empty());
    Data->SetResourceStrData(nullptr);
    Data->SetResourceStrData(nullptr);
    EXPECT_EQ(Service.Log.size(), 6u);
}

TEST(TbsSkinData, LookupsAndClearing) {
    TbsSkinData Data(nullptr);
    Data.CtrlList.emplace_back(new TbsDataSkinButtonControl(u"button"));
    Data.CtrlList.emplace_back(new TbsDataSkinButtonControl(u"button"));
    EXPECT_EQ(Data.GetControlIndex(u"Button"), -1);
    EXPECT_EQ(Data.GetControlIndex(u"button"), 0);
    EXPECT_EQ(Data.GetIndex(u"button"), -1);
    Data.ClearSkin();
    EXPECT_TRUE(Data.CtrlList.empty());
    EXPECT_EQ(static_cast<std::uint32_t>(Data.FSkinColors->FcBtnFace), 0xFF00000Fu);
    EXPECT_EQ(Data.LayerFrame->PictureIndex, -1);
    String Name, Kind;
    TbsSkinData::SplitObjectEntry(u"a:b:c", Name, Kind);
    EXPECT_EQ(Name, u"a");
    EXPECT_EQ(Kind, u"b:c");
    TbsSkinData::SplitObjectEntry(u"plain", Name, Kind);
    EXPECT_TRUE(Name.empty() && Kind.empty());
}

TEST(TbsSkinData, SkinIndexWithoutAndWithAList) {
    TbsSkinData Data(nullptr);
    Data.SetSkinIndex(5);
    EXPECT_EQ(Data.SkinIndex(), 5);
    TbsCompressedSkinList List(nullptr);
    List.Skins()->Add();
    Data.SetSkinIndex(0);
    Data.SetSkinList(&List);
    Data.SetSkinIndex(3);
    EXPECT_EQ(Data.SkinIndex(), 0);
}
