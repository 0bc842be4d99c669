#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <sys/mount.h>
#include <thread>

#include "support/cli_runner.h"
#include "support/tag_file_bytes.h"
#include "tags/tags.h"

namespace {

class CliSaves : public ::testing::Test {
protected:
    TempFolder data;
    std::string shared;
    bytes seed = make_bytes(5000, 9);

    void SetUp() override
    {
        data.mkdir("plugins");
        shared = data / "plugins/shared.tag";
        write_file(shared, build_multi_tag_file({{"rawd", "seed", "hello seed data", 1, seed}}));
    }

    std::vector<std::string> Args(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--data", data.path()});
        return args;
    }

    // The tags of a file by name, with their data.
    static std::map<std::string, bytes> Tags(const std::string& path)
    {
        TTagStore store;
        std::map<std::string, bytes> tags;
        tag_file* f = store.open_tag_file(path, false);
        if (!f) return tags;
        for (tag_group* g = f->groups; g; g = g->next)
            for (tag_entry* e = g->entries; e; e = e->next) {
                uint32_t size = 0;
                const uint8_t* d = tag_get_data(e, &size);
                tags[e->name] = d ? bytes(d, d + size) : bytes{9, 9, 9};
            }
        return tags;
    }

    // The save temporaries in the folder.
    static std::vector<std::string> Temporaries(const std::string& folder)
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.path().filename().string().find(".save-") != std::string::npos)
                names.push_back(entry.path().string());
        return names;
    }
};

} // namespace

TEST_F(CliSaves, TwoImportsIntoOneFileTakeTurnsAndBothSurvive)
{
    bytes slow = make_bytes(24 << 20, 1), quick = make_bytes(3000, 2);
    write_file(data / "slow.bin", slow);
    write_file(data / "quick.txt", quick);
    for (int delay : {0, 5, 40, 150}) {
        write_file(shared, build_multi_tag_file({{"rawd", "seed", "hello seed data", 1, seed}}));
        cli_process first(Args({"import-raw", shared, data / "slow.bin"}));
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        cli_process second(Args({"import-raw", shared, data / "quick.txt"}));
        cli_result a = first.wait(), b = second.wait();
        ASSERT_EQ(a.status, 0) << delay << " ms: " << a.err;
        ASSERT_EQ(b.status, 0) << delay << " ms: " << b.err;
        std::map<std::string, bytes> tags = Tags(shared);
        ASSERT_EQ(tags.size(), 3u) << delay << " ms";
        EXPECT_TRUE(tags["hello seed data"] == seed) << delay << " ms";
        EXPECT_TRUE(tags["slow.bin"] == slow) << delay << " ms";
        EXPECT_TRUE(tags["quick.txt"] == quick) << delay << " ms";
    }
}

TEST_F(CliSaves, AKilledSaveLeavesTheFileWholeAndNothingTheLoaderReads)
{
    bytes big = make_bytes(32 << 20, 3);
    write_file(data / "big.bin", big);
    bytes before = read_file(shared);
    // killed when its temporary file appears, and when it holds a quarter, a half, nearly all
    int killedMidway = 0;
    for (uint64_t written : {uint64_t(0), uint64_t(8) << 20, uint64_t(16) << 20, uint64_t(31) << 20}) {
        std::vector<std::string> left = Temporaries(data / "plugins"); // by the kills before
        auto isNew = [&](const std::string& temp) { return std::find(left.begin(), left.end(), temp) == left.end(); };
        cli_process save(Args({"import-raw", shared, data / "big.bin"}));
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        bool seen = false;
        while (!seen && std::chrono::steady_clock::now() < deadline) {
            for (const std::string& temp : Temporaries(data / "plugins")) {
                std::error_code ec;
                if (isNew(temp) && std::filesystem::file_size(temp, ec) >= written && !ec) seen = true;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        save.kill(SIGKILL);
        EXPECT_EQ(save.wait().status, 128 + SIGKILL);
        for (const std::string& temp : Temporaries(data / "plugins")) killedMidway += isNew(temp);

        std::map<std::string, bytes> tags = Tags(shared);
        if (tags.size() == 2) {
            // the save was done before the kill: the whole new file
            EXPECT_TRUE(tags["big.bin"] == big);
            write_file(shared, before);
        } else {
            EXPECT_EQ(read_file(shared), before) << "killed at " << written;
        }
        cli_result list = run_cli(Args({"list"}));
        EXPECT_EQ(list.out, "rawd\tseed\t1\t5000\thello seed data\t" + shared + "\n") << "killed at " << written;
    }
    EXPECT_GT(killedMidway, 0) << "no kill came in the middle of a save";

    write_file(data / "small.txt", make_bytes(10, 1));
    ASSERT_EQ(run_cli(Args({"import-raw", shared, data / "small.txt"})).status, 0);
    EXPECT_TRUE(Temporaries(data / "plugins").empty()) << "a save removes what killed saves left";
}

TEST_F(CliSaves, AFullDiskNamesTheFileAndTheReasonOnce)
{
    std::string disk = data.mkdir("disk");
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "a small tmpfs cannot be mounted here (it needs CAP_SYS_ADMIN)";
    struct Unmount {
        std::string path;
        ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
    } unmount{disk};

    std::string file = disk + "/full.tag";
    write_file(file, build_multi_tag_file({{"rawd", "seed", "hello seed data", 1, seed}}));
    bytes before = read_file(file);
    write_file(data / "big.bin", make_bytes(2 << 20, 4));
    cli_result r = run_cli(Args({"import-raw", file, data / "big.bin"}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "File Write Error: Unable to write data to file " + file + " (No space left on device)\n");
    EXPECT_EQ(read_file(file), before);
    EXPECT_TRUE(Temporaries(disk).empty());
}
