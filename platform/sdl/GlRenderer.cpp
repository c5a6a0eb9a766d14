// The OpenGL drawing: the shader program, the batches of lines and triangles, textures made from the pictures' RGBA
// sheets, clearing and reading the picture back.
#include "GlRenderer.h"
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#ifndef __EMSCRIPTEN__
#include <filesystem>
#include <fstream>
#include <iterator>
#endif
#ifdef __EMSCRIPTEN__
#include "../web/WebGl.h" // the browser build draws the same way on WebGL 2
#else
#include <epoxy/gl.h>
#endif

namespace {
// Pixel centres sit half a pixel in from the pixel's top-left corner.
constexpr float PixelCentre = 0.5f;
// Above this many vertices a batch is drawn and a new one begun, so the buffer stays small.
constexpr std::size_t BatchLimit = 60000;
// MASKBLEND (and textured SOLIDBLEND) drop fragments whose alpha is below this.
constexpr float MaskCut = 0.5f;

// Both shaders are written once for GLSL 1.20 and 1.30 and later; the version line goes in front.
const char* const VertexSource = R"(
#if __VERSION__ >= 130
#define ATTRIBUTE in
#define VARYING out
#else
#define ATTRIBUTE attribute
#define VARYING varying
#endif
uniform vec2 PixelToClip;
ATTRIBUTE vec2 Position;
ATTRIBUTE vec2 TexturePosition;
ATTRIBUTE vec4 Colour;
VARYING vec2 FragmentTexturePosition;
VARYING vec4 FragmentColour;
void main() {
    FragmentTexturePosition = TexturePosition;
    FragmentColour = Colour;
    gl_Position = vec4(Position.x * PixelToClip.x - 1.0, 1.0 - Position.y * PixelToClip.y, 0.0, 1.0);
}
)";

const char* const FragmentSource = R"(
#if __VERSION__ >= 130
#define VARYING in
#define TEXTURE texture
out vec4 Result;
#else
#define VARYING varying
#define TEXTURE texture2D
#define Result gl_FragColor
#endif
uniform sampler2D Sheet;
uniform float AlphaCut;
VARYING vec2 FragmentTexturePosition;
VARYING vec4 FragmentColour;
void main() {
    vec4 colour = TEXTURE(Sheet, FragmentTexturePosition) * FragmentColour;
    if (colour.a < AlphaCut) discard;
    Result = colour;
}
)";

enum Attribute : GLuint { PositionAttribute = 0, TexturePositionAttribute = 1, ColourAttribute = 2 };

bool CompileShader(GLenum type, const std::string& source, GLuint& shader, std::string& error) {
    shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled == GL_TRUE) return true;
    char log[1024] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    error = std::string("the shader would not compile: ") + log;
    glDeleteShader(shader);
    shader = 0;
    return false;
}

std::string VersionLine(bool coreProfile) {
#ifdef __EMSCRIPTEN__
    // WebGL 2 runs the same shaders as GLSL ES 3.00, which asks the fragment shader for a float precision.
    if (coreProfile) return "#version 300 es\nprecision highp float;\n";
#endif
    if (coreProfile) return "#version 330 core\n";
    if (epoxy_glsl_version() >= 130) return "#version 130\n";
    return "#version 120\n";
}

std::uint8_t Channel(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

#ifndef __EMSCRIPTEN__
// The linked program as the driver hands it back, kept between starts: Mesa sets its GLSL compiler up on a process's
// first compile, some 25 ms of a start-up on llvmpipe (its shader cache does not spare that), where the driver takes
// its own binary back in about 1 ms. Kept under $XDG_CACHE_HOME/kestrovar (~/.cache/kestrovar) with the driver's
// names and our sources it was made from: any other driver or source, or a binary the driver refuses, is compiled
// afresh and kept again. What the program draws is the same either way: it is the driver's own program.
std::string KeptProgramPath() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    if (cache != nullptr && *cache == '/') return std::string(cache) + "/kestrovar/gl-program";
    if (home != nullptr && *home == '/') return std::string(home) + "/.cache/kestrovar/gl-program";
    return {};
}

