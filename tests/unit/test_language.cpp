// The language of the texts: which one the environment asks for, the strict
// reading of compiled catalogues (whole, damaged, cut short), their plural
// rules, and the choice kept in the settings.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/language/catalogue.h"
#include "app/language/language.h"
#include "app/settings.h"
#include "tests/support/app_test_support.h"

namespace {

// The French catalogue the build compiled from po/fr.po.
std::string FrenchCatalogueFolder() {
    const char* build = std::getenv("GRIMALOU_BINARY_DIR");
    return std::string(build ? build : ".") + "/data/locale";
}

std::string FrenchBytes() {
    std::ifstream file(FrenchCatalogueFolder() + "/fr.mo", std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// Shows English again after each test, whatever it chose.
struct LanguageTest : PrivateDataHome {
    void TearDown() override {
        ShowCatalogue("en", Catalogue());
        PrivateDataHome::TearDown();
    }
};

}  // namespace

TEST(Language, TheEnvironmentIsReadAsGettextReadsIt) {
    const std::vector<std::string> available = {"de", "en", "fr", "pt_BR"};
    struct Case {
        const char *language, *lcAll, *lcMessages, *lang, *chosen;
    } cases[] = {
        {nullptr, nullptr, nullptr, "fr_FR.UTF-8", "fr"},
        {nullptr, nullptr, nullptr, "fr_CA.UTF-8@euro", "fr"},
        {nullptr, nullptr, nullptr, "pt_BR.UTF-8", "pt_BR"},
        {nullptr, nullptr, nullptr, "pt_PT.UTF-8", "en"},
        {nullptr, "de_DE.UTF-8", "fr_FR.UTF-8", "fr_FR.UTF-8", "de"},
        {nullptr, "", "de_DE.UTF-8", "fr_FR.UTF-8", "de"},
        {"it:fr:de", nullptr, nullptr, "de_DE.UTF-8", "fr"},
        {"::it", nullptr, nullptr, "de_DE.UTF-8", "de"},
        // In the C locale gettext leaves LANGUAGE aside: plain English.
        {"fr", "C", nullptr, "de_DE.UTF-8", "en"},
        {"fr", nullptr, nullptr, "C.UTF-8", "en"},
        {"fr", nullptr, nullptr, nullptr, "en"},
        {nullptr, nullptr, nullptr, "ja_JP.UTF-8", "en"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseLanguage(EnvironmentLanguages(c.language, c.lcAll, c.lcMessages, c.lang), available), c.chosen)
            << (c.language ? c.language : "-") << " " << (c.lcAll ? c.lcAll : "-") << " "
            << (c.lcMessages ? c.lcMessages : "-") << " " << (c.lang ? c.lang : "-");
    // The browser's list: "fr-CA" is fr_CA, else fr.
    EXPECT_EQ(ChooseLanguage({"es-ES", "fr-CA", "en"}, available), "fr");
    EXPECT_EQ(NextLanguage("en", available), "fr");
    EXPECT_EQ(NextLanguage("pt_BR", available), "de");
    EXPECT_EQ(NextLanguage("xx", available), "de");
}

TEST(Language, PluralRulesPickTheirForms) {
    PluralRule rule;
    ASSERT_EQ(rule.Parse(" (n > 1)"), "");
    EXPECT_EQ(rule.FormOf(0), 0u);
    EXPECT_EQ(rule.FormOf(1), 0u);
    EXPECT_EQ(rule.FormOf(2), 1u);
    // Three forms, as Polish has them.
    ASSERT_EQ(rule.Parse("(n==1 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2)"), "");
    unsigned long expected[][2] = {{1, 0}, {2, 1}, {4, 1}, {5, 2}, {12, 2}, {22, 1}, {25, 2}, {112, 2}};
    for (auto& e : expected) EXPECT_EQ(rule.FormOf(e[0]), e[1]) << e[0];
    ASSERT_EQ(rule.Parse("!(n != 1) ? 0 : n / 0 + 1"), "");
    EXPECT_EQ(rule.FormOf(1), 0u);
    EXPECT_EQ(rule.FormOf(7), 1u);
    for (const char* bad : {"", "n >", "(n > 1", "n ? 1", "n > 1)", "m > 1", "99999999999", "n === 1"})
        EXPECT_NE(rule.Parse(bad), "") << bad;
    std::string deep(200, '(');
    EXPECT_NE(rule.Parse(deep + "n" + std::string(200, ')')), "");
    std::string chain = "n";
    while (chain.size() < 100000) chain += "+n";
    EXPECT_NE(rule.Parse(chain), "");
    // A rule that failed reads as English's.
    EXPECT_EQ(rule.FormOf(1), 0u);
    EXPECT_EQ(rule.FormOf(2), 1u);
}

TEST_F(LanguageTest, TheFrenchCatalogueTranslatesWithItsPlurals) {
    ASSERT_EQ(UseLanguage("fr", FrenchCatalogueFolder()), "");
    EXPECT_EQ(CurrentLanguage(), "fr");
    EXPECT_STREQ(Translate("Library"), "Bibliothèque");
    EXPECT_STREQ(Translate("a text nobody translated"), "a text nobody translated");
    EXPECT_STREQ(TranslatePlural("practised %d day of 7", "practised %d days of 7", 1), "fait %d jour sur 7");
    EXPECT_STREQ(TranslatePlural("practised %d day of 7", "practised %d days of 7", 0), "fait %d jour sur 7");
    EXPECT_STREQ(TranslatePlural("practised %d day of 7", "practised %d days of 7", 3), "fait %d jours sur 7");
    int before = LanguageGeneration();
    ASSERT_EQ(UseLanguage("en", FrenchCatalogueFolder()), "");
    EXPECT_NE(LanguageGeneration(), before);
    EXPECT_STREQ(Translate("Library"), "Library");
    EXPECT_STREQ(TranslatePlural("practised %d day of 7", "practised %d days of 7", 0), "practised %d days of 7");
}

TEST(Language, ADamagedCatalogueIsRefusedWhole) {
    std::string whole = FrenchBytes();
    ASSERT_GT(whole.size(), 1000u) << "the build's French catalogue is missing";
    Catalogue catalogue;
    ASSERT_EQ(ReadCatalogue(whole, &catalogue), "");
    EXPECT_GT(catalogue.messages.size(), 100u);
    // Cut anywhere: refused, and nothing of it kept.
    for (size_t size = 0; size < whole.size(); size += size + 64 < whole.size() ? 13 : 1) {
        EXPECT_NE(ReadCatalogue(whole.substr(0, size), &catalogue), "") << size;
        EXPECT_TRUE(catalogue.messages.empty()) << size;
    }
    std::string spoiled = whole;
    spoiled[0] = 'X';
    EXPECT_EQ(ReadCatalogue(spoiled, &catalogue), "it is not a message catalogue (.mo)");
    spoiled = whole;
    spoiled[11] = '\x7f';  // the count of strings: far more than there are
    EXPECT_NE(ReadCatalogue(spoiled, &catalogue), "");
    // A string's offset that points past the end.
    spoiled = whole;
    uint32_t originals;
    std::memcpy(&originals, &whole[12], 4);
    spoiled[originals + 4 + 3] = '\x7f';
    EXPECT_NE(ReadCatalogue(spoiled, &catalogue), "");
    EXPECT_TRUE(catalogue.messages.empty());
}

TEST_F(LanguageTest, TheChosenLanguageIsKeptInTheSettings) {
    Settings settings;
    settings.soundOn = false;
    settings.language = "pt_BR";
    ASSERT_EQ(SaveSettings(settings), "");
    Settings read;
    ASSERT_EQ(LoadSettings(&read), "");
    EXPECT_FALSE(read.soundOn);
    EXPECT_EQ(read.language, "pt_BR");
    for (const char* bad : {"language \n", "language ../../etc\n", "language fr fr\n"}) {
        std::ofstream(SettingsPath()) << "sound off\n" << bad;
        std::string problem = LoadSettings(&read);
        EXPECT_NE(problem.find(SettingsPath() + ": line 2"), std::string::npos) << bad;
        EXPECT_EQ(read.language, "") << bad;
        EXPECT_TRUE(read.soundOn) << bad;
    }
}
