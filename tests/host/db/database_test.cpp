// The database layer on real SQLite files: bound values, fields by name, a
// database locked by another process, files that are not databases (what
// both engines share is in engines_test.cpp).
#include "host/db/database.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include <gmock/gmock.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "error_of.h"
#include "lock_holder.h"
#include "temp_dir.h"

namespace veln::db {
namespace {

using test::ErrorOf;
using test::Raised;
using test::TempDir;
using test::WriteFile;
using ::testing::HasSubstr;

Database MakePeople(const std::string& path) {
    Database db = Database::Create(path);
    db.Execute("CREATE TABLE People (P_Name TEXT, P_Age INTEGER, P_Ok INTEGER NOT NULL DEFAULT 0)");
    return db;
}

// A folder, and in it path, a database of one table People (made by MakePeople).
class DatabaseTest : public ::testing::Test {
  protected:
    TempDir dir;
    std::string path = dir / "p.mdb";
};

std::string Value(const Database& db, const std::string& sql) {
    return db.QueryValue(sql).ToString();
}

TEST_F(DatabaseTest, ValuesAreBoundNeverSpliced) {
    Database db = MakePeople(path);
    const std::string hostile = "O'Brien'); DROP TABLE People; --";
    db.Execute("INSERT INTO People (P_Name, P_Age, P_Ok) VALUES (?1, ?2, ?3)", {hostile, 42, true});
    db.Execute("INSERT INTO People (P_Name) VALUES (?1)", {nullptr});
    db.Execute("INSERT INTO People (P_Name) VALUES (?1)", {std::string()});

    Statement rows = db.Prepare("SELECT p_name, P_AGE, p_ok FROM People ORDER BY rowid");
    ASSERT_TRUE(rows.Step());
    EXPECT_EQ(rows.Text("P_Name"), hostile) << "fields are found without regard to case";
    EXPECT_EQ(rows.Integer("p_age"), 42);
    EXPECT_TRUE(rows.Boolean("P_Ok"));
    ASSERT_TRUE(rows.Step());
    EXPECT_TRUE(rows.IsNull("P_Name"));
    EXPECT_EQ(rows.Text("P_Name"), std::nullopt);
    EXPECT_EQ(rows.Integer("P_Age"), std::nullopt);
    EXPECT_FALSE(rows.Boolean("P_Ok")) << "a Boolean is false until written";
    ASSERT_TRUE(rows.Step());
    EXPECT_EQ(rows.Text("P_Name"), "") << "the empty text is not Null";
    EXPECT_FALSE(rows.Step());
    EXPECT_THAT(ErrorOf<DbError>([&] { (void)rows.Field("P_Missing"); }).text,
                HasSubstr("P_Missing"));
    EXPECT_EQ(Value(db, "SELECT count(*) FROM People"), "3");
}

TEST_F(DatabaseTest, FilesThatAreNotDatabasesAreRefused) {
    WriteFile(dir / "notes.mdb", "These are meeting notes, not a database.\n");
    std::string jet(4096, '\0');
    jet.replace(4, 15, "Standard Jet DB");
    WriteFile(dir / "legacy.mdb", jet);
    {
        Database db = MakePeople(dir / "whole.mdb");
        for (int i = 0; i < 200; ++i) {
            db.Execute("INSERT INTO People (P_Name) VALUES (?1)", {std::string(100, 'x')});
        }
    }
    std::string whole = test::ReadFile(dir / "whole.mdb");
    WriteFile(dir / "truncated.mdb", whole.substr(0, 50));
    WriteFile(dir / "empty.mdb", "");

    for (const char* name : {"notes.mdb", "legacy.mdb", "truncated.mdb", "missing.mdb"}) {
        Raised refused = ErrorOf<DbError>(
            [&] { Database::Open(dir / name).QueryValue("SELECT count(*) FROM People"); });
        // A truncated file may also read as a damaged database (SQLite's 11).
        EXPECT_TRUE(std::string(name) == "missing.mdb"
                        ? refused.number == ERR_CANT_OPEN
                        : refused.number == ERR_NOT_A_DATABASE || refused.number == 11)
            << name << ": " << refused.number;
        EXPECT_THAT(refused.text, HasSubstr(name));
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "missing.mdb")) << "opening never creates";
    EXPECT_THROW(Database::Create(dir / "notes.mdb"), DbError) << "creating never overwrites";
    EXPECT_EQ(test::ReadFile(dir / "notes.mdb"), "These are meeting notes, not a database.\n");
}

TEST_F(DatabaseTest, ADatabaseLockedByAnotherProcessIsError3008) {
    MakePeople(path);
    test::LockHolder holder(path, "INSERT INTO People (P_Name) VALUES ('holder')");

    Database db = Database::Open(path);
    db.SetBusyTimeout(std::chrono::milliseconds(100));
    Raised locked = ErrorOf<DbError>([&] { Transaction transaction(db); });
    EXPECT_EQ(locked.number, ERR_LOCKED);
    EXPECT_THAT(locked.text, HasSubstr("locked by another user"));
    holder.Release();
    db.Execute("INSERT INTO People (P_Name) VALUES ('after')");
    EXPECT_EQ(Value(db, "SELECT group_concat(P_Name) FROM People"), "holder,after");
}

TEST_F(DatabaseTest, TheBusyTimeoutWaitsForAShortLock) {
    MakePeople(path);
    test::LockHolder holder(path, "INSERT INTO People (P_Name) VALUES ('holder')");
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        holder.Release();
    });
    Database db = Database::Open(path);  // the default timeout of 2 s
    db.Execute("INSERT INTO People (P_Name) VALUES ('waited')");
    releaser.join();
    EXPECT_EQ(Value(db, "SELECT count(*) FROM People"), "2");
}

