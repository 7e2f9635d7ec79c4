// The engine's flat API: everything the game calls to draw, collide, play sound, read input,
// open streams, draw random numbers and keep time. Game code includes only this header (and the
// small type headers it pulls in); it never sees SDL, OpenGL or the host.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "engine/image.h"
#include "engine/sound.h"
#include "engine/stream.h"
#include "engine/tlist.h"

class Platform;

// ---------------------------------------------------------------------------------------------
// Engine lifetime. The platform is chosen by the program (SDL) or by a test (headless) and must
// outlive every engine call.
void EngineInit(Platform* platform);
void EngineShutdown();
Platform* EnginePlatform();

// Application title, shown as the window caption.
void SetAppTitle(const std::string& title);
const std::string& AppTitle();

// ---------------------------------------------------------------------------------------------
// Display and 2D drawing
enum { BLEND_MASK = 1, BLEND_SOLID = 2, BLEND_ALPHA = 3, BLEND_LIGHT = 4, BLEND_SHADE = 5 };

// The current drawing state, one instance while the display is open.
struct TDrawState {
    int color_red = 255, color_green = 255, color_blue = 255;
    float color_alpha = 1.0f;
    int clscolor_red = 0, clscolor_green = 0, clscolor_blue = 0;
    float line_width = 1.0f;
    float tform_rot = 0.0f;
    float tform_scale_x = 1.0f, tform_scale_y = 1.0f;
    float tform_ix = 1.0f, tform_iy = 0.0f, tform_jx = 0.0f, tform_jy = 1.0f;
    int viewport_x = 0, viewport_y = 0, viewport_w = 0, viewport_h = 0;
    float origin_x = 0.0f, origin_y = 0.0f;
    float handle_x = 0.0f, handle_y = 0.0f;
    TImageFont* image_font = nullptr;
    int blend_mode = BLEND_MASK;
};
const TDrawState& DrawState();

// Opens the display. Returns false (after saying why on stderr) when no display can be had.
bool OpenDisplay(int width, int height, int depth, int hz, int flags);
void CloseDisplay();
bool DisplayIsOpen();
void ShowFrame(int sync);
void Cls();
void SetColor(int r, int g, int b);
void SetAlpha(float alpha);
void SetBlend(int mode);
void SetDrawRotation(float degrees);
void SetDrawScale(float sx, float sy);
void SetTransform(float degrees, float sx, float sy);
void SetDefaultImageFlags(int flags);
int DefaultImageFlags();
void SetAutoMidHandle(int on);

TImage* LoadImageFile(const std::string& path, int flags);
TImage* CreateImage(int width, int height, int frames, int flags);
void GrabImage(TImage* image, int x, int y, int frame);
void MidHandleImage(TImage* image);
void DrawImageFrame(TImage* image, float x, float y, int frame);
void DrawFilledRect(float x, float y, float w, float h);

enum { FONT_BOLD = 1, FONT_ITALIC = 2, FONT_SMOOTH = 4 };
TImageFont* LoadFont(const std::string& path, int size, int style);
// Selects the font text is drawn with; null selects the built-in font.
void SelectFont(TImageFont* font);
// The built-in font: 5 x 7 pixel characters drawn at twice their size, for ASCII 32 to 126.
TImageFont* BuiltinFont();
void DrawString(const std::string& text, float x, float y);
int TextWidthOf(const std::string& text);

// Reads back the 640 x 480 picture (the back buffer) as RGB bytes, row by row from the top.
void ReadBackBuffer(int x, int y, int w, int h, uint8_t* rgb);
// Writes the back buffer to a PNG file (screen grabs for tests and tools). Returns false on error.
bool SaveBackBufferPNG(const std::string& path);

// ---------------------------------------------------------------------------------------------
// Pixel-exact collision of image frames placed as DrawImageFrame would draw them.
bool ImagesOverlap(TImage* img1, int x1, int y1, int f1, TImage* img2, int x2, int y2, int f2);
void ResetCollisionLayers(uint32_t mask);

// ---------------------------------------------------------------------------------------------
// Input and system events. Key codes are host virtual-key codes with per-side modifiers
// (left Control 162, left Alt 164, ...).
int KeyWasHit(int code);
int KeyIsDown(int code);
void FlushKeyboard();
int MouseWasHit(int button);
int MouseIsDown(int button);
void FlushPointer();
int PointerX();
int PointerY();
void MovePointer(int x, int y);
void HidePointer();
int AppIsSuspended();
int CloseRequested();
int CountJoysticks();
int JoyButtonDown(int button, int port);
int JoyButtonHit(int button, int port);
float JoyAxisX(int port);
float JoyAxisY(int port);
int PointerWheel(); // wheel notches since the last pointer flush
// Runs the event pump once (every query above does so first).
void PollSystem();
// Clears all polled keyboard, pointer and joystick-press state; the display calls it when it
// opens.
void InputReset();
// Feeds one event straight into the polled state, as the pump would (automatic players, replays).
struct PlatformEvent;
void InjectInputEvent(const PlatformEvent& ev);
// Key rebinding: the host's key events reach the polled state as map[host code] (0 drops the key),
// so the game reads its own codes whatever keys the player chose. Injected events are not mapped.
// The identity until set; kept across InputReset.
void SetKeyMap(const std::array<int, 256>& map);
void ClearKeyMap();
// The map in use, when one is set (tools that read keys by their own names set it aside a while).
bool KeyMapInUse(std::array<int, 256>& out);
// The game's code a host key reaches the polled state as (0 when the bindings drop it).
int MappedKeyCode(int host_code);

// ---------------------------------------------------------------------------------------------
// Random numbers and timing
void SeedRandom(int32_t seed);
double RandomFloat(double lo, double hi);
int RandomInt(int lo, int hi);
int32_t RandomState(); // for saving and restoring the whole game state
void SetRandomState(int32_t state);
int MilliTime();
// Milliseconds since an earlier MilliTime reading; the clock wraps after 49.7 days, so only
// differences taken this way stay right across the wrap.
int MilliSince(int earlier);
void DelayMs(int ms);
double SinDeg(double degrees);
double CosDeg(double degrees);

// Ends the program through the normal return path of the game's entry point: the game returns
// on its own; this records that it asked to (ProgramEnded, cleared by EngineInit).
void EndProgram();
bool ProgramEnded();
