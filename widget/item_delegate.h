#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <boost/signals2/connection.hpp>
#include <boost/signals2/signal.hpp>
#include <wx/gdicmn.h>
#include <wx/string.h>

#include "widget/tree_item.h"

class wxDC;
class wxWindow;

namespace widget {

class WComboBox;
class WEdit;

// What a view tells a delegate about a cell.
struct WViewItemOption {
    int enabled = 1;             // 1 when the cell may be edited
    wxRect rect;                 // the cell in the view's client coordinates
    wxString text;               // the cell's text when painting; empty for an editor
    wxWindow* view = nullptr;
};

// An in-place editor: its window, shared by the delegate and the view. The last holder
// destroys the window (unless its parent already has).
struct WDelegateEditor {
    boost::signals2::signal<void()> closeRequested;
    std::shared_ptr<wxWindow> window;
};

// Holds a window for an editor; releasing the last reference calls Destroy() on it.
std::shared_ptr<wxWindow> MakeEditorWindowPointer(wxWindow* window);

// Decides how one column of a list view is edited: makes the editor, loads and stores the
// cell's value and places the editor. `commitRequested` carries the editor window whose
// value is to be written back.
class WAbstractItemDelegate {
public:
    virtual ~WAbstractItemDelegate() = default;

    virtual std::shared_ptr<WDelegateEditor> CreateEditor(wxWindow* parent,
                                                          const WViewItemOption& option,
                                                          const WModelIndex& index) = 0;
    // Event 0: editing of the cell has just started.
    virtual bool EditorEvent(int event, WTreeItemModel* model, const WModelIndex& index);
    virtual void Paint(wxDC* dc, const WViewItemOption& option, const WModelIndex& index) = 0;
    virtual void SetEditorData(wxWindow* editor, const WModelIndex& index) = 0;
    virtual void SetModelData(wxWindow* editor, WTreeItemModel* model,
                              const WModelIndex& index) = 0;
    virtual void UpdateEditorGeometry(std::shared_ptr<WDelegateEditor> editor,
                                      const wxRect& rect) = 0;

    boost::signals2::signal<void(wxWindow*)> commitRequested;
};

// A delegate whose editor windows come from `editorFactory` (the delegate owns what it
// returns, not yet created).
class WItemDelegate : public WAbstractItemDelegate {
public:
    using EditorFactory = std::function<wxWindow*()>;

    // Ends the connections to editors that are still alive, so that none can reach a
    // destroyed delegate.
    ~WItemDelegate() override;

    void Paint(wxDC* dc, const WViewItemOption& option, const WModelIndex& index) override;
    // Moves the editor's window to `rect` and repaints it.
    void UpdateEditorGeometry(std::shared_ptr<WDelegateEditor> editor,
                              const wxRect& rect) override;

    void SetEditorFactory(EditorFactory factory) { editorFactory = std::move(factory); }

    EditorFactory editorFactory;

protected:
    // Calls the factory: std::bad_function_call when it is empty.
    std::shared_ptr<wxWindow> MakeEditorWindow();
    void KeepConnection(boost::signals2::connection connection);

private:
    std::vector<boost::signals2::connection> editorConnections_;
};

// Edits a cell in a text box and stores the text as VT_BSTR. Each editor commits with its
// own window, so an editor that finishes after a newer one was made writes its own cell.
class WEditDelegate : public WItemDelegate {
public:
    WEditDelegate();
    ~WEditDelegate() override;

    std::shared_ptr<WDelegateEditor> CreateEditor(wxWindow* parent, const WViewItemOption& option,
                                                  const WModelIndex& index) override;
    void SetEditorData(wxWindow* editor, const WModelIndex& index) override;
    void SetModelData(wxWindow* editor, WTreeItemModel* model, const WModelIndex& index) override;
    virtual WEdit* CreateEdit();

    std::shared_ptr<WDelegateEditor> currentEditor;
};

// Edits a cell with a drop-down list of the texts `optionListProvider` gives for it.
class WComboBoxDelegate : public WItemDelegate {
public:
    using OptionListProvider = std::function<std::vector<wxString>(const WModelIndex&)>;

    WComboBoxDelegate();
    ~WComboBoxDelegate() override;

    // The factory must make a WComboBox or a subclass; anything else is refused with
    // std::invalid_argument.
    std::shared_ptr<WDelegateEditor> CreateEditor(wxWindow* parent, const WViewItemOption& option,
                                                  const WModelIndex& index) override;
    // Event 0 opens the list of the current editor.
    bool EditorEvent(int event, WTreeItemModel* model, const WModelIndex& index) override;
    void SetEditorData(wxWindow* editor, const WModelIndex& index) override;
    void SetModelData(wxWindow* editor, WTreeItemModel* model, const WModelIndex& index) override;
    void UpdateEditorGeometry(std::shared_ptr<WDelegateEditor> editor,
                              const wxRect& rect) override;

    void SetOptionListProvider(OptionListProvider provider) {
        optionListProvider = std::move(provider);
    }
    static WComboBox* DefaultEditorFactory();

    std::shared_ptr<WDelegateEditor> currentEditor;
    OptionListProvider optionListProvider;
};

// A value as the text a cell shows; ComError when it has none.
wxString VariantText(const Variant& value);

}  // namespace widget
