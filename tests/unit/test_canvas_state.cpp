// The canvas's lazy GL state: viewport and scissor with the window's flip,
// clears, the projection, lights and shadow texture, unprojection and
// rebuilding after a new context, all checked as exact call sequences through
// the recording GL layer. Last, the renderer's objects under the collector.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <functional>

#include "canvas/canvas.h"
#include "canvas/font.h"
#include "canvas/gl_program.h"
#include "canvas/image.h"
#include "canvas/material.h"
#include "canvas/render_state.h"
#include "canvas/renderer.h"
#include "canvas/shader.h"
#include "canvas/texture.h"
#include "framework/app.h"
#include "framework/graphics.h"
#include "host/frame.h"
#include "host/game.h"
#include "host/gl_api.h"
#include "host/gl_state.h"
#include "tests/support/canvas_test_support.h"
#include "tests/support/gl_recorder.h"

namespace {

using Calls = std::vector<std::string>;

const std::vector<std::string> kStateCalls = {"Viewport", "Scissor", "Enable(SCISSOR", "Disable(SCISSOR", "ClearColor",
                                              "Clear("};

class CanvasStateTest : public ::testing::Test {
protected:
    c_Canvas* canvas = nullptr;

    void SetUp() override {
        StartRecordedRenderer(800, 600);
        InitRenderer();
        canvas = (new c_Canvas())->Init();
        glRecorder().Clear();
    }
};

TEST_F(CanvasStateTest, AViewportInsideTheWindowIsFlippedAndClearsScissoredToIt) {
    canvas->SetViewport(100, 50, 400, 300);
    canvas->Clear(1, 1, 1, 1);
    Calls expected = {"Viewport(100,250,400,300)", "Disable(SCISSOR_TEST)", "Enable(SCISSOR_TEST)",
                      "Scissor(100,250,400,300)",  "ClearColor(1,1,1,1)",   "Clear(COLOR_BUFFER_BIT)",
                      "Disable(SCISSOR_TEST)"};
    EXPECT_EQ(glRecorder().Calls(kStateCalls), expected);
    EXPECT_TRUE(canvas->drawn.clearNeedsScissor);
}

TEST_F(CanvasStateTest, TheWholeWindowClearsWithoutScissor) {
    canvas->SetViewport(0, 0, 800, 600);
    canvas->Clear(0, 0, 0, 1);
    Calls expected = {"Viewport(0,0,800,600)", "Disable(SCISSOR_TEST)", "ClearColor(0,0,0,1)",
                      "Clear(COLOR_BUFFER_BIT)"};
    EXPECT_EQ(glRecorder().Calls(kStateCalls), expected);
    EXPECT_FALSE(canvas->drawn.clearNeedsScissor);
}

TEST_F(CanvasStateTest, AScissorIsRelativeToTheViewportAndFlipped) {
    canvas->SetScissor(10, 10, 20, 20);
    canvas->Validate();
    Calls expected = {"Viewport(0,0,800,600)", "Enable(SCISSOR_TEST)", "Scissor(10,570,20,20)"};
    EXPECT_EQ(glRecorder().Calls(kStateCalls), expected);

    // Inside a letterboxed viewport, and clipped to it: the rows above the
    // viewport are cut off, not moved in.
    glRecorder().Clear();
    canvas->SetViewport(80, 0, 640, 600);
    canvas->SetScissor(600, -5, 100, 30);
    canvas->Validate();
    expected = {"Viewport(80,0,640,600)", "Scissor(680,575,40,25)"};
    EXPECT_EQ(glRecorder().Calls(kStateCalls), expected);
}

TEST_F(CanvasStateTest, SettersWithoutDrawingMakeNoCallUntilValidate) {
    canvas->Validate();
    glRecorder().Clear();
    canvas->SetViewport(10, 10, 100, 100);
    canvas->SetViewport(20, 20, 200, 200);
    canvas->SetScissor(0, 0, 50, 50);
    canvas->SetOrthoProjection(0, 1280, 0, 800, -1, 1);
    EXPECT_TRUE(glRecorder().calls.empty());
    canvas->Validate();
    EXPECT_EQ(glRecorder().Calls({"Viewport"}), Calls{"Viewport(20,380,200,200)"});
    // Nothing dirty, nothing sent.
    glRecorder().Clear();
    canvas->Validate();
    EXPECT_TRUE(glRecorder().calls.empty());
}

TEST_F(CanvasStateTest, ASetterFlushesWhatWasDrawnUnderTheOldState) {
    c_Image2* image = new c_Image2(fastShader->StockMaterial(), 0, 0);
    canvas->DrawImage(image, 0, 0);
    canvas->SetViewport(0, 0, 100, 100);
    Calls expected = {"Viewport(0,0,800,600)", "BufferSubData(ARRAY_BUFFER,0,112)",
                      "DrawElements(TRIANGLES,6,UNSIGNED_SHORT,0)"};
    EXPECT_EQ(glRecorder().Calls({"Viewport", "BufferSubData", "DrawElements"}), expected);
    EXPECT_EQ(canvas->next, 0);
}

TEST_F(CanvasStateTest, TheProjectionReachesTheProgramFlippedForTheWindow) {
    canvas->Validate();
    fastShader->Bind();
    canvas->SetOrthoProjection(0, 1280, 0, 800, -1, 1);
    const float* p = canvas->projMatrix.Data();
    EXPECT_FLOAT_EQ(p[0], 2.0f / 1280);
    EXPECT_FLOAT_EQ(p[5], 2.0f / 800);
    EXPECT_FLOAT_EQ(p[10], 1);
    EXPECT_FLOAT_EQ(p[12], -1);
    EXPECT_FLOAT_EQ(p[13], -1);
    canvas->Validate();
    // The top-left corner of the virtual screen lands at the top-left of clip
    // space: the window's rows run bottom-up.
    const float* mvp = renderState.modelViewProjection;
    EXPECT_FLOAT_EQ(mvp[12], -1);
    EXPECT_FLOAT_EQ(mvp[13], 1);
    EXPECT_FLOAT_EQ(mvp[5], -2.0f / 800);
    EXPECT_EQ(renderState.clipPosScale[1], -1);
    // The program in use takes the new values at its next bind, once.
    glRecorder().Clear();
    fastShader->Bind();
    EXPECT_FALSE(glRecorder().Calls({"UniformMatrix4fv"}).empty());
    glRecorder().Clear();
    fastShader->Bind();
    EXPECT_TRUE(glRecorder().calls.empty());
}

TEST_F(CanvasStateTest, LightsSwitchedOnAndTheShadowMapReachThePrograms) {
    c_LightData* light = canvas->lights[1];
    light->type = 1;
    light->color[0] = 0.5f;
    light->color[1] = 0.25f;
    canvas->viewMatrix[12] = 5;
    c_Material* shade = (new c_Material())->Init(fastShader);
    c_Texture* shadowTexture = (new c_Texture())->Init(4, 4, 4, 0);
    shade->PutTextureParam(String("ColorTexture"), shadowTexture);
    canvas->shadowMap = new c_Image2(shade, 0, 0);

    // The first Validate sends every part of the state.
    canvas->Validate();
    EXPECT_EQ(glRecorder().Calls({"BindFramebuffer", "Viewport", "LineWidth", "ColorMask"}),
              (Calls{"BindFramebuffer(FRAMEBUFFER,0)", "Viewport(0,0,800,600)", "LineWidth(1)", "ColorMask(1,1,1,1)"}));
    // The light goes to the first slot, its vector moved by the view matrix.
    EXPECT_EQ(renderState.lightCount, 1);
    EXPECT_EQ(std::vector<float>(renderState.lightColors, renderState.lightColors + 4),
              (std::vector<float>{0.5f, 0.25f, 1, 1}));
    EXPECT_EQ(std::vector<float>(renderState.lightVectors, renderState.lightVectors + 4),
              (std::vector<float>{5, 0, -10, 10}));
    EXPECT_EQ(light->viewVector[0], 5);
    EXPECT_EQ(renderState.modelView[12], 5);
    EXPECT_EQ(renderState.shadowTexture, shadowTexture);

    glRecorder().Clear();
    c_GLProgram* lit = bumpShader->ProgramForLightCount();
    EXPECT_EQ(lit, bumpShader->programs[1]);
    bumpShader->Bind();
    EXPECT_EQ(glRecorder().Calls({"Uniform4fv(" + std::to_string(lit->lightColorsLoc),
                                  "Uniform4fv(" + std::to_string(lit->lightVectorsLoc)}),
              (Calls{"Uniform4fv(" + std::to_string(lit->lightColorsLoc) + ",1,0.5 0.25 1 1)",
                     "Uniform4fv(" + std::to_string(lit->lightVectorsLoc) + ",1,5 0 -10 10)"}));

    // A program that reads the shadow texture gets it on unit 7.
    glRecorder().Clear();
    shadowShader->Bind();
    c_GLProgram* shadowed = shadowShader->ProgramForLightCount();
    ASSERT_NE(shadowed->shadowTextureLoc, -1);
    EXPECT_EQ(glRecorder().state.textures[7], static_cast<unsigned>(shadowTexture->textureName));
    EXPECT_EQ(glRecorder().Calls({"Uniform1i"}),
              (Calls{"Uniform1i(" + std::to_string(shadowed->shadowTextureLoc) + ",7)"}));
}

// A material of the fast shader with a 4 x 4 colour texture, as an image.
c_Image2* SpriteOfItsOwn() {
    c_Material* material = (new c_Material())->Init(fastShader);
    c_Texture* texture = (new c_Texture())->Init(4, 4, 4, 0);
    material->PutTextureParam(String("ColorTexture"), texture);
    texture->Release();
    return new c_Image2(material, 0.5f, 0.5f);
}

// A frame like the application's: the window cleared, a letterboxed
// viewport and projection, sprites of two materials turned and mirrored, a
// scissored one, a line of text in the default font's material.
void DrawAppLikeFrame(c_Canvas* canvas, c_Image2* a, c_Image2* b) {
    canvas->SetViewport(0, 0, 800, 600);
    canvas->Clear(1, 1, 1, 1);
    canvas->SetViewport(80, 0, 640, 600);
    canvas->SetOrthoProjection(0, 1280, 0, 800, -1, 1);
    canvas->SetColor(1, 1, 1);
    for (int i = 0; i < 10; ++i)
        canvas->DrawImage((i & 1) ? b : a, 10.0f * i, 20, 15.0f * i, (i & 2) ? -1.0f : 1.0f, 1);
    canvas->SetScissor(100, 100, 200, 50);
    canvas->DrawImage(a, 150, 120);
    canvas->SetScissor(0, 0, 10000, 10000);
    canvas->DrawText(String("Hello"), 10, 700);
    canvas->Flush();
}

TEST_F(CanvasStateTest, AFrameDrawnAgainReadsNothingBackAndBindsNothingTwice) {
    c_Image2* a = SpriteOfItsOwn();
    c_Image2* b = SpriteOfItsOwn();
    DrawAppLikeFrame(canvas, a, b);
    Calls first = glRecorder().Calls({"BufferSubData", "Draw"});
    glRecorder().Clear();
    DrawAppLikeFrame(canvas, a, b);
    EXPECT_TRUE(glRecorder().Calls({"Get"}).empty());
    EXPECT_EQ(glRecorder().redundant, Calls{});
    // The same frame all the same, each sprite under its own texture.
    EXPECT_EQ(glRecorder().Calls({"BufferSubData", "Draw"}), first);
    ASSERT_GE(glRecorder().draws.size(), 3u);
    EXPECT_EQ(glRecorder().draws[0].textures[0], static_cast<unsigned>(a->material->ColorTexture()->textureName));
    EXPECT_EQ(glRecorder().draws[1].textures[0], static_cast<unsigned>(b->material->ColorTexture()->textureName));
}

TEST_F(CanvasStateTest, AnUnchangedFrameSendsNothingAndAnyChangeOfWhatItSendsIsDrawn) {
    c_Image2* a = SpriteOfItsOwn();
    c_Image2* b = SpriteOfItsOwn();
    struct Frame {
        int viewportX = 80, scissorW = 200;
        float projectionRight = 1280, clearGreen = 1, spriteX = 150, alpha = 1;
        int blend = BlendAlpha;
        bool scissoredBatch = true;
        c_Image2* scissored;
    } frame;
    HostFrames host([&] {
        canvas->SetViewport(0, 0, 800, 600);
        canvas->Clear(1, frame.clearGreen, 1, 1);
        canvas->SetViewport(frame.viewportX, 0, 640, 600);
        canvas->SetOrthoProjection(0, frame.projectionRight, 0, 800, -1, 1);
        canvas->SetAlpha(frame.alpha);
        canvas->blend = frame.blend;
        canvas->DrawImage(b, 10, 20, 15, -1, 1);
        if (frame.scissoredBatch) {
            canvas->SetScissor(100, 100, frame.scissorW, 50);
            canvas->DrawImage(frame.scissored, frame.spriteX, 120);
        }
        canvas->Flush();
    });
    c_Texture* texture = a->material->ColorTexture();
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"viewport", [&] { frame.viewportX = 81; }},
        {"scissor", [&] { frame.scissorW = 199; }},
        {"projection", [&] { frame.projectionRight = 1279; }},
        {"clear colour", [&] { frame.clearGreen = 0.5f; }},
        {"a sprite's place", [&] { frame.spriteX += 0.25f; }},
        {"a sprite's alpha", [&] { frame.alpha = 0.5f; }},
        {"blend mode", [&] { frame.blend = BlendAdd; }},
        {"another material", [&] { frame.scissored = b; }},
        {"the last batch left out", [&] { frame.scissoredBatch = false; }},
        {"the texture's pixels", [&] { texture->LoadPixelData((new c_DataBuffer())->New(64)); }},
        {"the window's size", [&] { TestGame().windowWidth = 801; }},
        {"a new context", [&] { graphicsGeneration += 1; }},
    };
    for (const auto& change : changes) {
        frame = Frame();
        frame.scissored = a;
        TestGame().windowWidth = 800;
        frameRecord.RequireRedraw();
        ASSERT_TRUE(host.Pass());
        for (int i = 0; i < 3; ++i) {
            EXPECT_FALSE(host.Pass()) << change.first;
            EXPECT_EQ(glRecorder().calls, Calls{}) << "an unchanged frame reached GL, before " << change.first;
        }
        change.second();
        EXPECT_TRUE(host.Pass()) << change.first;
        EXPECT_FALSE(glRecorder().Calls({"DrawElements"}).empty()) << change.first;
        EXPECT_FALSE(host.Pass()) << "after " << change.first;
    }
}

