// Draw lists: the matrix, the colour, the vertices written, how quads merge
// into runs, and the exact uploads and draw calls of Render.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "canvas/canvas.h"
#include "canvas/font_characters.h"
#include "canvas/image.h"
#include "canvas/material.h"
#include "canvas/renderer.h"
#include "canvas/shader.h"
#include "canvas/texture.h"
#include "host/data_buffer.h"
#include "tests/support/canvas_test_support.h"
#include "tests/support/gl_recorder.h"

namespace {

struct Vertex {
    float x, y, s, t, ix, iy;
    uint32_t color;
};

Vertex VertexAt(c_DrawList* list, int index) {
    Vertex v;
    std::memcpy(&v, list->data->Data() + index * VERTEX_BYTES, VERTEX_BYTES);
    return v;
}

class DrawListTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartRecordedRenderer();
        InitRenderer();
    }

    // A material with a colour texture of the given size, on the fast shader.
    c_Material* MaterialOfSize(int width, int height) {
        c_Material* material = (new c_Material())->Init(fastShader);
        c_Texture* texture = new c_Texture(width, height, 4, 0, (new c_DataBuffer())->New(width * height * 4));
        material->PutTextureParam(String("ColorTexture"), texture);
        texture->Release();
        return material;
    }

    c_Image2* Image(c_Material* material, float handle = 0.5f) { return new c_Image2(material, handle, handle); }

    // A run of `count` vertices of the given primitive size, written by hand
    // (only quads have a drawing operation), starting after what is recorded.
    void PushRun(c_DrawList* list, c_Material* material, int order, int count) {
        if (list->next + count * VERTEX_BYTES > list->data->Length())
            GrowTo(list, list->next + count * VERTEX_BYTES);
        c_DrawOp* run = new c_DrawOp();
        run->material = material;
        run->blend = list->blend;
        run->order = order;
        run->count = count;
        list->ops->Push(run);
        list->op = run;
        for (int i = 0; i < count; ++i) list->PutVertex(static_cast<float>(i), 0, 0, 0);
    }

    static void GrowTo(c_DrawList* list, int bytes) {
        c_DataBuffer* bigger = (new c_DataBuffer())->New(bytes);
        std::memcpy(bigger->Data(), list->data->Data(), static_cast<size_t>(list->next));
        list->data = bigger;
    }

    // A canvas ready to draw whose set-up calls are already out of the record.
    c_Canvas* ReadyCanvas() {
        c_Canvas* canvas = (new c_Canvas())->Init();
        canvas->Validate();
        glRecorder().Clear();
        return canvas;
    }
};

TEST_F(DrawListTest, QuadsOfOneMaterialMergeAndAChangeStartsARun) {
    c_Material* a = new c_Material();
    c_Material* b = new c_Material();
    c_DrawList* list = new c_DrawList();
    list->StartPrimitive(a);
    list->StartPrimitive(a);
    ASSERT_EQ(list->ops->Length(), 1);
    EXPECT_EQ(list->ops->Get(0)->count, 8);

    list->StartPrimitive(b);
    list->StartPrimitive(a);
    ASSERT_EQ(list->ops->Length(), 3);
    EXPECT_EQ(list->ops->Get(0)->material, a);
    EXPECT_EQ(list->ops->Get(1)->material, b);
    EXPECT_EQ(list->ops->Get(2)->material, a);
    EXPECT_EQ(list->ops->Get(2)->count, 4);
}

TEST_F(DrawListTest, ANullMaterialIsTheStockMaterialAndABlendChangeSplitsTheRun) {
    c_Material* stock = new c_Material();
    c_DrawList* list = new c_DrawList();
    list->stockMaterial = stock;
    list->StartPrimitive(nullptr);
    list->StartPrimitive(stock);
    ASSERT_EQ(list->ops->Length(), 1);
    EXPECT_EQ(list->ops->Get(0)->material, stock);

    list->blend = BlendAdd;
    list->StartPrimitive(stock);
    ASSERT_EQ(list->ops->Length(), 2);
    EXPECT_EQ(list->ops->Get(1)->blend, BlendAdd);
}

