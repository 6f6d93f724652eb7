#include "shell/pane_record.h"

#include <algorithm>
#include <limits>
#include <map>
#include <set>
#include <vector>

#include <wx/aui/auibook.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/tokenzr.h>

#include "app/output_view.h"
#include "resources/string_ids.h"
#include "resources/string_table.h"
#include "shell/pane_layout.h"
#include "shell/pane_side_bars.h"
#include "shell/pane_tabs.h"

namespace {

// The first field of a saved layout; a layout of any other version is not read. The first
// version lacks the client size the layout was saved with.
const wxString kLayoutTag = "ZentrikLayout2";
const wxString kLayoutTagWithoutSize = "ZentrikLayout1";
// Fields of a saved layout; the toolkit's perspectives use neither character.
constexpr wxChar kFieldSeparator = '#';
constexpr wxChar kEntrySeparator = '&';

// A frame holds a handful of panes, so no dock of it lies beyond this layer, row or
// position. The toolkit's layout visits every layer and row up to the largest number it is
// given, so a record with a larger one is damaged, not merely odd: 2000000000 would hold
// every start in that loop.
constexpr long kMaxDockPlace = 31;
// A pane's share of its dock's length; the toolkit gives a pane 100000 and multiplies the
// share by the dock's length in pixels.
constexpr long kMaxProportion = 1000000;
// Sizes and floating positions, in pixels, far past any screen.
constexpr long kMaxPixels = 1 << 20;
// The entries of one field of a record: panes, bars, docks and groups together are few.
constexpr size_t kMaxEntries = 64;
// The state bits that tell how the user arranged a pane; every other bit (its buttons,
// whether it may float or be closed, what closing it does) is the program's.
constexpr unsigned kArrangedState = wxAuiPaneInfo::optionFloating | wxAuiPaneInfo::optionHidden;

// The parts of a perspective text, or of one of its pane entries, split as the toolkit
// splits them: "\|" and "\;" stand for the characters themselves, not for separators.
// Joined again with the same separator they give the text back.
wxArrayString SplitAsToolkit(const wxString& text, wxChar separator) {
    wxString masked = text;
    masked.Replace("\\|", "\a");
    masked.Replace("\\;", "\b");
    wxArrayString parts = wxSplit(masked, separator, '\0');
    for (wxString& part : parts) {
        part.Replace("\a", "\\|");
        part.Replace("\b", "\\;");
    }
    return parts;
}

bool Within(long value, long low, long high) { return value >= low && value <= high; }

// The values a numeric field of a pane entry may take.
std::pair<long, long> FieldBounds(const wxString& key) {
    if (key == "state") return {0, 0xFFFFFFFFL};
    if (key == "dir") return {wxAUI_DOCK_NONE, wxAUI_DOCK_CENTER};
    if (key == "layer" || key == "row" || key == "pos") return {0, kMaxDockPlace};
    if (key == "prop") return {0, kMaxProportion};
    if (key == "floatx" || key == "floaty") return {-kMaxPixels, kMaxPixels};
    return {-1, kMaxPixels};  // least, best, largest and floating sizes; -1 for none
}

// The first field of a pane entry that is no number or lies outside its bounds; empty when
// every value can be used.
wxString PaneEntryFault(const wxString& entry) {
    for (const wxString& field : SplitAsToolkit(entry, ';')) {
        const wxString key = field.BeforeFirst('=');
        if (field.empty() || key == "name" || key == "caption") continue;
        long value = 0;
        const auto [low, high] = FieldBounds(key);
        if (!field.AfterFirst('=').ToLong(&value) || !Within(value, low, high)) return field;
    }
    return wxString();
}

// "dock_size(direction,layer,row)=size" read into its four numbers, each within bounds.
bool ReadDockEntry(const wxString& entry, long (&numbers)[4]) {
    if (!entry.StartsWith("dock_size(") || entry.AfterFirst(')').Left(1) != "=") return false;
    const wxArrayString place = wxSplit(entry.AfterFirst('(').BeforeFirst(')'), ',', '\0');
    if (place.size() != 3) return false;
    for (size_t i = 0; i < 3; ++i) {
        if (!place[i].ToLong(&numbers[i])) return false;
    }
    return entry.AfterFirst('=').ToLong(&numbers[3]) &&
           Within(numbers[0], wxAUI_DOCK_NONE, wxAUI_DOCK_CENTER) &&
           Within(numbers[1], 0, kMaxDockPlace) && Within(numbers[2], 0, kMaxDockPlace) &&
           Within(numbers[3], 0, kMaxPixels);
}

// The first entry of a perspective that the program would not write or whose values lie
// outside what the frame can hold; empty when all can be used.
wxString PerspectiveFault(const wxString& perspective) {
    const wxArrayString entries = SplitAsToolkit(perspective, '|');
    if (entries.size() > kMaxEntries) return entries[kMaxEntries];
    for (size_t i = 1; i < entries.size(); ++i) {
        long dock[4];
        if (entries[i].empty() || ReadDockEntry(entries[i], dock)) continue;
        if (!entries[i].StartsWith("name=")) return entries[i];
        if (const wxString fault = PaneEntryFault(entries[i]); !fault.empty()) return fault;
    }
    return wxString();
}

// One pane or dock entry of a record being written, with its place.
struct PlacedEntry {
    wxString* text;
    bool pane;
    wxArrayString fields;  // a pane's fields; unused for a dock
    long dock[4] = {};     // direction, layer, row, size; a pane's position in `position`
    long position = 0;
};

long FieldValue(const wxArrayString& fields, const wxString& key) {
    long value = 0;
    for (const wxString& field : fields) {
        if (field.BeforeFirst('=') == key) field.AfterFirst('=').ToLong(&value);
    }
    return value;
}

void SetField(wxArrayString& fields, const wxString& key, long value) {
    for (wxString& field : fields) {
        if (field.BeforeFirst('=') == key) field = wxString::Format("%s=%ld", key, value);
    }
}

// Brings the pane and dock entries of a record being written within the bounds its loading
// checks. Layers (across the frame), rows (within a side's layer) and positions (within a
// row) are numbered again from 0 in the order they had: the toolkit only compares them, and
// a layer grows by one with every pane dropped on an outer edge. Any other value out of its
// bounds is held at the bound.
void BoundEntries(const std::vector<wxString*>& texts) {
    std::vector<PlacedEntry> entries;
    for (wxString* text : texts) {
        PlacedEntry entry{text, text->StartsWith("name=")};
        if (entry.pane) {
            entry.fields = SplitAsToolkit(*text, ';');
            entry.dock[0] = FieldValue(entry.fields, "dir");
            entry.dock[1] = FieldValue(entry.fields, "layer");
            entry.dock[2] = FieldValue(entry.fields, "row");
            entry.position = FieldValue(entry.fields, "pos");
        } else if (!ReadDockEntry(*text, entry.dock) && !text->StartsWith("dock_size(")) {
            continue;
        }
        entries.push_back(std::move(entry));
    }
    // Each number's rank among the numbers of its kind within the same enclosing place.
    const auto renumber = [&](int which, auto placeOf) {
        std::map<std::vector<long>, std::set<long>> used;
        for (const PlacedEntry& e : entries) {
            used[placeOf(e)].insert(which < 3 ? e.dock[which] : e.position);
        }
        for (PlacedEntry& e : entries) {
            const std::set<long>& numbers = used[placeOf(e)];
            long& number = which < 3 ? e.dock[which] : e.position;
            number = static_cast<long>(std::distance(numbers.begin(), numbers.find(number)));
        }
    };
    renumber(1, [](const PlacedEntry&) { return std::vector<long>{}; });
    renumber(2, [](const PlacedEntry& e) { return std::vector<long>{e.dock[0], e.dock[1]}; });
    renumber(3, [](const PlacedEntry& e) {
        return std::vector<long>{e.pane ? 0L : 1L, e.dock[0], e.dock[1], e.dock[2]};
    });
    for (PlacedEntry& e : entries) {
        for (long& number : e.dock) number = std::clamp(number, 0L, kMaxPixels);
        e.dock[0] = std::min<long>(e.dock[0], wxAUI_DOCK_CENTER);
        e.dock[1] = std::min(e.dock[1], kMaxDockPlace);
        e.dock[2] = std::min(e.dock[2], kMaxDockPlace);
        if (!e.pane) {
            *e.text = wxString::Format("dock_size(%ld,%ld,%ld)=%ld", e.dock[0], e.dock[1],
                                       e.dock[2], e.dock[3]);
            continue;
        }
        for (wxString& field : e.fields) {
            const wxString key = field.BeforeFirst('=');
            long value = 0;
            if (key == "name" || key == "caption" || !field.AfterFirst('=').ToLong(&value))
                continue;
            const auto [low, high] = FieldBounds(key);
            field = wxString::Format("%s=%ld", key, std::clamp(value, low, high));
        }
        SetField(e.fields, "layer", e.dock[1]);
        SetField(e.fields, "row", e.dock[2]);
        SetField(e.fields, "pos", std::min(e.position, kMaxDockPlace));
        *e.text = wxJoin(e.fields, ';', '\0');
    }
}

// The entries of the toolkit's perspective text: "name=...;..." separated by '|'.
std::vector<wxString> PerspectivePaneNames(const wxString& perspective) {
    std::vector<wxString> names;
    wxStringTokenizer entries(perspective, "|");
    while (entries.HasMoreTokens()) {
        const wxString entry = entries.GetNextToken();
        if (entry.StartsWith("name=")) names.push_back(entry.Mid(5).BeforeFirst(';'));
    }
    return names;
}

// "key=value" of one ';'-separated field of a perspective entry, or "" without it.
wxString EntryField(const wxString& entry, const wxString& key) {
    for (const wxString& field : wxSplit(entry, ';', '\0')) {
        if (field.StartsWith(key + "=")) return field.Mid(key.size() + 1);
    }
    return wxString();
}

wxString DockPlace(const wxAuiDockInfo& dock) {
    return wxString::Format("%d,%d,%d", dock.dock_direction, dock.dock_layer, dock.dock_row);
}

// The place ("direction,layer,row") and size of a perspective's "dock_size(place)=size"
// entry; false for any other entry.
bool DockSizeEntry(const wxString& entry, wxString& place, long& size) {
    if (!entry.StartsWith("dock_size(") || !entry.AfterFirst('=').ToLong(&size)) return false;
    place = entry.AfterFirst('(').BeforeFirst(')');
    return true;
}

}  // namespace

