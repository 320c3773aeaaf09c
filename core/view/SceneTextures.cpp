#include "view/SceneTextures.h"

#include <algorithm>

#include "view/TextureMapping.h"

namespace {

// Larger images are scaled down as they are read: 64 MiB of pixels at most, before mipmaps.
constexpr GLint kLargestSide = 4096;

}  // namespace

SceneTextures::~SceneTextures() {
    Release();
}

void SceneTextures::SetDecoder(ImageDecoder* decoder) {
    Release();
    m_decoder = decoder;
    m_images.reset();
    m_stale = true;
}

void SceneTextures::Forget() {
    m_textures.clear();
    m_stale = true;
}

void SceneTextures::Release() {
    for (const auto& [image, texture] : m_textures)
        if (texture != 0) m_gl.DeleteTexture(texture);
    m_textures.clear();
}

bool SceneTextures::Bind(const std::string& imageBase, const TextureMap& map,
                         const SceneImage* embedded) {
    if (!m_decoder) return false;
    if (!m_images) {
        GLint largest = 0;
        m_gl.GetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
        m_images =
            std::make_unique<SceneImages>(*m_decoder, std::clamp<GLint>(largest, 64, kLargestSide));
        m_stale = true;
    }
    if (m_stale || imageBase != m_images->SceneFile()) {
        Release();
        m_images->Reset(imageBase);
        m_stale = false;
    }
    const MapImage& found = m_images->ForMap(map, embedded);
    if (!found.decoded.image) return false;
    auto [entry, added] = m_textures.try_emplace(&found, 0);
    if (added) {
        const TextureImage& image = *found.decoded.image;
        GLuint texture = m_gl.GenTexture();
        if (texture != 0) {
            m_gl.BindTexture(GL_TEXTURE_2D, texture);
            if (m_gl.Build2DMipmaps(image.width, image.height, image.rgba.data())) {
                m_gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
                m_gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
            } else {
                m_gl.DeleteTexture(texture);
                texture = 0;
            }
        }
        entry->second = texture;
    }
    if (entry->second == 0) return false;
    m_gl.BindTexture(GL_TEXTURE_2D, entry->second);
    const GLint wrap = TextureWrap(map);
    m_gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    m_gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    return true;
}
