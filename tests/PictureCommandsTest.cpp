// The picture commands of the program itself, run as a file manager or a shell runs them:
// thumbnails of real and hostile files, and turntable frames of a real file. They draw through
// Mesa and Qt like the other RenderImage tests, and are named with them.
#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <fstream>
#include <set>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include "HeadlessRender.h"
#include "HeadlessToolkit.h"
#include "childimport/ForeignImport.h"
#include "cli/CommandLine.h"
#include "cli/RenderOptions.h"
#include "import3ds/ImportFile.h"
#include "sandbox/Sandbox.h"
#include "tests/ImageCompare.h"
#include "tests/TestFiles.h"

using testfiles::ReadBytes;
using testfiles::TempDir;
using testfiles::TestData;
using testfiles::WriteBytes;

namespace {

struct ProgramRun {
    int status = -1;
    std::string err;
};

// Runs the program; a run that has not ended after a minute counts as hung.
ProgramRun Zemvora(const QStringList& args,
                   const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(ZEMVORA_EXE), args);
    ProgramRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        run.err = "hung";
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.err = process.readAllStandardError().toStdString();
    return run;
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

const std::string kStillLife = std::string(ZEMVORA_SOURCE_DIR) + "/examples/still-life.3ds";

}  // namespace

TEST(RenderImageThumbnail, IsASquareOfTheWholeModelsAlone) {
    TempDir dir;
    // Tall, wide and flat models: each is whole, with background all round the picture's edge.
    for (const std::string& file : {TestData("celestia/apollo.3ds"), TestData("assimp/jeep1.3ds"),
                                    TestData("qt3d/roboticBody.3ds")}) {
        SCOPED_TRACE(file);
        const ProgramRun run = Zemvora({"--thumbnail", "96", Q(file), Q(dir.File("edge.png"))});
        ASSERT_EQ(run.status, 0) << run.err;
        const QImage edge(Q(dir.File("edge.png")));
        ASSERT_EQ(edge.size(), QSize(96, 96));
        const QRgb background = edge.pixel(0, 0);
        for (int i = 0; i < 96; ++i)
            for (const QPoint p : {QPoint(i, 0), QPoint(i, 95), QPoint(0, i), QPoint(95, i)})
                ASSERT_EQ(edge.pixel(p), background) << p.x() << "," << p.y();
    }

    const ProgramRun thumb =
        Zemvora({"--thumbnail", "128", Q(kStillLife), Q(dir.File("thumb.png"))});
    ASSERT_EQ(thumb.status, 0) << thumb.err;
    EXPECT_EQ(thumb.err, "");
    const QImage picture(Q(dir.File("thumb.png")));
    ASSERT_EQ(picture.size(), QSize(128, 128));

    // Something besides the background was drawn.
    std::set<QRgb> colors;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            colors.insert(picture.pixel(x, y));
    EXPECT_GT(colors.size(), 10u);

    // A scene file gives the same picture as the file it was made from.
    ASSERT_EQ(Zemvora({"--convert", Q(kStillLife), Q(dir.File("scene.zmv"))}).status, 0);
    ASSERT_EQ(
        Zemvora({"--thumbnail", "128", Q(dir.File("scene.zmv")), Q(dir.File("zmv.png"))}).status,
        0);
    EXPECT_EQ(QImage(Q(dir.File("zmv.png"))), picture);
}

