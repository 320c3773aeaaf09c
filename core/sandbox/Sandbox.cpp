#include "sandbox/Sandbox.h"

#if defined(__linux__)
#include <fcntl.h>
#include <linux/landlock.h>
#include <seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdint>

namespace {

#if defined(__linux__)

// The rights each Landlock ABI handles, by their bits, so that a build with older kernel
// headers still handles every right the running kernel knows.
constexpr uint64_t kFsAbi1 = (1ULL << 13) - 1;  // execute ... make symlink
constexpr uint64_t kFsRefer = 1ULL << 13;       // ABI 2
constexpr uint64_t kFsTruncate = 1ULL << 14;    // ABI 3
constexpr uint64_t kFsIoctlDev = 1ULL << 15;    // ABI 5
constexpr uint64_t kNetBindTcp = 1ULL << 0;     // ABI 4
constexpr uint64_t kNetConnectTcp = 1ULL << 1;
constexpr uint64_t kScopeAbstractSocket = 1ULL << 0;  // ABI 6
constexpr uint64_t kScopeSignal = 1ULL << 1;

constexpr uint64_t kRead = LANDLOCK_ACCESS_FS_READ_FILE | LANDLOCK_ACCESS_FS_READ_DIR;
constexpr uint64_t kWrite = kRead | LANDLOCK_ACCESS_FS_WRITE_FILE | LANDLOCK_ACCESS_FS_MAKE_REG |
                            LANDLOCK_ACCESS_FS_REMOVE_FILE | kFsTruncate;

struct RulesetAttr {
    uint64_t handledAccessFs;
    uint64_t handledAccessNet;
    uint64_t scoped;
};

struct PathBeneathAttr {
    uint64_t allowedAccess;
    int32_t parentFd;
} __attribute__((packed));

bool EnterLandlock(const SandboxRules& rules) {
    const long abi =
        syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    if (abi < 1) return false;
    RulesetAttr attr{kFsAbi1, 0, 0};
    if (abi >= 2) attr.handledAccessFs |= kFsRefer;
    if (abi >= 3) attr.handledAccessFs |= kFsTruncate;
    if (abi >= 5) attr.handledAccessFs |= kFsIoctlDev;
    // No port is allowed: every TCP bind and connect is refused.
    if (abi >= 4) attr.handledAccessNet = kNetBindTcp | kNetConnectTcp;
    if (abi >= 6) attr.scoped = kScopeAbstractSocket | kScopeSignal;
    const size_t size = abi >= 6 ? sizeof attr : abi >= 4 ? 16 : 8;
    const int ruleset = static_cast<int>(syscall(SYS_landlock_create_ruleset, &attr, size, 0));
    if (ruleset < 0) return false;
    const auto allow = [&](const std::string& path, uint64_t access) {
        const int fd = open(path.c_str(), O_PATH | O_CLOEXEC);
        if (fd < 0) return;
        // A file (not a folder) takes only the rights of files.
        struct stat info {};
        if (fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode))
            access &= LANDLOCK_ACCESS_FS_READ_FILE | LANDLOCK_ACCESS_FS_WRITE_FILE | kFsTruncate;
        PathBeneathAttr beneath{access & attr.handledAccessFs, fd};
        syscall(SYS_landlock_add_rule, ruleset, LANDLOCK_RULE_PATH_BENEATH, &beneath, 0);
        close(fd);
    };
    for (const std::string& path : rules.readable)
        allow(path, kRead);
    for (const std::string& path : rules.writable)
        allow(path, kWrite);
    const bool restricted = prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
                            syscall(SYS_landlock_restrict_self, ruleset, 0) == 0;
    close(ruleset);
    return restricted;
}

