// libFuzzer entry for what the program reads from an import child's pipe: any bytes must read
// without harm, as a scene that is safe to show or as no answer; read as they come, into a scene
// shown meanwhile, they must read the same; and an answer read whole must write back into the
// same answer.
#include <cstdint>
#include <cstdlib>

#include "childimport/ChildAnswer.h"
#include "scene/SceneCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Scene scene;
    std::vector<std::string> lines;
    const ChildAnswerResult result = ReadChildAnswer(data, size, scene, lines);
    if (!SceneRuleBroken(scene).empty()) std::abort();

    Scene coming;
    std::vector<std::string> comingLines;
    ChildAnswerReader reader(size);
    reader.ReadInto(coming);
    const size_t step = size / 7 + 1;
    for (size_t seen = 0; seen < size; seen += step)
        reader.ReadAhead(data, seen);
    if (reader.Finish(data, size, coming, comingLines) != result || comingLines != lines ||
        (result == ChildAnswerResult::Scene && coming.m_objects.size() != scene.m_objects.size()))
        std::abort();
    if (result != ChildAnswerResult::Scene) return 0;

    std::vector<uint8_t> bytes;
    OutputStream out(bytes);
    WriteChildAnswer(out, ChildStatus::Scene, lines, &scene);
    Scene back;
    std::vector<std::string> linesBack;
    if (ReadChildAnswer(bytes.data(), bytes.size(), back, linesBack) != ChildAnswerResult::Scene ||
        linesBack != lines || back.m_objects.size() != scene.m_objects.size())
        std::abort();
    return 0;
}
