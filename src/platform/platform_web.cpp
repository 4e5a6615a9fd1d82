// SPDX-FileCopyrightText: 2026 the Kerbolt team
// SPDX-License-Identifier: GPL-3.0-or-later

// The browser side of the platform module: Emscripten's SDL 1.2 and mixer,
// OpenGL emulated over WebGL, and the page (web/index.html with
// web/kerbolt.pre.js) that hosts the canvas, the player's folder and the
// stored savegame.

// The OpenGL 2.0 functions that the ARB entry points below forward to.
#define GL_GLEXT_PROTOTYPES
#include <GL/glew.h>

#include "platform/platform.h"

#include <emscripten.h>

#include <cstddef>
#include <cstring>
#include <vector>

// Emscripten's copy of stb_image (linked with -sSTB_IMAGE=1).
extern "C" {
unsigned char* stbi_load(const char* fileName, int* width, int* height, int* components, int wantedComponents);
void stbi_image_free(void* pixels);
}

// The ARB entry points of multitexturing and GLSL that the game calls, which
// Emscripten's GL library offers under their OpenGL 2.0 names only.
extern "C" {
void glActiveTextureARB(GLenum unit)
{
    glActiveTexture(unit);
}
void glClientActiveTextureARB(GLenum unit)
{
    glClientActiveTexture(unit);
}
GLhandleARB glCreateProgramObjectARB()
{
    return glCreateProgram();
}
GLhandleARB glCreateShaderObjectARB(GLenum type)
{
    return glCreateShader(type);
}
void glShaderSourceARB(GLhandleARB shader, GLsizei count, const GLcharARB** text, const GLint* lengths)
{
    glShaderSource(shader, count, text, lengths);
}
void glCompileShaderARB(GLhandleARB shader)
{
    glCompileShader(shader);
}
void glAttachObjectARB(GLhandleARB program, GLhandleARB shader)
{
    glAttachShader(program, shader);
}
void glLinkProgramARB(GLhandleARB program)
{
    glLinkProgram(program);
}
void glUseProgramObjectARB(GLhandleARB program)
{
    glUseProgram(program);
}
GLint glGetUniformLocationARB(GLhandleARB program, const GLcharARB* name)
{
    return glGetUniformLocation(program, name);
}
void glUniform1iARB(GLint location, GLint value)
{
    glUniform1i(location, value);
}
}

namespace Platform {

namespace {

FrameSteps frameSteps{};
// What the next callback of the page's frame clock does.
enum class Phase { showLoading, load, play };
Phase phase = Phase::showLoading;

void stop(int status)
{
    emscripten_cancel_main_loop();
    ended(status);
}

// One callback of the page's frame clock. The first shows the loading
// picture, which the browser shows when the callback returns; the second
// loads the fonts and the main screen and draws the first frame; every later
// one presents the frame drawn in the previous callback (the browser has
// shown it) and draws the next.
std::optional<int> step()
{
    switch (phase) {
    case Phase::showLoading:
        phase = Phase::load;
        return frameSteps.showLoading();
    case Phase::load:
        phase = Phase::play;
        if (const std::optional<int> status = frameSteps.load())
            return status;
        return frameSteps.draw();
    case Phase::play:
        if (const std::optional<int> status = frameSteps.present())
            return status;
        return frameSteps.draw();
    }
    return std::nullopt;
}

void frame()
{
    // For the page and its test: how many frames, when the first and the
    // latest began (the engine's timer reads the clock right after).
    EM_ASM({
        Module.kerboltFrameAt = performance.now();
        if (++Module.kerboltFrames == 1)
            Module.kerboltFirstFrameAt = Module.kerboltFrameAt;
    });
    if (const std::optional<int> status = step())
        stop(*status);
}

} // namespace

int runFrames(const FrameSteps& steps)
{
    frameSteps = steps;
    // 0: the browser's own frame rate (requestAnimationFrame). Simulating an
    // endless loop hands control back to the page here; main never returns.
    emscripten_set_main_loop(frame, 0, 1);
    return 0;
}

int ended(int status)
{
    EM_ASM({ Module.kerboltEnded($0); }, status);
    return status;
}

// The browser's own decoder would go through a 2D canvas, which keeps colours
// premultiplied by alpha and so loses the colour of transparent pixels (the
// terrain's colour map carries its detail mask in alpha). stb_image decodes
// the file's bytes as they are, always to R, G, B, A bytes.
SDL_Surface* decodePicture(const std::string& fileName, PictureType)
{
    int width = 0, height = 0, components = 0;
    unsigned char* pixels = stbi_load(fileName.c_str(), &width, &height, &components, 4);
    if (!pixels)
        return nullptr;
    SDL_Surface* surface =
        SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000);
    if (surface) {
        const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
        for (int y = 0; y < height; ++y)
            std::memcpy(static_cast<unsigned char*>(surface->pixels) + static_cast<std::ptrdiff_t>(y) * surface->pitch,
                        pixels + y * rowBytes, rowBytes);
    }
    stbi_image_free(pixels);
    return surface;
}

