// Draws frames of a scene without any display, with the same renderer as the window, label
// included, into pictures.
#pragma once

#include <QImage>
#include <memory>
#include <string>

#include "images/SceneImages.h"
#include "scene/Scene.h"
#include "view/ViewState.h"

class HeadlessGl;
class OpenGlApi;
class SceneRenderer;

// One headless context that draws frame after frame of one scene at one size, as the view's
// state stands at each Draw: a turntable pays for its context once.
class HeadlessPictures {
public:
    // Needs a QGuiApplication for the label font. Null with a reason when no context is made.
    static std::unique_ptr<HeadlessPictures> Create(Scene& scene, ViewState& view, int width,
                                                    int height, std::string& error);
    ~HeadlessPictures();
    HeadlessPictures(const HeadlessPictures&) = delete;
    HeadlessPictures& operator=(const HeadlessPictures&) = delete;

    // Draws one frame in the view's state into a picture (RGB): the frame begun as the scene
    // came, where there is one, finished.
    QImage Draw();
    // A frame drawn while the scene's objects still come, the scene and the view as they will
    // be once all are in: BeginComing once, then DrawComing each time objects came; Draw then
    // finishes it. DropComing forgets it (the scene turned out other than it was drawn): Draw
    // then draws the whole frame.
    void BeginComing();
    void DrawComing();
    void DropComing();
    bool Coming() const { return m_coming; }
    // Draws a frame of stand-ins, lit squares of triangles with the grid and a box, in a view with
    // like's modes and settings, and throws it away: the driver makes its shaders for what it draws
    // on first use, so a command can have that done while its scene is still being read. The scene
    // and the view are left as they were; the scene is best empty, as it is copied.
    void WarmUp(const ViewState& like);
    // The view was given a new state: it takes the pictures' shape again.
    void ViewReplaced();
    // For one picture: its objects are drawn from the scene's own lists, nothing copied into
    // buffer objects that no second frame would use.
    void DrawOnePicture();

private:
    HeadlessPictures(Scene& scene, ViewState& view, int width, int height);

    Scene& m_scene;
    ViewState& m_view;
    int m_width;
    int m_height;
    std::unique_ptr<HeadlessGl> m_gl;
    std::unique_ptr<OpenGlApi> m_api;
    std::unique_ptr<ImageDecoder> m_decoder;
    std::unique_ptr<SceneRenderer> m_renderer;
    bool m_coming = false;  // a frame is being drawn as the scene comes
};

// Draws scene in view's state into a width x height picture (RGB). Needs a QGuiApplication for
// the label font. On failure returns a null image and says why.
QImage RenderSceneImage(Scene& scene, ViewState& view, int width, int height, std::string& error);
