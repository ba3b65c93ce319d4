// The version record: the single source of the Windows VERSIONINFO resource and the
// POSIX resource note. Plain macros, so the resource compiler can read it too.
#pragma once

#define FXT_VERSION_WORDS 1, 0, 1, 0
#define FXT_VERSION_TEXT "1,0,1,0"
#define FXT_FILE_DESCRIPTION "Tollek Split Groups plug-in for Finale(R)"
#define FXT_PRODUCT_NAME "Tollek Split Groups"
#define FXT_MODULE_FILE_NAME "tolleksplitgroups.fxt"
#define FXT_INTERNAL_NAME "tolleksplitgroups"
