// New, Open, Save, Save As and close, driven with scripted answers: scene, path, title and the
// modified flag after every step, and every question's text.
#include <gtest/gtest.h>

#include "commands/DocumentCommands.h"
#include "commands/ImportCommand.h"
#include "commands/MissingImagesNote.h"
#include "commands/SceneFileCommands.h"
#include "images/MapImageLookup.h"
#include "scene/ImageTable.h"
#include "scene/SceneCheck.h"
#include "tests/RecordingFrame.h"
#include "tests/ScriptedPrompts.h"
#include "tests/TestFiles.h"

using testfiles::TempDir;
using testfiles::TestData;

namespace {

const char kNewQuestion[] = "Do you want to create a new Zemvora file without saving change?";
const char kOpenQuestion[] = "Do you want to open a Zemvora file without saving change?";
const char kQuitQuestion[] = "Do you want to quit Zemvora without saving change?";
const char kImportQuestion[] = "Do you want to import a .3ds file without saving change?";

struct Program {
    Scene scene;
    ScriptedPrompts prompts;
    RecordingFrame frame;

    Program() {
        scene.ClearScene();
        scene.m_settings.currentObject = scene.m_settings.currentCamera = -1;
    }
    void Import(const std::string& path) {
        prompts.files.push_back(path);
        OnImportFile(scene, prompts, frame);
    }
};

}  // namespace

TEST(DocumentCommands, WithoutChangesNothingIsAsked) {
    Program p;
    OnSceneNew(p.scene, p.prompts, p.frame);
    p.prompts.files.push_back(std::nullopt);
    OnSceneOpen(p.scene, p.prompts, p.frame);
    EXPECT_TRUE(OnClose(p.scene, p.prompts));
    EXPECT_TRUE(p.prompts.questions.empty());
}

TEST(DocumentCommands, AnsweringNoLeavesEverythingAlone) {
    Program p;
    p.Import(TestData("qt3d/basic-cube.3ds"));
    p.scene.m_strFilePath = "/some/where.zmv";
    p.frame.calls.clear();
    p.prompts.answers = {false, false, false, false};
    OnSceneNew(p.scene, p.prompts, p.frame);
    OnSceneOpen(p.scene, p.prompts, p.frame);
    EXPECT_FALSE(OnClose(p.scene, p.prompts));
    p.prompts.answers.push_back(false);
    OnImportFile(p.scene, p.prompts, p.frame);
    EXPECT_EQ(p.prompts.questions, (std::vector<std::string>{kNewQuestion, kOpenQuestion,
                                                             kQuitQuestion, kImportQuestion}));
    EXPECT_EQ(p.scene.m_objects.size(), 1u);
    EXPECT_TRUE(p.scene.m_bModified);
    EXPECT_EQ(p.scene.m_strFilePath, "/some/where.zmv");
    // Play stops even when the import is declined.
    EXPECT_EQ(p.frame.calls, std::vector<std::string>{"StopPlay"});
}

TEST(DocumentCommands, SaveOfAnUntitledSceneIsSaveAsCancelIncluded) {
    TempDir dir;
    Program p;
    p.Import(TestData("qt3d/basic-cube.3ds"));
    p.prompts.files.push_back(std::nullopt);
    OnSceneSave(p.scene, p.prompts, p.frame);
    EXPECT_TRUE(p.scene.m_bModified);
    EXPECT_EQ(p.scene.m_strFilePath, "");
    ASSERT_FALSE(p.prompts.fileDialogs.empty());
    const FileDialogOptions& dialog = p.prompts.fileDialogs.back();
    EXPECT_EQ(dialog.defaultExtension, "zmv");
    EXPECT_TRUE(dialog.confirmOverwrite);
    ASSERT_EQ(dialog.filters.size(), 2u);
    EXPECT_EQ(dialog.filters[0],
              (std::pair<std::string, std::string>{"Zemvora Files (*.zmv)", "*.zmv"}));
    EXPECT_EQ(dialog.filters[1], (std::pair<std::string, std::string>{"All Files (*.*)", "*.*"}));
    p.prompts.answers.push_back(false);
    EXPECT_FALSE(OnClose(p.scene, p.prompts));  // still asks

    const std::string path = dir.File("cube.zmv");
    p.prompts.files.push_back(path);
    OnSceneSave(p.scene, p.prompts, p.frame);
    EXPECT_FALSE(p.scene.m_bModified);
    EXPECT_EQ(p.scene.m_strFilePath, path);
    EXPECT_EQ(p.frame.title, path);
    EXPECT_TRUE(std::filesystem::exists(path));
}

