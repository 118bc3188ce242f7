#pragma once
// A real file system that fills up: a small tmpfs mounted in a mount namespace of a child process, reached from the
// test through /proc/<child>/root, so that nothing is mounted where the rest of the machine sees it. As root the
// child needs only a mount namespace; otherwise it takes a user namespace too. Where neither is allowed, Path() is
// empty and the test skips.
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

class SmallFileSystem {
public:
    explicit SmallFileSystem(std::size_t bytes) {
        char folder[] = "/tmp/small-fs-XXXXXX";
        if (!::mkdtemp(folder)) return;
        mountPoint_ = folder;
        const std::string options = "size=" + std::to_string(bytes) + ",mode=0777";
        const std::string uidMap = "0 " + std::to_string(::getuid()) + " 1";
        const std::string gidMap = "0 " + std::to_string(::getgid()) + " 1";
        const bool root = ::geteuid() == 0;
        int ready[2], hold[2];
        if (::pipe2(ready, O_CLOEXEC) != 0) return;
        if (::pipe2(hold, O_CLOEXEC) != 0) return;
        child_ = ::fork();
        if (child_ == 0) {
            // Only system calls from here on: the test process may have threads.
            ::close(ready[0]);
            ::close(hold[1]);
            bool mounted = ::unshare(root ? CLONE_NEWNS : CLONE_NEWUSER | CLONE_NEWNS) == 0;
            if (mounted && !root)
                mounted = WriteProc("/proc/self/setgroups", "deny") && WriteProc("/proc/self/uid_map", uidMap) &&
                          WriteProc("/proc/self/gid_map", gidMap);
            mounted = mounted && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                      ::mount("tmpfs", folder, "tmpfs", 0, options.c_str()) == 0;
            const char answer = mounted ? '1' : '0';
            (void)!::write(ready[1], &answer, 1);
            char none;
            (void)!::read(hold[0], &none, 1);  // until the test closes its end
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(hold[0]);
        hold_ = hold[1];
        char answer = '0';
        if (child_ > 0 && ::read(ready[0], &answer, 1) == 1 && answer == '1')
            path_ = "/proc/" + std::to_string(child_) + "/root" + mountPoint_;
        ::close(ready[0]);
    }
    ~SmallFileSystem() {
        if (hold_ >= 0) ::close(hold_);
        if (child_ > 0) ::waitpid(child_, nullptr, 0);
        if (!mountPoint_.empty()) ::rmdir(mountPoint_.c_str());
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    // The file system's root folder as the test reaches it; empty when it could not be mounted.
    const std::string& Path() const { return path_; }

    // Fills the file system with a file of its own, then frees `leaveFree` bytes of it.
    bool Fill(std::size_t leaveFree) {
        const std::string filler = path_ + "/filler";
        const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0) return false;
        const std::vector<char> block(4096, 'f');
        off_t size = 0;
        ssize_t written = 0;
        while ((written = ::write(fd, block.data(), block.size())) > 0) size += written;
        const bool full = written < 0 && errno == ENOSPC;
        const bool freed = ::ftruncate(fd, size > off_t(leaveFree) ? size - off_t(leaveFree) : 0) == 0;
        ::close(fd);
        return full && freed;
    }

private:
    static bool WriteProc(const char* file, const std::string& text) {
        const int fd = ::open(file, O_WRONLY | O_CLOEXEC);
        if (fd < 0) return false;
        const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        ::close(fd);
        return written;
    }

    std::string mountPoint_;
    std::string path_;
    pid_t child_ = -1;
    int hold_ = -1;
};
