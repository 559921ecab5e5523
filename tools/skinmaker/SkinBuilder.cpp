#include "tools/skinmaker/SkinBuilder.h"

#include <functional>
#include <memory>
#include <tuple>

namespace skinmaker {
namespace {

enum class TState { Normal, Hot, Down, Disabled, Focused };

constexpr int SheetWidth = 512;
constexpr TColor KeyColor = 0xFF00FF; // magenta: the transparent colour of marker and grip images
constexpr int FormW = 240, FormH = 120;

TRect Inset(const TRect& R, int D) {
    return {R.Left + D, R.Top + D, R.Right - D, R.Bottom - D};
}

// The pictures of one skin: the control sheet is laid out first (every record takes its rectangles at once) and
// painted when its height is known.
class TBuilder {
public:
    TBuilder(const TMaterial& AM, TbsSkinData& AD) : M(AM), D(AD), CaptionH(AM.CaptionH), Border(AM.Border) {}

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
        KeepTextsReadable(Sheet);
        D.FActivePictures.insert(D.FActivePictures.begin(), Sheet.ToBitmap());
        D.FActivePicturesNames->Insert(0, u"controls.bmp");
    }

private:
    // --- Readability ---
    static float Luminance(TRgb C) {
        const auto Ch = [](float V) { return V <= 0.03928f ? V / 12.92f : std::pow((V + 0.055f) / 1.055f, 2.4f); };
        return 0.2126f * Ch(std::clamp(C.R, 0.f, 1.f)) + 0.7152f * Ch(std::clamp(C.G, 0.f, 1.f)) +
               0.0722f * Ch(std::clamp(C.B, 0.f, 1.f));
    }
    static float Contrast(TRgb A, TRgb B) {
        const float LA = Luminance(A), LB = Luminance(B);
        return (std::max(LA, LB) + 0.05f) / (std::min(LA, LB) + 0.05f);
    }
    // Text moved towards black or white (whichever reads better on Back) until it reads with a margin above 4.5:1.
    static TRgb Readable(TRgb Text, TRgb Back) {
        constexpr float Target = 4.8f;
        if (Contrast(Text, Back) >= Target)
            return Text;
        const TRgb White{1, 1, 1}, Black{0, 0, 0};
        const TRgb Far = Contrast(White, Back) > Contrast(Black, Back) ? White : Black;
        for (int I = 1; I < 20; ++I) {
            const TRgb C = Mix(Text, Far, I / 20.f);
            if (Contrast(C, Back) >= Target)
                return C;
        }
        return Far;
    }
    static TRgb FromColor(TColor C) { return Rgb(int(C & 0xFF), int((C >> 8) & 0xFF), int((C >> 16) & 0xFF)); }
    static TRgb Mean(const TPainter& P, const TRect& R) {
        TRgb Sum;
        int N = 0;
        for (int Y = std::max(R.Top, 0); Y < std::min(R.Bottom, P.Height()); ++Y)
            for (int X = std::max(R.Left, 0); X < std::min(R.Right, P.Width()); ++X) {
                const TRgb C = P.At(X, Y);
                Sum = {Sum.R + std::clamp(C.R, 0.f, 1.f), Sum.G + std::clamp(C.G, 0.f, 1.f),
                       Sum.B + std::clamp(C.B, 0.f, 1.f)};
                ++N;
            }
        return N ? TRgb{Sum.R / N, Sum.G / N, Sum.B / N} : TRgb{};
    }
    static TRect Part(const TRect& Face, const TRect& In) {
        return {Face.Left + In.Left, Face.Top + In.Top, Face.Left + In.Right, Face.Top + In.Bottom};
    }
    // Each text colour of the sheet's records is checked against the face it is drawn on, as painted.
    void KeepTextsReadable(const TPainter& Sheet) const {
        const auto Fix = [&](TColor& Text, const TRect& Area) {
            if (Area.Width() > 0 && Area.Height() > 0)
                Text = ToColor(Readable(FromColor(Text), Mean(Sheet, Area)));
        };
        const auto Centre = [](const TRect& F) {
            return TRect{F.Left + F.Width() / 4, F.Top + F.Height() / 4, F.Right - F.Width() / 4,
                         F.Bottom - F.Height() / 4};
        };
        for (auto& Record : D.CtrlList) {
            if (Record->PictureIndex != 0)
                continue;
            if (auto* B = dynamic_cast<TbsDataSkinButtonControl*>(Record.get())) {
                Fix(B->FontColor, Part(B->SkinRect, B->ClRect));
                Fix(B->ActiveFontColor, Part(B->ActiveSkinRect, B->ClRect));
                Fix(B->DownFontColor, Part(B->DownSkinRect, B->ClRect));
            } else if (auto* C = dynamic_cast<TbsDataSkinCheckRadioControl*>(Record.get())) {
                Fix(C->FontColor, Part(C->SkinRect, C->TextArea));
                Fix(C->ActiveFontColor, Part(C->ActiveSkinRect, C->TextArea));
            } else if (auto* Pn = dynamic_cast<TbsDataSkinPanelControl*>(Record.get())) {
                Fix(Pn->FontColor, Part(Pn->SkinRect, Pn->CaptionRect.Width() > 0 ? Pn->CaptionRect : Pn->ClRect));
            } else if (auto* Co = dynamic_cast<TbsDataSkinComboBox*>(Record.get())) {
                Fix(Co->FontColor, Part(Co->SkinRect, Co->ClRect));
                Fix(Co->FontColor, Co->SItemRect);
                Fix(Co->ActiveFontColor, Co->ActiveItemRect);
                Fix(Co->FocusFontColor, Co->FocusItemRect);
            } else if (auto* L = dynamic_cast<TbsDataSkinListBox*>(Record.get())) {
                Fix(L->FontColor, L->SItemRect);
                Fix(L->ActiveFontColor, L->ActiveItemRect);
                Fix(L->FocusFontColor, L->FocusItemRect);
            } else if (auto* E = dynamic_cast<TbsDataSkinEditControl*>(Record.get())) {
                Fix(E->FontColor, Part(E->SkinRect, E->ClRect));
                Fix(E->ActiveFontColor, Part(E->ActiveSkinRect, E->ClRect));
            } else if (auto* La = dynamic_cast<TbsDataSkinLabelControl*>(Record.get())) {
                Fix(La->FontColor, Part(La->SkinRect, La->ClRect));
            } else if (auto* T = dynamic_cast<TbsDataSkinTabControl*>(Record.get())) {
                Fix(T->FontColor, Centre(T->TabRect));
                Fix(T->ActiveFontColor, Centre(T->ActiveTabRect));
                Fix(T->MouseInFontColor, Centre(T->MouseInTabRect));
            }
        }
        for (auto& Record : D.ObjectList) {
            if (Record->ActivePictureIndex != 0)
                continue;
            if (auto* I = dynamic_cast<TbsDataSkinMenuItem*>(Record.get())) {
                Fix(I->FontColor, Part(I->SkinRect, I->TextRct));
                Fix(I->ActiveFontColor, Part(I->ActiveSkinRect, I->TextRct));
            } else if (auto* B = dynamic_cast<TbsDataSkinMainMenuItem*>(Record.get())) {
                Fix(B->FontColor, Part(B->SkinRect, B->TextRct));
                Fix(B->ActiveFontColor, Part(B->ActiveSkinRect, B->TextRct));
                Fix(B->DownFontColor, Part(B->DownRect, B->TextRct));
            }
        }
        // Labels drawn straight on the panels.
        for (auto& Record : D.CtrlList)
            if (auto* S = dynamic_cast<TbsDataSkinStdLabelControl*>(Record.get())) {
                S->FontColor = ToColor(Readable(FromColor(S->FontColor), M.Panel));
                S->ActiveFontColor = ToColor(Readable(FromColor(S->ActiveFontColor), M.Panel));
            }
    }

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
    bool Dark() const { return Luma(M.Panel) < 0.4f; }
    // Lighter by T on a light skin; on a dark one only a little, so light text stays readable.
    TRgb Light(TRgb C, float T) const { return Luma(M.Panel) < 0.4f ? Lighter(C, T * 0.25f) : Lighter(C, T); }
    TRgb Disabled(TRgb C) const { return Grey(Mix(C, M.Panel, 0.55f), 0.5f); }
    TRgb DisabledText() const { return Mix(M.PanelText, M.Panel, 0.55f); }

