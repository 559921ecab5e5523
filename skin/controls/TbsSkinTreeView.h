// The skinned tree view: the class library's tree view without frame or native bars, its colour and font from a
// tree-view record, and one or two external skinned scroll bars kept in step with its scroll state.
#pragma once

#include <memory>

#include "platform/ui/TreeViews.h"
#include "skin/controls/TbsSkinScrollBar.h"

class TbsSkinCustomTreeView : public TCustomTreeView {
    QV_CLASS_NAME(TbsSkinCustomTreeView)
public:
    explicit TbsSkinCustomTreeView(TComponent* AOwner);

    TbsSkinData* SkinData() const { return FSD; }
    void SetSkinData(TbsSkinData* Value);
    const String& SkinDataName() const { return FSkinDataName; }
    void SetSkinDataName(const String& Value) { FSkinDataName = Value; }
    TFont* DefaultFont() const { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value);
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
    TColor DefaultColor() const { return FDefaultColor; }
    void SetDefaultColor(TColor Value);
    TbsSkinScrollBar* VScrollBar() const { return FVScrollBar; }
    void SetVScrollBar(TbsSkinScrollBar* Value);
    TbsSkinScrollBar* HScrollBar() const { return FHScrollBar; }
    void SetHScrollBar(TbsSkinScrollBar* Value);

    virtual void ChangeSkinData();
    void UpDateScrollBars();

    void Loaded() override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;

    bool FInCheckScrollBars = false;
    TbsSkinData* FSD = nullptr;
    String FSkinDataName = u"treeview";
    int FIndex = -1;
    std::unique_ptr<TFont> FDefaultFont;
    bool FUseSkinFont = true;
    TColor FDefaultColor = clWindow;
    TbsSkinScrollBar* FVScrollBar = nullptr;
    TbsSkinScrollBar* FHScrollBar = nullptr;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Change(TTreeNode* Node) override;

private:
    // Scrolls the view to Position on Bar (SB_VERT or SB_HORZ) with WM_VSCROLL or WM_HSCROLL.
    void ScrollTo(int Bar, int Position);
};
