// Canvas benchmark: the cost of recording and submitting 10,000 sprites of
// 8 x 8 pixels through the canvas, against a minimal hand-written batch doing
// the same work in the same run. Four workloads:
//   rotated+mirrored  four cells of one texture, each sprite turned by a
//                     whole number of degrees from 1 to 359, every other one
//                     mirrored with x scale -1, one material;
//   10,000 angles     the same with every sprite's angle a different one, so
//                     that no cosine and sine can be used twice;
//   unrotated         the same sprites placed without turning (most of the
//                     application's sprites are drawn this way);
//   two materials     the first workload alternating between two textures;
//   in a host frame   the first workload rendered as the host renders a
//                     frame (host/frame.h): kept, compared with the frame
//                     sent last and sent; the last sprite moves every frame,
//                     so every frame is compared to its end and sent;
//   unchanged frame   the same with nothing moving: compared to its end
//                     and not sent, what deciding costs at most.
// The baseline is a plain loop over the sprites writing the same 28-byte
// vertices straight into one 65,520-byte block, with the same rotation rule
// (angle times the float 0.017453292, double-precision cosine and sine stored
// as floats), one glBufferSubData per full block and one glDrawElements per
// run, through the canvas's program and buffers. Every frame ends with
// glFinish, so both include the driver's work; under GALLIUM_NOOP=1 the
// driver draws nothing and the figures are the processor's cost.
//
// The machine is shared: each workload is measured in rounds, canvas and
// baseline back to back in alternating order; a round's figure is its median
// frame (a time slice taken by another program counts against neither side),
// and the median of the rounds' ratios is reported with the median times.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "canvas/canvas.h"
#include "canvas/gl_program.h"
#include "canvas/image.h"
#include "canvas/material.h"
#include "canvas/render_state.h"
#include "canvas/renderer.h"
#include "canvas/shader.h"
#include "canvas/texture.h"
#include "host/gl_api.h"
#include "host/frame.h"
#include "host/game_delegate.h"
#include "host/gl_state.h"
#include "host/glfw_game.h"
#include "host/host_main.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 600;
constexpr int kSprites = 10000;
// 9 rounds of about 0.12 s a side: medians over enough rounds to ride out
// the other agents' bursts, in a few seconds per workload.
constexpr int kRounds = 9;
constexpr double kRoundSeconds = 0.12;

struct Sprite {
    float x, y, rz, sx;
};

// Positions anywhere in the window, every other sprite mirrored, angles of
// 1 to 359 whole degrees or, with `distinct`, 10,000 different angles from
// 0.5 to 359.5 degrees (never 0: every sprite of the turning workloads is turned).
std::vector<Sprite> MakeSprites(bool distinct) {
    std::vector<Sprite> sprites;
    uint32_t seed = 12345;
    for (int i = 0; i < kSprites; ++i) {
        seed = seed * 1664525u + 1013904223u;
        float x = static_cast<float>(seed % kWindowWidth);
        seed = seed * 1664525u + 1013904223u;
        float y = static_cast<float>(seed % kWindowHeight);
        float rz = distinct ? 0.5f + 359.0f * static_cast<float>(i * 7 % kSprites) / kSprites
                            : static_cast<float>(1 + i * 7 % 359);
        sprites.push_back({x, y, rz, (i & 1) ? -1.0f : 1.0f});
    }
    return sprites;
}