// Resident memory now, in KiB.
long ResidentKiB() {
    long pages = 0, resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm || std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) ADD_FAILURE() << "no /proc/self/statm";
    if (statm) std::fclose(statm);
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Nothing of a frame stays after it, whoever drives the canvas: a tool or a
// benchmark drawing outside the host's frames, or the host, whose frames
// are kept and compared (here a third of them change, so some are sent and
// some dropped). 1,000 frames of 2,000 turned sprites move 224 MB.
TEST_F(CanvasStateTest, ResidentMemoryStaysFlatOverAThousandFrames) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer holds freed memory back on purpose; the plain build runs this test";
#endif
    c_Image2* a = SpriteOfItsOwn();
    int frame = 0;
    auto draw = [&] {
        canvas->Clear(1, 1, 1, 1);
        for (int i = 0; i < 2000; ++i) canvas->DrawImage(a, static_cast<float>(i % 800), i / 4.0f + frame / 3 % 2, i);
        canvas->Flush();
        ++frame;
    };
    HostFrames host(draw);
    const std::vector<std::pair<const char*, std::function<void()>>> drivers = {
        {"outside the host's frames",
         [&] {
             glRecorder().Clear();
             draw();
         }},
        {"in the host's frames", [&] { host.Pass(); }},
    };
    for (const auto& driver : drivers) {
        for (int i = 0; i < 100; ++i) driver.second();
        long before = ResidentKiB();
        for (int i = 0; i < 1000; ++i) driver.second();
        EXPECT_LT(ResidentKiB() - before, 8 * 1024) << driver.first;
    }
}

