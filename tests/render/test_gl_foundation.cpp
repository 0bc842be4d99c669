// The drawing layer's foundation: the function table, texture upload with its mip
// chain, the offscreen context and PNG pictures.
#include <gtest/gtest.h>

#include <cstring>

#include "framework/XGError.h"
#include "render/gl_texture.h"
#include "render/offscreen_context.h"
#include "render/png_writer.h"
#include "support/gl_recorder.h"
#include "support/test_support.h"

namespace {

texture_image solid(uint32_t w, uint32_t h, uint32_t channels, uint8_t value)
{
    texture_image image;
    image.width = w;
    image.height = h;
    image.channels = channels;
    image.pixels.assign(image.size(), value);
    return image;
}

TEST(GLFunctions, ExtensionsAreTakenOnlyWhenListedAndMissingCallsAreNamed)
{
    gl_recorder rec;
    gl_functions gl = rec.functions();
    EXPECT_TRUE(gl.loaded());
    EXPECT_TRUE(gl.multitexture());
    EXPECT_NE(gl.LockArraysEXT, nullptr);
    EXPECT_EQ(gl.max_texture_size, 1024);

    // a longer name that merely starts with the extension's does not count
    rec.extensions = "GL_ARB_multitexture_extra GL_EXT_compiled_vertex_array_x";
    gl = rec.functions();
    EXPECT_FALSE(gl.multitexture());
    EXPECT_EQ(gl.ActiveTextureARB, nullptr);
    EXPECT_EQ(gl.LockArraysEXT, nullptr);
    EXPECT_EQ(gl.DrawRangeElementsEXT, nullptr); // version 1.1 and not listed
    rec.version = "1.2 recorder";
    EXPECT_NE(rec.functions().DrawRangeElementsEXT, nullptr);

    std::string why;
    gl_functions partial;
    auto lacking_clear = [](const char* name) -> void* {
        return std::strcmp(name, "glClear") == 0 ? nullptr : gl_recorder::proc_address(name);
    };
    EXPECT_FALSE(load_gl_functions(partial, lacking_clear, &why));
    EXPECT_NE(why.find("glClear"), std::string::npos) << why;
    EXPECT_FALSE(partial.loaded());
}

TEST(GLTexture, MipChainScalesToPowersOfTwoAndAveragesEachLevel)
{
    // a 4 x 2 image: the left half 0, the right half 200
    texture_image image = solid(4, 2, 1, 0);
    for (uint32_t y = 0; y < 2; ++y) image.pixels[y * 4 + 2] = image.pixels[y * 4 + 3] = 200;
    std::vector<texture_image> levels = build_mip_chain(image, 1024);
    ASSERT_EQ(levels.size(), 3u);
    EXPECT_EQ(levels[1].width, 2u);
    EXPECT_EQ(levels[1].height, 1u);
    EXPECT_EQ(levels[1].pixels, (std::vector<uint8_t>{0, 200}));
    EXPECT_EQ(levels[2].pixels, (std::vector<uint8_t>{100}));

    // sides that are not powers of two go down to one; the context's limit caps them
    levels = build_mip_chain(solid(130, 60, 3, 90), 1024);
    ASSERT_FALSE(levels.empty());
    EXPECT_EQ(levels[0].width, 128u);
    EXPECT_EQ(levels[0].height, 32u);
    EXPECT_EQ(levels[0].pixels[0], 90);
    EXPECT_EQ(levels.back().width, 1u);
    EXPECT_EQ(levels.back().height, 1u);
    EXPECT_EQ(build_mip_chain(solid(256, 256, 4, 1), 64)[0].width, 64u);
    EXPECT_TRUE(build_mip_chain(texture_image(), 64).empty());
}

TEST(GLTexture, UploadSendsEveryLevelOnceWithMipmapFilters)
{
    gl_recorder rec;
    gl_functions gl = rec.functions();
    GLuint name = upload_texture(gl, solid(8, 4, 3, 50));
    EXPECT_NE(name, 0u);
    EXPECT_EQ(rec.live_textures.count(name), 1u);
    auto uploads = rec.named("TexImage2D");
    ASSERT_EQ(uploads.size(), 4u); // 8x4, 4x2, 2x1, 1x1
    for (size_t i = 0; i < uploads.size(); ++i) {
        EXPECT_EQ(uploads[i]->args[1], double(i));
        EXPECT_EQ(uploads[i]->args[6], double(GL_RGB));
        EXPECT_EQ(uploads[i]->data.size(), size_t(uploads[i]->args[3] * uploads[i]->args[4] * 3));
    }
    bool mipmapped = false;
    for (auto* c : rec.named("TexParameteri"))
        mipmapped |= c->args[1] == GL_TEXTURE_MIN_FILTER && c->args[2] == GL_LINEAR_MIPMAP_LINEAR;
    EXPECT_TRUE(mipmapped);

    rec.clear();
    EXPECT_EQ(upload_texture(gl, solid(4, 4, 5, 0)), 0u);
    EXPECT_EQ(upload_texture(gl, texture_image()), 0u);
    EXPECT_EQ(rec.count("GenTextures"), 0u);
}

TEST(OffscreenContext, DrawsAndReadsBackTopRowFirst)
{
    std::string why;
    auto context = offscreen_context::create(64, 48, &why);
    ASSERT_TRUE(context) << why;
    const gl_functions& gl = context->gl();
    gl.ClearColor(0, 0, 1, 1);
    gl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gl.MatrixMode(GL_PROJECTION);
    gl.LoadIdentity();
    gl.Ortho(0, 64, 48, 0, -1, 1); // y runs down
    gl.MatrixMode(GL_MODELVIEW);
    gl.LoadIdentity();
    gl.Disable(GL_DEPTH_TEST);
    gl.Color3f(1, 0, 0);
    gl.Begin(GL_QUADS); // the top 12 rows
    gl.Vertex2f(0, 0);
    gl.Vertex2f(64, 0);
    gl.Vertex2f(64, 12);
    gl.Vertex2f(0, 12);
    gl.End();

    texture_image rgb = context->read_pixels(false);
    ASSERT_EQ(rgb.width, 64u);
    ASSERT_EQ(rgb.height, 48u);
    ASSERT_EQ(rgb.channels, 3u);
    const uint8_t* top = &rgb.pixels[(5 * 64 + 30) * 3];
    const uint8_t* bottom = &rgb.pixels[(40 * 64 + 30) * 3];
    EXPECT_EQ(top[0], 255);
    EXPECT_EQ(top[2], 0);
    EXPECT_EQ(bottom[0], 0);
    EXPECT_EQ(bottom[2], 255);
    texture_image rgba = context->read_pixels(true);
    EXPECT_EQ(rgba.channels, 4u);
    EXPECT_EQ(rgba.pixels[(5 * 64 + 30) * 4 + 3], 255);

    // a second context lives beside the first
    auto other = offscreen_context::create(8, 8, &why);
    ASSERT_TRUE(other) << why;
    other.reset();
    ASSERT_TRUE(context->make_current());
    EXPECT_EQ(context->read_pixels(false).pixels[(40 * 64 + 30) * 3 + 2], 255);
}

TEST(OffscreenContext, RefusesSizesItCannotDrawWithAReason)
{
    std::string why;
    EXPECT_FALSE(offscreen_context::create(0, 10, &why));
    EXPECT_NE(why.find("cannot make an OpenGL context"), std::string::npos) << why;
    why.clear();
    EXPECT_FALSE(offscreen_context::create(1 << 20, 16, &why));
    EXPECT_NE(why.find("larger than"), std::string::npos) << why;
}

TEST(PngWriter, WritesPicturesThatReadBackAndRefusesEmptyOnes)
{
    TempFolder folder;
    for (uint32_t channels : {1u, 3u, 4u}) {
        texture_image image = solid(5, 3, channels, 0);
        for (size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = uint8_t(i * 7);
        std::string path = folder / ("p" + std::to_string(channels) + ".png");
        write_png_file(path, image);
        texture_image back;
        std::string why;
        ASSERT_TRUE(read_png_file(path, back, &why)) << why;
        EXPECT_EQ(back.width, 5u);
        EXPECT_EQ(back.height, 3u);
        EXPECT_EQ(back.channels, channels);
        EXPECT_EQ(back.pixels, image.pixels);
    }

    std::string path = folder / "kept.png";
    write_file(path, bytes{1, 2, 3});
    EXPECT_THROW(write_png_file(path, texture_image()), XGError);
    EXPECT_EQ(read_file(path), (bytes{1, 2, 3})); // the old file stays
    EXPECT_THROW(write_png_file(folder / "no/such/folder.png", solid(2, 2, 3, 0)), XGError);
    texture_image back;
    std::string why;
    EXPECT_FALSE(read_png_file(path, back, &why));
    EXPECT_FALSE(why.empty());
}

} // namespace
