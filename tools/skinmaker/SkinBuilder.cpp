#include "tools/skinmaker/SkinBuilder.h"

#include <functional>
#include <memory>

namespace skinmaker {
namespace {

enum class TState { Normal, Hot, Down, Disabled, Focused };

constexpr int SheetWidth = 512;
constexpr TColor KeyColor = 0xFF00FF; // magenta: the transparent colour of marker and grip images
constexpr int FormW = 240, FormH = 120, CaptionH = 28, Border = 5;

TRect Inset(const TRect& R, int D) {
    return {R.Left + D, R.Top + D, R.Right - D, R.Bottom - D};
}

// The pictures of one skin: the control sheet is laid out first (every record takes its rectangles at once) and
// painted when its height is known.
class TBuilder {
public:
    TBuilder(const TMaterial& AM, TbsSkinData& AD) : M(AM), D(AD) {}

    void Build() {
        D.SkinName = M.Name;
        D.SkinAuthor = u"Quorvane";
        D.AuthorEmail = u"skins@quorvane.invalid";
        D.AuthorURL = u"https://quorvane.invalid";
        D.SkinComments = u"One of the skins drawn by the Quorvane skin maker";
        Colours();
        Form();
        PopupAndHint();
        Buttons();
        Panels();
        Checks();
        Labels();
        ScrollBars();
        Tabs();
        Sliders();
        Edits();
        Lists();
        MenuBar();
        Menus();
        CaptionButtons();

        TPainter Sheet(SheetWidth, FY + FRowH + 2, M.Panel);
        for (auto& Job : FJobs)
            Job(Sheet);
        D.FActivePictures.insert(D.FActivePictures.begin(), Sheet.ToBitmap());
        D.FActivePicturesNames->Insert(0, u"controls.bmp");
    }

private:
    // --- Layout of the control sheet (picture 0) ---
    TRect Alloc(int W, int H, std::function<void(TPainter&, const TRect&)> Paint) {
        if (FX + W > SheetWidth - 2) {
            FX = 2;
            FY += FRowH + 2;
            FRowH = 0;
        }
        const TRect R{FX, FY, FX + W, FY + H};
        FX += W + 2;
        FRowH = std::max(FRowH, H);
        FJobs.push_back([R, Paint](TPainter& P) { Paint(P, R); });
        return R;
    }

    template <class T> T* Ctrl(const String& Name) {
        auto P = std::make_unique<T>(Name);
        T* Raw = P.get();
        Raw->PictureIndex = 0;
        D.CtrlList.push_back(std::move(P));
        return Raw;
    }
    template <class T> T* Obj(const String& Name) {
        auto P = std::make_unique<T>(Name);
        T* Raw = P.get();
        Raw->ActivePictureIndex = 0;
        D.ObjectList.push_back(std::move(P));
        return Raw;
    }
    // Corners of the given sizes; edges and middle stretched.
    static void NinePart(TbsDataSkinCustomControl* C, const TRect& R, int L, int T, int Rt, int B) {
        const int W = R.Width(), H = R.Height();
        C->SkinRect = R;
        C->LTPoint = {L, T};
        C->RTPoint = {W - Rt, T};
        C->LBPoint = {L, H - B};
        C->RBPoint = {W - Rt, H - B};
        C->ClRect = {L, T, W - Rt, H - B};
        C->StretchEffect = true;
        C->StretchType = bsstFull;
        C->LeftStretch = C->TopStretch = C->RightStretch = C->BottomStretch = true;
    }
    // Lighter by T on a light skin; on a dark one only a little, so light text stays readable.
    TRgb Light(TRgb C, float T) const { return Luma(M.Panel) < 0.4f ? Lighter(C, T * 0.25f) : Lighter(C, T); }
    TRgb Disabled(TRgb C) const { return Grey(Mix(C, M.Panel, 0.55f), 0.5f); }
    TRgb DisabledText() const { return Mix(M.PanelText, M.Panel, 0.55f); }

    // --- Surfaces ---
    TRgb StateColour(TState S, TRgb Base) const {
        switch (S) {
        case TState::Hot:
            return Lighter(Mix(Base, M.Accent, 0.35f), 0.12f);
        case TState::Down:
            return Darker(Mix(Base, M.Accent, 0.55f), 0.12f);
        case TState::Disabled:
            return Disabled(Base);
        default:
            return Base;
        }
    }
    // A glassy rounded face over the panel colour.
    void Face(TPainter& P, const TRect& R, TState S, TRgb Base, float Rad, TRgb Under) const {
        P.Fill(R, Under);
        const TRgb C = StateColour(S, Base);
        const bool Down = S == TState::Down;
        const TRgb Top = Down ? Darker(C, 0.10f) : Lighter(C, 0.40f);
        const TRgb Bottom = Down ? Lighter(C, 0.18f) : Darker(C, 0.10f);
        const TRect In = Inset(R, 1);
        P.RoundRect(In, Rad - 1, [&](float, float V, int, int) {
            return V < 0.5f ? Mix(Top, C, V * 2) : Mix(C, Bottom, (V - 0.5f) * 2);
        });
        P.Noise(In, M.Noise * 0.6f, M.Seed + 11);
        if (!Down && S != TState::Disabled && M.Gloss > 0) {
            const TRect Gl{In.Left, In.Top, In.Right, In.Top + In.Height() / 2};
            P.RoundRect(Gl, std::min(Rad - 1, Gl.Height() / 2.f), [&](float, float V, int X, int Y) {
                return Mix(P.At(X, Y), {1, 1, 1}, M.Gloss * (1 - V) * 0.9f + 0.04f);
            });
        }
        P.RoundFrame(In, Rad - 1, {1, 1, 1}, Down ? 0.12f : 0.45f);
        if (S == TState::Focused || S == TState::Hot)
            P.RoundFrame(In, Rad - 1, Lighter(M.Accent, 0.2f), S == TState::Focused ? 0.9f : 0.45f);
        P.RoundFrame(R, Rad, Darker(C, S == TState::Disabled ? 0.25f : 0.48f));
    }
    void ButtonFace(TPainter& P, const TRect& R, TState S) const { Face(P, R, S, M.Face, M.Radius, M.Panel); }
    // A sunken field: edits, lists, combo boxes.
    void Field(TPainter& P, const TRect& R, bool Active, TRgb Fill) const {
        P.Fill(R, M.Panel);
        P.RoundRect(R, 2.5f, Active ? Darker(M.Accent, 0.1f) : Darker(M.Panel, 0.38f));
        P.RoundRect(Inset(R, 1), 1.5f,
                    [&](float, float V, int, int) { return Mix(Darker(Fill, 0.06f), Fill, std::min(1.f, V * 6)); });
        if (Active)
            P.RoundFrame(Inset(R, 1), 1.5f, M.Accent, 0.35f);
    }
    // A flat raised panel.
    void PanelFace(TPainter& P, const TRect& R, TRgb Fill) const {
        P.Fill(R, Fill);
        P.Noise(R, M.Noise * 0.5f, M.Seed + 3);
        P.RoundFrame(Inset(R, 1), 2, Lighter(Fill, 0.7f), 0.7f);
        P.RoundFrame(R, 3, Darker(Fill, 0.22f));
    }
    // The selection bar of lists and menus.
    void Selection(TPainter& P, const TRect& R, TRgb Under, bool Strong) const {
        P.Fill(R, Under);
        const TRgb A = Strong ? M.Accent : Mix(M.Accent, Under, 0.25f);
        P.RoundRect(R, 3, [&](float, float V, int, int) { return Mix(Lighter(A, 0.25f), Darker(A, 0.08f), V); });
        const TRect Gl{R.Left + 1, R.Top + 1, R.Right - 1, R.Top + R.Height() / 2};
        P.RoundRect(Gl, 2, {1, 1, 1}, M.Gloss * 0.6f);
        P.RoundFrame(R, 3, Darker(A, 0.3f), 0.8f);
    }
    // The pattern of a surface that is stretched when drawn: specks would smear into streaks there.
    TRgb BarPattern(TRgb C, int X, int Y, float Strength) const {
        return M.Pattern == TPattern::Stars || M.Pattern == TPattern::Dust ? C : Pattern(C, X, Y, Strength);
    }
    // The surface pattern of frames and bars.
    TRgb Pattern(TRgb C, int X, int Y, float Strength) const {
        switch (M.Pattern) {
        case TPattern::None:
            return C;
        case TPattern::Bands: {
            const float Band = 0.5f + 0.5f * std::sin(Y * 0.55f + std::sin(X * 0.045f) * 1.3f);
            const float Fine = 0.5f + 0.5f * std::sin(Y * 1.9f + X * 0.02f);
            return Mix(Mix(C, Rgb(246, 226, 190), 0.22f * Band * Strength), Darker(C, 0.2f), 0.12f * Fine * Strength);
        }
        case TPattern::Rings: {
            const float Dx = (X - 150) / 210.f, Dy = (Y + 40) / 46.f;
            const float Rr = std::sqrt(Dx * Dx + Dy * Dy);
            const float Ring = std::pow(std::fabs(std::sin(Rr * 38.f)), 14.f);
            return Mix(C, Lighter(C, 0.7f), 0.35f * Ring * Strength);
        }
        case TPattern::Stars: {
            const float H = Hash(X, Y, M.Seed);
            TRgb R = Mix(C, Rgb(120, 60, 170), 0.18f * Strength * (0.5f + 0.5f * std::sin(X * 0.03f + Y * 0.11f)));
            if (H > 0.985f)
                R = Mix(R, {1, 1, 1}, (0.35f + 0.65f * Hash(Y, X, M.Seed + 1)) * Strength);
            return R;
        }
        case TPattern::Waves:
            return Mix(C, Lighter(M.Accent, 0.5f), 0.16f * Strength * (0.5f + 0.5f * std::sin((X + Y * 2.5f) * 0.07f)));
        case TPattern::Dust: {
            const float H = Hash(X, Y, M.Seed + 7);
            return H > 0.93f
                       ? Mix(C, M.Pattern == TPattern::Dust && M.DarkText ? Rgb(255, 255, 255) : Lighter(C, 0.35f),
                             0.5f * Strength)
                       : C;
        }
        case TPattern::Brushed: {
            const float N = Hash(0, Y, M.Seed) * 0.6f + Hash(X / 9, Y, M.Seed + 5) * 0.4f;
            return Mix(C, N > 0.5f ? Rgb(255, 255, 255) : Rgb(0, 0, 0), std::fabs(N - 0.5f) * 0.22f * Strength);
        }
        }
        return C;
    }
    // The caption band at row Y (0 .. CaptionH), without pattern: the backdrop of the caption buttons.
    TRgb Band(TRgb Frame, int Y) const {
        const float V = Y / float(CaptionH);
        const TRgb Top = Lighter(Frame, 0.34f), Mid = Frame, Bottom = Darker(Frame, 0.12f);
        TRgb C = V < 0.5f ? Mix(Top, Mid, V * 2) : Mix(Mid, Bottom, (V - 0.5f) * 2);
        if (V < 0.5f)
            C = Mix(C, {1, 1, 1}, M.Gloss * 0.35f * (1 - V * 2));
        return C;
    }

