#include "scene/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

#include "scene/SceneFile.h"

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// A link is followed so that the file it names gets the new contents and the link stays.
fs::path ResolveTarget(const fs::path& path) {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        fs::path target = fs::canonical(path, ec);
        if (!ec) return target;
    }
    return path;
}

// Creates a new file beside target with a name no other file has.
std::FILE* CreateTemporary(const fs::path& target, fs::path& tempPath, int& errorCode) {
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 16; ++attempt) {
        tempPath = target;
        tempPath += ".tmp-" + std::to_string(random() % 1000000000u);
        errno = 0;
        // "x": fail rather than reuse a name that appeared meanwhile.
        std::FILE* file = std::fopen(tempPath.string().c_str(), "wbx");
        if (file) return file;
        if (errno != EEXIST) break;
    }
    errorCode = errno ? errno : EIO;
    return nullptr;
}

bool FlushToDisk(std::FILE* file) {
#if defined(_WIN32)
    (void)file;
    return true;
#else
    return fsync(fileno(file)) == 0;
#endif
}

}  // namespace

bool AtomicWriteFile(const std::string& path, const std::function<bool(OutputStream&)>& write,
                     int& errorCode) {
    errorCode = 0;
    const fs::path target = ResolveTarget(fs::path(path));
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

    fs::path tempPath;
    std::FILE* file = CreateTemporary(target, tempPath, errorCode);
    if (!file) return false;

    bool ok;
    {
        OutputStream out(file);
        ok = write(out) && out.Flush();
        if (!ok) errorCode = out.ErrorCode();
    }
    if (ok && !FlushToDisk(file)) {
        ok = false;
        errorCode = errno;
    }
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        errorCode = errno;
    }
    if (ok && exists) {
        fs::permissions(tempPath, status.permissions(), ec);  // keep the old file's permissions
    }
    if (ok) {
        fs::rename(tempPath, target, ec);
        if (ec) {
            ok = false;
            errorCode = ec.value();
        }
    }
    if (!ok) fs::remove(tempPath, ec);
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
