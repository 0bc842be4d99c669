#include <gtest/gtest.h>

#include "framework/XGError.h"
#include "support/dependency_recorder.h"
#include "support/tag_file_bytes.h"
#include "tags/tag_types.h"
#include "texture/grsp.h"
#include "texture_test_support.h"

TEST(GroundSprites, NewTagIsTheHeaderWithoutSprites)
{
    texture_store s;
    tag_entry* e = s.add("grsp", "new ", bytes{});
    tag_type_set_defaults_hook(code("grsp"))(e);
    bytes expected(400, 0);
    for (int i = 0; i < 4; ++i) put_be32(expected, 100 * i, 0xFFFFFFFF);
    EXPECT_EQ(tag_bytes(e), expected);
    TGroundSprites ground;
    ASSERT_TRUE(ground.Open(e));
    EXPECT_EQ(ground.MaskLabel(1), "(none)");
    ground.Commit(e);
    EXPECT_EQ(tag_bytes(e), expected);
}

TEST(GroundSprites, MasksFollowTheHeaderInSetOrder)
{
    TempFolder folder;
    write_file(folder / "grass.jpg", make_bytes(300, 1));
    write_file(folder / "stones.jpg", make_bytes(77, 2));
    texture_store s;
    tag_entry* e = s.add("grsp", "gspr", bytes(400, 0));
    TGroundSprites ground;
    ASSERT_TRUE(ground.Open(e));
    ground.set(1).sprite_definition = code("spr1");
    ground.set(1).density = -3;
    ground.set(1).unused[5] = 0x5A;
    ground.GetMask(1, folder / "grass.jpg");
    ground.GetMask(3, folder / "grass.jpg");
    ground.GetMask(3, folder / "stones.jpg"); // replaces the first
    EXPECT_TRUE(ground.changed());
    EXPECT_EQ(ground.MaskLabel(3), "stones.jpg");
    ground.Commit(e);
    EXPECT_FALSE(ground.changed());

    bytes b = tag_bytes(e);
    ASSERT_EQ(b.size(), 400u + 300 + 77);
    EXPECT_EQ(be32(b, 100), code("spr1"));
    EXPECT_EQ(be32(b, 104), 400u);
    EXPECT_EQ(be32(b, 108), 300u);
    EXPECT_EQ(be16(b, 116), 0xFFFD);
    EXPECT_EQ(b[118 + 5], 0x5A);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[136])), "grass.jpg");
    EXPECT_EQ(be32(b, 304), 700u);
    EXPECT_EQ(be32(b, 308), 77u);
    EXPECT_EQ(bytes(b.begin() + 400, b.begin() + 700), make_bytes(300, 1));
    EXPECT_EQ(bytes(b.begin() + 700, b.end()), make_bytes(77, 2));

    // Reading back finds the masks; clearing one and committing zeroes its fields.
    TGroundSprites again;
    ASSERT_TRUE(again.Open(e));
    EXPECT_EQ(again.mask(3), make_bytes(77, 2));
    EXPECT_EQ(again.MaskLabel(1), "grass.jpg");
    again.ClearMask(1);
    EXPECT_EQ(again.MaskLabel(1), "(none)");
    again.Commit(e);
    b = tag_bytes(e);
    ASSERT_EQ(b.size(), 477u);
    EXPECT_EQ(be32(b, 104), 0u);
    EXPECT_EQ(be32(b, 108), 0u);
    EXPECT_EQ(bytes(b.begin() + 136, b.begin() + 200), bytes(64, 0));
    EXPECT_EQ(be32(b, 304), 400u);
    EXPECT_EQ(b[118 + 5], 0x5A);
}

TEST(GroundSprites, MasksPastTheDataAreRefused)
{
    texture_store s;
    bytes b(450, 0);
    put_be32(b, 204, 420);
    put_be32(b, 208, 31);
    tag_entry* e = s.add("grsp", "bad ", b);
    TGroundSprites ground;
    EXPECT_THROW(ground.Open(e), XGError);
    put_be32(b, 208, 30);
    ASSERT_TRUE(ground.Open(s.add("grsp", "good", b)));
    EXPECT_EQ(ground.mask(2).size(), 30u);
    EXPECT_THROW(ground.Open(s.add("grsp", "shrt", bytes(399, 0))), XGError);
}

TEST(GroundSprites, DependenciesAreTheFourSpriteDefinitions)
{
    texture_store s;
    bytes b(400, 0);
    const char* ids[] = {"spa ", "spb ", "spc ", "spd "};
    for (int i = 0; i < 4; ++i) put_be32(b, 100 * i, code(ids[i]));
    DependencyRecorder recorder;
    EXPECT_EQ(recorder.Collect(s.add("grsp", "gspr", b)),
              (std::vector<std::string>{"spri:spa ", "spri:spb ", "spri:spc ", "spri:spd "}));
}