// Decoded pictures carry alpha instead of a colour key.
std::optional<Uint32> colorKey(const SDL_Surface&)
{
    return std::nullopt;
}

// Decoded pictures keep their pixels in the game's memory; Emscripten's lock
// would copy the empty 2D canvas behind every surface over them.
bool mustLock(const SDL_Surface&)
{
    return false;
}

// WebGL 1 knows only the unpack alignment among the pixel store settings,
// and its internal format must equal the pixels' format.
void uploadTexture(GLenum, GLsizei width, GLsizei height, GLenum format, const void* pixels, GLint alignment,
                   GLint rowLength)
{
    const std::size_t pixelBytes = format == GL_RGBA ? 4 : 3;
    std::vector<unsigned char> packed;
    if (rowLength != 0 && rowLength != width) {
        // Rows further apart than the width: copied together first.
        const std::size_t rowBytes = pixelBytes * static_cast<std::size_t>(width);
        const std::size_t stride =
            (pixelBytes * static_cast<std::size_t>(rowLength) + static_cast<std::size_t>(alignment) - 1) /
            static_cast<std::size_t>(alignment) * static_cast<std::size_t>(alignment);
        packed.resize(rowBytes * static_cast<std::size_t>(height));
        for (GLsizei y = 0; y < height; ++y)
            std::memcpy(packed.data() + static_cast<std::size_t>(y) * rowBytes,
                        static_cast<const unsigned char*>(pixels) + static_cast<std::size_t>(y) * stride, rowBytes);
        pixels = packed.data();
        alignment = 1;
    }
    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0, format, GL_UNSIGNED_BYTE, pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
}

// The sound's bytes are decoded by Web Audio, which the page allows to play
// after the player's first click or key.
Mix_Chunk* loadSound(const std::string& fileName)
{
    return Mix_LoadWAV(fileName.c_str());
}

// Emscripten's mixer has no Mix_QuerySpec; it keeps the rate it was opened with.
std::optional<int> mixerRate()
{
    const int rate = EM_ASM_INT({ return SDL.audioContext ? SDL.mixerFrequency : 0; });
    if (rate == 0)
        return std::nullopt;
    return rate;
}

void roundRunning(bool running)
{
    EM_ASM({ if (Module.kerboltRoundRunning) Module.kerboltRoundRunning(!!$0); }, running);
}

// The page stores the savegame in the browser's IndexedDB, merged with the
// one stored there (web/kerbolt.pre.js).
void savegameWritten()
{
    EM_ASM(Module.kerboltStoreSavegame());
}

namespace {
SDL_Joystick* pad = nullptr;
}

// The browser shows a page its pads only after a button has been pressed,
// so padGone looks for one every frame until one opens.
void openPad() {}

bool padGone()
{
    if (pad && SDL_JoystickNumButtons(pad) == 0) { // Emscripten's sign of a pad no longer there
        closePad();
        return true;
    }
    // Emscripten counts the browser's empty pad slots too; only a pad that is
    // there opens.
    for (int index = 0; !pad && index < SDL_NumJoysticks(); ++index)
        pad = SDL_JoystickOpen(index);
    // Emscripten's SDL compares the pads with their last state only when
    // asked, or when SDL_Init named the joystick, which it never sees here.
    if (pad)
        SDL_JoystickUpdate();
    return false;
}

void closePad()
{
    if (pad)
        SDL_JoystickClose(pad);
    pad = nullptr;
}

// The browser's standard layout: 0 to 3 the face buttons (0 the bottom one),
// 9 Start, 12 to 15 the d-pad up, down, left and right. A pad the browser
// does not know keeps its own numbers, which may mean other buttons.
int32_t padButtonKey(uint8_t button)
{
    switch (button) {
    case 0:
        return SDLK_SPACE;
    case 1:
    case 2:
    case 3:
        return SDLK_w;
    case 9:
        return SDLK_p;
    case 12:
        return SDLK_UP;
    case 13:
        return SDLK_DOWN;
    case 14:
        return SDLK_LEFT;
    case 15:
        return SDLK_RIGHT;
    default:
        return 0;
    }
}

// Emscripten's SDL reports the page's blur and its being hidden as window
// events of SDL 2.
bool leavesWindow(const SDL_Event& event)
{
    return event.type == SDL_WINDOWEVENT
           && (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST || event.window.event == SDL_WINDOWEVENT_HIDDEN);
}

} // namespace Platform