bool BinariesKept() {
    if (epoxy_gl_version() < 41 && !epoxy_has_gl_extension("GL_ARB_get_program_binary")) return false;
    GLint formats = 0;
    glGetIntegerv(GL_NUM_PROGRAM_BINARY_FORMATS, &formats);
    return formats > 0;
}

// What a kept binary must have been made from: the driver, its version and our sources.
std::string KeptProgramKey(const std::string& version) {
    auto text = [](GLenum name) {
        const GLubyte* value = glGetString(name);
        return value != nullptr ? std::string(reinterpret_cast<const char*>(value)) : std::string();
    };
    return text(GL_VENDOR) + "\n" + text(GL_RENDERER) + "\n" + text(GL_VERSION) + "\n" + version + VertexSource +
           FragmentSource;
}

// The file: the key's length and the key, the binary's format, then the binary.
bool LoadKeptProgram(GLuint program, const std::string& key) {
    std::string path = KeptProgramPath();
    if (path.empty()) return false;
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::uint32_t keyLength = 0, format = 0;
    if (bytes.size() < sizeof keyLength) return false;
    std::memcpy(&keyLength, bytes.data(), sizeof keyLength);
    std::size_t binaryAt = sizeof keyLength + keyLength + sizeof format;
    if (keyLength != key.size() || bytes.size() <= binaryAt ||
        std::memcmp(bytes.data() + sizeof keyLength, key.data(), key.size()) != 0)
        return false;
    std::memcpy(&format, bytes.data() + sizeof keyLength + keyLength, sizeof format);
    glProgramBinary(program, format, bytes.data() + binaryAt, static_cast<GLsizei>(bytes.size() - binaryAt));
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    return linked == GL_TRUE;
}

// Written beside and renamed over, so that a start never reads half a file; a folder that can't be made keeps
// nothing, and the next start compiles again.
void KeepProgram(GLuint program, const std::string& key) {
    std::string path = KeptProgramPath();
    if (path.empty()) return;
    GLint length = 0;
    glGetProgramiv(program, GL_PROGRAM_BINARY_LENGTH, &length);
    if (length <= 0) return;
    std::vector<char> binary(static_cast<std::size_t>(length));
    GLsizei written = 0;
    GLenum format = 0;
    glGetProgramBinary(program, length, &written, &format, binary.data());
    if (written <= 0) return;
    std::error_code failed;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), failed);
    if (failed) return;
    std::string partial = path + ".new";
    {
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        auto keyLength = static_cast<std::uint32_t>(key.size());
        auto kept = static_cast<std::uint32_t>(format);
        file.write(reinterpret_cast<const char*>(&keyLength), sizeof keyLength);
        file.write(key.data(), static_cast<std::streamsize>(key.size()));
        file.write(reinterpret_cast<const char*>(&kept), sizeof kept);
        file.write(binary.data(), written);
        if (!file) return;
    }
    std::filesystem::rename(partial, path, failed);
}
#endif
} // namespace