TEST_F(DrawListTest, ResetRecyclesRunsThroughTheSharedPool) {
    c_Material* a = new c_Material();
    c_Material* b = new c_Material();
    c_DrawList* first = new c_DrawList();
    first->StartPrimitive(a);
    first->StartPrimitive(b);
    c_DrawOp* run0 = first->ops->Get(0);
    c_DrawOp* run1 = first->ops->Get(1);
    first->Reset();
    EXPECT_EQ(first->next, 0);
    EXPECT_EQ(first->ops->Length(), 0);
    EXPECT_EQ(first->op, nullRun);
    EXPECT_EQ(freeOps->Length(), 2);
    EXPECT_EQ(run0->material, nullptr);

    // Another list takes them back, most recently freed first, and a quad of
    // the material last used before the reset still starts a new run.
    c_DrawList* second = new c_DrawList();
    second->StartPrimitive(b);
    second->StartPrimitive(a);
    EXPECT_EQ(second->ops->Get(0), run1);
    EXPECT_EQ(second->ops->Get(1), run0);
    EXPECT_EQ(freeOps->Length(), 0);
    first->StartPrimitive(b);
    EXPECT_EQ(first->ops->Length(), 1);
    EXPECT_EQ(first->ops->Get(0)->count, 4);
}

TEST_F(DrawListTest, TheVertexBufferGrowsByHalfAndKeepsWhatWasWritten) {
    c_Image2* image = Image(MaterialOfSize(8, 8), 0);
    c_DrawList* list = new c_DrawList();
    EXPECT_EQ(list->data->Length(), 4096);
    // 36 quads fill 4032 of the 4096 bytes; the 37th needs room.
    for (int i = 0; i < 37; ++i) list->DrawImage(image, static_cast<float>(i), 0);
    EXPECT_EQ(list->data->Length(), 6144);
    EXPECT_EQ(list->next, 37 * QUAD_BYTES);
    for (int i = 0; i < 37; ++i) EXPECT_EQ(VertexAt(list, 4 * i).x, static_cast<float>(i));
    list->Reset();
    EXPECT_EQ(list->data->Length(), 6144);
}

TEST_F(DrawListTest, ImageCornersGoThroughTheMatrixInOrder) {
    c_Material* material = MaterialOfSize(64, 32);
    c_Image2* sprite = new c_Image2(Image(material, 0), 16, 8, 16, 16, 0.5f, 0.5f);
    c_DrawList* list = new c_DrawList();
    list->SetColor(1, 1, 1);
    list->DrawImage(sprite, 100, 50);
    Vertex v[4];
    for (int i = 0; i < 4; ++i) v[i] = VertexAt(list, i);
    EXPECT_EQ(v[0].x, 92);
    EXPECT_EQ(v[0].y, 42);
    EXPECT_EQ(v[1].x, 108);
    EXPECT_EQ(v[1].y, 42);
    EXPECT_EQ(v[2].x, 108);
    EXPECT_EQ(v[2].y, 58);
    EXPECT_EQ(v[3].x, 92);
    EXPECT_EQ(v[3].y, 58);
    EXPECT_EQ(v[0].s, 0.25f);
    EXPECT_EQ(v[0].t, 0.25f);
    EXPECT_EQ(v[2].s, 0.5f);
    EXPECT_EQ(v[2].t, 0.75f);
    EXPECT_EQ(v[0].ix, 1);
    EXPECT_EQ(v[0].iy, 0);
    EXPECT_EQ(v[0].color, 0xffffffffu);
    // The matrix is back to identity afterwards.
    EXPECT_EQ(list->tx, 0);
    EXPECT_EQ(list->matrixTop, 0);
}

TEST_F(DrawListTest, MirroredAndRotatedImages) {
    c_Image2* image = Image(MaterialOfSize(16, 16));
    c_DrawList* list = new c_DrawList();
    list->DrawImage(image, 100, 50, 0, -1, 1);
    Vertex mirrored = VertexAt(list, 0);
    EXPECT_EQ(mirrored.x, 108);
    EXPECT_EQ(mirrored.y, 42);
    EXPECT_EQ(mirrored.ix, -1);

    list->DrawImage(image, 100, 50, 90);
    Vertex turned = VertexAt(list, 4);
    EXPECT_NEAR(turned.x, 92, 1e-4);
    EXPECT_NEAR(turned.y, 58, 1e-4);
    EXPECT_NEAR(turned.iy, -1, 1e-6);
}

