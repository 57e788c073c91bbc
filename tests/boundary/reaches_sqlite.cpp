// Above the host layer, reaching for one of its libraries: must not build.
#include <sqlite3.h>
