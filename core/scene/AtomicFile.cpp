#include "scene/AtomicFile.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <new>
#include <random>
#include <system_error>

#include "scene/SceneFile.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// More hops than any sensible chain of links has; the system's own limit is 40.
constexpr int kMaxLinkHops = 40;

// The file that saving writes. A symbolic link is followed hop by hop to the path it names, so
// that the link stays and the file it names gets the new contents, even when that file does not
// exist yet. A loop of links fails with ELOOP.
bool ResolveTarget(const fs::path& path, fs::path& target, int& errorCode) {
    target = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(target, ec))) return true;
        const fs::path next = fs::read_symlink(target, ec);
        if (ec) {
            errorCode = ec.value();
            return false;
        }
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    errorCode = ELOOP;
    return false;
}

fs::path FolderOf(const fs::path& target) {
    return target.parent_path().empty() ? fs::path(".") : target.parent_path();
}

std::string TemporaryPrefix(const fs::path& target) {
    return target.filename().string() + ".tmp-";
}

// Temporary files of an earlier save of the same target that was killed before it could
// remove them.
void RemoveStaleTemporaries(const fs::path& target) {
    const std::string prefix = TemporaryPrefix(target);
    std::error_code ec;
    for (fs::directory_iterator it(FolderOf(target), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
            name.find_first_not_of("0123456789", prefix.size()) == std::string::npos) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

fs::path RandomTemporaryName(const fs::path& target, std::mt19937& random) {
    fs::path name = target;
    name += ".tmp-" + std::to_string(random() % 1000000000u);
    return name;
}

// Where the new contents are written before they replace the target.
struct Temporary {
    std::FILE* file = nullptr;
    fs::path path;       // empty while the file has no name
    bool named = false;  // false: an unnamed file that a kill cannot leave behind
};

// An unnamed file in the target's folder where the file system offers one, else a new named
// file beside the target.
bool CreateTemporary(const fs::path& target, std::mt19937& random, Temporary& temp,
                     int& errorCode) {
#if defined(O_TMPFILE)
    const int fd = open(FolderOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0) {
        temp.file = fdopen(fd, "wb");
        if (temp.file) return true;
        errorCode = errno;
        close(fd);
        return false;
    }
    // Only a file system without unnamed files falls back; any other refusal is the answer.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT) {
        errorCode = errno;
        return false;
    }
#endif
    for (int attempt = 0; attempt < 16; ++attempt) {
        temp.path = RandomTemporaryName(target, random);
        errno = 0;
        // "x": fail rather than reuse a name that appeared meanwhile.
        temp.file = std::fopen(temp.path.string().c_str(), "wbx");
        if (temp.file) {
            temp.named = true;
            return true;
        }
        if (errno != EEXIST) break;
    }
    errorCode = errno ? errno : EIO;
    return false;
}

// Gives a complete unnamed temporary a name beside the target, so that it can be renamed over
// the target.
bool NameTemporary(const fs::path& target, std::mt19937& random, Temporary& temp, int& errorCode) {
#if defined(O_TMPFILE)
    if (temp.named) return true;
    const std::string self = "/proc/self/fd/" + std::to_string(fileno(temp.file));
    for (int attempt = 0; attempt < 16; ++attempt) {
        temp.path = RandomTemporaryName(target, random);
        if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.path.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
            linkat(fileno(temp.file), "", AT_FDCWD, temp.path.c_str(), AT_EMPTY_PATH) == 0) {
            temp.named = true;
            return true;
        }
        if (errno != EEXIST) break;
    }
    errorCode = errno ? errno : EIO;
    return false;
#else
    (void)target, (void)random, (void)temp, (void)errorCode;
    return true;
#endif
}

bool FlushToDisk(std::FILE* file) {
#if defined(_WIN32)
    (void)file;
    return true;
#else
    return fsync(fileno(file)) == 0;
#endif
}

// A file-size limit then makes a write fail with EFBIG, reported like any other write error,
// instead of ending the program.
void IgnoreFileSizeSignal() {
#if defined(SIGXFSZ)
    static const bool ignored = std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR;
    (void)ignored;
#endif
}

}  // namespace

bool AtomicWriteFile(const std::string& path, const std::function<bool(OutputStream&)>& write,
                     int& errorCode) {
    errorCode = 0;
    IgnoreFileSizeSignal();
    fs::path target;
    if (!ResolveTarget(fs::path(path), target, errorCode)) return false;
    std::error_code ec;
    const fs::file_status status = fs::status(target, ec);
    const bool exists = fs::exists(status);
    if (exists && !fs::is_regular_file(status)) {
        errorCode = EISDIR;
        return false;
    }
#if !defined(_WIN32)
    // A file the user may not write stays as it is, even though its folder would allow a rename.
    if (exists && access(target.string().c_str(), W_OK) != 0) {
        errorCode = errno ? errno : EACCES;
        return false;
    }
#endif
    RemoveStaleTemporaries(target);

    std::random_device seed;
    std::mt19937 random(seed());
    Temporary temp;
    if (!CreateTemporary(target, random, temp, errorCode)) return false;

    bool ok;
    {
        OutputStream out(temp.file);
        try {
            ok = write(out) && out.Flush();
            if (!ok) errorCode = out.ErrorCode();
        } catch (const std::bad_alloc&) {
            // The temporary still has to go; the failure is reported like a write error.
            ok = false;
            errorCode = ENOMEM;
        }
    }
#if !defined(_WIN32)
    // The old file's permissions, set before the file is named.
    if (ok && exists && fchmod(fileno(temp.file), static_cast<mode_t>(status.permissions())) != 0) {
        ok = false;
        errorCode = errno;
    }
#endif
    if (ok && !FlushToDisk(temp.file)) {
        ok = false;
        errorCode = errno;
    }
    // An unnamed file lives only as long as it is open: it is named, and at once renamed over the
    // target, before it is closed, which keeps the moment a kill could leave it behind short.
    if (ok) ok = NameTemporary(target, random, temp, errorCode);
    if (ok) {
        fs::rename(temp.path, target, ec);
        if (ec) {
            ok = false;
            errorCode = ec.value();
        }
    }
    // Everything was written and flushed to the disk before: closing cannot lose anything.
    std::fclose(temp.file);
    if (!ok && temp.named) fs::remove(temp.path, ec);
    return ok;
}

bool SaveSceneFile(const std::string& path, const Scene& scene, int& errorCode) {
    return AtomicWriteFile(
        path,
        [&scene](OutputStream& out) {
            WriteScene(out, scene);
            return out.Ok();
        },
        errorCode);
}
