// The ids of the program's resources and of the settings dialog's
// controls, shared by the resource script and the code (plain macros, as
// the resource compiler reads them).
#pragma once

#define MIROTABE_ICON 1
#define MIROTABE_SETTINGS_DIALOG 100

#define MIROTABE_FRAME1 101
#define MIROTABE_TAB_WIDTH 102
#define MIROTABE_TAB_SPINNER 103
#define MIROTABE_ENTRY_LIST 104
#define MIROTABE_FROM_BOX 105
#define MIROTABE_TO_BOX 106
#define MIROTABE_KIND_BOX 107
#define MIROTABE_ADD_BUTTON 108
#define MIROTABE_DELETE_BUTTON 109
#define MIROTABE_FRAME2 110
#define MIROTABE_TRIGGER_ENTER 111
#define MIROTABE_TRIGGER_F1 112
#define MIROTABE_TRIGGER_CHANGE 113
// The hidden labels that name the controls after them.
#define MIROTABE_ENTRY_LIST_NAME 114
#define MIROTABE_FROM_NAME 115
#define MIROTABE_TO_NAME 116
// The レイアウト box.
#define MIROTABE_FRAME3 130
#define MIROTABE_COLUMN_LENGTH 131
#define MIROTABE_COLUMN_LENGTH_SPIN 132
#define MIROTABE_KINSOKU_BOX 133
#define MIROTABE_COLUMN_GAP 134
#define MIROTABE_COLUMN_GAP_SPIN 135
#define MIROTABE_PRESET_BOX 136
#define MIROTABE_PRESET_ADD 137
// Neither is IDOK nor IDCANCEL: Enter and Esc press no button of their own.
#define MIROTABE_OK_BUTTON 120
#define MIROTABE_CANCEL_BUTTON 121