TEST(DocumentCommands, NewAfterSaveKeepsThePathAndTheNextSaveOverwritesIt) {
    TempDir dir;
    Program p;
    p.Import(TestData("qt3d/basic-cube.3ds"));
    const std::string path = dir.File("cube.zmv");
    p.prompts.files.push_back(path);
    OnSceneSaveAs(p.scene, p.prompts, p.frame);
    OnSceneNew(p.scene, p.prompts, p.frame);
    EXPECT_TRUE(p.scene.m_objects.empty());
    EXPECT_EQ(p.scene.m_strFilePath, path);
    EXPECT_EQ(p.frame.title, path);
    EXPECT_EQ(p.scene.m_settings.currentObject, -1);
    const size_t dialogs = p.prompts.fileDialogs.size();
    OnSceneSave(p.scene, p.prompts, p.frame);  // no dialog
    EXPECT_EQ(p.prompts.fileDialogs.size(), dialogs);
    EXPECT_EQ(testfiles::ReadBytes(path).size(), 119u);
}

TEST(DocumentCommands, OpenReadsTheFileAndShowsIt) {
    TempDir dir;
    Program p;
    p.Import(TestData("online3dviewer/cube.3ds"));
    const std::string path = dir.File("cube.zmv");
    p.prompts.files.push_back(path);
    OnSceneSaveAs(p.scene, p.prompts, p.frame);
    p.scene.m_settings.rotZ = 30;

    Program q;
    q.prompts.files.push_back(path);
    q.frame.calls.clear();
    OnSceneOpen(q.scene, q.prompts, q.frame);
    EXPECT_EQ(q.scene.m_objects.size(), 1u);
    EXPECT_EQ(q.scene.m_strFilePath, path);
    EXPECT_EQ(q.frame.title, path);
    EXPECT_FALSE(q.scene.m_bModified);
    EXPECT_EQ(q.frame.defaultView, 0);  // the file has a camera
    ASSERT_FALSE(q.prompts.fileDialogs.empty());
    EXPECT_FALSE(q.prompts.fileDialogs.back().confirmOverwrite);
    EXPECT_EQ(q.frame.calls,
              (std::vector<std::string>{"ResetViewState", "ApplyTextFont", "SetDefaultView",
                                        "SetWindowTitle", "ShowOpenedScene", "RefreshTrees",
                                        "UpdateSliders", "ShowSceneStatistics"}));
    // Each file read or written goes first among the recent files.
    EXPECT_EQ(p.frame.remembered,
              (std::vector<std::string>{TestData("online3dviewer/cube.3ds"), path}));
    EXPECT_EQ(q.frame.remembered, std::vector<std::string>{path});
}