bool GlRenderer::Create(int width, int height, bool coreProfile, std::string& error) {
    *this = GlRenderer{};
    Width = width;
    Height = height;
    DrawableWidth = PictureWidth = width;
    DrawableHeight = PictureHeight = height;
    if (!coreProfile && epoxy_gl_version() < 20) {
        error = "OpenGL 2.0 or later is needed";
        return false;
    }

    std::string version = VersionLine(coreProfile);
    Program = glCreateProgram();
#ifndef __EMSCRIPTEN__
    bool keep = BinariesKept();
    std::string key = keep ? KeptProgramKey(version) : std::string();
    ProgramKept = keep && LoadKeptProgram(Program, key);
    // A refused binary (a format this driver does not know, say) leaves an error behind: compiling goes on without it.
    if (keep && !ProgramKept)
        while (glGetError() != GL_NO_ERROR) {
        }
#endif
    if (!ProgramKept) {
        GLuint vertexShader = 0, fragmentShader = 0;
        if (!CompileShader(GL_VERTEX_SHADER, version + VertexSource, vertexShader, error)) return false;
        if (!CompileShader(GL_FRAGMENT_SHADER, version + FragmentSource, fragmentShader, error)) {
            glDeleteShader(vertexShader);
            return false;
        }
        glAttachShader(Program, vertexShader);
        glAttachShader(Program, fragmentShader);
        glBindAttribLocation(Program, PositionAttribute, "Position");
        glBindAttribLocation(Program, TexturePositionAttribute, "TexturePosition");
        glBindAttribLocation(Program, ColourAttribute, "Colour");
#ifndef __EMSCRIPTEN__
        if (keep) glProgramParameteri(Program, GL_PROGRAM_BINARY_RETRIEVABLE_HINT, GL_TRUE);
#endif
        glLinkProgram(Program);
        glDeleteShader(vertexShader);
        glDeleteShader(fragmentShader);
        GLint linked = GL_FALSE;
        glGetProgramiv(Program, GL_LINK_STATUS, &linked);
        if (linked != GL_TRUE) {
            char log[1024] = {};
            glGetProgramInfoLog(Program, sizeof log, nullptr, log);
            error = std::string("the shader program would not link: ") + log;
            return false;
        }
#ifndef __EMSCRIPTEN__
        if (keep) {
            KeepProgram(Program, key);
            while (glGetError() != GL_NO_ERROR) {
            }
        }
#endif
    }
    glUseProgram(Program);
    glUniform2f(glGetUniformLocation(Program, "PixelToClip"), 2.0f / static_cast<float>(width),
                2.0f / static_cast<float>(height));
    glUniform1i(glGetUniformLocation(Program, "Sheet"), 0);
    AlphaCutUniform = glGetUniformLocation(Program, "AlphaCut");

    // A core context draws nothing without a vertex array object; older ones may not have them.
    if (coreProfile || epoxy_gl_version() >= 30 || epoxy_has_gl_extension("GL_ARB_vertex_array_object")) {
        glGenVertexArrays(1, &VertexArray);
        glBindVertexArray(VertexArray);
    }
    glGenBuffers(1, &Buffer);
    glBindBuffer(GL_ARRAY_BUFFER, Buffer);
    glGenBuffers(1, &IndexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, IndexBuffer);
    const GLsizei stride = sizeof(Vertex);
    glEnableVertexAttribArray(PositionAttribute);
    glVertexAttribPointer(PositionAttribute, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(Vertex, X)));
    glEnableVertexAttribArray(TexturePositionAttribute);
    glVertexAttribPointer(TexturePositionAttribute, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(Vertex, U)));
    glEnableVertexAttribArray(ColourAttribute);
    glVertexAttribPointer(ColourAttribute, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          reinterpret_cast<const void*>(offsetof(Vertex, R)));

    // Lines and plots sample this, so one program draws everything.
    const std::uint8_t white[4] = {255, 255, 255, 255};
    glActiveTexture(GL_TEXTURE0);
    glGenTextures(1, &WhiteTexture);
    glBindTexture(GL_TEXTURE_2D, WhiteTexture);
    AppliedTexture = WhiteTexture;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_SCISSOR_TEST);
    glViewport(0, 0, DrawableWidth, DrawableHeight);
    Vertices.reserve(BatchLimit + 8);
    Indices.reserve(BatchLimit * 3);
    if (glGetError() != GL_NO_ERROR) {
        error = "setting up OpenGL failed";
        return false;
    }
    return true;
}

void GlRenderer::Abandon() { *this = GlRenderer{}; }