    // --- The form ---
    void PaintFrame(TPainter& P, TRgb Frame) const {
        const TRect All{0, 0, FormW, FormH};
        const TRect Client{Border, CaptionH, FormW - Border, FormH - Border};
        P.RoundRect(All, 8, [&](float, float, int X, int Y) {
            if (Y < CaptionH)
                return Pattern(Band(Frame, Y), X, Y, 1);
            const float V = float(X < FormW / 2 ? X : FormW - 1 - X) / Border;
            return BarPattern(Mix(Darker(Frame, 0.05f), Frame, std::min(1.f, V)), X, Y, 0.6f);
        });
        P.Noise(All, M.Noise, M.Seed + 1);
        // The client part: the panel colour, a touch lighter at the top.
        P.Shade(Client,
                [&](float, float V, int, int) { return Mix(Light(M.Panel, 0.25f), M.Panel, std::min(1.f, V * 3)); });
        P.Noise(Client, M.Noise * 0.35f, M.Seed + 2);
        P.Fill({Client.Left - 1, Client.Top - 1, Client.Right + 1, Client.Top}, Darker(Frame, 0.35f));
        P.Fill({Client.Left - 1, Client.Top, Client.Left, Client.Bottom + 1}, Darker(Frame, 0.25f));
        P.Fill({Client.Right, Client.Top, Client.Right + 1, Client.Bottom + 1}, Darker(Frame, 0.25f));
        P.Fill({Client.Left - 1, Client.Bottom, Client.Right + 1, Client.Bottom + 1}, Darker(Frame, 0.25f));
        P.RoundFrame(Inset(All, 1), 7, Lighter(Frame, 0.5f), 0.45f);
        P.RoundFrame(All, 8, Darker(Frame, 0.55f));
    }
    TRgb InactiveFrame() const { return Grey(Mix(M.Frame, M.Panel, 0.35f), 0.55f); }

    void Form() {
        TPainter Active(FormW, FormH, M.Panel), Inactive(FormW, FormH, M.Panel), Mask(FormW, FormH, {1, 1, 1});
        PaintFrame(Active, M.Frame);
        PaintFrame(Inactive, InactiveFrame());
        const TRect All{0, 0, FormW, FormH};
        for (int Y = 0; Y < FormH; ++Y)
            for (int X = 0; X < FormW; ++X)
                if (TPainter::Coverage(All, 8, X, Y) >= 0.5f)
                    Mask.Put(X, Y, {0, 0, 0});
        D.FPicture = Active.ToBitmap();
        D.FInActivePicture = Inactive.ToBitmap();
        D.FMask = Mask.ToBitmap();
        D.FPictureName = u"form.bmp";
        D.FInActivePictureName = u"forminactive.bmp";
        D.FMaskName = u"mask.bmp";
        D.LTPoint = {40, CaptionH};
        D.RTPoint = {200, CaptionH};
        D.LBPoint = {40, FormH - Border};
        D.RBPoint = {200, FormH - Border};
        D.ClRect = {Border, CaptionH, FormW - Border, FormH - Border};
        D.CaptionRect = {8, 4, FormW - 8, 24};
        D.ButtonsRect = {};
        D.ButtonsOffset = 2;
        D.BorderW = Border;
        D.HitTestLTPoint = {10, 10};
        D.HitTestRTPoint = {FormW - 10, 10};
        D.HitTestLBPoint = {10, FormH - 10};
        D.HitTestRBPoint = {FormW - 10, FormH - 10};
        D.MaskRectArea = {8, 8, FormW - 8, FormH - 8};
        // Stars and dust keep their size when tiled; gradients and bands stretch without harm.
        const bool Tile = M.Pattern == TPattern::Stars || M.Pattern == TPattern::Dust;
        D.TopStretch = D.BottomStretch = !Tile;
        D.LeftStretch = D.RightStretch = true;
        D.StretchEffect = true;
        D.StretchType = bsstFull;
        D.BGPictureIndex = -1;
        D.MDIBGPictureIndex = -1;
        D.FormMinWidth = 160;

        auto* Caption = Obj<TbsDataSkinCaption>(u"caption");
        Caption->ActivePictureIndex = -1;
        Caption->SkinRect = {6, 2, FormW - 6, 26};
        Caption->TextRct = {6, 0, FormW - 24, 24};
        Caption->FontName = M.Font;
        Caption->FontHeight = 15;
        Caption->FontStyle = TFontStyles{fsBold};
        Caption->ActiveFontColor = ToColor(M.FrameText);
        Caption->FontColor = ToColor(Mix(M.FrameText, InactiveFrame(), 0.35f));
        Caption->Shadow = true;
        Caption->ActiveShadowColor = ToColor(M.DarkText ? Lighter(M.Frame, 0.6f) : Darker(M.Frame, 0.55f));
        Caption->ShadowColor = ToColor(M.DarkText ? Lighter(InactiveFrame(), 0.5f) : Darker(InactiveFrame(), 0.4f));
        Caption->Alignment = taLeftJustify;
        Caption->StretchEffect = !Tile;
    }

