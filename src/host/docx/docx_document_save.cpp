#include <algorithm>
#include <array>
#include <filesystem>

#include "host/docx/blank_document.h"
#include "host/docx/docx_document.h"
#include "host/docx/file_replacement.h"
#include "host/docx/package_parts.h"
#include "host/docx/xml_text.h"
#include "host/ui/ui.h"
#include "host/utf8.h"

namespace veln::host::docx {

namespace fs = std::filesystem;

namespace {

// What a file's extension asks a save to write.
struct FileFormat {
    bool templateType;
    bool macros;
};

std::optional<FileFormat> FormatOfExtension(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".docx") {
        return FileFormat{false, false};
    }
    if (extension == ".docm") {
        return FileFormat{false, true};
    }
    if (extension == ".dotx") {
        return FileFormat{true, false};
    }
    if (extension == ".dotm") {
        return FileFormat{true, true};
    }
    return std::nullopt;
}

}  // namespace

// --- saving ---------------------------------------------------------------------------

void DocxDocument::Save() {
    BeforeSave();
    if (path_.empty()) {
        throw HostError(WordError::CANNOT_SAVE,
                        name_ + " has never been saved: save it as a file first");
    }
    WriteTo(path_);
}

void DocxDocument::SaveAs(const std::string& path, std::optional<SaveFormat> format) {
    BeforeSave();
    std::error_code error;
    fs::path absolute = fs::absolute(path, error).lexically_normal();
    bool templateType = format ? *format == SaveFormat::Template : IsTemplate();
    bool macros = IsMacroEnabled();
    // A file's extension says what it holds; Word refuses a file whose
    // content says otherwise.
    if (std::optional<FileFormat> wanted = FormatOfExtension(absolute)) {
        std::string extension = absolute.extension().string();
        if (format && templateType != wanted->templateType) {
            throw HostError(WordError::CANNOT_SAVE,
                            path + ": a " + extension + " file holds " +
                                (wanted->templateType ? "a template" : "a document") +
                                ", which this save was asked not to write");
        }
        if (HasMacroProject() && !wanted->macros) {
            throw HostError(WordError::CANNOT_SAVE,
                            path + ": the document holds macros, which a " + extension +
                                " file cannot hold; save it as .docm or .dotm to keep them");
        }
        templateType = wanted->templateType;
        macros = wanted->macros;
    }
    std::string before = contentTypes_->Serialize();
    bool wasModified = contentTypes_->modified;
    SetMainContentType(templateType, macros);
    try {
        WriteTo(absolute.string());
    } catch (...) {
        if (contentTypes_->modified && !wasModified) {
            contentTypes_ = XmlPart::Parse(before, CONTENT_TYPES, path);
            contentTypes_->modified = false;
        }
        throw;
    }
    if (editing_ && absolute.string() != path_) {
        lock_.reset();
        lock_ = DocumentLock::Take(absolute.string());
    }
    path_ = absolute.string();
    name_ = absolute.filename().string();
}

void DocxDocument::ConfirmOverwrite(const std::string& path) {
    if (path != path_ || !disk_.exists) {
        return;
    }
    DiskState now = StateOf(path);
    if (!now.exists || now == disk_) {
        return;
    }
    using namespace MsgBoxStyle;
    const std::string question =
        "The file " + path +
        " has been changed by another program since it was opened or last saved here.\r"
        "Save over it and lose those changes?";
    if (dialogs_ == nullptr ||
        dialogs_->MsgBox(question, vbYesNo + vbExclamation + vbDefaultButton2) !=
            MsgBoxResult::vbYes) {
        throw HostError(WordError::CANNOT_SAVE,
                        path +
                            " was not saved: another program changed it since it was "
                            "opened or last saved here");
    }
}

void DocxDocument::WriteTo(const std::string& path) {
    ConfirmOverwrite(path);
    MirrorVariables();
    std::map<std::string, std::string> replaced;
    std::vector<std::pair<std::string, std::string>> added;
    for (XmlPart* part : {contentTypes_.get(), packageRels_.get(), main_.get(), mainRels_.get(),
                          settings_.get(), customProperties_.get()}) {
        if (part == nullptr || !part->modified) {
            continue;
        }
        if (part->inPackage && package_) {
            replaced[part->Name()] = part->Serialize();
        } else {
            added.emplace_back(part->Name(), part->Serialize());
        }
    }
    FileReplacement replacement(path);
    ZipPackage::Write(package_ ? &*package_ : nullptr, replacement.Temporary(), path, replaced,
                      added);
    replacement.Commit();
    disk_ = StateOf(path);
    // The package read at opening stays the source of the parts nobody
    // changed: their bytes are the same in every file saved since. Parts
    // changed or made since then stay so, and are written at every save.
    saved_ = true;
}

}  // namespace veln::host::docx
