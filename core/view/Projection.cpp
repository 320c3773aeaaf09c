#include "view/Projection.h"

#include <algorithm>
#include <cmath>

#include "view/FittedView.h"
#include "view/UprightView.h"

namespace {

bool IsFinite(float value) {
    return std::isfinite(value);
}

}  // namespace

EyePoint DefaultEyePoint(const SceneSettings& s) {
    const float cx = (s.maxX + s.minX) / 2.0f;
    const float cy = (s.maxY + s.minY) / 2.0f;
    const float cz = (s.maxZ + s.minZ) / 2.0f;
    const float d = (s.maxX - s.minX) + (s.maxY - s.minY) + (s.maxZ - s.minZ);
    return EyePoint{{cx + 0.65f * d, cy - 0.65f * d, cz + 0.38f * d}, {cx, cy, cz}};
}

float CameraFieldOfView(float lens) {
    return std::atan(20.0f / lens) * 114.59156f;
}

bool ShowsDefaultView(const Scene& scene, const ViewState& state) {
    return state.m_bDefaultView || !IsIndexOf(scene.m_settings.currentCamera, scene.m_cameras);
}

OrthoBox TopViewBox(const SceneSettings& s, int width, int height) {
    const float r = width == 0 ? 0.0f : static_cast<float>(height) / static_cast<float>(width);
    const float p = s.maxX + s.maxY + s.maxZ;
    const float n = s.minX + s.minY + s.minZ;
    return OrthoBox{n, p, r * n, r * p, n, p};
}

const SceneSettings* FramedBounds(const Scene& scene, const ViewState& state,
                                  SceneSettings& stretched) {
    if (!state.m_bCopies) return nullptr;
    bool any = false;
    for (const SceneObject& o : scene.m_objects) {
        for (const PlacedCopy& copy : o.copies) {
            if (!any) stretched = scene.m_settings;
            any = true;
            for (int corner = 0; corner < 8; ++corner) {
                const std::array<float, 3> p = TransformPoint(
                    copy.matrix, {corner & 1 ? o.maxX : o.minX, corner & 2 ? o.maxY : o.minY,
                                  corner & 4 ? o.maxZ : o.minZ});
                if (!std::all_of(p.begin(), p.end(), IsFinite)) continue;
                stretched.minX = std::min(stretched.minX, p[0]);
                stretched.maxX = std::max(stretched.maxX, p[0]);
                stretched.minY = std::min(stretched.minY, p[1]);
                stretched.maxY = std::max(stretched.maxY, p[1]);
                stretched.minZ = std::min(stretched.minZ, p[2]);
                stretched.maxZ = std::max(stretched.maxZ, p[2]);
            }
        }
    }
    return any ? &stretched : nullptr;
}

ProjectionSetup ComputeProjection(const Scene& scene, ViewState& state, int width, int height) {
    ProjectionSetup setup;
    SceneSettings stretched;
    const SceneSettings* framed = FramedBounds(scene, state, stretched);
    const SceneSettings bounds =
        UprightBounds(scene.m_settings, framed ? *framed : scene.m_settings);
    setup.eye = DefaultEyePoint(bounds);
    if (!ShowsDefaultView(scene, state)) {
        const SceneCamera& c = scene.m_cameras[static_cast<size_t>(scene.m_settings.currentCamera)];
        // A camera a file placed where numbers end is looked through from the default eye.
        EyePoint eye{};
        const std::array<double, 3> from = UprightPoint(scene.m_settings, {c.posX, c.posY, c.posZ});
        const std::array<double, 3> to =
            UprightPoint(scene.m_settings, {c.targetX, c.targetY, c.targetZ});
        for (int i = 0; i < 3; ++i) {
            eye.eye[i] = static_cast<float>(from[static_cast<size_t>(i)]);
            eye.center[i] = static_cast<float>(to[static_cast<size_t>(i)]);
        }
        const float fovY = CameraFieldOfView(c.lens);
        if (std::all_of(eye.eye, eye.eye + 3, IsFinite) &&
            std::all_of(eye.center, eye.center + 3, IsFinite) && IsFinite(fovY)) {
            setup.eye = eye;
            state.m_fFovY = fovY;
        }
    }
    setup.kind = state.m_nProjection;
    setup.fovY = state.m_fFovY;
    setup.aspect = state.m_fAspect;
    setup.ortho = TopViewBox(bounds, width, height);
    if (state.m_bFitted && state.m_fittedUp == static_cast<int32_t>(scene.m_settings.upAxis)) {
        if (ShowsDefaultView(scene, state)) {
            std::copy(state.m_fittedEye, state.m_fittedEye + 3, setup.eye.eye);
            std::copy(state.m_fittedCenter, state.m_fittedCenter + 3, setup.eye.center);
        }
        // The depth range holds the sphere where the scene's rotation has turned it.
        float c[3] = {state.m_fittedSphere[0], state.m_fittedSphere[1], state.m_fittedSphere[2]};
        TurnAsDrawn(scene.m_settings, c);
        double look[3], along = 0, length = 0;
        for (int i = 0; i < 3; ++i) {
            look[i] = static_cast<double>(setup.eye.center[i]) - setup.eye.eye[i];
            length += look[i] * look[i];
        }
        length = std::sqrt(length);
        for (int i = 0; i < 3; ++i)
            along += look[i] / length * (static_cast<double>(c[i]) - setup.eye.eye[i]);
        const double reach = 1.1 * std::max(static_cast<double>(state.m_fittedSphere[3]), 1e-6);
        if (std::isfinite(along + reach) && along + reach > 0) {
            setup.zFar = along + reach;
            setup.zNear = std::max(along - reach, setup.zFar * 1e-3);
        }
    }
    BoundingSphere sphere;
    FittedEye fitted;
    if (state.m_bFitModels && ShowsDefaultView(scene, state) &&
        SceneBoundingSphere(scene, sphere, state.m_bCopies) &&
        FitSphereInView(sphere, setup.fovY, setup.aspect, fitted)) {
        setup.eye = fitted.eye;
        setup.zNear = fitted.zNear;
        setup.zFar = fitted.zFar;
    }
    return setup;
}
