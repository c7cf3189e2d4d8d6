// Textures (loading, widening, premultiplication, flags, rebuilding), images
// and sub-images, materials with their parameters, the bump shader's search
// for companion maps, reference counts, and fonts.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "canvas/font.h"
#include "canvas/gl_program.h"
#include "canvas/image.h"
#include "canvas/material.h"
#include "canvas/renderer.h"
#include "canvas/shader.h"
#include "canvas/texture.h"
#include "host/game.h"
#include "host/gl_api.h"
#include "tests/support/canvas_test_support.h"
#include "tests/support/gl_recorder.h"
#include "tests/unit/host_test_support.h"

namespace {

using Calls = std::vector<std::string>;

class MaterialTest : public ::testing::Test {
protected:
    std::string data;
    void SetUp() override {
        data = StartRecordedRenderer();
        InitRenderer();
        glRecorder().Clear();
        TestGame().imageLoads.clear();
    }

    void Picture(const std::string& name, int width = 4, int height = 2, std::vector<unsigned char> rgba = {}) {
        if (rgba.empty()) rgba.assign(static_cast<size_t>(width) * height * 4, 255);
        WritePng(data + "/" + name, width, height, 4, rgba);
    }

    std::vector<std::string> LoadsRelative() {
        std::vector<std::string> names;
        const std::string prefix = "ravlen://data/";
        for (const std::string& path : TestGame().imageLoads)
            names.push_back(path.compare(0, prefix.size(), prefix) == 0 ? path.substr(prefix.size()) : path);
        return names;
    }