// No drawing state of one frame reaches the next: a frame that sets none
// draws with the whole window, no scissor, alpha blending and opaque white.
TEST_F(CanvasStateTest, EveryFrameStartsFromTheSameState) {
    c_Image2* a = SpriteOfItsOwn();
    bool first = true;
    HostFrames host([&] {
        if (first) {
            canvas->SetViewport(10, 10, 300, 200);
            canvas->SetScissor(5, 5, 20, 20);
            canvas->blend = BlendAdd;
            canvas->SetColor(1, 0, 0);
            canvas->SetAlpha(0.5f);
            canvas->Translate(7, 7);
        }
        canvas->DrawImage(a, 100, 100);
        canvas->Flush();
    });
    ASSERT_TRUE(host.Pass());
    ASSERT_TRUE(glRecorder().draws.back().scissorTest);
    first = false;
    TestGame().windowWidth = 1000;
    ASSERT_TRUE(host.Pass());
    const DrawState& state = glRecorder().draws.back();
    EXPECT_FALSE(state.scissorTest);
    EXPECT_EQ(std::vector<int>(state.viewport, state.viewport + 4), (std::vector<int>{0, 0, 1000, 600}));
    EXPECT_EQ(state.blendDestination, static_cast<unsigned>(GL_ONE_MINUS_SRC_ALPHA));
    const std::vector<unsigned char>& quad = glRecorder().uploads.back();
    float x;
    uint32_t color;
    std::memcpy(&x, quad.data(), 4);
    std::memcpy(&color, quad.data() + 24, 4);
    EXPECT_EQ(color, 0xffffffffu);
    EXPECT_FLOAT_EQ(x, 98) << "the identity matrix: the 4-texel sprite centred on 100";
    TestGame().windowWidth = 800;
}