    void PopupAndHint() {
        const TRgb Body = Light(M.Panel, 0.55f);
        TPainter Popup(48, 48, Body);
        Popup.Fill({1, 1, 47, 47}, Body);
        Popup.Noise({1, 1, 47, 47}, M.Noise * 0.3f, M.Seed + 21);
        Popup.RoundFrame({1, 1, 47, 47}, 1, {1, 1, 1}, 0.8f);
        Popup.RoundFrame({0, 0, 48, 48}, 1, Darker(M.Frame, 0.1f));
        D.FActivePictures.push_back(Popup.ToBitmap());
        D.FActivePicturesNames->Add(u"popup.bmp");
        auto& W = *D.PopupWindow;
        W.WindowPictureIndex = 1;
        W.MaskPictureIndex = -1;
        W.LTPoint = {4, 4};
        W.RTPoint = {44, 4};
        W.LBPoint = {4, 44};
        W.RBPoint = {44, 44};
        W.ItemsRect = {3, 3, 45, 45};
        W.ScrollMarkerColor = ToColor(M.PanelText);
        W.ScrollMarkerActiveColor = ToColor(M.Accent);
        W.TopStretch = W.LeftStretch = W.RightStretch = W.BottomStretch = W.StretchEffect = true;
        W.StretchType = bsstFull;

        TPainter Hint(32, 28, M.Panel);
        const TRgb HintFill = Light(Mix(M.Face, M.Panel, 0.5f), 0.45f);
        Hint.RoundRect({0, 0, 32, 28}, 5,
                       [&](float, float V, int, int) { return Mix(Lighter(HintFill, 0.5f), HintFill, V); });
        Hint.RoundFrame({0, 0, 32, 28}, 5, Darker(M.Frame, 0.15f));
        D.FActivePictures.push_back(Hint.ToBitmap());
        D.FActivePicturesNames->Add(u"hint.bmp");
        auto& H = *D.HintWindow;
        H.WindowPictureIndex = 2;
        H.MaskPictureIndex = -1;
        H.LTPoint = {6, 6};
        H.RTPoint = {26, 6};
        H.LBPoint = {6, 22};
        H.RBPoint = {26, 22};
        H.ClRect = {5, 4, 27, 24};
        H.FontName = M.Font;
        H.FontHeight = 13;
        H.FontColor = ToColor(M.PanelText);
        H.TopStretch = H.LeftStretch = H.RightStretch = H.BottomStretch = H.StretchEffect = true;
        H.StretchType = bsstFull;
        D.LayerFrame->PictureIndex = -1;
    }

    void Colours() {
        auto& C = *D.SkinColors();
        C.FcBtnFace = ToColor(M.Panel);
        C.FcBtnText = ToColor(M.PanelText);
        C.FcWindow = ToColor(M.Window);
        C.FcWindowText = ToColor(M.WindowText);
        C.FcHighLight = ToColor(M.Accent);
        C.FcHighLightText = ToColor(M.AccentText);
        C.FcBtnHighLight = ToColor(Light(M.Panel, 0.7f));
        C.FcBtnShadow = ToColor(Darker(M.Panel, 0.3f));
    }

    // --- Buttons ---
    struct TFaces {
        TRect Normal, Hot, Down, Disabled, Focused;
    };
    TFaces Faces(int W, int H, std::function<void(TPainter&, const TRect&, TState)> Paint, bool WithFocus = false) {
        TFaces F;
        F.Normal = Alloc(W, H, [Paint](TPainter& P, const TRect& R) { Paint(P, R, TState::Normal); });
        F.Hot = Alloc(W, H, [Paint](TPainter& P, const TRect& R) { Paint(P, R, TState::Hot); });
        F.Down = Alloc(W, H, [Paint](TPainter& P, const TRect& R) { Paint(P, R, TState::Down); });
        F.Disabled = Alloc(W, H, [Paint](TPainter& P, const TRect& R) { Paint(P, R, TState::Disabled); });
        if (WithFocus)
            F.Focused = Alloc(W, H, [Paint](TPainter& P, const TRect& R) { Paint(P, R, TState::Focused); });
        return F;
    }
    template <class T> T* ButtonRecord(const String& Name, const TFaces& F, int Corner) {
        auto* B = Ctrl<T>(Name);
        NinePart(B, F.Normal, Corner, Corner, Corner, Corner);
        B->ActiveSkinRect = F.Hot;
        B->DownSkinRect = F.Down;
        B->DisabledSkinRect = F.Disabled;
        B->FocusedSkinRect = F.Focused;
        B->FontName = M.Font;
        B->FontHeight = 13;
        B->FontColor = ToColor(M.FaceText);
        B->ActiveFontColor = ToColor(M.FaceText);
        B->DownFontColor = ToColor(M.FaceText);
        B->DisabledFontColor = ToColor(DisabledText());
        B->Morphing = true;
        B->MorphKind = mkGradient;
        return B;
    }
    void Buttons() {
        const auto Std = [this](TPainter& P, const TRect& R, TState S) { ButtonFace(P, R, S); };
        auto* Button = ButtonRecord<TbsDataSkinButtonControl>(u"button", Faces(72, 26, Std, true), 6);
        Button->ShowFocus = false;

        // Tool buttons are flat until the pointer comes.
        const auto Tool = [this](TPainter& P, const TRect& R, TState S) {
            if (S == TState::Normal || S == TState::Disabled) {
                P.Fill(R, M.Panel);
                P.RoundRect(Inset(R, 1), M.Radius, Light(M.Panel, 0.35f), S == TState::Normal ? 0.5f : 0.2f);
                P.RoundFrame(Inset(R, 1), M.Radius, Darker(M.Panel, 0.12f), 0.5f);
            } else {
                Face(P, R, S, Mix(M.Face, M.Accent, 0.25f), M.Radius + 1, M.Panel);
            }
        };
        ButtonRecord<TbsDataSkinButtonControl>(u"toolbutton", Faces(40, 40, Tool), 8);
        ButtonRecord<TbsDataSkinButtonControl>(u"bigtoolbutton", Faces(64, 56, Tool), 9);
        const auto Small = [this](TPainter& P, const TRect& R, TState S) {
            Face(P, R, S, M.Face, std::min(M.Radius, 3.f), M.Panel);
        };
        ButtonRecord<TbsDataSkinButtonControl>(u"resizebutton", Faces(40, 22, Small), 4);
        ButtonRecord<TbsDataSkinButtonControl>(u"resizetoolbutton", Faces(48, 22, Small), 4);
        ButtonRecord<TbsDataSkinButtonControl>(u"htracktoolbutton", Faces(24, 15, Small), 4);
        ButtonRecord<TbsDataSkinButtonControl>(u"vtracktoolbutton", Faces(15, 24, Small), 4);
        ButtonRecord<TbsDataSkinButtonControl>(u"combobutton", Faces(17, 19, Small), 4);
        ButtonRecord<TbsDataSkinButtonControl>(u"editbutton", Faces(17, 19, Small), 4);
        ButtonRecord<TbsDataSkinButtonControl>(u"officequickbutton", Faces(22, 22, Tool), 5);
        ButtonRecord<TbsDataSkinButtonControl>(u"menuitembutton", Faces(40, 22, Small), 4);

        // Drop-down markers on the key colour: a crisp arrow of rows 7, 5, 3 and 1 pixels wide (soft edges would
        // leave a pink fringe where the key colour is cut out).
        const auto Marker = [this](TRgb C) {
            return Alloc(11, 8, [C](TPainter& P, const TRect& R) {
                P.Fill(R, {1, 0, 1});
                const int Cx = R.Left + R.Width() / 2;
                for (int Row = 0; Row < 4; ++Row)
                    for (int X = Cx - 3 + Row; X <= Cx + 3 - Row; ++X)
                        P.Put(X, R.Top + 2 + Row, C);
            });
        };
        const TRect MarkNormal = Marker(M.FaceText), MarkActive = Marker(Darker(M.Accent, 0.3f));
        const auto Menu = [&](const String& Name, const TFaces& F, int Corner) {
            auto* B = ButtonRecord<TbsDataSkinMenuButtonControl>(Name, F, Corner);
            B->TrackButtonRect = {F.Normal.Width() - 15, 0, F.Normal.Width(), F.Normal.Height()};
            B->MenuMarkerRect = B->MenuMarkerFlatRect = MarkNormal;
            B->MenuMarkerActiveRect = B->MenuMarkerDownRect = MarkActive;
            B->MenuMarkerTransparentColor = KeyColor;
        };
        const TFaces ToolFaces = Faces(52, 40, Tool), BigFaces = Faces(72, 56, Tool);
        Menu(u"toolmenubutton", ToolFaces, 8);
        Menu(u"toolmenutrackbutton", ToolFaces, 8);
        Menu(u"bigtoolmenubutton", BigFaces, 9);
        Menu(u"bigtoolmenutrackbutton", BigFaces, 9);
    }

