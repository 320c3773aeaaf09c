// Saving never destroys the file that was there: failed writes leave it whole and leave no
// temporary behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#if !defined(_WIN32)
#include <sys/wait.h>
#include <unistd.h>
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