// The framework's immediate graphics sets the scissor and binds textures
// through the same GL state cache; the canvas's next flush puts its own back.
TEST_F(CanvasStateTest, TheNextFlushUndoesWhatTheImmediateGraphicsChanged) {
    InitFrameworkGlobals();
    gxtkGraphics* graphics = new gxtkGraphics();
    c_Image2* image = SpriteOfItsOwn();
    unsigned texture = image->material->ColorTexture()->textureName;
    auto drawn = [&]() {
        glRecorder().Clear();
        canvas->DrawImage(image, 10, 10);
        canvas->Flush();
        EXPECT_EQ(glRecorder().draws.size(), 1u);
        return glRecorder().draws.empty() ? DrawState() : glRecorder().draws.back();
    };
    drawn();

    graphics->SetClip(10, 10, 20, 20);
    gxtkSurface* surface = graphics->MakeSurface(4, 4);
    ASSERT_EQ(glRecorder().state.textures[0], surface->texture);
    ASSERT_TRUE(glRecorder().state.scissorTest);
    DrawState state = drawn();
    EXPECT_FALSE(state.scissorTest);
    EXPECT_EQ(state.textures[0], texture);

    // A scissor of the canvas's own survives the immediate graphics turning
    // the test off, and a surface bound again.
    canvas->SetScissor(5, 5, 50, 50);
    drawn();
    graphics->SetClip(0, 0, 800, 600);
    surface->PrepareTexture();
    state = drawn();
    EXPECT_TRUE(state.scissorTest);
    EXPECT_EQ(std::vector<int>(state.scissor, state.scissor + 4), (std::vector<int>{5, 545, 50, 50}));
    EXPECT_EQ(state.textures[0], texture);
}

