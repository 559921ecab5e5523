#include "skin/core/SkinRecordNames.h"

namespace {
constexpr auto C = TbsSkinRecordList::Control;
constexpr auto O = TbsSkinRecordList::Object;
} // namespace

const std::vector<TbsSkinRecordName>& SkinRecordNames() {
    static const std::vector<TbsSkinRecordName> Names = {
        // Push and speed buttons, tool-bar buttons by their bar's record, the buttons of edits, combo boxes,
        // column headers, caption quick buttons and the images menu.
        {C, u"button", u"button"},
        {C, u"toolbutton", u"button"},
        {C, u"bigtoolbutton", u"button"},
        {C, u"resizebutton", u"button"},
        {C, u"resizetoolbutton", u"button"},
        {C, u"htracktoolbutton", u"button"},
        {C, u"vtracktoolbutton", u"button"},
        {C, u"combobutton", u"button"},
        {C, u"editbutton", u"button"},
        {C, u"officequickbutton", u"button"},
        {C, u"menuitembutton", u"button"},
        {C, u"toolmenubutton", u"menubutton"},
        {C, u"toolmenutrackbutton", u"menubutton"},
        {C, u"bigtoolmenubutton", u"menubutton"},
        {C, u"bigtoolmenutrackbutton", u"menubutton"},
        // Panels, group boxes, tool and status bars; the catalogue's drop-down list draws on "resizetoolpanel".
        {C, u"panel", u"panel"},
        {C, u"groupbox", u"panel"},
        {C, u"toolpanel", u"panel"},
        {C, u"bigtoolpanel", u"panel"},
        {C, u"resizetoolpanel", u"panel"},
        {C, u"statusbar", u"panel"},
        {C, u"checkbox", u"checkradio"},
        {C, u"radiobox", u"checkradio"},
        {C, u"label", u"label"},
        {C, u"menuheader", u"label"},
        {C, u"stdlabel", u"stdlabel"},
        {C, u"hsplitter", u"splitter"},
        {C, u"vsplitter", u"splitter"},
        {C, u"bevel", u"bevel"},
        {C, u"hscrollbar", u"scrollbar"},
        {C, u"vscrollbar", u"scrollbar"},
        {C, u"bothhscrollbar", u"scrollbar"},
        {C, u"tab", u"tab"},
        {C, u"slider", u"slider"},
        {C, u"treeview", u"treeview"},
        {C, u"listview", u"listview"},
        {C, u"hupdown", u"updown"},
        {C, u"vupdown", u"updown"},
        {C, u"edit", u"edit"},
        {C, u"buttonedit", u"edit"},
        {C, u"memo", u"memo"},
        {C, u"listbox", u"listbox"},
        {C, u"combobox", u"combobox"},
        {C, u"scrollbox", u"scrollbox"},
        {C, u"mainmenubar", u"mainmenubar"},
        // The frame of a skinned form: its caption and caption buttons (the form builds one object per record
        // and places the buttons by command), the rows of popup menus and the menu bar with its MDI buttons.
        {O, u"caption", u"caption"},
        {O, u"closebutton", u"stdbutton"},
        {O, u"maxbutton", u"stdbutton"},
        {O, u"minbutton", u"stdbutton"},
        {O, u"rollupbutton", u"stdbutton"},
        {O, u"sysmenubutton", u"stdbutton"},
        {O, u"traybutton", u"stdbutton"},
        {O, u"menuitem", u"menuitem"},
        {O, u"mainmenubaritem", u"mainmenubaritem"},
        {O, u"mdiclosebutton", u"mainmenubarbutton"},
        {O, u"mdimaxbutton", u"mainmenubarbutton"},
        {O, u"mdiminbutton", u"mainmenubarbutton"},
        {O, u"mdisysmenubutton", u"mainmenubarbutton"},
    };
    return Names;
}