wxString FitDockSizes(const wxString& perspective, const wxSize& saved, const wxSize& current,
                      const wxSize& centreMin, const wxSize& dockMin) {
    wxArrayString entries = wxSplit(perspective, '|', '\0');
    // The side bars keep their own thickness.
    std::set<wxString> fixedDocks;
    for (const wxString& entry : entries) {
        if (!entry.StartsWith("name=" + PaneSideBars::kNamePrefix)) continue;
        fixedDocks.insert(EntryField(entry, "dir") + "," + EntryField(entry, "layer") + "," +
                          EntryField(entry, "row"));
    }
    struct Dock {
        size_t entry;
        wxString place;
        bool vertical;
        double size;
    };
    std::vector<Dock> docks;
    for (size_t i = 0; i < entries.size(); ++i) {
        wxString place;
        long size = 0;
        if (!DockSizeEntry(entries[i], place, size) || fixedDocks.count(place) != 0) continue;
        long direction = 0;
        if (!place.BeforeFirst(',').ToLong(&direction)) continue;
        docks.push_back({i, place, IsVerticalSide(static_cast<int>(direction)),
                         static_cast<double>(size)});
    }
    const bool scale = saved.x > 0 && saved.y > 0;
    for (const bool vertical : {true, false}) {
        const double from = vertical ? saved.x : saved.y;
        const double to = vertical ? current.x : current.y;
        const double least = vertical ? dockMin.x : dockMin.y;
        double total = 0;
        for (Dock& dock : docks) {
            if (dock.vertical != vertical) continue;
            if (scale) dock.size = dock.size * to / from;
            dock.size = std::max(dock.size, least);
            total += dock.size;
        }
        const double room = to - (vertical ? centreMin.x : centreMin.y);
        if (total <= room || total <= 0) continue;
        for (Dock& dock : docks) {
            if (dock.vertical == vertical)
                dock.size = std::max(least, dock.size * std::max(room, 0.0) / total);
        }
    }
    for (const Dock& dock : docks) {
        entries[dock.entry] = wxString::Format("dock_size(%s)=%d", dock.place,
                                               static_cast<int>(dock.size + 0.5));
    }
    return wxJoin(entries, '|', '\0');
}

