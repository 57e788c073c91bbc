#include "host/docx/docx_document.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "host/docx/blank_document.h"
#include "host/docx/file_replacement.h"
#include "host/docx/xml_text.h"
#include "host/ui/ui.h"
#include "host/utf8.h"

namespace veln::host::docx {

namespace fs = std::filesystem;

namespace {

constexpr const char* REL_NS_TRANSITIONAL =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
constexpr const char* REL_NS_STRICT = "http://purl.oclc.org/ooxml/officeDocument/relationships/";
constexpr const char* CT_SETTINGS =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml";
constexpr const char* CONTENT_TYPES = "[Content_Types].xml";

// Main part content types: a document's and the matching template's, without
// macros and with them.
constexpr std::array<std::pair<const char*, const char*>, 2> MAIN_TYPES{{
    {"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml",
     "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml"},
    {"application/vnd.ms-word.document.macroEnabled.main+xml",
     "application/vnd.ms-word.template.macroEnabledTemplate.main+xml"},
}};

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

// Settings that follow w:docVars in the order the schema fixes.
constexpr std::array<const char*, 16> AFTER_DOC_VARS{"rsids",
                                                     "mathPr",
                                                     "attachedSchema",
                                                     "themeFontLang",
                                                     "clrSchemeMapping",
                                                     "doNotIncludeSubdocsInStats",
                                                     "doNotAutoCompressPictures",
                                                     "forceUpgrade",
                                                     "captions",
                                                     "readModeInkLockDown",
                                                     "smartTagType",
                                                     "schemaLibrary",
                                                     "shapeDefaults",
                                                     "doNotEmbedSmartTags",
                                                     "decimalSymbol",
                                                     "listSeparator"};

HostError Refused(const std::string& label, const std::string& reason) {
    return HostError(WordError::FILE_CORRUPT, label + ": " + reason);
}

std::string Folder(const std::string& part) {
    auto slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash);
}

std::string RelationshipsOf(const std::string& part) {
    std::string folder = Folder(part);
    std::string file = folder.empty() ? part : part.substr(folder.size() + 1);
    return (folder.empty() ? std::string() : folder + "/") + "_rels/" + file + ".rels";
}

// A relationship target, relative to the source part's folder, as a part name.
std::string ResolveTarget(const std::string& sourceFolder, const std::string& target) {
    fs::path joined =
        target.starts_with("/") ? fs::path(target.substr(1)) : fs::path(sourceFolder) / target;
    return joined.lexically_normal().generic_string();
}

bool TypeIs(const pugi::xml_node& relationship, const char* kind) {
    std::string type = relationship.attribute("Type").value();
    return type == std::string(REL_NS_TRANSITIONAL) + kind ||
           type == std::string(REL_NS_STRICT) + kind;
}

pugi::xml_node FindRelationship(const XmlPart* rels, const char* kind) {
    if (rels == nullptr) {
        return {};
    }
    for (pugi::xml_node relationship : rels->Root().children()) {
        if (TypeIs(relationship, kind)) {
            return relationship;
        }
    }
    return {};
}

std::string Sniff(const std::string& bytes) {
    if (bytes.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) {
        const std::string encrypted("E\0n\0c\0r\0y\0p\0t\0i\0o\0n\0I\0n\0f\0o", 27);
        return bytes.find(encrypted) != std::string::npos
                   ? "an encrypted (password-protected) document, which cannot be opened"
                   : "a legacy binary Word document (.doc), which is not supported";
    }
    if (bytes.starts_with("{\\rtf")) {
        return "an RTF file, which is not supported";
    }
    if (!bytes.starts_with("PK")) {
        return "not a Word document (not a zip package)";
    }
    return {};
}

const char* LocalName(const pugi::xml_node& node) {
    const char* name = node.name();
    const char* colon = std::strchr(name, ':');
    return colon == nullptr ? name : colon + 1;
}

}  // namespace

// --- opening ---------------------------------------------------------------------------