// A 16 x 16 atlas of four 8 x 8 cells, two of them: "atlas_a.png" and "atlas_b.png".
std::string MakeDataFolder() {
    char name[] = "/tmp/grimalou-bench-XXXXXX";
    if (!mkdtemp(name)) return "";
    std::string data = std::string(name) + "/data";
    mkdir(data.c_str(), 0700);
    for (const char* file : {"vexa2_program.glsl", "vexa2_fastshader.glsl", "vexa2_bumpshader.glsl",
                             "vexa2_matteshader.glsl", "vexa2_shadowshader.glsl", "vexa2_lightmapshader.glsl"}) {
        std::string command = std::string("cp '") + GRIMALOU_SOURCE_DIR + "/data/" + file + "' '" + data + "/'";
        if (std::system(command.c_str()) != 0) return "";
    }
    std::vector<unsigned char> pixels(960 * 16 * 4, 255);
    stbi_write_png((data + "/vexa2_font.png").c_str(), 960, 16, 4, pixels.data(), 960 * 4);
    for (int k = 0; k < 2; ++k) {
        std::vector<unsigned char> atlas(16 * 16 * 4);
        for (size_t i = 0; i < atlas.size(); i += 4) {
            atlas[i] = static_cast<unsigned char>(k ? 40 : 220);
            atlas[i + 1] = static_cast<unsigned char>(i % 255);
            atlas[i + 2] = 90;
            atlas[i + 3] = 200;
        }
        stbi_write_png((data + (k ? "/atlas_b.png" : "/atlas_a.png")).c_str(), 16, 16, 4, atlas.data(), 16 * 4);
    }
    return name;
}

// The four 8 x 8 cells of an atlas, centred on their handle.
struct Cells {
    c_Image2* cell[4];
    int texture;
};

Cells CutCells(const char* file) {
    c_Image2* atlas = c_Image2::Load(String(file), 0, 0, 0, fastShader);
    Cells cells;
    for (int k = 0; k < 4; ++k) cells.cell[k] = new c_Image2(atlas, (k & 1) * 8, (k >> 1) * 8, 8, 8, 0.5f, 0.5f);
    cells.texture = atlas->material->ColorTexture()->TextureName();
    return cells;
}

// ---- the baseline --------------------------------------------------------

// One upload block and the runs drawn from it; no container on the way.
struct Baseline {
    unsigned char block[UPLOAD_BYTES];
    int quads = 0;
    int runs = 0;
    int runFirst[QUADS_PER_UPLOAD];  // first quad of each run
    int runTexture[QUADS_PER_UPLOAD];
    int program = 0;
    int mvpLocation = -1;
    int boundTexture = 0;

    void Begin(int texture) {
        gl.UseProgram(program);
        gl.UniformMatrix4fv(mvpLocation, 1, GL_FALSE, renderState.modelViewProjection);
        gl.Enable(GL_BLEND);
        gl.BlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        gl.ActiveTexture(GL_TEXTURE0);
        gl.BindTexture(GL_TEXTURE_2D, texture);
        boundTexture = texture;
    }

    // The quad of an image under the matrix (ix, iy, jx, jy, x, y).
    void Quad(const c_Image2* image, int texture, float ix, float iy, float jx, float jy, float x, float y) {
        if (quads == QUADS_PER_UPLOAD) Submit();
        if (runs == 0 || runTexture[runs - 1] != texture) {
            runFirst[runs] = quads;
            runTexture[runs++] = texture;
        }
        const float corner[4][4] = {{image->x0, image->y0, image->s0, image->t0},
                                    {image->x1, image->y0, image->s1, image->t0},
                                    {image->x1, image->y1, image->s1, image->t1},
                                    {image->x0, image->y1, image->s0, image->t1}};
        const uint32_t white = 0xffffffffu;
        unsigned char* at = block + quads * QUAD_BYTES;
        for (int k = 0; k < 4; ++k, at += VERTEX_BYTES) {
            const float* p = corner[k];
            float v[6] = {ix * p[0] + jx * p[1] + x, iy * p[0] + jy * p[1] + y, p[2], p[3], ix, iy};
            std::memcpy(at, v, sizeof v);
            std::memcpy(at + 24, &white, 4);
        }
        ++quads;
    }