wxRect MovedOnto(const wxRect& rect, const wxRect& area) {
    wxRect moved(rect.GetPosition(),
                 wxSize(std::min(rect.width, area.width), std::min(rect.height, area.height)));
    moved.x = std::clamp(moved.x, area.x, area.GetRight() + 1 - moved.width);
    moved.y = std::clamp(moved.y, area.y, area.GetBottom() + 1 - moved.height);
    return moved;
}

// The version tag, the toolkit's perspective of the docked and floating panes, the tab
// groups ("tabs0:a,-b" where '-' marks a closed tab) and the auto-hidden panes (a '-' for
// one hidden from its bar, then the toolkit's text of where it was docked), within the
// bounds that loading checks.
wxString PaneRecord::Save() {
    layout_.sideBars_->SlideBack();
    wxArrayString entries = SplitAsToolkit(layout_.SavePerspective(), '|');
    // Groups are numbered again from 0 as well, so their names never grow either.
    std::map<wxString, wxString> groupNames;
    wxString groups;
    for (const auto& group : layout_.tabs_->Groups()) {
        const wxString name = PaneTabs::kNamePrefix + wxString::Format("%zu", groupNames.size());
        groupNames[layout_.GetPane(group->book).name] = name;
        if (!groups.empty()) groups += kEntrySeparator;
        groups += name + ":";
        for (size_t i = 0; i < group->tabs.size(); ++i) {
            if (i > 0) groups += ",";
            if (!group->tabs[i].shown) groups += "-";
            groups += layout_.Registered(group->tabs[i].window).name;
        }
    }
    std::vector<wxString*> bounded;
    for (size_t i = 1; i < entries.size(); ++i) {
        wxString& entry = entries[i];
        const auto renamed = groupNames.find(entry.Mid(5).BeforeFirst(';'));
        if (entry.StartsWith("name=") && renamed != groupNames.end())
            entry = "name=" + renamed->second + ";" + entry.AfterFirst(';');
        if (!entry.empty()) bounded.push_back(&entry);
    }
    std::vector<wxString> hiddenInfos;
    for (const PaneSideBars::Hidden& h : layout_.sideBars_->HiddenPanes())
        hiddenInfos.push_back(layout_.SavePaneInfo(h.info));
    for (wxString& info : hiddenInfos) bounded.push_back(&info);
    BoundEntries(bounded);
    wxString hidden;
    for (size_t i = 0; i < hiddenInfos.size(); ++i) {
        if (!hidden.empty()) hidden += kEntrySeparator;
        hidden += (layout_.sideBars_->HiddenPanes()[i].shown ? "" : "-") + hiddenInfos[i];
    }
    const wxSize client = layout_.frame_->GetClientSize();
    return kLayoutTag + kFieldSeparator + wxJoin(entries, '|', '\0') + kFieldSeparator + groups +
           kFieldSeparator + hidden + kFieldSeparator +
           wxString::Format("%ldx%ld", std::clamp<long>(client.x, 1, kMaxPixels),
                            std::clamp<long>(client.y, 1, kMaxPixels));
}

