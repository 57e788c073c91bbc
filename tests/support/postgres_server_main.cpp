// The test server for the end-to-end scripts, which run in other processes:
//   veln_test_postgres_server start FOLDER   a server there, left running
//   veln_test_postgres_server create FOLDER NAME   prints its database's name
//   veln_test_postgres_server stop FOLDER    stops it and removes FOLDER
#include <exception>
#include <iostream>
#include <string>

#include "postgres_server.h"

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    try {
        if (command == "start" && argc == 3) {
            veln::test::PostgresServer server(argv[2], true);
            return 0;
        }
        if (command == "create" && argc == 4) {
            veln::test::PostgresServer server(argv[2], false);
            std::cout << server.CreateDatabase(argv[3]) << "\n";
            return 0;
        }
        if (command == "stop" && argc == 3) {
            veln::test::PostgresServer(argv[2], false).Stop();
            return 0;
        }
    } catch (const std::exception& error) {
        std::cerr << "veln_test_postgres_server: " << error.what() << "\n";
        return 1;
    }
    std::cerr << "usage: veln_test_postgres_server start|stop FOLDER | create FOLDER NAME\n";
    return 2;
}