TEST_F(CanvasStateTest, UnprojectPointUndoesViewportAndProjection) {
    canvas->SetOrthoProjection(0, 640, 0, 800, -1, 1);
    canvas->SetViewport(0, 0, 320, 400);
    Array<float> out(2);
    canvas->UnprojectPoint(Array<float>::Of({160, 200}), out);
    EXPECT_FLOAT_EQ(out[0], 320);
    EXPECT_FLOAT_EQ(out[1], 400);

    // The letterboxed frame of a 1600 x 900 window: its corner is (0, 0).
    canvas->SetOrthoProjection(0, 1280, 0, 800, -1, 1);
    canvas->SetViewport(80, 0, 1440, 900);
    Array<float> out3(3);
    canvas->UnprojectPoint(Array<float>::Of({80, 0}), out3);
    EXPECT_NEAR(out3[0], 0, 1e-3);
    EXPECT_NEAR(out3[1], 0, 1e-3);
    EXPECT_NEAR(out3[2], -1, 1e-5);
}

TEST_F(CanvasStateTest, MakingAnotherCanvasCurrentFlushesThePreviousOne) {
    c_Canvas* other = (new c_Canvas())->Init();
    canvas->Validate();
    c_Image2* image = new c_Image2(fastShader->StockMaterial(), 0, 0);
    canvas->DrawImage(image, 0, 0);
    other->Clear(1, 1, 1, 1);
    Calls drawn = glRecorder().Calls({"BufferSubData", "ClearColor"});
    EXPECT_EQ(drawn, (Calls{"BufferSubData(ARRAY_BUFFER,0,112)", "ClearColor(1,1,1,1)"}));
    EXPECT_EQ(renderState.currentCanvas, other);
    EXPECT_EQ(canvas->next, 0);
}

