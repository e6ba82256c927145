// Resource and control ids of the plug-in's dialogs, shared by the resource script and
// the code.
#pragma once

#define IDD_IMPORT 101
#define IDD_EXPORT 102
