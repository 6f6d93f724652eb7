#include "parts_ui/new_part_dialogs.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/frame.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <filesystem>
#include <fstream>

#include "app/message_box.h"
#include "platform/wide_string.h"
#include "tests/support/wx_test.h"

namespace {

namespace fs = std::filesystem;
using zentrik_test::WaitUntil;

class NameDialogs : public testing::Test {
  protected:
    void SetUp() override {
        const std::string test = testing::UnitTest::GetInstance()->current_test_info()->name();
        dir_ = fs::path(testing::TempDir()) / ("name_dialogs_" + test);
        fs::remove_all(dir_);
        frame_ = zentrik_test::ShowTestFrame();
        SetMessageBoxAnswerer([this](const wxString& message, const wxString&, long style) {
            messages_.push_back(message.ToStdWstring());
            styles_.push_back(style);
            return wxOK;
        });
    }
    void TearDown() override {
        SetMessageBoxAnswerer({});
        frame_->Destroy();
        zentrik_test::DispatchPending();
        fs::remove_all(dir_);
    }

    void Show(wxDialog* dialog) {
        dialog->SetPosition(wxPoint(0, 0));
        dialog->Show();
        ASSERT_TRUE(WaitUntil([&] { return dialog->IsShownOnScreen(); }));
    }
    // Replaces the edit's text by typing, then presses OK with a real click.
    void TypeAndOk(wxDialog* dialog, wxTextCtrl* edit, const char* text) {
        zentrik_test::DispatchPending();  // a refusal's selection of the name comes last
        edit->SetFocus();
        ASSERT_TRUE(WaitUntil([&] { return wxWindow::FindFocus() == edit; }));
        edit->Clear();
        sim_.Text(text);
        ASSERT_TRUE(WaitUntil([&] { return edit->GetValue() == text; })) << text;
        Ok(dialog);
    }
    void Ok(wxDialog* dialog) {
        const size_t before = messages_.size();
        wxWindow* ok = dialog->FindWindow(wxID_OK);
        zentrik_test::ClickAt(ok, wxPoint(ok->GetSize().x / 2, ok->GetSize().y / 2));
        ASSERT_TRUE(WaitUntil([&] { return messages_.size() > before || !dialog->IsShown(); }));
    }

    fs::path dir_;
    wxFrame* frame_ = nullptr;
    wxUIActionSimulator sim_;
    std::vector<std::wstring> messages_;
    std::vector<long> styles_;
};

void ChooseType(NewPartDialog* dialog, int index) {
    dialog->typeChoice()->SetSelection(index);
    wxCommandEvent event(wxEVT_CHOICE, dialog->typeChoice()->GetId());
    event.SetEventObject(dialog->typeChoice());
    event.SetInt(index);
    dialog->typeChoice()->GetEventHandler()->ProcessEvent(event);
}

TEST_F(NameDialogs, NewPartChecksInOrderAndStaysOpen) {
    auto* dialog = new NewPartDialog(frame_);
    for (int i = 0; i < 10; ++i) {
        dialog->defaultFolders[i] = platform::PathToWide(dir_ / dialog->typeNames[i]);
    }
    fs::create_directories(dir_ / "PBGA");
    std::ofstream(dir_ / "PBGA" / "taken.qvx") << "x";
    std::ofstream(dir_ / "PBGA" / "QFP_Sample_1.QVX") << "x";
    Show(dialog);
    EXPECT_EQ(dialog->nameEdit()->GetValue(), "new_part");

    TypeAndOk(dialog, dialog->nameEdit(), "a.b");
    EXPECT_EQ(messages_.back(), L"Please select the part type.") << "the type is checked first";
    EXPECT_EQ(styles_.back() & wxICON_ERROR, wxICON_ERROR);

    // Choosing a type sets the folder and keeps the typed name.
    ChooseType(dialog, 2);
    EXPECT_EQ(dialog->folderEdit()->GetValue().ToStdWstring(), dialog->defaultFolders[2]);
    EXPECT_EQ(dialog->nameEdit()->GetValue(), "a.b");

    Ok(dialog);
    EXPECT_EQ(messages_.back(), L"A part name can't contain a character '.'.");
    EXPECT_EQ(wxWindow::FindFocus(), dialog->nameEdit());
    EXPECT_TRUE(WaitUntil([&] {
        long from = 0, to = 0;
        dialog->nameEdit()->GetSelection(&from, &to);
        return from == 0 && to == 3;
    })) << "the whole name is selected for editing";
    TypeAndOk(dialog, dialog->nameEdit(), "x!y#");
    EXPECT_EQ(messages_.back(), L"A part name can't contain a character '#'.");
    TypeAndOk(dialog, dialog->nameEdit(), "a:b");
    EXPECT_EQ(messages_.back(), L"A part name can't contain a character ':'.");
    TypeAndOk(dialog, dialog->nameEdit(), "_a");
    EXPECT_EQ(messages_.back(), L"Text string starting from \"_\" cannot be used.");
    TypeAndOk(dialog, dialog->nameEdit(), "qfp_sample_1");
    EXPECT_EQ(messages_.back(), L"Part qfp_sample_1 exists. Please change the part name.")
        << "a name that differs only in letter case is taken";
    TypeAndOk(dialog, dialog->nameEdit(), "taken");
    EXPECT_EQ(messages_.back(), L"Part taken exists. Please change the part name.");
    EXPECT_TRUE(dialog->IsShown());

    // The same name in another type's folder is free.
    ChooseType(dialog, 3);
    const size_t refusals = messages_.size();
    Ok(dialog);
    EXPECT_EQ(messages_.size(), refusals);
    EXPECT_FALSE(dialog->IsShown());
    EXPECT_EQ(dialog->GetReturnCode(), wxID_OK);
    EXPECT_EQ(dialog->chosenType, L"FCBGA");
    EXPECT_EQ(dialog->partName, L"taken");
    EXPECT_EQ(dialog->destinationFolder, dialog->defaultFolders[3]);
    dialog->Destroy();
}

TEST_F(NameDialogs, NewFolderRefusesOnlyPathCharacters) {
    auto* dialog = new NewFolderDialog(frame_);
    // The keyboard alone names the folder: the name field has the focus from the start.
    dialog->CallAfter([&] {
        sim_.Text("typed");
        sim_.Char(WXK_RETURN);
        WaitUntil([&] { return !dialog->IsShown() || !messages_.empty(); });
        if (dialog->IsShown()) dialog->EndModal(wxID_CANCEL);
    });
    EXPECT_EQ(dialog->ShowModal(), wxID_OK);
    EXPECT_EQ(dialog->folderName, L"typed");
    EXPECT_TRUE(messages_.empty());

    dialog->folderName.clear();
    Show(dialog);
    Ok(dialog);
    EXPECT_EQ(messages_.back(), L"Please input folder name.");
    EXPECT_EQ(styles_.back() & wxICON_MASK, 0);
    for (const char* name : {"a/b", "x:y", "s*"}) {
        dialog->nameEdit()->ChangeValue(name);
        Ok(dialog);
        EXPECT_EQ(messages_.back().substr(0, 40), L"A folder name can't contain a character ")
            << name;
    }
    EXPECT_EQ(messages_.back(), L"A folder name can't contain a character '*'.");
    dialog->nameEdit()->ChangeValue("_rev 1.2");
    Ok(dialog);
    EXPECT_FALSE(dialog->IsShown());
    EXPECT_EQ(dialog->folderName, L"_rev 1.2");
    dialog->Destroy();
}

}  // namespace