    // --- Panels and bars ---
    void Panels() {
        const TRect CheckOn = Alloc(13, 13, [this](TPainter& P, const TRect& R) { CheckBox(P, R, false, 1); });
        const TRect CheckOff = Alloc(13, 13, [this](TPainter& P, const TRect& R) { CheckBox(P, R, false, 0); });
        const auto PanelRecord = [&](const String& Name, const TRect& R, int Corner) {
            auto* P = Ctrl<TbsDataSkinPanelControl>(Name);
            NinePart(P, R, Corner, Corner, Corner, Corner);
            P->Alignment = taCenter;
            P->FontName = M.Font;
            P->FontHeight = 13;
            P->FontColor = ToColor(M.PanelText);
            P->CheckImageRect = CheckOn;
            P->UnCheckImageRect = CheckOff;
            P->GripperTransparentColor = KeyColor;
            return P;
        };
        PanelRecord(u"panel", Alloc(48, 48, [this](TPainter& P, const TRect& R) { PanelFace(P, R, M.Panel); }), 5);

        auto* Group = PanelRecord(
            u"groupbox",
            Alloc(96, 64,
                  [this](TPainter& P, const TRect& R) {
                      P.Fill(R, M.Panel);
                      const TRect Box = Inset(R, 1);
                      P.RoundRect(Box, 5, Light(M.Panel, 0.2f));
                      const TRect Bar{Box.Left, Box.Top, Box.Right, Box.Top + 20};
                      P.RoundRect(Bar, 5, [&](float, float V, int X, int Y) {
                          const TRgb C =
                              Mix(Lighter(Mix(M.Panel, M.Frame, 0.3f), 0.3f), Mix(M.Panel, M.Frame, 0.22f), V);
                          return BarPattern(C, X, Y, 0.35f);
                      });
                      P.Fill({Box.Left + 1, Bar.Bottom - 5, Box.Right - 1, Bar.Bottom}, Mix(M.Panel, M.Frame, 0.22f));
                      P.Fill({Box.Left + 1, Bar.Bottom, Box.Right - 1, Bar.Bottom + 1},
                             Darker(Mix(M.Panel, M.Frame, 0.3f), 0.15f));
                      P.RoundFrame(Box, 5, Darker(M.Panel, 0.28f));
                  }),
            6);
        Group->LTPoint = {7, 22};
        Group->RTPoint = {89, 22};
        Group->LBPoint = {7, 57};
        Group->RBPoint = {89, 57};
        Group->ClRect = {4, 22, 92, 60};
        // From corner to corner of the top band, so the caption widens with the box.
        Group->CaptionRect = {7, 1, 89, 21};
        Group->Alignment = taLeftJustify;
        Group->FontStyle = TFontStyles{fsBold};

        const auto Bar = [this](TPainter& P, const TRect& R) {
            P.Shade(R, [&](float, float V, int X, int Y) {
                return BarPattern(Mix(Light(M.Panel, 0.45f), Mix(M.Panel, M.Frame, 0.12f), V), X, Y, 0.3f);
            });
            P.Fill({R.Left, R.Top, R.Right, R.Top + 1}, Light(M.Panel, 0.8f));
            P.Fill({R.Left, R.Bottom - 1, R.Right, R.Bottom}, Darker(M.Panel, 0.25f));
        };
        for (const char16_t* Name : {u"toolpanel", u"bigtoolpanel", u"resizetoolpanel"}) {
            auto* T = PanelRecord(Name, Alloc(64, 40, Bar), 3);
            T->LTPoint = {3, 3};
            T->RTPoint = {61, 3};
            T->LBPoint = {3, 37};
            T->RBPoint = {61, 37};
            T->ClRect = {3, 3, 61, 37};
        }
        auto* Status = PanelRecord(u"statusbar",
                                   Alloc(64, 22,
                                         [this](TPainter& P, const TRect& R) {
                                             P.Shade(R, [&](float, float V, int, int) {
                                                 return Mix(Mix(M.Panel, M.Frame, 0.1f), Light(M.Panel, 0.2f), V);
                                             });
                                             P.Fill({R.Left, R.Top, R.Right, R.Top + 1}, Darker(M.Panel, 0.3f));
                                             P.Fill({R.Left, R.Top + 1, R.Right, R.Top + 2}, Light(M.Panel, 0.6f));
                                         }),
                                   3);
        Status->LTPoint = {3, 3};
        Status->ClRect = {3, 3, 61, 20};
        Status->LBPoint = {3, 20};
    }

    // --- Check and radio boxes ---
    // Mark 0 unchecked, 1 checked, 2 grayed.
    void CheckBox(TPainter& P, const TRect& R, bool Active, int Mark, bool Enabled = true) const {
        P.Fill(R, M.Panel);
        const TRgb Fill = Enabled ? (Active ? Mix(M.Window, M.Accent, 0.12f) : M.Window) : Mix(M.Window, M.Panel, 0.6f);
        P.RoundRect(R, 2.5f, Enabled ? (Active ? M.Accent : Darker(M.Panel, 0.45f)) : Darker(M.Panel, 0.2f));
        P.RoundRect(Inset(R, 1), 1.5f,
                    [&](float, float V, int, int) { return Mix(Darker(Fill, 0.08f), Fill, std::min(1.f, V * 2)); });
        const TRgb Ink = Enabled ? Darker(M.Accent, 0.35f) : DisabledText();
        if (Mark == 1)
            P.Glyph(Inset(R, 1), TGlyph::Check, M.Pattern == TPattern::Stars ? Lighter(M.Accent, 0.3f) : Ink);
        else if (Mark == 2)
            P.Glyph(Inset(R, 2), TGlyph::Dash, Mix(Ink, Fill, 0.4f));
    }
    void RadioBox(TPainter& P, const TRect& R, bool Active, int Mark, bool Enabled = true) const {
        P.Fill(R, M.Panel);
        const float Cx = (R.Left + R.Right) / 2.f, Cy = (R.Top + R.Bottom) / 2.f, Rad = R.Width() / 2.f - 0.5f;
        const TRgb Fill = Enabled ? (Active ? Mix(M.Window, M.Accent, 0.12f) : M.Window) : Mix(M.Window, M.Panel, 0.6f);
        P.Disc(Cx, Cy, Rad, Enabled ? (Active ? M.Accent : Darker(M.Panel, 0.45f)) : Darker(M.Panel, 0.2f));
        P.Disc(Cx, Cy, Rad - 1, Fill);
        const TRgb Ink = Enabled ? M.Accent : DisabledText();
        if (Mark == 1) {
            P.Disc(Cx, Cy, Rad - 3.2f, Darker(Ink, 0.2f));
            P.Disc(Cx - 0.8f, Cy - 0.8f, 1.2f, {1, 1, 1}, 0.5f);
        } else if (Mark == 2) {
            P.Disc(Cx, Cy, Rad - 3.2f, Mix(Ink, Fill, 0.55f));
        }
    }
    void Checks() {
        for (bool Radio : {false, true}) {
            const auto Mark = [this, Radio](bool Active, int Mark, bool Enabled) {
                return Alloc(14, 14, [this, Radio, Active, Mark, Enabled](TPainter& P, const TRect& R) {
                    if (Radio)
                        RadioBox(P, R, Active, Mark, Enabled);
                    else
                        CheckBox(P, R, Active, Mark, Enabled);
                });
            };
            auto* C = Ctrl<TbsDataSkinCheckRadioControl>(Radio ? u"radiobox" : u"checkbox");
            const TRect Back = Alloc(100, 20, [this](TPainter& P, const TRect& R) { P.Fill(R, M.Panel); });
            const TRect Hot = Alloc(100, 20, [this](TPainter& P, const TRect& R) {
                P.Fill(R, M.Panel);
                P.RoundRect(R, 3, Mix(M.Panel, M.Accent, 0.12f));
            });
            NinePart(C, Back, 18, 2, 4, 2);
            C->ActiveSkinRect = Hot;
            C->CheckImageArea = {2, 3, 16, 17};
            C->TextArea = {20, 0, 98, 20};
            C->UnCheckImageRect = Mark(false, 0, true);
            C->CheckImageRect = Mark(false, 1, true);
            C->ActiveUnCheckImageRect = Mark(true, 0, true);
            C->ActiveCheckImageRect = Mark(true, 1, true);
            C->UnEnabledUnCheckImageRect = Mark(false, 0, false);
            C->UnEnabledCheckImageRect = Mark(false, 1, false);
            C->GrayedCheckImageRect = Mark(false, 2, true);
            C->ActiveGrayedCheckImageRect = Mark(true, 2, true);
            C->FontName = M.Font;
            C->FontHeight = 13;
            C->FontColor = ToColor(M.PanelText);
            C->ActiveFontColor =
                ToColor(M.DarkText || M.Pattern == TPattern::Stars ? M.PanelText : Darker(M.Accent, 0.45f));
            C->UnEnabledFontColor = ToColor(DisabledText());
            C->FrameFontColor = ToColor(M.PanelText);
            C->Morphing = true;
            C->MorphKind = mkGradient;
        }
    }