TEST_F(CanvasStateTest, ANewGenerationRebuildsBuffersProgramsAndTextures) {
    c_Image2* image = new c_Image2(fastShader->StockMaterial(), 0, 0);
    canvas->DrawImage(image, 0, 0);
    canvas->Flush();
    Calls firstFrame = glRecorder().Calls({"BufferSubData", "DrawElements"});

    graphicsGeneration = 2;
    glRecorder().Clear();
    canvas->DrawImage(image, 0, 0);
    canvas->Flush();
    // Vertex and index buffers, and the attribute layout.
    EXPECT_EQ(glRecorder().Calls({"BufferData"}),
              (Calls{"BufferData(ARRAY_BUFFER,65520,null,STREAM_DRAW)",
                     "BufferData(ELEMENT_ARRAY_BUFFER,28080,data,STATIC_DRAW)"}));
    EXPECT_EQ(glRecorder().Calls({"VertexAttribPointer"}),
              (Calls{"VertexAttribPointer(0,2,FLOAT,0,28,0)", "VertexAttribPointer(1,2,FLOAT,0,28,8)",
                     "VertexAttribPointer(2,2,FLOAT,0,28,16)", "VertexAttribPointer(3,4,UNSIGNED_BYTE,1,28,24)"}));
    // The fast shader's one program, and the white texture with its pixel.
    EXPECT_EQ(glRecorder().Calls({"LinkProgram"}).size(), 1u);
    EXPECT_EQ(glRecorder().Calls({"TexImage2D"}), (Calls{"TexImage2D(TEXTURE_2D,1,1,null)",
                                                         "TexImage2D(TEXTURE_2D,1,1,pixels)"}));
    EXPECT_EQ(glRecorder().Calls({"BufferSubData", "DrawElements"}), firstFrame);

    // The frame after that rebuilds nothing.
    glRecorder().Clear();
    canvas->DrawImage(image, 0, 0);
    canvas->Flush();
    EXPECT_TRUE(glRecorder().Calls({"BufferData", "LinkProgram", "TexImage2D"}).empty());
}

// What the collection test holds: the collector sees only roots.
gc_root<c_Canvas> heldCanvas;
gc_root<c_Image2> heldImage;
gc_root<c_Image2> heldSprite;

bool Live(const gc_object* object) {
    return object && gc_find_object(reinterpret_cast<uintptr_t>(object)) != nullptr;
}

void EndCycles() {
    gc_full_collection();
    gc_full_collection();
    gc_destroy_garbage(INT_MAX);
}

