// The scene's texture maps as OpenGL texture objects: each image found beside the file the scene
// was read from, decoded once and uploaded once with its mipmaps, then bound for every face that
// uses it. Without a decoder (tests without images) no map has a texture.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "images/SceneImages.h"
#include "scene/Scene.h"
#include "view/GlApi.h"

class SceneTextures {
public:
    explicit SceneTextures(GlApi& gl) : m_gl(gl) {}
    // Deletes the textures: the context that holds them must be current.
    ~SceneTextures();
    SceneTextures(const SceneTextures&) = delete;
    SceneTextures& operator=(const SceneTextures&) = delete;

    void SetDecoder(ImageDecoder* decoder);
    // The scene was replaced: its images are looked for and read again when next drawn.
    void SceneReplaced() { m_stale = true; }
    // The context that held the textures is gone: forgets them without calling OpenGL.
    void Forget();

    // Binds the texture of map's image (embedded, the image the model held, when it shows one),
    // for a scene read from imageBase, with the map's wrap mode. False, binding nothing, when the
    // image is missing or cannot be read or uploaded.
    bool Bind(const std::string& imageBase, const TextureMap& map, const SceneImage* embedded);

private:
    void Release();

    GlApi& m_gl;
    ImageDecoder* m_decoder = nullptr;
    std::unique_ptr<SceneImages> m_images;
    bool m_stale = true;
    // One texture per decoded image, which SceneImages keeps one per file; 0: upload failed.
    std::map<const MapImage*, GLuint> m_textures;
};
