// Review sheets, composed from the atlas files just written (read back from
// disk through their index, as the application reads them): every sprite on a
// labelled grid, and the title and face screens drawn in the application's
// layering at the extreme rows and steps of each movement.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "art.h"

namespace art {

namespace {

// ---------------------------------------------------------------- atlas files
struct Img {
    cairo_surface_t* atlas = nullptr;
    Rect r{0, 0, 0, 0};
    double hx = 0.5, hy = 0.5;
    double w() const { return r.w; }
    double h() const { return r.h; }
};

struct AtlasFile {
    cairo_surface_t* pic = nullptr;
    std::vector<std::string> lines;
    std::string base;

    void load(const std::string& dir, const std::string& name) {
        base = name;
        pic = cairo_image_surface_create_from_png((dir + "/" + name + ".png").c_str());
        if (cairo_surface_status(pic) != CAIRO_STATUS_SUCCESS) {
            std::fprintf(stderr, "art_generator: cannot read back %s/%s.png\n", dir.c_str(), name.c_str());
            std::exit(1);
        }
        std::ifstream in(dir + "/" + name + ".txt", std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        std::string all = ss.str(), line;
        for (char ch : all) {
            if (ch == '\n') {
                lines.push_back(line);
                line.clear();
            } else {
                line += ch;
            }
        }
        lines.push_back(line);
    }

    // The application's lookup: the first line that begins with the key and has
    // exactly five fields.
    Img get(const std::string& key) const {
        for (const std::string& l : lines) {
            if (l.compare(0, key.size(), key) != 0) continue;
            std::vector<std::string> f;
            std::string cur;
            for (char ch : l) {
                if (ch == ':') {
                    f.push_back(cur);
                    cur.clear();
                } else {
                    cur += ch;
                }
            }
            f.push_back(cur);
            if (f.size() != 5) continue;
            Img im;
            im.atlas = pic;
            im.r = Rect{std::atoi(f[1].c_str()), std::atoi(f[2].c_str()), std::atoi(f[3].c_str()),
                        std::atoi(f[4].c_str())};
            return im;
        }
        std::fprintf(stderr, "art_generator: key %s missing from %s\n", key.c_str(), base.c_str());
        std::exit(1);
    }
};

// Draws an image the way the renderer does: handle at (x, y), then rotation
// (degrees, counter-clockwise on screen) and scale about the handle.
void drawImg(cairo_t* cr, const Img& im, double x, double y, double rot = 0, double sx = 1,
             double sy = 1) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, -rot * M_PI / 180);
    cairo_scale(cr, sx, sy);
    cairo_translate(cr, -im.hx * im.w(), -im.hy * im.h());
    cairo_set_source_surface(cr, im.atlas, -im.r.x, -im.r.y);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
    cairo_rectangle(cr, 0, 0, im.w(), im.h());
    cairo_fill(cr);
    cairo_restore(cr);
}

std::string fmt(const char* f, int a, int b = 0) {
    char buf[64];
    std::snprintf(buf, sizeof buf, f, a, b);
    return buf;
}

// ---------------------------------------------------------------- the cast
// Every sprite of the face screen cut from its atlas, with its handle set.
struct Cast {
    Img face, eyes[3], brow, cheek, pink, mark1, mark2, rec;
    Img mouth[40], mouthB[28], mouthC[28], lipsA[14], lipsB[14], lipsC[14], teeth[15], tongue[41];
    Img menu[2], reset, symmetry[2], tongueBtn[2], random, record[2], play[2];
    // The jaw's poses: per open step its back and teeth, per step and place
    // the tongue, per pressed step the lips.
    Img openBack[3], openTeeth[3], openTongue[12], pressed[2];
    // The program's later pictures: the half parted at its corner and the
    // tongue out of it, the tongue held between the lips,
    // the right cheek puffed, shaded as the face's side, the closed line's
    // middle laid over two halves alike.
    Img cornerMouth[7], cornerTongue[4], heldTongue[10], puffed, middle;

