#pragma once

// The program's command and pane ids. The names keep the numbers users and other
// documents know them by; wx needs window and menu ids below 32768, so the larger ones
// are mapped to ids of our own in one table (WxId).
enum CommandId : int {
    ID_FILE_VIEW = 133,
    ID_HELP_VIEW = 310,
    ID_OUTPUT_PANE = 311,
    ID_PROPERTIES_PANE = 150,
    ID_COMPONENTS_PANE = 3,
    ID_REFRESH = 32776,
    ID_DELETE = 32778,
    ID_EXPORT = 32779,
    ID_PROGRAM_CONFIGURATIONS = 32780,
    ID_RENAME = 32782,
    ID_USERS_GUIDE = 32784,
    ID_NEW_FOLDER = 32786,
    ID_VIEW_PROPERTIES = 32794,
    ID_VIEW_COMPONENTS = 32795,
    ID_VIEW_OUTPUT = 32796,
    ID_MANUAL = 32798,
    ID_MOUSE_THREE_BUTTON = 32800,
    ID_MOUSE_ONE_BUTTON = 32802,
    ID_ROTATE_3D = 32803,
    ID_ROTATE_2D = 32804,
    ID_TRANSLATE = 32805,
    ID_SCALE = 32806,
    ID_NEW_PART = 57600,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
};

// The wx id of a command; ids below 32768 stand as they are.
int WxId(int commandId);
