// The numbers and names that the resources and the code must agree on: the
// resource ids, and the keys of the settings file, whose file and section
// names are strings of the table below. brackwold.rc includes this file
// (windres and rc2cpp.py both read it), and so does every source that
// looks a resource up or reads or writes a setting.
//
// Only "#define NAME number" and "#define NAME "text"" lines: the resource
// compilers read nothing else.
#pragma once

// String table.
#define IDS_DESCRIPTION 1         // the saver's name as the system lists it
#define IDS_SETTINGS_FILE 1001    // the INI file, a bare 8.3 name
#define IDS_SETTINGS_SECTION 1007 // its section

// The program's icon: the lowest id, so Explorer shows it for the file.
#define IDI_BRACKWOLD 1

// Bitmaps ("TITLE", the dialog's picture, goes by name).
#define IDB_BANNER 105

// The configuration dialog and its controls.
#define IDD_CONFIG 2003
#define IDC_PLAY_SOUNDS 104
#define IDC_RESOLUTION_BAR 1004
#define IDC_SIZE_BAR 1005
#define IDC_DELAY_BAR 1006

// Keys of the settings section.
#define KEY_POLY_RESOLUTION "Poly Resolution"
#define KEY_SIZE "Size"
#define KEY_CHAR_DELAY "Char Delay"
#define KEY_SOUNDS "Sounds"
#define KEY_WEBSITE "Visit the Website"
