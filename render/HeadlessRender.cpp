#include "HeadlessRender.h"

#include <QPainter>

#include "HeadlessGl.h"
#include "LabelPainting.h"
#include "OpenGlApi.h"
#include "view/SceneRenderer.h"

namespace {

// The frame goes into a picture: the swap reads the framebuffer, the label is painted on it.
class ImageHost final : public RenderHost {
public:
    ImageHost(const HeadlessGl& gl, const LogFont& font)
        : m_gl(gl), m_font(FontFromLogFont(font)) {}

    void ViewSize(int& width, int& height) const override {
        width = m_gl.Width();
        height = m_gl.Height();
    }
    void SwapBuffers() override {
        const std::vector<uint8_t> pixels = m_gl.ReadPixels();
        m_image = QImage(pixels.data(), m_gl.Width(), m_gl.Height(), QImage::Format_RGBA8888)
                      .convertToFormat(QImage::Format_RGB32);
    }
    void DrawNoteLabel(const NoteLabel& label) override {
        QPainter painter(&m_image);
        PaintNoteLabel(painter, label, m_font);
    }
    void ShowFrameRate(float) override {}

    QImage Image() const { return m_image; }

private:
    const HeadlessGl& m_gl;
    QFont m_font;
    QImage m_image;
};

}  // namespace

QImage RenderSceneImage(Scene& scene, ViewState& view, int width, int height, std::string& error) {
    std::unique_ptr<HeadlessGl> gl =
        HeadlessGl::Create(width, height, HeadlessGl::ColorBuffer::Bytes, error);
    if (!gl) return QImage();
    OpenGlApi api(&HeadlessGl::ProcAddress);
    ImageHost host(*gl, scene.m_settings.textFont);
    view.m_fAspect = static_cast<float>(width) / static_cast<float>(height);
    SceneRenderer renderer(api, scene, view, host);
    renderer.InitGl();
    renderer.FullRedraw();
    return host.Image();
}