bool EnterSeccomp(bool socketsFail) {
    scmp_filter_ctx filter = seccomp_init(SCMP_ACT_ALLOW);
    if (!filter) return false;
    // Nothing a reader or writer of files needs: the network, other programs, other processes'
    // memory, the system's mounts, modules and kernels.
    static const int kSockets[] = {
        SCMP_SYS(socket), SCMP_SYS(socketpair), SCMP_SYS(connect), SCMP_SYS(bind),
        SCMP_SYS(listen), SCMP_SYS(accept),     SCMP_SYS(accept4),
    };
    static const int kForbidden[] = {
        SCMP_SYS(execve),
        SCMP_SYS(execveat),
        SCMP_SYS(ptrace),
        SCMP_SYS(process_vm_readv),
        SCMP_SYS(process_vm_writev),
        SCMP_SYS(kexec_load),
        SCMP_SYS(kexec_file_load),
        SCMP_SYS(mount),
        SCMP_SYS(umount2),
        SCMP_SYS(pivot_root),
        SCMP_SYS(chroot),
        SCMP_SYS(bpf),
        SCMP_SYS(init_module),
        SCMP_SYS(finit_module),
        SCMP_SYS(delete_module),
        SCMP_SYS(setns),
        SCMP_SYS(unshare),
        SCMP_SYS(perf_event_open),
        SCMP_SYS(userfaultfd),
        SCMP_SYS(keyctl),
        SCMP_SYS(add_key),
        SCMP_SYS(request_key),
        SCMP_SYS(swapon),
        SCMP_SYS(swapoff),
        SCMP_SYS(reboot),
        SCMP_SYS(open_by_handle_at),
        SCMP_SYS(fanotify_init),
        SCMP_SYS(io_uring_setup),
    };
    bool ok = true;
    const uint32_t socketAction = socketsFail ? SCMP_ACT_ERRNO(EACCES) : SCMP_ACT_KILL_PROCESS;
    for (int call : kSockets)
        ok = ok && seccomp_rule_add(filter, socketAction, call, 0) == 0;
    for (int call : kForbidden)
        ok = ok && seccomp_rule_add(filter, SCMP_ACT_KILL_PROCESS, call, 0) == 0;
    // Threads already running (a toolkit's, a driver's) take the filter too, where they can.
    if (ok) seccomp_attr_set(filter, SCMP_FLTATR_CTL_TSYNC, 1);
    ok = ok && seccomp_attr_set(filter, SCMP_FLTATR_CTL_NNP, 1) == 0 && seccomp_load(filter) == 0;
    seccomp_release(filter);
    return ok;
}

#endif

}  // namespace

SandboxLevel EnterSandbox(const SandboxRules& rules) {
#if defined(__linux__)
    const bool landlock = EnterLandlock(rules);
    const bool seccomp = EnterSeccomp(rules.socketsFail);
    if (landlock && seccomp) return SandboxLevel::Full;
    return seccomp ? SandboxLevel::SeccompOnly : SandboxLevel::None;
#else
    (void)rules;
    return SandboxLevel::None;
#endif
}

SandboxLevel KernelSandboxLevel() {
#if defined(__linux__)
    const bool landlock =
        syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION) >= 1;
    // prctl answers EINVAL where the kernel has no seccomp.
    const bool seccomp = prctl(PR_GET_SECCOMP, 0, 0, 0, 0) >= 0;
    if (landlock && seccomp) return SandboxLevel::Full;
    return seccomp ? SandboxLevel::SeccompOnly : SandboxLevel::None;
#else
    return SandboxLevel::None;
#endif
}

std::vector<std::string> SystemReadableFolders() {
    return {"/usr/lib", "/usr/lib64", "/lib", "/lib64", "/usr/share/locale", "/proc/self"};
}

std::string SandboxNote(SandboxLevel level, const std::string& who) {
    switch (level) {
        case SandboxLevel::Full:
            return "";
        case SandboxLevel::SeccompOnly:
            return "the " + who +
                   " ran with seccomp alone: the kernel has no Landlock to keep it to the "
                   "model's folder";
        case SandboxLevel::None:
            return "the " + who +
                   " ran without a sandbox: the kernel has neither Landlock nor "
                   "seccomp";
    }
    return "";
}
