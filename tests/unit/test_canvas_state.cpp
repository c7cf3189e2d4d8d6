// The canvas's lazy GL state: viewport and scissor with the window's flip,
// clears, the projection, unprojection and rebuilding after a new context,
// all checked as exact call sequences through the recording GL layer.
#include <gtest/gtest.h>

#include "canvas/canvas.h"
#include "canvas/image.h"
#include "canvas/material.h"
#include "canvas/render_state.h"
#include "canvas/renderer.h"
#include "canvas/shader.h"
#include "host/game.h"
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
    EXPECT_TRUE(canvas->clearNeedsScissor);
}

TEST_F(CanvasStateTest, TheWholeWindowClearsWithoutScissor) {
    canvas->SetViewport(0, 0, 800, 600);
    canvas->Clear(0, 0, 0, 1);
    Calls expected = {"Viewport(0,0,800,600)", "Disable(SCISSOR_TEST)", "ClearColor(0,0,0,1)",
                      "Clear(COLOR_BUFFER_BIT)"};
    EXPECT_EQ(glRecorder().Calls(kStateCalls), expected);
    EXPECT_FALSE(canvas->clearNeedsScissor);
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
    expected = {"Viewport(80,0,640,600)", "Enable(SCISSOR_TEST)", "Scissor(680,575,40,25)"};
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
    EXPECT_EQ(renderState.appliedBlend, -1);
    EXPECT_EQ(renderState.currentProgram, nullptr);
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

}  // namespace
