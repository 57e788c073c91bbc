// Above the host layer, reaching for one of its libraries: must not build.
#include <re2/re2.h>
