// Cutting the face screen's pictures from their atlases. The four atlas pairs
// of the art set hold the face and the title; the program's own later
// pictures (its extra buttons, the jaw's poses and the pictures drawn in
// place of some of the set's) live in a pair of their own, so that any set
// of the four pairs in the index format runs.
#include <cstdio>

#include "app/face/face_model.h"
#include "app/face/pose_pictures.h"
#include "app/face/tongue_handles.h"
#include "app/ui/atlas.h"
#include "canvas/image.h"

namespace {

// The mouth's anchors in rows 3 and 4 lie this many texels below the
// picture's top edge; rows 1 and 2 hang from their bottom edge.
constexpr float LOW_MOUTH_ANCHOR = 9.9f;

const char* const EYE_PICTURES[3] = {"path5081.png", "g4534.png", "g4528.png"};

String Key(const char* format, int a, int b = 0) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b);
    return String(text);
}

void Cut(const Atlas& atlas, const Array<c_Image2*>& frames, int index, const String& key, float hx, float hy) {
    c_Image2* image = CutSprite(atlas, key);
    image->SetPivot(hx, hy);
    frames[index] = image;
}

c_Image2* CutWithHandle(const Atlas& atlas, const char* key, float hx, float hy) {
    c_Image2* image = CutSprite(atlas, String(key));
    image->SetPivot(hx, hy);
    return image;
}

void DiscardAll(const Array<c_Image2*>& images) {
    for (int i = 0; i < images.Length(); ++i)
        if (images[i]) images[i]->Discard();
}

}  // namespace

