#include <gtest/gtest.h>

#include "model/skeleton_file.h"
#include "model_test_support.h"

namespace {

TSkeletonFile Parse(const std::string& text)
{
    TSkeletonFile file;
    file.Parse(text, "test.skl");
    return file;
}

const char* const kFourVertices = "NUMVERTS 4\n"
                                  "VERT 0\nBONES 1\nBONE 0 1 0 0 0\n"
                                  "VERT 1\nBONES 1\nBONE 0 1 1 0 0\n"
                                  "VERT 2\nBONES 1\nBONE 0 1 0 1 0\n"
                                  "VERT 3\nBONES 1\nBONE 1 1 0 0 1\n";

} // namespace

TEST(SkeletonFile, WeightsOnOneBoneMergeAndIgnoredWeightsVanish)
{
    TSkeletonFile file = Parse(skl_text("NUMVERTS 3\n"
                                        "VERT 0\nBONES 2\nBONE 1 0.25 0 0 0\nBONE 1 0.75 4 0 0\n"
                                        "VERT 1\nBONES 3\nBONE 0 0 9 9 9\nBONE 2 0.5 1 1 1\nBONE 1 0.5 2 2 2\n"
                                        "VERT 2\nBONES 1\nBONE 0 -1 0 0 0\n",
                                        "NUMFACES 0\n"));
    ASSERT_EQ(file.fVertices[0].weights.size(), 1u);
    const skeleton_weight& merged = file.fVertices[0].weights[0];
    EXPECT_EQ(merged.bone, 1);
    EXPECT_FLOAT_EQ(merged.weight, 1.0f);
    EXPECT_FLOAT_EQ(merged.offset[0], 3.0f);
    EXPECT_FLOAT_EQ(merged.offset[1], 0.0f);

    // the zero weight and the weight on the attach bone are dropped
    ASSERT_EQ(file.fVertices[1].weights.size(), 1u);
    EXPECT_EQ(file.fVertices[1].weights[0].bone, 1);
    EXPECT_TRUE(file.fBones[2].tag_bone);
    EXPECT_FALSE(file.fBones[1].tag_bone);

    // no weight left: no alias, not used
    EXPECT_TRUE(file.fVertices[2].weights.empty());
    EXPECT_EQ(file.fVertices[2].alias, -1);
    EXPECT_EQ(file.fVertices[0].alias, 0);
}

TEST(SkeletonFile, TagBoneNamesInAnyCase)
{
    EXPECT_TRUE(TSkeletonFile::IsTagBoneName("Bip01 ATTACH"));
    EXPECT_TRUE(TSkeletonFile::IsTagBoneName("gun_Tag"));
    EXPECT_TRUE(TSkeletonFile::IsTagBoneName("Tag_weapon"));
    EXPECT_TRUE(TSkeletonFile::IsTagBoneName("Origin"));
    EXPECT_FALSE(TSkeletonFile::IsTagBoneName("tagalong"));
    EXPECT_FALSE(TSkeletonFile::IsTagBoneName("Spine"));
}

TEST(SkeletonFile, IdenticalWeightListsAliasTheFirstAndFacesOnBothAreDropped)
{
    TSkeletonFile file = Parse(skl_text("NUMVERTS 4\n"
                                        "VERT 0\nBONES 1\nBONE 0 1 0 0 0\n"
                                        "VERT 1\nBONES 1\nBONE 0 1 1 0 0\n"
                                        "VERT 2\nBONES 1\nBONE 0 1 1 0 0\n"
                                        "VERT 3\nBONES 1\nBONE 0 1 1 0 0\n",
                                        "NUMFACES 2\n"
                                        "TRI 0\n0 0 0\n1 0 0\n2 0 0\n1\n"
                                        "TRI 1\n0 0 0\n3 0.5 0.5\n1 1 1\n1\n"));
    EXPECT_EQ(file.fVertices[1].alias, 1);
    EXPECT_EQ(file.fVertices[2].alias, 1);
    EXPECT_EQ(file.fVertices[3].alias, 1);
    EXPECT_TRUE(file.fFaces.empty());
    EXPECT_TRUE(file.fVertices[1].smoothing.empty());
}

