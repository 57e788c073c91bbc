// The system language from the POSIX locale: the language code before "_", "."
// or "@", named in English and numbered as the word processor's platform does
// (primary language id with the default sub-language).
#include <algorithm>
#include <cctype>
#include <string>

#include "host/system/posix_system.h"

namespace veln::host {

namespace {

struct KnownLanguage {
    const char* code;
    const char* name;
    int primaryId;
};

constexpr int SUBLANG_DEFAULT = 0x400;
constexpr int ENGLISH_ID = 0x09;

constexpr KnownLanguage LANGUAGES[] = {
    {"af", "Afrikaans", 0x36},  {"ar", "Arabic", 0x01},        {"az", "Azerbaijani", 0x2C},
    {"be", "Belarusian", 0x23}, {"bg", "Bulgarian", 0x02},     {"bn", "Bengali", 0x45},
    {"br", "Breton", 0x7E},     {"bs", "Bosnian", 0x1A},       {"ca", "Catalan", 0x03},
    {"co", "Corsican", 0x83},   {"cs", "Czech", 0x05},         {"cy", "Welsh", 0x52},
    {"da", "Danish", 0x06},     {"de", "German", 0x07},        {"el", "Greek", 0x08},
    {"en", "English", 0x09},    {"es", "Spanish", 0x0A},       {"et", "Estonian", 0x25},
    {"eu", "Basque", 0x2D},     {"fa", "Persian", 0x29},       {"fi", "Finnish", 0x0B},
    {"fo", "Faroese", 0x38},    {"fr", "French", 0x0C},        {"fy", "Frisian", 0x62},
    {"ga", "Irish", 0x3C},      {"gd", "Gaelic", 0x91},        {"gl", "Galician", 0x56},
    {"gu", "Gujarati", 0x47},   {"he", "Hebrew", 0x0D},        {"hi", "Hindi", 0x39},
    {"hr", "Croatian", 0x1A},   {"hu", "Hungarian", 0x0E},     {"hy", "Armenian", 0x2B},
    {"id", "Indonesian", 0x21}, {"is", "Icelandic", 0x0F},     {"it", "Italian", 0x10},
    {"ja", "Japanese", 0x11},   {"ka", "Georgian", 0x37},      {"kk", "Kazakh", 0x3F},
    {"ko", "Korean", 0x12},     {"lb", "Luxembourgish", 0x6E}, {"lt", "Lithuanian", 0x27},
    {"lv", "Latvian", 0x26},    {"mk", "Macedonian", 0x2F},    {"ms", "Malay", 0x3E},
    {"mt", "Maltese", 0x3A},    {"nb", "Norwegian", 0x14},     {"nl", "Dutch", 0x13},
    {"nn", "Norwegian", 0x14},  {"no", "Norwegian", 0x14},     {"oc", "Occitan", 0x82},
    {"pl", "Polish", 0x15},     {"pt", "Portuguese", 0x16},    {"rm", "Romansh", 0x17},
    {"ro", "Romanian", 0x18},   {"ru", "Russian", 0x19},       {"sk", "Slovak", 0x1B},
    {"sl", "Slovenian", 0x24},  {"sq", "Albanian", 0x1C},      {"sr", "Serbian", 0x1A},
    {"sv", "Swedish", 0x1D},    {"sw", "Swahili", 0x41},       {"ta", "Tamil", 0x49},
    {"th", "Thai", 0x1E},       {"tr", "Turkish", 0x1F},       {"uk", "Ukrainian", 0x22},
    {"ur", "Urdu", 0x20},       {"uz", "Uzbek", 0x43},         {"vi", "Vietnamese", 0x2A},
    {"zh", "Chinese", 0x04},
};

}  // namespace

SystemLanguage LanguageOfLocale(std::string_view locale) {
    std::string code(locale.substr(0, locale.find_first_of("_.@")));
    std::transform(code.begin(), code.end(), code.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (code.empty() || code == "c" || code == "posix") {
        return {SUBLANG_DEFAULT | ENGLISH_ID, "English"};
    }
    for (const auto& language : LANGUAGES) {
        if (code == language.code) {
            return {SUBLANG_DEFAULT | language.primaryId, language.name};
        }
    }
    return {0, ""};
}

}  // namespace veln::host
