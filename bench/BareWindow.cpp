// The yardstick for start-up: a bare SDL window with an OpenGL context, cleared and shown once, timed from SDL's
// start to that first frame. Prints one "name: value unit" line; the benchmark runs it beside itself.
#include <SDL.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <epoxy/gl.h>

int main() {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    constexpr int Width = 1024, Height = 768;
    auto start = std::chrono::steady_clock::now();
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
    SDL_Window* window =
        SDL_CreateWindow("bare", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, Width, Height, SDL_WINDOW_OPENGL);
    if (window == nullptr) return 1;
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context == nullptr) return 1;
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    SDL_GL_SwapWindow(window);
    glFinish();
    double elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("bare_window_first_frame_ms: %.1f ms\n", elapsed);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
