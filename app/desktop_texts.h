// The desktop program's own words (its menus, its questions, the buttons of
// its dialogs) in English and French, following the interface language of the
// run. The system's texts come from its string table; these are ours.
#pragma once

#include <QString>

namespace veln::desktop {

enum class Text {
    MenuFile,
    New,
    Open,
    OpenRecent,
    NoRecentFiles,
    Save,
    SaveAs,
    Close,
    Quit,
    MenuEdit,
    MenuWindow,
    Undo,
    Redo,
    Cut,
    Copy,
    Paste,
    SelectAll,
    Find,
    FindNext,
    MenuView,
    ZoomIn,
    ZoomOut,
    ActualSize,
    ZoomShown,
    FindPrompt,
    NotFound,
    WordDocuments,
    AllFiles,
    SaveChangesTo,
    CannotOpen,
    CannotSave,
    ReadOnly,
    ReadOnlyBecause,
    FileNotWritable,
    FolderNotWritable,
    EditRefused,
    Project,
    NoProject,
    Element,
    Working,
    Ok,
    Cancel,
    Yes,
    No,
    Abort,
    Retry,
    Ignore,
    NoDisplay,
    WorkbookWritten,
    FindAndReplace,
    FindPrevious,
    ReplaceMenu,
    ReplaceWith,
    Replace,
    ReplaceAll,
    MatchCase,
    WholeWords,
    Replaced,
    Print,
    ExportPdf,
    PdfFiles,
    PdfWritten,
    CannotWritePdf,
    ServerDatabase,
    OpenServerDatabase,
};

// The text in French when french, else in English.
QString Tr(Text text, bool french);

}  // namespace veln::desktop
