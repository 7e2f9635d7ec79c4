#include "engine/display_choice.h"

const char* ScaleModeName(ScaleMode mode) {
    switch (mode) {
    case ScaleMode::Integer: return "integer";
    case ScaleMode::Smooth: return "smooth";
    default: return "sharp";
    }
}

const char* RendererChoiceName(RendererChoice choice) {
    switch (choice) {
    case RendererChoice::OpenGl: return "gl";
    case RendererChoice::Soft: return "soft";
    default: return "auto";
    }
}

std::optional<ScaleMode> ParseScaleMode(const std::string& name) {
    for (ScaleMode m : {ScaleMode::Sharp, ScaleMode::Integer, ScaleMode::Smooth})
        if (name == ScaleModeName(m)) return m;
    return std::nullopt;
}

std::optional<RendererChoice> ParseRendererChoice(const std::string& name) {
    for (RendererChoice c : {RendererChoice::Auto, RendererChoice::OpenGl, RendererChoice::Soft})
        if (name == RendererChoiceName(c)) return c;
    return std::nullopt;
}
