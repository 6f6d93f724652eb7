// The program Zentrik_Du64. It takes no command-line arguments.
#include <cstdio>
#include <string>

#include <wx/app.h>
#include <wx/init.h>

#include "app/home_folder.h"
#include "shell/trelvo_app.h"
#include "app/ui_language.h"
#include "platform/wide_string.h"
#include "resources/string_ids.h"
#include "resources/string_table.h"

int main(int argc, char** argv) {
    // Before any window exists, as the vendor driver expects.
    PreloadOpenGLDriver();
    SetUILanguage(ChooseUiLanguage(GetProgramFolder(), UserDefaultLanguageId()));

    wxApp::SetInstance(new TrelvoApp);
    if (!wxEntryStart(argc, argv)) {
        std::wstring text;
        resources::LoadString(resources::IDS_OLE_INIT_FAILED, text);
        std::fprintf(stderr, "%s\n", platform::WideToUtf8(text).c_str());
        return 1;
    }
    int status = 1;
    if (wxTheApp->CallOnInit()) {
        status = wxTheApp->OnRun();
        wxTheApp->OnExit();
    }
    wxEntryCleanup();
    return status;
}
