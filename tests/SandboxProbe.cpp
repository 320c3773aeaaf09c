// A library preloaded into the import and export children and into thumbnail runs by the
// sandbox's tests, never into the program: it stands in for the Open Asset Import Library's entry
// points and OpenGL's reading of the frame and, from there, does what a model that exploits a
// reader would do, or what a broken reader does (crash, eat memory, hang, answer garbage), as
// ZEMVORA_SANDBOX_PROBE says. An act the sandbox lets through ends the process with its own exit
// status, so that the test sees it; after an act refused the run goes on (an import then fails
// as the library's would).
#include <arpa/inet.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

struct aiScene;

namespace Assimp {
class ExportProperties;
class Importer {
public:
    const aiScene* ReadFile(const char* file, unsigned int flags);
};
// The library's function returns its aiReturn, an int, which its name does not carry.
class Exporter {
public:
    int Export(const aiScene* scene, const char* formatId, const char* path, unsigned int steps,
               const ExportProperties* properties);
};
}  // namespace Assimp

namespace {

// Does the act the test asks for; returns when the sandbox refused it.
void Act() {
    const char* act = std::getenv("ZEMVORA_SANDBOX_PROBE");
    const char* path = std::getenv("ZEMVORA_SANDBOX_PROBE_PATH");
    if (!act) return;
    if (std::strcmp(act, "read") == 0) {
        const int fd = open(path, O_RDONLY);
        if (fd >= 0) _exit(41);
    } else if (std::strcmp(act, "write") == 0) {
        const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd >= 0) _exit(42);
    } else if (std::strcmp(act, "socket") == 0) {
        // A socket made at all is too much: nothing need listen for the act to count.
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        if (fd < 0) return;
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_port = htons(9);
        local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connect(fd, reinterpret_cast<sockaddr*>(&local), sizeof local);
        _exit(43);
    } else if (std::strcmp(act, "run") == 0) {
        // A program run replaces the process, which then ends as /bin/true does.
        execl("/bin/true", "true", static_cast<char*>(nullptr));
    } else if (std::strcmp(act, "crash") == 0) {
        std::signal(SIGSEGV, SIG_DFL);  // past any handler a sanitizer installed
        std::raise(SIGSEGV);
    } else if (std::strcmp(act, "memory") == 0) {
        std::vector<std::unique_ptr<char[]>> blocks;
        for (;;) {
            blocks.emplace_back(new char[64 << 20]);
            std::memset(blocks.back().get(), 1, 64 << 20);
        }
    } else if (std::strcmp(act, "hang") == 0) {
        for (;;)
            pause();
    } else if (std::strcmp(act, "garbage") == 0 || std::strcmp(act, "long") == 0) {
        // An answer that is none, or one longer than the parent takes (2 MB).
        const bool garbage = std::strcmp(act, "garbage") == 0;
        std::fputs("ZCHA this is no answer", stdout);
        for (int i = 0; !garbage && i < 2048; ++i)
            std::fwrite(std::string(1024, 'x').data(), 1, 1024, stdout);
        std::fflush(stdout);
        _exit(0);
    }
}

}  // namespace

// Stands in for OpenGL's reading of the drawn frame, which a thumbnail run reaches after its
// reading and its drawing, and then reads the frame as OpenGL would.
extern "C" void glReadPixels(int x, int y, int width, int height, unsigned format, unsigned type,
                             void* pixels) {
    Act();
    using ReadPixels = void (*)(int, int, int, int, unsigned, unsigned, void*);
    const auto next = reinterpret_cast<ReadPixels>(dlsym(RTLD_NEXT, "glReadPixels"));
    if (next) next(x, y, width, height, format, type, pixels);
}

const aiScene* Assimp::Importer::ReadFile(const char*, unsigned int) {
    Act();
    return nullptr;
}

int Assimp::Exporter::Export(const aiScene*, const char*, const char*, unsigned int,
                             const ExportProperties*) {
    Act();
    return -1;  // aiReturn_FAILURE
}
