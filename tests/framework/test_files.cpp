#include <gtest/gtest.h>

#include <sys/stat.h>

#include "framework/XGDirectory.h"
#include "framework/XGError.h"
#include "framework/XGFile.h"
#include "framework/XGFileSpecifier.h"
#include "support/test_support.h"

TEST(Files, ErrorsCarryTheFileName)
{
    TempFolder dir;
    XGFile missing(dir / "missing.tag");
    try {
        missing.Open(XGFile::kRead);
        FAIL();
    } catch (const XGError& e) {
        EXPECT_EQ(e.GetTitle(), "File Open Error");
        EXPECT_EQ(e.GetMessage(), "Unable to open file " + (dir / "missing.tag") + " (No such file or directory)");
    }
    write_text(dir / "short", "abc");
    XGFile f(dir / "short");
    f.Open(XGFile::kRead);
    char buffer[8];
    try {
        f.ReadAt(0, buffer, 8);
        FAIL();
    } catch (const XGError& e) {
        EXPECT_EQ(e.GetCode(), kXGFileReadError);
        EXPECT_EQ(e.GetMessage(), "Unable to read data from file " + (dir / "short"));
    }
    EXPECT_THROW(f.Write("x", 1), XGError) << "writing to a file opened for reading";
    f.Close();
    EXPECT_THROW(f.GetLength(), XGError) << "a closed file";
}

TEST(Files, WriteReadPositionAndTruncate)
{
    TempFolder dir;
    XGFile f(dir / "data");
    f.Create();
    f.Write("hello world", 11);
    EXPECT_EQ(f.GetLength(), 11u);
    f.WriteAt(0, "J", 1);
    f.SetLength(5);
    f.SetPosition(1);
    EXPECT_EQ(f.GetPosition(), 1u);
    char b[4] = {};
    f.Read(b, 4);
    EXPECT_EQ(std::string(b, 4), "ello");
    f.Close();
    EXPECT_EQ(read_text(dir / "data"), "Jello");
}

TEST(Files, TemporaryFilesAreNewAndNamedTempHex)
{
    TempFolder dir;
    XGFileSpecifier a = XGFileSpecifier::MakeTemporary(dir.path());
    XGFileSpecifier b = XGFileSpecifier::MakeTemporary(dir.path());
    EXPECT_NE(a.GetName(), b.GetName());
    EXPECT_EQ(a.GetName().rfind("temp-", 0), 0u);
    EXPECT_EQ(a.GetName().find_first_not_of("0123456789abcdef", 5), std::string::npos);
    EXPECT_EQ(a.GetFolder(), dir.path());
    EXPECT_TRUE(XGFile::Exists(a.GetPath()));
    EXPECT_THROW(XGFileSpecifier::MakeTemporary(dir / "no/such/folder"), XGError);
}

TEST(Files, SpecifierNamesAndExtensions)
{
    XGFileSpecifier s("/a/b/units.tag");
    EXPECT_EQ(s.GetFolder(), "/a/b");
    EXPECT_EQ(s.GetBaseName(), "units");
    EXPECT_EQ(s.GetExtension(), "tag");
    EXPECT_EQ(XGFileSpecifier("archive.long").GetBaseName(), "archive.long") << "only extensions of up to three";
    EXPECT_EQ(XGFileSpecifier("x").GetFolder(), ".");
    EXPECT_TRUE(XGFileSpecifier("/a/b/../b/c") == XGFileSpecifier("/a/b/c"));
}

TEST(Directories, EntriesInNameOrderAndCurrentFolder)
{
    TempFolder dir;
    dir.mkdir("sub");
    write_text(dir / "b", "");
    write_text(dir / "a", "");
    XGDirectory d(dir.path());
    XGDirectoryEntry e;
    ASSERT_TRUE(d.First(e));
    EXPECT_EQ(e.name, "a");
    ASSERT_TRUE(d.Next(e));
    EXPECT_EQ(e.name, "b");
    ASSERT_TRUE(d.Next(e));
    EXPECT_EQ(e.name, "sub");
    EXPECT_TRUE(e.isFolder);
    EXPECT_FALSE(d.Next(e));

    XGDirectory old = XGDirectory::GetCurrent();
    d.MakeCurrent();
    EXPECT_EQ(XGNormalPath(XGDirectory::GetCurrent().GetPath()), XGNormalPath(dir.path()));
    old.MakeCurrent();

    try {
        XGDirectory().GetPath();
        FAIL();
    } catch (const XGError& err) {
        EXPECT_NE(err.GetMessage().find("uninitialized XGDirectory"), std::string::npos);
    }
}
