// The player's display choices, as plain values the command line, the settings file and the host
// share: how the 640 x 480 picture is enlarged, and which renderer draws it.
#pragma once

#include <optional>
#include <string>

enum class ScaleMode {
    Sharp,   // whole-number nearest enlargement, then one smooth step to the final size
    Integer, // whole multiples only, black around
    Smooth   // one smooth step straight to the final size
};

enum class RendererChoice {
    Auto,   // whichever is faster on this machine
    OpenGl, // OpenGL 1.x
    Soft    // the software renderer, shown through one texture
};

// Everything the player chose about the picture, as the host gets it.
struct DisplayChoices {
    bool fullscreen = true;
    ScaleMode scale = ScaleMode::Sharp;
    RendererChoice renderer = RendererChoice::Auto;
    bool show_fps = false; // frames per second and frame time drawn over the picture
};

// Names as players type them: "sharp", "integer", "smooth"; "auto", "gl", "soft".
const char* ScaleModeName(ScaleMode mode);
const char* RendererChoiceName(RendererChoice choice);
std::optional<ScaleMode> ParseScaleMode(const std::string& name);
std::optional<RendererChoice> ParseRendererChoice(const std::string& name);