// DrawImage's shortcuts (the identity worked out beforehand, no turn for
// angle 0, the turned and scaled matrix written down at once) against the
// rule taken step by step: Translate, a Transform by the cosine and sine of
// the angle times the float 0.017453292 in double precision, Scale, then the
// quad under that matrix. Every byte must agree, over identity and other
// current matrices, signed zeros, tiny, huge, infinite and NaN values. (Not
// infinite or NaN angles: their cosine and sine are both NaN, and which of
// two NaNs a sum keeps is the compiler's choice of operand order.)
TEST_F(DrawListTest, PlacedImagesHaveTheBitsOfTheRuleTakenStepByStep) {
    c_Material* material = MaterialOfSize(16, 16);
    // Handle 0 gives corners of -0.
    c_Image2* images[] = {new c_Image2(new c_Image2(material, 0, 0), 3, 5, 8, 6, 0.5f, 0.25f),
                          new c_Image2(material, 0, 0)};
    const float inf = INFINITY, nan = NAN;
    const Affine matrices[] = {{1, 0, 0, 1, 0, 0}, {1, -0.0f, 0, 1, 0, 0}, {2, 0.5f, -0.25f, 1, 3, -4},
                               {-1, 0, 0, 1, 0, -0.0f}, {-0.0f, 1, 1, -0.0f, 0, 0}};
    const float angles[] = {0, -0.0f, 90, -90, 180, 30, 1e-40f, 45.5f, 1e6f, 3e38f};
    const float scales[][2] = {{1, 1}, {-1, 1}, {2, -0.5f}, {0, 1}, {-0.0f, 1}, {1e-30f, 1e-30f}, {inf, 1}};
    const float places[][2] = {{0, 0}, {-0.0f, -0.0f}, {100.5f, -20}, {1e30f, 5}, {inf, 0}, {nan, 1}};
    c_DrawList* fast = new c_DrawList();
    c_DrawList* rule = new c_DrawList();
    // Which form: 0 DrawImage(image, x, y), 1 with an angle, 2 with an angle
    // and a scale.
    auto check = [&](int form, const Affine& m, c_Image2* image, float x, float y, float rz, float sx, float sy) {
        fast->Reset();
        rule->Reset();
        fast->SetMatrix(m);
        rule->SetMatrix(m);
        if (form == 0) fast->DrawImage(image, x, y);
        if (form == 1) fast->DrawImage(image, x, y, rz);
        if (form == 2) fast->DrawImage(image, x, y, rz, sx, sy);
        rule->Translate(x, y);
        if (form > 0) {
            double radians = rz * 0.017453292f;
            float c = static_cast<float>(std::cos(radians)), s = static_cast<float>(std::sin(radians));
            rule->Transform(c, -s, s, c, 0, 0);
        }
        if (form == 2) rule->Scale(sx, sy);
        rule->DrawImage(image);
        Affine after = fast->Matrix();
        bool same = fast->next == QUAD_BYTES && rule->next == QUAD_BYTES &&
                    std::memcmp(fast->data->Data(), rule->data->Data(), QUAD_BYTES) == 0 &&
                    std::memcmp(&after, &m, sizeof m) == 0;
        if (!same)
            ADD_FAILURE() << "form " << form << " matrix (" << m.ix << " " << m.iy << " " << m.jx << " " << m.jy
                          << " " << m.tx << " " << m.ty << ") at " << x << "," << y << " angle " << rz << " scale "
                          << sx << "," << sy;
        return same;
    };
    int failures = 0;
    for (const Affine& m : matrices)
        for (c_Image2* image : images)
            for (const auto& at : places) {
                failures += !check(0, m, image, at[0], at[1], 0, 1, 1);
                for (float rz : angles) {
                    failures += !check(1, m, image, at[0], at[1], rz, 1, 1);
                    for (const auto& scale : scales)
                        failures += !check(2, m, image, at[0], at[1], rz, scale[0], scale[1]);
                }
            }
    EXPECT_EQ(failures, 0);

    // Sprites in a row, as a frame draws them: every other one mirrored, the
    // angle changing or repeating.
    for (int i = 0; i < 2000; ++i) {
        float rz = static_cast<float>(i % 7 == 0 ? 0 : (i * 37) % 721 - 360) + 0.25f * (i % 3);
        if (!check(2, matrices[0], images[i & 1], 0.5f * i, 600 - 0.25f * i, rz, (i & 1) ? -1.0f : 1.0f, 1)) break;
    }
}

