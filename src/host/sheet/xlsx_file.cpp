// The only file that knows libxlsxwriter. The sheet is written row after row
// in constant-memory mode: the library then keeps one row at a time, and the
// sheet model above is the only copy of the whole.
#include "host/sheet/xlsx_file.h"

#include <cctype>
#include <map>
#include <memory>
#include <set>

#include <xlsxwriter.h>

#include "host/host_error.h"
#include "host/sheet/long_cells.h"
#include "host/sheet/workbook.h"
#include "host/utf8.h"

namespace veln::host {

namespace {

// The font colour of links, as spreadsheet programs show them.
constexpr lxw_color_t LINK_COLOUR = LXW_COLOR_BLUE;
constexpr double DEFAULT_FONT_SIZE = 11;
const std::string NO_LINK;

[[noreturn]] void Fail(lxw_error error, const std::string& what) {
    throw HostError(static_cast<long>(error), what + ": " + lxw_strerror(error));
}

void Check(lxw_error error, const std::string& what) {
    if (error != LXW_NO_ERROR) {
        Fail(error, what);
    }
}

// Readers turn "_xHHHH_" in cell text into the character HHHH; a text that
// holds those characters itself keeps them by escaping its underscore. The
// library writes control characters so; U+FFFE and U+FFFF, which XML cannot
// hold either, are written so here: cell text stays exactly what it was.
std::string CellText(const std::string& text) {
    std::string valid = ValidUtf8(text);
    std::string escaped;
    escaped.reserve(valid.size());
    for (std::size_t i = 0; i < valid.size(); ++i) {
        bool code =
            valid[i] == '_' && i + 6 < valid.size() && valid[i + 1] == 'x' && valid[i + 6] == '_';
        for (std::size_t k = 2; code && k < 6; ++k) {
            code = std::isxdigit(static_cast<unsigned char>(valid[i + k])) != 0;
        }
        if (valid[i] == '\xEF' && i + 2 < valid.size() && valid[i + 1] == '\xBF' &&
            (valid[i + 2] == '\xBE' || valid[i + 2] == '\xBF')) {
            escaped += valid[i + 2] == '\xBE' ? "_xFFFE_" : "_xFFFF_";
            i += 2;
            continue;
        }
        escaped += code ? "_x005F" : "";
        escaped += valid[i];
    }
    return escaped;
}

struct WorkbookCloser {
    void operator()(lxw_workbook* workbook) const { lxw_workbook_free(workbook); }
};

class XlsxWriter {
  public:
    XlsxWriter(const Workbook& workbook, const std::string& path)
        : source_(workbook), sheet_(workbook.ActiveSheet()), path_(path) {}

    void Write() {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        workbook_.reset(workbook_new_opt(path_.c_str(), &options));
        if (!workbook_) {
            Fail(LXW_ERROR_MEMORY_MALLOC_FAILED, "cannot write " + path_);
        }
        WriteProperties();
        worksheet_ = workbook_add_worksheet(workbook_.get(), sheet_.Name().c_str());
        if (worksheet_ == nullptr) {
            Fail(LXW_ERROR_PARAMETER_VALIDATION, "cannot name a sheet " + sheet_.Name());
        }
        WriteColumns();
        for (int row = 1; row <= sheet_.LastRow(); ++row) {
            WriteRow(row);
        }
        // Closing writes the file and frees the workbook, whatever it returns.
        lxw_error closed = workbook_close(workbook_.release());
        Check(closed, "cannot write " + path_);
        if (!longCells_.Empty()) {
            longCells_.WriteInto(path_, "xl/worksheets/sheet1.xml");
        }
    }

  private:
    // The columns that have a format or a width of their own.
    void WriteColumns() {
        std::set<int> columns;
        for (const auto& entry : sheet_.ColumnFormats()) {
            columns.insert(entry.first);
        }
        for (const auto& entry : sheet_.ColumnWidths()) {
            columns.insert(entry.first);
        }
        for (int column : columns) {
            auto index = static_cast<lxw_col_t>(column - 1);
            auto format = sheet_.ColumnFormats().find(column);
            auto width = sheet_.ColumnWidths().find(column);
            Check(worksheet_set_column(
                      worksheet_, index, index,
                      width == sheet_.ColumnWidths().end() ? LXW_DEF_COL_WIDTH : width->second,
                      FormatOf(format == sheet_.ColumnFormats().end() ? 0 : format->second)),
                  "cannot format column " + std::to_string(column));
        }
    }