std::unique_ptr<DocxDocument> DocxDocument::Open(const std::string& path) {
    std::error_code error;
    fs::path absolute = fs::absolute(path, error).lexically_normal();
    if (fs::is_directory(absolute, error)) {
        throw Refused(path, "is a folder, not a document");
    }
    DiskState state;
    // No package over the bound of its parts can be legitimate.
    std::string bytes = ReadRegularFile(absolute.string(), MAX_PACKAGE_SIZE, &state);
    std::unique_ptr<DocxDocument> document = FromBytes(std::move(bytes), path);
    document->path_ = absolute.string();
    document->name_ = absolute.filename().string();
    document->disk_ = state;
    return document;
}

std::unique_ptr<DocxDocument> DocxDocument::FromBytes(std::string bytes, const std::string& label) {
    if (std::string reason = Sniff(bytes); !reason.empty()) {
        throw Refused(label, "is " + reason);
    }
    try {
        std::unique_ptr<DocxDocument> document(new DocxDocument());
        document->package_.emplace(ZipPackage::FromBytes(std::move(bytes), label));
        document->Load(label);
        document->name_ = fs::path(label).filename().string();
        return document;
    } catch (const std::bad_alloc&) {
        // Whatever the bounds let through, running out of memory is this
        // file's failure, not the program's.
        throw HostError(WordError::OUT_OF_MEMORY,
                        label + ": there is not enough memory to open this document");
    }
}

std::unique_ptr<DocxDocument> DocxDocument::New(const std::string& name, bool visible) {
    std::unique_ptr<DocxDocument> document(new DocxDocument());
    document->contentTypes_ = XmlPart::Create(CONTENT_TYPES, blank::CONTENT_TYPES);
    document->packageRels_ = XmlPart::Create("_rels/.rels", blank::PACKAGE_RELS);
    document->main_ = XmlPart::Create("word/document.xml", blank::DOCUMENT);
    document->mainRels_ = XmlPart::Create("word/_rels/document.xml.rels", blank::DOCUMENT_RELS);
    document->settings_ = XmlPart::Create("word/settings.xml", blank::SETTINGS);
    document->names_ = Wml(document->main_->Root());
    pugi::xml_node body = document->main_->Root().child(document->names_.body.c_str());
    document->story_ = std::make_unique<Story>(body, document->names_);
    document->bookmarks_ = std::make_unique<BookmarkTable>(*document->story_);
    document->name_ = name;
    document->visible_ = visible;
    return document;
}

void DocxDocument::Load(const std::string& label) {
    if (!package_->Has(CONTENT_TYPES)) {
        throw Refused(label, "is not a Word document (no [Content_Types].xml)");
    }
    contentTypes_ = XmlPart::Parse(package_->Read(CONTENT_TYPES), CONTENT_TYPES, label);
    std::string mainName = "word/document.xml";
    if (package_->Has("_rels/.rels")) {
        packageRels_ = XmlPart::Parse(package_->Read("_rels/.rels"), "_rels/.rels", label);
        if (pugi::xml_node office = FindRelationship(packageRels_.get(), "officeDocument")) {
            mainName = ResolveTarget("", office.attribute("Target").value());
        }
    }
    if (!package_->Has(mainName)) {
        throw Refused(label, "has no main document part (" + mainName + ")");
    }
    main_ = XmlPart::Parse(package_->Read(mainName), mainName, label);
    names_ = Wml(main_->Root());
    if (!Is(main_->Root(), names_.document)) {
        throw Refused(label, "its main part " + mainName + " is not a word-processing document");
    }
    int bodies = 0;
    for (pugi::xml_node child : main_->Root().children(names_.body.c_str())) {
        (void)child;
        ++bodies;
    }
    if (bodies != 1) {
        throw Refused(
            label, mainName + " has " + std::to_string(bodies) + " w:body elements instead of one");
    }
    std::string relsName = RelationshipsOf(mainName);
    if (package_->Has(relsName)) {
        mainRels_ = XmlPart::Parse(package_->Read(relsName), relsName, label);
        LoadSettings(mainName, label);
    }
    pugi::xml_node body = main_->Root().child(names_.body.c_str());
    try {
        story_ = std::make_unique<Story>(body, names_);
    } catch (const HostError& error) {
        throw Refused(label, error.Description());
    }
    if (story_->ParagraphCount() == 0) {
        // Every document has at least one paragraph; this one is kept in memory
        // and written only if the document is changed.
        pugi::xml_node sectPr = body.child(names_.sectPr.c_str());
        sectPr ? body.insert_child_before(names_.p.c_str(), sectPr)
               : body.append_child(names_.p.c_str());
        story_ = std::make_unique<Story>(body, names_);
    }
    bookmarks_ = std::make_unique<BookmarkTable>(*story_);
    LoadCustomProperties(label);
    // Every other entry is read through once, so a damaged one refuses the
    // file now rather than a save later; none of them stays in memory.
    package_->CheckTheRest();
    notes_ = package_->Notes();
    for (XmlPart* part :
         {contentTypes_.get(), packageRels_.get(), main_.get(), mainRels_.get(), settings_.get()}) {
        if (part != nullptr && part->mended > 0) {
            notes_.push_back(part->Name() + ": " + std::to_string(part->mended) +
                             " characters that XML does not allow were replaced by U+FFFD");
        }
    }
}