// Draws 40 quads of each image held, the sprite first (enough to grow the
// vertex buffer), and flushes.
Calls DrawFrame() {
    glRecorder().Clear();
    heldCanvas->SetColor(1, 1, 1);
    for (c_Image2* image : {heldSprite.get(), heldImage.get()})
        if (image)
            for (int i = 0; i < 40; ++i) heldCanvas->DrawImage(image, static_cast<float>(i), 0, 30);
    heldCanvas->Flush();
    return glRecorder().calls;
}

TEST(CanvasCollection, StoresDuringAMarkingCycleKeepTheRendererReachable) {
    std::string data = StartRecordedRenderer();
    heldCanvas = nullptr;
    heldImage = heldSprite = nullptr;
    InitRenderer();
    heldCanvas = (new c_Canvas())->Init();
    std::vector<unsigned char> pixels(8 * 8 * 4, 255);
    WritePng(data + "/sheet.png", 8, 8, 4, pixels);

    // Everything reachable is black and the cycle stays open: every object
    // made from here on must reach a black one through a barrier.
    EndCycles();
    gc_mark_some(INT_MAX);
    heldImage = c_Image2::Load(String("sheet.png"), 0.5f, 0.5f, 0, nullptr);
    ASSERT_NE(heldImage, nullptr);
    DrawFrame();
    EXPECT_STREQ(gc_check_heap(), "");
    // The runs in the shared pool are black now and take the new sprite's
    // material.
    gc_mark_some(INT_MAX);
    c_Image2* sheet = c_Image2::Load(String("sheet.png"), 0, 0, 0, nullptr);
    heldSprite = new c_Image2(sheet, 2, 2, 4, 4, 0.5f, 0.5f);
    c_Texture* tint = c_Texture::ColorTexture(0x7f102030);
    DrawFrame();
    Calls second = DrawFrame();
    std::vector<std::vector<unsigned char>> secondUploads = glRecorder().uploads;
    EXPECT_STREQ(gc_check_heap(), "");

    EndCycles();
    EXPECT_STREQ(gc_check_heap(), "");
    c_Material* material = heldImage->material;
    const gc_object* reachable[] = {heldCanvas,
                                    heldCanvas->font,
                                    heldCanvas->stockMaterial,
                                    heldCanvas->ops,
                                    heldCanvas->data,
                                    heldCanvas->lights.Rep(),
                                    heldCanvas->lights[3],
                                    heldCanvas->lights[3]->vector.Rep(),
                                    heldCanvas->viewport.Rep(),
                                    heldCanvas->projMatrix.Rep(),
                                    heldCanvas->matrixStack.Rep(),
                                    heldCanvas->colorMask.Rep(),
                                    material,
                                    material->shader,
                                    material->ColorTexture(),
                                    material->ColorTexture()->data,
                                    material->TextureParam(String("NormalTexture")),
                                    heldSprite->material,
                                    fastShader,
                                    fastShader->programs[0],
                                    fastShader->programs[0]->materialUniforms.Rep(),
                                    fastShader->programs[0]->materialUniforms[0],
                                    bumpShader->programs[4],
                                    lightMapShader,
                                    defaultFont,
                                    defaultFont->glyphs[95],
                                    defaultFont->glyphs[95]->image,
                                    defaultFont->glyphs[95]->image->material,
                                    nullRun,
                                    freeOps,
                                    freeOps->data.Rep(),
                                    tint,
                                    c_Texture::WhiteTexture(),
                                    glState.Material()};
    for (size_t i = 0; i < sizeof reachable / sizeof reachable[0]; ++i)
        EXPECT_TRUE(Live(reachable[i])) << "object " << i << " was collected";
    EXPECT_EQ(c_Texture::ColorTexture(0x7f102030), tint);
    // The same frame again, drawn from what survived.
    EXPECT_EQ(DrawFrame(), second);
    EXPECT_TRUE(glRecorder().uploads == secondUploads);
    heldCanvas = nullptr;
    heldImage = heldSprite = nullptr;
}

}  // namespace
