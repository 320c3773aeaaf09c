// The import and export children restrict themselves before they touch a model: a model that
// made the library read outside its folder, write a file, open a socket or run a program gets
// nowhere, and the user gets one message. The probe library stands in for the library's entry
// point (see SandboxProbe.cpp).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "childimport/ForeignExport.h"
#include "childimport/ForeignImport.h"
#include "sandbox/Sandbox.h"
#include "tests/TestFiles.h"

using testfiles::TempDir;
namespace fs = std::filesystem;

TEST(Sandbox, AModelThatTakesOverTheImporterGetsNowhere) {
    // What the files are kept to needs Landlock; what the calls are kept to, seccomp. A kernel
    // without one of them is tested for the other.
    const SandboxLevel level = KernelSandboxLevel();
    if (level == SandboxLevel::None) GTEST_SKIP() << "the kernel has neither Landlock nor seccomp";
    const bool landlock = level == SandboxLevel::Full;
    ProcessForeignImportSettings().program = ZEMVORA_EXE;
    TempDir dir, elsewhere;
    const std::string model = dir.File("cube.off");
    fs::copy_file(std::string(ZEMVORA_TESTDATA_DIR) + "/models/off/Cube.off", model);
    const std::string secret = elsewhere.File("secret.txt");
    testfiles::WriteBytes(secret, {'s'});
    setenv("LD_PRELOAD", SANDBOX_PROBE_LIB, 1);
    setenv("ASAN_OPTIONS", "verify_asan_link_order=0:detect_leaks=0", 1);
    struct Case {
        const char* act;
        std::string path;
        std::string reason;
    } cases[] = {
        {"read", secret, "The importer does not read this file"},
        {"read", "/etc/passwd", "The importer does not read this file"},
        {"write", elsewhere.File("dropped.txt"), "The importer does not read this file"},
        {"write", dir.File("beside-the-model.txt"), "The importer does not read this file"},
        {"socket", "", "The importer was stopped: it tried something a model reader may not do"},
        {"run", "", "The importer was stopped: it tried something a model reader may not do"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.act) + " " + c.path);
        if (!landlock && !c.path.empty()) continue;  // the cases with a file are Landlock's
        setenv("ZEMVORA_SANDBOX_PROBE", c.act, 1);
        setenv("ZEMVORA_SANDBOX_PROBE_PATH", c.path.c_str(), 1);
        Scene scene;
        const FileOutcome outcome = ImportForeignFile(model, scene);
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.message, "cube.off could not be imported.");
        EXPECT_EQ(outcome.reason, c.reason);
    }
    EXPECT_FALSE(fs::exists(elsewhere.File("dropped.txt")));
    EXPECT_FALSE(fs::exists(dir.File("beside-the-model.txt")));

    // The export child: it may write only where the file goes.
    const std::string target = dir.File("out/cube.glb");
    fs::create_directory(dir.File("out"));
    Scene cube;
    unsetenv("LD_PRELOAD");
    ASSERT_TRUE(ImportForeignFile(model, cube).ok);
    setenv("LD_PRELOAD", SANDBOX_PROBE_LIB, 1);
    const Case exports[] = {
        {"read", secret, "The exporter could not write the file"},
        {"write", elsewhere.File("dropped.txt"), "The exporter could not write the file"},
        {"socket", "", "The exporter was stopped: it tried something a model writer may not do"},
        {"run", "", "The exporter was stopped: it tried something a model writer may not do"},
    };
    for (const Case& c : exports) {
        SCOPED_TRACE(std::string("export ") + c.act + " " + c.path);
        if (!landlock && !c.path.empty()) continue;  // the cases with a file are Landlock's
        setenv("ZEMVORA_SANDBOX_PROBE", c.act, 1);
        setenv("ZEMVORA_SANDBOX_PROBE_PATH", c.path.c_str(), 1);
        const FileOutcome outcome = ExportSceneToFile(cube, target);
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.reason, c.reason);
    }
    EXPECT_FALSE(fs::exists(elsewhere.File("dropped.txt")));
    EXPECT_TRUE(fs::is_empty(dir.File("out")));
    for (const char* name :
         {"LD_PRELOAD", "ASAN_OPTIONS", "ZEMVORA_SANDBOX_PROBE", "ZEMVORA_SANDBOX_PROBE_PATH"})
        unsetenv(name);
    ProcessForeignImportSettings() = ForeignImportSettings();
}
