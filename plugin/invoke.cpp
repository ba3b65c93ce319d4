// Running the command on the host's selection.
#include "plugin/tolleksplitgroups.h"

int32_t RunSplitGroupsCommand(void*) { return 0; }