    Cast(const AtlasFile& chr, const AtlasFile& a2, const AtlasFile& a4) {
        auto pose = [&](const std::string& k) {
            Img im = a4.get(k);
            im.hx = kPoseHandleX, im.hy = kPoseHandleY;
            return im;
        };
        for (int step = 1; step <= 3; ++step) {
            openBack[step - 1] = pose(fmt(kOpenMouthBack, step));
            openTeeth[step - 1] = pose(fmt(kOpenMouthTeeth, step));
            for (int place = 0; place < 4; ++place)
                openTongue[4 * (step - 1) + place] = pose(fmt(kOpenMouthTongue, step, place));
        }
        for (int step = 1; step <= 2; ++step) pressed[step - 1] = pose(fmt(kPressedLips, step));
        for (int k = 0; k < 7; ++k) {
            cornerMouth[k] = a4.get(fmt(kCornerMouth, k + 1));
            cornerMouth[k].hx = 0, cornerMouth[k].hy = kCornerTop / cornerMouth[k].h();
        }
        for (int n = 0; n < 4; ++n) {
            cornerTongue[n] = a4.get(fmt(kCornerTongue, n + 1));
            cornerTongue[n].hx = 0, cornerTongue[n].hy = kCornerTop / cornerTongue[n].h();
        }
        for (int i = 0; i < 10; ++i) {
            heldTongue[i] = a4.get(fmt(kHeldTongue, i / 5, i % 5));
            heldTongue[i].hy = kHeldTop / heldTongue[i].h();
        }
        puffed = a4.get(kPuffedCheek);
        puffed.hx = 0, puffed.hy = 1;
        middle = a4.get(kSmileMiddle);
        middle.hx = kMiddleHandleX, middle.hy = kMiddleHandleY;
        face = chr.get("visage1.png");
        const char* eyeKeys[] = {"path5081.png", "g4534.png", "g4528.png"};
        for (int i = 0; i < 3; ++i) eyes[i] = chr.get(eyeKeys[i]);
        for (int n = 1; n <= 4; ++n)
            for (int k = 1; k <= 7; ++k) {
                int i = 7 * (n - 1) + (k - 1);
                mouth[i] = a2.get(fmt("sourire%d_0%d.png", n, k));
                mouthB[i] = a2.get(fmt("sourire%d_0%db.png", n, k));
                mouthC[i] = a2.get(fmt("sourire%d_0%dc.png", n, k));
                double hy = i < 14 ? 1 : 9.9 / mouth[i].h();
                for (Img* im : {&mouth[i], &mouthB[i], &mouthC[i]}) {
                    im->hx = 0;
                    im->hy = hy;
                }
            }
        for (int k = 1; k <= 7; ++k) mouth[27 + k] = a2.get(fmt("sourire2_0%dd.png", k));
        mouth[35] = a2.get("culdepoule.png");
        mouth[36] = a2.get("joues1.png");
        mouth[37] = a2.get("joues3.png");
        mouth[38] = a2.get("joues4.png");
        mouth[39] = a2.get("joues5.png");
        for (int i = 28; i < 36; ++i) mouth[i].hx = 0, mouth[i].hy = 1;
        const double jh[] = {0.6, 0.6, 0.25, 0.54};
        for (int i = 0; i < 4; ++i) mouth[36 + i].hx = 0, mouth[36 + i].hy = jh[i];
        const char* backs[] = {"path4882.png", "path4890.png", "path4898.png", "path4906.png",
                               "path4914.png", "path4922.png", "path4930.png", "path5245.png",
                               "path5233.png", "path5221.png", "path5209.png", "path5196.png",
                               "path5184.png", "path5171.png"};
        for (int i = 0; i < 14; ++i) {
            int base = i < 7 ? 4930 : 5930;
            lipsA[i] = a2.get(fmt("path%da.png", base + i % 7));
            lipsB[i] = a2.get(backs[i]);
            lipsC[i] = a2.get(fmt("path%db.png", base + i % 7));
            teeth[i] = a2.get(fmt("dents%d_0%d.png", i / 7 + 1, i % 7 + 1));
            for (Img* im : {&lipsA[i], &lipsB[i], &lipsC[i], &teeth[i]}) im->hx = 0, im->hy = 0.5;
        }
        teeth[14] = a2.get("enrond.png");
        teeth[14].hx = 0, teeth[14].hy = 0.5;
        for (int i = 0; i < 40; ++i) {
            tongue[i] = a2.get(fmt("langue%d_0%d.png", i / 5 + 1, i % 5 + 1));
            tongue[i].hx = kTongueHandleX[i];
            tongue[i].hy = kTongueHandleY[i];
        }
        tongue[40] = a2.get("langue0.png");
        tongue[40].hx = 0.5, tongue[40].hy = 0;
        brow = a2.get("path5082.png");
        cheek = a2.get("joues2.png");
        cheek.hx = 0, cheek.hy = 1;
        pink = a2.get("carre_rose.png");
        pink.hx = 0, pink.hy = 0;
        mark1 = a2.get("boutdevisage1.png");
        mark2 = a2.get("boutdevisage2.png");
        mark1.hx = mark2.hx = 0, mark1.hy = mark2.hy = 1;
        rec = a2.get("rec.png");
        rec.hx = rec.hy = 1;
        auto btn = [&](const char* k) {
            Img im = a2.get(k);
            im.hx = im.hy = 0;
            return im;
        };
        menu[0] = btn("boutonmenu1.png"), menu[1] = btn("boutonmenu2.png");
        reset = btn("rect4609");
        symmetry[0] = btn("rect4621"), symmetry[1] = btn("rect4622");
        tongueBtn[0] = btn("rect4607"), tongueBtn[1] = btn("rect4608");
        random = btn("boutonrnd");
        record[0] = btn("boutonrec1.png"), record[1] = btn("boutonrec2.png");
        play[0] = btn("boutonplay1.png"), play[1] = btn("boutonplay2.png");
    }
};

// ---------------------------------------------------------------- face screen
struct Part {
    double x, y;
    int frame = 0, variant = 0;
    double angle = 0;
};

struct Scene {
    Part eyeR{490, 358}, eyeL{294, 358}, browR{488, 264}, browL{295, 264}, cheekR{440, 553},
        cheekL{340, 553}, mouthR{392, 506}, mouthL{394, 506}, lipsR{392, 500}, lipsL{395, 500},
        teethR{392, 500}, teethL{394, 500}, tongue{392, 504};
    bool lipsMode = false, teethMode = false, pursed = false, round = false;
    bool tongueOut = false, tongueUnmirrored = true;
    int tongueShift = 0, tongueDepth = 2;
    int jaw = 0, openTongue = 1;
    bool menuOpen = false, symmetryOn = true, recording = false, playing = false;
    Scene() {
        mouthR.frame = mouthL.frame = 7;
        tongue.frame = 10;
    }
};

struct Screen {
    const Cast& c;
    Scene s;
    double faceX = 0, faceY = 0;

