// Above the host layer, through the host's own headers only: builds.
#include "host/db/database.h"
#include "host/docx/docx_application.h"
#include "host/office/office_application.h"
#include "host/word/wildcards.h"
