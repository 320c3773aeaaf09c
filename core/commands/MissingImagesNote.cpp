#include "commands/MissingImagesNote.h"

#include "images/MapImageLookup.h"

std::string MissingImagesText(size_t count) {
    if (count == 0) return {};
    if (count == 1) return "1 texture image is missing";
    return std::to_string(count) + " texture images are missing";
}

void AddMissingImagesNote(const Scene& scene, FrameUpdate& update) {
    const size_t missing = MissingMapImages(scene, scene.m_strImageBase).size();
    if (missing == 0) return;
    update.status = MissingImagesText(missing);
    update.Then(FrameStep::ShowStatus);
}
