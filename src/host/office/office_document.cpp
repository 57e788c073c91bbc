#include "host/office/office_document.h"

#include <filesystem>

namespace veln::host::office {

namespace {

namespace fs = std::filesystem;

// The office's filter for a file of that extension; a template when asked.
std::string FilterOf(const fs::path& path, bool templateType) {
    std::string extension = path.extension().string();
    if (extension == ".odt" || extension == ".ott") {
        return templateType || extension == ".ott" ? "writer8_template" : "writer8";
    }
    if (extension == ".doc" || extension == ".dot") {
        return templateType || extension == ".dot" ? "MS Word 97 Vorlage" : "MS Word 97";
    }
    return templateType || extension == ".dotx" ? "MS Word 2007 XML Template" : "MS Word 2007 XML";
}

}  // namespace

css::uno::Sequence<css::beans::PropertyValue> NamedValues(
    std::initializer_list<std::pair<const char*, css::uno::Any>> values) {
    css::uno::Sequence<css::beans::PropertyValue> sequence(static_cast<sal_Int32>(values.size()));
    css::beans::PropertyValue* out = sequence.getArray();
    for (const auto& [name, value] : values) {
        out->Name = rtl::OUString::createFromAscii(name);
        out->Value = value;
        ++out;
    }
    return sequence;
}

rtl::OUString FileUrl(const std::string& path) {
    std::string absolute = fs::absolute(path).lexically_normal().string();
    std::string url = "file://";
    // Percent-encoded as a URL must be, UTF-8 bytes beyond ASCII included.
    const char* const hex = "0123456789ABCDEF";
    for (unsigned char c : absolute) {
        if (std::isalnum(c) != 0 ||
            std::string_view("/-._~").find(static_cast<char>(c)) != std::string_view::npos) {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += hex[c >> 4];
            url += hex[c & 15];
        }
    }
    return ToOUString(url);
}

std::string PathOfUrl(const rtl::OUString& url) {
    std::string text = FromOUString(url);
    if (!text.starts_with("file://")) {
        return text;
    }
    std::string path;
    for (std::size_t i = 7; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            path += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            path += text[i];
        }
    }
    return path;
}

OfficeDocument::OfficeDocument(OfficeConnection& connection,
                               const Reference<css::text::XTextDocument>& model, std::string name,
                               bool visible)
    : connection_(connection),
      model_(model),
      name_(std::move(name)),
      visible_(visible),
      index_(model_) {}

void OfficeDocument::Close() {
    Run("closing " + Name(), [&] {
        Reference<css::util::XCloseable> closeable(model_, UNO_QUERY);
        if (closeable.is()) {
            closeable->close(true);
        } else {
            Reference<css::lang::XComponent>(model_, UNO_QUERY_THROW)->dispose();
        }
    });
}

void OfficeDocument::Changed() const {
    index_.Invalidate();
    bookmarksValid_ = false;
}

// --- DocumentFile -----------------------------------------------------------------

std::string OfficeDocument::FullName() const {
    std::string path = Run("reading the document's file", [&] {
        return PathOfUrl(Reference<css::frame::XModel>(model_, UNO_QUERY_THROW)->getURL());
    });
    return path.empty() ? name_ : path;
}

std::string OfficeDocument::Name() const {
    std::string path = FullName();
    return path == name_ ? name_ : fs::path(path).filename().string();
}

bool OfficeDocument::Saved() const {
    return Run("reading the document's state", [&] {
        return !Reference<css::util::XModifiable>(model_, UNO_QUERY_THROW)->isModified();
    });
}

void OfficeDocument::SetSaved(bool saved) {
    Run("setting the document's state",
        [&] { Reference<css::util::XModifiable>(model_, UNO_QUERY_THROW)->setModified(!saved); });
}

void OfficeDocument::Save() {
    BeforeSave();
    if (FullName() == name_) {
        throw HostError(WordError::CANNOT_SAVE,
                        name_ + " has never been saved: save it as a file first");
    }
    Run(
        "saving " + Name(),
        [&] { Reference<css::frame::XStorable>(model_, UNO_QUERY_THROW)->store(); },
        WordError::CANNOT_SAVE);
}

void OfficeDocument::SaveAs(const std::string& path, std::optional<SaveFormat> format) {
    BeforeSave();
    fs::path absolute = fs::absolute(path).lexically_normal();
    Store(FileUrl(absolute.string()),
          FilterOf(absolute, format.has_value() && *format == SaveFormat::Template));
}

void OfficeDocument::Store(const rtl::OUString& url, const std::string& filter) {
    Run(
        "saving as " + PathOfUrl(url),
        [&] {
            Reference<css::frame::XStorable>(model_, UNO_QUERY_THROW)
                ->storeAsURL(url, NamedValues({{"FilterName", css::uno::Any(ToOUString(filter))},
                                               {"Overwrite", css::uno::Any(true)}}));
        },
        WordError::CANNOT_SAVE);
}

// --- DocumentWindow ----------------------------------------------------------------

Reference<css::text::XTextViewCursor> OfficeDocument::ViewCursor() const {
    Reference<css::frame::XModel> model(model_, UNO_QUERY_THROW);
    Reference<css::text::XTextViewCursorSupplier> supplier(model->getCurrentController(),
                                                           UNO_QUERY_THROW);
    return supplier->getViewCursor();
}

long OfficeDocument::SelectionStart() const {
    return Run("reading the selection",
               [&] { return index_.PositionOf(ViewCursor()->getStart()); });
}

long OfficeDocument::SelectionEnd() const {
    return Run("reading the selection", [&] { return index_.PositionOf(ViewCursor()->getEnd()); });
}

void OfficeDocument::SetSelection(long start, long end) {
    Run("selecting", [&] {
        long last = index_.End() - 1;
        long from = std::clamp(std::min(start, end), 0L, last);
        long to = std::clamp(std::max(start, end), 0L, last);
        Reference<css::text::XTextViewCursor> view = ViewCursor();
        view->gotoRange(index_.CursorAt(from, from)->getStart(), false);
        view->gotoRange(index_.CursorAt(to, to)->getStart(), true);
    });
}

}  // namespace veln::host::office
