#include "history/ApplyMaterialEdit.h"

#include "history/StepLabels.h"

bool ApplyMaterialToObject(Scene& scene, EditHistory& history, int32_t objectIndex,
                           int32_t materialIndex) {
    if (!IsIndexOf(objectIndex, scene.m_objects) || !IsIndexOf(materialIndex, scene.m_materials))
        return false;
    SceneObject& object = scene.m_objects[static_cast<size_t>(objectIndex)];
    const SceneMaterial& material = scene.m_materials[static_cast<size_t>(materialIndex)];
    history.Record(scene,
                   {{ObjectRecord(objectIndex), steplabel::kApplyMaterial},
                    {FaceGroupsRecord(objectIndex), steplabel::kApplyMaterial}},
                   [&] {
                       object.materialIndex = materialIndex;
                       object.materialName = material.name;
                       object.faceGroups.clear();
                       object.faceGroups.shrink_to_fit();
                       object.revision = NewObjectRevision();
                   });
    return true;
}
