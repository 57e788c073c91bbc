#include "settings/frm_splash.h"

#include <memory>

#include "settings/frm_language.h"

namespace veln {

namespace {

constexpr const char* ADDIN_TITLE = "VELN";
constexpr const char* LANGUAGE_CAPTION = "Français/English";
constexpr const char* OK_CAPTION = "OK";
// The product logo among the add-in's pictures.
constexpr int LOGO_PICTURE = 1;
// The help format of this platform, in place of the compiled help files the
// string table names.
constexpr const char* TABLE_HELP_EXTENSION = ".chm";
constexpr const char* HELP_EXTENSION = ".html";

}  // namespace

std::string VersionText() {
    return VELN_VERSION;
}

std::string HelpViewer(const host::System& system) {
    std::string viewer = system.Environment("VELN_HELP_VIEWER");
    return viewer.empty() ? std::string("xdg-open") : viewer;
}

frmSplash::frmSplash(CoreContext& context) : Form("frmSplash"), context_(context) {}

void frmSplash::OnLoad() {
    Icon = host::ADDIN_ICON;
    imgLogo.Picture = LOGO_PICTURE;
    lblVersion.Caption = "Version " + VersionText();
    lblTitle.Caption = ADDIN_TITLE;
    lblDescription.Caption = context_.LoadText(StringId::ABOUT_DESCRIPTION);
    Help.Caption = context_.LoadText(StringId::USER_MANUAL);
    CommandLanguage.Caption = LANGUAGE_CAPTION;
    ok.Caption = OK_CAPTION;
    Caption = context_.LoadText(StringId::MENU_ABOUT);

    Help.OnClick = [this] { Help_Click(); };
    CommandLanguage.OnClick = [this] { CommandLanguage_Click(); };
    ok.OnClick = [this] { Unload(); };
    Frame1.OnClick = [this] { Unload(); };
    // Any key typed in the box closes it.
    OnKeyPress = [this](const std::string&) { Unload(); };
}

std::string frmSplash::ManualPath() const {
    // "\veln en.chm": the table's leading backslash is this platform's separator.
    std::string file = context_.LoadText(StringId::HELP_FILE);
    if (file.starts_with("\\")) {
        file[0] = '/';
    }
    if (file.ends_with(TABLE_HELP_EXTENSION)) {
        file.replace(file.size() - std::string(TABLE_HELP_EXTENSION).size(), std::string::npos,
                     HELP_EXTENSION);
    }
    return context_.system.ProgramFolder() + file;
}

void frmSplash::Help_Click() {
    // The viewer reports a missing manual itself; the box stays open.
    context_.system.StartProcess(HelpViewer(context_.system), {ManualPath()});
}

void frmSplash::CommandLanguage_Click() {
    context_.ui.Show(std::make_shared<frmLanguage>(context_), false);
}

}  // namespace veln
