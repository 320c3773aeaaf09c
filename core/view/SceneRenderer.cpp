#include "view/SceneRenderer.h"

#include <algorithm>
#include <array>
#include <utility>

#include "scene/ImageTable.h"
#include "view/DrawGeometry.h"
#include "view/PlayTick.h"
#include "view/Projection.h"
#include "view/TextureMapping.h"
#include "view/UprightView.h"

namespace {

// How an object is drawn in a display mode: in the smooth mode its own flag chooses between smooth
// and flat shading.
ObjectShape ShapeOf(DisplayMode mode, const SceneObject& o) {
    if (mode == ModeVertex) return ObjectShape::Points;
    if (mode == ModeLine) return ObjectShape::Lines;
    return mode == ModeSmooth && o.smooth ? ObjectShape::Smooth : ObjectShape::Flat;
}

constexpr int kMaxLights = 8;

// Byte colours become OpenGL colours by dividing by 256: 255 gives 0.99609375.
GLfloat ByteColor(uint8_t v) {
    return static_cast<GLfloat>(v) / 256.0f;
}

}  // namespace

bool MakeNoteLabel(const Scene& scene, int viewWidth, int viewHeight, NoteLabel& label) {
    const SceneObject* current = scene.CurrentObject();
    if (!current) return false;
    const SceneObject& o = *current;
    label.text = o.note;
    label.color = o.noteColor;
    label.x = o.noteX;
    label.y = o.noteY;
    label.viewWidth = viewWidth;
    label.viewHeight = viewHeight;
    return true;
}