    explicit Screen(const Cast& cast) : c(cast) {
        faceX = (1280 - c.face.w()) * 0.5;
        faceY = (800 - c.face.h()) * 0.5;
    }

    // The grab zone's top and bottom of a pair part placed with its picture.
    void zone(const Part& p, const Img& im, double& top, double& bottom) const {
        top = p.y - im.hy * im.h() + (int)faceY - 13;
        bottom = top + im.h() + 20;
    }

    // Moves the tongue sideways one step at a time, as the drag does.
    void shiftTongue(int target) {
        Part& t = s.tongue;
        while (s.tongueShift != target) {
            int d = target > s.tongueShift ? 1 : -1;
            s.tongueShift += d;
            t.variant = std::abs(s.tongueShift);
            const Part& half = s.lipsMode ? (s.tongueShift >= 0 ? s.lipsR : s.lipsL)
                                          : (s.tongueShift >= 0 ? s.mouthR : s.mouthL);
            const Img& pic = s.lipsMode ? c.lipsA[half.frame + half.variant] : c.mouth[half.frame + half.variant];
            int W = (int)pic.w();
            t.x += d * (W / 5);
            s.tongueUnmirrored = s.tongueShift >= 0;
            if (d > 0 && t.x > half.x + W - 30) t.x = half.x + W - 30;
            if (d < 0 && t.x < half.x - W + 30) t.x = half.x - W + 30;
            if (t.variant == 0) t.x = 392;
        }
    }

    void at(cairo_t* cr, const Img& im, const Part& p, double sx = 1, double dx = 0) {
        drawImg(cr, im, p.x + faceX + dx, p.y + faceY, 0, sx);
    }
    void tongueWise(cairo_t* cr, const Img& im) {
        drawImg(cr, im, s.tongue.x + faceX, s.tongue.y + faceY, 0, s.tongueUnmirrored ? 1 : -1);
    }