c_FacePictures* c_FacePictures::Load(const std::vector<const char*>& buttonPictures) {
    Atlas shared = LoadAtlas("images2");
    brow = Array<c_Image2*>(1);
    cheek = Array<c_Image2*>(1);
    mouth = Array<c_Image2*>(40);
    mouthB = Array<c_Image2*>(28);
    mouthC = Array<c_Image2*>(28);
    lips = Array<c_Image2*>(14);
    lipsB = Array<c_Image2*>(14);
    lipsC = Array<c_Image2*>(14);
    teeth = Array<c_Image2*>(15);
    tongue = Array<c_Image2*>(41);
    childPictures = Array<c_Image2*>(2 * CHILD_PICTURES);

    // The tongue: eight shapes of five steps.
    for (int n = 1; n <= 8; ++n)
        for (int k = 1; k <= 5; ++k) {
            int i = 5 * (n - 1) + (k - 1);
            Cut(shared, tongue, i, Key("langue%d_0%d.png", n, k), static_cast<float>(kTongueHandleX[i]),
                static_cast<float>(kTongueHandleY[i]));
        }
    Cut(shared, tongue, 40, String("langue0.png"), 0.5f, 0);

    Cut(shared, cheek, 0, String("joues2.png"), 0, 1);

    // The smiling mouth: four rows of seven steps in three renderings (the
    // lips, the open mouth with the tongue up, with the tongue down).
    for (int n = 1; n <= 4; ++n)
        for (int k = 1; k <= 7; ++k) {
            int i = 7 * (n - 1) + (k - 1);
            c_Image2* front = CutSprite(shared, Key("sourire%d_0%d.png", n, k));
            float hy = n <= 2 ? 1 : LOW_MOUTH_ANCHOR / static_cast<float>(front->Height());
            front->SetPivot(0, hy);
            mouth[i] = front;
            Cut(shared, mouthB, i, Key("sourire%d_0%db.png", n, k), 0, hy);
            Cut(shared, mouthC, i, Key("sourire%d_0%dc.png", n, k), 0, hy);
        }
    for (int k = 1; k <= 7; ++k) Cut(shared, mouth, 27 + k, Key("sourire2_0%dd.png", k), 0, 1);
    Cut(shared, mouth, 35, String("culdepoule.png"), 0, 1);
    Cut(shared, mouth, 36, String("joues1.png"), 0, 0.6f);
    Cut(shared, mouth, 37, String("joues3.png"), 0, 0.6f);
    Cut(shared, mouth, 38, String("joues4.png"), 0, 0.25f);
    Cut(shared, mouth, 39, String("joues5.png"), 0, 0.54f);

    // Lips: two rows of seven steps, back, middle and front layers.
    const int lipsBack[14] = {4882, 4890, 4898, 4906, 4914, 4922, 4930, 5245, 5233, 5221, 5209, 5196, 5184, 5171};
    for (int i = 0; i < 14; ++i) {
        int number = (i < 7 ? 4930 : 5930) + i % 7;
        Cut(shared, lips, i, Key("path%da.png", number), 0, 0.5f);
        Cut(shared, lipsB, i, Key("path%d.png", lipsBack[i]), 0, 0.5f);
        Cut(shared, lipsC, i, Key("path%db.png", number), 0, 0.5f);
        Cut(shared, teeth, i, Key("dents%d_0%d.png", i / 7 + 1, i % 7 + 1), 0, 0.5f);
    }
    Cut(shared, teeth, 14, String("enrond.png"), 0, 0.5f);
    Cut(shared, brow, 0, String("path5082.png"), 0.5f, 0.5f);
    pinkSquare = CutWithHandle(shared, "carre_rose.png", 0, 0);
    faceMark1 = CutWithHandle(shared, "boutdevisage1.png", 0, 1);
    faceMark2 = CutWithHandle(shared, "boutdevisage2.png", 0, 1);
    recordImage = CutWithHandle(shared, "rec.png", 1, 1);

    // The jaw's poses, from the program's own atlas.
    Atlas own = LoadAtlas("images4");
    openBack = Array<c_Image2*>(JAW_OPEN_LAST);
    openTeeth = Array<c_Image2*>(JAW_OPEN_LAST);
    openTongue = Array<c_Image2*>(JAW_OPEN_LAST * OPEN_TONGUE_PLACES);
    pressedLips = Array<c_Image2*>(-JAW_PRESSED_LAST);
    for (int step = 1; step <= JAW_OPEN_LAST; ++step) {
        Cut(own, openBack, step - 1, Key(kOpenMouthBack, step), static_cast<float>(kPoseHandleX), static_cast<float>(kPoseHandleY));
        Cut(own, openTeeth, step - 1, Key(kOpenMouthTeeth, step), static_cast<float>(kPoseHandleX), static_cast<float>(kPoseHandleY));
        for (int place = 0; place < OPEN_TONGUE_PLACES; ++place)
            Cut(own, openTongue, (step - 1) * OPEN_TONGUE_PLACES + place, Key(kOpenMouthTongue, step, place),
                static_cast<float>(kPoseHandleX), static_cast<float>(kPoseHandleY));
    }
    for (int step = 1; step <= -JAW_PRESSED_LAST; ++step)
        Cut(own, pressedLips, step - 1, Key(kPressedLips, step), static_cast<float>(kPoseHandleX), static_cast<float>(kPoseHandleY));

    // The smiling mouth's, the tongue's and the cheek's later pictures; a
    // handle given as how far below the picture's top it lies.
    auto fromTop = [](c_Image2* image, double top) {
        return static_cast<float>(top) / static_cast<float>(image->Height());
    };
    cornerMouth = Array<c_Image2*>(ROW);
    for (int k = 0; k < ROW; ++k) {
        c_Image2* half = CutSprite(own, Key(kCornerMouth, k + 1));
        half->SetPivot(0, fromTop(half, kCornerTop));
        cornerMouth[k] = half;
    }
    cornerTongue = Array<c_Image2*>(TONGUE_LAST_ROW / TONGUE_ROW + 1);
    for (int n = 0; n < cornerTongue.Length(); ++n) {
        c_Image2* corner = CutSprite(own, Key(kCornerTongue, n + 1));
        corner->SetPivot(0, fromTop(corner, kCornerTop));
        cornerTongue[n] = corner;
    }
    heldTongue = Array<c_Image2*>(TONGUE_DEPTH_LAST * TONGUE_ROW);
    for (int i = 0; i < heldTongue.Length(); ++i) {
        c_Image2* held = CutSprite(own, Key(kHeldTongue, i / TONGUE_ROW, i % TONGUE_ROW));
        held->SetPivot(0.5f, fromTop(held, kHeldTop));
        heldTongue[i] = held;
    }
    puffedCheek = CutWithHandle(own, kPuffedCheek, 0, 1);
    smileMiddle =
        CutWithHandle(own, kSmileMiddle, static_cast<float>(kMiddleHandleX), static_cast<float>(kMiddleHandleY));

    // The buttons: from the art set's atlas where it has them, else from the
    // program's own.
    buttons = Array<c_Image2*>(static_cast<int>(buttonPictures.size()));
    AtlasRect unused;
    for (size_t i = 0; i < buttonPictures.size(); ++i) {
        const char* name = buttonPictures[i];
        if (!name) continue;
        bool inShared = FindAtlasRect(shared.index, String(name), &unused);
        buttons[static_cast<int>(i)] = CutWithHandle(inShared ? shared : own, name, 0, 0);
    }
    CloseAtlas(own);
    CloseAtlas(shared);
    return this;
}

c_Image2* c_FacePictures::ChildPicture(Child child, int index) {
    int first = (child == Child::Girl ? 0 : 1) * CHILD_PICTURES;
    if (!childPictures[first]) {
        Atlas atlas = LoadAtlas(child == Child::Girl ? "images1a" : "images1b");
        childPictures[first] = CutSprite(atlas, String("visage1.png"));
        for (int i = 0; i < 3; ++i) Cut(atlas, childPictures, first + 1 + i, String(EYE_PICTURES[i]), 0.5f, 0.5f);
        CloseAtlas(atlas);
    }
    return childPictures[first + index];
}

void c_FacePictures::Discard() {
    for (const gc_array<c_Image2*>* images :
         {&brow, &cheek, &mouth, &mouthB, &mouthC, &lips, &lipsB, &lipsC, &teeth, &tongue, &openBack, &openTeeth,
          &openTongue, &pressedLips, &cornerMouth, &cornerTongue, &heldTongue, &childPictures, &buttons})
        DiscardAll(*images);
    for (c_Image2* image :
         {pinkSquare.get(), puffedCheek.get(), smileMiddle.get(), faceMark1.get(), faceMark2.get(), recordImage.get()})
        if (image) image->Discard();
}