void GlRenderer::SetDrawableSize(int width, int height) {
    if (width == DrawableWidth && height == DrawableHeight) return;
    Flush();
    DrawableWidth = width;
    DrawableHeight = height;
    // Scaled by the smaller of the two ratios, so that neither side is stretched more than the other.
    double scale = std::min(static_cast<double>(width) / Width, static_cast<double>(height) / Height);
    PictureWidth = std::min(width, static_cast<int>(Width * scale + 0.5));
    PictureHeight = std::min(height, static_cast<int>(Height * scale + 0.5));
    PictureX = (width - PictureWidth) / 2;
    PictureY = (height - PictureHeight) / 2;
    glViewport(PictureX, height - PictureY - PictureHeight, PictureWidth, PictureHeight);
    AppliedScissor = Clip{-1, -1, -1, -1};
}

void GlRenderer::ApplyBlend(int blend) {
    if (blend == AppliedBlend) return;
    AppliedBlend = blend;
    float cut = 0.0f;
    switch (blend) {
    case ALPHABLEND:
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        break;
    case LIGHTBLEND:
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        break;
    case SHADEBLEND:
        glEnable(GL_BLEND);
        glBlendFunc(GL_DST_COLOR, GL_ZERO);
        break;
    default:
        // MASKBLEND and SOLIDBLEND: written as they are. Solid lines are opaque, so the cut only keeps a picture's
        // transparent surround from painting black.
        glDisable(GL_BLEND);
        cut = MaskCut;
        break;
    }
    glUniform1f(AlphaCutUniform, cut);
}

void GlRenderer::ApplyScissor(const Clip& clip) {
    if (clip == AppliedScissor) return;
    AppliedScissor = clip;
    // Our clip is in drawing pixels from the top left; GL's in real pixels from the bottom left.
    double sx = static_cast<double>(PictureWidth) / Width;
    double sy = static_cast<double>(PictureHeight) / Height;
    int left = PictureX + static_cast<int>(clip.X * sx + 0.5);
    int right = PictureX + static_cast<int>((clip.X + clip.Width) * sx + 0.5);
    int top = PictureY + static_cast<int>(clip.Y * sy + 0.5);
    int bottom = PictureY + static_cast<int>((clip.Y + clip.Height) * sy + 0.5);
    glScissor(left, DrawableHeight - bottom, right - left, bottom - top);
}

void GlRenderer::ApplyTexture(unsigned texture) {
    if (texture == AppliedTexture) return;
    AppliedTexture = texture;
    glBindTexture(GL_TEXTURE_2D, texture);
}

bool GlRenderer::Begin(unsigned kind, unsigned texture, const DrawState& state) {
    Clip clip;
    clip.X = std::max(state.ViewX, 0);
    clip.Y = std::max(state.ViewY, 0);
    int right = std::min(state.ViewX + state.ViewWidth, Width);
    int bottom = std::min(state.ViewY + state.ViewHeight, Height);
    clip.Width = right - clip.X;
    clip.Height = bottom - clip.Y;
    if (clip.Width <= 0 || clip.Height <= 0) return false;
    int blend = state.Blend;
    if (blend < MASKBLEND || blend > SHADEBLEND) blend = SOLIDBLEND;
    if (blend == MASKBLEND) blend = SOLIDBLEND; // the same GL state
    BatchKey key{kind, texture, blend, clip};
    if (!(key == Current) || Vertices.size() >= BatchLimit) {
        Flush();
        Current = key;
    }
    return true;
}

void GlRenderer::Flush() {
    if (Vertices.empty()) return;
    if (!Submitting) {
        Vertices.clear();
        Indices.clear();
        return;
    }
    ApplyBlend(Current.Blend);
    ApplyScissor(Current.Scissor);
    ApplyTexture(Current.Texture);
    if (!VertexArray) {
        glBindBuffer(GL_ARRAY_BUFFER, Buffer);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, IndexBuffer);
    }
    // Given afresh each batch, so a buffer the GPU still reads for the last one doesn't hold us up.
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(Vertices.size() * sizeof(Vertex)), Vertices.data(),
                 GL_STREAM_DRAW);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(Indices.size() * sizeof(std::uint32_t)),
                 Indices.data(), GL_STREAM_DRAW);
    glDrawElements(Current.Kind, static_cast<GLsizei>(Indices.size()), GL_UNSIGNED_INT, nullptr);
    ++DrawCalls;
    Vertices.clear();
    Indices.clear();
}

