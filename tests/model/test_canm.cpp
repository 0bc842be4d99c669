#include <gtest/gtest.h>

#include "model/canm.h"
#include "model_test_support.h"
#include "support/tag_file_bytes.h"
#include "tags/tags.h"

namespace {

const char* const kCamera = "*3DSMAX_ASCIIEXPORT 200\n"
                            "*CAMERAOBJECT {\n *NODE_NAME \"Camera 01\"\n *TM_ANIMATION {\n"
                            "  *CONTROL_POS_TRACK {\n"
                            "   *CONTROL_POS_SAMPLE 0 1.5 -2 3\n"
                            "   // a comment between samples\n"
                            "   *CONTROL_POS_SAMPLE 160 4 5 6 // and after one\n"
                            "  }\n"
                            "  *CONTROL_ROT_TRACK {\n"
                            "   *CONTROL_ROT_SAMPLE 0 0 0 1 0.5\n"
                            "   *CONTROL_ROT_SAMPLE 320 1 0 0 -0.25\n"
                            "   *CONTROL_ROT_SAMPLE 480 0 1 0 0.125\n"
                            "  }\n }\n}\n";

class CameraImport : public ::testing::Test {
protected:
    TempFolder dir;
    TTagStore store;

    std::string Write(const std::string& text)
    {
        write_text(dir / "camera.ase", text);
        return dir / "camera.ase";
    }
};

} // namespace

TEST_F(CameraImport, TracksBecomeSamplesInFileOrder)
{
    tag_file* f = store.new_tag_file();
    tag_entry* e = import_camera_motion(store, f, Write(kCamera));
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(tag_get_name(e), "camera");
    EXPECT_EQ(tag_get_version(e), 1);
    const bytes b = tag_data(e);
    ASSERT_EQ(b.size(), 8u + 24 * 5);
    EXPECT_EQ(be32(b, 0), 2u);
    EXPECT_EQ(be32(b, 4), 3u);
    EXPECT_EQ(be32(b, 8), 0u);
    EXPECT_EQ(be32(b, 12), 0x3FC00000u); // 1.5
    EXPECT_EQ(be32(b, 16), 0xC0000000u); // -2
    EXPECT_EQ(be32(b, 24), 0u);          // the fourth value of a position
    EXPECT_EQ(be32(b, 28), 0u);
    EXPECT_EQ(be32(b, 32), 160u);
    size_t second_rotation = 8 + 24 * 3;
    EXPECT_EQ(be32(b, second_rotation), 320u);
    EXPECT_EQ(be32(b, second_rotation + 4), 0x3F800000u);
    EXPECT_EQ(be32(b, second_rotation + 16), 0xBE800000u); // -0.25
    EXPECT_EQ(be32(b, second_rotation + 20), 0u);

    canm_tracks back = canm_read_data(b.data(), b.size());
    ASSERT_EQ(back.rotations.size(), 3u);
    EXPECT_EQ(back.rotations[2].time, 480);
    EXPECT_FLOAT_EQ(back.rotations[2].values[3], 0.125f);
}

TEST_F(CameraImport, EmptyTracksGiveAnEightByteTag)
{
    tag_file* f = store.new_tag_file();
    tag_entry* e = import_camera_motion(
        store, f, Write("*CONTROL_POS_TRACK {\n}\n*CONTROL_ROT_TRACK { }\n"));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(tag_data(e), bytes(8, 0));
}

TEST_F(CameraImport, FilesMissingAPartCreateNothing)
{
    tag_file* f = store.new_tag_file();
    const std::pair<std::string, const char*> cases[] = {
        {"*CONTROL_POS_TRACK { *CONTROL_POS_SAMPLE 0 1 2 3 }\n", "no \"*CONTROL_ROT_TRACK\""},
        {"*CONTROL_POS_TRACK *CONTROL_POS_SAMPLE 0 1 2 3 }", "not followed by \"{\""},
        {"*CONTROL_POS_TRACK {\n*CONTROL_POS_SAMPLE 0 1 2 3\n*CONTROL_ROT_SAMPLE 0 1 2 3 4\n}",
         "line 3: expected \"*CONTROL_POS_SAMPLE\""},
        {"*CONTROL_POS_TRACK { *CONTROL_POS_SAMPLE 0 1 two 3 }", "cannot be read"},
        {"*CONTROL_POS_TRACK { *CONTROL_POS_SAMPLE 0 1 2 3 } *CONTROL_ROT_TRACK { ", "ends inside"},
        {"*CONTROL_POS_TRACK { \"unclosed\n }", "quoted text"},
        {"*CONTROL_POS_TRACK { " + std::string(1025, 'x') + " }", "longer than 1024"},
    };
    for (const auto& c : cases) {
        const std::string& text = c.first;
        const char* says = c.second;
        const std::string message = error_of([&] { import_camera_motion(store, f, Write(text)); });
        EXPECT_NE(message.find(says), std::string::npos) << text << ": " << message;
    }
    EXPECT_NE(error_of([&] { import_camera_motion(store, f, dir / "missing.ase"); }), "no error");
    EXPECT_EQ(f->groups, nullptr) << "no tag was created";
}

TEST(CameraData, SizesThatDisagreeAreRejected)
{
    bytes b(8 + 24, 0);
    put_be32(b, 0, 1);
    EXPECT_EQ(canm_read_data(b.data(), b.size()).positions.size(), 1u);
    put_be32(b, 4, 1);
    EXPECT_NE(error_of([&] { canm_read_data(b.data(), b.size()); }).find("disagree"), std::string::npos);
}