    // --- Labels, splitters, bevel ---
    void Labels() {
        auto* L = Ctrl<TbsDataSkinLabelControl>(u"label");
        NinePart(L, Alloc(32, 20, [this](TPainter& P, const TRect& R) { P.Fill(R, M.Panel); }), 2, 2, 2, 2);
        L->FontName = M.Font;
        L->FontHeight = 13;
        L->FontColor = ToColor(M.PanelText);

        auto* H = Ctrl<TbsDataSkinLabelControl>(u"menuheader");
        NinePart(H,
                 Alloc(64, 20,
                       [this](TPainter& P, const TRect& R) {
                           P.Fill(R, M.Panel);
                           P.RoundRect(R, 3, [&](float, float V, int X, int Y) {
                               return BarPattern(Mix(Lighter(M.Frame, 0.25f), Darker(M.Frame, 0.05f), V), X, Y, 0.6f);
                           });
                       }),
                 5, 2, 5, 2);
        H->FontName = M.Font;
        H->FontHeight = 13;
        H->FontStyle = TFontStyles{fsBold};
        H->FontColor = ToColor(M.FrameText);

        auto* S = Ctrl<TbsDataSkinStdLabelControl>(u"stdlabel");
        S->PictureIndex = -1;
        S->FontName = M.Font;
        S->FontHeight = 13;
        S->FontColor = ToColor(M.PanelText);
        S->ActiveFontColor = ToColor(M.Pattern == TPattern::Stars ? Lighter(M.Accent, 0.4f) : Darker(M.Accent, 0.25f));

        for (bool Horz : {true, false}) {
            auto* Sp = Ctrl<TbsDataSkinSplitterControl>(Horz ? u"hsplitter" : u"vsplitter");
            const int W = Horz ? 64 : 6, Hh = Horz ? 6 : 64;
            NinePart(Sp,
                     Alloc(W, Hh,
                           [this, Horz](TPainter& P, const TRect& R) {
                               P.Shade(R, [&](float U, float V, int, int) {
                                   const float T = Horz ? V : U;
                                   return Mix(Light(M.Panel, 0.4f), Darker(M.Panel, 0.08f), T);
                               });
                           }),
                     Horz ? 2 : 1, Horz ? 1 : 2, Horz ? 2 : 1, Horz ? 1 : 2);
            Sp->GripperRect = Alloc(Horz ? 20 : 6, Horz ? 6 : 20, [this, Horz](TPainter& P, const TRect& R) {
                P.Fill(R, Light(M.Panel, 0.15f));
                for (int I = -2; I <= 2; ++I) {
                    const float X = (R.Left + R.Right) / 2.f + (Horz ? I * 4 : 0);
                    const float Y = (R.Top + R.Bottom) / 2.f + (Horz ? 0 : I * 4);
                    P.Disc(X, Y, 1.1f, Darker(M.Panel, 0.4f));
                }
            });
            Sp->GripperTransparentColor = KeyColor;
        }

        auto* B = Ctrl<TbsDataSkinBevel>(u"bevel");
        B->PictureIndex = -1;
        B->LightColor = ToColor(Light(M.Panel, 0.7f));
        B->DarkColor = ToColor(Darker(M.Panel, 0.3f));
    }

    // --- Scroll bars ---
    void ArrowButton(TPainter& P, const TRect& R, TState S, TGlyph G) const {
        Face(P, R, S, Mix(M.Face, M.Panel, 0.3f), 3, Mix(M.Panel, M.Window, 0.4f));
        P.Glyph(R, G, S == TState::Disabled ? DisabledText() : M.FaceText);
    }
    void Track(TPainter& P, const TRect& R, bool Horz) const {
        P.Shade(R, [&](float U, float V, int, int) {
            const float T = Horz ? V : U;
            return Mix(Darker(M.Panel, 0.1f), Light(M.Panel, 0.25f), T);
        });
    }
    void Thumb(TPainter& P, const TRect& R, TState S, bool Horz) const {
        P.Fill(R, Light(M.Panel, 0.1f));
        const TRect In =
            Horz ? TRect{R.Left, R.Top + 2, R.Right, R.Bottom - 2} : TRect{R.Left + 2, R.Top, R.Right - 2, R.Bottom};
        Face(P, In, S, Mix(M.Face, M.Accent, 0.15f), 4, Light(M.Panel, 0.1f));
        P.Fill({R.Left, R.Top, R.Right, In.Top}, Light(M.Panel, 0.1f));
        P.Glyph(Inset(R, 3), Horz ? TGlyph::GripH : TGlyph::GripV, Darker(M.Face, 0.35f), 0.8f);
    }
    void ScrollBars() {
        for (bool Horz : {true, false}) {
            const int Len = 96, Th = 17;
            const TGlyph Minus = Horz ? TGlyph::Left : TGlyph::Up, Plus = Horz ? TGlyph::Right : TGlyph::Down;
            const auto Rect = [Horz](int A, int B, int C, int D) {
                return Horz ? TRect{A, B, C, D} : TRect{B, A, D, C};
            };
            const TRect Whole = Alloc(Horz ? Len : Th, Horz ? Th : Len, [=, this](TPainter& P, const TRect& R) {
                Track(P, R, Horz);
                const TRect L = Rect(0, 0, Th, Th), Rr = Rect(Len - Th, 0, Len, Th);
                ArrowButton(P, {R.Left + L.Left, R.Top + L.Top, R.Left + L.Right, R.Top + L.Bottom}, TState::Normal,
                            Minus);
                ArrowButton(P, {R.Left + Rr.Left, R.Top + Rr.Top, R.Left + Rr.Right, R.Top + Rr.Bottom}, TState::Normal,
                            Plus);
            });
            const auto State = [=, this](TState S, TGlyph G) {
                return Alloc(Th, Th, [=, this](TPainter& P, const TRect& R) { ArrowButton(P, R, S, G); });
            };
            const auto ThumbImage = [=, this](TState S) {
                return Alloc(Horz ? 30 : Th, Horz ? Th : 30,
                             [=, this](TPainter& P, const TRect& R) { Thumb(P, R, S, Horz); });
            };
            const TRect ActiveUp = State(TState::Hot, Minus), DownUp = State(TState::Down, Minus);
            const TRect ActiveDown = State(TState::Hot, Plus), DownDown = State(TState::Down, Plus);
            const TRect ThumbN = ThumbImage(TState::Normal), ThumbA = ThumbImage(TState::Hot);
            const TRect ThumbD = ThumbImage(TState::Down);
            // The both-bars variant of a list looks like the horizontal bar.
            for (const char16_t* Name : Horz ? std::vector<const char16_t*>{u"hscrollbar", u"bothhscrollbar"}
                                             : std::vector<const char16_t*>{u"vscrollbar"}) {
                auto* S = Ctrl<TbsDataSkinScrollBarControl>(Name);
                S->SkinRect = Whole;
                // The ends hold the arrow buttons; the track between them stretches.
                S->LTPoint = Horz ? TPoint{Th, 0} : TPoint{0, Th};
                S->RTPoint = Horz ? TPoint{Len - Th - 1, 0} : TPoint{Th, Th};
                S->LBPoint = Horz ? TPoint{Th, Th} : TPoint{0, Len - Th - 1};
                S->RBPoint = Horz ? TPoint{Len - Th - 1, Th} : TPoint{Th, Len - Th - 1};
                S->ClRect = Horz ? TRect{Th, 0, Len - Th - 1, Th} : TRect{0, Th, Th, Len - Th - 1};
                S->StretchEffect = true;
                S->LeftStretch = S->TopStretch = S->RightStretch = S->BottomStretch = true;
                S->TrackArea = Rect(Th, 0, Len - Th, Th);
                S->UpButtonRect = Rect(0, 0, Th, Th);
                S->DownButtonRect = Rect(Len - Th, 0, Len, Th);
                S->ActiveUpButtonRect = ActiveUp;
                S->DownUpButtonRect = DownUp;
                S->ActiveDownButtonRect = ActiveDown;
                S->DownDownButtonRect = DownDown;
                S->ThumbRect = ThumbN;
                S->ActiveThumbRect = ThumbA;
                S->DownThumbRect = ThumbD;
                S->ThumbOffset1 = S->ThumbOffset2 = 6;
                S->ThumbStretchEffect = true;
                S->ThumbMinSize = 18;
                S->GlyphTransparentColor = KeyColor;
                S->ThumbTransparentColor = KeyColor;
            }
        }
    }

