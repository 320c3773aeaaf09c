#include "cli/CommandSandbox.h"

#include <cstdlib>
#include <filesystem>

#include "sandbox/Sandbox.h"
#include "scene/AddressSanitizer.h"

#if defined(ZEMVORA_ASAN)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

// What drawing a picture reads besides the libraries: fonts and their caches, the OpenGL
// vendors' descriptions, the toolkit's data, the library cache that finds the driver, and the
// processor count by which the driver divides its work. Only read.
std::vector<std::string> DrawingReadableFolders() {
    std::vector<std::string> folders = {
        "/usr/share",       "/usr/local/share", "/etc/fonts", "/var/cache/fontconfig",
        "/etc/ld.so.cache", "/etc/glvnd",       "/proc/stat", "/sys/devices/system/cpu"};
    if (const char* home = std::getenv("HOME"); home && *home) {
        const std::string h = home;
        folders.insert(folders.end(),
                       {h + "/.cache/fontconfig", h + "/.local/share/fonts", h + "/.fonts"});
    }
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache)
        folders.push_back(std::string(cache) + "/fontconfig");
    return folders;
}

}  // namespace

bool& CommandsRestrictThemselves() {
    static bool on = false;
    return on;
}

std::string FolderOf(const std::string& file) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(file, ec);
    return (ec ? std::filesystem::path(file) : absolute).parent_path().string();
}

void RestrictAfterReading(const std::string& input,
                          const std::vector<std::string>& writableFolders) {
    if (!CommandsRestrictThemselves()) return;
#if defined(ZEMVORA_ASAN)
    // The leak checker stops the process's threads with ptrace, which the sandbox forbids: it
    // checks now, and not again at exit.
    __lsan_do_leak_check();
#endif
    SandboxRules rules;
    rules.readable = SystemReadableFolders();
    const std::vector<std::string> drawing = DrawingReadableFolders();
    rules.readable.insert(rules.readable.end(), drawing.begin(), drawing.end());
    rules.readable.push_back(FolderOf(input));
    rules.writable = writableFolders;
    rules.socketsFail = true;
    EnterSandbox(rules);
}