    void drawMouth(cairo_t* cr) {
        const Part &R = s.mouthR, &L = s.mouthL;
        int cr_ = s.cheekR.variant, cl = s.cheekL.variant;
        if (cr_ == 0 && cl == 0 && s.jaw < 0) {
            at(cr, c.pressed[-s.jaw - 1], R);
            return;
        }
        if (cr_ == 0 && cl == 0 && s.jaw > 0) {
            const int place = s.tongueOut ? s.openTongue : 1;
            const Img& tongue = c.openTongue[4 * (s.jaw - 1) + place];
            at(cr, c.openBack[s.jaw - 1], R);
            if (place != 3) at(cr, tongue, s.tongue);
            at(cr, c.openTeeth[s.jaw - 1], R);
            if (place == 3) at(cr, tongue, s.tongue);
            return;
        }
        if (cr_ == 0 && cl == 0) {
            if (!s.lipsMode && !s.teethMode) {
                const int i = R.frame + R.variant, j = L.frame + L.variant;
                if (s.pursed) {
                    at(cr, c.mouth[35], R);
                    at(cr, c.mouth[35], L, -1);
                    return;
                }
                if (s.tongueOut) {
                    double rt, rb, lt, lb;
                    zone(R, c.mouth[R.frame + R.variant], rt, rb);
                    zone(L, c.mouth[L.frame + L.variant], lt, lb);
                    const Img* open = s.tongue.frame < 10 ? c.mouthB : c.mouthC;
                    if (std::abs(s.tongueShift) < 4) {
                        at(cr, open[i], R);
                        at(cr, open[j], L, -1);
                    }
                    if (s.tongue.frame < 10) {
                        if (R.frame < 21) drawImg(cr, c.pink, R.x + faceX, rb - 11);
                        if (L.frame < 21) drawImg(cr, c.pink, L.x + faceX, lb - 11, 0, -1);
                    } else {
                        drawImg(cr, c.pink, R.x + faceX, rt - c.pink.h() + 17);
                        drawImg(cr, c.pink, L.x + faceX, lt - c.pink.h() + 17, 0, -1);
                    }
                }
                const bool cornerR = s.tongueOut && s.tongueShift == 4, cornerL = s.tongueOut && s.tongueShift == -4;
                at(cr, cornerR ? c.cornerMouth[R.variant] : c.mouth[i], R);
                at(cr, cornerL ? c.cornerMouth[L.variant] : c.mouth[j], L, -1);
                if (i == j && !s.tongueOut) at(cr, c.middle, R);
            } else if (s.lipsMode) {
                const Part &LR = s.lipsR, &LL = s.lipsL;
                int i = LR.frame + LR.variant, j = LL.frame + LL.variant;
                auto pair = [&](const Img* arr) {
                    at(cr, arr[i], LR);
                    at(cr, arr[j], LL, -1);
                };
                pair(c.lipsB);
                if (!s.tongueOut) drawImg(cr, c.tongue[40], LR.x + faceX, LR.y + faceY + 4);
                pair(c.lipsA);
                if (s.tongueDepth < 2) {
                    const Img &rp = c.lipsA[i], &lp = c.lipsA[j];
                    cairo_save(cr);
                    cairo_rectangle(cr, (int)(LL.x + faceX - lp.w() + 5), (int)(LL.y + faceY - lp.hy * lp.h() + 5),
                                    (int)(rp.w() + lp.w() - 10), (int)(lp.h() - 10));
                    cairo_clip(cr);
                    if (s.tongueOut) tongueWise(cr, c.heldTongue[5 * s.tongueDepth + s.tongue.variant]);
                    cairo_restore(cr);
                }
                pair(c.lipsC);
                drawImg(cr, c.mark1, faceX + 490, faceY + 567);
                drawImg(cr, c.mark2, faceX + 132, faceY + 566);
                if (s.tongueOut && s.tongueDepth == 2)
                    tongueWise(cr, c.tongue[s.tongue.frame + s.tongue.variant + 20]);
            } else {
                const Part &TR = s.teethR, &TL = s.teethL;
                if (s.round) {
                    at(cr, c.teeth[14], TR);
                    at(cr, c.teeth[14], TL, -1);
                } else {
                    at(cr, c.teeth[TR.frame + TR.variant], TR);
                    at(cr, c.teeth[TL.frame + TL.variant], TL, -1);
                }
            }
            return;
        }
        int r = -1, l = -1;
        double dx = 0;
        if (cr_ == 1 && cl == 0) r = 38, l = 39, dx = -4;
        if (cr_ == 0 && cl == 1) r = 39, l = 38, dx = 4;
        if (cr_ == 1 && cl == 1) r = l = 38;
        if (cr_ == 2 && cl == 0) r = 36, l = 37;
        if (cr_ == 0 && cl == 2) r = 37, l = 36;
        if (cr_ == 2 && cl == 2) r = l = 36;
        if (r >= 0 && cr_ == 1) at(cr, c.puffed, s.cheekR);
        if (r >= 0 && cl == 1) at(cr, c.cheek, s.cheekL, -1);
        if (r >= 0) {
            at(cr, c.mouth[r], R, 1, dx);
            at(cr, c.mouth[l], L, -1, dx);
        }
    }

    void draw(cairo_t* cr, bool buttons) {
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        drawImg(cr, c.face, 640, 400);
        at(cr, c.eyes[s.eyeR.variant], s.eyeR);
        at(cr, c.eyes[s.eyeL.variant], s.eyeL, -1);
        bool noMode = !s.lipsMode && !s.teethMode && !s.pursed && s.jaw == 0;
        bool cheeksFlat = s.cheekR.variant == 0 && s.cheekL.variant == 0;
        if (s.tongueOut && s.tongue.variant < 4 && noMode && cheeksFlat)
            tongueWise(cr, c.tongue[s.tongue.frame + s.tongue.variant]);
        drawMouth(cr);
        if (s.tongueOut && s.tongue.variant == 4 && noMode && cheeksFlat)
            tongueWise(cr, c.cornerTongue[s.tongue.frame / 5]);
        drawImg(cr, c.brow, s.browR.x + faceX, s.browR.y + faceY, s.browR.angle);
        drawImg(cr, c.brow, s.browL.x + faceX, s.browL.y + faceY, s.browL.angle, -1);
        if (!buttons) return;
        if (s.menuOpen) drawImg(cr, c.reset, 1184, 120);
        drawImg(cr, c.tongueBtn[s.tongueOut], 20, 120);
        if (s.menuOpen) drawImg(cr, c.symmetry[s.symmetryOn], 1184, 220);
        drawImg(cr, c.menu[s.menuOpen], 1190, 20);
        if (s.menuOpen) drawImg(cr, c.play[s.playing], 1190, 420);
        if (s.menuOpen) drawImg(cr, c.record[s.recording], 1190, 320);
        drawImg(cr, c.random, 20, 20);
        if (s.recording) drawImg(cr, c.rec, 1260, 780);
    }
};

// ---------------------------------------------------------------- sheets
struct Tile {
    std::string label;
    cairo_surface_t* pic;
};

void label(cairo_t* cr, const std::string& text, double x, double y, double size) {
    useFont(cr, dejavu("DejaVuSans.ttf"), size);
    cairo_set_source_rgb(cr, 0.2, 0.15, 0.15);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, text.c_str());
}