    // --- Tabs ---
    void TabFace(TPainter& P, const TRect& R, int Kind) const { // 0 normal, 1 active, 2 hover
        P.Fill(R, M.Panel);
        const TRect Body{R.Left, R.Top + (Kind == 1 ? 0 : 2), R.Right, R.Bottom + 6};
        const TRgb Page = Light(M.Panel, 0.3f);
        const TRgb Top = Kind == 1   ? Lighter(Page, 0.4f)
                         : Kind == 2 ? Lighter(Mix(M.Face, M.Accent, 0.3f), 0.3f)
                                     : Lighter(M.Face, 0.15f);
        const TRgb Bottom = Kind == 1 ? Page : Kind == 2 ? Mix(M.Face, M.Accent, 0.3f) : Darker(M.Face, 0.05f);
        P.RoundRect(Body, 5, [&](float, float V, int, int) { return Mix(Top, Bottom, std::min(1.f, V * 1.4f)); });
        P.RoundFrame(Body, 5, Darker(M.Panel, 0.35f));
        if (Kind == 1)
            P.Fill({R.Left + 3, R.Top + 1, R.Right - 3, R.Top + 3}, M.Accent);
        else
            P.Fill({R.Left, R.Bottom - 1, R.Right, R.Bottom}, Darker(M.Panel, 0.35f));
    }
    void Tabs() {
        auto* T = Ctrl<TbsDataSkinTabControl>(u"tab");
        T->TabRect = Alloc(60, 22, [this](TPainter& P, const TRect& R) { TabFace(P, R, 0); });
        T->ActiveTabRect = Alloc(60, 22, [this](TPainter& P, const TRect& R) { TabFace(P, R, 1); });
        T->MouseInTabRect = Alloc(60, 22, [this](TPainter& P, const TRect& R) { TabFace(P, R, 2); });
        T->FocusTabRect = T->ActiveTabRect;
        T->TabsBGRect = Alloc(16, 22, [this](TPainter& P, const TRect& R) {
            P.Fill(R, M.Panel);
            P.Fill({R.Left, R.Bottom - 1, R.Right, R.Bottom}, Darker(M.Panel, 0.35f));
        });
        T->SkinRect = Alloc(64, 48, [this](TPainter& P, const TRect& R) {
            const TRgb Page = Light(M.Panel, 0.3f);
            P.Fill(R, Page);
            P.Noise(R, M.Noise * 0.3f, M.Seed + 31);
            P.Fill({R.Left, R.Top, R.Right, R.Top + 1}, Darker(M.Panel, 0.35f));
            P.Fill({R.Left, R.Top, R.Left + 1, R.Bottom}, Darker(M.Panel, 0.35f));
            P.Fill({R.Right - 1, R.Top, R.Right, R.Bottom}, Darker(M.Panel, 0.35f));
            P.Fill({R.Left, R.Bottom - 1, R.Right, R.Bottom}, Darker(M.Panel, 0.35f));
            P.Fill({R.Left + 1, R.Top + 1, R.Right - 1, R.Top + 2}, Lighter(Page, 0.6f));
        });
        T->LTPoint = {4, 4};
        T->RTPoint = {60, 4};
        T->LBPoint = {4, 44};
        T->RBPoint = {60, 44};
        T->ClRect = {2, 2, 62, 46};
        T->TabLeftOffset = T->TabRightOffset = 6;
        T->TabStretchEffect = true;
        T->StretchEffect = true;
        T->LeftStretch = T->TopStretch = T->RightStretch = T->BottomStretch = true;
        T->FontName = M.Font;
        T->FontHeight = 13;
        T->FontColor = ToColor(M.FaceText);
        T->ActiveFontColor = ToColor(M.PanelText);
        T->FocusFontColor = ToColor(M.PanelText);
        T->MouseInFontColor = ToColor(M.FaceText);
        T->UpDown = u"hupdown";
        T->ButtonTransparentColor = KeyColor;
    }

    // --- Slider and up-down ---
    void Sliders() {
        auto* S = Ctrl<TbsDataSkinSlider>(u"slider");
        const auto Ruler = [this](TPainter& P, const TRect& R) {
            P.Fill(R, M.Panel);
            P.RoundRect(R, 2.5f, Darker(M.Panel, 0.4f));
            P.RoundRect(Inset(R, 1), 1.5f, [&](float U, float V, int, int) {
                return Mix(Darker(M.Accent, 0.2f), Lighter(M.Accent, 0.3f), R.Width() > R.Height() ? V : U);
            });
        };
        S->HRulerRect = Alloc(64, 6, Ruler);
        S->VRulerRect = Alloc(6, 64, Ruler);
        S->HThumbRect = Alloc(12, 18, [this](TPainter& P, const TRect& R) {
            Face(P, R, TState::Normal, M.Face, 4, M.Panel);
            P.Glyph(Inset(R, 2), TGlyph::GripH, Darker(M.Face, 0.4f), 0.7f);
        });
        S->VThumbRect = Alloc(18, 12, [this](TPainter& P, const TRect& R) {
            Face(P, R, TState::Normal, M.Face, 4, M.Panel);
            P.Glyph(Inset(R, 2), TGlyph::GripV, Darker(M.Face, 0.4f), 0.7f);
        });
        S->SkinRect = S->HRulerRect;
        S->EdgeSize = 3;
        S->BGColor = ToColor(M.Panel);
        S->PointsColor = ToColor(Darker(M.Panel, 0.45f));

        for (bool Horz : {true, false}) {
            const TGlyph Up = Horz ? TGlyph::Right : TGlyph::Up, Down = Horz ? TGlyph::Left : TGlyph::Down;
            auto* U = Ctrl<TbsDataSkinUpDownControl>(Horz ? u"hupdown" : u"vupdown");
            U->SkinRect = Alloc(Horz ? 34 : 17, Horz ? 17 : 34, [=, this](TPainter& P, const TRect& R) {
                const TRect A =
                    Horz ? TRect{R.Left + 17, R.Top, R.Right, R.Bottom} : TRect{R.Left, R.Top, R.Right, R.Top + 17};
                const TRect B =
                    Horz ? TRect{R.Left, R.Top, R.Left + 17, R.Bottom} : TRect{R.Left, R.Top + 17, R.Right, R.Bottom};
                ArrowButton(P, A, TState::Normal, Up);
                ArrowButton(P, B, TState::Normal, Down);
            });
            // The normal places are the control's own; the state images lie in the picture.
            U->UpButtonRect = Horz ? TRect{17, 0, 34, 17} : TRect{0, 0, 17, 17};
            U->DownButtonRect = Horz ? TRect{0, 0, 17, 17} : TRect{0, 17, 17, 34};
            const auto State = [=, this](TState S, TGlyph G) {
                return Alloc(17, 17, [=, this](TPainter& P, const TRect& R) { ArrowButton(P, R, S, G); });
            };
            U->ActiveUpButtonRect = State(TState::Hot, Up);
            U->DownUpButtonRect = State(TState::Down, Up);
            U->ActiveDownButtonRect = State(TState::Hot, Down);
            U->DownDownButtonRect = State(TState::Down, Down);
        }
    }

    // --- Edits ---
    template <class T> T* EditRecord(const String& Name, int W, int H) {
        auto* E = Ctrl<T>(Name);
        NinePart(E, Alloc(W, H, [this](TPainter& P, const TRect& R) { Field(P, R, false, M.Window); }), 3, 3, 3, 3);
        E->ActiveSkinRect = Alloc(W, H, [this](TPainter& P, const TRect& R) { Field(P, R, true, M.Window); });
        E->FontName = M.Font;
        E->FontHeight = 13;
        E->FontColor = ToColor(M.WindowText);
        E->ActiveFontColor = ToColor(M.WindowText);
        E->DisabledFontColor = ToColor(Mix(M.WindowText, M.Window, 0.55f));
        return E;
    }
    void Edits() {
        EditRecord<TbsDataSkinEditControl>(u"edit", 64, 21);
        auto* Memo = EditRecord<TbsDataSkinMemoControl>(u"memo", 64, 48);
        Memo->BGColor = ToColor(M.Window);
        Memo->ActiveBGColor = ToColor(Mix(M.Window, M.Accent, 0.04f));

        // An edit with a button inside its right end.
        auto* BE = Ctrl<TbsDataSkinEditControl>(u"buttonedit");
        FieldWithButton(BE, 84, TGlyph::Ellipsis);
        BE->FontName = M.Font;
        BE->FontHeight = 13;
        BE->FontColor = BE->ActiveFontColor = ToColor(M.WindowText);
        BE->DisabledFontColor = ToColor(Mix(M.WindowText, M.Window, 0.55f));
    }

