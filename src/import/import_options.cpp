// The import dialog's choices, kept from one import to the next while the library is
// loaded.
#include "import/import_options.h"

ImportOptions importOptions = {0, 0, 0, 0, 0, 0};
