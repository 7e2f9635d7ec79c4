#include "main/display_setup.h"

DisplayChoices ChooseDisplay(const Options& options, const DisplayChoices& saved) {
    DisplayChoices c = saved;
    if (options.fullscreen) c.fullscreen = *options.fullscreen;
    if (options.scale) c.scale = *options.scale;
    if (options.renderer) c.renderer = *options.renderer;
    if (options.show_fps) c.show_fps = true;
    return c;
}
