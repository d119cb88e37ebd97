#pragma once
// Resource numbers of the module, shared by the .rc file and the code.

#define IDB_ENVELOPE 101
#define IDD_PREFS_PAGE 102
#define IDD_ABOUT 104
#define IDD_README 105