void writeSheet(const std::string& path, const std::string& title, std::vector<Tile>& tiles,
                int cols) {
    int tw = 0, th = 0;
    for (auto& t : tiles) {
        tw = std::max(tw, cairo_image_surface_get_width(t.pic));
        th = std::max(th, cairo_image_surface_get_height(t.pic));
    }
    const int gap = 10, lab = 22, head = 40;
    int rows = ((int)tiles.size() + cols - 1) / cols;
    int W = cols * (tw + gap) + gap, H = head + rows * (th + lab + gap) + gap;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, W, H);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 0.94, 0.93, 0.9);
    cairo_paint(cr);
    label(cr, title, gap, 28, 20);
    for (size_t i = 0; i < tiles.size(); ++i) {
        int x = gap + (int)(i % cols) * (tw + gap), y = head + (int)(i / cols) * (th + lab + gap);
        cairo_set_source_surface(cr, tiles[i].pic, x, y);
        cairo_paint(cr);
        label(cr, tiles[i].label, x, y + th + 16, 13);
        cairo_surface_destroy(tiles[i].pic);
    }
    cairo_destroy(cr);
    cairo_surface_write_to_png(s, path.c_str());
    cairo_surface_destroy(s);
    tiles.clear();
}

// A sprite on a checkerboard, scaled down to fit the cell.
cairo_surface_t* spriteTile(const Img& im, int cw, int ch) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, cw, ch);
    cairo_t* cr = cairo_create(s);
    for (int y = 0; y < ch; y += 8)
        for (int x = 0; x < cw; x += 8) {
            double v = ((x + y) / 8) % 2 ? 0.86 : 0.97;
            cairo_set_source_rgb(cr, v, v, v);
            cairo_rectangle(cr, x, y, 8, 8);
            cairo_fill(cr);
        }
    double k = std::min(1.0, std::min((cw - 8) / im.w(), (ch - 8) / im.h()));
    cairo_translate(cr, (cw - im.w() * k) / 2, (ch - im.h() * k) / 2);
    cairo_scale(cr, k, k);
    cairo_set_source_surface(cr, im.atlas, -im.r.x, -im.r.y);
    cairo_rectangle(cr, 0, 0, im.w(), im.h());
    cairo_fill(cr);
    cairo_destroy(cr);
    return s;
}

void atlasSheets(const AtlasFile& a, const std::string& docs) {
    std::vector<Tile> tiles;
    const int perPage = 60;
    int page = 0, count = 0;
    std::vector<std::string> names;
    for (const std::string& l : a.lines)
        if (!l.empty()) names.push_back(l.substr(0, l.find(':')));
    for (size_t i = 0; i < names.size(); ++i) {
        Img im = a.get(names[i]);
        tiles.push_back({names[i] + fmt("  %dx%d", im.r.w, im.r.h), spriteTile(im, 196, 150)});
        if (++count == perPage || i + 1 == names.size()) {
            ++page;
            std::string file = docs + "/atlas_" + a.base +
                               (names.size() > (size_t)perPage ? fmt("_%d", page) : "") + ".png";
            writeSheet(file, a.base + " (" + std::to_string(names.size()) + " sprites)", tiles, 6);
            count = 0;
        }
    }
}

// Composes a scene; returns a crop of the virtual screen scaled by k.
cairo_surface_t* shot(Screen& sc, bool buttons, double x, double y, double w, double h, double k) {
    cairo_surface_t* full = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1280, 800);
    cairo_t* cr = cairo_create(full);
    sc.draw(cr, buttons);
    cairo_destroy(cr);
    cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_RGB24, (int)(w * k), (int)(h * k));
    cr = cairo_create(out);
    cairo_scale(cr, k, k);
    cairo_set_source_surface(cr, full, -x, -y);
    cairo_pattern_set_filter(cairo_get_source(cr), k >= 1 ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(full);
    return out;
}

cairo_surface_t* faceShot(Screen& sc) { return shot(sc, false, 248 + 20, 0, 744, 720, 0.42); }
cairo_surface_t* mouthShot(Screen& sc, double k = 1.0) {
    return shot(sc, false, 248 + 392 - 170, 400, 340, 230, k);
}

