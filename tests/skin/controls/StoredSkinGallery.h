// The galleries' fixture: a shown form whose skin data holds the program's stored skin GetParam(), or no skin
// (the default look) for -1.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "platform/ui/Forms.h"
#include "resources/StoredSkins.h"
#include "skin/core/TbsCompressedStoredSkin.h"
#include "skin/core/TbsSkinData.h"
#include "tests/platform/ui/UiTestSupport.h"

namespace ctltest {

class StoredSkinGallery : public uitest::UiTest, public ::testing::WithParamInterface<int> {
protected:
    StoredSkinGallery(int FormWidth, int FormHeight) : FFormWidth(FormWidth), FFormHeight(FormHeight) {}
    void SetUp() override {
        uitest::UiTest::SetUp();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(50, 50, FFormWidth, FFormHeight);
        Form->SetColor(TColor(0xE0E0E0));
        Form->Show();
        Skin = new TbsSkinData(Form.get());
        if (GetParam() >= 0) {
            List = std::make_unique<TbsCompressedSkinList>(nullptr);
            for (int I = 0; I < StoredSkinCount(); ++I) {
                auto* Item = static_cast<TbsSkinListItem*>(List->Skins()->Add());
                Item->SetName(StoredSkin(I).Name);
                TMemoryStream Bytes;
                Bytes.WriteBuffer(StoredSkin(I).Data, static_cast<std::int64_t>(StoredSkin(I).Size));
                Item->Skin()->LoadFromCompressStream(&Bytes);
            }
            Skin->SetSkinList(List.get());
            Skin->SetSkinIndex(GetParam());
            ASSERT_FALSE(Skin->Empty);
        }
    }
    void TearDown() override {
        if (Skin)
            Skin->SetSkinList(nullptr);
        Form.reset();
        List.reset();
        uitest::UiTest::TearDown();
    }

    std::unique_ptr<TForm> Form;
    TbsSkinData* Skin = nullptr;
    std::unique_ptr<TbsCompressedSkinList> List;

private:
    int FFormWidth;
    int FFormHeight;
};

} // namespace ctltest