TEST_F(DrawListTest, TransformComposesOnTheRight) {
    c_DrawList* list = new c_DrawList();
    list->Translate(10, 20);
    list->Scale(2, 3);
    list->Translate(1, 1);
    // The last translation acts in the scaled space: (1, 1) -> (2, 3).
    EXPECT_EQ(list->tx, 12);
    EXPECT_EQ(list->ty, 23);
    EXPECT_EQ(list->ix, 2);
    EXPECT_EQ(list->jy, 3);
}

TEST_F(DrawListTest, TheMatrixStackIsARingOf64) {
    c_DrawList* list = new c_DrawList();
    for (int i = 1; i <= 65; ++i) {
        list->SetMatrix(1, 0, 0, 1, static_cast<float>(i), 0);
        list->PushMatrix();
    }
    // Saved: 2..65 (the 65th push overwrote matrix 1).
    list->PopMatrix();
    EXPECT_EQ(list->tx, 65);
    for (int i = 0; i < 63; ++i) list->PopMatrix();
    EXPECT_EQ(list->tx, 2);
    list->PopMatrix();
    EXPECT_EQ(list->tx, 65);
}

TEST_F(DrawListTest, ColourIsPackedPremultipliedAndClamped) {
    c_DrawList* list = new c_DrawList();
    list->alpha = 128;
    list->SetColor(1, 0.5f, 0);
    // A=128, B=0, G=int(0.5*128)=64, R=128.
    EXPECT_EQ(static_cast<uint32_t>(list->packedColor), 0x80004080u);
    list->alpha = 255;
    list->SetColor(2, -1, 1);
    EXPECT_EQ(static_cast<uint32_t>(list->packedColor), 0xffff00ffu);
}

TEST_F(DrawListTest, AnEmptyRenderMakesNoCallAtAll) {
    c_Canvas* canvas = ReadyCanvas();
    canvas->Render();
    canvas->Flush();
    EXPECT_TRUE(glRecorder().calls.empty());
}

TEST_F(DrawListTest, SixHundredQuadsOfOneMaterialGoUpInTwoPieces) {
    c_Canvas* canvas = ReadyCanvas();
    c_Image2* image = Image(MaterialOfSize(8, 8));
    for (int i = 0; i < 600; ++i) canvas->DrawImage(image, 0, 0);
    canvas->Flush();
    std::vector<std::string> expected = {
        "BufferSubData(ARRAY_BUFFER,0,65520)", "DrawElements(TRIANGLES,3510,UNSIGNED_SHORT,0)",
        "BufferSubData(ARRAY_BUFFER,0,1680)", "DrawElements(TRIANGLES,90,UNSIGNED_SHORT,0)"};
    EXPECT_EQ(glRecorder().Calls({"BufferSubData", "Draw"}), expected);
    // Nothing is read back from GL while drawing.
    EXPECT_TRUE(glRecorder().Calls({"Get"}).empty());
    // The second piece starts with the vertex after the first 2340.
    ASSERT_EQ(glRecorder().uploads.size(), 2u);
    EXPECT_EQ(std::memcmp(glRecorder().uploads[1].data(), canvas->data->Data() + 65520, 1680), 0);
}

TEST_F(DrawListTest, FourHundredQuadsOfEachOfTwoMaterialsGoUpInTwoUploads) {
    c_Canvas* canvas = ReadyCanvas();
    c_Image2* a = Image(MaterialOfSize(8, 8));
    c_Image2* b = Image(MaterialOfSize(8, 8));
    for (int i = 0; i < 400; ++i) canvas->DrawImage(a, 0, 0);
    for (int i = 0; i < 400; ++i) canvas->DrawImage(b, 0, 0);
    canvas->Flush();
    std::vector<std::string> expected = {
        "BufferSubData(ARRAY_BUFFER,0,44800)", "DrawElements(TRIANGLES,2400,UNSIGNED_SHORT,0)",
        "BufferSubData(ARRAY_BUFFER,0,44800)", "DrawElements(TRIANGLES,2400,UNSIGNED_SHORT,0)"};
    EXPECT_EQ(glRecorder().Calls({"BufferSubData", "Draw"}), expected);
}

