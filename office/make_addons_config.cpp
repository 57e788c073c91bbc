// Writes the extension's Addons.xcu at build time:
// veln_make_addons_config PROGRAM_FOLDER WORK_FOLDER OUTPUT
#include <fstream>
#include <iostream>

#include "office/addons_config.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: veln_make_addons_config PROGRAM_FOLDER WORK_FOLDER OUTPUT\n";
        return 2;
    }
    try {
        const std::string xml = veln::office::AddonsConfig(argv[1], argv[2]);
        std::ofstream out(argv[3], std::ios::binary);
        out << xml;
        if (!out.flush()) {
            std::cerr << argv[3] << ": could not be written\n";
            return 1;
        }
    } catch (const std::exception& error) {
        std::cerr << "veln_make_addons_config: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