void setMouth(Scene& s, int rowR, int stepR, int rowL, int stepL) {
    s.mouthR.frame = rowR * 7, s.mouthR.variant = stepR;
    s.mouthL.frame = rowL * 7, s.mouthL.variant = stepL;
}

void faceSheets(const Cast& cast, const std::string& who, const std::string& docs) {
    std::vector<Tile> t;
    // Smiling mouth: the four rows at the narrow and wide steps, mixed halves, pursed.
    for (int row = 0; row < 4; ++row)
        for (int step : {0, 3, 6}) {
            Screen sc(cast);
            setMouth(sc.s, row, step, row, step);
            sc.s.eyeR.variant = sc.s.eyeL.variant = row == 0 ? 0 : row == 3 ? 1 : 0;
            t.push_back({fmt("smile row %d, step %d", row + 1, step + 1), faceShot(sc)});
        }
    {
        Screen sc(cast);
        setMouth(sc.s, 0, 6, 3, 0);
        t.push_back({"halves: right row 1 step 7, left row 4 step 1", faceShot(sc)});
        Screen sp(cast);
        sp.s.pursed = true;
        t.push_back({"pursed lips", faceShot(sp)});
        Screen eyes(cast);
        eyes.s.eyeR.variant = 1, eyes.s.eyeL.variant = 2;
        eyes.s.browR.angle = 18, eyes.s.browL.angle = -18, eyes.s.browR.y = eyes.s.browL.y = 244;
        t.push_back({"eyes half / closed, brows 18 up", faceShot(eyes)});
        Screen b2(cast);
        b2.s.browR.angle = -14, b2.s.browL.angle = 14, b2.s.browR.y = b2.s.browL.y = 304;
        t.push_back({"brows -14, low", faceShot(b2)});
    }
    writeSheet(docs + "/face_" + who + "_smile.png", who + ": smiling mouth, eyes and brows", t, 4);

    // Teeth and cheeks.
    for (int row = 0; row < 2; ++row)
        for (int step : {0, 6}) {
            Screen sc(cast);
            sc.s.teethMode = true;
            sc.s.teethR.frame = sc.s.teethL.frame = row * 7;
            sc.s.teethR.variant = sc.s.teethL.variant = step;
            t.push_back({fmt("teeth row %d, step %d", row + 1, step + 1), faceShot(sc)});
        }
    {
        Screen sc(cast);
        sc.s.teethMode = sc.s.round = true;
        t.push_back({"round mouth", faceShot(sc)});
    }
    const int cheeks[][2] = {{1, 1}, {1, 0}, {0, 1}, {2, 2}, {2, 0}, {0, 2}, {1, 2}};
    for (auto& c : cheeks) {
        Screen sc(cast);
        sc.s.cheekR.variant = c[0], sc.s.cheekL.variant = c[1];
        const char* n[] = {"flat", "puffed", "hollow"};
        t.push_back({std::string("cheeks: right ") + n[c[0]] + ", left " + n[c[1]], faceShot(sc)});
    }
    writeSheet(docs + "/face_" + who + "_teeth_cheeks.png", who + ": teeth and cheeks", t, 4);

    // Tongue out with the smiling mouth: four shapes at every place.
    for (int shape = 0; shape < 4; ++shape)
        for (int shift = -4; shift <= 4; ++shift) {
            Screen sc(cast);
            sc.s.tongueOut = true;
            sc.s.tongue.frame = shape * 5;
            sc.shiftTongue(shift);
            const char* n[] = {"far up", "up", "down", "far down"};
            t.push_back({std::string("tongue ") + n[shape] + fmt(", side %d", shift), mouthShot(sc)});
        }
    // The in-between places in the extreme rows, narrow and wide.
    for (int row : {0, 3})
        for (int step : {0, 6})
            for (int shape : {0, 3})
                for (int shift : {1, 2, 3, -3}) {
                    Screen sc(cast);
                    setMouth(sc.s, row, step, row, step);
                    sc.s.tongueOut = true;
                    sc.s.tongue.frame = shape * 5;
                    sc.shiftTongue(shift);
                    t.push_back({fmt("mouth row %d step %d, ", row + 1, step + 1) +
                                     (shape ? "far down" : "far up") + fmt(", side %d", shift),
                                 mouthShot(sc)});
                }
    writeSheet(docs + "/face_" + who + "_tongue.png", who + ": tongue out with the smiling mouth", t, 9);

    // Pouting lips: rows and steps, then the tongue at each depth and side.
    for (int row = 0; row < 2; ++row)
        for (int step : {0, 3, 6}) {
            Screen sc(cast);
            sc.s.lipsMode = true;
            sc.s.lipsR.frame = sc.s.lipsL.frame = row * 7;
            sc.s.lipsR.variant = sc.s.lipsL.variant = step;
            t.push_back({fmt("lips row %d, step %d", row + 1, step + 1), mouthShot(sc)});
        }
    for (int depth = 0; depth < 3; ++depth)
        for (int shape : {0, 2})
            for (int shift : {-4, 0, 4}) {
                Screen sc(cast);
                sc.s.lipsMode = true;
                sc.s.lipsR.variant = sc.s.lipsL.variant = 3;
                sc.s.tongueOut = true;
                sc.s.tongueDepth = depth;
                sc.s.tongue.frame = shape * 5;
                sc.shiftTongue(shift);
                t.push_back({fmt("depth %d, ", depth) + (shape ? "down" : "up") + fmt(", side %d", shift),
                             mouthShot(sc)});
            }
    writeSheet(docs + "/face_" + who + "_lips.png", who + ": pouting lips and the tongue", t, 6);

    // The whole screen as the application shows it, with every button.
    Screen sc(cast);
    sc.s.menuOpen = sc.s.recording = true;
    sc.s.mouthR.frame = sc.s.mouthL.frame = 0, sc.s.mouthR.variant = sc.s.mouthL.variant = 3;
    cairo_surface_t* full = shot(sc, true, 0, 0, 1280, 800, 1);
    cairo_surface_write_to_png(full, (docs + "/screen_" + who + ".png").c_str());
    cairo_surface_destroy(full);
}

