#include "app/settings.h"

#include <sys/stat.h>

#include <sstream>

#include "host/files.h"

namespace {

// A settings file is a few lines; anything much longer is not one.
constexpr size_t MAX_SETTINGS_BYTES = 4096;

// A language's code as catalogues are named: "fr", "pt_BR".
bool IsLanguageCode(const std::string& code) {
    if (code.empty() || code.size() > 16) return false;
    for (char c : code)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_')) return false;
    return true;
}

}  // namespace

std::string SettingsPath() {
    std::string config = UserConfigFolder();
    return config.empty() ? config : config + "/grimalou/settings";
}

std::string LoadSettings(Settings* settings) {
    *settings = Settings();
    std::string path = SettingsPath();
    struct stat info;
    // No file yet: the defaults, and nothing to say.
    if (path.empty() || stat(path.c_str(), &info) != 0) return std::string();
    std::string text;
    std::string problem = ReadFileBytes(path, MAX_SETTINGS_BYTES, &text);
    if (!problem.empty()) return problem;
    if (text.size() >= MAX_SETTINGS_BYTES) return path + " is too long to be a settings file; it is ignored";
    Settings read;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (line.empty()) continue;
        if (line == "sound on" || line == "sound off")
            read.soundOn = line == "sound on";
        else if (line.compare(0, 9, "language ") == 0 && IsLanguageCode(line.substr(9)))
            read.language = line.substr(9);
        else
            return path + ": line " + std::to_string(number) +
                   " is not a setting (\"sound on\", \"sound off\" or \"language\" and a code such as fr); "
                   "the settings are ignored";
    }
    *settings = read;
    return std::string();
}

std::string SaveSettings(const Settings& settings) {
    std::string path = SettingsPath();
    if (path.empty()) return "there is no folder for the settings: neither XDG_CONFIG_HOME nor HOME is set";
    std::string problem = MakeFolders(path.substr(0, path.rfind('/')));
    if (!problem.empty()) return problem;
    std::string text = settings.soundOn ? "sound on\n" : "sound off\n";
    if (!settings.language.empty()) text += "language " + settings.language + "\n";
    return ReplaceFile(path, text);
}