TEST_F(DrawListTest, AnOversizedRunBetweenSmallOnesGoesUpAloneAndTheOthersKeepTheirBytes) {
    c_Canvas* canvas = ReadyCanvas();
    c_Image2* a = Image(MaterialOfSize(8, 8));
    c_Image2* b = Image(MaterialOfSize(8, 8));
    for (int i = 0; i < 100; ++i) canvas->DrawImage(a, static_cast<float>(i), 0);
    for (int i = 0; i < 600; ++i) canvas->DrawImage(b, static_cast<float>(i), 1);
    for (int i = 0; i < 10; ++i) canvas->DrawImage(a, static_cast<float>(i), 2);
    std::vector<unsigned char> recorded(canvas->data->Data(), canvas->data->Data() + canvas->next);
    canvas->Flush();
    // Run A alone (B does not fit beside it), B in two pieces, then C.
    std::vector<std::string> expected = {
        "BufferSubData(ARRAY_BUFFER,0,11200)", "DrawElements(TRIANGLES,600,UNSIGNED_SHORT,0)",
        "BufferSubData(ARRAY_BUFFER,0,65520)", "DrawElements(TRIANGLES,3510,UNSIGNED_SHORT,0)",
        "BufferSubData(ARRAY_BUFFER,0,1680)",  "DrawElements(TRIANGLES,90,UNSIGNED_SHORT,0)",
        "BufferSubData(ARRAY_BUFFER,0,1120)",  "DrawElements(TRIANGLES,60,UNSIGNED_SHORT,0)"};
    EXPECT_EQ(glRecorder().Calls({"BufferSubData", "Draw"}), expected);
    // Every byte goes up exactly once, in order.
    std::vector<unsigned char> sent;
    for (const auto& upload : glRecorder().uploads) sent.insert(sent.end(), upload.begin(), upload.end());
    EXPECT_TRUE(sent == recorded);
}

TEST_F(DrawListTest, PointsLinesTrianglesAndFansAreDrawnByTheirOrder) {
    c_Canvas* canvas = ReadyCanvas();
    c_Material* material = MaterialOfSize(8, 8);
    PushRun(canvas, material, 1, 2);
    PushRun(canvas, material, 2, 2);
    PushRun(canvas, material, 3, 3);
    PushRun(canvas, material, 5, 10);
    // A quad after a fan starts a run of its own, at vertex 17: block 1, quad 4.
    canvas->DrawImage(Image(material), 0, 0);
    ASSERT_EQ(canvas->ops->Length(), 5);
    canvas->Flush();
    std::vector<std::string> expected = {"BufferSubData(ARRAY_BUFFER,0,588)", "DrawArrays(POINTS,0,2)",
                                         "DrawArrays(LINES,2,2)",             "DrawArrays(TRIANGLES,4,3)",
                                         "DrawArrays(TRIANGLE_FAN,7,5)",      "DrawArrays(TRIANGLE_FAN,12,5)",
                                         "DrawElements(TRIANGLES,6,UNSIGNED_SHORT,7068)"};
    EXPECT_EQ(glRecorder().Calls({"BufferSubData", "Draw"}), expected);
}

TEST_F(DrawListTest, AnOversizedFanRunIsCutIntoWholeFans) {
    c_Canvas* canvas = ReadyCanvas();
    // 343 fans of 7 vertices: 2401 vertices. A piece holds 2340 / 7 = 334
    // whole fans, 2338 vertices; the last 9 fans follow from vertex 0 again.
    PushRun(canvas, MaterialOfSize(8, 8), 7, 2401);
    canvas->Flush();
    std::vector<std::string> uploads = glRecorder().Calls({"BufferSubData"});
    EXPECT_EQ(uploads, (std::vector<std::string>{"BufferSubData(ARRAY_BUFFER,0,65464)",
                                                 "BufferSubData(ARRAY_BUFFER,0,1764)"}));
    std::vector<std::string> fans = glRecorder().Calls({"DrawArrays"});
    ASSERT_EQ(fans.size(), 343u);
    EXPECT_EQ(fans[333], "DrawArrays(TRIANGLE_FAN,2331,7)");
    EXPECT_EQ(fans[334], "DrawArrays(TRIANGLE_FAN,0,7)");
    EXPECT_EQ(fans[342], "DrawArrays(TRIANGLE_FAN,56,7)");
    Vertex firstOfSecondPiece;
    std::memcpy(&firstOfSecondPiece, glRecorder().uploads.at(1).data(), VERTEX_BYTES);
    EXPECT_EQ(firstOfSecondPiece.x, 2338);
}

