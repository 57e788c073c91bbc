#include "desktop_texts.h"

#include <array>
#include <utility>

namespace veln::desktop {

namespace {

struct Entry {
    Text text;
    const char* english;
    const char* french;
};

// In the order of the enumeration: one line a text, both languages side by side.
constexpr std::array ENTRIES{
    Entry{Text::MenuFile, "&File", "&Fichier"},
    Entry{Text::New, "&New", "&Nouveau"},
    Entry{Text::Open, "&Open...", "&Ouvrir..."},
    Entry{Text::OpenRecent, "Open &Recent", "Documents &récents"},
    Entry{Text::NoRecentFiles, "(none)", "(aucun)"},
    Entry{Text::Save, "&Save", "&Enregistrer"},
    Entry{Text::SaveAs, "Save &As...", "Enregistrer &sous..."},
    Entry{Text::Close, "&Close", "&Fermer"},
    Entry{Text::Quit, "&Quit", "&Quitter"},
    Entry{Text::MenuEdit, "&Edit", "&Édition"},
    Entry{Text::MenuWindow, "&Window", "Fe&nêtre"},
    Entry{Text::Undo, "&Undo", "&Annuler"},
    Entry{Text::Redo, "&Redo", "&Rétablir"},
    Entry{Text::Cut, "Cu&t", "&Couper"},
    Entry{Text::Copy, "&Copy", "Co&pier"},
    Entry{Text::Paste, "&Paste", "C&oller"},
    Entry{Text::SelectAll, "Select &All", "&Tout sélectionner"},
    Entry{Text::Find, "&Find...", "&Rechercher..."},
    Entry{Text::FindNext, "Find &Next", "Rechercher le &suivant"},
    Entry{Text::MenuView, "&View", "&Affichage"},
    Entry{Text::ZoomIn, "Zoom &In", "Zoom &avant"},
    Entry{Text::ZoomOut, "Zoom &Out", "Zoom a&rrière"},
    Entry{Text::ActualSize, "&Actual Size", "Taille &réelle"},
    Entry{Text::ZoomShown, "Zoom: %1%", "Zoom : %1 %"},
    Entry{Text::FindPrompt, "Find:", "Rechercher :"},
    Entry{Text::NotFound, "\"%1\" was not found.", "\"%1\" est introuvable."},
    Entry{Text::WordDocuments, "Word documents", "Documents Word"},
    Entry{Text::AllFiles, "All files", "Tous les fichiers"},
    Entry{Text::SaveChangesTo, "Do you want to save the changes to %1?",
          "Voulez-vous enregistrer les modifications de %1 ?"},
    Entry{Text::CannotOpen, "%1 cannot be opened:\n%2", "Impossible d'ouvrir %1 :\n%2"},
    Entry{Text::CannotSave, "%1 cannot be saved:\n%2", "Impossible d'enregistrer %1 :\n%2"},
    Entry{Text::ReadOnly, "read-only", "lecture seule"},
    Entry{Text::ReadOnlyBecause, "%1 opens read-only: %2", "%1 est ouvert en lecture seule : %2"},
    Entry{Text::FileNotWritable, "the file cannot be written.",
          "le fichier ne peut pas être modifié."},
    Entry{Text::FolderNotWritable, "its folder cannot be written, so it could not be saved.",
          "son dossier ne peut pas être modifié : il ne pourrait pas être enregistré."},
    Entry{Text::EditRefused, "This edit cannot be made here: %1",
          "Cette modification est impossible ici : %1"},
    Entry{Text::Project, "Project: %1", "Projet : %1"},
    Entry{Text::NoProject, "No project", "Aucun projet"},
    Entry{Text::Element, "Element %1  %2", "Élément %1  %2"},
    Entry{Text::Working, "Working...", "Traitement en cours..."},
    Entry{Text::Ok, "OK", "OK"},
    Entry{Text::Cancel, "Cancel", "Annuler"},
    Entry{Text::Yes, "&Yes", "&Oui"},
    Entry{Text::No, "&No", "&Non"},
    Entry{Text::Abort, "&Abort", "Abandonne&r"},
    Entry{Text::Retry, "&Retry", "&Réessayer"},
    Entry{Text::Ignore, "&Ignore", "&Ignorer"},
    Entry{Text::NoDisplay,
          "veln-desktop: there is no display to show windows on (neither DISPLAY nor "
          "WAYLAND_DISPLAY is set).\n"
          "Without a display, VELN works through its batch commands: veln script FILE plays "
          "a session (see docs/automation.md), veln --help lists them.",
          "veln-desktop : aucun écran où afficher des fenêtres (ni DISPLAY ni WAYLAND_DISPLAY "
          "ne sont définis).\n"
          "Sans écran, VELN fonctionne par ses commandes : veln script FICHIER joue une "
          "session (voir docs/automation.md), veln --help les énumère."},
    Entry{Text::WorkbookWritten, "The workbook was written to %1",
          "Le classeur a été enregistré sous %1"},
    Entry{Text::FindAndReplace, "Find and Replace", "Rechercher et remplacer"},
    Entry{Text::FindPrevious, "Find &Previous", "Rechercher le &précédent"},
    Entry{Text::ReplaceMenu, "R&eplace...", "Rem&placer..."},
    Entry{Text::ReplaceWith, "Replace with:", "Remplacer par :"},
    Entry{Text::Replace, "&Replace", "&Remplacer"},
    Entry{Text::ReplaceAll, "Replace &All", "Remplacer &tout"},
    Entry{Text::MatchCase, "Match &case", "Respecter la &casse"},
    Entry{Text::WholeWords, "&Whole words only", "&Mots entiers uniquement"},
    Entry{Text::Replaced, "Replaced: %1", "Remplacements : %1"},
    Entry{Text::Print, "&Print...", "&Imprimer..."},
    Entry{Text::ExportPdf, "&Export as PDF...", "E&xporter au format PDF..."},
    Entry{Text::PdfFiles, "PDF files", "Fichiers PDF"},
    Entry{Text::PdfWritten, "The PDF was written to %1", "Le PDF a été enregistré sous %1"},
    Entry{Text::CannotWritePdf, "%1 cannot be written: its folder must exist and be writable.",
          "Impossible d'écrire %1 : son dossier doit exister et être modifiable."},
    Entry{Text::ServerDatabase, "Or a database on a server:", "Ou une base sur un serveur :"},
    Entry{Text::OpenServerDatabase, "Open from the server", "Ouvrir depuis le serveur"},
};

}  // namespace

QString Tr(Text text, bool french) {
    const Entry& entry = ENTRIES.at(static_cast<std::size_t>(text));
    return QString::fromUtf8(french ? entry.french : entry.english);
}

}  // namespace veln::desktop
