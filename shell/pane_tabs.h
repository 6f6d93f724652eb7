#pragma once

#include <memory>
#include <vector>

#include <wx/string.h>

class PaneLayout;
class wxAuiNotebook;
class wxAuiNotebookEvent;
class wxEvent;
class wxPoint;
class wxWindow;

// The tab groups of a PaneLayout: panes sharing one dock position as the pages of a
// notebook, which the manager docks in their place under the name "tabsN". A closed tab
// keeps its place in its group.
class PaneTabs {
public:
    struct Tab {
        wxWindow* window;
        bool shown;
    };
    struct Group {
        wxAuiNotebook* book;
        std::vector<Tab> tabs;
    };
    // The start of every group's name, the saved layout's included.
    static const wxString kNamePrefix;

    explicit PaneTabs(PaneLayout& layout) : layout_(layout) {}
    ~PaneTabs();

    // The group `window` is a tab or the notebook of, or none.
    Group* GroupOf(wxWindow* window) const;
    wxAuiNotebook* TabsOf(wxWindow* window) const;
    bool IsNotebook(wxWindow* window) const;
    // Whether the tab `window` shows; false for a window that is no tab.
    bool IsTabShown(wxWindow* window) const;
    const std::vector<std::unique_ptr<Group>>& Groups() const { return groups_; }

    // A group named `name` in the dock position of `first`, its one tab.
    Group* NewGroup(wxWindow* first, const wxString& name);
    // A loaded group's name; new groups are numbered after it.
    void NoteLoadedName(const wxString& name);
    void AddTab(Group& group, wxWindow* window, bool shown);
    void SetTabShown(Group& group, Tab& tab, bool shown);
    // The group's caption is its active tab's; a group with no tab shown is hidden.
    void UpdateGroupPane(Group& group);

    void GroupAsTabs(wxWindow* target, wxWindow* moved);
    void PullOutOfTabs(wxWindow* window, const wxPoint& screenPoint);

private:
    void OnTabChanged(wxAuiNotebookEvent& event);
    void OnTabClose(wxAuiNotebookEvent& event);
    void OnTabEndDrag(wxAuiNotebookEvent& event);
    wxAuiNotebook* BookOfEvent(wxEvent& event) const;
    void DissolveIfSingle(Group* group);

    PaneLayout& layout_;
    std::vector<std::unique_ptr<Group>> groups_;
    int nextGroup_ = 0;
};
