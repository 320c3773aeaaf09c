// Loading and saving fail with a message and the system's reason, never with a crash or a hang:
// paths that are not regular files are refused at once, and running out of memory while loading
// or saving is reported like a read or write error.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <new>
#include <sstream>

#include "cli/CommandLine.h"
#include "commands/SceneFileCommands.h"
#include "import3ds/ImportFile.h"
#include "scene/AddressSanitizer.h"
#include "scene/AtomicFile.h"
#include "tests/TestFiles.h"
#include "tools/HostileFiles.h"

namespace fs = std::filesystem;
using testfiles::TempDir;
using testfiles::WriteBytes;

namespace {

// Runs body in a child process that is ended after ten seconds; the child's exit status, or -1
// when a signal (the alarm, an abort) ended it.
int InChild(const std::function<int()>& body) {
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        alarm(10);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string CommandLineErrors(const std::vector<std::string>& args, int& status) {
    std::ostringstream out, err;
    status = RunCommandLine(args, out, err);
    return err.str();
}

// The process's address space now, from /proc/self/statm, in bytes.
uint64_t AddressSpace() {
    unsigned long long pages = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%llu", &pages) != 1) pages = 0;
        std::fclose(statm);
    }
    return pages * static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
}

bool LimitAddressSpace(uint64_t extra) {
    const rlimit limit{AddressSpace() + extra, AddressSpace() + extra};
    return setrlimit(RLIMIT_AS, &limit) == 0;
}

#if defined(ZEMVORA_ASAN)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

}  // namespace

TEST(OnlyRegularFiles, PipesSocketsDevicesAndFoldersAreRefusedAtOnce) {
    TempDir dir;
    const std::string fifo = dir.File("pipe.3ds");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = dir.File("folder.zmv");
    fs::create_directory(folder);
    const std::string socketPath = dir.File("socket.zmv");
    const int listening = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(bind(listening, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);

    const struct {
        std::string path;
        int error;
    } cases[] = {
        {fifo, InputStream::kNotRegularFile},
        {socketPath, InputStream::kNotRegularFile},
        {"/dev/null", InputStream::kNotRegularFile},
        {folder, EISDIR},
    };
    for (const auto& c : cases) {
        // A pipe without a writer would block an ordinary open for ever: the alarm ends that.
        const int status = InChild([&] {
            int error = 0;
            return !InputStream::OpenFile(c.path, error) && error == c.error ? 0 : 1;
        });
        EXPECT_EQ(status, 0) << c.path;
    }
    close(listening);

    // What the user is told, by the import, by Open and on the command line.
    const int status = InChild([&] {
        Scene scene;
        const FileOutcome imported = ImportSceneFile(fifo, scene);
        if (imported.ok || imported.message != "pipe.3ds contains an invalid path." ||
            imported.reason != "Not a regular file")
            return 1;
        const FileOutcome opened = OpenSceneFile(socketPath, scene);
        if (opened.ok || opened.message != "Can not create .zmv file " + socketPath ||
            opened.reason != "Not a regular file")
            return 2;
        int exit = 0;
        const std::string errors = CommandLineErrors({"--info", fifo}, exit);
        if (exit != 1 || errors != "pipe.3ds contains an invalid path.\nNot a regular file\n")
            return 3;
        return 0;
    });
    EXPECT_EQ(status, 0);
}

TEST(FailureReasons, SavingGivesTheSystemsReasonBeneathTheMessage) {
    TempDir dir;
    const std::string nowhere = dir.File("none/x.zmv");
    const FileOutcome missing = SaveSceneAs(nowhere, Scene());
    EXPECT_EQ(missing.message, "Can not create .zmv file " + nowhere);
    EXPECT_EQ(missing.reason, "No such file or directory");

    // A file-size limit: the file is too large to write, and the old one stays.
    const std::string path = dir.File("big.zmv");
    WriteBytes(path, {'o', 'l', 'd'});
    Scene big;
    big.m_objects.resize(1);
    big.m_objects[0].vertices.resize(10000);
    big.m_objects[0].vertexCount = 10000;
    const int status = InChild([&] {
        const rlimit limit{4096, 4096};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 3;
        const FileOutcome outcome = SaveSceneAs(path, big);
        return !outcome.ok && outcome.message == "Can not create .zmv file " + path &&
                       outcome.reason == "File too large"
                   ? 0
                   : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(testfiles::ReadBytes(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(OutOfMemory, AWriterThatRunsOutOfMemoryKeepsTheOldFileAndLeavesNothing) {
    TempDir dir;
    const std::string path = dir.File("scene.zmv");
    WriteBytes(path, {'o', 'l', 'd'});
    int error = 0;
    const bool saved = AtomicWriteFile(
        path,
        [](OutputStream& out) -> bool {
            out.WriteU32(1);
            throw std::bad_alloc();
        },
        error);
    EXPECT_FALSE(saved);
    EXPECT_EQ(error, ENOMEM);
    EXPECT_EQ(testfiles::ReadBytes(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(OutOfMemory, LoadingUnderAMemoryLimitFailsWithAMessage) {
    if (kSanitized) GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit";
    TempDir dir;
    // Within its bounds this file still takes about 37 MB: more than the limit below.
    const std::string amplifying = dir.File("overlap.3ds");
    WriteBytes(amplifying, hostile::OverlappingMeshes(4000, 65535));
    const std::string names = dir.File("names.zmv");
    WriteBytes(names, hostile::EmptyNamesScene(size_t{16} << 20));

    const int imported = InChild([&] {
        if (!LimitAddressSpace(uint64_t{16} << 20)) return 3;
        Scene scene;
        const FileOutcome outcome = ImportSceneFile(amplifying, scene);
        if (outcome.ok) return 4;
        if (outcome.message != "An unexpected error occurred while reading overlap.3ds." ||
            outcome.reason != "Cannot allocate memory")
            return 5;
        if (!scene.m_objects.empty() || scene.m_bModified) return 6;
        int exit = 0;
        const std::string errors = CommandLineErrors({"--info", amplifying}, exit);
        if (exit != 1 || errors !=
                             "An unexpected error occurred while reading overlap.3ds.\n"
                             "Cannot allocate memory\n")
            return 7;
        return 0;
    });
    EXPECT_EQ(imported, 0);

    const int opened = InChild([&] {
        if (!LimitAddressSpace(uint64_t{64} << 20)) return 3;
        Scene scene;
        const FileOutcome outcome = OpenSceneFile(names, scene);
        if (outcome.ok) return 4;
        if (outcome.message != "Can not create .zmv file " + names ||
            outcome.reason != "Cannot allocate memory")
            return 5;
        if (!scene.m_materialNames.empty() || scene.m_strFilePath != names) return 6;
        return 0;
    });
    EXPECT_EQ(opened, 0);
}
