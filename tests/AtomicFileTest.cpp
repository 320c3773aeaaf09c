// Saving never destroys the file that was there: failed writes leave it whole and leave no
// temporary behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>
#include <set>

#if !defined(_WIN32)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

#include "commands/SceneFileCommands.h"
#include "scene/AtomicFile.h"
#include "scene/SceneFile.h"
#include "tests/TestFiles.h"

namespace fs = std::filesystem;
using testfiles::ReadBytes;
using testfiles::TempDir;
using testfiles::WriteBytes;

namespace {

#if !defined(_WIN32)
constexpr uid_t kNobody = 65534;

// Runs body in a child process with the rights of an ordinary user; true when body returned true.
bool AsOrdinaryUser(const std::function<bool()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(2);
        _exit(body() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
#endif

size_t EntriesIn(const fs::path& dir) {
    return static_cast<size_t>(
        std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

Scene SceneWithMaterial(const std::string& name) {
    Scene scene;
    SceneMaterial m;
    m.name = name;
    scene.m_materials = {m};
    scene.m_materialNames = {name};
    return scene;
}

}  // namespace

TEST(AtomicFile, SaveCreatesAndReplacesTheFile) {
    TempDir dir;
    const std::string path = dir.File("scene.zmv");
    int error = 0;
    ASSERT_TRUE(SaveSceneFile(path, SceneWithMaterial("First"), error));
    ASSERT_TRUE(SaveSceneFile(path, SceneWithMaterial("Second"), error));
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);

    const std::vector<uint8_t> bytes = ReadBytes(path);
    InputStream in(bytes.data(), bytes.size());
    Scene back;
    ASSERT_EQ(ReadScene(in, back), ReadSceneResult::Read);
    EXPECT_EQ(back.m_materials.at(0).name, "Second");
}

TEST(AtomicFile, AWriteThatFailsPartWayKeepsTheOldFile) {
    TempDir dir;
    const std::string path = dir.File("scene.zmv");
    const std::vector<uint8_t> old = {'o', 'l', 'd'};
    WriteBytes(path, old);
    int error = 0;
    const bool ok = AtomicWriteFile(
        path,
        [](OutputStream& out) {
            const std::vector<uint8_t> half(100000, 0xAB);
            out.Write(half.data(), half.size());
            return false;  // the disk filled up, say
        },
        error);
    EXPECT_FALSE(ok);
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);  // no temporary left behind
}

TEST(AtomicFile, UnwritablePlacesFailWithTheMessageAndTouchNothing) {
    TempDir dir;
    const std::string missingFolder = dir.File("no/such/folder/scene.zmv");
    const FileOutcome outcome = SaveSceneAs(missingFolder, Scene());
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.message, "Can not create .zmv file " + missingFolder);

    // A folder where the file should be.
    fs::create_directory(dir.File("taken.zmv"));
    EXPECT_FALSE(SaveSceneAs(dir.File("taken.zmv"), Scene()).ok);
    EXPECT_TRUE(fs::is_directory(dir.File("taken.zmv")));
}

#if !defined(_WIN32)
TEST(AtomicFile, ReadOnlyFilesAndFoldersAreRespected) {
    // Permissions do not bind the superuser (as CI runs), so the saving runs as an ordinary user.
    TempDir dir;
    const fs::path home = dir.Path() / "home";
    fs::create_directory(home);
    if (geteuid() == 0 && chown(home.c_str(), kNobody, kNobody) != 0) GTEST_FAIL() << "chown";
    const std::string path = (home / "scene.zmv").string();
    const std::vector<uint8_t> old = {'o', 'l', 'd'};

    const bool held = AsOrdinaryUser([&] {
        WriteBytes(path, old);
        fs::permissions(path, fs::perms::owner_read);
        if (SaveSceneAs(path, Scene()).ok || ReadBytes(path) != old) return false;

        fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
        fs::permissions(home, fs::perms::owner_read | fs::perms::owner_exec);
        const FileOutcome outcome = SaveSceneAs(path, Scene());
        return !outcome.ok && outcome.message == "Can not create .zmv file " + path &&
               ReadBytes(path) == old;
    });
    EXPECT_TRUE(held);
}
#endif

TEST(AtomicFile, ALinkKeepsPointingAtTheSavedFile) {
#if defined(_WIN32)
    GTEST_SKIP() << "symbolic links need privileges";
#else
    TempDir dir;
    const std::string real = dir.File("real.zmv");
    const std::string link = dir.File("link.zmv");
    WriteBytes(real, {'o', 'l', 'd'});
    fs::create_symlink(real, link);
    ASSERT_TRUE(SaveSceneAs(link, Scene()).ok);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(real).size(), 119u);
#endif
}