TEST_F(DrawListTest, SmallRunsShareOneUploadAndDrawFromTheirOffsets) {
    c_Canvas* canvas = ReadyCanvas();
    c_Image2* a = Image(MaterialOfSize(8, 8));
    c_Image2* b = Image(MaterialOfSize(8, 8));
    canvas->DrawImage(a, 0, 0);
    canvas->DrawImage(b, 0, 0);
    canvas->DrawImage(b, 0, 0);
    canvas->DrawImage(a, 0, 0);
    canvas->Flush();
    // Quad runs start at vertices 0, 4 and 12: block 0, quads 0, 1 and 3.
    std::vector<std::string> expected = {
        "BufferSubData(ARRAY_BUFFER,0,448)", "DrawElements(TRIANGLES,6,UNSIGNED_SHORT,0)",
        "DrawElements(TRIANGLES,12,UNSIGNED_SHORT,12)", "DrawElements(TRIANGLES,6,UNSIGNED_SHORT,36)"};
    EXPECT_EQ(glRecorder().Calls({"BufferSubData", "Draw"}), expected);
    // One program for all three runs; each material change binds its colour
    // texture on unit 0 again, and the sampler is pointed at unit 0 once.
    EXPECT_EQ(glRecorder().Calls({"UseProgram"}).size(), 1u);
    unsigned textureA = a->material->ColorTexture()->textureName, textureB = b->material->ColorTexture()->textureName;
    ASSERT_EQ(glRecorder().draws.size(), 3u);
    EXPECT_EQ(glRecorder().draws[0].textures[0], textureA);
    EXPECT_EQ(glRecorder().draws[1].textures[0], textureB);
    EXPECT_EQ(glRecorder().draws[2].textures[0], textureA);
    int samplerBinds = 0;
    for (const std::string& call : glRecorder().Calls({"Uniform1i"}))
        if (call.size() > 3 && call.compare(call.size() - 3, 3, ",0)") == 0) ++samplerBinds;
    EXPECT_EQ(samplerBinds, 1);
}

TEST_F(DrawListTest, ARunStartingAtVertexSixUsesIndexBlockTwo) {
    c_Canvas* canvas = ReadyCanvas();
    c_Material* material = MaterialOfSize(8, 8);
    // Two triangles first, written by hand: the quads then start at vertex 6.
    c_DrawOp* triangles = new c_DrawOp();
    triangles->material = material;
    triangles->blend = BlendAlpha;
    triangles->order = 3;
    triangles->count = 6;
    canvas->ops->Push(triangles);
    canvas->op = triangles;
    for (int i = 0; i < 6; ++i) canvas->PutVertex(0, 0, 0, 0);
    canvas->DrawImage(Image(material), 0, 0);
    canvas->Flush();

    int offset = ((6 % 4) * 585 + 6 / 4) * 12;
    std::vector<std::string> expected = {"BufferSubData(ARRAY_BUFFER,0,280)", "DrawArrays(TRIANGLES,0,6)",
                                         "DrawElements(TRIANGLES,6,UNSIGNED_SHORT," + std::to_string(offset) + ")"};
    EXPECT_EQ(glRecorder().Calls({"BufferSubData", "Draw"}), expected);

    // The index buffer made at start-up holds vertices 6..9 there.
    const std::vector<unsigned char>* indices = nullptr;
    for (const auto& data : glRecorder().bufferData)
        if (data.size() == INDEX_BUFFER_BYTES) indices = &data;
    ASSERT_NE(indices, nullptr);
    uint16_t quad[6];
    std::memcpy(quad, indices->data() + offset, sizeof quad);
    EXPECT_EQ(std::vector<uint16_t>(quad, quad + 6), (std::vector<uint16_t>{6, 7, 8, 6, 8, 9}));
}