TEST(SkeletonFile, FacesUseAliasesAndKeepTheirTextureCoordinates)
{
    TSkeletonFile file = Parse(skl_text("NUMVERTS 5\n"
                                        "VERT 0\nBONES 1\nBONE 0 1 0 0 0\n"
                                        "VERT 1\nBONES 1\nBONE 0 1 1 0 0\n"
                                        "VERT 2\nBONES 1\nBONE 0 1 0 1 0\n"
                                        "VERT 3\nBONES 1\nBONE 0 1 1 0 0\n"
                                        "VERT 4\nBONES 0\n",
                                        "NUMFACES 2\n"
                                        "TRI 0\n0 0.1 0.2\n3 0.3 0.4\n2 0.5 0.6\na\n"
                                        "TRI 1\n0 0 0\n1 0 0\n4 0 0\n1\n"));
    ASSERT_EQ(file.fFaces.size(), 1u); // the face on the unweighted vertex goes
    const skeleton_face& face = file.fFaces[0];
    EXPECT_EQ(face.vertex[1], 1);
    EXPECT_FLOAT_EQ(face.uv[1][0], 0.3f);
    EXPECT_FLOAT_EQ(face.uv[2][1], 0.6f);
    EXPECT_EQ(face.mask, 0xAu);
}

TEST(SkeletonFile, SmoothingRecordsMergeWhenTheyShareABit)
{
    TSkeletonFile file = Parse(skl_text(kFourVertices, "NUMFACES 4\n"
                                                       "TRI 0\n0 0 0\n1 0 0\n2 0 0\n1\n"
                                                       "TRI 1\n0 0 0\n2 0 0\n3 0 0\n4\n"
                                                       "TRI 2\n0 0 0\n3 0 0\n1 0 0\n3\n"
                                                       "TRI 3\n1 0 0\n3 0 0\n2 0 0\n8\n"));
    // at vertex 0: masks 1, 4, 3: 1 and 3 share a bit, 4 stays apart
    const auto& records = file.fVertices[0].smoothing;
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].mask, 3u);
    EXPECT_EQ(records[0].faces, (std::vector<int>{0, 2}));
    EXPECT_EQ(records[1].mask, 4u);
    // a later face can join two records: at vertex 3 masks 4, 3, 8 stay three records
    EXPECT_EQ(file.fVertices[3].smoothing.size(), 3u);

    TSkeletonFile joined = Parse(skl_text(kFourVertices, "NUMFACES 3\n"
                                                         "TRI 0\n0 0 0\n1 0 0\n2 0 0\n1\n"
                                                         "TRI 1\n0 0 0\n2 0 0\n3 0 0\n4\n"
                                                         "TRI 2\n0 0 0\n3 0 0\n1 0 0\n5\n"));
    ASSERT_EQ(joined.fVertices[0].smoothing.size(), 1u);
    EXPECT_EQ(joined.fVertices[0].smoothing[0].mask, 5u);
    EXPECT_EQ(joined.fVertices[0].smoothing[0].faces.size(), 3u);
}

TEST(SkeletonFile, VersionOneCarriesNormalsAndNoMasks)
{
    TSkeletonFile file = Parse(skl_text("NUMVERTS 3\n"
                                        "VERT 0\nNORMAL 0 0 1\nBONES 1\nBONE 0 1 0 0 0\n"
                                        "VERT 1\nNORMAL 0 1 0\nBONES 1\nBONE 0 1 1 0 0\n"
                                        "VERT 2\nNORMAL 1 0 0\nBONES 1\nBONE 0 1 0 1 0\n",
                                        "NUMFACES 1\nTRI 0\n0 0 0\n1 1 0\n2 0 1\n", 1));
    EXPECT_TRUE(file.fVertices[1].has_normal);
    EXPECT_FLOAT_EQ(file.fVertices[1].normal[1], 1.0f);
    ASSERT_EQ(file.fFaces.size(), 1u);
    EXPECT_EQ(file.fFaces[0].mask, 1u);
    EXPECT_EQ(file.fFrameCount, 1);
}

TEST(SkeletonFile, TextBetweenKeywordsIsSkippedAndNamesRunToTheLineEnd)
{
    TSkeletonFile file;
    file.Parse("exported by hand\r\nSKELETON\r\nVERSION 2\r\nNUMMATERIALS 0\r\nNUMBONES 1\r\n"
               "BONE 0 -1   Bip01 L UpperArm  \r\nNUMVERTS 0\r\nNUMFACES 0\r\nFRAMERATE 15\r\nNUMFRAMES 0\r\nEND\r\n",
               "t.skl");
    ASSERT_EQ(file.fBones.size(), 1u);
    EXPECT_EQ(file.fBones[0].name, "Bip01 L UpperArm");
    EXPECT_EQ(file.fFrameCount, 0);
    EXPECT_FLOAT_EQ(file.fFrameRate, 15.0f);
}