    void WriteProperties() {
        title_ = XmlWritable(source_.Title);
        subject_ = XmlWritable(source_.Subject);
        lxw_doc_properties properties{};
        properties.title = title_.data();
        properties.subject = subject_.data();
        Check(workbook_set_properties(workbook_.get(), &properties),
              "cannot set the document properties");
    }

    void WriteRow(int row) {
        auto r = static_cast<lxw_row_t>(row - 1);
        if (std::uint16_t format = sheet_.RowFormat(row); format != 0) {
            Check(worksheet_set_row(worksheet_, r, LXW_DEF_ROW_HEIGHT, FormatOf(format)),
                  "cannot format row " + std::to_string(row));
        }
        for (const Worksheet::Cell& cell : sheet_.RowCells(row)) {
            auto c = static_cast<lxw_col_t>(cell.column - 1);
            lxw_format* format = FormatOf(cell.format);
            // Only linked cells look linked: most cells need no look-up.
            const std::string link = sheet_.Format(cell.format).hyperlink
                                         ? XmlWritable(sheet_.Hyperlink(row, cell.column))
                                         : NO_LINK;
            std::string where = "cannot write row " + std::to_string(row) + ", column " +
                                std::to_string(cell.column);
            if (const auto* text = std::get_if<std::string>(&cell.value)) {
                std::string written = CellText(*text);
                if (CountCharacters(written) > LIBRARY_TEXT_LIMIT) {
                    written = longCells_.Placeholder(written);
                }
                Check(link.empty()
                          ? worksheet_write_string(worksheet_, r, c, written.c_str(), format)
                          : worksheet_write_url_opt(worksheet_, r, c, link.c_str(), format,
                                                    written.c_str(), nullptr),
                      where);
            } else if (const auto* number = std::get_if<double>(&cell.value)) {
                if (!link.empty()) {
                    Check(worksheet_write_url_opt(worksheet_, r, c, link.c_str(), format, nullptr,
                                                  nullptr),
                          where);
                }
                Check(worksheet_write_number(worksheet_, r, c, *number, format), where);
            } else if (format != nullptr) {
                Check(worksheet_write_blank(worksheet_, r, c, format), where);
            }
        }
    }

    // The library's format for one of the sheet's, made once.
    lxw_format* FormatOf(std::uint16_t index) {
        if (index == 0) {
            return nullptr;
        }
        auto found = formats_.find(index);
        if (found != formats_.end()) {
            return found->second;
        }
        const CellFormat& look = sheet_.Format(index);
        lxw_format* format = workbook_add_format(workbook_.get());
        if (format == nullptr) {
            Fail(LXW_ERROR_MEMORY_MALLOC_FAILED, "cannot make a cell format");
        }
        if (look.bold) {
            format_set_bold(format);
        }
        if (look.horizontal == xlCenter) {
            format_set_align(format, LXW_ALIGN_CENTER);
        } else if (look.horizontal == xlLeft) {
            format_set_align(format, LXW_ALIGN_LEFT);
        } else if (look.horizontal == xlRight) {
            format_set_align(format, LXW_ALIGN_RIGHT);
        }
        if (look.vertical == xlCenter) {
            format_set_align(format, LXW_ALIGN_VERTICAL_CENTER);
        } else if (look.vertical == xlTop) {
            format_set_align(format, LXW_ALIGN_VERTICAL_TOP);
        }
        if (look.wrap) {
            format_set_text_wrap(format);
        }
        if (look.size != DEFAULT_FONT_SIZE) {
            format_set_font_size(format, look.size);
        }
        if (look.fontColor != AUTOMATIC_COLOR) {
            format_set_font_color(format, static_cast<lxw_color_t>(look.fontColor));
        }
        if (look.hyperlink) {
            format_set_underline(format, LXW_UNDERLINE_SINGLE);
            format_set_font_color(format, LINK_COLOUR);
        }
        formats_.emplace(index, format);
        return format;
    }

    const Workbook& source_;
    const Worksheet& sheet_;
    const std::string& path_;
    std::unique_ptr<lxw_workbook, WorkbookCloser> workbook_;
    lxw_worksheet* worksheet_ = nullptr;
    std::map<std::uint16_t, lxw_format*> formats_;
    std::string title_;
    std::string subject_;
    LongCells longCells_;
};

}  // namespace

void WriteXlsxFile(const Workbook& workbook, const std::string& path) {
    XlsxWriter(workbook, path).Write();
}

}  // namespace veln::host
