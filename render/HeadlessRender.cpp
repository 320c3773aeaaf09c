#include "HeadlessRender.h"

#include "HeadlessGl.h"
#include "LabelPainting.h"
#include "NoteLabelDrawing.h"
#include "OpenGlApi.h"
#include "TextureDecoding.h"
#include "import3ds/SceneGeometry.h"
#include "view/FrameClock.h"
#include "view/SceneRenderer.h"

HeadlessPictures::HeadlessPictures(Scene& scene, ViewState& view, int width, int height)
    : m_scene(scene), m_view(view), m_width(width), m_height(height) {}

HeadlessPictures::~HeadlessPictures() = default;

std::unique_ptr<HeadlessPictures> HeadlessPictures::Create(Scene& scene, ViewState& view, int width,
                                                           int height, std::string& error) {
    std::unique_ptr<HeadlessPictures> pictures(new HeadlessPictures(scene, view, width, height));
    pictures->m_gl = HeadlessGl::Create(width, height, HeadlessGl::ColorBuffer::Bytes, error);
    if (!pictures->m_gl) return nullptr;
    pictures->m_api = std::make_unique<OpenGlApi>(&HeadlessGl::ProcAddress);
    pictures->ViewReplaced();
    pictures->m_renderer = std::make_unique<SceneRenderer>(*pictures->m_api, scene, view);
    pictures->m_decoder = std::make_unique<ToolkitImageDecoder>();
    pictures->m_renderer->SetImageDecoder(pictures->m_decoder.get());
    pictures->m_renderer->InitGl();
    return pictures;
}

void HeadlessPictures::BeginComing() {
    m_renderer->SetupLights();
    m_renderer->SetupProjection(m_width, m_height);
    m_coming = m_renderer->BeginComingFrame(SteadyFrameClock());
}

void HeadlessPictures::DrawComing() {
    if (m_coming) m_renderer->DrawComingObjects();
}

void HeadlessPictures::DropComing() {
    if (!m_coming) return;
    m_renderer->EndComingFrame(m_width, m_height);
    m_renderer->EndFrame(SteadyFrameClock());
    m_coming = false;
}

QImage HeadlessPictures::Draw() {
    const SteadyFrameClock clock;
    const DrawnFrame frame = m_coming ? m_renderer->EndComingFrame(m_width, m_height)
                                      : m_renderer->FullRedraw(m_width, m_height, clock);
    m_coming = false;
    // The frame, label included, is shown by reading the framebuffer into the picture.
    if (frame.label)
        DrawNoteLabel(*m_api, *frame.label, FontFromLogFont(m_scene.m_settings.textFont), 1.0);
    m_renderer->EndFrame(clock);
    const std::vector<uint8_t> pixels = m_gl->ReadPixels();
    return QImage(pixels.data(), m_width, m_height, QImage::Format_RGBA8888)
        .convertToFormat(QImage::Format_RGB32);
}

void HeadlessPictures::WarmUp(const ViewState& like) {
    const Scene before = m_scene;
    const ViewState view = m_view;
    m_view = like;
    ViewReplaced();
    // A square of squares, two triangles each: enough triangles to be drawn by indices, as a
    // model's long runs are, which the driver makes shaders of its own for.
    constexpr uint16_t kSide = 6;
    SceneObject squares;
    for (uint16_t i = 0; i <= kSide; ++i)
        for (uint16_t j = 0; j <= kSide; ++j) {
            SceneVertex vertex;
            vertex.x = i, vertex.y = j;
            squares.vertices.push_back(vertex);
        }
    for (uint16_t i = 0; i < kSide; ++i)
        for (uint16_t j = 0; j < kSide; ++j) {
            const auto at = [](uint16_t x, uint16_t y) {
                return static_cast<uint16_t>(x * (kSide + 1) + y);
            };
            squares.meshes.push_back(SceneMesh{at(i, j), at(i + 1, j), at(i + 1, j + 1)});
            squares.meshes.push_back(SceneMesh{at(i, j), at(i + 1, j + 1), at(i, j + 1)});
        }
    squares.vertexCount = static_cast<int32_t>(squares.vertices.size());
    squares.meshCount = static_cast<int32_t>(squares.meshes.size());
    squares.maxX = squares.maxY = kSide;
    ComputeNormals(squares);
    // Twice: in the built-in grey and in a material without highlights, which the driver's
    // lighting leaves out of its shaders.
    SceneMaterial dull;
    dull.shininess = 0.0f;
    m_scene.m_materials.push_back(dull);
    m_scene.m_objects.push_back(squares);
    squares.materialIndex = 0;
    m_scene.m_objects.push_back(std::move(squares));
    m_scene.m_settings.currentObject = 0;  // its box drawn, as a model's first object's is
    ComputeSceneBounds(m_scene);
    m_scene.CountScene();
    Draw();
    m_scene = before;
    m_view = view;
}

void HeadlessPictures::DrawOnePicture() {
    m_renderer->SetDrawPath(DrawPath::SceneMemory);
}

void HeadlessPictures::ViewReplaced() {
    m_view.m_fAspect = static_cast<float>(m_width) / static_cast<float>(m_height);
}

QImage RenderSceneImage(Scene& scene, ViewState& view, int width, int height, std::string& error) {
    std::unique_ptr<HeadlessPictures> pictures =
        HeadlessPictures::Create(scene, view, width, height, error);
    if (!pictures) return QImage();
    pictures->DrawOnePicture();
    return pictures->Draw();
}
