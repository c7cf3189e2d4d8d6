// The application's languages: the title's button that goes through them and
// is remembered, a catalogue that cannot be read, and every label of the
// screens' boxes within its box in every language, measured with the
// program's own font.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/language/catalogue.h"
#include "app/language/language.h"
#include "tests/support/app_test_support.h"

namespace {

namespace fs = std::filesystem;

// The test applications' data folder with the build's catalogues and, for
// measuring, the program's real font pictures in place of the test's.
struct AppLanguageTest : PrivateDataHome {
    void SetUp() override {
        PrivateDataHome::SetUp();
        const char* build = std::getenv("GRIMALOU_BINARY_DIR");
        const char* source = std::getenv("GRIMALOU_SOURCE_DIR");
        fs::path locale = fs::path(AppDataFolder()) / "locale";
        fs::create_directories(locale);
        fs::copy(fs::path(build ? build : ".") / "data" / "locale", locale,
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        for (const char* font : {"vexa2_font.png", "vexa2_font_more.png"})
            fs::copy_file(fs::path(source ? source : ".") / "data" / font, fs::path(AppDataFolder()) / font,
                          fs::copy_options::overwrite_existing);
    }
    void TearDown() override {
        ShowCatalogue("en", Catalogue());
        PrivateDataHome::TearDown();
    }
    std::string SettingsText() {
        std::ifstream file(SettingsPath());
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
};

void TapBox(c_MyApp* app, const ControlBox& box) { Finger(app).Tap(box.x + box.w / 2, box.y + box.h / 2); }

}  // namespace

TEST_F(AppLanguageTest, TheTitlesButtonGoesThroughTheLanguagesAndIsRemembered) {
    c_MyApp* app = NewTitleApp();
    std::vector<std::string> languages = AvailableLanguages(LocaleFolder());
    ASSERT_GE(languages.size(), 2u) << "no catalogue was found in " << LocaleFolder();
    ASSERT_EQ(CurrentLanguage(), "en");
    const ControlBox& button = TitleLayoutFor(Arrangement::Landscape).language;
    for (size_t i = 1; i <= languages.size(); ++i) {
        TapBox(app, button);
        std::string expected = languages[i % languages.size()];
        EXPECT_EQ(CurrentLanguage(), expected);
        EXPECT_NE(SettingsText().find("language " + expected + "\n"), std::string::npos) << SettingsText();
        EXPECT_EQ(app->screen, ScreenKind::Title);
    }
    // Back on English after a round; a new start keeps the choice made last.
    TapBox(app, button);
    EXPECT_EQ(CurrentLanguage(), "fr");
    ShowCatalogue("en", Catalogue());
    NewTitleApp();
    EXPECT_EQ(CurrentLanguage(), "fr");
    EXPECT_STREQ(_("Library"), "Bibliothèque");
    // The texts the canvas keeps are made again in the new language.
    EXPECT_EQ(CachedText(_("F1: help")).ToUtf8(), "F1 : aide");
    UseLanguage("en", LocaleFolder());
    EXPECT_EQ(CachedText(_("F1: help")).ToUtf8(), "F1: help");
}

TEST_F(AppLanguageTest, AnUnreadableCatalogueIsSaidOnceAndTheTextsStayEnglish) {
    fs::path french = fs::path(LocaleFolder()) / "fr.mo";
    fs::path kept = fs::path(folder) / "fr.mo";
    fs::copy_file(french, kept);
    fs::resize_file(french, fs::file_size(french) / 3);
    fs::create_directories(fs::path(SettingsPath()).parent_path());
    std::ofstream(SettingsPath()) << "language fr\n";
    testing::internal::CaptureStderr();
    c_MyApp* app = NewTitleApp();
    std::string said = testing::internal::GetCapturedStderr();
    fs::copy_file(kept, french, fs::copy_options::overwrite_existing);
    EXPECT_NE(said.find(french.string()), std::string::npos) << said;
    EXPECT_EQ(CurrentLanguage(), "en");
    EXPECT_TRUE(app->messageStays);
    EXPECT_EQ(app->message, "The translation could not be read; the texts are in English.");
    EXPECT_NE(app->messageReason.find("fr.mo"), std::string::npos);
    // The user's choice is kept for when the catalogue is whole again.
    EXPECT_EQ(SettingsText(), "language fr\n");
}

// Each label at the height it is drawn, less the margin DrawBoxLabel keeps
// each side: a translation too long for its box fails here, not on a screen.
TEST_F(AppLanguageTest, EveryLabelFitsItsBoxInEveryLanguage) {
    c_MyApp* app = NewTitleApp();
    const c_Canvas* canvas = app->canvas;
    struct Labelled {
        const char* where;
        ControlBox box;
        float height;
    };
    std::vector<Labelled> boxes;
    for (Arrangement a : {Arrangement::Landscape, Arrangement::Portrait}) {
        const char* where = a == Arrangement::Landscape ? "landscape" : "upright";
        const TitleLayout& title = TitleLayoutFor(a);
        float titleText = TextHeight(a, CONTROL_TEXT_HEIGHT);
        for (const ControlBox& box : {title.library, title.language}) boxes.push_back({where, box, titleText});
        for (bool on : {true, false})
            for (bool keys : {true, false}) {
                ControlBox sound = title.sound;
                sound.label = SoundLabel(on, keys);
                boxes.push_back({where, sound, titleText});
            }
        const LibraryLayout& library = LibraryLayoutFor(a);
        for (const ControlBox& box : library.controls) boxes.push_back({where, box, library.textHeight});
        for (int k = 0; k < CARD_CONTROLS; ++k)
            boxes.push_back({where, CardControlBox(LibraryCardBox(0, a), static_cast<CardControl>(k)),
                             TextHeight(a, 18)});
        const EditLayout& editor = EditLayoutFor(a);
        for (const ControlBox& box : editor.boxes) boxes.push_back({where, box, editor.textHeight});
    }
    for (Arrangement a : {Arrangement::Landscape, Arrangement::Portrait})
        for (const ControlBox& box : KeepLayoutFor(a).boxes)
            boxes.push_back({"keep", box, KeepLayoutFor(a).controlTextHeight});
    for (Arrangement a : {Arrangement::Landscape, Arrangement::Portrait})
        for (const ControlBox& box : HomeworkLayoutFor(a).boxes)
            boxes.push_back({"homework", box, HomeworkLayoutFor(a).controlTextHeight});

    for (const std::string& language : AvailableLanguages(LocaleFolder())) {
        ASSERT_EQ(UseLanguage(language, LocaleFolder()), "");
        for (const Labelled& l : boxes) {
            const char* label = _(l.box.label);
            EXPECT_LE(LabelWidth(canvas, label, l.height), l.box.w - 2 * CONTROL_MARGIN)
                << language << ", " << l.where << ": \"" << label << "\" in a box " << l.box.w << " wide";
        }
    }
}

// The help keeps its texts between frames: a change of language makes them
// anew (the French help draws another number of letters), and back.
TEST_F(AppLanguageTest, TheHelpIsMadeAgainInTheNewLanguage) {
    c_MyApp* app = NewFaceApp();
    app->helpShown = true;
    size_t english = DrawFrame(app).size();
    ASSERT_EQ(UseLanguage("fr", LocaleFolder()), "");
    size_t french = DrawFrame(app).size();
    EXPECT_NE(french, english);
    ASSERT_EQ(UseLanguage("en", LocaleFolder()), "");
    EXPECT_EQ(DrawFrame(app).size(), english);
}