bool PaneRecord::Load(const wxString& text) {
    PaneTabs& tabs = *layout_.tabs_;
    PaneSideBars& bars = *layout_.sideBars_;
    const wxArrayString fields = wxSplit(text, kFieldSeparator, '\0');
    // A layout of another version gives way without a word; one of ours that cannot be
    // used is damaged, and the output pane says where.
    const bool ours =
        !fields.empty() && (fields[0] == kLayoutTag || fields[0] == kLayoutTagWithoutSize);
    if (!ours) return false;
    const auto damaged = [](const wxString& where) {
        constexpr size_t kShown = 60;
        wxString shown = where.Left(kShown);
        if (where.size() > kShown) shown += wxString::FromUTF8("\u2026");
        LogToOutput("%s", resources::FormatString1(
                              resources::LoadText(resources::IDS_LAYOUT_RECORD_DAMAGED),
                              shown.ToStdWstring()));
        return false;
    };
    wxSize saved;
    if (fields.size() == 5 && fields[0] == kLayoutTag) {
        long width = 0, height = 0;
        if (!fields[4].BeforeFirst('x').ToLong(&width) ||
            !fields[4].AfterFirst('x').ToLong(&height) || !Within(width, 1, kMaxPixels) ||
            !Within(height, 1, kMaxPixels))
            return damaged(fields[4]);
        saved = wxSize(static_cast<int>(width), static_cast<int>(height));
    } else if (fields.size() != 4 || fields[0] != kLayoutTagWithoutSize) {
        return damaged(fields[0]);
    }
    if (!fields[1].StartsWith("layout2|")) return damaged(fields[1]);
    // Every value is bounded before any of it reaches the toolkit.
    if (const wxString fault = PerspectiveFault(fields[1]); !fault.empty()) return damaged(fault);
    const wxArrayString groupEntries = wxSplit(fields[2], kEntrySeparator, '\0');
    const wxArrayString hiddenEntries = wxSplit(fields[3], kEntrySeparator, '\0');
    if (groupEntries.size() > kMaxEntries) return damaged(fields[2]);
    if (hiddenEntries.size() > kMaxEntries) return damaged(fields[3]);
    const wxString perspective = FitDockSizes(fields[1], saved, layout_.frame_->GetClientSize(),
                                              layout_.centreMin_, LeastDockSize());

    // Every pane of this program exactly once; group and bar names only as placed.
    std::multiset<wxString> names;
    std::set<wxString> groupNames;
    std::vector<std::pair<wxString, std::vector<wxString>>> groups;
    for (const wxString& entry : groupEntries) {
        const wxString name = entry.BeforeFirst(':');
        long number = 0;
        if (!name.StartsWith(PaneTabs::kNamePrefix) ||
            !name.Mid(PaneTabs::kNamePrefix.size()).ToLong(&number) ||
            !Within(number, 0, kMaxEntries) || !groupNames.insert(name).second)
            return damaged(entry);
        std::vector<wxString> groupTabs;
        for (const wxString& tab : wxSplit(entry.AfterFirst(':'), ',', '\0')) {
            groupTabs.push_back(tab);
            names.insert(tab.StartsWith("-") ? tab.Mid(1) : tab);
        }
        if (groupTabs.size() < 2 || groupTabs.size() > layout_.panes_.size())
            return damaged(entry);
        groups.emplace_back(name, groupTabs);
    }
    std::vector<std::pair<bool, wxAuiPaneInfo>> hiddenPanes;
    for (const wxString& entry : hiddenEntries) {
        const bool shown = !entry.StartsWith("-");
        const wxString paneText = shown ? entry : entry.Mid(1);
        if (!paneText.StartsWith("name=")) return damaged(entry);
        if (const wxString fault = PaneEntryFault(paneText); !fault.empty()) return damaged(fault);
        wxAuiPaneInfo info;
        layout_.LoadPaneInfo(paneText, info);
        if (bars.SideBar(info.dock_direction) == nullptr) return damaged(entry);
        names.insert(info.name);
        hiddenPanes.emplace_back(shown, info);
    }
    for (const wxString& name : PerspectivePaneNames(perspective)) {
        if (name.StartsWith(PaneSideBars::kNamePrefix) || name == pane_names::kPreview) continue;
        if (groupNames.erase(name) == 1) continue;
        names.insert(name);
    }
    if (!groupNames.empty()) return damaged(*groupNames.begin());
    if (names.size() != layout_.panes_.size()) return damaged(fields[1]);
    for (wxWindow* window : layout_.panes_) {
        if (names.count(layout_.Registered(window).name) != 1)
            return damaged(layout_.Registered(window).name);
    }

    for (const auto& [name, groupTabs] : groups) {
        auto window = [this](const wxString& tab) {
            return layout_.WindowNamed(tab.StartsWith("-") ? tab.Mid(1) : tab);
        };
        PaneTabs::Group* group = tabs.NewGroup(window(groupTabs[0]), name);
        group->tabs.front().shown = !groupTabs[0].StartsWith("-");
        for (size_t i = 1; i < groupTabs.size(); ++i) {
            layout_.DetachPane(window(groupTabs[i]));
            tabs.AddTab(*group, window(groupTabs[i]), !groupTabs[i].StartsWith("-"));
        }
        if (!group->tabs.front().shown) tabs.SetTabShown(*group, group->tabs.front(), false);
        group->book->SetSelection(0);
        tabs.NoteLoadedName(name);
    }
    // The side bars and the centre are the program's alone; the record only places panes.
    std::vector<std::pair<wxWindow*, wxAuiPaneInfo>> fixed;
    const wxAuiPaneInfoArray& before = layout_.GetAllPanes();
    for (size_t i = 0; i < before.GetCount(); ++i) {
        if (layout_.registered_.count(before[i].window) == 0 && !tabs.IsNotebook(before[i].window))
            fixed.emplace_back(before[i].window, before[i]);
    }
    layout_.LoadPerspective(perspective, false);
    for (const auto& [window, info] : fixed) layout_.GetPane(window).SafeSet(info);
    wxAuiPaneInfoArray& all = layout_.GetAllPanes();
    for (size_t i = 0; i < all.GetCount(); ++i) {
        KeepProgramsLook(all[i]);
        FitOntoScreen(all[i]);
    }
    for (auto& [shown, info] : hiddenPanes) {
        KeepProgramsLook(info);
        FitOntoScreen(info);
        wxWindow* window = layout_.WindowNamed(info.name);
        wxAuiPaneInfo& pane = layout_.GetPane(window);
        pane.SafeSet(info);
        pane.Show();
        // Docked first, so that AutoHide reads where it was.
        if (pane.IsFloating()) pane.Dock();
        bars.AutoHide(window);
        bars.HiddenOf(window)->info = info;
        if (!shown) bars.SetButtonShown(*bars.HiddenOf(window), false);
    }
    // A saved layout carries the captions of the language it was saved in, and no icons.
    for (wxWindow* window : layout_.panes_) {
        wxAuiPaneInfo& pane = layout_.GetPane(window);
        if (pane.IsOk())
            pane.Caption(layout_.Registered(window).caption).Icon(layout_.Registered(window).icon);
    }
    for (const auto& group : tabs.Groups()) tabs.UpdateGroupPane(*group);
    bars.UpdateBars();
    layout_.Relayout();
    if (layout_.FitDocksToClient()) layout_.Update();
    // A layout of the first version has no client size to fit from again.
    loaded_ = saved.x > 0 ? fields[1] : wxString();
    loadedClient_ = saved;
    arrangement_ = Arrangement();
    return true;
}