    // --- Surfaces ---
    TRgb StateColour(TState S, TRgb Base) const {
        switch (S) {
        // On dark skins a hot or pressed face stays dark, so its light caption keeps reading.
        case TState::Hot:
            return Dark() ? Mix(Base, M.Accent, 0.22f) : Lighter(Mix(Base, M.Accent, 0.35f), 0.12f);
        case TState::Down:
            return Dark() ? Darker(Mix(Base, M.Accent, 0.3f), 0.15f) : Darker(Mix(Base, M.Accent, 0.4f), 0.05f);
        case TState::Disabled:
            return Disabled(Base);
        default:
            return Base;
        }
    }
    // The skin's corner shape at about the given size (square skins stay square).
    TCornerShape Corner(float Size) const {
        if (M.ButtonCorner.Kind == TCorner::Square)
            return {TCorner::Square, 0};
        return {M.ButtonCorner.Kind, M.ButtonCorner.Kind == TCorner::Chamfer ? std::min(Size, 5.f) : Size};
    }
    static TCornerShape Smaller(TCornerShape K) {
        if (K.Kind == TCorner::Round)
            return {K.Kind, std::max(0.f, K.Size - 1)};
        return {K.Kind, std::max(0.f, K.Size - 0.4f)};
    }
    void Fill(TPainter& P, const TRect& R, TCornerShape K, const std::function<TRgb(float, float, int, int)>& F,
              float Alpha = 1) const {
        P.Shape(R, K.Kind, K.Size, K.Kind, K.Size, F, Alpha);
    }
    void Ring(TPainter& P, const TRect& R, TCornerShape K, TRgb C, float Alpha = 1) const {
        P.ShapeFrame(R, K.Kind, K.Size, K.Kind, K.Size, C, Alpha);
    }
    // A ring lit from the top left: Light on the top and left edges, Dark on the bottom and right.
    void LitRing(TPainter& P, const TRect& R, TCornerShape K, TRgb Light, TRgb Dark, float Alpha = 1) const {
        const TRect In = Inset(R, 1);
        const TCornerShape KI = Smaller(K);
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            for (int X = R.Left; X < R.Right; ++X) {
                const float A = TPainter::ShapeCoverage(R, K.Kind, K.Size, K.Kind, K.Size, X, Y) -
                                TPainter::ShapeCoverage(In, KI.Kind, KI.Size, KI.Kind, KI.Size, X, Y);
                if (A <= 0)
                    continue;
                const int Dx = std::min(X - R.Left, R.Right - 1 - X), Dy = std::min(Y - R.Top, R.Bottom - 1 - Y);
                const bool Lit = Dy <= Dx ? Y - R.Top < R.Bottom - 1 - Y : X - R.Left < R.Right - 1 - X;
                P.Blend(X, Y, Lit ? Light : Dark, A * Alpha);
            }
    }
    // A face in the skin's finish over the colour Under.
    void Face(TPainter& P, const TRect& R, TState S, TRgb Base, TCornerShape K, TRgb Under) const {
        P.Fill(R, Under);
        const TRgb C = StateColour(S, Base);
        const bool Down = S == TState::Down;
        const TRect In = Inset(R, 1);
        const TCornerShape KI = Smaller(K);
        const auto Gradient = [&](TRgb Top, TRgb Mid, TRgb Bottom) {
            Fill(P, In, KI, [&](float, float V, int, int) {
                return V < 0.5f ? Mix(Top, Mid, V * 2) : Mix(Mid, Bottom, (V - 0.5f) * 2);
            });
        };
        switch (M.FaceStyle) {
        case TFaceStyle::Glossy:
            Gradient(Down ? Darker(C, 0.10f) : Lighter(C, 0.40f), C, Down ? Lighter(C, 0.18f) : Darker(C, 0.10f));
            P.Noise(In, M.Noise * 0.6f, M.Seed + 11);
            if (!Down && S != TState::Disabled && M.Gloss > 0) {
                const TRect Gl{In.Left, In.Top, In.Right, In.Top + In.Height() / 2};
                const TCornerShape KG{KI.Kind, std::min(KI.Size, Gl.Height() / 2.f)};
                Fill(P, Gl, KG, [&](float, float V, int X, int Y) {
                    return Mix(P.At(X, Y), {1, 1, 1}, M.Gloss * (1 - V) * 0.9f + 0.04f);
                });
            }
            Ring(P, In, KI, {1, 1, 1}, Down ? 0.12f : 0.45f);
            break;
        case TFaceStyle::Satin:
            Gradient(Down ? Darker(C, 0.06f) : Lighter(C, 0.20f), C, Down ? Lighter(C, 0.08f) : Darker(C, 0.05f));
            P.Noise(In, M.Noise * 0.5f, M.Seed + 11);
            Ring(P, In, KI, Lighter(C, 0.5f), Down ? 0.1f : 0.35f);
            break;
        case TFaceStyle::Flat:
            Fill(P, In, KI, [&](float, float, int, int) { return Down ? Darker(C, 0.08f) : C; });
            break;
        case TFaceStyle::Bevel:
            Gradient(Lighter(C, 0.12f), C, Darker(C, 0.04f));
            P.Noise(In, M.Noise * 0.6f, M.Seed + 11);
            LitRing(P, In, KI, Down ? Darker(C, 0.35f) : Lighter(C, 0.65f), Down ? Lighter(C, 0.4f) : Darker(C, 0.3f));
            LitRing(P, Inset(In, 1), Smaller(KI), Down ? Darker(C, 0.2f) : Lighter(C, 0.35f),
                    Down ? Lighter(C, 0.2f) : Darker(C, 0.15f), 0.8f);
            break;
        case TFaceStyle::Metal:
            Fill(P, In, KI, [&](float, float V, int X, int Y) {
                const TRgb G = V < 0.45f  ? Mix(Lighter(C, Down ? 0.1f : 0.55f), C, V / 0.45f)
                               : V < 0.5f ? Darker(C, 0.06f)
                                          : Mix(Darker(C, 0.04f), Lighter(C, Down ? 0.3f : 0.12f), (V - 0.5f) * 2);
                // Streaks run the whole width, barely varying along it: a face stretched either way keeps
                // looking brushed instead of breaking into blocks.
                const float N = Hash(0, Y, M.Seed + 5) * 0.8f + Hash(X / 31, Y, M.Seed + 6) * 0.2f - 0.5f;
                return Mix(G, N > 0 ? TRgb{1, 1, 1} : TRgb{0, 0, 0}, std::fabs(N) * 0.12f);
            });
            Ring(P, In, KI, {1, 1, 1}, Down ? 0.1f : 0.5f);
            break;
        }
        if (S == TState::Focused || S == TState::Hot)
            Ring(P, In, KI, Lighter(M.Accent, 0.2f), S == TState::Focused ? 0.9f : 0.45f);
        Ring(P, R, K, Darker(C, S == TState::Disabled ? 0.25f : M.FaceStyle == TFaceStyle::Flat ? 0.35f : 0.48f));
    }
    void Face(TPainter& P, const TRect& R, TState S, TRgb Base, float Rad, TRgb Under) const {
        Face(P, R, S, Base, Corner(Rad), Under);
    }
    void ButtonFace(TPainter& P, const TRect& R, TState S) const { Face(P, R, S, M.Face, M.ButtonCorner, M.Panel); }
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
    // The client background of forms in the skin's surface.
    TRgb Surface(int X, int Y, float V) const {
        switch (M.Surface) {
        case TSurface::Plain:
            return M.Panel;
        case TSurface::Gradient:
            return Mix(Light(M.Panel, 0.45f), Darker(M.Panel, 0.03f), V);
        case TSurface::Brushed: {
            const float N = Hash(0, Y, M.Seed) * 0.6f + Hash(X / 11, Y, M.Seed + 5) * 0.4f;
            return Mix(M.Panel, N > 0.5f ? Rgb(255, 255, 255) : Rgb(0, 0, 0), std::fabs(N - 0.5f) * 0.16f);
        }
        case TSurface::Textured:
            return Pattern(M.Panel, X, Y, 0.45f);
        }
        return M.Panel;
    }
    void FrameShape(TPainter& P, const TRect& R, const std::function<TRgb(float, float, int, int)>& F) const {
        P.Shape(R, M.FrameTop.Kind, M.FrameTop.Size, M.FrameBottom.Kind, M.FrameBottom.Size, F);
    }
    void FrameRing(TPainter& P, const TRect& R, float Shrink, TRgb C, float Alpha) const {
        P.ShapeFrame(R, M.FrameTop.Kind, std::max(0.f, M.FrameTop.Size - Shrink), M.FrameBottom.Kind,
                     std::max(0.f, M.FrameBottom.Size - Shrink), C, Alpha);
    }
    void PaintFrame(TPainter& P, TRgb Frame) const {
        const TRect All{0, 0, FormW, FormH};
        const TRect Client{Border, CaptionH, FormW - Border, FormH - Border};
        FrameShape(P, All, [&](float, float, int X, int Y) {
            if (Y < CaptionH)
                return Pattern(Band(Frame, Y), X, Y, 1);
            const float V = float(X < FormW / 2 ? X : FormW - 1 - X) / Border;
            return BarPattern(Mix(Darker(Frame, 0.05f), Frame, std::min(1.f, V)), X, Y, 0.6f);
        });
        P.Noise(All, M.Noise, M.Seed + 1);
        // A thick frame is bevelled: lit outside, sunken towards the client.
        if (Border >= 7) {
            for (int I = 1; I < 3; ++I)
                FrameRing(P, Inset(All, I), float(I), Lighter(Frame, 0.45f), 0.5f);
            P.Fill({Client.Left - 3, Client.Top - 1, Client.Right + 3, Client.Top}, Lighter(Frame, 0.35f));
        }
        P.Shade(Client, [&](float, float V, int X, int Y) { return Surface(X, Y, V); });
        P.Noise(Client, M.Noise * 0.35f, M.Seed + 2);
        P.Fill({Client.Left - 1, Client.Top - 1, Client.Right + 1, Client.Top}, Darker(Frame, 0.35f));
        P.Fill({Client.Left - 1, Client.Top, Client.Left, Client.Bottom + 1}, Darker(Frame, 0.25f));
        P.Fill({Client.Right, Client.Top, Client.Right + 1, Client.Bottom + 1}, Darker(Frame, 0.25f));
        P.Fill({Client.Left - 1, Client.Bottom, Client.Right + 1, Client.Bottom + 1}, Darker(Frame, 0.25f));
        // The caption's decoration: a line in the accent along its lower edge on the plain dark skins, an engraved
        // pair of lines on the others.
        const TRect Under{Border, CaptionH - 3, FormW - Border, CaptionH - 2};
        if (M.Pattern == TPattern::None || M.Pattern == TPattern::Stars) {
            P.Fill({Under.Left, Under.Top - 1, Under.Right, Under.Bottom}, Mix(Frame, M.Accent, 0.8f));
        } else {
            P.Fill(Under, Darker(Frame, 0.25f));
            P.Fill({Under.Left, Under.Bottom, Under.Right, Under.Bottom + 1}, Lighter(Frame, 0.3f));
        }
        FrameRing(P, Inset(All, 1), 1, Lighter(Frame, 0.5f), 0.45f);
        FrameRing(P, All, 0, Darker(Frame, 0.55f), 1);
    }
    TRgb InactiveFrame() const { return Grey(Mix(M.Frame, M.Panel, 0.35f), 0.55f); }