// A thumbnail service makes the output file, runs the program and reads the picture through
// the handle it opened before the run; a file put in its place would go unseen.
TEST(RenderImageThumbnail, IsWrittenIntoTheFileTheCallerAlreadyHoldsOpen) {
    TempDir dir;
    const std::string out = dir.File("held.png");
    const int fd = open(out.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    // An unreadable scene leaves the held file as it was: empty.
    WriteBytes(dir.File("noise.3ds"), std::vector<uint8_t>(300, 0x4d));
    EXPECT_EQ(Zemvora({"--thumbnail", "64", Q(dir.File("noise.3ds")), Q(out)}).status, 1);
    struct stat held {};
    ASSERT_EQ(fstat(fd, &held), 0);
    EXPECT_EQ(held.st_size, 0);

    const ProgramRun run = Zemvora({"--thumbnail", "128", Q(kStillLife), Q(out)});
    ASSERT_EQ(run.status, 0) << run.err;
    QByteArray png;
    char chunk[4096];
    for (ssize_t n; (n = pread(fd, chunk, sizeof chunk, png.size())) > 0;)
        png.append(chunk, static_cast<int>(n));
    close(fd);
    EXPECT_EQ(QImage::fromData(png, "PNG").size(), QSize(128, 128));

    // --render instead puts a whole new file in place: a reader of the old one keeps it whole.
    const std::string still = dir.File("still.png");
    WriteBytes(still, {'o', 'l', 'd'});
    const int oldFd = open(still.c_str(), O_RDONLY);
    ASSERT_GE(oldFd, 0);
    ASSERT_EQ(Zemvora({"--render", Q(kStillLife), "--output", Q(still), "--size", "64x48"}).status,
              0);
    char first[4] = {};
    EXPECT_EQ(pread(oldFd, first, sizeof first, 0), 3);
    close(oldFd);
    EXPECT_STREQ(first, "old");
    EXPECT_EQ(QImage(Q(still)).size(), QSize(64, 48));
}

TEST(RenderImageThumbnail, HostileFilesGiveStatusOneAMessageAndNoPicture) {
    TempDir dir;
    const std::vector<uint8_t> real = ReadBytes(TestData("qt3d/lunar-lander.3ds"));
    ASSERT_GT(real.size(), 100u);
    std::vector<uint8_t> halved(real.begin(), real.begin() + real.size() / 2);
    std::vector<uint8_t> noise(5000);
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<uint8_t>(i * 7919u >> 3);
    WriteBytes(dir.File("empty.3ds"), {});
    WriteBytes(dir.File("halved.3ds"), halved);
    WriteBytes(dir.File("noise.3ds"), noise);
    WriteBytes(dir.File("noise.zmv"), noise);
    WriteBytes(dir.File("text.zmv"), {'h', 'e', 'l', 'l', 'o', '\n'});
    std::filesystem::create_directory(dir.File("folder.3ds"));
    ASSERT_EQ(mkfifo(dir.File("pipe.3ds").c_str(), 0600), 0);
    WriteBytes(dir.File("locked.3ds"), real);
    std::filesystem::permissions(dir.File("locked.3ds"), std::filesystem::perms::none);

    for (const char* name : {"empty.3ds", "halved.3ds", "noise.3ds", "noise.zmv", "text.zmv",
                             "folder.3ds", "pipe.3ds", "missing.3ds", "locked.3ds"}) {
        SCOPED_TRACE(name);
        if (std::string(name) == "locked.3ds" && getuid() == 0) continue;  // root reads it
        const std::string out = dir.File(std::string(name) + ".png");
        const ProgramRun run = Zemvora({"--thumbnail", "64", Q(dir.File(name)), Q(out)});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(name), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
    // Bad sizes are usage errors, with no picture either.
    for (const char* size : {"0", "-5", "big", "100000"}) {
        const ProgramRun run =
            Zemvora({"--thumbnail", size, Q(kStillLife), Q(dir.File("bad.png"))});
        EXPECT_EQ(run.status, 2) << size;
        EXPECT_FALSE(std::filesystem::exists(dir.File("bad.png")));
    }
}

TEST(RenderImageThumbnail, DamagedButReadableFilesGiveAPictureOrStatusOneAndNeverHang) {
    TempDir dir;
    const std::vector<uint8_t> real = ReadBytes(TestData("assimp/jeep1.3ds"));
    ASSERT_GT(real.size(), 1000u);
    for (uint32_t seed = 1; seed <= 8; ++seed) {
        SCOPED_TRACE(seed);
        std::vector<uint8_t> damaged = real;
        // Overwrite bytes past the headers with others, in a pattern fixed by the seed.
        uint32_t state = seed * 2654435761u;
        for (int i = 0; i < 40; ++i) {
            state = state * 1664525u + 1013904223u;
            damaged[22 + state % (damaged.size() - 22)] = static_cast<uint8_t>(state >> 24);
        }
        const std::string in = dir.File("damaged" + std::to_string(seed) + ".3ds");
        const std::string out = in + ".png";
        WriteBytes(in, damaged);
        const ProgramRun run = Zemvora({"--thumbnail", "96", Q(in), Q(out)});
        ASSERT_NE(run.err, "hung");
        if (run.status == 0)
            EXPECT_EQ(QImage(Q(out)).size(), QSize(96, 96));
        else
            EXPECT_FALSE(std::filesystem::exists(out));
    }
}

TEST(RenderImageTurntable, ARealFileGivesDistinctFramesAndFrameZeroIsTheRenderPicture) {
    TempDir dir;
    const std::string file = TestData("qt3d/lunar-lander.3ds");
    constexpr int kFrames = 5;
    const ProgramRun spin = Zemvora({"--render", Q(file), "--turntable", QString::number(kFrames),
                                     "--output", Q(dir.File("spin")), "--size", "200x150"});
    ASSERT_EQ(spin.status, 0) << spin.err;
    std::vector<QImage> frames;
    for (int k = 0; k < kFrames; ++k) {
        const QImage frame(Q(dir.File("spin-00" + std::to_string(k) + ".png")));
        ASSERT_EQ(frame.size(), QSize(200, 150)) << k;
        for (size_t before = 0; before < frames.size(); ++before)
            EXPECT_NE(frame, frames[before]) << "frames " << before << " and " << k;
        frames.push_back(frame);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("spin-005.png")));

    const ProgramRun still =
        Zemvora({"--render", Q(file), "--output", Q(dir.File("still.png")), "--size", "200x150"});
    ASSERT_EQ(still.status, 0) << still.err;
    EXPECT_EQ(ReadBytes(dir.File("still.png")), ReadBytes(dir.File("spin-000.png")));
}

// A model whose import child announces its scene is drawn as its objects come; the picture is
// the one of the whole scene drawn at once, as a turntable's first frame is drawn.
TEST(RenderImageTurntable, AModelDrawnAsItComesIsTheFirstFrameOfItsTurntable) {
    TempDir dir;
    const struct {
        const char* model;
        QStringList options;
    } cases[] = {
        {"models/stl/Spider_binary.stl", {}},
        {"models/stl/Spider_binary.stl", {"--up", "y", "--mode", "line"}},
        {"models/gltf/BoxTexturedBinary.glb", {}},
        {"models/ply/cube_uv.ply", {"--default-view"}},
        {"models/obj/spider.obj", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model + (" " + c.options.join(' ')).toStdString());
        const QStringList common =
            QStringList{"--render", Q(std::string(ZEMVORA_TESTDATA_DIR) + "/" + c.model), "--size",
                        "160x120"} +
            c.options;
        const ProgramRun spin =
            Zemvora(common + QStringList{"--turntable", "1", "--output", Q(dir.File("spin"))});
        ASSERT_EQ(spin.status, 0) << spin.err;
        const ProgramRun still =
            Zemvora(common + QStringList{"--output", Q(dir.File("still.png"))});
        ASSERT_EQ(still.status, 0) << still.err;
        EXPECT_EQ(ReadBytes(dir.File("still.png")), ReadBytes(dir.File("spin-000.png")));
    }
}

TEST(RenderImageTurntable, AFolderThatCannotBeWrittenStopsWithAMessage) {
    TempDir dir;
    const ProgramRun run = Zemvora({"--render", Q(kStillLife), "--turntable", "3", "--output",
                                    Q(dir.File("missing/folder/spin")), "--size", "64x48"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("spin-000.png"), std::string::npos) << run.err;
}

// Once a picture command has read its model, it draws and writes its output and can do nothing
// else; the pictures are those drawn without the sandbox, textures and label included, in every
// mode those of this process's shaders, which the driver optimises as the window's, and for a
// model read by an import child, those drawn without a frame drawn while the child read.
TEST(RenderImageSandbox, APictureRunCanWriteItsOutputAndNothingElse) {
    TempDir dir;
    ProcessForeignImportSettings().program = ZEMVORA_EXE;
    const struct {
        std::string file;
        const char* mode;
    } runs[] = {{TestData("assimp/jeep1.3ds"), "smooth"},
                {kStillLife, "smooth"},
                {kStillLife, "flat"},
                {kStillLife, "line"},
                {kStillLife, "vertex"},
                {std::string(ZEMVORA_TESTDATA_DIR) + "/models/obj/spider.obj", "smooth"},
                {std::string(ZEMVORA_TESTDATA_DIR) + "/models/gltf/BoxTexturedBinary.glb", "flat"}};
    for (const auto& [file, mode] : runs) {
        SCOPED_TRACE(file + " " + mode);
        const std::string png = dir.File("sandboxed.png");
        const ProgramRun run =
            Zemvora({"--render", Q(file), "--output", Q(png), "--size", "160x120", "--mode", mode});
        ASSERT_EQ(run.status, 0) << run.err;
        RenderOptions options;
        std::string error;
        ASSERT_TRUE(ParseRenderOptions({file, "--output", png, "--size", "160x120", "--mode", mode},
                                       options, error));
        Scene scene;
        std::ostringstream messages;
        ASSERT_TRUE(LoadSceneForCommandLine(file, scene, messages).ok);
        ViewState view = RenderViewState(options, scene);
        EXPECT_EQ(QImage(Q(png)), RenderSceneImage(scene, view, 160, 120, error));
    }
    // So is a thumbnail of a model the child reads, written into the file the service made.
    for (const std::string& file :
         {std::string(ZEMVORA_TESTDATA_DIR) + "/models/obj/spider.obj", kStillLife}) {
        SCOPED_TRACE(file);
        const std::string thumb = dir.File("thumb.png");
        ASSERT_EQ(Zemvora({"--thumbnail", "96", Q(file), Q(thumb)}).status, 0);
        RenderOptions options;
        std::string error;
        ASSERT_TRUE(ParseThumbnailOptions({"96", file, thumb}, options, error));
        Scene scene;
        std::ostringstream messages;
        ASSERT_TRUE(LoadSceneForCommandLine(file, scene, messages).ok);
        ViewState view = RenderViewState(options, scene);
        EXPECT_EQ(QImage(Q(thumb)), RenderSceneImage(scene, view, 96, 96, error));
    }

    // A model that took over the drawing, as the probe library does from OpenGL's reading of the
    // frame (see SandboxProbe.cpp).
    const SandboxLevel level = KernelSandboxLevel();
    if (level == SandboxLevel::None) GTEST_SKIP() << "the kernel has neither Landlock nor seccomp";
    TempDir elsewhere;
    const std::string secret = elsewhere.File("secret.txt");
    WriteBytes(secret, {'s'});
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LD_PRELOAD", SANDBOX_PROBE_LIB);
    env.insert("ASAN_OPTIONS", "verify_asan_link_order=0:detect_leaks=0");
    const std::string out = dir.File("thumb.png");
    const struct {
        const char* act;
        std::string path;
        bool killed;  // running a program ends the run; a refused file or socket lets it go on
    } cases[] = {
        {"read", secret, false},
        {"read", "/etc/passwd", false},
        {"write", elsewhere.File("dropped.txt"), false},
        {"write", dir.File("beside-the-picture.txt"), false},
        {"socket", "", false},
        {"run", "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.act) + " " + c.path);
        if (level != SandboxLevel::Full && !c.path.empty()) continue;  // Landlock's cases
        env.insert("ZEMVORA_SANDBOX_PROBE", c.act);
        env.insert("ZEMVORA_SANDBOX_PROBE_PATH", Q(c.path));
        std::filesystem::remove(out);
        const ProgramRun run = Zemvora({"--thumbnail", "64", Q(kStillLife), Q(out)}, env);
        if (c.killed) {
            EXPECT_EQ(run.status, -1) << run.err;
        } else {
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(QImage(Q(out)).size(), QSize(64, 64));
        }
    }
    EXPECT_FALSE(std::filesystem::exists(elsewhere.File("dropped.txt")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("beside-the-picture.txt")));
}

// --render --fit frames the whole scene as View > Fit whole scene does, every turntable frame
// too: a long flat strip that the default eye point cuts off ends up whole.
TEST(RenderImageTurntable, FitFramesTheWholeSceneInEveryFrame) {
    TempDir dir;
    const std::string strip = dir.File("strip.ply");
    std::ofstream(strip) << "ply\nformat ascii 1.0\nelement vertex 4\nproperty float x\n"
                            "property float y\nproperty float z\nelement face 2\nproperty list "
                            "uchar int vertex_indices\nend_header\n0 0 0\n4000 0 0\n4000 300 0\n"
                            "0 300 0\n3 0 1 2\n3 0 2 3\n";
    const auto border = [](const QImage& image) {
        return BorderPixelsUnlike(image, qRgb(127, 127, 127));
    };
    const QStringList bare = {"--no-grid", "--no-box", "--no-lights",
                              "--no-text", "--size",   "160x120"};
    ASSERT_EQ(Zemvora(QStringList{"--render", Q(strip), "--output", Q(dir.File("cut.png"))} + bare)
                  .status,
              0);
    EXPECT_GT(border(QImage(Q(dir.File("cut.png")))), 0);
    ASSERT_EQ(
        Zemvora(QStringList{"--render", Q(strip), "--fit", "--output", Q(dir.File("fit.png"))} +
                bare)
            .status,
        0);
    EXPECT_EQ(border(QImage(Q(dir.File("fit.png")))), 0);
    ASSERT_EQ(Zemvora(QStringList{"--render", Q(strip), "--fit", "--turntable", "6", "--output",
                                  Q(dir.File("spin"))} +
                      bare)
                  .status,
              0);
    for (int k = 0; k < 6; ++k) {
        const QImage frame(Q(dir.File("spin-00" + std::to_string(k) + ".png")));
        ASSERT_FALSE(frame.isNull()) << k;
        EXPECT_EQ(border(frame), 0) << k;
    }
}
