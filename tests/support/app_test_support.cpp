#include "tests/support/app_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "canvas/draw_list.h"
#include "canvas/renderer.h"
#include "framework/app.h"
#include "framework/input_device.h"
#include "host/game.h"
#include "tests/support/canvas_test_support.h"
#include "tests/support/gl_recorder.h"

void StartHostOnce() {
    static bool started = false;
    if (started) return;
    started = true;
    TestGame();
    InitFrameworkGlobals();
    inputDevice = new c_InputDevice();
}

// The program runs on any set of the art set's four atlas pairs that holds
// the sprites the first set held: the test applications run on indexes cut
// down to exactly those (the pictures as they are), and the program's own
// pair as it is.
std::string FaceText(const Face& face) {
    std::string text = WriteExercise(Exercise{Child::Girl, face, {}, 0, Pace::Normal, "face", "", 1, 0});
    size_t start = text.find("# The face"), end = text.find("\nentries\n");
    return text.substr(start, end - start);
}

const std::string& AppDataFolder() {
    static std::string folder;
    if (folder.empty()) {
        folder = MakeDataFolder();
        const char* source = std::getenv("GRIMALOU_SOURCE_DIR");
        std::string from = std::string(source ? source : ".") + "/";
        std::map<std::string, std::set<std::string>> artSet;
        std::ifstream list(from + "tests/unit/pictures/art-set-sprites.txt");
        for (std::string line; std::getline(list, line);)
            if (!line.empty() && line[0] != '#') artSet[line.substr(0, line.find(' '))].insert(line.substr(line.find(' ') + 1));
        EXPECT_EQ(artSet.size(), 4u) << "the list of the art set's sprites cannot be read";
        for (const char* name : {"images1a", "images1b", "images2", "images3", "images4"}) {
            std::filesystem::copy_file(from + "data/" + name + ".png", folder + "/" + name + ".png",
                                       std::filesystem::copy_options::overwrite_existing);
            std::ifstream in(from + "data/" + name + ".txt");
            std::ofstream out(folder + "/" + name + ".txt");
            bool own = artSet.count(name) == 0;
            for (std::string line; std::getline(in, line);)
                if (own || artSet[name].count(line.substr(0, line.find(':')))) out << line << "\n";
        }
    }
    return folder;
}

void PrivateDataHome::SetUp() {
    char pattern[] = "/tmp/grimalou-data-XXXXXX";
    folder = mkdtemp(pattern);
    setenv("XDG_DATA_HOME", folder.c_str(), 1);
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
}

void PrivateDataHome::TearDown() {
    unsetenv("XDG_DATA_HOME");
    unsetenv("XDG_CONFIG_HOME");
    std::filesystem::remove_all(folder);
}

c_MyApp* NewTitleApp(int w, int h) {
    InstallGlRecorder();
    InitCanvasGlobals();
    graphicsGeneration = 1;
    TestGame().windowWidth = w;
    TestGame().windowHeight = h;
    StartHostOnce();
    // The data folder's parent is the host's application folder.
    TestGame().appDir = String(std::filesystem::path(AppDataFolder()).parent_path().c_str());
    InitRenderer();
    RefreshDeviceSize();
    theApp = nullptr;
    c_MyApp* app = new c_MyApp();
    app->OnSetup();
    return app;
}

c_MyApp* NewFaceApp(bool girl, int w, int h) {
    c_MyApp* app = NewTitleApp(w, h);
    app->EnterFace(girl ? Child::Girl : Child::Boy);
    return app;
}

void Finger::Tick(float x, float y, bool touching) {
    x_ = x;
    y_ = y;
    AppInput in;
    in.x = x;
    in.y = y;
    in.hit = touching && !down_;
    in.touching = down_ = touching;
    app_->pointer[0] = x;
    app_->pointer[1] = y;
    app_->Step(in);
}

void KeyTick(c_MyApp* app, unsigned keys, bool hit, bool touching) {
    AppInput in;
    in.x = app->pointer[0];
    in.y = app->pointer[1];
    in.hit = hit;
    in.touching = touching;
    for (int slot = 0; slot < SLOT_COUNT; ++slot)
        if (keys & (1u << slot)) {
            in.keys.set(FACE_BUTTONS[slot].key & ~KEY_WITH_CTRL);
            in.ctrl |= (FACE_BUTTONS[slot].key & KEY_WITH_CTRL) != 0;
        }
    for (int k = 0; k < GESTURE_KEY_COUNT; ++k)
        if (keys & GestureKeyBit(k)) in.keys.set(GESTURE_KEYS[k].key);
    app->Step(in);
}

void Finger::MoveTo(float x, float y, int steps) {
    float x0 = x_, y0 = y_;
    for (int i = 1; i <= steps; ++i) Tick(x0 + (x - x0) * i / steps, y0 + (y - y0) * i / steps, true);
}