TEST(DocumentCommands, AFailedOpenKeepsThePathAndTheTitleAndShowsTheEmptyScene) {
    TempDir dir;
    const std::string bad = dir.File("bad.zmv");
    testfiles::WriteBytes(bad, {0x04, 'N', 'O', 'P', 'E', 1, 0, 1, 0});
    Program p;
    p.Import(TestData("qt3d/basic-cube.3ds"));
    p.prompts.answers.push_back(true);
    p.prompts.files.push_back(bad);
    OnSceneOpen(p.scene, p.prompts, p.frame);
    ASSERT_EQ(p.prompts.notices.size(), 1u);
    EXPECT_EQ(p.prompts.notices[0].first, "The file " + bad + " is not a valid Zemvora file.");
    EXPECT_EQ(p.prompts.notices[0].second, NoticeIcon::Warning);
    EXPECT_TRUE(p.scene.m_objects.empty());
    EXPECT_EQ(SceneRuleBroken(p.scene), "");  // the imported cube's current index went with it
    EXPECT_EQ(p.scene.m_strFilePath, bad);    // titled, clean
    EXPECT_FALSE(p.scene.m_bModified);
    EXPECT_EQ(p.frame.title, "Untitled - Zemvora");
    ASSERT_FALSE(p.frame.calls.empty());
    EXPECT_EQ(p.frame.calls.back(), "ShowSceneStatistics");

    // Cancelling the dialog after Yes keeps scene, path and flag.
    p.Import(TestData("qt3d/basic-cube.3ds"));
    p.prompts.answers.push_back(true);
    p.prompts.files.push_back(std::nullopt);
    OnSceneOpen(p.scene, p.prompts, p.frame);
    EXPECT_EQ(p.scene.m_objects.size(), 1u);
    EXPECT_TRUE(p.scene.m_bModified);
    EXPECT_EQ(p.scene.m_strFilePath, bad);
}

TEST(DocumentCommands, AFailedSaveKeepsTheFlagThePathAndTheOldFile) {
    TempDir dir;
    Program p;
    p.Import(TestData("qt3d/basic-cube.3ds"));
    const std::string nowhere = dir.File("no/such/folder/x.zmv");
    p.prompts.files.push_back(nowhere);
    OnSceneSaveAs(p.scene, p.prompts, p.frame);
    ASSERT_EQ(p.prompts.notices.size(), 1u);
    EXPECT_EQ(p.prompts.notices[0].first, "Can not create .zmv file " + nowhere);
    ASSERT_EQ(p.prompts.reasons.size(), 1u);
    EXPECT_EQ(p.prompts.reasons[0], "No such file or directory");
    EXPECT_TRUE(p.scene.m_bModified);
    EXPECT_EQ(p.scene.m_strFilePath, "");
}

TEST(ImportCommand, MessagesAndTheSceneTheyLeave) {
    TempDir dir;
    testfiles::WriteBytes(dir.File("tiny.3ds"), {0x4D, 0x4D, 6, 0, 0, 0});
    Program p;
    p.Import(TestData("qt3d/basic-cube.3ds"));
    ASSERT_FALSE(p.prompts.fileDialogs.empty());
    ASSERT_FALSE(p.prompts.fileDialogs.back().filters.empty());
    EXPECT_EQ(p.prompts.fileDialogs.back().filters[1],
              (std::pair<std::string, std::string>{"3D Studio (*.3ds)", "*.3ds"}));
    EXPECT_TRUE(p.prompts.fileDialogs.back().showReadOnly);
    p.frame.calls.clear();
    p.prompts.answers.push_back(true);
    p.Import(dir.File("tiny.3ds"));
    ASSERT_EQ(p.prompts.notices.size(), 1u);
    EXPECT_EQ(p.prompts.notices[0].first, "tiny.3ds is not a valid 3ds file.");
    EXPECT_EQ(p.prompts.reasons[0], "");
    EXPECT_TRUE(p.scene.m_objects.empty());
    EXPECT_FALSE(p.scene.m_bModified);
    EXPECT_EQ(p.scene.m_settings.currentObject, -1);
    EXPECT_EQ(p.frame.calls, (std::vector<std::string>{"StopPlay", "ClearPanel",
                                                       "ShowSceneStatistics", "RedrawView"}));

    p.Import(dir.File("missing.3ds"));
    EXPECT_EQ(p.prompts.notices.back().first, "missing.3ds was not found.");
    EXPECT_EQ(p.prompts.reasons.back(), "No such file or directory");
}