void DocxDocument::LoadSettings(const std::string& mainName, const std::string& label) {
    pugi::xml_node settings = FindRelationship(mainRels_.get(), "settings");
    if (!settings) {
        return;
    }
    bool external = std::string_view(settings.attribute("TargetMode").value()) == "External";
    settingsName_ = external
                        ? std::string()
                        : ResolveTarget(Folder(mainName), settings.attribute("Target").value());
    if (settingsName_.empty() || !package_->Has(settingsName_)) {
        return;  // the part is made where the relationship says when a variable is set
    }
    settings_ = XmlPart::Parse(package_->Read(settingsName_), settingsName_, label);
    // Variables live in WordprocessingML settings; a part of another kind
    // holds none, and gets none written into it.
    Wml names(settings_->Root());
    bool declared = false;
    for (pugi::xml_attribute attribute : settings_->Root().attributes()) {
        std::string_view value = attribute.value();
        declared = declared || (std::string_view(attribute.name()).starts_with("xmlns") &&
                                (value == W_NS || value == W_NS_STRICT));
    }
    if (!declared || !Is(settings_->Root(), names.settings)) {
        settings_.reset();
        foreignSettings_ = true;
    }
}

// --- saving ---------------------------------------------------------------------------

void DocxDocument::StartEditing(Ui* dialogs) {
    dialogs_ = dialogs;
    editing_ = true;
    if (!path_.empty()) {
        lock_ = DocumentLock::Take(path_);
    }
}

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

std::string DocxDocument::MainContentType() const {
    std::string partName = "/" + main_->Name();
    for (pugi::xml_node override : contentTypes_->Root().children()) {
        if (partName == override.attribute("PartName").value()) {
            return override.attribute("ContentType").value();
        }
    }
    return {};
}

bool DocxDocument::IsTemplate() const {
    std::string type = MainContentType();
    return std::any_of(MAIN_TYPES.begin(), MAIN_TYPES.end(),
                       [&](const auto& types) { return type == types.second; });
}

bool DocxDocument::IsMacroEnabled() const {
    std::string type = MainContentType();
    return type == MAIN_TYPES[1].first || type == MAIN_TYPES[1].second;
}

bool DocxDocument::HasMacroProject() const {
    if (mainRels_) {
        for (pugi::xml_node relationship : mainRels_->Root().children()) {
            if (std::string_view(relationship.attribute("Type").value()).ends_with("/vbaProject")) {
                return true;
            }
        }
    }
    return false;
}

