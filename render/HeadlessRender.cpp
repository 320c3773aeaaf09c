#include "HeadlessRender.h"

#include "HeadlessGl.h"
#include "LabelPainting.h"
#include "NoteLabelDrawing.h"
#include "OpenGlApi.h"
#include "view/FrameClock.h"
#include "view/SceneRenderer.h"

QImage RenderSceneImage(Scene& scene, ViewState& view, int width, int height, std::string& error) {
    std::unique_ptr<HeadlessGl> gl =
        HeadlessGl::Create(width, height, HeadlessGl::ColorBuffer::Bytes, error);
    if (!gl) return QImage();
    OpenGlApi api(&HeadlessGl::ProcAddress);
    const SteadyFrameClock clock;
    view.m_fAspect = static_cast<float>(width) / static_cast<float>(height);
    SceneRenderer renderer(api, scene, view);
    renderer.InitGl();
    const DrawnFrame frame = renderer.FullRedraw(width, height, clock);
    // The frame, label included, is shown by reading the framebuffer into the picture.
    if (frame.label)
        DrawNoteLabel(api, *frame.label, FontFromLogFont(scene.m_settings.textFont), 1.0);
    renderer.EndFrame(clock);
    const std::vector<uint8_t> pixels = gl->ReadPixels();
    return QImage(pixels.data(), width, height, QImage::Format_RGBA8888)
        .convertToFormat(QImage::Format_RGB32);
}
