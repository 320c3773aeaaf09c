// A library preloaded into the import child by the sandbox's tests, never into the program: it
// stands in for the Open Asset Import Library's entry point and, from there, does what a model
// that exploits the library would do, as ZEMVORA_SANDBOX_PROBE says. An act the sandbox lets
// through ends the child with its own exit status, so that the test sees it; an act refused
// lets the import go on to fail as the library's would.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

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
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        if (fd < 0) _exit(45);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_port = htons(9);
        local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connect(fd, reinterpret_cast<sockaddr*>(&local), sizeof local);
        _exit(43);
    } else if (std::strcmp(act, "run") == 0) {
        execl("/bin/true", "true", static_cast<char*>(nullptr));
        _exit(44);
    }
}

}  // namespace

const aiScene* Assimp::Importer::ReadFile(const char*, unsigned int) {
    Act();
    return nullptr;
}

int Assimp::Exporter::Export(const aiScene*, const char*, const char*, unsigned int,
                             const ExportProperties*) {
    Act();
    return -1;  // aiReturn_FAILURE
}
