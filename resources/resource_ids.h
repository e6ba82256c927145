// Resource and control ids of the plug-in's dialogs, shared by the resource script and
// the code.
#pragma once

#define IDD_IMPORT 101
#define IDD_EXPORT 102

// Import dialog (101): what the file holds.
#define IDC_IMPORT_MATERIALS 110
#define IDC_IMPORT_VERSION 111
#define IDC_IMPORT_NULL_NODES 112
#define IDC_IMPORT_MESH_NODES 113
#define IDC_IMPORT_LOD_NODES 114
#define IDC_IMPORT_SPRITE_NODES 115
#define IDC_IMPORT_EMITTER_NODES 116
#define IDC_IMPORT_MESH_LIST 117
#define IDC_IMPORT_HARDPOINTS 118
// Import dialog: the mesh list's buttons.
#define IDC_IMPORT_SELECT_ALL 120
#define IDC_IMPORT_SELECT_NONE 121
#define IDC_IMPORT_INVERT_ALL 122
// Import dialog: "Extract To File" and "Convert To Geometry" check boxes.
#define IDC_IMPORT_EXTRACT_HARDPOINTS 1002
#define IDC_IMPORT_EXTRACT_EMITTERS 1003
#define IDC_IMPORT_EXTRACT_SPRITES 1004
#define IDC_IMPORT_CONVERT_EMITTERS 1005
#define IDC_IMPORT_CONVERT_HARDPOINTS 1006
#define IDC_IMPORT_CONVERT_SPRITES 1007