TEST(SkeletonFile, FramesGiveEveryBoneItsOffsetAndAxes)
{
    std::string frames = "NUMFRAMES 2\n";
    for (int f = 1; f >= 0; --f) {
        frames += "FRAME " + std::to_string(f) + "\n";
        for (int b = 2; b >= 0; --b)
            frames += "BONE " + std::to_string(b) + "\nOFFSET " + std::to_string(f) + " " + std::to_string(b) +
                      " 0\nX 0 1 0\nY -1 0 0\nZ 0 0 1\n";
    }
    TSkeletonFile file = Parse(skl_text("NUMVERTS 0\n", "NUMFACES 0\n", 2, frames + "END\n"));
    ASSERT_EQ(file.fFrames.size(), 2u);
    EXPECT_FLOAT_EQ(file.fFrames[1][2].offset[0], 1.0f);
    EXPECT_FLOAT_EQ(file.fFrames[1][2].offset[1], 2.0f);
    EXPECT_FLOAT_EQ(file.fFrames[0][1].axes[1][0], -1.0f);
    EXPECT_FLOAT_EQ(file.fFrames[0][1].axes[0][1], 1.0f);
}

TEST(SkeletonFile, BadInputIsRejectedWithTheLine)
{
    auto reason = [](const std::string& text) {
        return error_of([&] {
            TSkeletonFile file;
            file.Parse(text, "bad.skl");
        });
    };
    const std::string one_vertex = "NUMVERTS 1\nVERT 0\nBONES 1\nBONE 0 1 0 0 0\n";
    const std::pair<std::string, const char*> cases[] = {
        {skl_text("NUMVERTS 1\nVERT 1\nBONES 0\n", "NUMFACES 0\n"), "vertex index 1 is outside 0..0"},
        {skl_text("NUMVERTS 1\nVERT 0\nBONES 1\nBONE 3 1 0 0 0\n", "NUMFACES 0\n"),
         "line 12: the weight's bone 3 is outside 0..2"},
        {skl_text(one_vertex, "NUMFACES 1\nTRI 0\n0 0 0\n4000 0 0\n0 0 0\n1\n"), "face's vertex 4000"},
        {skl_text("NUMVERTS 4001\n", ""), "vertex count 4001 is above the limit of 4000"},
        {"SKELETON VERSION 2 NUMMATERIALS 0 NUMBONES 251", "bone count 251"},
        {"SKELETON VERSION 2 NUMMATERIALS 0 NUMBONES 2 BONE 0 1 a\nBONE 1 0 b\n", "form a loop"},
        {skl_text(one_vertex, "NUMFACES 0\n", 2, "NUMFRAMES 1\nFRAME 1\n"), "frame index 1"},
        {skl_text(one_vertex, "NUMFACES 0\n", 2, "NUMFRAMES 1\nFRAME 0\nBONE 0\nOFFSET 0 0\nX 1 0 0\n"),
         "expected an offset, found \"X\""},
        {skl_text("NUMVERTS 1\nVERT 0\nBONES 1\nBONE 0 1 nan 0 0\n", ""), "out of range"},
        {skl_text(one_vertex, "NUMFACES 0\n", 2, "NUMFRAMES 0\n"), "the file ends before \"END\""},
        {"SKELETON\nVERSION 2\nNUMMATERIALS 0\nNUMBONES 1\nBONE 0 -1 " + std::string(300, 'x') + "\n",
         "the file ends before \"NUMVERTS\""},
    };
    for (const auto& [text, says] : cases) {
        const std::string message = reason(text);
        EXPECT_NE(message.find(says), std::string::npos) << says << ": " << message;
    }

    std::string eleven = "NUMVERTS 1\nVERT 0\nBONES 11\n";
    for (int i = 0; i < 11; ++i) eleven += "BONE " + std::to_string(i % 3 == 2 ? 0 : i % 3) + " 0.1 0 0 0\n";
    EXPECT_EQ(reason(skl_text(eleven, "NUMFACES 0\n")), "no error"); // repeated bones count once

    std::string many = "SKELETON VERSION 2 NUMMATERIALS 0 NUMBONES 11\n";
    for (int b = 0; b < 11; ++b) many += "BONE " + std::to_string(b) + " -1 b" + std::to_string(b) + "\n";
    many += "NUMVERTS 1\nVERT 0\nBONES 11\n";
    for (int b = 0; b < 11; ++b) many += "BONE " + std::to_string(b) + " 0.1 0 0 0\n";
    EXPECT_NE(reason(many).find("vertex 0 has more than 10 bones"), std::string::npos);
}
