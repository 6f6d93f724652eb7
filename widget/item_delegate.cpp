#include "widget/item_delegate.h"

#include <stdexcept>

#include <wx/weakref.h>
#include <wx/window.h>

#include "widget/controls.h"

namespace widget {

std::shared_ptr<wxWindow> MakeEditorWindowPointer(wxWindow* window) {
    // The parent destroys its children with itself; the weak reference keeps a late
    // release from destroying the window a second time.
    wxWeakRef<wxWindow> alive(window);
    return std::shared_ptr<wxWindow>(window, [alive](wxWindow*) mutable {
        if (alive) alive->Destroy();
    });
}

wxString VariantText(const Variant& value) {
    return wxString(value.ChangeType(VT_BSTR).Bstr());
}

bool WAbstractItemDelegate::EditorEvent(int, WTreeItemModel*, const WModelIndex&) {
    return false;
}

WItemDelegate::~WItemDelegate() {
    for (auto& connection : editorConnections_) connection.disconnect();
}

void WItemDelegate::Paint(wxDC*, const WViewItemOption&, const WModelIndex&) {}

void WItemDelegate::UpdateEditorGeometry(std::shared_ptr<WDelegateEditor> editor,
                                         const wxRect& rect) {
    if (!editor || !editor->window) return;
    editor->window->SetSize(rect);
    editor->window->Refresh();
}

std::shared_ptr<wxWindow> WItemDelegate::MakeEditorWindow() {
    if (!editorFactory) throw std::bad_function_call();
    return MakeEditorWindowPointer(editorFactory());
}

void WItemDelegate::KeepConnection(boost::signals2::connection connection) {
    // Connections of destroyed editors have ended by themselves.
    std::vector<boost::signals2::connection> live;
    for (auto& c : editorConnections_) {
        if (c.connected()) live.push_back(c);
    }
    live.push_back(std::move(connection));
    editorConnections_.swap(live);
}

WEditDelegate::WEditDelegate() {
    editorFactory = [this]() -> wxWindow* { return CreateEdit(); };
}

WEditDelegate::~WEditDelegate() = default;

WEdit* WEditDelegate::CreateEdit() { return new WEdit(); }

std::shared_ptr<WDelegateEditor> WEditDelegate::CreateEditor(wxWindow* parent,
                                                             const WViewItemOption& option,
                                                             const WModelIndex&) {
    auto window = MakeEditorWindow();
    auto* edit = dynamic_cast<WEdit*>(window.get());
    if (edit == nullptr) throw std::invalid_argument("the edit delegate's factory made no WEdit");
    edit->Create(parent, wxID_ANY, wxEmptyString, option.rect.GetPosition(), option.rect.GetSize(),
                 wxBORDER_SIMPLE);
    auto editor = std::make_shared<WDelegateEditor>();
    editor->window = window;
    currentEditor = editor;
    // The editor commits with its own window, whichever editor is current by then.
    wxWindow* own = edit;
    KeepConnection(edit->editingFinished.connect([this, own] { commitRequested(own); }));
    return currentEditor;
}

void WEditDelegate::SetEditorData(wxWindow* editor, const WModelIndex& index) {
    auto* text = dynamic_cast<wxTextCtrl*>(editor);
    if (text == nullptr || index.model == nullptr) return;
    // SetValue reports the change, as typing would.
    text->SetValue(VariantText(index.model->Data(index)));
}

void WEditDelegate::SetModelData(wxWindow* editor, WTreeItemModel* model, const WModelIndex& index) {
    auto* text = dynamic_cast<wxTextCtrl*>(editor);
    if (text == nullptr || model == nullptr) return;
    model->SetData(index, Variant::FromBstr(text->GetValue().ToStdWstring()));
}

WComboBoxDelegate::WComboBoxDelegate() {
    editorFactory = []() -> wxWindow* { return DefaultEditorFactory(); };
    optionListProvider = [](const WModelIndex&) { return std::vector<wxString>(); };
}

WComboBoxDelegate::~WComboBoxDelegate() = default;

WComboBox* WComboBoxDelegate::DefaultEditorFactory() { return new WComboBox(); }

std::shared_ptr<WDelegateEditor> WComboBoxDelegate::CreateEditor(wxWindow* parent,
                                                                 const WViewItemOption& option,
                                                                 const WModelIndex& index) {
    auto window = MakeEditorWindow();
    auto* combo = dynamic_cast<WComboBox*>(window.get());
    if (combo == nullptr) {
        throw std::invalid_argument("the combo-box delegate's factory made no WComboBox");
    }
    combo->Create(parent, wxID_ANY, option.rect.GetPosition(), option.rect.GetSize());
    if (!optionListProvider) throw std::bad_function_call();
    for (const wxString& text : optionListProvider(index)) combo->Append(text);
    if (combo->GetCount() > 0) combo->SetSelection(0);

    auto editor = std::make_shared<WDelegateEditor>();
    editor->window = window;
    currentEditor = editor;
    wxWindow* own = combo;
    std::weak_ptr<WDelegateEditor> weakEditor = editor;
    KeepConnection(combo->activated.connect([this, own](int) { commitRequested(own); }));
    KeepConnection(combo->focusLost.connect([weakEditor] {
        if (auto e = weakEditor.lock()) e->closeRequested();
    }));
    return currentEditor;
}

bool WComboBoxDelegate::EditorEvent(int event, WTreeItemModel*, const WModelIndex&) {
    if (event != 0) return false;
    if (currentEditor) {
        if (auto* combo = dynamic_cast<WComboBox*>(currentEditor->window.get())) combo->Popup();
    }
    return true;
}

void WComboBoxDelegate::SetEditorData(wxWindow* editor, const WModelIndex& index) {
    auto* combo = dynamic_cast<wxComboBox*>(editor);
    if (combo == nullptr || index.model == nullptr) return;
    const int found = combo->FindString(VariantText(index.model->Data(index)), true);
    if (found != wxNOT_FOUND) combo->SetSelection(found);
}

void WComboBoxDelegate::SetModelData(wxWindow* editor, WTreeItemModel* model,
                                     const WModelIndex& index) {
    auto* combo = dynamic_cast<wxComboBox*>(editor);
    if (combo == nullptr || model == nullptr) return;
    const int selection = combo->GetSelection();
    if (selection == wxNOT_FOUND) return;
    model->SetData(index, Variant::FromBstr(combo->GetString(selection).ToStdWstring()));
}

void WComboBoxDelegate::UpdateEditorGeometry(std::shared_ptr<WDelegateEditor> editor,
                                             const wxRect& rect) {
    if (!editor || !editor->window) return;
    // The toolkit sizes the selection field to the control's height itself.
    editor->window->SetSize(rect);
}

}  // namespace widget