#if !defined(_WIN32)
TEST(AtomicFile, LinksAreFollowedEvenToAFileNotYetThereAndALoopIsRefused) {
    TempDir dir;
    // A dangling link: the file it names is created, and the link stays a link.
    const std::string link = dir.File("link.zmv");
    fs::create_symlink("named.zmv", link);
    ASSERT_TRUE(SaveSceneAs(link, Scene()).ok);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(dir.File("named.zmv")).size(), 119u);

    // A loop of links is an error that creates nothing.
    fs::create_symlink("b.zmv", dir.File("a.zmv"));
    fs::create_symlink("a.zmv", dir.File("b.zmv"));
    const size_t before = EntriesIn(dir.Path());
    int error = 0;
    EXPECT_FALSE(SaveSceneFile(dir.File("a.zmv"), Scene(), error));
    EXPECT_EQ(error, ELOOP);
    EXPECT_EQ(EntriesIn(dir.Path()), before);
    EXPECT_TRUE(fs::is_symlink(dir.File("a.zmv")));
}

TEST(AtomicFile, TheNextSaveRemovesTemporariesThatAKilledSaveLeft) {
    TempDir dir;
    const std::string path = dir.File("scene.zmv");
    WriteBytes(path + ".tmp-123456", {'x'});
    WriteBytes(dir.File("other.zmv.tmp-42"), {'y'});  // another file's: kept
    WriteBytes(path + ".tmp-notes", {'z'});           // not a temporary's name: kept
    ASSERT_TRUE(SaveSceneAs(path, Scene()).ok);
    EXPECT_FALSE(fs::exists(path + ".tmp-123456"));
    EXPECT_TRUE(fs::exists(dir.File("other.zmv.tmp-42")));
    EXPECT_TRUE(fs::exists(path + ".tmp-notes"));
    EXPECT_EQ(EntriesIn(dir.Path()), 3u);
}

TEST(AtomicFile, AFileSizeLimitIsAWriteErrorThatKeepsTheOldFile) {
    TempDir dir;
    const std::string path = dir.File("scene.zmv");
    WriteBytes(path, {'o', 'l', 'd'});
    const pid_t child = fork();
    if (child == 0) {
        const rlimit limit{4096, 4096};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(3);
        int error = 0;
        const bool saved = AtomicWriteFile(
            path,
            [](OutputStream& out) {
                const std::vector<uint8_t> block(65536, 7);
                out.Write(block.data(), block.size());
                return out.Ok();
            },
            error);
        _exit(!saved && error == EFBIG ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST(AtomicFile, KillsDuringALargeSaveLeaveNoStrayFileAndAWholeTarget) {
    TempDir dir;
    const std::string path = dir.File("scene.zmv");
    constexpr size_t kSize = 16u << 20;
    WriteBytes(path, std::vector<uint8_t>(kSize, 1));
    std::mt19937 random(20261207);
    std::set<std::string> strays;
    for (int kill = 0; kill < 20; ++kill) {
        const uint8_t fill = static_cast<uint8_t>(2 + kill);
        const pid_t child = fork();
        if (child == 0) {
            int error = 0;
            const bool saved = AtomicWriteFile(
                path,
                [fill](OutputStream& out) {
                    const std::vector<uint8_t> block(1u << 20, fill);
                    for (size_t i = 0; i < kSize / block.size(); ++i)
                        out.Write(block.data(), block.size());
                    return out.Ok();
                },
                error);
            _exit(saved ? 0 : 1);
        }
        usleep(static_cast<useconds_t>(random() % 60000));
        ::kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        // The target, whole: the old contents or the new. The file is unnamed while it is
        // written; only a kill in the few microseconds between naming it and renaming it over
        // the target can leave a temporary, which the next save removes.
        for (const auto& entry : fs::directory_iterator(dir.Path())) {
            const std::string name = entry.path().filename().string();
            if (name == "scene.zmv") continue;
            EXPECT_EQ(name.rfind("scene.zmv.tmp-", 0), 0u) << name;
            strays.insert(name);
        }
        const std::vector<uint8_t> bytes = ReadBytes(path);
        ASSERT_EQ(bytes.size(), kSize);
        EXPECT_EQ(std::count(bytes.begin(), bytes.end(), bytes.front()),
                  static_cast<std::ptrdiff_t>(kSize));
    }
    EXPECT_LE(strays.size(), 1u) << "a killed save must not leave its temporary file behind";
    ASSERT_TRUE(SaveSceneAs(path, Scene()).ok);
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}
#endif
