#include "childimport/ChildAnswer.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "scene/InputStream.h"
#include "scene/SceneCheck.h"
#include "scene/SceneFile.h"

namespace {

constexpr char kMagic[4] = {'Z', 'C', 'H', 'A'};

}  // namespace

void WriteChildAnswer(OutputStream& out, ChildStatus status, const std::vector<std::string>& lines,
                      const Scene* scene) {
    out.Write(kMagic, sizeof kMagic);
    out.WriteU8(static_cast<uint8_t>(status));
    out.WriteU32(static_cast<uint32_t>(lines.size()));
    for (const std::string& line : lines) {
        out.WriteU32(static_cast<uint32_t>(line.size()));
        out.Write(line.data(), line.size());
    }
    if (scene) WriteScene(out, *scene);
}

void AnswerAndExit(ChildStatus status, const std::vector<std::string>& lines, const Scene* scene) {
    {
        OutputStream out(stdout);
        WriteChildAnswer(out, status, lines, scene);
        out.Flush();
    }
    std::fflush(stdout);
    _exit(0);
}

ChildAnswerResult ReadChildAnswer(const uint8_t* data, size_t size, Scene& scene,
                                  std::vector<std::string>& lines) {
    lines.clear();
    InputStream in(data, size);
    char magic[4];
    uint8_t status = 0;
    uint32_t count = 0;
    if (!in.Read(magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof magic) != 0 ||
        !in.ReadU8(status) || !in.ReadU32(count) || status > 3)
        return ChildAnswerResult::Garbage;
    // Each line takes at least its length's four bytes.
    if (count > in.Remaining() / 4) return ChildAnswerResult::Garbage;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t length = 0;
        if (!in.ReadU32(length) || length > in.Remaining()) return ChildAnswerResult::Garbage;
        std::string line(length, '\0');
        in.Read(line.data(), length);
        lines.push_back(std::move(line));
    }
    const size_t rest = static_cast<size_t>(in.Tell());
    switch (static_cast<ChildStatus>(status)) {
        case ChildStatus::Refused:
            return rest == size ? ChildAnswerResult::Refused : ChildAnswerResult::Garbage;
        case ChildStatus::OutOfMemory:
            return rest == size ? ChildAnswerResult::OutOfMemory : ChildAnswerResult::Garbage;
        case ChildStatus::Written:
            return rest == size ? ChildAnswerResult::Written : ChildAnswerResult::Garbage;
        case ChildStatus::Scene:
            break;
    }
    InputStream sceneBytes(data + rest, size - rest);
    ReadExtrasResult extras = ReadExtrasResult::None;
    const ReadSceneResult read = ReadScene(sceneBytes, scene, &extras);
    if (read != ReadSceneResult::Read || extras == ReadExtrasResult::Damaged ||
        extras == ReadExtrasResult::NewerVersion) {
        EmptyScene(scene);
        return ChildAnswerResult::Garbage;
    }
    CheckSceneInDebug(scene, "import");
    return ChildAnswerResult::Scene;
}
