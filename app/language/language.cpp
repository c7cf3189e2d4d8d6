#include "app/language/language.h"

#include <algorithm>

#include "app/language/catalogue.h"
#include "framework/app.h"
#include "host/files.h"
#include "host/game.h"
#include "host/paths.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

namespace {

// A catalogue is a few tens of kilobytes; the reader refuses more than this.
constexpr size_t MAX_READ_BYTES = (4 << 20) + 1;

// "fr_CA.UTF-8@euro" and "fr-CA" are both "fr_CA".
std::string Bare(std::string name) {
    name = name.substr(0, name.find_first_of(".@"));
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

}  // namespace

std::string UseLanguage(const std::string& code, const std::string& folder) {
    Catalogue catalogue;
    std::string problem;
    if (code != "en") {
        std::string path = folder + "/" + code + ".mo", bytes;
        problem = ReadFileBytes(path, MAX_READ_BYTES, &bytes);
        if (problem.empty()) problem = ReadCatalogue(bytes, &catalogue);
        if (!problem.empty()) problem = "the catalogue " + path + " cannot be used (" + problem + "); the texts stay in English";
    }
    ShowCatalogue(problem.empty() ? code : "en", std::move(catalogue));
#ifdef __EMSCRIPTEN__
    // The page's own words follow.
    EM_ASM({ if (Module.onLanguage) Module.onLanguage(UTF8ToString($0)); }, CurrentLanguage().c_str());
#endif
    return problem;
}

std::string LocaleFolder() {
    String data = theHost ? theHost->ResolvePath(String("ravlen://data/locale"))
                          : DirectoryOf(ExecutablePath()) + String("/data/locale");
    return PathToUtf8(data);
}

std::vector<std::string> AvailableLanguages(const std::string& folder) {
    std::vector<std::string> codes = {"en"};
    std::vector<FolderEntry> files;
    // A folder that cannot be listed has no catalogue to offer: English alone.
    ListFolder(folder, ".mo", &files);
    for (const FolderEntry& file : files) codes.push_back(file.name.substr(0, file.name.size() - 3));
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    return codes;
}

std::string NextLanguage(const std::string& code, const std::vector<std::string>& available) {
    auto at = std::find(available.begin(), available.end(), code);
    if (at == available.end() || ++at == available.end()) return available.empty() ? "en" : available.front();
    return *at;
}

std::vector<std::string> EnvironmentLanguages(const char* language, const char* lcAll, const char* lcMessages,
                                              const char* lang) {
    auto set = [](const char* value) { return value && *value; };
    std::string locale = set(lcAll) ? lcAll : set(lcMessages) ? lcMessages : set(lang) ? lang : "";
    if (locale.empty() || locale == "C" || locale == "POSIX" || locale.compare(0, 2, "C.") == 0) return {};
    std::vector<std::string> wanted;
    for (std::string list = set(language) ? language : ""; !list.empty();) {
        size_t colon = list.find(':');
        if (colon != 0) wanted.push_back(list.substr(0, colon));
        list = colon == std::string::npos ? "" : list.substr(colon + 1);
    }
    wanted.push_back(locale);
    return wanted;
}

std::vector<std::string> UserLanguages() {
#ifdef __EMSCRIPTEN__
    // The browser's preferred languages, most wanted first, joined by ":"
    // as LANGUAGE joins them.
    char joined[1024];
    EM_ASM({
        var list = navigator.languages && navigator.languages.length ? navigator.languages : [String(navigator.language)];
        stringToUTF8(Array.prototype.join.call(list, ':'), $0, $1);
    }, joined, static_cast<int>(sizeof joined));
    std::vector<std::string> wanted = EnvironmentLanguages(joined, "browser", nullptr, nullptr);
    wanted.pop_back();
    return wanted;
#else
    return EnvironmentLanguages(std::getenv("LANGUAGE"), std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                                std::getenv("LANG"));
#endif
}

std::string ChooseLanguage(const std::vector<std::string>& wanted, const std::vector<std::string>& available) {
    auto has = [&](const std::string& code) {
        return !code.empty() && std::find(available.begin(), available.end(), code) != available.end();
    };
    for (const std::string& name : wanted) {
        std::string bare = Bare(name), language = bare.substr(0, bare.find('_'));
        if (has(bare)) return bare;
        if (has(language)) return language;
    }
    return "en";
}

std::string StartLanguage(const std::string& remembered) {
    std::vector<std::string> wanted = UserLanguages();
    if (!remembered.empty()) wanted.insert(wanted.begin(), remembered);
    std::string folder = LocaleFolder();
    return UseLanguage(ChooseLanguage(wanted, AvailableLanguages(folder)), folder);
}