// The jaw's poses: the open mouth at each step with the tongue lying, then
// every place of the tongue in it, and the pressed lips.
void poseSheets(const Cast& cast, const std::string& who, const std::string& docs) {
    std::vector<Tile> t;
    const char* places[] = {"tip to the ridge", "lying", "behind the lower teeth", "out"};
    for (int jaw = 1; jaw <= 3; ++jaw) {
        Screen sc(cast);
        sc.s.jaw = jaw;
        t.push_back({fmt("open mouth, step %d", jaw), faceShot(sc)});
    }
    for (int jaw = 1; jaw <= 2; ++jaw) {
        Screen sc(cast);
        sc.s.jaw = -jaw;
        t.push_back({jaw == 1 ? "lips pressed" : "lips rolled in", faceShot(sc)});
    }
    writeSheet(docs + "/face_" + who + "_jaw.png", who + ": the open mouth and the pressed lips", t, 5);
    for (int jaw = 1; jaw <= 3; ++jaw)
        for (int place = 0; place < 4; ++place) {
            Screen sc(cast);
            sc.s.jaw = jaw;
            sc.s.tongueOut = true;
            sc.s.openTongue = place;
            t.push_back({fmt("step %d, ", jaw) + places[place], mouthShot(sc)});
        }
    for (int jaw = 1; jaw <= 2; ++jaw) {
        Screen sc(cast);
        sc.s.jaw = -jaw;
        t.push_back({jaw == 1 ? "lips pressed" : "lips rolled in", mouthShot(sc)});
    }
    writeSheet(docs + "/face_" + who + "_jaw_tongue.png", who + ": the tongue in the open mouth, the pressed lips", t,
               4);
}

