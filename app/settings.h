// What the program remembers of its user between sessions, in a small text
// file of the user's configuration folder: one "name value" line a setting.
#pragma once

#include <string>

struct Settings {
    bool soundOn = true;
    // The language chosen on the title ("fr"), or "" to follow the system's.
    std::string language;
};

// $XDG_CONFIG_HOME/grimalou/settings, or "" when there is no such folder.
std::string SettingsPath();

// The settings of the file, or the defaults when there is none. A file that
// cannot be read or holds a line this program does not know leaves the
// defaults and returns a problem naming the file and the line.
std::string LoadSettings(Settings* settings);
// Writes the settings in place of the file, whole or not at all.
std::string SaveSettings(const Settings& settings);