TEST_F(DatabaseTest, QueriesTypedByAUserOnlyReadAndEnd) {
    MakePeople(path).Execute("INSERT INTO People (P_Name) VALUES ('Ada')");
    Database db = Database::Open(path, OpenMode::Query);
    EXPECT_EQ(Value(db, "SELECT P_Name FROM People"), "Ada");
    for (const std::string& sql :
         {"VACUUM INTO '" + (dir / "copy.mdb") + "'", "ATTACH '" + (dir / "x.mdb") + "' AS x",
          std::string("INSERT INTO People (P_Name) VALUES ('Bob')"),
          std::string("SELECT 1; DELETE FROM People"), std::string("PRAGMA journal_mode=WAL"),
          std::string("SELECT load_extension('libm.so')")}) {
        EXPECT_THROW(db.QueryValue(sql), DbError) << sql;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "copy.mdb"));
    EXPECT_FALSE(std::filesystem::exists(dir / "x.mdb"));
    const std::string endless =
        "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n) SELECT ";
    EXPECT_THAT(ErrorOf<DbError>([&] {
                    Statement rows = db.Prepare(endless + "x FROM n");
                    while (rows.Step()) {
                    }
                }).text,
                HasSubstr("more than 100000 rows"));
    db.LimitQueryTime(std::chrono::milliseconds(300));
    EXPECT_THAT(ErrorOf<DbError>([&] { db.QueryValue(endless + "count(*) FROM n"); }).text,
                HasSubstr("ran past its time"));
    EXPECT_EQ(Value(Database::Open(path), "SELECT count(*) FROM People"), "1");
}

TEST_F(DatabaseTest, OnlyRegularFilesAreOpenedAndOpeningWritesNothing) {
    ASSERT_EQ(::mkfifo((dir / "pipe.mdb").c_str(), 0600), 0);
    pid_t child = fork();
    if (child == 0) {
        ::alarm(20);  // a pipe opened as a database would wait here forever
        Raised refused = ErrorOf<DbError>([&] { Database::Open(dir / "pipe.mdb"); });
        _exit(refused.number == ERR_CANT_OPEN ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

    // A file in write-ahead-log mode keeps it, and nothing appears beside it.
    MakePeople(path).Execute("PRAGMA journal_mode=WAL");
    ASSERT_TRUE(Database::UsesWriteAheadLog(path));
    std::string bytes = test::ReadFile(path);
    EXPECT_EQ(Value(Database::Open(path, OpenMode::Snapshot), "SELECT count(*) FROM People"), "0");
    Database::Open(path).Close();
    EXPECT_EQ(test::ReadFile(path), bytes);
    EXPECT_FALSE(std::filesystem::exists(dir / "p.mdb-wal"));
    EXPECT_FALSE(Database::UsesWriteAheadLog(dir / "pipe.mdb"));
}

}  // namespace
}  // namespace veln::db
