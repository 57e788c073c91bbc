// Above the host layer, reaching for one of its libraries: must not build.
#include <com/sun/star/uno/Reference.hxx>