    void Turned(const c_Image2* image, int texture, const Sprite& s) {
        double radians = s.rz * DEGREES_TO_RADIANS;
        float c = static_cast<float>(std::cos(radians)), sn = static_cast<float>(std::sin(radians));
        Quad(image, texture, c * s.sx, -sn * s.sx, sn, c, s.x, s.y);
    }

    void Submit() {
        if (quads == 0) return;
        gl.BufferSubData(GL_ARRAY_BUFFER, 0, quads * QUAD_BYTES, block);
        for (int r = 0; r < runs; ++r) {
            int first = runFirst[r] * 4;
            int count = ((r + 1 < runs ? runFirst[r + 1] : quads) - runFirst[r]) * 4;
            if (runTexture[r] != boundTexture) gl.BindTexture(GL_TEXTURE_2D, boundTexture = runTexture[r]);
            intptr_t offset = ((first % 4) * QUADS_PER_UPLOAD + first / 4) * 12;
            gl.DrawElements(GL_TRIANGLES, count / 4 * 6, GL_UNSIGNED_SHORT, reinterpret_cast<const void*>(offset));
        }
        quads = runs = 0;
    }
};

double Median(std::vector<double> values);

// The host's delegate: its frames are drawn by `draw`.
class Drawer : public KtGameDelegate {
public:
    std::function<void()> draw;
    void Render() override { draw(); }
};

// Nanoseconds per sprite of `frame`: the median frame of about kRoundSeconds
// of frames. Other programs take the processor now and then for a few
// milliseconds; the median frame is one they left alone.
template <class Frame>
double RoundNanoseconds(Frame& frame) {
    std::vector<double> frames;
    Clock::time_point start = Clock::now();
    double elapsed = 0;
    while (elapsed < kRoundSeconds || frames.size() < 3) {
        Clock::time_point before = Clock::now();
        frame();
        Clock::time_point after = Clock::now();
        frames.push_back(std::chrono::duration<double>(after - before).count() * 1e9 / kSprites);
        elapsed = std::chrono::duration<double>(after - start).count();
    }
    return Median(frames);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <class A, class B>
void Compare(const char* name, A canvasFrame, B baselineFrame) {
    for (int i = 0; i < 3; ++i) {
        canvasFrame();
        baselineFrame();
    }
    std::vector<double> canvasNs, baselineNs, ratios;
    for (int round = 0; round < kRounds; ++round) {
        double c, b;
        if (round & 1) {
            b = RoundNanoseconds(baselineFrame);
            c = RoundNanoseconds(canvasFrame);
        } else {
            c = RoundNanoseconds(canvasFrame);
            b = RoundNanoseconds(baselineFrame);
        }
        canvasNs.push_back(c);
        baselineNs.push_back(b);
        ratios.push_back(c / b);
    }
    std::printf("%-18s %14.1f %14.1f %8.2f\n", name, Median(canvasNs), Median(baselineNs), Median(ratios));
    std::fflush(stdout);
}

}  // namespace