void GlRenderer::Finish() {
    Flush();
    glFinish();
}

void GlRenderer::SetSubmitting(bool submit) {
    // What was collected goes the way it was collected for.
    Flush();
    Submitting = submit;
}

void GlRenderer::Clear(const DrawState& state) {
    Flush();
    if (!Submitting) return;
    Clip clip;
    clip.X = std::max(state.ViewX, 0);
    clip.Y = std::max(state.ViewY, 0);
    clip.Width = std::min(state.ViewX + state.ViewWidth, Width) - clip.X;
    clip.Height = std::min(state.ViewY + state.ViewHeight, Height) - clip.Y;
    if (clip.Width <= 0 || clip.Height <= 0) return;
    ApplyScissor(clip);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
}

void GlRenderer::ClearWhole() {
    Flush();
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
}

// A segment between pixel centres lights the pixels from the first up to, not including, the last.
void GlRenderer::AddSegment(float x1, float y1, float x2, float y2, const DrawState& state) {
    std::uint8_t r = Channel(state.Red), g = Channel(state.Green), b = Channel(state.Blue);
    auto first = static_cast<std::uint32_t>(Vertices.size());
    Indices.insert(Indices.end(), {first, first + 1});
    Vertices.push_back({x1 + PixelCentre, y1 + PixelCentre, 0.5f, 0.5f, r, g, b, 255});
    Vertices.push_back({x2 + PixelCentre, y2 + PixelCentre, 0.5f, 0.5f, r, g, b, 255});
}

// One pixel, the one nearest (x, y): the segment from its centre to the next one's lights it alone, and keeps it in
// the lines' batch.
void GlRenderer::AddPixel(float x, float y, const DrawState& state) {
    float column = std::floor(x + PixelCentre);
    float row = std::floor(y + PixelCentre);
    AddSegment(column, row, column + 1, row, state);
}

void GlRenderer::Line(const DrawState& state, float x1, float y1, float x2, float y2, bool lastPixel) {
    if (!Begin(GL_LINES, WhiteTexture, state)) return;
    if (x1 != x2 || y1 != y2) AddSegment(x1, y1, x2, y2, state);
    if (lastPixel) AddPixel(x2, y2, state);
}

void GlRenderer::Point(const DrawState& state, float x, float y) {
    if (!Begin(GL_LINES, WhiteTexture, state)) return;
    AddPixel(x, y, state);
}

bool GlRenderer::TextureFor(Image& image, int generation, unsigned& texture) {
    if (image.Texture != 0 && image.TextureGeneration == generation) {
        texture = image.Texture;
        return true;
    }
    std::size_t needed = static_cast<std::size_t>(image.SheetWidth) * static_cast<std::size_t>(image.SheetHeight) * 4;
    if (image.SheetWidth <= 0 || image.SheetHeight <= 0 || image.Width <= 0 || image.Height <= 0 ||
        image.Rgba.size() < needed)
        return false;
    Flush();
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    AppliedTexture = name;
    GLint filter = image.Filtered ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    // The sheet's top row goes first, so texture position 0 is its top.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image.SheetWidth, image.SheetHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 image.Rgba.data());
    image.Texture = name;
    image.TextureGeneration = generation;
    texture = name;
    return true;
}