    // A field Width x 21 with a 17-pixel button inside its right end, in its normal, active, hot, pressed
    // and disabled looks: the button edit's and the combo box's records.
    template <class TRecord> void FieldWithButton(TRecord* C, int Width, TGlyph Glyph) {
        const auto Whole = [this, Glyph](bool Active) {
            return [this, Active, Glyph](TPainter& P, const TRect& R) {
                Field(P, R, Active, M.Window);
                ArrowButton(P, {R.Right - 19, R.Top + 2, R.Right - 2, R.Bottom - 2}, TState::Normal, Glyph);
            };
        };
        NinePart(C, Alloc(Width, 21, Whole(false)), 3, 3, 20, 3);
        C->ActiveSkinRect = Alloc(Width, 21, Whole(true));
        C->ButtonRect = {Width - 19, 2, Width - 2, 19};
        const auto Btn = [this, Glyph](TState S) {
            return Alloc(17, 17, [this, S, Glyph](TPainter& P, const TRect& R) { ArrowButton(P, R, S, Glyph); });
        };
        C->ActiveButtonRect = Btn(TState::Hot);
        C->DownButtonRect = Btn(TState::Down);
        C->UnEnabledButtonRect = Btn(TState::Disabled);
    }

    // --- Lists and combo boxes ---
    struct TRows {
        TRect Normal, Active, Focus;
    };
    TRows Rows(int W, int H) {
        TRows R;
        R.Normal = Alloc(W, H, [this](TPainter& P, const TRect& Rr) { P.Fill(Rr, M.Window); });
        R.Active = Alloc(W, H, [this](TPainter& P, const TRect& Rr) { Selection(P, Rr, M.Window, false); });
        R.Focus = Alloc(W, H, [this](TPainter& P, const TRect& Rr) { Selection(P, Rr, M.Window, true); });
        return R;
    }
    void Lists() {
        auto* L = Ctrl<TbsDataSkinListBox>(u"listbox");
        NinePart(L, Alloc(64, 64, [this](TPainter& P, const TRect& R) { Field(P, R, false, M.Window); }), 3, 3, 3, 3);
        const TRows LR = Rows(48, 18);
        L->SItemRect = LR.Normal;
        L->ActiveItemRect = LR.Active;
        L->FocusItemRect = LR.Focus;
        L->ItemLeftOffset = L->ItemRightOffset = 4;
        L->ItemTextRect = {4, 1, 44, 17};
        L->FontName = L->CaptionFontName = M.Font;
        L->FontHeight = L->CaptionFontHeight = 13;
        L->FontColor = ToColor(M.WindowText);
        L->ActiveFontColor = ToColor(M.WindowText);
        L->FocusFontColor = ToColor(M.AccentText);
        L->CaptionFontColor = ToColor(M.PanelText);

        auto* C = Ctrl<TbsDataSkinComboBox>(u"combobox");
        FieldWithButton(C, 100, TGlyph::Down);
        const TRows CR = Rows(48, 17);
        C->SItemRect = CR.Normal;
        C->ActiveItemRect = CR.Active;
        C->FocusItemRect = CR.Focus;
        C->ItemLeftOffset = C->ItemRightOffset = 3;
        C->ItemTextRect = {3, 0, 45, 17};
        C->ItemStretchEffect = C->FocusItemStretchEffect = true;
        C->FontName = M.Font;
        C->FontHeight = 13;
        C->FontColor = ToColor(M.WindowText);
        C->ActiveFontColor = ToColor(M.WindowText);
        C->FocusFontColor = ToColor(M.AccentText);
        C->ListBoxName = u"listbox";

        auto* SB = Ctrl<TbsDataSkinScrollBoxControl>(u"scrollbox");
        NinePart(SB, Alloc(48, 48, [this](TPainter& P, const TRect& R) { Field(P, R, false, M.Panel); }), 3, 3, 3, 3);

        const auto Text = [this](auto* T) {
            T->PictureIndex = -1;
            T->FontName = M.Font;
            T->FontHeight = 13;
            T->FontColor = ToColor(M.WindowText);
            T->BGColor = ToColor(M.Window);
        };
        Text(Ctrl<TbsDataSkinTreeView>(u"treeview"));
        Text(Ctrl<TbsDataSkinListView>(u"listview"));
    }

    // --- Menu bar and menus ---
    TRgb BarColour(float V) const { return Mix(Light(M.Panel, 0.5f), Mix(M.Panel, M.Frame, 0.08f), V); }
    void MenuBar() {
        auto* B = Ctrl<TbsDataSkinMainMenuBar>(u"mainmenubar");
        B->SkinRect = Alloc(64, 24, [this](TPainter& P, const TRect& R) {
            P.Shade(R, [&](float, float V, int X, int Y) { return BarPattern(BarColour(V), X, Y, 0.2f); });
            P.Fill({R.Left, R.Bottom - 1, R.Right, R.Bottom}, Darker(M.Panel, 0.2f));
        });
        B->ItemsRect = {2, 1, 62, 23};
        B->MenuBarItem = u"mainmenubaritem";
        B->CloseButton = u"mdiclosebutton";
        B->MaxButton = u"mdimaxbutton";
        B->MinButton = u"mdiminbutton";
        B->SysMenuButton = u"mdisysmenubutton";
        B->TrackMarkColor = ToColor(M.PanelText);
        B->TrackMarkActiveColor = ToColor(M.Accent);
        B->StretchEffect = true;

        // Items sit on rows 1 to 23 of the bar.
        const auto ItemBack = [this](TPainter& P, const TRect& R) {
            P.Shade(R, [&](float, float V, int, int) { return BarColour((V * (R.Height() - 1) + 1) / 23.f); });
        };
        auto* I = Obj<TbsDataSkinMainMenuBarItem>(u"mainmenubaritem");
        I->SkinRect = Alloc(40, 22, ItemBack);
        I->ActiveSkinRect = Alloc(40, 22, [=, this](TPainter& P, const TRect& R) {
            ItemBack(P, R);
            Selection(P, Inset(R, 1), BarColour(0.5f), false);
            P.Fill({R.Left, R.Top, R.Right, R.Top + 1}, BarColour(0));
        });
        I->DownRect = Alloc(40, 22, [=, this](TPainter& P, const TRect& R) {
            ItemBack(P, R);
            Face(P, Inset(R, 1), TState::Down, M.Face, 3, BarColour(0.5f));
        });
        I->ItemLO = I->ItemRO = 5;
        I->TextRct = {5, 1, 35, 21};
        I->FontName = M.Font;
        I->FontHeight = 13;
        I->FontColor = ToColor(M.PanelText);
        I->ActiveFontColor = ToColor(M.Pattern == TPattern::Stars ? M.PanelText : M.WindowText);
        I->DownFontColor = ToColor(M.FaceText);
        I->UnEnabledFontColor = ToColor(DisabledText());
        I->StretchEffect = true;

        const struct {
            const char16_t* Name;
            TbsStdCommand Command;
            TGlyph Glyph;
        } Mdi[] = {{u"mdiclosebutton", cmClose, TGlyph::Close},
                   {u"mdimaxbutton", cmMaximize, TGlyph::Restore},
                   {u"mdiminbutton", cmMinimize, TGlyph::Minimize},
                   {u"mdisysmenubutton", cmSysMenu, TGlyph::Dot}};
        for (const auto& E : Mdi) {
            auto* Btn = Obj<TbsDataSkinMainMenuBarButton>(E.Name);
            Btn->Command = E.Command;
            Btn->SkinRectInAPicture = true;
            const auto Img = [=, this](TState S) {
                return Alloc(18, 18, [=, this](TPainter& P, const TRect& R) {
                    P.Shade(R, [&](float, float V, int, int) { return BarColour((V * 17 + 3) / 23.f); });
                    if (S != TState::Normal)
                        Face(P, R, S, M.Face, 3, BarColour(0.5f));
                    P.Glyph(Inset(R, 3), E.Glyph, M.PanelText);
                });
            };
            Btn->SkinRect = Img(TState::Normal);
            Btn->ActiveSkinRect = Img(TState::Hot);
            Btn->DownRect = Img(TState::Down);
        }
    }
    void Menus() {
        const TRgb Body = Light(M.Panel, 0.55f);
        const TRgb Column = Mix(Body, Mix(M.Panel, M.Frame, 0.25f), 0.45f);
        const auto Row = [=, this](TPainter& P, const TRect& R) {
            P.Fill(R, Body);
            P.Fill({R.Left, R.Top, R.Left + 26, R.Bottom}, Column);
            P.Fill({R.Left + 26, R.Top, R.Left + 27, R.Bottom}, Darker(Column, 0.08f));
        };
        auto* I = Obj<TbsDataSkinMenuItem>(u"menuitem");
        I->SkinRect = Alloc(64, 22, Row);
        I->ActiveSkinRect = Alloc(64, 22, [=, this](TPainter& P, const TRect& R) {
            Row(P, R);
            Selection(P, {R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1}, Body, false);
        });
        I->DividerRect = Alloc(64, 7, [=, this](TPainter& P, const TRect& R) {
            Row(P, R);
            P.Fill({R.Left + 31, R.Top + 3, R.Right - 3, R.Top + 4}, Darker(Body, 0.2f));
            P.Fill({R.Left + 31, R.Top + 4, R.Right - 3, R.Top + 5}, Lighter(Body, 0.8f));
        });
        I->ItemLO = 28;
        I->ItemRO = 4;
        I->DividerLO = 31;
        I->DividerRO = 4;
        I->TextRct = {32, 0, 60, 22};
        I->ImageRct = {3, 1, 23, 21};
        I->StretchEffect = I->DividerStretchEffect = I->InActiveStretchEffect = true;
        I->FontName = M.Font;
        I->FontHeight = 13;
        I->FontColor = ToColor(M.PanelText);
        I->ActiveFontColor = ToColor(M.Pattern == TPattern::Stars ? M.PanelText : M.WindowText);
        I->UnEnabledFontColor = ToColor(DisabledText());
        const TRgb Active = Mix(M.Accent, Body, 0.25f);
        const auto Mark = [this](TRgb Under, TGlyph G, TRgb Ink) {
            return Alloc(12, 12, [=](TPainter& P, const TRect& R) {
                P.Fill(R, Under);
                P.Glyph(R, G, Ink);
            });
        };
        I->CheckImageRect = Mark(Column, TGlyph::Check, M.PanelText);
        I->ActiveCheckImageRect = Mark(Active, TGlyph::Check, M.PanelText);
        I->RadioImageRect = Mark(Column, TGlyph::Dot, M.PanelText);
        I->ActiveRadioImageRect = Mark(Active, TGlyph::Dot, M.PanelText);
        I->ArrowImageRect = Mark(Body, TGlyph::Right, M.PanelText);
        I->ActiveArrowImageRect = Mark(Active, TGlyph::Right, M.PanelText);
    }