void DocxDocument::SetMainContentType(bool templateType, bool macros) {
    std::string partName = "/" + main_->Name();
    const auto& family = MAIN_TYPES[macros ? 1 : 0];
    const char* wanted = templateType ? family.second : family.first;
    for (pugi::xml_node override : contentTypes_->Root().children()) {
        if (partName != override.attribute("PartName").value()) {
            continue;
        }
        pugi::xml_attribute type = override.attribute("ContentType");
        // Only a main part of a known kind changes kind.
        bool known = std::any_of(MAIN_TYPES.begin(), MAIN_TYPES.end(), [&](const auto& types) {
            return std::string_view(type.value()) == types.first ||
                   std::string_view(type.value()) == types.second;
        });
        if (known && std::string_view(type.value()) != wanted) {
            type.set_value(wanted);
            Changed(*contentTypes_);
        }
    }
}

void DocxDocument::Changed(XmlPart& part) {
    part.modified = true;
    saved_ = false;
}

// --- the story -------------------------------------------------------------------------

long DocxDocument::Clamp(long position) const {
    return std::clamp(position, 0L, StoryEnd());
}

std::string DocxDocument::TextOf(long start, long end) const {
    return story_->Text(Clamp(start), Clamp(end));
}

void DocxDocument::InsertText(long position, std::string_view text) {
    if (text.empty()) {
        return;
    }
    RequireWritable(text, "The text to insert", WordError::COMMAND_FAILED, IsStoryCharacter);
    position = std::min(Clamp(position), StoryEnd() - 1);
    // Text inserted at a bookmark's start lies inside it, an empty one too:
    // its end, which stood with its start, moves after the text.
    std::vector<const Mark*> empty = bookmarks_->EmptyAt(position);
    story_->Insert(position, text);
    long length = CountCharacters(text);
    for (const Mark* mark : empty) {
        bookmarks_->MoveEnd(*mark, position + length);
    }
    ShiftSelection(position, length);
    Changed(*main_);
}

void DocxDocument::DeleteText(long start, long end) {
    start = Clamp(start);
    end = Clamp(end);
    if (start >= end) {
        return;
    }
    story_->Delete(start, end);
    ShiftSelection(start, start - end);
    Changed(*main_);
}

std::pair<long, long> DocxDocument::ParagraphAt(long position) const {
    auto [paragraph, offset] = story_->Locate(Clamp(position));
    long start = story_->StartOf(*paragraph);
    return {start, start + paragraph->length + 1};
}

int DocxDocument::HighlightOf(long start, long end) const {
    return story_->Highlight(Clamp(start), Clamp(end));
}

void DocxDocument::SetHighlight(long start, long end, int colorIndex) {
    story_->SetHighlight(Clamp(start), Clamp(end), colorIndex);
    Changed(*main_);
}

// --- bookmarks --------------------------------------------------------------------------

int DocxDocument::BookmarkCount(bool includeHidden) const {
    return bookmarks_->Count(includeHidden);
}

BookmarkInfo DocxDocument::BookmarkItem(int index, bool includeHidden) const {
    const Mark& mark = bookmarks_->Item(index, includeHidden);
    return {mark.name, bookmarks_->Start(mark), bookmarks_->End(mark)};
}

std::optional<BookmarkInfo> DocxDocument::FindBookmark(std::string_view name) const {
    const Mark* mark = bookmarks_->Find(name);
    if (mark == nullptr) {
        return std::nullopt;
    }
    return BookmarkInfo{mark->name, bookmarks_->Start(*mark), bookmarks_->End(*mark)};
}

int DocxDocument::BookmarkIdAt(long position, bool includeHidden) const {
    return bookmarks_->IdAt(Clamp(position), includeHidden);
}

void DocxDocument::SetBookmark(const std::string& name, long start, long end) {
    RequireWritable(name, "The bookmark name", WordError::BAD_BOOKMARK_NAME);
    bookmarks_->Set(name, Clamp(std::min(start, end)), Clamp(std::max(start, end)));
    Changed(*main_);
}

void DocxDocument::RemoveBookmark(std::string_view name) {
    if (bookmarks_->Remove(name)) {
        Changed(*main_);
    }
}

// --- document variables -------------------------------------------------------------------

