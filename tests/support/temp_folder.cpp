#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <iterator>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/test_support.h"

namespace {
void Throw(const ProgramAssertion& a)
{
    throw AssertionThrown(a.message);
}
} // namespace

void install_throwing_assert_handler()
{
    SetProgramAssertHandler(Throw);
}

TempFolder::TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "quenchold-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back(0);
    if (!::mkdtemp(buffer.data())) throw std::runtime_error("mkdtemp failed");
    fPath = buffer.data();
}

TempFolder::~TempFolder()
{
    std::error_code ec;
    std::filesystem::permissions(fPath, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(fPath, ec);
}

std::string TempFolder::mkdir(const std::string& relative) const
{
    std::string full = fPath + "/" + relative;
    std::filesystem::create_directories(full);
    return full;
}

std::vector<std::string> TempFolder::files(const std::string& relative) const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(relative.empty() ? fPath : fPath + "/" + relative))
        if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bytes read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_file(const std::string& path, const bytes& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write((const char*)data.data(), (std::streamsize)data.size());
    if (!out) throw std::runtime_error("cannot write " + path);
}

void write_text(const std::string& path, const std::string& text)
{
    write_file(path, bytes(text.begin(), text.end()));
}

std::string read_text(const std::string& path)
{
    bytes b = read_file(path);
    return std::string(b.begin(), b.end());
}

bytes make_bytes(size_t size, uint8_t seed)
{
    bytes b(size);
    uint32_t x = 0x9E3779B9u * (seed + 1u);
    for (auto& v : b) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        v = uint8_t(x);
    }
    return b;
}

namespace {
bool SetImmutable(const std::string& path, bool on)
{
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}
} // namespace

bool make_unwritable(const std::string& path)
{
    ::chmod(path.c_str(), 0444);
    if (::geteuid() == 0) SetImmutable(path, true);
    int fd = ::open(path.c_str(), O_RDWR);
    if (fd < 0) return true;
    ::close(fd);
    return false;
}

void make_writable(const std::string& path)
{
    if (::geteuid() == 0) SetImmutable(path, false);
    ::chmod(path.c_str(), 0644);
}
