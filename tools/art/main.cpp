// art_generator DATA_DIR DOCS_DIR [ICON_DIR]
// Draws every picture of the application from vector shapes and writes the
// five atlases and the two font pictures into DATA_DIR, then the review sheets
// (composed from the atlases just written) into DOCS_DIR, and the icon set
// into ICON_DIR when one is named. The output depends on nothing but this
// code and the DejaVu font files: same bytes on every run.
#include <sys/stat.h>

#include <cstdio>

#include "art.h"

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: %s DATA_DIR DOCS_DIR [ICON_DIR]\n", argv[0]);
        return 2;
    }
    const std::string data = argv[1], docs = argv[2], icons = argc == 4 ? argv[3] : "";
    for (const std::string& dir : {data, docs, icons}) {
        // Create the folder and its parents.
        for (size_t i = 1; i <= dir.size(); ++i)
            if (i == dir.size() || dir[i] == '/') mkdir(dir.substr(0, i).c_str(), 0755);
    }
    // The icons first: cairo numbers its surfaces per process and the SVG
    // names its own, so only what is drawn before it may change that name.
    if (!icons.empty()) art::writeIcons(icons);
    art::writeAtlas(data, "images1a", art::characterSprites(art::girl()));
    art::writeAtlas(data, "images1b", art::characterSprites(art::boy()));
    art::writeAtlas(data, "images2", art::sharedSprites());
    art::writeAtlas(data, "images3", art::titleSprites());
    art::writeAtlas(data, "images4", art::programSprites());
    art::writeFonts(data);
    art::writeReview(data, docs);
    return 0;
}
