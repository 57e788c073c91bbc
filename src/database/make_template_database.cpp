// Build tool: writes the template project database that the program folder
// holds, so that the template always has the tables the program builds.
#include <filesystem>
#include <iostream>

#include "database/schema.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_template_database PATH\n";
        return 2;
    }
    std::error_code ignored;
    std::filesystem::remove(argv[1], ignored);
    try {
        veln::schema::CreateProjectDatabaseFile(argv[1]);
    } catch (const veln::db::DbError& error) {
        std::cerr << error.Number() << ": " << error.Description() << "\n";
        return 1;
    }
    return 0;
}
