#include "glcapture.h"

#include <stdexcept>

namespace {

constexpr std::size_t floatsPerVertex = sizeof(FeedbackVertex) / sizeof(float);

class FeedbackParser {
public:
    FeedbackParser(const std::vector<GLfloat>& buffer, std::size_t used) : buffer(buffer), used(used) {}

    std::vector<FeedbackPrimitive> parse()
    {
        std::vector<FeedbackPrimitive> primitives;
        while (position < used) {
            const auto token = static_cast<GLenum>(next());
            switch (token) {
            case GL_POLYGON_TOKEN:
                primitives.push_back(readPrimitive(token, static_cast<std::size_t>(next())));
                break;
            case GL_LINE_TOKEN:
            case GL_LINE_RESET_TOKEN:
                primitives.push_back(readPrimitive(token, 2));
                break;
            case GL_POINT_TOKEN:
            case GL_BITMAP_TOKEN:
            case GL_DRAW_PIXEL_TOKEN:
            case GL_COPY_PIXEL_TOKEN:
                primitives.push_back(readPrimitive(token, 1));
                break;
            case GL_PASS_THROUGH_TOKEN:
                next();
                break;
            default:
                throw std::runtime_error("unknown feedback token");
            }
        }
        return primitives;
    }

private:
    GLfloat next()
    {
        if (position >= used)
            throw std::runtime_error("truncated feedback buffer");
        return buffer[position++];
    }

    FeedbackPrimitive readPrimitive(GLenum token, std::size_t vertexCount)
    {
        FeedbackPrimitive primitive{token, {}};
        for (std::size_t v = 0; v < vertexCount; ++v) {
            std::array<float, floatsPerVertex> values{};
            for (float& value : values)
                value = next();
            const auto& [x, y, z, r, g, b, a, s, t, p, q] = values;
            primitive.vertices.push_back({x, y, z, r, g, b, a, s, t, p, q});
        }
        return primitive;
    }

    const std::vector<GLfloat>& buffer;
    std::size_t used;
    std::size_t position = 0;
};

} // namespace

std::vector<FeedbackPrimitive> captureFeedback(const std::function<void()>& draw, std::size_t capacityFloats)
{
    std::vector<GLfloat> buffer(capacityFloats);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    if (used < 0)
        throw std::runtime_error("feedback buffer overflow: raise capacityFloats");
    return FeedbackParser(buffer, static_cast<std::size_t>(used)).parse();
}

std::vector<Rgba> readPixels(int x, int y, int width, int height)
{
    std::vector<Rgba> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

Rgba pixelAt(int x, int y)
{
    return readPixels(x, y, 1, 1).front();
}

std::array<float, 16> currentMatrix(GLenum which)
{
    std::array<float, 16> matrix{};
    glGetFloatv(which == GL_PROJECTION ? GL_PROJECTION_MATRIX : GL_MODELVIEW_MATRIX, matrix.data());
    return matrix;
}