    // --- Caption buttons (placed by command along the caption, images in picture 0) ---
    void CaptionButton(TPainter& P, const TRect& R, TState S, TGlyph G, bool Close) const {
        P.Shade(R, [&](float, float V, int, int) { return Band(M.Frame, 4 + int(V * (R.Height() - 1))); });
        const TRgb Ink = M.FrameText;
        if (S == TState::Hot || S == TState::Down) {
            const TRgb Plate = Close ? Rgb(212, 64, 52) : Mix(M.Frame, Lighter(M.Accent, 0.2f), 0.7f);
            const TRgb C = S == TState::Down ? Darker(Plate, 0.25f) : Plate;
            P.RoundRect(Inset(R, 1), 4, [&](float, float V, int, int) { return Mix(Lighter(C, 0.35f), C, V); });
            if (S == TState::Hot)
                P.RoundRect({R.Left + 2, R.Top + 2, R.Right - 2, R.Top + R.Height() / 2}, 3, {1, 1, 1}, 0.25f);
            P.RoundFrame(Inset(R, 1), 4, Darker(C, 0.4f));
            P.Glyph(Inset(R, 3), G, Close || !M.DarkText ? TRgb{1, 1, 1} : Ink);
        } else {
            P.RoundRect(Inset(R, 1), 4, {1, 1, 1}, S == TState::Disabled ? 0.03f : 0.08f);
            P.RoundFrame(Inset(R, 1), 4, M.DarkText ? Darker(M.Frame, 0.3f) : Lighter(M.Frame, 0.4f), 0.35f);
            P.Glyph(Inset(R, 3), G, Ink, S == TState::Disabled ? 0.35f : 0.95f);
        }
    }
    void Emblem(TPainter& P, const TRect& R) const {
        P.Shade(R, [&](float, float V, int, int) { return Band(M.Frame, 3 + int(V * (R.Height() - 1))); });
        const float Cx = (R.Left + R.Right) / 2.f, Cy = (R.Top + R.Bottom) / 2.f;
        const TRgb Body = M.Pattern == TPattern::Stars ? M.Accent : Lighter(M.Accent, 0.1f);
        P.Disc(Cx, Cy, 6.f, Darker(Body, 0.45f));
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            for (int X = R.Left; X < R.Right; ++X) {
                const float D = std::hypot(X + 0.5f - Cx, Y + 0.5f - Cy);
                if (D < 5.5f) {
                    const float Lit =
                        std::clamp(1.f - std::hypot(X + 0.5f - (Cx - 2), Y + 0.5f - (Cy - 2)) / 8.f, 0.f, 1.f);
                    P.Blend(X, Y, Pattern(Mix(Darker(Body, 0.2f), Lighter(Body, 0.5f), Lit), X * 3, Y * 3, 1.f),
                            std::clamp(5.5f - D, 0.f, 1.f));
                }
            }
        if (M.Pattern == TPattern::Rings)
            P.Line(Cx - 8, Cy + 2, Cx + 8, Cy - 2, Lighter(M.FrameText, 0.2f), 1.2f, 0.9f);
    }
    void CaptionButtons() {
        const struct {
            const char16_t* Name;
            TbsStdCommand Command;
            TGlyph Glyph, Restore;
            const char16_t* Hint;
        } List[] = {{u"closebutton", cmClose, TGlyph::Close, TGlyph::None, u"Close"},
                    {u"maxbutton", cmMaximize, TGlyph::Maximize, TGlyph::Restore, u"Maximize"},
                    {u"minbutton", cmMinimize, TGlyph::Minimize, TGlyph::None, u"Minimize"},
                    {u"rollupbutton", cmRollUp, TGlyph::RollUp, TGlyph::RollDown, u"RollUp"},
                    {u"traybutton", cmMinimizeToTray, TGlyph::Tray, TGlyph::None, u"Minimize to tray"}};
        for (const auto& E : List) {
            auto* B = Obj<TbsDataSkinStdButton>(E.Name);
            B->Command = E.Command;
            B->Hint = E.Hint;
            B->SkinRectInAPicture = true;
            B->Morphing = true;
            B->MorphKind = mkGradient;
            const bool Close = E.Command == cmClose;
            const auto Img = [=, this](TState S, TGlyph G) {
                return Alloc(26, 20, [=, this](TPainter& P, const TRect& R) { CaptionButton(P, R, S, G, Close); });
            };
            B->SkinRect = Img(TState::Normal, E.Glyph);
            B->ActiveSkinRect = Img(TState::Hot, E.Glyph);
            B->DownRect = Img(TState::Down, E.Glyph);
            B->DisableSkinRect = Img(TState::Disabled, E.Glyph);
            if (E.Restore != TGlyph::None) {
                B->RestoreRect = Img(TState::Normal, E.Restore);
                B->RestoreActiveRect = Img(TState::Hot, E.Restore);
                B->RestoreDownRect = Img(TState::Down, E.Restore);
                B->RestoreHint = u"Restore";
            }
        }
        auto* Sys = Obj<TbsDataSkinStdButton>(u"sysmenubutton");
        Sys->Command = cmSysMenu;
        Sys->Hint = u"System menu";
        Sys->SkinRectInAPicture = true;
        Sys->SkinRect = Alloc(18, 18, [this](TPainter& P, const TRect& R) { Emblem(P, R); });
        Sys->ActiveSkinRect = Sys->SkinRect;
        Sys->DownRect = Sys->SkinRect;
    }

    const TMaterial& M;
    TbsSkinData& D;
    int FX = 2;
    int FY = 2;
    int FRowH = 0;
    std::vector<std::function<void(TPainter&)>> FJobs;
};

} // namespace

void BuildSkin(const TMaterial& M, TbsSkinData& D) {
    D.ClearAll();
    TBuilder(M, D).Build();
    D.Empty = false;
}

} // namespace skinmaker