void SceneRenderer::InitGl() {
    m_gl.ClearDepth(1.0);
    m_gl.Enable(GL_DEPTH_TEST);
    m_gl.Enable(GL_BLEND);
    m_gl.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void SceneRenderer::PrepareContext() {
    m_gl.UseFixedFunction();
    InitGl();
    m_gl.DepthFunc(GL_LESS);
    m_gl.DepthMask(GL_TRUE);
    m_gl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    for (GLenum cap :
         {GL_CULL_FACE, GL_COLOR_MATERIAL, GL_TEXTURE_2D, GL_SCISSOR_TEST, GL_STENCIL_TEST,
          GL_ALPHA_TEST, GL_FOG, GL_NORMALIZE, GL_LINE_SMOOTH, GL_POINT_SMOOTH, GL_POLYGON_SMOOTH})
        m_gl.Disable(cap);
    m_gl.Enable(GL_DITHER);
    m_gl.ShadeModel(GL_SMOOTH);
    m_gl.PolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    m_gl.PointSize(1.0f);
    m_gl.LineWidth(1.0f);
    const GLfloat defaultAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    m_gl.LightModelfv(GL_LIGHT_MODEL_AMBIENT, defaultAmbient);
    // Outside a frame the model-view matrix is the identity: lights, grid and markers are given
    // in scene coordinates.
    m_gl.MatrixMode(GL_MODELVIEW);
    m_gl.LoadIdentity();
}

void SceneRenderer::SetupLights() {
    PrepareContext();
    const size_t count = std::min<size_t>(m_scene.m_lights.size(), kMaxLights);
    m_gl.Enable(GL_LIGHTING);
    for (int i = 0; i < kMaxLights; ++i)
        m_gl.Disable(static_cast<GLenum>(GL_LIGHT0 + i));
    for (size_t i = 0; i < count; ++i) {
        const SceneLight& light = m_scene.m_lights[i];
        if (light.on != 1) continue;
        const GLenum id = static_cast<GLenum>(GL_LIGHT0 + i);
        const GLfloat ambient[4] = {0.1f, 0.1f, 0.1f, 1.0f};
        const GLfloat diffuse[4] = {light.color[0], light.color[1], light.color[2], 1.0f};
        const GLfloat specular[4] = {0.1f, 0.1f, 0.1f, 0.1f};
        // w = 0: a directional light shining from its position towards the origin, turned with
        // a scene the user stood upright.
        const std::array<float, 3> from = TurnedUpright(
            m_scene.m_settings.upAxis, std::array<float, 3>{light.x, light.y, light.z});
        const GLfloat position[4] = {from[0], from[1], from[2], 0.0f};
        m_gl.Lightfv(id, GL_AMBIENT, ambient);
        m_gl.Lightfv(id, GL_DIFFUSE, diffuse);
        m_gl.Lightfv(id, GL_SPECULAR, specular);
        m_gl.Lightfv(id, GL_POSITION, position);
        m_gl.Enable(id);
    }
    if (m_scene.m_lights.empty() && m_view.m_bDefaultLights) SetupDefaultLights();
    const GLfloat twoSided[4] = {0.1f, 0.1f, 0.1f, 1.0f};
    m_gl.LightModelfv(GL_LIGHT_MODEL_TWO_SIDE, twoSided);
}

void SceneRenderer::SetupDefaultLights() {
    // A key light from the default eye point's direction and a half-strength fill from the
    // opposite side, so that a scene made without lights is not drawn as black silhouettes.
    struct DefaultLight {
        GLenum id;
        GLfloat diffuse[4];
        GLfloat position[4];
    };
    static const DefaultLight kLights[] = {
        {GL_LIGHT0, {1.0f, 1.0f, 1.0f, 1.0f}, {0.65f, -0.65f, 0.38f, 0.0f}},
        {GL_LIGHT1, {0.5f, 0.5f, 0.5f, 1.0f}, {-0.65f, 0.65f, -0.38f, 0.0f}},
    };
    const GLfloat ambient[4] = {0.1f, 0.1f, 0.1f, 1.0f};
    const GLfloat specular[4] = {0.1f, 0.1f, 0.1f, 0.1f};
    for (const DefaultLight& light : kLights) {
        m_gl.Lightfv(light.id, GL_AMBIENT, ambient);
        m_gl.Lightfv(light.id, GL_DIFFUSE, light.diffuse);
        m_gl.Lightfv(light.id, GL_SPECULAR, specular);
        m_gl.Lightfv(light.id, GL_POSITION, light.position);
        m_gl.Enable(light.id);
    }
}

void SceneRenderer::SetupProjection(int width, int height) {
    const ProjectionSetup p = ComputeProjection(m_scene, m_view, width, height);
    if (p.kind == ProjPerspective) {
        m_gl.MatrixMode(GL_PROJECTION);
        m_gl.LoadIdentity();
        m_gl.Perspective(p.fovY, p.aspect, p.zNear, p.zFar);
        m_gl.LookAt(p.eye.eye[0], p.eye.eye[1], p.eye.eye[2], p.eye.center[0], p.eye.center[1],
                    p.eye.center[2], 0.0, 0.0, 1.0);
        m_gl.MatrixMode(GL_MODELVIEW);
    } else if (p.kind == ProjTopView) {
        m_gl.MatrixMode(GL_PROJECTION);
        m_gl.LoadIdentity();
        m_gl.Ortho(p.ortho.left, p.ortho.right, p.ortho.bottom, p.ortho.top, p.ortho.zNear,
                   p.ortho.zFar);
        m_gl.MatrixMode(GL_MODELVIEW);
    }
}

DrawnFrame SceneRenderer::RenderScene(int width, int height, const FrameClock& clock) {
    if (!StartFrame(clock)) return DrawnFrame();
    DrawObjects();
    return CloseFrame(width, height);
}

bool SceneRenderer::BeginComingFrame(const FrameClock& clock) {
    if (!StartFrame(clock)) return false;
    m_simplifiedBuffers.DropStale(nullptr);
    m_simplifiedFrame = false;
    m_triangles = 0;
    m_objectsDrawn = 0;
    return true;
}

void SceneRenderer::DrawComingObjects() {
    const size_t count = m_scene.m_objects.size();
    if (m_objectsDrawn >= count) return;
    DrawWholeObjects(m_objectsDrawn);
    m_objectsDrawn = count;
}

DrawnFrame SceneRenderer::EndComingFrame(int width, int height) {
    DrawComingObjects();
    if (m_view.m_bShowBox) DrawObjectBox();
    return CloseFrame(width, height);
}

bool SceneRenderer::StartFrame(const FrameClock& clock) {
    // A frame never starts inside another.
    if (m_drawing) return false;
    m_drawing = true;
    m_view.m_liStart = clock.Ticks();

    PrepareContext();
    SceneSettings& s = m_scene.m_settings;
    m_gl.ClearColor(ByteColor(s.background.red), ByteColor(s.background.green),
                    ByteColor(s.background.blue), 1.0f);
    m_gl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    m_gl.PushMatrix();
    m_gl.Rotatef(s.rotX + 0.5f * s.dragY, 1, 0, 0);
    m_gl.Rotatef(s.rotY, 0, 1, 0);
    m_gl.Rotatef(s.rotZ + 0.5f * s.dragX, 0, 0, 1);
    if (s.upAxis != UpAxis::PlusZ)
        m_gl.MultMatrixf(UprightMatrix(s.upAxis, UprightCentre(s)).data());
    if (m_view.m_bPlay) PlayTick(s);  // the next frame shows the scene turned further
    return true;
}

DrawnFrame SceneRenderer::CloseFrame(int width, int height) {
    DrawnFrame frame;
    m_gl.PopMatrix();

    // From here on in unrotated scene coordinates.
    if (m_view.m_bShowLight) DrawLightMarkers();
    if (m_view.m_bShowGrid) DrawGrid();
    m_gl.Finish();

    frame.drawn = true;
    frame.triangles = m_triangles;
    frame.simplified = m_simplifiedFrame;
    if (m_view.m_bShowText && !m_view.m_bPlay) {
        NoteLabel label;
        if (MakeNoteLabel(m_scene, width, height, label)) frame.label = std::move(label);
    }
    return frame;
}

float SceneRenderer::EndFrame(const FrameClock& clock) {
    m_drawing = false;
    m_view.m_liEnd = clock.Ticks();
    m_view.m_nFrameTicks = static_cast<int32_t>(static_cast<uint32_t>(m_view.m_liEnd) -
                                                static_cast<uint32_t>(m_view.m_liStart));
    // A frame too short to measure shows the last rate again.
    if (m_view.m_nFrameTicks != 0)
        m_view.m_fFps =
            static_cast<float>(m_view.m_liFreq) / static_cast<float>(m_view.m_nFrameTicks);
    return m_view.m_fFps;
}

void SceneRenderer::ApplyMaterial(int32_t materialIndex) {
    GLfloat ambient[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    GLfloat diffuse[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    GLfloat specular[4] = {0.7f, 0.7f, 0.7f, 1.0f};
    GLfloat shininess = 0.8f;
    // An index outside the materials gets the built-in grey, like -1.
    if (IsIndexOf(materialIndex, m_scene.m_materials)) {
        const SceneMaterial& m = m_scene.m_materials[static_cast<size_t>(materialIndex)];
        const RGB8* colors[3] = {&m.ambient, &m.diffuse, &m.specular};
        GLfloat* targets[3] = {ambient, diffuse, specular};
        for (int i = 0; i < 3; ++i) {
            targets[i][0] = ByteColor(colors[i]->red);
            targets[i][1] = ByteColor(colors[i]->green);
            targets[i][2] = ByteColor(colors[i]->blue);
            targets[i][3] = m.transparency;  // the alpha: 1 is opaque
        }
        shininess = m.shininess;
    }
    m_gl.Materialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    m_gl.Materialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    m_gl.Materialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    m_gl.Materialf(GL_FRONT_AND_BACK, GL_SHININESS, shininess);
}

void SceneRenderer::DrawObjects() {
    m_simplifiedBuffers.DropStale(m_copies);
    m_simplifiedFrame = m_copies && m_level >= 0 && m_gl.HasBuffers();
    m_triangles = 0;
    const DisplayMode mode = m_view.m_nDisplayMode;
    const bool unlit = mode == ModeVertex || mode == ModeLine;
    const bool lit = mode == ModeFlat || mode == ModeSmooth;
    if (!m_simplifiedFrame)
        DrawWholeObjects(0);
    else if (unlit || lit)
        DrawObjectsSimplified(unlit);
    if (m_view.m_bShowBox) DrawObjectBox();
}

void SceneRenderer::DrawWholeObjects(size_t first) {
    const DisplayMode mode = m_view.m_nDisplayMode;
    const bool unlit = mode == ModeVertex || mode == ModeLine;
    const bool lit = mode == ModeFlat || mode == ModeSmooth;
    const std::vector<SceneObject>& objects = m_scene.m_objects;
    if (unlit || lit) {
        for (size_t i = first; i < objects.size(); ++i) {
            const SceneObject& o = objects[i];
            m_triangles += static_cast<int64_t>(o.hidden ? 0 : o.meshes.size()) *
                           static_cast<int64_t>(1 + (m_view.m_bCopies ? o.copies.size() : 0));
        }
    }
    if (!unlit && !lit) {
        // No mode draws no triangles, but every object's material is still set.
        for (size_t i = first; i < objects.size(); ++i)
            if (!objects[i].hidden) ApplyMaterial(objects[i].materialIndex);
    } else if (m_path != DrawPath::Immediate && m_gl.HasBuffers()) {
        DrawObjectsFromBuffers(unlit, first);
    } else {
        DrawObjectsImmediate(unlit, first);
    }
}

bool SceneRenderer::BeginRun(const SceneObject& o, const FaceRun& run, const MaterialNames* names) {
    const int32_t index =
        run.group < 0 || !names
            ? o.materialIndex
            : names->IndexOf(o.faceGroups[static_cast<size_t>(run.group)].material);
    const SceneMaterial* material = IsIndexOf(index, m_scene.m_materials)
                                        ? &m_scene.m_materials[static_cast<size_t>(index)]
                                        : nullptr;
    const bool textured = material && material->textureMap && m_view.m_bShowTextures &&
                          !o.uvs.empty() && o.uvs.size() == o.vertices.size() &&
                          m_textures.Bind(m_scene.m_strImageBase, *material->textureMap,
                                          EmbeddedImageOf(m_scene, *material->textureMap));
    if (!textured) {
        ApplyMaterial(index);
        return false;
    }
    // The image stands for the diffuse colour, which light then shades: white diffuse and
    // ambient, modulated by the texture, with the material's own highlights and transparency.
    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, material->transparency};
    const GLfloat specular[4] = {ByteColor(material->specular.red),
                                 ByteColor(material->specular.green),
                                 ByteColor(material->specular.blue), material->transparency};
    m_gl.Materialfv(GL_FRONT_AND_BACK, GL_AMBIENT, white);
    m_gl.Materialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
    m_gl.Materialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    m_gl.Materialf(GL_FRONT_AND_BACK, GL_SHININESS, material->shininess);
    m_gl.TexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    const std::array<GLfloat, 16> matrix = TextureMatrix(*material->textureMap);
    m_gl.MatrixMode(GL_TEXTURE);
    m_gl.LoadMatrixf(matrix.data());
    m_gl.MatrixMode(GL_MODELVIEW);
    m_gl.Enable(GL_TEXTURE_2D);
    return true;
}

void SceneRenderer::EndRun(bool textured) {
    if (textured) m_gl.Disable(GL_TEXTURE_2D);
}

std::optional<MaterialNames> SceneRenderer::GroupMaterialNames() const {
    for (const SceneObject& o : m_scene.m_objects)
        if (!o.faceGroups.empty()) return MaterialNames(m_scene);
    return std::nullopt;
}

void SceneRenderer::DrawObjectsImmediate(bool unlit, size_t first) {
    const bool points = m_view.m_nDisplayMode == ModeVertex;
    if (unlit) {
        // Lighting goes off and back on round each triangle: the plain sequence the other paths
        // are checked against.
        DrawUnlitObjects(first, [this, points](size_t, const SceneObject& o) {
            const VertexList& v = o.vertices;
            for (const SceneMesh& m : o.meshes) {
                m_gl.Disable(GL_LIGHTING);
                m_gl.Color3f(1.0f, 1.0f, 1.0f);
                m_gl.Begin(points ? GL_POINTS : GL_LINE_LOOP);
                for (uint16_t i : {m.a, m.b, m.c})
                    m_gl.Vertex3f(v[i].x, v[i].y, v[i].z);
                m_gl.End();
                m_gl.Enable(GL_LIGHTING);
            }
        });
        return;
    }
    DrawLitObjects(first, [this](size_t, const SceneObject& o, const FaceRuns& runs,
                                 const std::vector<CornerNormal>& corners) {
        const bool smooth = m_view.m_nDisplayMode == ModeSmooth && o.smooth;
        return [this, &o, &runs, &corners, smooth](size_t r, bool textured) {
            DrawRunLit(o, runs, runs.runs[r], smooth, textured, corners);
        };
    });
}

void SceneRenderer::DrawObjectsFromBuffers(bool unlit, size_t first) {
    const DisplayMode mode = m_view.m_nDisplayMode;
    // Nothing changes between the triangles of the vertex and line modes: lighting goes off and
    // the colour is set once for all of them.
    if (unlit) TurnLightingOff();
    m_buffers.BeginObjects(m_scene.m_objects.size());
    if (unlit) {
        DrawUnlitObjects(first, [this, mode](size_t i, const SceneObject& o) {
            if (!m_buffers.Draw(i, o, ShapeOf(mode, o))) DrawTrianglesUnlit(o, mode == ModeVertex);
        });
    } else {
        DrawLitObjects(first, [this, mode](size_t i, const SceneObject& o, const FaceRuns& runs,
                                           const std::vector<CornerNormal>& corners) {
            const ObjectShape shape = ShapeOf(mode, o);
            return [this, i, &o, &runs, &corners, shape](size_t r, bool textured) {
                const FaceRun& run = runs.runs[r];
                if (!m_buffers.DrawRun(i, o, shape, runs, run, textured, corners))
                    DrawRunLit(o, runs, run, shape == ObjectShape::Smooth, textured, corners);
            };
        });
    }
    m_buffers.EndObjects();
    if (unlit) m_gl.Enable(GL_LIGHTING);
}

void SceneRenderer::DrawObjectsSimplified(bool unlit) {
    const DisplayMode mode = m_view.m_nDisplayMode;
    if (unlit) TurnLightingOff();
    m_buffers.BeginObjects(m_scene.m_objects.size());
    if (unlit) {
        DrawUnlitObjects(0, [this, mode](size_t i, const SceneObject& o) {
            const int64_t drawn = m_simplifiedBuffers.Draw(i, *m_copies, m_level, ShapeOf(mode, o));
            if (drawn >= 0) {
                m_triangles += drawn;
                return;
            }
            // Too small for a copy: whole, which costs next to nothing.
            m_triangles += static_cast<int64_t>(o.meshes.size());
            DrawTrianglesUnlit(o, mode == ModeVertex);
        });
        m_simplifiedBuffers.End();
        m_gl.Enable(GL_LIGHTING);
        return;
    }
    DrawLitObjects(0, [this, mode](size_t i, const SceneObject& o, const FaceRuns& runs,
                                   const std::vector<CornerNormal>& corners) {
        const ObjectShape shape = ShapeOf(mode, o);
        const bool several = runs.runs.size() > 1;
        // A copy serves only the runs it was made for; one made before the object's face groups
        // changed leaves the object drawn whole until its new copy comes. A copy's corners have
        // their vertices' normals: an object whose smoothing groups give its corners other
        // normals is drawn whole in smooth mode, from its buffers, so that its edges stay.
        const bool keepEdges = shape == ObjectShape::Smooth && !corners.empty();
        const SimplifiedObject* copy = keepEdges ? nullptr : m_copies->Copy(i);
        bool copyFits = copy && copy->runTriangles.size() == (several ? runs.runs.size() : 0);
        for (size_t r = 0; copyFits && several && r < runs.runs.size(); ++r)
            copyFits = copy->runTriangles[r] == runs.runs[r].count;
        return [this, i, &o, &runs, &corners, shape, several, keepEdges, copyFits](size_t r,
                                                                                   bool textured) {
            const FaceRun& run = runs.runs[r];
            // A copy has no texture coordinates: textured faces are drawn whole.
            const int64_t drawn = copyFits && !textured
                                      ? m_simplifiedBuffers.Draw(i, *m_copies, m_level, shape,
                                                                 several ? static_cast<int>(r) : -1)
                                      : -1;
            if (drawn >= 0) {
                m_triangles += drawn;
            } else if (!several && !textured && !keepEdges) {
                m_triangles += static_cast<int64_t>(run.count);
                DrawRunLit(o, runs, run, shape == ObjectShape::Smooth, false, corners);
            } else {
                m_triangles += static_cast<int64_t>(run.count);
                m_simplifiedBuffers.End();
                if (!m_buffers.DrawRun(i, o, shape, runs, run, textured, corners))
                    DrawRunLit(o, runs, run, shape == ObjectShape::Smooth, textured, corners);
                m_buffers.EndObjects();
            }
        };
    });
    m_simplifiedBuffers.End();
}

void SceneRenderer::TurnLightingOff() {
    m_gl.Disable(GL_LIGHTING);
    m_gl.Color3f(1.0f, 1.0f, 1.0f);
}

void SceneRenderer::DrawTrianglesUnlit(const SceneObject& o, bool points) {
    const VertexList& v = o.vertices;
    for (const SceneMesh& m : o.meshes) {
        m_gl.Begin(points ? GL_POINTS : GL_LINE_LOOP);
        for (uint16_t i : {m.a, m.b, m.c})
            m_gl.Vertex3f(v[i].x, v[i].y, v[i].z);
        m_gl.End();
    }
}

void SceneRenderer::DrawRunLit(const SceneObject& o, const FaceRuns& runs, const FaceRun& run,
                               bool smooth, bool textured,
                               const std::vector<CornerNormal>& corners) {
    const VertexList& v = o.vertices;
    for (size_t p = run.first; p < run.first + run.count; ++p) {
        const uint32_t t = runs.Triangle(p);
        const SceneMesh& m = o.meshes[t];
        m_gl.Begin(GL_TRIANGLES);
        if (!smooth) m_gl.Normal3f(m.nx, m.ny, m.nz);
        const CornerNormal* own = smooth && !corners.empty() ? &corners[3 * size_t{t}] : nullptr;
        for (uint16_t i : {m.a, m.b, m.c}) {
            if (own) {
                m_gl.Normal3f(own->nx, own->ny, own->nz);
                ++own;
            } else if (smooth) {
                m_gl.Normal3f(v[i].nx, v[i].ny, v[i].nz);
            }
            if (textured) m_gl.TexCoord2f(o.uvs[i].u, o.uvs[i].v);
            m_gl.Vertex3f(v[i].x, v[i].y, v[i].z);
        }
        m_gl.End();
    }
}

void SceneRenderer::DrawObjectBox() {
    const SceneObject* current = m_scene.CurrentObject();
    if (!current || current->hidden) return;
    const SceneObject& o = *current;
    m_gl.Disable(GL_LIGHTING);
    m_gl.Color3f(0.8f, 0.2f, 0.2f);
    for (float x : {o.maxX, o.minX}) {
        m_gl.Begin(GL_LINE_LOOP);
        m_gl.Vertex3f(x, o.maxY, o.maxZ);
        m_gl.Vertex3f(x, o.maxY, o.minZ);
        m_gl.Vertex3f(x, o.minY, o.minZ);
        m_gl.Vertex3f(x, o.minY, o.maxZ);
        m_gl.End();
    }
    m_gl.Begin(GL_LINES);
    const float edges[4][2] = {
        {o.maxY, o.maxZ}, {o.maxY, o.minZ}, {o.minY, o.minZ}, {o.minY, o.maxZ}};
    for (const auto& e : edges) {
        m_gl.Vertex3f(o.minX, e[0], e[1]);
        m_gl.Vertex3f(o.maxX, e[0], e[1]);
    }
    m_gl.End();
    m_gl.Enable(GL_LIGHTING);
}

void SceneRenderer::DrawGrid() {
    const float t = GridSpacing(m_scene.m_settings);
    const float far = 10.0f * t;
    m_gl.Disable(GL_LIGHTING);
    m_gl.Color3f(0.7f, 0.7f, 0.9f);
    m_gl.Begin(GL_LINES);
    for (int k = 0; k <= 10; ++k) {
        const float d = static_cast<float>(k) * t;
        m_gl.Vertex3f(d, far, 0);
        m_gl.Vertex3f(d, -far, 0);
        m_gl.Vertex3f(-d, far, 0);
        m_gl.Vertex3f(-d, -far, 0);
        m_gl.Vertex3f(far, d, 0);
        m_gl.Vertex3f(-far, d, 0);
        m_gl.Vertex3f(far, -d, 0);
        m_gl.Vertex3f(-far, -d, 0);
    }
    m_gl.End();
    m_gl.Enable(GL_LIGHTING);
}

void SceneRenderer::DrawLightMarkers() {
    const float u = MarkerSize(m_scene.m_settings);
    m_gl.Disable(GL_LIGHTING);
    for (const SceneLight& light : m_scene.m_lights) {
        if (light.on != 0)
            m_gl.Color3f(1.0f, 1.0f, 0.0f);
        else
            m_gl.Color3f(0.75f, 0.75f, 0.0f);
        const std::array<double, 3> at =
            UprightPoint(m_scene.m_settings, {light.x, light.y, light.z});
        const auto x = static_cast<float>(at[0]), y = static_cast<float>(at[1]),
                   z = static_cast<float>(at[2]);
        const float loops[3][4][3] = {
            {{x - u, y - u, z}, {x + u, y - u, z}, {x + u, y + u, z}, {x - u, y + u, z}},
            {{x - u, y - u, z}, {x, y, z - u}, {x + u, y + u, z}, {x, y, z + u}},
            {{x, y, z - u}, {x + u, y - u, z}, {x, y, z + u}, {x - u, y + u, z}}};
        for (const auto& loop : loops) {
            m_gl.Begin(GL_LINE_LOOP);
            for (const auto& p : loop)
                m_gl.Vertex3f(p[0], p[1], p[2]);
            m_gl.End();
        }
    }
    m_gl.Enable(GL_LIGHTING);
}
