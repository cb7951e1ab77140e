#pragma once
// Resource identifiers of the packager's executable (used by the .rc file too).

#define IDI_MAIN_ICON 1
#define IDB_TOOLBAR_GLYPHS 101
#define IDB_PLACEHOLDER 102
