#include "view/FitWholeScene.h"

#include <algorithm>
#include <cmath>

#include "view/FittedView.h"
#include "view/Projection.h"

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
        SceneCamera& c = scene.m_cameras[static_cast<size_t>(scene.m_settings.currentCamera)];
        const float direction[3] = {c.posX - c.targetX, c.posY - c.targetY, c.posZ - c.targetZ};
        const float fovY = CameraFieldOfView(c.lens);
        if (!std::isfinite(fovY) ||
            !FitSphereInView(sphere, fovY, view.m_fAspect, fitted, direction))
            return false;
        c.posX = fitted.eye.eye[0], c.posY = fitted.eye.eye[1], c.posZ = fitted.eye.eye[2];
        c.targetX = fitted.eye.center[0], c.targetY = fitted.eye.center[1];
        c.targetZ = fitted.eye.center[2];
        scene.m_bModified = true;
    }
    view.m_bFitted = true;
    std::copy(model.center, model.center + 3, view.m_fittedSphere);
    view.m_fittedSphere[3] = model.radius;
    return true;
}
