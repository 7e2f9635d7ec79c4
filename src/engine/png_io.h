// PNG reading and writing for the engine and its tools.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/image.h"

// Decodes a PNG held in memory into an RGB24 pixmap (RGBA32 when the file carries alpha).
bool DecodePNG(const uint8_t* data, size_t size, TPixmap& out);
// Writes width x height RGB bytes (top row first) as an 8-bit RGB PNG, or RGBA bytes as an RGBA
// PNG when `alpha` is set.
bool WritePNG(const std::string& path, int width, int height, const uint8_t* rgb, bool alpha = false);
