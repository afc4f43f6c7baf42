// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a command as if on a machine where only some Debian packages were installed: in a private
// mount namespace, every file listed in a file is hidden from /usr by an overlay whose upper layer
// holds a whiteout for it, and each folder given with --scratch takes writes in memory, so that
// the command may change it without the change reaching anyone else. Needs root (mounts).
//
//   tf_bare_machine --hide LIST [--scratch DIR]... --tmp DIR -- COMMAND [ARG]...
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {
[[noreturn]] void fail(const std::string &what)
{
    std::fprintf(stderr, "tf_bare_machine: %s: %s\n", what.c_str(), std::strerror(errno));
    std::exit(2);
}

// A writable layer over `dir`: upper and work folders below `tmp`.
void overlay(const std::string &dir, const fs::path &upper, const fs::path &work)
{
    fs::create_directories(upper);
    fs::create_directories(work);
    const std::string options =
        "lowerdir=" + dir + ",upperdir=" + upper.string() + ",workdir=" + work.string();
    if (mount("overlay", dir.c_str(), "overlay", 0, options.c_str()) != 0)
        fail("overlay on " + dir);
}

// Whiteouts for every listed path that lies below /usr once links in its folder are resolved
// (Debian 12 lists files under /bin, /lib and /sbin that live in /usr). Returns their number.
int addWhiteouts(const std::string &list, const fs::path &upper)
{
    std::ifstream in(list);
    if (!in)
        fail("cannot read " + list);
    int count = 0;
    std::string path;
    while (std::getline(in, path)) {
        if (path.empty())
            continue;
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
            continue;   // nothing there, or a folder (left in place, emptied of what is hidden)
        char resolved[PATH_MAX];
        const fs::path file(path);
        if (!realpath(file.parent_path().c_str(), resolved))
            continue;   // its folder is gone or hidden already
        const std::string folder = resolved;
        if (folder != "/usr" && folder.rfind("/usr/", 0) != 0)
            continue;
        const fs::path target = upper / fs::path(folder).lexically_relative("/usr") / file.filename();
        fs::create_directories(target.parent_path());
        if (mknod(target.c_str(), S_IFCHR | 0, makedev(0, 0)) != 0 && errno != EEXIST)
            fail("whiteout " + target.string());
        ++count;
    }
    return count;
}
}

int main(int argc, char **argv)
{
    std::string hideList;
    std::string tmp;
    std::vector<std::string> scratch;
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc)
            break;
        if (arg == "--hide")
            hideList = argv[++i];
        else if (arg == "--scratch")
            scratch.push_back(fs::canonical(argv[++i]).string());
        else if (arg == "--tmp")
            tmp = argv[++i];
    }
    if (hideList.empty() || tmp.empty() || i + 1 >= argc) {
        std::fprintf(stderr,
                     "usage: tf_bare_machine --hide LIST [--scratch DIR]... --tmp DIR -- COMMAND...\n");
        return 2;
    }
    if (unshare(CLONE_NEWNS) != 0)
        fail("unshare (root needed)");
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        fail("making / private");
    // Layers in memory: nothing is left behind when the namespace ends.
    if (mount("tmpfs", tmp.c_str(), "tmpfs", 0, "mode=0755") != 0)
        fail("tmpfs on " + tmp);
    const fs::path layers(tmp);
    const int hidden = addWhiteouts(hideList, layers / "usr");
    for (std::size_t n = 0; n < scratch.size(); ++n)
        overlay(scratch[n], layers / ("scratch" + std::to_string(n)), layers / ("work" + std::to_string(n)));
    overlay("/usr", layers / "usr", layers / "usr-work");
    std::fprintf(stderr, "tf_bare_machine: %d files hidden\n", hidden);
    execvp(argv[i + 1], argv + i + 1);
    fail(std::string("exec ") + argv[i + 1]);
}
