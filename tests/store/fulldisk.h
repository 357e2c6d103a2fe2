#pragma once

// Tests that fill a disk: each runs in a child of its own with a small tmpfs, never on a shared disk.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// Writes zeros into path until the file system has no room left, then gives `leave` bytes back.
inline void fillDisk(const std::string &path, off_t leave = 0)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    const std::string block(4096, '\0');
    off_t size = 0;
    ssize_t n;
    while ((n = write(fd, block.data(), block.size())) > 0)
        size += n;
    EXPECT_EQ(errno, ENOSPC);
    ASSERT_EQ(ftruncate(fd, std::max<off_t>(size - leave, 0)), 0);
    ::close(fd);
}

// A test body that fills a disk runs in a child of its own, in a user and mount namespace with a
// tmpfs of `size` over a fresh directory, so that nothing shared is ever filled. In the child this
// mounts the tmpfs and returns its path; in the parent it runs the child, checks how it ended and
// returns the empty text (the test then ends), or "-" when no namespace of its own is allowed here.
inline std::string ownTmpfs(const char *size)
{
    if (const char *root = std::getenv("OBX_FULL_DISK_ROOT")) {
        EXPECT_EQ(mount("tmpfs", root, "tmpfs", MS_NOSUID | MS_NODEV, (std::string("size=") + size).c_str()), 0)
            << strerror(errno);
        return root;
    }
    if (std::system("unshare -Urm true >/dev/null 2>&1") != 0)
        return "-";
    const testing::TestInfo *test = testing::UnitTest::GetInstance()->current_test_info();
    std::string root = (std::filesystem::temp_directory_path() / "fulldisk-XXXXXX").string();
    if (!mkdtemp(root.data()))
        return "-";
    char self[PATH_MAX] = {};
    EXPECT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
    const std::string log = root + "/child.log";
    EXPECT_EQ(mkdir((root + "/mnt").c_str(), 0755), 0);
    const std::string command = "OBX_FULL_DISK_ROOT='" + root + "/mnt' unshare -Urm '" + self
                                + "' --gtest_filter=" + test->test_suite_name() + "." + test->name() + " >'" + log
                                + "' 2>&1";
    const int status = std::system(command.c_str());
    std::ifstream in(log);
    const std::string output((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status << "\n" << output;
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
    return {};
}

#define IN_OWN_TMPFS(dir, size)                                                                               \
    const std::string dir = ownTmpfs(size);                                                                   \
    if (dir == "-")                                                                                           \
        GTEST_SKIP() << "mount namespaces are not allowed here (unshare -Urm failed), so no tmpfs of the test's own"; \
    if (dir.empty())                                                                                          \
        return
