#include "app/shell_frame.h"

#include <wx/app.h>
#include <wx/thread.h>
#include <wx/window.h>

ShellFrame* ShellFrame::Current() {
    if (!wxThread::IsMain() || wxTheApp == nullptr) return nullptr;
    return dynamic_cast<ShellFrame*>(wxTheApp->GetTopWindow());
}