XmlPart& DocxDocument::SettingsPart() {
    if (foreignSettings_) {
        throw HostError(WordError::COMMAND_FAILED,
                        FullName() + ": " + settingsName_ +
                            " is not the settings of a word-processing document, so it cannot "
                            "hold document variables");
    }
    if (!settings_) {
        // The part is made where a broken relationship points, so the
        // package holds together again; otherwise under a name of its own.
        std::string folder = Folder(main_->Name());
        std::string name = settingsName_;
        if (name.empty() || name.ends_with("/") || (package_ && package_->Has(name))) {
            name = FreePartName(folder, "settings");
        }
        std::string ns = names_.strict ? W_NS_STRICT : W_NS;
        settings_ =
            XmlPart::Create(name, R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                                  "\n"
                                  R"(<w:settings xmlns:w=")" +
                                      ns + R"("/>)");
        std::string target = folder.empty() || !name.starts_with(folder + "/")
                                 ? "/" + name
                                 : name.substr(folder.size() + 1);
        if (pugi::xml_node relationship = FindRelationship(mainRels_.get(), "settings")) {
            pugi::xml_attribute targetAttribute = relationship.attribute("Target");
            if (!targetAttribute) {
                targetAttribute = relationship.append_attribute("Target");
            }
            targetAttribute.set_value(target.c_str());
            relationship.remove_attribute("TargetMode");
            Changed(*mainRels_);
        } else {
            AddRelationship(MainRelationships(), "settings", target, false);
        }
        DeclareContentType(name, CT_SETTINGS);
        settingsName_ = name;
    }
    return *settings_;
}

std::string DocxDocument::FreePartName(const std::string& folder, const std::string& stem) const {
    std::string prefix = folder.empty() ? std::string() : folder + "/";
    std::string name = prefix + stem + ".xml";
    for (int n = 1; package_ && package_->Has(name); ++n) {
        name = prefix + stem + std::to_string(n) + ".xml";
    }
    return name;
}

void DocxDocument::DeclareContentType(const std::string& partName, const char* contentType) {
    // One Override per part: an existing one is corrected, never doubled.
    std::string key = "/" + partName;
    for (pugi::xml_node override : contentTypes_->Root().children()) {
        if (key == override.attribute("PartName").value()) {
            if (std::string_view(override.attribute("ContentType").value()) != contentType) {
                override.remove_attribute("ContentType");
                override.append_attribute("ContentType").set_value(contentType);
                Changed(*contentTypes_);
            }
            return;
        }
    }
    pugi::xml_node override = contentTypes_->Root().append_child("Override");
    override.append_attribute("PartName").set_value(key.c_str());
    override.append_attribute("ContentType").set_value(contentType);
    Changed(*contentTypes_);
}

pugi::xml_node DocxDocument::DocVars(bool create) {
    if (!settings_ && !create) {
        return {};
    }
    XmlPart& settings = create ? SettingsPart() : *settings_;
    Wml names(settings.Root());
    pugi::xml_node docVars = settings.Root().child(names.docVars.c_str());
    if (!docVars && create) {
        pugi::xml_node before = settings.Root().first_child();
        while (before) {
            bool element = before.type() == pugi::node_element;
            bool otherNamespace = element && !std::string(before.name()).starts_with(names.wPrefix);
            bool after =
                element &&
                std::any_of(AFTER_DOC_VARS.begin(), AFTER_DOC_VARS.end(), [&](const char* local) {
                    return std::strcmp(LocalName(before), local) == 0;
                });
            if (after || otherNamespace) {
                break;
            }
            before = before.next_sibling();
        }
        docVars = before ? settings.Root().insert_child_before(names.docVars.c_str(), before)
                         : settings.Root().append_child(names.docVars.c_str());
    }
    return docVars;
}

std::vector<std::string> DocxDocument::VariableNames() const {
    std::vector<std::string> names;
    if (settings_) {
        Wml n(settings_->Root());
        for (pugi::xml_node docVar :
             settings_->Root().child(n.docVars.c_str()).children(n.docVar.c_str())) {
            names.emplace_back(docVar.attribute(n.name.c_str()).value());
        }
    }
    for (const auto& [name, value] : mirrored_) {
        names.push_back(name);
    }
    return names;
}

