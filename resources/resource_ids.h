// Resource and control ids of the plug-in's dialogs, shared by the resource script and
// the code.
#pragma once

#define IDD_IMPORT 101
#define IDD_EXPORT 102

// Controls of the export dialog.
#define IDC_EXPORT_ARMADA1 1000
#define IDC_EXPORT_ARMADA2 1001
#define IDC_EXPORT_MATERIALS 1011
#define IDC_EXPORT_HARDPOINT_PATH 1012
#define IDC_EXPORT_SPRITE_PATH 1013
#define IDC_EXPORT_EMITTER_PATH 1014
#define IDC_EXPORT_HARDPOINT_FILE 1015
#define IDC_EXPORT_SPRITE_FILE 1016
#define IDC_EXPORT_EMITTER_FILE 1017
#define IDC_EXPORT_HARDPOINT_PICK 1018
#define IDC_EXPORT_SPRITE_PICK 1019
#define IDC_EXPORT_EMITTER_PICK 1020
