// Operations on the project database that the commands run.
#pragma once

#include "settings/core_context.h"

namespace veln::dbElements {

// The file name of the template database in the program folder, copied when a
// database cannot be built.
inline constexpr const char* TEMPLATE_DATABASE = "ModeleBaseProjet.mdb";
inline constexpr const char* DATABASE_EXTENSION = ".mdb";

// Asks for a folder and a name, then creates an empty project database there.
void dbCreateProjectDatabase(CoreContext& context);

}  // namespace veln::dbElements
