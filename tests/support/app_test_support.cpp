#include "tests/support/app_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>

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

const std::string& AppDataFolder() {
    static std::string folder;
    if (folder.empty()) {
        folder = MakeDataFolder();
        const char* source = std::getenv("GRIMALOU_SOURCE_DIR");
        std::string from = std::string(source ? source : ".") + "/data/";
        for (const char* name : {"images1a", "images1b", "images2", "images3", "images4"})
            for (const char* ending : {".png", ".txt"})
                std::filesystem::copy_file(from + name + ending, folder + "/" + name + ending,
                                           std::filesystem::copy_options::overwrite_existing);
    }
    return folder;
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
    app->EnterFaceScreen(girl);
    return app;
}

void Finger::Tick(float x, float y, bool touching) {
    x_ = x;
    y_ = y;
    app_->pointer[0] = x;
    app_->pointer[1] = y;
    bool hit = touching && !down_;
    down_ = touching;
    if (app_->faceScreen)
        app_->FaceTick(hit, touching);
    else
        app_->TitleTick(hit);
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
    float at = part->x + app->faceX, w = static_cast<float>(picture->Width());
    float left = mirrored ? at + picture->PivotX() * w - w : at - picture->PivotX() * w;
    return left + w / 2;
}
float PartY(c_MyApp* app, c_Partie* part, c_Image2* picture) {
    float h = static_cast<float>(picture->Height());
    return part->y + app->faceY - picture->PivotY() * h + h / 2;
}
float ButtonX(c_Bouton* b) { return (b->x0 + b->x1) / 2; }
float ButtonY(c_Bouton* b) { return (b->y0 + b->y1) / 2; }

std::vector<c_Image2*> AppImages(c_MyApp* app) {
    std::vector<c_Image2*> images = {app->faceImage,  app->pinkSquare, app->faceMark1,
                                     app->faceMark2,  app->recordImage, app->titleImage};
    for (c_Partie* p : {app->eyeRight.get(), app->browRight.get(), app->cheekRight.get(), app->mouthRight.get(),
                        app->lipsRight.get(), app->teethRight.get(), app->tongue.get()}) {
        if (!p) continue;
        for (const Array<c_Image2*>* frames : {&static_cast<const Array<c_Image2*>&>(p->frames),
                                               &static_cast<const Array<c_Image2*>&>(p->framesB),
                                               &static_cast<const Array<c_Image2*>&>(p->framesC)})
            for (int i = 0; i < frames->Length(); ++i) images.push_back((*frames)[i]);
    }
    std::vector<c_Bouton*> buttons = {app->girlButton, app->boyButton};
    for (const FaceButton& row : FACE_BUTTONS) buttons.push_back(app->*row.button);
    for (c_Bouton* b : buttons)
        if (b)
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