    static std::vector<int> Pixels(c_Texture* texture) {
        std::vector<int> bytes;
        for (int i = 0; i < texture->data->Length(); ++i) bytes.push_back(texture->data->Data()[i]);
        return bytes;
    }
};

TEST_F(MaterialTest, ColourTexturesAreSharedAndHoldTheirColour) {
    c_Texture* flat = c_Texture::ColorTexture(static_cast<int>(0xff888888u));
    EXPECT_EQ(c_Texture::ColorTexture(static_cast<int>(0xff888888u)), flat);
    EXPECT_EQ(c_Texture::FlatTexture(), flat);
    EXPECT_EQ(Pixels(flat), (std::vector<int>{0x88, 0x88, 0x88, 0xff}));
    EXPECT_EQ(Pixels(c_Texture::BlackTexture()), (std::vector<int>{0, 0, 0, 0xff}));
    EXPECT_NE(c_Texture::WhiteTexture(), c_Texture::BlackTexture());
}

TEST_F(MaterialTest, LoadedPicturesAreWidenedAndPremultiplied) {
    Picture("rgba.png", 2, 1, {255, 128, 0, 128, 10, 20, 30, 0});
    c_Texture* rgba = c_Texture::Load(String("rgba.png"), 4, 0);
    ASSERT_NE(rgba, nullptr);
    EXPECT_EQ(Pixels(rgba), (std::vector<int>{128, 64, 0, 128, 0, 0, 0, 0}));

    WritePng(data + "/grey.png", 1, 1, 1, {200});
    WritePng(data + "/greyalpha.png", 1, 1, 2, {200, 51});
    WritePng(data + "/rgb.png", 1, 1, 3, {1, 2, 3});
    EXPECT_EQ(Pixels(c_Texture::Load(String("grey.png"), 4, 0)), (std::vector<int>{200, 200, 200, 255}));
    EXPECT_EQ(Pixels(c_Texture::Load(String("greyalpha.png"), 4, 0)), (std::vector<int>{40, 40, 40, 51}));
    EXPECT_EQ(Pixels(c_Texture::Load(String("rgb.png"), 4, 0)), (std::vector<int>{1, 2, 3, 255}));

    EXPECT_EQ(c_Texture::Load(String("missing.png"), 4, 0), nullptr);
    std::FILE* junk = std::fopen((data + "/junk.png").c_str(), "wb");
    std::fputs("not a picture", junk);
    std::fclose(junk);
    EXPECT_EQ(c_Texture::Load(String("junk.png"), 4, 0), nullptr);
}

TEST_F(MaterialTest, PathsAreCompletedForTheDataFolder) {
    EXPECT_EQ(CompleteDataPath(String("font.png")), String("ravlen://data/font.png"));
    EXPECT_EQ(CompleteDataPath(String("./a.png")), String("./a.png"));
    EXPECT_EQ(CompleteDataPath(String("/tmp/a.png")), String("/tmp/a.png"));
    EXPECT_EQ(CompleteDataPath(String("ravlen://data/a.png")), String("ravlen://data/a.png"));
    // ":/" not right after the scheme: a file name of the data folder.
    EXPECT_EQ(CompleteDataPath(String("dir/a:/b.png")), String("ravlen://data/dir/a:/b.png"));
}

TEST_F(MaterialTest, FlagsChooseFiltersAndClamps) {
    new c_Texture(2, 2, 4, LinearFilter | MipmapFilter | ClampU, (new c_DataBuffer())->New(16));
    EXPECT_EQ(glRecorder().Calls({"TexParameteri"}),
              (Calls{"TexParameteri(TEXTURE_2D,MAG_FILTER,LINEAR)",
                     "TexParameteri(TEXTURE_2D,MIN_FILTER,LINEAR_MIPMAP_LINEAR)",
                     "TexParameteri(TEXTURE_2D,WRAP_S,CLAMP_TO_EDGE)"}));
    glRecorder().Clear();
    (new c_Texture())->Init(2, 2, 4, MipmapFilter | ClampV);
    EXPECT_EQ(glRecorder().Calls({"TexParameteri"}),
              (Calls{"TexParameteri(TEXTURE_2D,MAG_FILTER,NEAREST)",
                     "TexParameteri(TEXTURE_2D,MIN_FILTER,NEAREST_MIPMAP_NEAREST)",
                     "TexParameteri(TEXTURE_2D,WRAP_T,CLAMP_TO_EDGE)"}));
}

// Mipmapped pictures get every level from their pixels, down to 1 x 1, as
// GL sizes them; the pixels of each are 2x2 averages.
TEST_F(MaterialTest, MipmapLevelsAreMadeFromThePixels) {
    c_DataBuffer* pixels = (new c_DataBuffer())->New(5 * 2 * 4);
    new c_Texture(5, 2, 4, LinearFilter | MipmapFilter, pixels);
    EXPECT_EQ(glRecorder().Calls({"TexImage2D", "GenerateMipmap"}),
              (Calls{"TexImage2D(TEXTURE_2D,5,2,null)", "TexImage2D(TEXTURE_2D,5,2,pixels)",
                     "TexImage2D(TEXTURE_2D,level 1,2,1,pixels)", "TexImage2D(TEXTURE_2D,level 2,1,1,pixels)"}));

    // Premultiplied pixels average to premultiplied pixels; rounded; an odd
    // last column is left out; a side of one stays one.
    const unsigned char block[] = {255, 0, 0, 255, 0, 0, 0, 0,   9, 9, 9, 9,  // row 0 of 3
                                   0, 255, 0, 255, 0, 0, 1, 1,   9, 9, 9, 9};
    unsigned char half[4];
    HalveRgba(block, 3, 2, half);
    EXPECT_EQ(std::vector<int>(half, half + 4), (std::vector<int>{64, 64, 0, 128}));
    const unsigned char column[] = {10, 20, 30, 40, 20, 30, 40, 50};
    HalveRgba(column, 1, 2, half);
    EXPECT_EQ(std::vector<int>(half, half + 4), (std::vector<int>{15, 25, 35, 45}));
}

TEST_F(MaterialTest, AFramebufferTargetGetsAFramebufferAndRestoresTheBinding) {
    c_Texture* target = (new c_Texture())->Init(8, 8, 4, FramebufferTarget);
    EXPECT_NE(target->framebufferName, 0);
    Calls calls = glRecorder().Calls({"BindFramebuffer", "FramebufferTexture2D"});
    EXPECT_EQ(calls, (Calls{"BindFramebuffer(FRAMEBUFFER," + std::to_string(target->framebufferName) + ")",
                            "FramebufferTexture2D(FRAMEBUFFER," + std::to_string(target->textureName) + ")",
                            "BindFramebuffer(FRAMEBUFFER,0)"}));
}

TEST_F(MaterialTest, ANewContextRecreatesATextureAndUploadsItsPixels) {
    Picture("pic.png");
    c_Texture* texture = c_Texture::Load(String("pic.png"), 4, 0);
    int oldName = texture->textureName;
    glRecorder().Clear();
    EXPECT_EQ(texture->TextureName(), oldName);
    EXPECT_TRUE(glRecorder().calls.empty());

    graphicsGeneration = 2;
    int newName = texture->TextureName();
    EXPECT_NE(newName, oldName);
    EXPECT_EQ(texture->builtGeneration, 2);
    EXPECT_EQ(glRecorder().Calls({"GenTextures", "TexImage2D"}),
              (Calls{"GenTextures(1)", "TexImage2D(TEXTURE_2D,4,2,null)", "TexImage2D(TEXTURE_2D,4,2,pixels)"}));
    // A texture of an older context is not deleted in this one.
    graphicsGeneration = 3;
    glRecorder().Clear();
    texture->Release();
    EXPECT_TRUE(glRecorder().Calls({"DeleteTextures"}).empty());
    EXPECT_EQ(texture->textureName, 0);
}

TEST_F(MaterialTest, SubImagesCutRectanglesRelativeToTheirSource) {
    c_Material* material = (new c_Material())->Init(fastShader);
    c_Texture* texture = (new c_Texture())->Init(64, 32, 4, 0);
    material->PutTextureParam(String("ColorTexture"), texture);
    c_Image2* whole = new c_Image2(material, 0, 0);
    c_Image2* sub = new c_Image2(whole, 16, 8, 16, 16, 0.5f, 0.5f);
    EXPECT_EQ(sub->x0, -8);
    EXPECT_EQ(sub->x1, 8);
    EXPECT_EQ(sub->y0, -8);
    EXPECT_EQ(sub->y1, 8);
    EXPECT_EQ(sub->s0, 0.25f);
    EXPECT_EQ(sub->t0, 0.25f);
    EXPECT_EQ(sub->s1, 0.5f);
    EXPECT_EQ(sub->t1, 0.75f);
    EXPECT_FLOAT_EQ(sub->PivotX(), 0.5f);
    c_Image2* subSub = new c_Image2(sub, 4, 4, 8, 8, 1, 0);
    EXPECT_EQ(subSub->x, 20);
    EXPECT_EQ(subSub->y, 12);
    EXPECT_FLOAT_EQ(subSub->PivotX(), 1);
    EXPECT_FLOAT_EQ(subSub->PivotY(), 0);
    // The material and the image each hold one reference.
    EXPECT_EQ(material->refCount, 4);
}

TEST_F(MaterialTest, ImageLoadMasksTheFlagsAndBalancesReferences) {
    Picture("atlas.png");
    c_Image2* image = c_Image2::Load(String("atlas.png"), 0.5f, 0.5f, 0xffff, nullptr);
    ASSERT_NE(image, nullptr);
    c_Material* material = image->material;
    c_Texture* color = material->ColorTexture();
    EXPECT_EQ(color->Flags(), 0x10f);
    EXPECT_EQ(material->shader, bumpShader);
    EXPECT_EQ(material->refCount, 1);
    EXPECT_EQ(color->refCount, 1);
    int colorName = color->textureName;

    glRecorder().Clear();
    image->Discard();
    EXPECT_EQ(image->material, nullptr);
    EXPECT_EQ(material->refCount, -1);
    EXPECT_EQ(color->refCount, -1);
    EXPECT_EQ(glRecorder().Calls({"DeleteTextures"}), Calls{"DeleteTextures(1," + std::to_string(colorName) + ")"});
    // The shared defaults of the bump material lose their reference but live on.
    EXPECT_GE(c_Texture::BlackTexture()->refCount, 1);

    EXPECT_EQ(c_Image2::Load(String("none.png"), 0, 0, 0, nullptr), nullptr);
}

TEST_F(MaterialTest, BumpMaterialWithOnlyAColourPicture) {
    Picture("atlas.png");
    c_Material* material = c_Material::Load(String("atlas.png"), 0, bumpShader);
    ASSERT_NE(material, nullptr);
    EXPECT_EQ(LoadsRelative(), (std::vector<std::string>{"atlas.png", "atlas_s.png", "atlas_spec.png",
                                                         "atlas_specular.png", "atlas_SPECULAR.png", "atlas_n.png",
                                                         "atlas_norm.png", "atlas_normal.png", "atlas_NORMALS.png"}));
    EXPECT_EQ(material->ColorTexture()->Width(), 4);
    EXPECT_EQ(material->TextureParam(String("SpecularTexture")), c_Texture::BlackTexture());
    EXPECT_EQ(material->TextureParam(String("NormalTexture")), c_Texture::FlatTexture());
    Array<float> ambient = material->VectorParam(String("AmbientColor"), Array<float>());
    EXPECT_EQ(std::vector<float>(ambient.Data(), ambient.Data() + 4), (std::vector<float>{1, 1, 1, 1}));
    EXPECT_EQ(material->FloatParam(String("Roughness"), 0), 1.0f);
}

TEST_F(MaterialTest, BumpMaterialFindsCompanionMapsBySuffix) {
    Picture("rock_d.png", 2, 2);
    Picture("rock_n.png", 8, 8);
    c_Material* material = c_Material::Load(String("rock.png"), 0, nullptr);
    ASSERT_NE(material, nullptr);
    EXPECT_EQ(material->ColorTexture()->Width(), 2);
    EXPECT_EQ(material->TextureParam(String("NormalTexture"))->Width(), 8);
    EXPECT_EQ(material->TextureParam(String("SpecularTexture")), c_Texture::BlackTexture());
    Array<float> ambient = material->VectorParam(String("AmbientColor"), Array<float>());
    EXPECT_EQ(std::vector<float>(ambient.Data(), ambient.Data() + 4), (std::vector<float>{0, 0, 0, 1}));
    EXPECT_EQ(material->FloatParam(String("Roughness"), 0), 0.5f);
    // Only the material holds the textures found.
    EXPECT_EQ(material->ColorTexture()->refCount, 1);

    EXPECT_EQ(c_Material::Load(String("nothing.png"), 0, nullptr), nullptr);
}

TEST_F(MaterialTest, ADotBeforeASlashIsNoExtension) {
    mkdir((data + "/dir.b").c_str(), 0700);
    Picture("dir.b/pic.png");
    ASSERT_NE(c_Material::Load(String("dir.b/pic"), 0, nullptr), nullptr);
    EXPECT_EQ(LoadsRelative().at(0), "dir.b/pic.png");
}

TEST_F(MaterialTest, TheBaseRuleLoadsOnlyTheNamedPicture) {
    Picture("plain.png");
    c_Material* material = c_Material::Load(String("plain.png"), 0, fastShader);
    ASSERT_NE(material, nullptr);
    EXPECT_EQ(LoadsRelative(), std::vector<std::string>{"plain.png"});
    EXPECT_EQ(c_Material::Load(String("gone.png"), 0, fastShader), nullptr);
}

TEST_F(MaterialTest, ParametersAreFixedOnceInitialised) {
    c_Material* bump = (new c_Material())->Init(bumpShader);
    bump->PutFloatParam(String("Shininess"), 3);
    EXPECT_EQ(bump->FloatParam(String("Shininess"), -1), -1);
    bump->PutFloatParam(String("Roughness"), 0.25f);
    EXPECT_EQ(bump->FloatParam(String("Roughness"), -1), 0.25f);
    bump->PutTextureParam(String("GlowTexture"), c_Texture::WhiteTexture());
    EXPECT_EQ(bump->TextureParam(String("GlowTexture")), nullptr);

    c_Material* fresh = new c_Material();
    fresh->PutFloatParam(String("Shininess"), 3);
    EXPECT_EQ(fresh->FloatParam(String("Shininess"), -1), 3);
    EXPECT_EQ(fresh->Width(), 0);
}

TEST_F(MaterialTest, SettingTheSameTextureTwiceKeepsTheCountBalanced) {
    c_Material* material = (new c_Material())->Init(fastShader);
    c_Texture* texture = (new c_Texture())->Init(2, 2, 4, 0);
    material->PutTextureParam(String("ColorTexture"), texture);
    material->PutTextureParam(String("ColorTexture"), texture);
    EXPECT_EQ(texture->refCount, 2);
    c_Texture* other = (new c_Texture())->Init(2, 2, 4, 0);
    material->PutTextureParam(String("ColorTexture"), other);
    EXPECT_EQ(texture->refCount, 1);
    EXPECT_EQ(material->ColorTexture(), other);
    material->Release();
    EXPECT_EQ(other->refCount, 1);
}

TEST_F(MaterialTest, BindingSendsTheDeclaredUniforms) {
    c_Material* material = (new c_Material())->Init(matteShader);
    Array<c_GLUniform*> uniforms = matteShader->ProgramForLightCount()->materialUniforms;
    std::vector<std::string> names;
    for (int i = 0; i < uniforms.Length(); ++i) names.push_back(uniforms[i]->name.ToUtf8());
    ASSERT_EQ(names, (std::vector<std::string>{"ColorTexture", "AmbientColor", "Roughness"}));
    glRecorder().Clear();
    material->Bind();
    material->Bind();
    std::string color = std::to_string(uniforms[0]->location);
    std::string ambient = std::to_string(uniforms[1]->location);
    std::string roughness = std::to_string(uniforms[2]->location);
    EXPECT_EQ(glRecorder().Calls({"Uniform1i(" + color, "Uniform4fv(" + ambient, "Uniform1f", "ActiveTexture"}),
              (Calls{"ActiveTexture(TEXTURE7)", "ActiveTexture(TEXTURE0)", "Uniform1i(" + color + ",0)",
                     "Uniform4fv(" + ambient + ",1,0 0 0 1)", "Uniform1f(" + roughness + ",1)"}));
    EXPECT_EQ(glRecorder().Calls({"UseProgram"}).size(), 1u);
}

TEST_F(MaterialTest, FontsCutEqualCellsFromOneRow) {
    Picture("font.png", 960, 16);
    c_Font* bordered = c_Font::Load(String("font.png"), 32, 96, true);
    ASSERT_NE(bordered, nullptr);
    c_Glyph* a = bordered->glyphs[65 - 32];
    EXPECT_EQ(a->code, 65);
    EXPECT_EQ(a->x, 331);
    EXPECT_EQ(a->y, 1);
    EXPECT_EQ(a->width, 8);
    EXPECT_EQ(a->height, 14);
    EXPECT_EQ(a->advance, 8.0f);
    EXPECT_EQ(bordered->height, 14.0f);

    c_Font* plain = c_Font::Load(String("font.png"), 32, 96, false);
    a = plain->glyphs[65 - 32];
    EXPECT_EQ(a->x, 330);
    EXPECT_EQ(a->y, 0);
    EXPECT_EQ(a->width, 10);
    EXPECT_EQ(a->height, 16);

    // Too narrow for one pixel per character: no font rather than a division by zero.
    Picture("narrow.png", 50, 16);
    EXPECT_EQ(c_Font::Load(String("narrow.png"), 32, 96, true), nullptr);
    EXPECT_EQ(c_Font::Load(String("absent.png"), 32, 96, true), nullptr);
}

TEST_F(MaterialTest, AFontPictureFarLargerThanItsCellsIsRefusedUndecoded) {
    long before = PeakResidentKiB();
    EXPECT_EQ(c_Font::Load(String(HugePicturePath().c_str()), 32, 96, true), nullptr);
    // Decoded and widened it would take over 300 MiB.
    EXPECT_LT(PeakResidentKiB() - before, 32 * 1024);

    // The limit grows with the cells: 200 x 100 pixels is too many for one
    // cell of at most 128 x 128, and fits two.
    Picture("wide.png", 200, 100);
    EXPECT_EQ(c_Font::Load(String("wide.png"), 32, 1, false), nullptr);
    EXPECT_NE(c_Font::Load(String("wide.png"), 32, 2, false), nullptr);
}

class MaterialDeathTest : public MaterialTest {};

TEST_F(MaterialDeathTest, MisuseStops) {
    EXPECT_RUNTIME_ERROR((new c_Texture())->Init(2, 2, 3, 0), "Invalid texture format: 3");
    c_Texture* texture = (new c_Texture())->Init(2, 2, 4, 0);
    texture->Release();
    EXPECT_RUNTIME_ERROR(texture->Retain(), "Internal error");
    EXPECT_RUNTIME_ERROR(texture->Release(), "Internal error");
    glRecorder().framebufferIncomplete = true;
    EXPECT_RUNTIME_ERROR((new c_Texture())->Init(8, 8, 4, FramebufferTarget), "Incomplete framebuffer");
    glRecorder().framebufferIncomplete = false;
    c_Material* bare = new c_Material();
    EXPECT_RUNTIME_ERROR(new c_Image2(bare, 0, 0), "Material has no ColorTexture");

    c_Material* material = (new c_Material())->Init(fastShader);
    c_GLProgram* program = fastShader->ProgramForLightCount();
    program->materialUniforms = Array<c_GLUniform*>::Of({new c_GLUniform(String("ColorTexture"), 1, 1, GL_INT)});
    EXPECT_RUNTIME_ERROR(material->Bind(), "Unsupported uniform type:5124");
}

}  // namespace