int main() {
    if (!InitWindowSystem()) {
        std::puts("bench_canvas: no display");
        return 1;
    }
    InitCanvasGlobals();
    std::string app = MakeDataFolder();
    KtRavlenGame* game = new KtRavlenGame();
    game->appDir = String(app.c_str());
    game->swapInterval = 0;
    game->CreateDeviceWindow(kWindowWidth, kWindowHeight, 0);
    InitRenderer();
    std::printf("GL renderer: %s\n", reinterpret_cast<const char*>(gl.GetString(GL_RENDERER)));

    c_Canvas* canvas = (new c_Canvas())->Init();
    Cells a = CutCells("atlas_a.png");
    Cells b = CutCells("atlas_b.png");
    std::vector<Sprite> sprites = MakeSprites(false);
    std::vector<Sprite> distinct = MakeSprites(true);
    canvas->Validate();
    auto drawRotated = [&](const std::vector<Sprite>& of) {
        canvas->Clear(1, 1, 1, 1);
        for (int i = 0; i < kSprites; ++i) {
            const Sprite& s = of[i];
            canvas->DrawImage(a.cell[i & 3], s.x, s.y, s.rz, s.sx, 1);
        }
        canvas->Flush();
    };

    static Baseline baseline;
    baseline.program = fastShader->ProgramForLightCount()->program;
    baseline.mvpLocation = gl.GetUniformLocation(baseline.program, "ModelViewProjectionMatrix");
    auto baselineFrame = [&](auto quadOf, const std::vector<Sprite>& of) {
        gl.ClearColor(1, 1, 1, 1);
        gl.Clear(GL_COLOR_BUFFER_BIT);
        baseline.Begin(a.texture);
        for (int i = 0; i < kSprites; ++i) quadOf(i, of[i]);
        baseline.Submit();
        gl.Finish();
        // GL was changed behind the canvas's back.
        InvalidateGlState();
    };

    std::printf("%-18s %14s %14s %8s\n", "10,000 sprites", "canvas ns/q", "baseline ns/q", "ratio");
    for (const std::vector<Sprite>* of : {&sprites, &distinct})
        Compare(
            of == &sprites ? "rotated+mirrored" : "10,000 angles",
            [&]() {
                drawRotated(*of);
                gl.Finish();
            },
            [&]() {
                baselineFrame([&](int i, const Sprite& s) { baseline.Turned(a.cell[i & 3], a.texture, s); }, *of);
            });
    Compare(
        "unrotated",
        [&]() {
            canvas->Clear(1, 1, 1, 1);
            for (int i = 0; i < kSprites; ++i) canvas->DrawImage(a.cell[i & 3], sprites[i].x, sprites[i].y);
            canvas->Flush();
            gl.Finish();
        },
        [&]() {
            baselineFrame(
                [&](int i, const Sprite& s) { baseline.Quad(a.cell[i & 3], a.texture, 1, 0, 0, 1, s.x, s.y); },
                sprites);
        });
    Compare(
        "two materials",
        [&]() {
            canvas->Clear(1, 1, 1, 1);
            for (int i = 0; i < kSprites; ++i) {
                const Sprite& s = sprites[i];
                canvas->DrawImage(((i & 1) ? b : a).cell[i & 3], s.x, s.y, s.rz, s.sx, 1);
            }
            canvas->Flush();
            gl.Finish();
        },
        [&]() {
            baselineFrame(
                [&](int i, const Sprite& s) {
                    const Cells& cells = (i & 1) ? b : a;
                    baseline.Turned(cells.cell[i & 3], cells.texture, s);
                },
                sprites);
        });

    // The host's frames need a started game; the canvas's frame state
    // (viewport, projection) is what the other rows drew under.
    gc_root<Drawer> drawer(new Drawer());
    std::vector<Sprite> moving = sprites;
    bool move = true;
    drawer->draw = [&]() {
        Sprite& last = moving[kSprites - 1];
        if (move) last.x = last.x == sprites[kSprites - 1].x ? last.x + 1 : sprites[kSprites - 1].x;
        drawRotated(moving);
    };
    game->SetDelegate(drawer);
    game->Start();
    auto rotatedBaseline = [&]() {
        baselineFrame([&](int i, const Sprite& s) { baseline.Turned(a.cell[i & 3], a.texture, s); }, sprites);
    };
    int sent = 0, frames = 0;
    for (bool moves : {true, false}) {
        move = moves;
        sent = frames = 0;
        Compare(
            moves ? "in a host frame" : "unchanged frame",
            [&]() {
                sent += RenderChangedFrame(*game);
                ++frames;
                gl.Finish();
            },
            rotatedBaseline);
        if (sent != (moves ? frames : 0)) {
            std::printf("bench_canvas: %d of %d host frames sent\n", sent, frames);
            return 1;
        }
    }

    std::string command = "rm -rf '" + app + "'";
    if (std::system(command.c_str()) != 0) return 1;
    return 0;
}
