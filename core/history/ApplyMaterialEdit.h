// "Apply selected material to object": the whole object in one material, as one step to undo.
#pragma once

#include <cstdint>

#include "history/EditHistory.h"

// Gives object objectIndex the material materialIndex and drops its face groups, so that every
// face shows that material; the history keeps it as one step, "Apply material", which brings the
// groups back when undone. False, and nothing changed, when either index addresses nothing.
bool ApplyMaterialToObject(Scene& scene, EditHistory& history, int32_t objectIndex,
                           int32_t materialIndex);
