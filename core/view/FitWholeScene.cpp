#include "view/FitWholeScene.h"

#include <algorithm>
#include <cmath>

#include "view/FittedView.h"
#include "view/Projection.h"
#include "view/UprightView.h"

bool FitWholeScene(Scene& scene, ViewState& view, bool turning) {
    BoundingSphere sphere, model;
    if (!SceneBoundingSphere(scene, sphere, view.m_bCopies) ||
        !ModelBoundingSphere(scene, model, view.m_bCopies))
        return false;
    if (turning) {
        // The centre turns on a circle about the z axis: the sphere round all its places.
        sphere.radius += std::hypot(sphere.center[0], sphere.center[1]);
        sphere.center[0] = sphere.center[1] = 0;
    }
    FittedEye fitted;
    if (ShowsDefaultView(scene, view)) {
        if (!FitSphereInView(sphere, view.m_fFovY, view.m_fAspect, fitted)) return false;
        std::copy(fitted.eye.eye, fitted.eye.eye + 3, view.m_fittedEye);
        std::copy(fitted.eye.center, fitted.eye.center + 3, view.m_fittedCenter);
    } else {
        // The fit is made where the view stands the scene upright; the camera keeps the model's
        // own coordinates.
        const SceneSettings& s = scene.m_settings;
        SceneCamera& c = scene.m_cameras[static_cast<size_t>(s.currentCamera)];
        const std::array<double, 3> from = UprightPoint(s, {c.posX, c.posY, c.posZ});
        const std::array<double, 3> to = UprightPoint(s, {c.targetX, c.targetY, c.targetZ});
        const float direction[3] = {static_cast<float>(from[0] - to[0]),
                                    static_cast<float>(from[1] - to[1]),
                                    static_cast<float>(from[2] - to[2])};
        const float fovY = CameraFieldOfView(c.lens);
        if (!std::isfinite(fovY) ||
            !FitSphereInView(sphere, fovY, view.m_fAspect, fitted, direction))
            return false;
        const std::array<double, 3> eye =
            ModelPoint(s, {fitted.eye.eye[0], fitted.eye.eye[1], fitted.eye.eye[2]});
        const std::array<double, 3> center =
            ModelPoint(s, {fitted.eye.center[0], fitted.eye.center[1], fitted.eye.center[2]});
        c.posX = static_cast<float>(eye[0]), c.posY = static_cast<float>(eye[1]);
        c.posZ = static_cast<float>(eye[2]);
        c.targetX = static_cast<float>(center[0]), c.targetY = static_cast<float>(center[1]);
        c.targetZ = static_cast<float>(center[2]);
        scene.m_bModified = true;
    }
    view.m_bFitted = true;
    view.m_fittedUp = static_cast<int32_t>(scene.m_settings.upAxis);
    std::copy(model.center, model.center + 3, view.m_fittedSphere);
    view.m_fittedSphere[3] = model.radius;
    return true;
}