// A display that is gone, or a smaller one, leaves no pane out of reach or larger than the
// screen; the least and largest sizes are the program's, whatever the record says.
void PaneRecord::FitOntoScreen(wxAuiPaneInfo& pane) const {
    if (wxWindow* window = layout_.WindowNamed(pane.name)) {
        pane.min_size = layout_.Registered(window).min_size;
        pane.max_size = layout_.Registered(window).max_size;
    } else if (layout_.tabs_->IsNotebook(pane.window)) {
        const PaneTabs::Group* group = layout_.tabs_->GroupOf(pane.window);
        if (group == nullptr || group->tabs.empty()) return;
        pane.min_size = layout_.Registered(group->tabs.front().window).min_size;
        pane.max_size = wxDefaultSize;
    } else {
        return;  // the side bars and the centre keep what the program gave them
    }
    const bool floating = pane.floating_pos != wxDefaultPosition;
    int display = floating ? wxDisplay::GetFromPoint(pane.floating_pos) : wxNOT_FOUND;
    if (display == wxNOT_FOUND) display = wxDisplay::GetFromWindow(layout_.frame_);
    const wxRect area = wxDisplay(display == wxNOT_FOUND ? 0 : display).GetClientArea();
    pane.best_size.DecTo(area.GetSize());
    if (!floating) return;
    wxSize size = pane.floating_size;
    if (size.x <= 0 || size.y <= 0) size = wxSize(1, 1);
    const wxRect rect(pane.floating_pos, size);
    if (area.Contains(rect)) return;
    const wxRect moved = MovedOnto(rect, area);
    pane.floating_pos = moved.GetPosition();
    if (pane.floating_size.x > 0 && pane.floating_size.y > 0) pane.floating_size = moved.GetSize();
}

