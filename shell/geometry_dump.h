#pragma once

class wxApp;

// Test-only: when the environment variable ZENTRIK_GEOMETRY_DUMP names a file, the screen
// rectangles of the shown windows and of the things the toolkit draws itself (tree rows,
// list cells, the preview) are written to it whenever they change, so a black-box test
// clicks where the program says things are. Does nothing when the variable is unset.
void StartGeometryDumpIfAsked(wxApp& app);
