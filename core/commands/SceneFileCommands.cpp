#include "commands/SceneFileCommands.h"

#include "scene/AtomicFile.h"
#include "scene/SceneMessages.h"

FileOutcome OpenSceneFile(const std::string& path, Scene& scene) {
    scene.ClearScene();
    scene.m_strFilePath = path;

    int errorCode = 0;
    std::unique_ptr<InputStream> in = InputStream::OpenFile(path, errorCode);
    if (!in) return FileOutcome::Failure(messages::CannotCreateZmv(path));

    switch (ReadScene(*in, scene)) {
        case ReadSceneResult::Read:
            break;
        case ReadSceneResult::BadMagic:
            return FileOutcome::Failure(messages::NotAZemvoraFile(path));
        case ReadSceneResult::WrongVersion:
            return FileOutcome::Failure(messages::WrongZemvoraVersion(path));
        case ReadSceneResult::EndOfFile:
            return FileOutcome::Failure(messages::EndOfFile(), NoticeIcon::Stop);
    }
    return FileOutcome::Success();
}

FileOutcome SaveSceneAs(const std::string& path, const Scene& scene) {
    int errorCode = 0;
    if (!SaveSceneFile(path, scene, errorCode))
        return FileOutcome::Failure(messages::CannotCreateZmv(path));
    return FileOutcome::Success();
}
