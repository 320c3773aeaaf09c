#include "commands/SceneFileCommands.h"

#include <cerrno>
#include <new>

#include "scene/AtomicFile.h"
#include "scene/SceneCheck.h"
#include "scene/SceneMessages.h"

FileOutcome OpenSceneFile(const std::string& path, Scene& scene) {
    // The old scene's current records are gone with it, whatever the file turns out to be.
    EmptyScene(scene);
    scene.m_strFilePath = path;
    scene.m_strImageBase = path;

    int errorCode = 0;
    std::unique_ptr<InputStream> in = InputStream::OpenFile(path, errorCode);
    if (!in)
        return FileOutcome::Failure(messages::CannotCreateZmv(path))
            .Because(messages::SystemReason(errorCode));

    ReadSceneResult result;
    ReadExtrasResult extras = ReadExtrasResult::None;
    try {
        result = ReadScene(*in, scene, &extras);
    } catch (const std::bad_alloc&) {
        // Reported like a failed read; the part already read goes, which gives the memory back.
        EmptyScene(scene);
        return FileOutcome::Failure(messages::CannotCreateZmv(path))
            .Because(messages::SystemReason(ENOMEM));
    }
    // A file cut short or failing while it was read is not taken for a shorter file.
    if (in->Error() != 0) {
        EmptyScene(scene);
        return FileOutcome::Failure(messages::CannotCreateZmv(path))
            .Because(messages::SystemReason(in->Error()));
    }
    CheckSceneInDebug(scene, "open");
    switch (result) {
        case ReadSceneResult::Read:
            break;
        case ReadSceneResult::BadMagic:
            return FileOutcome::Failure(messages::NotAZemvoraFile(path));
        case ReadSceneResult::WrongVersion:
            return FileOutcome::Failure(messages::WrongZemvoraVersion(path));
        case ReadSceneResult::EndOfFile:
            return FileOutcome::Failure(messages::EndOfFile(), NoticeIcon::Stop);
    }
    if (extras == ReadExtrasResult::Damaged)
        return FileOutcome::SuccessWithWarning(messages::SceneExtrasDamaged(path));
    if (extras == ReadExtrasResult::NewerVersion)
        return FileOutcome::SuccessWithWarning(messages::SceneExtrasNewer(path));
    return FileOutcome::Success();
}

FileOutcome SaveSceneAs(const std::string& path, const Scene& scene) {
    int errorCode = 0;
    bool saved;
    try {
        saved = SaveSceneFile(path, scene, errorCode);
    } catch (const std::bad_alloc&) {
        saved = false;
        errorCode = ENOMEM;
    }
    if (!saved)
        return FileOutcome::Failure(messages::CannotCreateZmv(path))
            .Because(messages::SystemReason(errorCode));
    return FileOutcome::Success();
}
