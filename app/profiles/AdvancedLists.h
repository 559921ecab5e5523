#pragma once

#include <span>
#include <string>

#include "app/profiles/OutputParams.h"
#include "platform/base/System.h"

// The six advanced values a user may override, in the order the advanced combo boxes are filled:
// bsSkinComboBox1, bsSkinComboBox2, bsSkinComboBox9, bsSkinComboBox3, bsSkinComboBox10, bsSkinComboBox4.
enum TAdvancedKind { akFrameSize, akVideoBitrate, akFrameRate, akAudioBitrate, akSampleRate, akAspectMode };

// The advanced combo box of a kind on a form that holds the six under the windows' names (the main window and the
// settings dialog).
template <class TForm> auto AdvancedComboOf(const TForm& Form, TAdvancedKind Kind) -> decltype(Form.bsSkinComboBox1) {
    switch (Kind) {
    case akFrameSize:
        return Form.bsSkinComboBox1;
    case akVideoBitrate:
        return Form.bsSkinComboBox2;
    case akFrameRate:
        return Form.bsSkinComboBox9;
    case akAudioBitrate:
        return Form.bsSkinComboBox3;
    case akSampleRate:
        return Form.bsSkinComboBox10;
    case akAspectMode:
        return Form.bsSkinComboBox4;
    }
    return nullptr;
}
constexpr int AdvancedKindCount = 6;

// One fixed list of item texts of an advanced combo box ("FS01", "SIZE1"). The order is the display and
// index order; it is never sorted, and a main-window list may hold the same text twice.
struct TAdvancedValueList {
    const char16_t* Name;
    TAdvancedKind Kind;
    std::span<const char16_t* const> Items;

    int Count() const { return int(Items.size()); }
    String Item(int Index) const { return Items[Index]; }
};

// A combo box's list and the item selected by default.
struct TAdvancedChoice {
    const TAdvancedValueList* List;
    int DefaultIndex;

    String DefaultText() const { return List->Item(DefaultIndex); }
};

// The choices of the profile codes FirstCode to LastCode (one code in the main window's table; the settings
// dialog's table joins runs of equal rows). Choices are indexed by TAdvancedKind. AudioOnly: the four video
// combo boxes are disabled after the fill.
struct TAdvancedComboRow {
    int FirstCode;
    int LastCode;
    int CategoryItem; // item index of the category combo box that offers these codes
    TAdvancedChoice Choices[AdvancedKindCount];
    bool AudioOnly;

    const TAdvancedChoice& Choice(TAdvancedKind Kind) const { return Choices[Kind]; }
};

// The main window's 55 lists, in the order FS01..FS14, VB01..VB21, FR01..FR06, AB01..AB05, SR01..SR06,
// SC01..SC03, and its 169 rows in the order of the category combo box and the profile lists.
std::span<const TAdvancedValueList* const> AdvancedValueLists();
std::span<const TAdvancedComboRow> AdvancedComboDefaults();

// The settings dialog's own 50 lists (SIZE1..SIZE19, VRATE1..VRATE10, FPS1..FPS7, ARATE1..ARATE6, HZ1..HZ5,
// ASPECT1..ASPECT3) and its rows for the 109 codes it offers.
std::span<const TAdvancedValueList* const> SettingsAdvancedValueLists();
std::span<const TAdvancedComboRow> SettingsAdvancedComboDefaults();

// A list by its name in the given catalogue; nullptr when there is none.
const TAdvancedValueList* FindAdvancedValueList(std::span<const TAdvancedValueList* const> Lists,
                                                std::u16string_view Name);
// The row holding ProfileCode; nullptr for a code without a row (its combo boxes stay empty).
const TAdvancedComboRow* FindAdvancedComboRow(std::span<const TAdvancedComboRow> Table, int ProfileCode);

// What the fill needs of one advanced combo box. The main window's and the settings dialog's skinned combo
// boxes implement it; adding items and enabling fire nothing, selecting an item may run the owner's
// change handler at once.
class TAdvancedComboTarget {
public:
    virtual ~TAdvancedComboTarget() = default;
    virtual void ClearItems() = 0;
    virtual void AddItem(const String& S) = 0;
    virtual void SetItemIndex(int Index) = 0;
    virtual void SetEnabled(bool Value) = 0;
};

// The six combo boxes of one form, indexed by TAdvancedKind.
struct TAdvancedCombos {
    TAdvancedComboTarget* Combo[AdvancedKindCount] = {};

    TAdvancedComboTarget& operator[](TAdvancedKind Kind) const { return *Combo[Kind]; }
};

// The fill of the six advanced combo boxes for ProfileCode, shared by the main window and the settings
// dialog (each with its own table): empty and enable all six, record the code and clear the disable-video
// flag in Params, then, when the code has a row, fill each combo box in turn with its list and select its
// default (one combo box complete before the next is touched), and for an audio-only row disable the four
// video combo boxes. Returns the row, or nullptr when the code has none.
const TAdvancedComboRow* FillAdvancedCombos(const TAdvancedCombos& Combos, std::span<const TAdvancedComboRow> Table,
                                            int ProfileCode, TOutputParams& Params);

// The settings dialog's profile code: its category and profile combo boxes' item indices, unchecked.
int SettingsProfileCode(int CategoryIndex, int ProfileIndex);

// The fill as each form runs it from the item indices of its category and profile combo boxes: the main
// window keys its table by the catalogue's profile code (through the category's profile group), the settings
// dialog by its own code.
const TAdvancedComboRow* FillMainAdvancedCombos(const TAdvancedCombos& Combos, int CategoryIndex, int ProfileIndex,
                                                TOutputParams& Params);
const TAdvancedComboRow* FillSettingsAdvancedCombos(const TAdvancedCombos& Combos, int CategoryIndex, int ProfileIndex,
                                                    TOutputParams& Params);
