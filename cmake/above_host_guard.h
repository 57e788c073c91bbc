// Forced into every file compiled above the host layer (settings, database,
// elements, addin, cli and the folders to come): the host's libraries stay
// inside src/host, and a file above it that reaches for one of them, even by
// accident through a header, fails to build here rather than later.
#pragma once

#pragma GCC poison pugi pugixml
#pragma GCC poison zip_t zip_source_t zip_file_t zip_stat_t zip_error_t
#pragma GCC poison sqlite3 sqlite3_stmt
#pragma GCC poison PGconn PGresult
#pragma GCC poison RE2 re2
#pragma GCC poison lxw_workbook lxw_worksheet lxw_format
#pragma GCC poison EVP_MD EVP_MD_CTX EVP_Digest
#pragma GCC poison cppu rtl sal_Int32