// Every row and step of each half-picture at double size, to check the seams.
void seamSheets(const Cast& cast, const std::string& docs) {
    std::vector<Tile> t;
    const char* kinds[] = {"closed", "tongue up", "tongue down"};
    for (int kind = 0; kind < 3; ++kind)
        for (int row = 0; row < 4; ++row)
            for (int step = 0; step < 7; ++step) {
                Screen sc(cast);
                setMouth(sc.s, row, step, row, step);
                if (kind) {
                    sc.s.tongueOut = true;
                    sc.s.tongue.frame = kind == 1 ? 5 : 10;
                }
                t.push_back({fmt("row %d step %d ", row + 1, step + 1) + kinds[kind],
                             shot(sc, false, 248 + 392 - 120, 430, 240, 130, 1.5)});
            }
    writeSheet(docs + "/seams_smile.png", "smiling mouth halves at every row and step (x1.5)", t, 7);
    // Halves from different rows (the application pairs them freely when the
    // symmetry is off): every ordered pair of rows, at opposite steps.
    for (int kind = 0; kind < 3; ++kind)
        for (int rowR = 0; rowR < 4; ++rowR)
            for (int rowL = 0; rowL < 4; ++rowL) {
                if (rowL == rowR) continue;
                for (auto steps : {std::make_pair(0, 6), std::make_pair(6, 0)}) {
                    Screen sc(cast);
                    setMouth(sc.s, rowR, steps.first, rowL, steps.second);
                    if (kind) {
                        sc.s.tongueOut = true;
                        sc.s.tongue.frame = kind == 1 ? 5 : 10;
                    }
                    t.push_back({fmt("R row %d step %d, ", rowR + 1, steps.first + 1) +
                                     fmt("L row %d step %d ", rowL + 1, steps.second + 1) + kinds[kind],
                                 shot(sc, false, 248 + 392 - 120, 430, 240, 130, 1.5)});
                }
            }
    writeSheet(docs + "/seams_smile_mixed.png",
               "smiling mouth halves from different rows, closed and open (x1.5)", t, 8);
    // Lips and teeth: both halves at every step, then halves of different
    // steps (the halves move alone when the symmetry is off; they keep one row).
    std::vector<std::pair<int, int>> steps;
    for (int step = 0; step < 7; ++step) steps.push_back({step, step});
    for (auto mixed : {std::make_pair(0, 6), std::make_pair(6, 0), std::make_pair(0, 3), std::make_pair(3, 6),
                       std::make_pair(5, 1), std::make_pair(2, 4), std::make_pair(6, 3)})
        steps.push_back(mixed);
    for (int mode = 0; mode < 2; ++mode)
        for (int row = 0; row < 2; ++row)
            for (auto [right, left] : steps) {
                Screen sc(cast);
                Part &R = mode ? sc.s.teethR : sc.s.lipsR, &L = mode ? sc.s.teethL : sc.s.lipsL;
                (mode ? sc.s.teethMode : sc.s.lipsMode) = true;
                R.frame = L.frame = row * 7;
                R.variant = right;
                L.variant = left;
                t.push_back({std::string(mode ? "teeth" : "lips") + fmt(" row %d, ", row + 1) +
                                 (right == left ? fmt("step %d", right + 1) : fmt("R %d, L %d", right + 1, left + 1)),
                             shot(sc, false, 248 + 392 - 120, 430, 240, 130, 1.5)});
            }
    writeSheet(docs + "/seams_lips_teeth.png", "lips and teeth halves at every row and step, and of mixed steps (x1.5)",
               t, 7);
}

// Every tongue pose out of the pouting lips: each depth (its tip held
// between the lips, whatever its shape, then each shape in front) at every
// side place of the narrowest lips, and at the corner of the widest.
void lipsTongueSheet(const Cast& cast, const std::string& docs) {
    std::vector<Tile> t;
    const char* depths[] = {"tip between", "tip further out", "in front"};
    const char* shapes[] = {"far up", "up", "down", "far down"};
    for (int depth = 0; depth < 3; ++depth)
        for (int shape = 0; shape < (depth < 2 ? 1 : 4); ++shape)
            for (int side = 0; side <= 5; ++side) {
                Screen sc(cast);
                sc.s.lipsMode = sc.s.tongueOut = true;
                sc.s.tongueDepth = depth;
                sc.s.tongue.frame = shape * 5;
                if (side == 5) sc.s.lipsR.variant = sc.s.lipsL.variant = 6;
                sc.shiftTongue(std::min(side, 4));
                t.push_back({std::string(depths[depth]) + (depth < 2 ? "" : std::string(", ") + shapes[shape]) +
                                 (side == 5 ? ", wide, 4" : fmt(", side %d", side)),
                             shot(sc, false, 248 + 392 - 90, 440, 180, 130, 1)});
            }
    writeSheet(docs + "/tongue_lips.png", "girl: every tongue pose out of the pouting lips", t, 6);
}

void titleScreen(const AtlasFile& a3, const std::string& docs) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1280, 800);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    Img g = a3.get("fille.png"), b = a3.get("gars.png"), t = a3.get("titre.png");
    g.hx = g.hy = b.hx = b.hy = 0;
    t.hx = t.hy = 1;
    drawImg(cr, g, 240, 209);
    drawImg(cr, b, 740, 209);
    drawImg(cr, t, 1230, 750);
    cairo_destroy(cr);
    cairo_surface_write_to_png(s, (docs + "/screen_title.png").c_str());
    cairo_surface_destroy(s);
}

}  // namespace

void writeReview(const std::string& dataDir, const std::string& docsDir) {
    AtlasFile a1a, a1b, a2, a3, a4;
    a1a.load(dataDir, "images1a");
    a1b.load(dataDir, "images1b");
    a2.load(dataDir, "images2");
    a3.load(dataDir, "images3");
    a4.load(dataDir, "images4");
    for (const AtlasFile* a : {&a1a, &a1b, &a2, &a3, &a4}) atlasSheets(*a, docsDir);
    Cast girlCast(a1a, a2, a4), boyCast(a1b, a2, a4);
    faceSheets(girlCast, "girl", docsDir);
    faceSheets(boyCast, "boy", docsDir);
    poseSheets(girlCast, "girl", docsDir);
    poseSheets(boyCast, "boy", docsDir);
    seamSheets(girlCast, docsDir);
    lipsTongueSheet(girlCast, docsDir);
    titleScreen(a3, docsDir);
    for (AtlasFile* a : {&a1a, &a1b, &a2, &a3, &a4}) cairo_surface_destroy(a->pic);
}

}  // namespace art
