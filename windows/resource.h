#pragma once

// Menu items and resources of the Windows program.
#define IDM_MAIN 100
#define IDA_MAIN 101
#define IDM_FILE_EXIT 1001
#define IDM_MODE_VAT 1002
#define IDM_MODE_CC 1003
#define IDM_MODE_CLEAR 1004
#define IDM_HELP_ABOUT 1005