void PaneRecord::KeepProgramsLook(wxAuiPaneInfo& pane) const {
    unsigned programs = 0;
    if (wxWindow* window = layout_.WindowNamed(pane.name)) {
        programs = layout_.Registered(window).state;
    } else if (layout_.tabs_->IsNotebook(pane.window)) {
        const PaneTabs::Group* group = layout_.tabs_->GroupOf(pane.window);
        if (group == nullptr || group->tabs.empty()) return;
        // As a group is made: its first pane's look without the pin and close buttons.
        programs = layout_.Registered(group->tabs.front().window).state &
                   ~static_cast<unsigned>(wxAuiPaneInfo::buttonClose | wxAuiPaneInfo::buttonPin);
    } else {
        return;
    }
    pane.state = (pane.state & kArrangedState) | (programs & ~kArrangedState);
}

wxSize PaneRecord::LeastDockSize() const {
    wxSize least(std::numeric_limits<int>::max(), std::numeric_limits<int>::max());
    for (wxWindow* window : layout_.panes_) {
        least.x = std::min(least.x, layout_.Registered(window).min_size.x);
        least.y = std::min(least.y, layout_.Registered(window).min_size.y);
    }
    least.IncTo(wxSize(0, 0));
    return least;
}

wxString PaneRecord::Arrangement() const {
    wxString arrangement;
    const wxAuiPaneInfoArray& panes = layout_.m_panes;
    for (size_t i = 0; i < panes.GetCount(); ++i) {
        const wxAuiPaneInfo& pane = panes[i];
        if (pane.name.StartsWith(PaneSideBars::kNamePrefix)) continue;
        arrangement += wxString::Format("%s:%d,%d,%d,%d,%d|", pane.name, pane.dock_direction,
                                        pane.dock_layer, pane.dock_row, pane.IsShown(),
                                        pane.IsFloating());
    }
    return arrangement;
}

bool PaneRecord::Refit() {
    if (loaded_.empty()) return false;
    // A pane docked elsewhere, floated, closed or tabbed: the layout is the user's now. The
    // docks' sizes themselves tell nothing: any update of the layout may change them.
    if (Arrangement() != arrangement_) {
        loaded_.clear();
        return false;
    }
    const wxString fitted = FitDockSizes(loaded_, loadedClient_, layout_.frame_->GetClientSize(),
                                         layout_.centreMin_, LeastDockSize());
    for (const wxString& entry : wxSplit(fitted, '|', '\0')) {
        wxString place;
        long size = 0;
        if (!DockSizeEntry(entry, place, size)) continue;
        for (size_t i = 0; i < layout_.m_docks.GetCount(); ++i) {
            wxAuiDockInfo& dock = layout_.m_docks[i];
            if (!dock.fixed && place == DockPlace(dock)) dock.size = static_cast<int>(size);
        }
    }
    return true;
}
