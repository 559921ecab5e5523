// The layer-frame test skin (tests/fixtures/skins/layerframe) with its pictures drawn into a temporary folder, and
// the fixture of a shown skinned form (at (100, 100), 300 x 200) that takes it; a recorder of the opacities the
// form's window is given.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <vector>

#include "skin/core/bsUtils.h"
#include "skin/forms/TbsFormLayerBorder.h"
#include "tests/skin/forms/SkinFormFixture.h"
#include "tests/support/TempDir.h"

namespace formtest {

// Colours of the layer pictures (0x00BBGGRR) and their opacity from the mask.
constexpr TColor cLayerTop = 0x2020C0, cLayerBottom = 0xC02020, cLayerLeft = 0x20C020, cLayerRight = 0x20C0C0;
constexpr TColor cLayerMark = 0xFFFFFF; // the top picture's column at x 40, in its stretched middle
constexpr TColor cLayerInactive = 0x606060;
constexpr BYTE LayerMaskGrey = 192;
constexpr TColor cFormFrame = 0x603010, cFormClient = 0xD0E0F0;

inline std::filesystem::path LayerSkinFolder() {
    return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "fixtures" / "skins" /
           "layerframe";
}

inline void FillRect24(TBitmap& B, const TRect& R, TColor C) {
    B.Canvas()->Brush()->SetStyle(bsSolid);
    B.Canvas()->Brush()->SetColor(C);
    B.Canvas()->FillRect(R);
}

inline String MakeLayerSkin(const TTempDir& Dir) {
    std::filesystem::copy_file(LayerSkinFolder() / "skin.ini", Dir.Folder() / "skin.ini",
                               std::filesystem::copy_options::overwrite_existing);
    auto Save = [&Dir](TBitmap& B, const char* Name) { B.SaveToFile(Dir.File(Name)); };
    TBitmap Form;
    Form.SetPixelFormat(pf24bit);
    Form.SetSize(60, 50);
    FillRect24(Form, Rect(0, 0, 60, 50), cFormFrame);
    FillRect24(Form, Rect(4, 20, 56, 46), cFormClient);
    Save(Form, "form.bmp");

    TBitmap Layer;
    Layer.SetPixelFormat(pf24bit);
    Layer.SetSize(80, 70);
    FillRect24(Layer, Rect(0, 0, 80, 70), clBlack);
    FillRect24(Layer, Rect(0, 0, 80, 10), cLayerTop);
    FillRect24(Layer, Rect(40, 0, 41, 10), cLayerMark);
    FillRect24(Layer, Rect(0, 60, 80, 70), cLayerBottom);
    FillRect24(Layer, Rect(0, 10, 10, 60), cLayerLeft);
    FillRect24(Layer, Rect(70, 10, 80, 60), cLayerRight);
    Save(Layer, "layer.bmp");

    TBitmap Mask;
    Mask.SetPixelFormat(pf24bit);
    Mask.SetSize(80, 70);
    FillRect24(Mask, Rect(0, 0, 80, 70), TColor(RGB(LayerMaskGrey, LayerMaskGrey, LayerMaskGrey)));
    FillRect24(Mask, Rect(10, 10, 70, 60), clBlack);
    Save(Mask, "layermask.bmp");

    TBitmap Inactive;
    Inactive.SetPixelFormat(pf24bit);
    Inactive.SetSize(80, 70);
    FillRect24(Inactive, Rect(0, 0, 80, 70), cLayerInactive);
    Save(Inactive, "layerinactive.bmp");
    return Dir.File("skin.ini");
}

// The opacities given to one window through the window manager's constant-alpha entry, in order.
class TAlphaRecorder {
public:
    TAlphaRecorder() {
        Self() = this;
        UserEntries().SetLayeredWindowAttributes = &Record;
    }
    ~TAlphaRecorder() {
        Self() = nullptr;
        BindUserEntries();
    }
    HWND Watched = nullptr;
    std::vector<int> Alphas;

private:
    static TAlphaRecorder*& Self() {
        static TAlphaRecorder* R = nullptr;
        return R;
    }
    static BOOL Record(HWND H, COLORREF Key, BYTE Alpha, DWORD Flags) {
        if (Self() && H == Self()->Watched)
            Self()->Alphas.push_back(Alpha);
        return SetLayeredWindowAttributes(H, Key, Alpha, Flags);
    }
};

// The constant opacities the strip windows are given with their pictures, in order, by the strip they show.
class TLayerRecorder {
public:
    struct TEntry {
        TbsFormLayerBorderType Type;
        int Alpha;
    };
    TLayerRecorder() {
        Self() = this;
        UserEntries().UpdateLayeredWindow = &Record;
    }
    ~TLayerRecorder() {
        Self() = nullptr;
        BindUserEntries();
    }
    std::vector<int> AlphasOf(TbsFormLayerBorderType T) const {
        std::vector<int> R;
        for (const TEntry& E : Entries)
            if (E.Type == T)
                R.push_back(E.Alpha);
        return R;
    }
    std::vector<TEntry> Entries;
    // Called after each picture a strip is given.
    std::function<void(const TEntry&)> OnApplied;

private:
    static TLayerRecorder*& Self() {
        static TLayerRecorder* R = nullptr;
        return R;
    }
    static BOOL Record(HWND H, HDC Dst, POINT* DstPt, SIZE* Size, HDC Src, POINT* SrcPt, COLORREF Key,
                       BLENDFUNCTION* Blend, DWORD Flags) {
        BOOL Done = UpdateLayeredWindow(H, Dst, DstPt, Size, Src, SrcPt, Key, Blend, Flags);
        if (auto* W = dynamic_cast<TbsFormLayerWindow*>(TWinControl::FindControl(H)); W && Self() && Blend) {
            Self()->Entries.push_back({W->BorderType, Blend->SourceConstantAlpha});
            if (Self()->OnApplied)
                Self()->OnApplied(Self()->Entries.back());
        }
        return Done;
    }
};

class LayerFrameTest : public SkinFormTest {
protected:
    void SetUp() override {
        SkinFormTest::SetUp();
        SD = new TbsSkinData(Form.get());
        SD->LoadFromFile(MakeLayerSkin(Dir));
        ASSERT_FALSE(SD->Empty);
        ASSERT_EQ(SD->LayerFrame->PictureIndex, 0);
    }
    void TearDown() override {
        BindUserEntries();
        SkinFormTest::TearDown();
    }
    // The form takes the skin, and its border shows.
    void Apply() {
        Skin->SetSkinData(SD);
        Pump();
    }
    TbsFormLayerBorder* Border() const { return Skin->FBorderLayer; }
    TbsFormLayerWindow* Strip(TbsFormLayerBorderType T) const { return Border()->Window(T); }
    bool Layered() const { return GetWindowLongW(Form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED; }
    // The number of strip windows among the top-level windows.
    static int StripWindows() {
        int N = 0;
        EnumWindows(
            [](HWND H, LPARAM P) {
                if (auto* C = TWinControl::FindControl(H); C && C->ClassNameIs(u"TbsFormLayerWindow"))
                    ++*reinterpret_cast<int*>(P);
                return TRUE;
            },
            LPARAM(&N));
        return N;
    }

    TTempDir Dir;
    TbsSkinData* SD = nullptr;
};

} // namespace formtest
