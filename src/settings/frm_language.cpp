#include "settings/frm_language.h"

#include "settings/util_ini_file.h"

namespace veln {

namespace {
// Both languages at once: the user may not read the one now chosen.
constexpr const char* RESTART_MESSAGE =
    "Close and restart Word(c) for changes to take effect. \r"
    "Fermez et relancez Word(c) pour que les changements prennent effet.";
// The same in a program of its own, which is the one to restart.
constexpr const char* OWN_RESTART_MESSAGE =
    "Close and restart VELN for the change to take effect.\r"
    "Fermez et relancez VELN pour que le changement prenne effet.";
}  // namespace

frmLanguage::frmLanguage(CoreContext& context) : Form("frmLanguage"), context_(context) {
    // The captions are the same in both languages.
    Caption = "Language";
    OButtonEnglish.Caption = "English";
    OButtonFrench.Caption = "Français";
    OButtonAuto.Caption = "Auto";
    OKButton.Caption = "OK";
    CancelButton.Caption = "Annuler";
    OKButton.OnClick = [this] { OKButton_Click(); };
    CancelButton.OnClick = [this] { CancelButton_Click(); };
}

void frmLanguage::OnLoad() {
    BackColor = host::DIALOG_BACK_COLOR;
    std::string value;
    if (UtilIniFile::IniFileExists(context_.system)) {
        value = UtilIniFile::ReadIniValue(context_.system, UtilIniFile::SECTION_LOCALE,
                                          UtilIniFile::KEY_LANGUAGE);
    }
    if (value == "FR") {
        OButtonFrench.SetValue(true);
    } else if (value == "EN") {
        OButtonEnglish.SetValue(true);
    } else {
        OButtonAuto.SetValue(true);
    }
}

void frmLanguage::OKButton_Click() {
    std::string value;
    if (OButtonFrench.Value()) {
        value = "FR";
        context_.language.offset = FRENCH_OFFSET;
    } else if (OButtonEnglish.Value()) {
        value = "EN";
        context_.language.offset = ENGLISH_OFFSET;
    } else {
        value = "AUTO";
        context_.language.offset = Language::SystemLanguageOffset(context_.system);
    }
    UtilIniFile::WriteIniValue(context_.system, UtilIniFile::SECTION_LOCALE,
                               UtilIniFile::KEY_LANGUAGE, value);
    context_.ui.MsgBox(context_.ownProgram ? OWN_RESTART_MESSAGE : RESTART_MESSAGE,
                       host::MsgBoxStyle::vbInformation);
    Unload();
}

void frmLanguage::CancelButton_Click() {
    Unload();
}

}  // namespace veln