    void Form() {
        TPainter Active(FormW, FormH, M.Panel), Inactive(FormW, FormH, M.Panel), Mask(FormW, FormH, {1, 1, 1});
        PaintFrame(Active, M.Frame);
        PaintFrame(Inactive, InactiveFrame());
        const TRect All{0, 0, FormW, FormH};
        for (int Y = 0; Y < FormH; ++Y)
            for (int X = 0; X < FormW; ++X)
                if (TPainter::ShapeCoverage(All, M.FrameTop.Kind, M.FrameTop.Size, M.FrameBottom.Kind,
                                            M.FrameBottom.Size, X, Y) >= 0.5f)
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
        const int CapH = CaptionButtonSize().Y;
        const int CapTop = (CaptionH - 2 - CapH) / 2;
        D.CaptionRect = {Border + 2, CapTop, FormW - Border - 2, CapTop + CapH};
        D.ButtonsRect = {};
        D.ButtonsOffset = M.CapStyle == TCapStyle::Bare ? 0 : M.CapStyle == TCapStyle::Circle ? 4 : 2;
        D.BorderW = Border;
        D.HitTestLTPoint = {10, 10};
        D.HitTestRTPoint = {FormW - 10, 10};
        D.HitTestLBPoint = {10, FormH - 10};
        D.HitTestRBPoint = {FormW - 10, FormH - 10};
        // The region is the client rectangle joined with the border strips cut from the mask around it.
        D.MaskRectArea = D.ClRect;
        // Stars and dust keep their size when tiled; gradients and bands stretch without harm.
        const bool Tile = M.Pattern == TPattern::Stars || M.Pattern == TPattern::Dust;
        D.TopStretch = D.BottomStretch = !Tile;
        D.LeftStretch = D.RightStretch = true;
        // Textures keep their grain when tiled; gradients are stretched over the client.
        D.StretchEffect = M.Surface == TSurface::Gradient || M.Surface == TSurface::Plain;
        D.StretchType = bsstFull;
        D.BGPictureIndex = -1;
        D.MDIBGPictureIndex = -1;
        D.FormMinWidth = 160;

        auto* Caption = Obj<TbsDataSkinCaption>(u"caption");
        Caption->ActivePictureIndex = -1;
        Caption->SkinRect = {6, 2, FormW - 6, CaptionH - 2};
        Caption->TextRct = {6, 0, FormW - 24, CaptionH - 4};
        Caption->FontName = M.CaptionFont;
        Caption->FontHeight = M.CaptionFontHeight;
        Caption->FontStyle = TFontStyles{fsBold};
        // The title reads on the caption band as painted, active and inactive.
        const TRect Title = Part(Caption->SkinRect, {Caption->TextRct.Left + 24, Caption->TextRct.Top + 2,
                                                     Caption->TextRct.Left + 140, Caption->TextRct.Bottom - 2});
        Caption->ActiveFontColor = ToColor(Readable(M.FrameText, Mean(Active, Title)));
        Caption->FontColor = ToColor(Readable(Mix(M.FrameText, InactiveFrame(), 0.35f), Mean(Inactive, Title)));
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
        H.FontColor = ToColor(Readable(M.PanelText, Mean(Hint, H.ClRect)));
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
        C.FcHighLightText = ToColor(Readable(M.AccentText, M.Accent));
        C.FcBtnHighLight = ToColor(Light(M.Panel, 0.7f));
        // The shadow colour is also the disabled text of flat buttons: on a dark face it is a muted grey that
        // still shows, not a deeper black.
        C.FcBtnShadow = ToColor(Luma(M.Panel) < 0.35f ? Mix(M.Panel, M.PanelText, 0.35f) : Darker(M.Panel, 0.3f));
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
        // The push button's corners hold its whole shape, and its mask gives the window that shape.
        const int BCorner = std::max(6, int(std::ceil(M.ButtonCorner.Size)) + 1);
        const int BH = std::max(26, 2 * BCorner + 4);
        auto* Button = ButtonRecord<TbsDataSkinButtonControl>(u"button", Faces(72, BH, Std, true), BCorner);
        Button->ShowFocus = false;
        TPainter Mask(72, BH, {1, 1, 1});
        const TRect Whole{0, 0, 72, BH};
        const TCornerShape K = M.ButtonCorner;
        for (int Y = 0; Y < BH; ++Y)
            for (int X = 0; X < 72; ++X)
                if (TPainter::ShapeCoverage(Whole, K.Kind, K.Size, K.Kind, K.Size, X, Y) >= 0.5f)
                    Mask.Put(X, Y, {0, 0, 0});
        // Picture 0, the control sheet, is put in front of the others at the end.
        Button->MaskPictureIndex = int(D.FActivePictures.size()) + 1;
        D.FActivePictures.push_back(Mask.ToBitmap());
        D.FActivePicturesNames->Add(u"buttonmask.bmp");

        // Tool buttons are flat until the pointer comes.
        const auto Tool = [this](TPainter& P, const TRect& R, TState S) {
            if (S == TState::Normal || S == TState::Disabled) {
                P.Fill(R, M.Panel);
                const TCornerShape K = Corner(std::max(3.f, M.ButtonCorner.Size));
                Fill(
                    P, Inset(R, 1), K, [this](float, float, int, int) { return Light(M.Panel, 0.35f); },
                    S == TState::Normal ? 0.5f : 0.2f);
                Ring(P, Inset(R, 1), K, Darker(M.Panel, 0.12f), 0.5f);
            } else {
                Face(P, R, S, Mix(M.Face, M.Accent, 0.25f), std::max(3.f, M.ButtonCorner.Size) + 1, M.Panel);
            }
        };
        ButtonRecord<TbsDataSkinButtonControl>(u"toolbutton", Faces(40, 40, Tool), 8);
        ButtonRecord<TbsDataSkinButtonControl>(u"bigtoolbutton", Faces(64, 56, Tool), 9);
        const auto Small = [this](TPainter& P, const TRect& R, TState S) {
            Face(P, R, S, M.Face, std::min(M.ButtonCorner.Size, 3.f), M.Panel);
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
        const TRect MarkNormal = Marker(M.FaceText),
                    MarkActive = Marker(Dark() ? Lighter(M.Accent, 0.6f) : Darker(M.Accent, 0.3f));
        const auto Menu = [&](const String& Name, const TFaces& F, int Corner) {
            auto* B = ButtonRecord<TbsDataSkinMenuButtonControl>(Name, F, Corner);
            const int W = F.Normal.Width(), H = F.Normal.Height();
            B->TrackButtonRect = {W - 15, 0, W, H};
            // A horizontal strip whose fixed right end is the track part: the marker follows the right edge at any
            // width, and the caption is laid out beside it, not under it.
            B->LTPoint = {Corner, 0};
            B->RTPoint = {W - 15, 0};
            B->LBPoint = B->RBPoint = {0, 0};
            B->ClRect = {Corner, Corner, W - 15, H - Corner};
            B->MenuMarkerRect = B->MenuMarkerFlatRect = MarkNormal;
            B->MenuMarkerActiveRect = B->MenuMarkerDownRect = MarkActive;
            B->MenuMarkerTransparentColor = KeyColor;
        };
        // As tall as the main window's tool bar buttons: a strip keeps its height.
        const TFaces ToolFaces = Faces(52, 62, Tool), BigFaces = Faces(72, 62, Tool);
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
        auto* Panel =
            PanelRecord(u"panel", Alloc(48, 48, [this](TPainter& P, const TRect& R) { PanelFace(P, R, M.Panel); }), 5);
        // A panel's caption sits in the middle of its face and grows with it.
        Panel->CaptionRect = {5, 5, 43, 43};

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
    void CheckBox(TPainter& P, const TRect& Cell, bool Active, int Mark, bool Enabled = true) const {
        P.Fill(Cell, M.Panel);
        // The control keys a mark by its bottom-left pixel: a square box leaves that pixel to the surface, or its
        // edge would go transparent with it.
        const TRect R =
            Corner(2.5f).Kind == TCorner::Square ? TRect{Cell.Left, Cell.Top, Cell.Right - 1, Cell.Bottom - 1} : Cell;
        const TRgb Fill = Enabled ? (Active ? Mix(M.Window, M.Accent, 0.12f) : M.Window) : Mix(M.Window, M.Panel, 0.6f);
        const TRgb Edge =
            Enabled ? (Active ? M.Accent : Mix(M.Panel, M.PanelText, 0.45f)) : Mix(M.Panel, M.PanelText, 0.2f);
        const TCornerShape K = Corner(2.5f);
        this->Fill(P, R, K, [&](float, float, int, int) { return Edge; });
        this->Fill(P, Inset(R, 1), Smaller(K),
                   [&](float, float V, int, int) { return Mix(Darker(Fill, 0.08f), Fill, std::min(1.f, V * 2)); });
        const bool Dark = Luma(M.Window) < 0.4f;
        const TRgb Ink = Enabled ? (Dark ? Lighter(M.Accent, 0.3f) : Darker(M.Accent, 0.35f)) : DisabledText();
        if (Mark == 2) {
            P.Glyph(Inset(R, 2), TGlyph::Dash, Mix(Ink, Fill, 0.4f));
            return;
        }
        if (Mark != 1)
            return;
        switch (M.Mark) {
        case TMark::Tick:
            P.Glyph(Inset(R, 1), TGlyph::Check, Ink);
            break;
        case TMark::Cross:
            P.Glyph(Inset(R, 2), TGlyph::Close, Ink);
            break;
        case TMark::Block:
            this->Fill(P, Inset(R, 3), Smaller(Smaller(K)), [&](float, float, int, int) { return Ink; });
            break;
        }
    }
    // A disc, or a diamond on skins with cut corners.
    void RadioBox(TPainter& P, const TRect& R, bool Active, int Mark, bool Enabled = true) const {
        P.Fill(R, M.Panel);
        const TRgb Fill = Enabled ? (Active ? Mix(M.Window, M.Accent, 0.12f) : M.Window) : Mix(M.Window, M.Panel, 0.6f);
        const TRgb Edge =
            Enabled ? (Active ? M.Accent : Mix(M.Panel, M.PanelText, 0.45f)) : Mix(M.Panel, M.PanelText, 0.2f);
        const bool Dark = Luma(M.Window) < 0.4f;
        const TRgb Ink = Enabled ? (Dark ? Lighter(M.Accent, 0.3f) : M.Accent) : DisabledText();
        const TRgb Dot = Mark == 1 ? Darker(Ink, Dark ? 0 : 0.2f) : Mix(Ink, Fill, 0.55f);
        if (M.ButtonCorner.Kind == TCorner::Chamfer) {
            const auto Diamond = [&](const TRect& D, TRgb C) {
                P.Shape(D, TCorner::Chamfer, D.Width() / 2.f, TCorner::Chamfer, D.Width() / 2.f,
                        [C](float, float, int, int) { return C; });
            };
            Diamond(R, Edge);
            Diamond(Inset(R, 1), Fill);
            if (Mark)
                Diamond(Inset(R, 4), Dot);
            return;
        }
        const float Cx = (R.Left + R.Right) / 2.f, Cy = (R.Top + R.Bottom) / 2.f, Rad = R.Width() / 2.f - 0.5f;
        P.Disc(Cx, Cy, Rad, Edge);
        P.Disc(Cx, Cy, Rad - 1, Fill);
        if (Mark) {
            P.Disc(Cx, Cy, Rad - 3.2f, Dot);
            if (Mark == 1)
                P.Disc(Cx - 0.8f, Cy - 0.8f, 1.2f, {1, 1, 1}, 0.5f);
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
        // Flat skins have a slim thumb without grip; the others a full one with lines, or dots on satin.
        const int D = M.FaceStyle == TFaceStyle::Flat ? 4 : 2;
        const TRect In =
            Horz ? TRect{R.Left, R.Top + D, R.Right, R.Bottom - D} : TRect{R.Left + D, R.Top, R.Right - D, R.Bottom};
        const TRgb Base = M.FaceStyle == TFaceStyle::Flat ? Mix(M.Face, M.Accent, 0.5f) : Mix(M.Face, M.Accent, 0.15f);
        Face(P, In, S, Base, 4, Light(M.Panel, 0.1f));
        if (M.FaceStyle == TFaceStyle::Flat)
            return;
        const TGlyph Grip = M.FaceStyle == TFaceStyle::Satin ? TGlyph::Dots : Horz ? TGlyph::GripH : TGlyph::GripV;
        P.Glyph(Inset(R, 3), Grip, Luma(Base) < 0.4f ? Lighter(Base, 0.5f) : Darker(Base, 0.35f), 0.8f);
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
        const TRgb Line = Mix(M.Panel, M.PanelText, 0.35f);
        const TRect Body{R.Left, R.Top + (Kind == 1 ? 0 : 2), R.Right, R.Bottom + 6};
        const TRgb Page = Light(M.Panel, 0.3f);
        const TRgb Top = Kind == 1   ? Light(Page, 0.4f)
                         : Kind == 2 ? Light(Mix(M.Face, M.Accent, 0.3f), 0.3f)
                                     : Light(M.Face, 0.15f);
        const TRgb Bottom = Kind == 1 ? Page : Kind == 2 ? Mix(M.Face, M.Accent, 0.3f) : Darker(M.Face, 0.05f);
        const auto Shade = [&](float, float V, int, int) { return Mix(Top, Bottom, std::min(1.f, V * 1.4f)); };
        switch (M.TabStyle) {
        case TTabStyle::Rounded:
            P.RoundRect(Body, 5, Shade);
            P.RoundFrame(Body, 5, Line);
            break;
        case TTabStyle::Cut:
            P.Shape(Body, TCorner::Chamfer, 6, TCorner::Square, 0, Shade);
            P.ShapeFrame(Body, TCorner::Chamfer, 6, TCorner::Square, 0, Line);
            break;
        case TTabStyle::Square:
            P.Shade(Body, Shade);
            LitRing(P, Body, {TCorner::Square, 0}, Kind == 1 ? Lighter(Page, 0.6f) : Line, Line);
            P.Fill({Body.Left, Body.Top, Body.Right, Body.Top + 1}, Line);
            break;
        case TTabStyle::Trapezoid: {
            // Sides slanting in by 7 pixels from the foot to the top.
            const float Slant = 7;
            for (int Y = Body.Top; Y < R.Bottom; ++Y) {
                const float In = Slant * (1 - float(Y - Body.Top) / float(R.Bottom - Body.Top));
                const float V = float(Y - Body.Top) / float(Body.Height());
                for (int X = R.Left; X < R.Right; ++X) {
                    const float Px = X + 0.5f;
                    const float A = std::clamp(std::min(Px - (R.Left + In), R.Right - In - Px) + 0.5f, 0.f, 1.f);
                    P.Blend(X, Y, Shade(0, V, X, Y), A);
                }
            }
            P.Line(R.Left + Slant, Body.Top + 0.5f, R.Right - Slant, Body.Top + 0.5f, Line, 1);
            P.Line(R.Left + 0.5f, R.Bottom, R.Left + Slant, Body.Top + 0.5f, Line, 1);
            P.Line(R.Right - 0.5f, R.Bottom, R.Right - Slant, Body.Top + 0.5f, Line, 1);
            break;
        }
        case TTabStyle::Underline:
            // Flat: only a tint on hover and a bar in the accent under the chosen page.
            if (Kind == 2)
                P.Fill(Body, Mix(M.Panel, M.Accent, 0.18f));
            if (Kind == 1) {
                P.Fill({R.Left, R.Bottom - 3, R.Right, R.Bottom}, M.Accent);
                return;
            }
            P.Fill({R.Left, R.Bottom - 1, R.Right, R.Bottom}, Line);
            return;
        }
        if (Kind == 1)
            P.Fill({R.Left + 4, R.Top + 1, R.Right - 4, R.Top + 3}, M.Accent);
        else
            P.Fill({R.Left, R.Bottom - 1, R.Right, R.Bottom}, Line);
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
        T->TabLeftOffset = T->TabRightOffset = M.TabStyle == TTabStyle::Trapezoid ? 9 : 6;
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
        // Round knobs on the skins with round caption buttons, slim bars on flat ones, grip blocks elsewhere.
        const bool Knob = M.CapStyle == TCapStyle::Circle;
        const bool Slim = M.FaceStyle == TFaceStyle::Flat;
        const TPoint HSize = Knob ? TPoint{17, 17} : Slim ? TPoint{8, 18} : TPoint{12, 18};
        const auto SliderThumb = [this, Knob, Slim](TPainter& P, const TRect& R, bool Horz, bool Pressed) {
            if (Knob) {
                P.Fill(R, M.Panel);
                const float Cx = (R.Left + R.Right) / 2.f, Cy = (R.Top + R.Bottom) / 2.f, Rad = R.Width() / 2.f - 0.5f;
                const TRgb Body = Pressed ? Mix(M.Face, M.Accent, 0.35f) : M.Face;
                P.Disc(Cx, Cy, Rad, Darker(Body, 0.45f));
                for (int Y = R.Top; Y < R.Bottom; ++Y)
                    for (int X = R.Left; X < R.Right; ++X) {
                        const float Dd = std::hypot(X + 0.5f - Cx, Y + 0.5f - Cy);
                        const float Lit =
                            std::clamp(1 - std::hypot(X + 0.5f - Cx + 2, Y + 0.5f - Cy + 3) / 10, 0.f, 1.f);
                        P.Blend(X, Y, Mix(Body, {1, 1, 1}, Lit * (Pressed ? 0.4f : 0.7f)),
                                std::clamp(Rad - 0.5f - Dd, 0.f, 1.f));
                    }
                P.Disc(Cx, Cy, Pressed ? 2.5f : 2, M.Accent);
                // The control keys the thumb by its corner pixel, the surface colour: a highlight that rounds to
                // that colour would let the ruler show through the knob.
                const auto Key = [](TRgb C) { return std::tuple{Byte(C.R), Byte(C.G), Byte(C.B)}; };
                for (int Y = R.Top; Y < R.Bottom; ++Y)
                    for (int X = R.Left; X < R.Right; ++X)
                        if (std::hypot(X + 0.5f - Cx, Y + 0.5f - Cy) < Rad - 0.5f && Key(P.At(X, Y)) == Key(M.Panel))
                            P.Put(X, Y, Darker(M.Panel, 0.02f));
                return;
            }
            Face(P, R, Pressed ? TState::Down : TState::Normal, Slim ? M.Accent : M.Face, 4, M.Panel);
            if (!Slim)
                P.Glyph(Inset(R, 2), Horz ? TGlyph::GripH : TGlyph::GripV, Darker(M.Face, 0.4f), 0.7f);
        };
        // A slider thumb holds two states side by side: normal on the left, pressed (or disabled) on the right.
        const auto TwoThumbs = [SliderThumb](bool Horz) {
            return [SliderThumb, Horz](TPainter& P, const TRect& R) {
                const int W = R.Width() / 2;
                SliderThumb(P, {R.Left, R.Top, R.Left + W, R.Bottom}, Horz, false);
                SliderThumb(P, {R.Left + W, R.Top, R.Right, R.Bottom}, Horz, true);
            };
        };
        S->HThumbRect = Alloc(HSize.X * 2, HSize.Y, TwoThumbs(true));
        S->VThumbRect = Alloc(HSize.Y * 2, HSize.X, TwoThumbs(false));
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
        L->VScrollBarName = u"vscrollbar";
        L->HScrollBarName = u"hscrollbar";
        L->BothScrollBarName = u"bothhscrollbar";

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
    TPoint CaptionButtonSize() const {
        switch (M.CapStyle) {
        case TCapStyle::Circle:
            return {20, 20};
        case TCapStyle::Square:
            return {22, 18};
        case TCapStyle::Bare:
            return {30, CaptionH - 2};
        default:
            return {26, 20};
        }
    }
    // A caption button in state S; Inactive draws its idle look over the inactive frame's band, dimmed as the
    // inactive title is.
    void CaptionButton(TPainter& P, const TRect& R, TState S, TGlyph G, bool Close, bool Inactive = false) const {
        const TRgb Frame = Inactive ? InactiveFrame() : M.Frame;
        P.Shade(R, [&](float, float V, int, int) {
            return Band(Frame, (CaptionH - R.Height()) / 2 + int(V * (R.Height() - 1)));
        });
        const TRgb Ink = Inactive ? Readable(Mix(M.FrameText, Frame, 0.35f), Band(Frame, CaptionH / 2)) : M.FrameText;
        const bool Lit = S == TState::Hot || S == TState::Down;
        const TRgb Plate = Close ? (Inactive ? Grey(Rgb(200, 56, 44), 0.7f) : Rgb(200, 56, 44))
                                 : Mix(Frame, Lighter(M.Accent, 0.2f), 0.7f);
        const TRgb C = S == TState::Down ? Darker(Plate, 0.25f) : Plate;
        const TRgb LitInk = Close || !M.DarkText ? TRgb{1, 1, 1} : Ink;
        const float Idle = S == TState::Disabled ? 0.35f : 0.95f;
        switch (M.CapStyle) {
        case TCapStyle::Circle: {
            const float Cx = (R.Left + R.Right) / 2.f, Cy = (R.Top + R.Bottom) / 2.f, Rad = R.Height() / 2.f - 1;
            // Idle buttons are rings; the close button keeps its colour.
            const TRgb Body = Lit ? C : Close ? Mix(Frame, Plate, 0.75f) : Mix(Frame, {1, 1, 1}, 0.18f);
            P.Disc(Cx, Cy, Rad, Darker(Body, 0.35f));
            P.Disc(Cx, Cy, Rad - 1, Body);
            P.Disc(Cx, Cy - Rad / 3, Rad / 2, {1, 1, 1}, Lit ? 0.25f : 0.15f);
            P.Glyph(Inset(R, 5), G, Lit || Close ? LitInk : Ink, Lit ? 1 : Idle);
            break;
        }
        case TCapStyle::Square:
            P.Fill(Inset(R, 1), Lit ? C : Mix(Frame, Darker(Frame, 0.5f), 0.4f));
            LitRing(P, Inset(R, 1), {TCorner::Square, 0}, Lighter(Lit ? C : Frame, 0.4f),
                    Darker(Lit ? C : Frame, 0.45f));
            P.Glyph(Inset(R, 3), G, Lit ? LitInk : Ink, Lit ? 1 : Idle);
            break;
        case TCapStyle::Bare:
            if (Lit)
                P.Fill(R, Close ? C : Mix(Frame, M.Accent, S == TState::Down ? 0.7f : 0.5f));
            P.Glyph(Inset(R, 5), G, Lit ? TRgb{1, 1, 1} : Ink, Lit ? 1 : Idle);
            break;
        case TCapStyle::Rounded:
            if (Lit) {
                P.RoundRect(Inset(R, 1), 4, [&](float, float V, int, int) { return Mix(Lighter(C, 0.35f), C, V); });
                if (S == TState::Hot)
                    P.RoundRect({R.Left + 2, R.Top + 2, R.Right - 2, R.Top + R.Height() / 2}, 3, {1, 1, 1}, 0.25f);
                P.RoundFrame(Inset(R, 1), 4, Darker(C, 0.4f));
                P.Glyph(Inset(R, 3), G, LitInk);
            } else {
                P.RoundRect(Inset(R, 1), 4, {1, 1, 1}, S == TState::Disabled ? 0.03f : 0.08f);
                P.RoundFrame(Inset(R, 1), 4, M.DarkText ? Darker(Frame, 0.3f) : Lighter(Frame, 0.4f), 0.35f);
                P.Glyph(Inset(R, 3), G, Ink, Idle);
            }
            break;
        }
    }
    void Emblem(TPainter& P, const TRect& R, bool Inactive = false) const {
        const TRgb Frame = Inactive ? InactiveFrame() : M.Frame;
        P.Shade(R, [&](float, float V, int, int) {
            return Band(Frame, (CaptionH - R.Height()) / 2 + int(V * (R.Height() - 1)));
        });
        const float Cx = (R.Left + R.Right) / 2.f, Cy = (R.Top + R.Bottom) / 2.f;
        const TRgb Lively = M.Pattern == TPattern::Stars ? M.Accent : Lighter(M.Accent, 0.1f);
        const TRgb Body = Inactive ? Grey(Mix(Lively, Frame, 0.3f), 0.6f) : Lively;
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
            P.Line(Cx - 8, Cy + 2, Cx + 8, Cy - 2, Lighter(M.FrameText, 0.2f), 1.2f, Inactive ? 0.5f : 0.9f);
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
            const auto Img = [=, this](TState S, TGlyph G, bool Inactive = false) {
                const TPoint Size = CaptionButtonSize();
                return Alloc(Size.X, Size.Y,
                             [=, this](TPainter& P, const TRect& R) { CaptionButton(P, R, S, G, Close, Inactive); });
            };
            B->SkinRect = Img(TState::Normal, E.Glyph);
            B->ActiveSkinRect = Img(TState::Hot, E.Glyph);
            B->DownRect = Img(TState::Down, E.Glyph);
            B->DisableSkinRect = Img(TState::Disabled, E.Glyph);
            // The buttons carry their own piece of the caption band, so an inactive frame needs its own.
            B->InActiveSkinRect = Img(TState::Normal, E.Glyph, true);
            if (E.Restore != TGlyph::None) {
                B->RestoreRect = Img(TState::Normal, E.Restore);
                B->RestoreActiveRect = Img(TState::Hot, E.Restore);
                B->RestoreDownRect = Img(TState::Down, E.Restore);
                B->RestoreInActiveRect = Img(TState::Normal, E.Restore, true);
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
        Sys->InActiveSkinRect = Alloc(18, 18, [this](TPainter& P, const TRect& R) { Emblem(P, R, true); });
    }

    const TMaterial& M;
    TbsSkinData& D;
    const int CaptionH;
    const int Border;
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