GlRenderer::FrameArea GlRenderer::AreaOf(const Image& image, int frame) {
    int across = std::max(image.SheetWidth / image.Width, 1);
    int cell = image.FirstCell + frame;
    float left = static_cast<float>((cell % across) * image.Width);
    float top = static_cast<float>((cell / across) * image.Height);
    float sheetWidth = static_cast<float>(image.SheetWidth);
    float sheetHeight = static_cast<float>(image.SheetHeight);
    return {left / sheetWidth, top / sheetHeight, (left + static_cast<float>(image.Width)) / sheetWidth,
            (top + static_cast<float>(image.Height)) / sheetHeight};
}

void GlRenderer::Picture(const DrawState& state, Image& image, int frame, float x, float y, int generation) {
    unsigned texture = 0;
    if (!TextureFor(image, generation, texture)) return;
    if (!Begin(GL_TRIANGLES, texture, state)) return;
    FrameArea area = AreaOf(image, frame);
    // The handle is in the picture's own pixels, so it scales with the picture.
    float left = x - image.HandleX * state.ScaleX;
    float top = y - image.HandleY * state.ScaleY;
    float right = left + static_cast<float>(image.Width) * state.ScaleX;
    float bottom = top + static_cast<float>(image.Height) * state.ScaleY;
    std::uint8_t r = Channel(state.Red), g = Channel(state.Green), b = Channel(state.Blue);
    Vertex topLeft{left, top, area.U0, area.V0, r, g, b, 255};
    Vertex topRight{right, top, area.U1, area.V0, r, g, b, 255};
    Vertex bottomLeft{left, bottom, area.U0, area.V1, r, g, b, 255};
    Vertex bottomRight{right, bottom, area.U1, area.V1, r, g, b, 255};
    auto first = static_cast<std::uint32_t>(Vertices.size());
    Vertices.insert(Vertices.end(), {topLeft, topRight, bottomLeft, bottomRight});
    Indices.insert(Indices.end(), {first, first + 1, first + 2, first + 1, first + 3, first + 2});
}

void GlRenderer::Strip(const DrawState& state, Image& image, int frame, const StripVertex* vertices, int count,
                       int generation) {
    if (count < 3) return;
    unsigned texture = 0;
    if (!TextureFor(image, generation, texture)) return;
    if (!Begin(GL_TRIANGLES, texture, state)) return;
    FrameArea area = AreaOf(image, frame);
    auto convert = [&](const StripVertex& v) {
        return Vertex{v.X,
                      v.Y,
                      area.U0 + v.U * (area.U1 - area.U0),
                      area.V0 + v.V * (area.V1 - area.V0),
                      static_cast<std::uint8_t>(v.Argb >> 16),
                      static_cast<std::uint8_t>(v.Argb >> 8),
                      static_cast<std::uint8_t>(v.Argb),
                      static_cast<std::uint8_t>(v.Argb >> 24)};
    };
    // Each three consecutive vertices of the strip make a triangle, just as GL's own strips do.
    auto first = static_cast<std::uint32_t>(Vertices.size());
    for (int i = 0; i < count; ++i) Vertices.push_back(convert(vertices[i]));
    for (std::uint32_t i = 0; i + 2 < static_cast<std::uint32_t>(count); ++i)
        Indices.insert(Indices.end(), {first + i, first + i + 1, first + i + 2});
}

std::vector<std::uint8_t> GlRenderer::ReadPixels(int& width, int& height) {
    Flush();
    width = DrawableWidth;
    height = DrawableHeight;
    std::size_t row = static_cast<std::size_t>(width) * 4;
    std::vector<std::uint8_t> bottomUp(row * static_cast<std::size_t>(height));
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<std::uint8_t> topDown(bottomUp.size());
    for (int y = 0; y < height; ++y)
        std::copy_n(bottomUp.begin() + static_cast<std::ptrdiff_t>(row * static_cast<std::size_t>(height - 1 - y)), row,
                    topDown.begin() + static_cast<std::ptrdiff_t>(row * static_cast<std::size_t>(y)));
    return topDown;
}

int GlRenderer::TakeDrawCalls() {
    int calls = DrawCalls;
    DrawCalls = 0;
    return calls;
}
