#include "import3ds/ImportFile.h"

#include <cctype>
#include <cerrno>
#include <new>

#include "import3ds/Read3DS.h"
#include "scene/SceneCheck.h"
#include "scene/SceneMessages.h"

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

FileOutcome ImportSceneFile(const std::string& path, Scene& scene, ImportListener* listener) {
    EmptyScene(scene);
    scene.m_strImageBase = path;

    // A path ending in a slash has no file name: the message names what the user gave.
    const std::string name = FileNameOf(path).empty() ? path : FileNameOf(path);
    int errorCode = 0;
    std::unique_ptr<InputStream> in = InputStream::OpenFile(path, errorCode);
    if (!in)
        return FileOutcome::Failure(messages::CannotOpenFile(name, errorCode))
            .Because(messages::SystemReason(errorCode));

    Read3dsResult result;
    try {
        result = Read3DS(*in, scene, listener);
    } catch (const std::bad_alloc&) {
        // Reported like a failed read: the scene goes empty, which also gives the memory back.
        scene.ClearScene();
        return FileOutcome::Failure(messages::CannotOpenFile(name, ENOMEM))
            .Because(messages::SystemReason(ENOMEM));
    }
    // A file cut short or failing while it was read is not taken for a shorter file.
    if (in->Error() != 0) {
        scene.ClearScene();
        return FileOutcome::Failure(messages::CannotOpenFile(name, in->Error()))
            .Because(messages::SystemReason(in->Error()));
    }
    CheckSceneInDebug(scene, "import");
    switch (result) {
        case Read3dsResult::Read:
            break;
        case Read3dsResult::TooShort:
            return FileOutcome::Failure(messages::NotA3dsFile(name));
        case Read3dsResult::BadMainChunk:
            return FileOutcome::Failure(messages::Bad3dsMainChunk(name))
                .Because(messages::Bad3dsMainChunkReason());
        case Read3dsResult::NoEditorChunk:
            return FileOutcome::Failure(messages::No3dsMeshData(name));
    }

    scene.m_bModified = true;
    MakeFirstRecordsCurrent(scene);  // from the -1 both were set to above
    return FileOutcome::Success();
}
