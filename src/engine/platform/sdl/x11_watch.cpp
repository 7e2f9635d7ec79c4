#include "engine/platform/sdl/x11_watch.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>

namespace {

Display* g_display = nullptr;
Window g_window = 0;
bool g_gone = false;
bool g_handlers = false;
void (*g_connection_lost)() = nullptr;

// Any failed request means the window (or its picture) is gone: the game is asked to close. It
// goes on returning, so the shutdown's own requests on the dead window are let pass too.
int OnXError(Display* display, XErrorEvent* e) {
    if (!g_gone && g_window != 0) {
        char text[128] = "";
        XGetErrorText(display, e->error_code, text, sizeof text);
        std::fprintf(stderr, "pumko: the window is gone (%s); ending the game\n", text);
    }
    g_gone = true;
    return 0;
}

// Xlib exits as soon as this returns, so the program's last step runs here.
int OnXIOError(Display*) {
    std::fprintf(stderr, "pumko: the connection to the display was lost; ending the game\n");
    if (g_connection_lost != nullptr) g_connection_lost();
    std::fflush(nullptr);
    _exit(0);
}

} // namespace

namespace x11_watch {

void OnConnectionLost(void (*fn)()) { g_connection_lost = fn; }

void Watch(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
    g_display = info.info.x11.display;
    g_window = info.info.x11.window;
    g_gone = false;
    // Set once SDL's video is up: SDL puts its own handler in place when it starts, and it ends
    // the program on the first error.
    if (!g_handlers) {
        XSetErrorHandler(&OnXError);
        XSetIOErrorHandler(&OnXIOError);
        g_handlers = true;
    }
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

void Unwatch() { g_window = 0; }

bool WindowGone() { return g_gone && g_window != 0; }

void HandleEvent(const SDL_Event& e) {
    if (e.type != SDL_SYSWMEVENT || e.syswm.msg == nullptr || e.syswm.msg->subsystem != SDL_SYSWM_X11) return;
    const XEvent& xe = e.syswm.msg->msg.x11.event;
    if (xe.type == DestroyNotify && g_window != 0 && xe.xdestroywindow.window == g_window) {
        if (!g_gone) std::fprintf(stderr, "pumko: the window was closed from outside; ending the game\n");
        g_gone = true;
    }
}

} // namespace x11_watch