TEST(ImportCommand, FinishingStepsOfASuccessfulImport) {
    Program p;
    p.Import(TestData("online3dviewer/texturedcube.3ds"));  // its map's image is not there
    EXPECT_EQ(p.frame.calls,
              (std::vector<std::string>{"StopPlay", "SetDefaultView", "RefreshTrees",
                                        "ShowSceneStatistics", "RedrawView", "ShowStatus"}));
    EXPECT_EQ(p.frame.status, "1 texture image is missing");
    EXPECT_EQ(p.frame.defaultView, 0);
    EXPECT_TRUE(p.scene.m_bModified);
    EXPECT_EQ(p.scene.m_settings.currentObject, 0);
    EXPECT_EQ(p.scene.m_settings.currentCamera, 0);

    // Without a camera the default view point is left as it was.
    p.frame.calls.clear();
    p.prompts.answers.push_back(true);
    p.Import(TestData("qt3d/basic-cube.3ds"));
    EXPECT_EQ(p.frame.calls, (std::vector<std::string>{"StopPlay", "RefreshTrees",
                                                       "ShowSceneStatistics", "RedrawView"}));
    EXPECT_EQ(p.frame.status, "");
    EXPECT_EQ(p.scene.m_settings.currentCamera, -1);

    // From outside: no dialog, and no question without changes.
    Program q;
    ImportFileFromOutside(TestData("qt3d/basic-cube.3ds"), q.scene, q.prompts, q.frame);
    EXPECT_TRUE(q.prompts.fileDialogs.empty());
    EXPECT_TRUE(q.prompts.questions.empty());
    EXPECT_EQ(q.scene.m_objects.size(), 1u);
}

// A scene file keeps the images found beside the file the scene was read from, so a copy saved
// elsewhere shows its textures; those missing at the save are named then and when it is opened.
TEST(DocumentCommands, ASavedSceneKeepsItsTextureImagesAndNamesTheMissingOnes) {
    EXPECT_EQ(MissingImagesText(0), "");
    EXPECT_EQ(MissingImagesText(1), "1 texture image is missing");
    EXPECT_EQ(MissingImagesText(1000), "1000 texture images are missing");
    TempDir dir, alone;
    std::filesystem::copy_file(TestData("assimp/test1.3ds"), alone.File("test1.3ds"));
    const struct {
        std::string model;
        std::string savedStatus, openedStatus;
    } cases[] = {
        {TestData("assimp/test1.3ds"), "", ""},
        {alone.File("test1.3ds"),
         "Saved without 3 texture images: \"IMAGE1.JPG\", \"CWALL02.JPG\", \"IMAGE2.JPG\"",
         "3 texture images are missing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        Program p;
        p.Import(c.model);
        p.prompts.files.push_back(dir.File("test1.zmv"));
        OnSceneSaveAs(p.scene, p.prompts, p.frame);
        EXPECT_EQ(p.frame.status, c.savedStatus);
        p.prompts.files.push_back(dir.File("test1.zmv"));
        OnSceneOpen(p.scene, p.prompts, p.frame);
        EXPECT_EQ(p.frame.status, c.openedStatus);
        for (const SceneMaterial& m : p.scene.m_materials) {
            ASSERT_TRUE(m.textureMap);
            if (c.openedStatus.empty())
                EXPECT_EQ(EmbeddedImageOf(p.scene, *m.textureMap)->bytes,
                          testfiles::ReadBytes(*FindMapImage(c.model, m.textureMap->fileName)));
            else
                EXPECT_FALSE(EmbeddedImageOf(p.scene, *m.textureMap));
        }
    }
}

TEST(DocumentCommands, TheTitleIsTheFullPathOfAFileGivenRelatively) {
    TempDir dir;
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    std::filesystem::create_directory("files");
    const std::string full = (std::filesystem::current_path() / "files" / "cube.zmv").string();
    Program p;
    p.Import(TestData("qt3d/basic-cube.3ds"));
    p.prompts.files.push_back("files/cube.zmv");
    OnSceneSaveAs(p.scene, p.prompts, p.frame);
    EXPECT_EQ(p.frame.title, full);
    p.prompts.files.push_back("./files/../files/cube.zmv");
    OnSceneOpen(p.scene, p.prompts, p.frame);
    EXPECT_EQ(p.frame.title, full);
    std::filesystem::current_path(before);
}
