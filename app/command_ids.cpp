#include "app/command_ids.h"

#include <utility>

namespace {

// Clear of wx's own range (wxID_LOWEST 4999 to wxID_HIGHEST 5999) and of the pane ids.
constexpr std::pair<int, int> kMappedIds[] = {
    {ID_REFRESH, 20776},           {ID_DELETE, 20778},
    {ID_EXPORT, 20779},            {ID_PROGRAM_CONFIGURATIONS, 20780},
    {ID_RENAME, 20782},            {ID_USERS_GUIDE, 20784},
    {ID_NEW_FOLDER, 20786},        {ID_VIEW_PROPERTIES, 20794},
    {ID_VIEW_COMPONENTS, 20795},   {ID_VIEW_OUTPUT, 20796},
    {ID_MANUAL, 20798},            {ID_MOUSE_THREE_BUTTON, 20800},
    {ID_MOUSE_ONE_BUTTON, 20802},  {ID_ROTATE_3D, 20803},
    {ID_ROTATE_2D, 20804},         {ID_TRANSLATE, 20805},
    {ID_SCALE, 20806},             {ID_NEW_PART, 21600},
    {ID_APP_ABOUT, 21664},         {ID_APP_EXIT, 21665},
};

}  // namespace

int WxId(int commandId) {
    for (const auto& [command, wx] : kMappedIds) {
        if (command == commandId) return wx;
    }
    return commandId;
}