TEST_F(DrawListTest, BlendModesAreAppliedOnlyWhenTheyChange) {
    c_Canvas* canvas = ReadyCanvas();
    c_Image2* image = Image(MaterialOfSize(8, 8));
    canvas->DrawImage(image, 0, 0);
    canvas->blend = BlendMultiply;
    canvas->DrawImage(image, 0, 0);
    canvas->blend = BlendNone;
    canvas->DrawImage(image, 0, 0);
    canvas->Flush();
    canvas->blend = BlendNone;
    canvas->DrawImage(image, 0, 0);
    canvas->Flush();
    std::vector<std::string> expected = {"Enable(BLEND)", "BlendFunc(ONE,ONE_MINUS_SRC_ALPHA)",
                                         "BlendFunc(DST_COLOR,ONE_MINUS_SRC_ALPHA)", "Disable(BLEND)"};
    EXPECT_EQ(glRecorder().Calls({"Enable(BLEND", "Disable(BLEND", "BlendFunc"}), expected);
}

}  // namespace

namespace {

// The cell of `c` in the picture of the font's further characters.
int MoreCell(char16_t c) {
    for (int i = 0; i < kMoreFontCharacterCount; ++i)
        if (kMoreFontCharacters[i] == c) return i;
    return -1;
}

// Text: one quad per character from the font's glyph cells, advancing by the
// glyph width; rectangles in the current colour and alpha.
TEST_F(DrawListTest, TextAndRectanglesWriteTheirQuads) {
    c_Canvas* canvas = (new c_Canvas())->Init();
    // The test font: 96 cells of 10 x 16 with a border, glyphs of 8 x 14,
    // and its further characters in cells of the same size.
    const Char text[] = {'A', 1, 0xE9, kNarrowNoBreakSpace, ':', 0};
    canvas->DrawText(String(text), 10, 20, 2);
    ASSERT_EQ(canvas->next, 5 * QUAD_BYTES);
    Vertex a0 = VertexAt(canvas, 0), a2 = VertexAt(canvas, 2);
    EXPECT_FLOAT_EQ(a0.x, 10);
    EXPECT_FLOAT_EQ(a2.x, 26);
    EXPECT_FLOAT_EQ(a2.y, 48);
    EXPECT_FLOAT_EQ(a0.s, 331.0f / 960);
    EXPECT_FLOAT_EQ(a2.s, 339.0f / 960);
    EXPECT_FLOAT_EQ(a2.t, 15.0f / 16);
    // A character the font lacks draws the replacement mark, after the
    // advance; a letter beyond the first 96 comes from its own cell.
    const float moreWidth = kMoreFontCharacterCount * 10.0f;
    Vertex b0 = VertexAt(canvas, 4), e0 = VertexAt(canvas, 8);
    EXPECT_FLOAT_EQ(b0.x, 26);
    EXPECT_FLOAT_EQ(b0.s, (MoreCell(kReplacementCharacter) * 10 + 1) / moreWidth);
    EXPECT_FLOAT_EQ(e0.x, 42);
    EXPECT_FLOAT_EQ(e0.s, (MoreCell(0xE9) * 10 + 1) / moreWidth);
    // The narrow no-break space advances half a glyph.
    EXPECT_FLOAT_EQ(VertexAt(canvas, 16).x, 10 + 2 * (3 * 8 + 4));
    EXPECT_FLOAT_EQ(canvas->TextWidth(String("abc"), 2), 48);
    EXPECT_FLOAT_EQ(canvas->TextWidth(String(text), 2), 2 * (4 * 8 + 4));

    canvas->SetColor(1, 0, 0);
    canvas->SetAlpha(0.5f);
    canvas->DrawRect(1, 2, 3, 4);
    Vertex r2 = VertexAt(canvas, 22);
    EXPECT_FLOAT_EQ(r2.x, 4);
    EXPECT_FLOAT_EQ(r2.y, 6);
    // Premultiplied: red at half alpha.
    EXPECT_EQ(r2.color, 0x7F00007Fu);
}

}  // namespace