std::optional<std::string> DocxDocument::VariableValue(std::string_view name) const {
    if (settings_) {
        Wml n(settings_->Root());
        for (pugi::xml_node docVar :
             settings_->Root().child(n.docVars.c_str()).children(n.docVar.c_str())) {
            if (name == docVar.attribute(n.name.c_str()).value()) {
                return std::string(docVar.attribute(n.val.c_str()).value());
            }
        }
    }
    for (const auto& [mirroredName, value] : mirrored_) {
        if (name == mirroredName) {
            return value;
        }
    }
    return std::nullopt;
}

void DocxDocument::SetVariableValue(const std::string& name, const std::string& value) {
    RequireWritable(name, "The name of the variable", WordError::COMMAND_FAILED);
    RequireWritable(value, "The value of the variable " + name, WordError::COMMAND_FAILED);
    pugi::xml_node docVars = DocVars(true);
    Wml n(settings_->Root());
    pugi::xml_node found;
    for (pugi::xml_node docVar : docVars.children(n.docVar.c_str())) {
        if (name == docVar.attribute(n.name.c_str()).value()) {
            found = docVar;
            break;
        }
    }
    if (!found) {
        found = docVars.append_child(n.docVar.c_str());
        found.append_attribute(n.name.c_str()).set_value(name.c_str());
        found.append_attribute(n.val.c_str());
    }
    if (!found.attribute(n.val.c_str())) {
        found.append_attribute(n.val.c_str());
    }
    found.attribute(n.val.c_str()).set_value(value.c_str());
    Changed(*settings_);
    ForgetMirrored(name);
    variablesChanged_ = true;
}

void DocxDocument::RemoveVariable(std::string_view name) {
    if (ForgetMirrored(name)) {
        saved_ = false;
        variablesChanged_ = true;
    }
    pugi::xml_node docVars = DocVars(false);
    if (!docVars) {
        return;
    }
    Wml n(settings_->Root());
    for (pugi::xml_node docVar : docVars.children(n.docVar.c_str())) {
        if (name == docVar.attribute(n.name.c_str()).value()) {
            docVars.remove_child(docVar);
            if (!docVars.child(n.docVar.c_str())) {
                docVars.parent().remove_child(docVars);
            }
            Changed(*settings_);
            variablesChanged_ = true;
            return;
        }
    }
}

// --- hyperlinks ------------------------------------------------------------------------------

XmlPart& DocxDocument::MainRelationships() {
    if (!mainRels_) {
        mainRels_ = XmlPart::Create(
            RelationshipsOf(main_->Name()),
            R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
            "\n"
            R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"/>)");
    }
    return *mainRels_;
}

std::string DocxDocument::AddRelationship(XmlPart& rels, const std::string& type,
                                          const std::string& target, bool external) {
    // The part is read for its greatest id once; from then on ids count on,
    // so adding thousands of links does not read the part again each time.
    auto [known, unread] = highestRelationshipIds_.try_emplace(&rels, 0);
    long& highest = known->second;
    if (unread) {
        for (pugi::xml_node relationship : rels.Root().children()) {
            std::string id = relationship.attribute("Id").value();
            if (id.starts_with("rId")) {
                highest = std::max(highest, std::strtol(id.c_str() + 3, nullptr, 10));
            }
        }
    }
    std::string id = "rId" + std::to_string(++highest);
    pugi::xml_node relationship = rels.Root().append_child("Relationship");
    relationship.append_attribute("Id").set_value(id.c_str());
    relationship.append_attribute("Type").set_value(
        ((names_.strict ? REL_NS_STRICT : REL_NS_TRANSITIONAL) + type).c_str());
    relationship.append_attribute("Target").set_value(target.c_str());
    if (external) {
        relationship.append_attribute("TargetMode").set_value("External");
    }
    Changed(rels);
    return id;
}

