// SQL text lives in the database layer (src/database, and the engine's
// wrapper in src/host/db): a string literal anywhere else that opens with a
// statement keyword fails here, named by file and line.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace veln {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view KEYWORDS[] = {"SELECT", "INSERT", "UPDATE", "DELETE", "CREATE",
                                         "DROP",   "ALTER",  "PRAGMA", "BEGIN",  "COMMIT"};

// Where SQL may be written, relative to the source folder.
constexpr std::string_view SQL_FOLDERS[] = {"src/database/", "src/host/db/"};
// Files outside them that may hold statements: the command line's print sql
// and expect sql run the user's own.
constexpr std::string_view SQL_EXCEPTIONS[] = {"cli/session.cpp"};

struct Literal {
    int line = 0;
    std::string text;
};

bool OpensWithKeyword(std::string_view text) {
    std::size_t start = text.find_first_not_of(" \t\n");
    if (start == std::string_view::npos) {
        return false;
    }
    text.remove_prefix(start);
    return std::any_of(std::begin(KEYWORDS), std::end(KEYWORDS), [&](std::string_view keyword) {
        if (text.substr(0, keyword.size()) != keyword) {
            return false;
        }
        return text.size() == keyword.size() ||
               std::isspace(static_cast<unsigned char>(text[keyword.size()])) != 0;
    });
}

// The string literals of a C++ source that open with a statement keyword, with
// the line each starts on. Comments and character literals are skipped; raw
// strings are read to their closing delimiter.
class LiteralScanner {
  public:
    explicit LiteralScanner(std::string_view source) : source_(source) {}

    std::vector<Literal> SqlLiterals() {
        std::vector<Literal> found;
        while (at_ < source_.size()) {
            const char c = source_[at_];
            if (StartsWith("//")) {
                SkipPast("\n");
            } else if (StartsWith("/*")) {
                SkipPast("*/");
            } else if (c == '\'' && !DigitSeparator()) {
                ReadQuoted('\'');
            } else if (c == '"') {
                const int line = line_;
                std::string text = RawPrefix() ? ReadRaw() : ReadQuoted('"');
                if (OpensWithKeyword(text)) {
                    found.push_back({line, std::move(text)});
                }
            } else {
                Advance();
            }
        }
        return found;
    }

  private:
    bool StartsWith(std::string_view text) const {
        return source_.substr(at_, text.size()) == text;
    }
    void Advance() {
        if (source_[at_] == '\n') {
            ++line_;
        }
        ++at_;
    }
    void SkipPast(std::string_view end) {
        while (at_ < source_.size() && !StartsWith(end)) {
            Advance();
        }
        for (std::size_t k = 0; k < end.size() && at_ < source_.size(); ++k) {
            Advance();
        }
    }
    // 1'000 is a number, not a character.
    bool DigitSeparator() const {
        return at_ > 0 && std::isdigit(static_cast<unsigned char>(source_[at_ - 1])) != 0;
    }
    bool RawPrefix() const { return at_ > 0 && source_[at_ - 1] == 'R'; }
    std::string ReadQuoted(char quote) {
        std::string text;
        Advance();
        while (at_ < source_.size() && source_[at_] != quote && source_[at_] != '\n') {
            if (source_[at_] == '\\' && at_ + 1 < source_.size()) {
                text += source_[at_];
                Advance();
            }
            text += source_[at_];
            Advance();
        }
        if (at_ < source_.size()) {
            Advance();
        }
        return text;
    }
    std::string ReadRaw() {
        Advance();
        std::size_t open = source_.find('(', at_);
        if (open == std::string_view::npos) {
            at_ = source_.size();
            return {};
        }
        const std::string close = ")" + std::string(source_.substr(at_, open - at_)) + "\"";
        while (at_ <= open) {
            Advance();
        }
        std::string text;
        while (at_ < source_.size() && !StartsWith(close)) {
            text += source_[at_];
            Advance();
        }
        SkipPast(close);
        return text;
    }

    std::string_view source_;
    std::size_t at_ = 0;
    int line_ = 1;
};

std::vector<Literal> SqlLiterals(std::string_view source) {
    return LiteralScanner(source).SqlLiterals();
}

std::vector<int> LinesOf(const std::vector<Literal>& literals) {
    std::vector<int> lines;
    lines.reserve(literals.size());
    for (const Literal& literal : literals) {
        lines.push_back(literal.line);
    }
    return lines;
}

TEST(SqlLiteralScanner, FindsStatementsInLiterals) {
    const auto found = SqlLiterals(
        "int a = 1;\n"
        "db.Prepare(\"SELECT * FROM Links\");\n"
        "db.Execute(\n    \"  DELETE FROM Links WHERE L_Id1 = ?1\", {id});\n"
        "db.Execute(\"COMMIT\");\n"
        "auto raw = R\"sql(UPDATE Links SET L_Deleted = 1)sql\";\n");
    EXPECT_EQ(LinesOf(found), (std::vector<int>{2, 4, 5, 6}));
    ASSERT_EQ(found.size(), 4U);
    EXPECT_EQ(found[0].text, "SELECT * FROM Links");
    EXPECT_EQ(found[3].text, "UPDATE Links SET L_Deleted = 1");
}

TEST(SqlLiteralScanner, IgnoresCommentsAndOtherText) {
    const auto found = SqlLiterals(
        "// db.Prepare(\"SELECT * FROM Links\");\n"
        "/* \"INSERT INTO Links\"\n   \"DROP TABLE Links\" */\n"
        "ui.MsgBox(\"Delete the element? SELECT one first\");\n"
        "char quote = '\"'; int n = 1'000;\n"
        "Need(args, \"print sql \\\"SELECT ...\\\"\");\n"
        "auto keyword = \"SELECTION\";\n");
    EXPECT_TRUE(found.empty()) << found.front().line << ": " << found.front().text;
}

bool InSqlPlace(const std::string& relative) {
    return std::any_of(std::begin(SQL_FOLDERS), std::end(SQL_FOLDERS),
                       [&](std::string_view folder) { return relative.starts_with(folder); }) ||
           std::find(std::begin(SQL_EXCEPTIONS), std::end(SQL_EXCEPTIONS), relative) !=
               std::end(SQL_EXCEPTIONS);
}

std::string Read(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(SqlPlacement, StatementsLieOnlyInTheDatabaseLayer) {
    const fs::path root(VELN_SOURCE_DIR);
    int files = 0;
    int statementsInPlace = 0;
    std::string misplaced;
    for (const char* folder : {"src", "app", "cli"}) {
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            const std::string extension = entry.path().extension().string();
            if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h")) {
                continue;
            }
            ++files;
            const std::string relative = entry.path().lexically_relative(root).generic_string();
            const auto literals = SqlLiterals(Read(entry.path()));
            if (InSqlPlace(relative)) {
                statementsInPlace += static_cast<int>(literals.size());
                continue;
            }
            for (const Literal& literal : literals) {
                misplaced +=
                    relative + ":" + std::to_string(literal.line) + ": \"" + literal.text + "\"\n";
            }
        }
    }
    // A wrong source folder would find nothing and pass.
    EXPECT_GT(files, 100);
    EXPECT_GT(statementsInPlace, 20);
    EXPECT_TRUE(misplaced.empty()) << "SQL outside src/database and src/host/db:\n" << misplaced;
}

TEST(SqlPlacement, DeclaredExceptionsExist) {
    for (std::string_view exception : SQL_EXCEPTIONS) {
        EXPECT_TRUE(fs::is_regular_file(fs::path(VELN_SOURCE_DIR) / exception)) << exception;
    }
}

}  // namespace
}  // namespace veln