void Finger::Drag(float x, float y, float dx, float dy) {
    Press(x, y);
    MoveTo(x + dx, y + dy);
    Tick(x + dx, y + dy, true);
    Release();
}

void Finger::Tap(float x, float y) {
    Press(x, y);
    Release();
}

float PartX(c_MyApp* app, c_Partie* part, c_Image2* picture, bool mirrored) {
    float at = part->x + app->Face()->faceX, w = static_cast<float>(picture->Width());
    float left = mirrored ? at + picture->PivotX() * w - w : at - picture->PivotX() * w;
    return left + w / 2;
}
float PartY(c_MyApp* app, c_Partie* part, c_Image2* picture) {
    float h = static_cast<float>(picture->Height());
    return part->y + app->Face()->faceY - picture->PivotY() * h + h / 2;
}
float ButtonX(c_Bouton* b) { return (b->x0 + b->x1) / 2; }
float ButtonY(c_Bouton* b) { return (b->y0 + b->y1) / 2; }

std::vector<c_Image2*> AppImages(c_MyApp* app) {
    std::vector<c_Image2*> images;
    std::vector<c_Bouton*> buttons;
    if (app->title) {
        images.push_back(app->title->titleImage);
        buttons = {app->title->girlButton, app->title->boyButton};
    }
    if (c_FaceModel* face = app->Face()) {
        const c_FacePictures* pictures = face->pictures;
        for (c_Image2* image : {face->faceImage.get(), pictures->pinkSquare.get(), pictures->puffedCheek.get(),
                                pictures->smileMiddle.get(), pictures->faceMark1.get(), pictures->faceMark2.get(), pictures->recordImage.get()})
            images.push_back(image);
        for (c_Partie* p : face->Parts())
            for (const gc_array<c_Image2*>* frames : {&p->frames, &p->framesB, &p->framesC})
                for (int i = 0; i < frames->Length(); ++i) images.push_back((*frames)[i]);
        for (const gc_array<c_Image2*>* own :
             {&pictures->openBack, &pictures->openTeeth, &pictures->openTongue, &pictures->pressedLips,
              &pictures->cornerMouth, &pictures->cornerTongue, &pictures->heldTongue})
            for (int i = 0; i < own->Length(); ++i) images.push_back((*own)[i]);
        for (int slot = 0; slot < SLOT_COUNT; ++slot) buttons.push_back(app->face->Button(slot));
    }
    for (c_Bouton* b : buttons)
        for (int i = 0; i < 2; ++i) images.push_back(b->images[i]);
    std::vector<c_Image2*> present;
    for (c_Image2* image : images)
        if (image) present.push_back(image);
    return present;
}

std::vector<DrawnSprite> DrawFrame(c_MyApp* app) {
    glRecorder().Clear();
    app->OnDraw();
    std::vector<c_Image2*> candidates = AppImages(app);
    std::vector<DrawnSprite> sprites;
    for (const std::vector<unsigned char>& upload : glRecorder().uploads) {
        size_t quads = upload.size() / QUAD_BYTES;
        for (size_t q = 0; q < quads; ++q) {
            float v[4][6];
            for (int k = 0; k < 4; ++k) std::memcpy(v[k], &upload[q * QUAD_BYTES + k * VERTEX_BYTES], 24);
            // Corners 0..3 run from the image's (x0, y0) to (x1, y1); the
            // texture corners say which picture it is, the positions where.
            float s0 = std::min(v[0][2], v[2][2]), s1 = std::max(v[0][2], v[2][2]);
            float t0 = std::min(v[0][3], v[2][3]), t1 = std::max(v[0][3], v[2][3]);
            DrawnSprite sprite{nullptr, 0, 0, v[0][4] < 0};
            for (c_Image2* image : candidates)
                if (std::fabs(image->s0 - s0) < 1e-6f && std::fabs(image->s1 - s1) < 1e-6f &&
                    std::fabs(image->t0 - t0) < 1e-6f && std::fabs(image->t1 - t1) < 1e-6f) {
                    sprite.image = image;
                    // The handle's place: corner 0 less the handle offset
                    // through the matrix, whose y axis corner 3 gives.
                    float ix = v[0][4], iy = v[0][5];
                    float jx = (v[3][0] - v[0][0]) / (image->y1 - image->y0);
                    float jy = (v[3][1] - v[0][1]) / (image->y1 - image->y0);
                    sprite.x = v[0][0] - (ix * image->x0 + jx * image->y0);
                    sprite.y = v[0][1] - (iy * image->x0 + jy * image->y0);
                    break;
                }
            sprites.push_back(sprite);
        }
    }
    return sprites;
}