std::string DocxDocument::RelationshipTarget(const std::string& id) const {
    if (mainRels_) {
        for (pugi::xml_node relationship : mainRels_->Root().children()) {
            if (id == relationship.attribute("Id").value()) {
                return relationship.attribute("Target").value();
            }
        }
    }
    return {};
}

HyperlinkInfo DocxDocument::AddHyperlink(long start, long end, const std::string& address,
                                         const std::string& subAddress,
                                         const std::string& textToDisplay) {
    RequireWritable(address, "The hyperlink's address", WordError::COMMAND_FAILED);
    RequireWritable(subAddress, "The hyperlink's sub-address", WordError::COMMAND_FAILED);
    RequireWritable(textToDisplay, "The hyperlink's text", WordError::COMMAND_FAILED,
                    IsStoryCharacter);
    start = Clamp(start);
    end = std::max(start, Clamp(end));
    auto [paragraph, offset] = story_->Locate(start);
    if (offset + (end - start) > paragraph->length) {
        throw HostError(WordError::COMMAND_FAILED, "a hyperlink must lie within one paragraph");
    }
    std::string text = textToDisplay;
    if (text.empty() && start == end) {
        text = address.empty() ? subAddress : address;
    }
    if (!text.empty()) {
        DeleteText(start, end);
        InsertText(start, text);
        end = start + CountCharacters(text);
    }
    std::vector<pugi::xml_node> runs =
        story_->RunsCovering(*paragraph, offset, offset + (end - start));
    if (runs.empty() || std::any_of(runs.begin(), runs.end(), [&](const pugi::xml_node& run) {
            return run.parent() != runs.front().parent();
        })) {
        throw HostError(WordError::COMMAND_FAILED,
                        "a hyperlink cannot be made over this text (it crosses other markup)");
    }
    pugi::xml_node link =
        runs.front().parent().insert_child_before(names_.hyperlink.c_str(), runs.front());
    if (!address.empty()) {
        std::string declaration = "xmlns:" + names_.rPrefix.substr(0, names_.rPrefix.size() - 1);
        if (!main_->Root().attribute(declaration.c_str())) {
            main_->Root()
                .append_attribute(declaration.c_str())
                .set_value(names_.strict ? R_NS_STRICT : R_NS);
        }
        std::string id = AddRelationship(MainRelationships(), "hyperlink", address, true);
        link.append_attribute(names_.rId.c_str()).set_value(id.c_str());
    }
    if (!subAddress.empty()) {
        link.append_attribute(names_.anchor.c_str()).set_value(subAddress.c_str());
    }
    link.append_attribute(names_.history.c_str()).set_value("1");
    for (pugi::xml_node run : runs) {
        link.append_move(run);
    }
    // The runs moved under the hyperlink: read the paragraph again.
    story_->Refresh(*paragraph);
    Changed(*main_);
    return {address, subAddress, TextOf(start, end), start, end};
}

std::vector<HyperlinkInfo> DocxDocument::HyperlinkList() const {
    std::vector<HyperlinkInfo> links;
    for (std::size_t i = 0; i < story_->ParagraphCount(); ++i) {
        Paragraph& paragraph = story_->ParagraphAtIndex(i);
        long at = story_->StartOf(paragraph);
        pugi::xml_node current;
        for (const auto& piece : paragraph.pieces) {
            if (piece.length == 0) {
                continue;
            }
            pugi::xml_node link;
            for (pugi::xml_node node = piece.node.parent(); node && node != paragraph.node;
                 node = node.parent()) {
                if (Is(node, names_.hyperlink)) {
                    link = node;
                    break;
                }
            }
            if (link && link == current) {
                links.back().end = at + piece.length;
            } else if (link) {
                links.push_back({RelationshipTarget(link.attribute(names_.rId.c_str()).value()),
                                 link.attribute(names_.anchor.c_str()).value(), "", at,
                                 at + static_cast<long>(piece.length)});
            }
            current = link;
            at += piece.length;
        }
    }
    for (auto& link : links) {
        link.text = story_->Text(link.start, link.end);
    }
    return links;
}

}  // namespace veln::host::docx
