// The player's presentation options: how large the 3D targets are drawn, with how many samples,
// in which colour depth, and how the picture reaches the screen (scaling, filtering, window or
// full screen, pacing). The program never sees any of this: its display mode, surfaces,
// viewport, locks and device contexts stay in mode pixels; only the GL targets and what is shown
// change. The defaults are today's picture exactly.
//
// One record, installed by an entry before the program runs (lumenfall from its command line,
// lumenfall-capture from its own), read by the GL backend, the driver set and the desktop. The
// value parsers below are shared by both programs' command lines, so the same words mean the
// same pictures in both:
//
//   host::PresentationRequest request;
//   if (!host::ParseLook(value, &request.look, &error)) ...   // --look clean
//   host::SetPresentationOptions(request.Resolve());
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace host {

// Two presets over the individual options: the period's picture, or a clean modern one.
enum class Look {
    AUTHENTIC, // the mode's depth and size, no multisampling: today's picture byte for byte
    CLEAN,     // 32-bit target and textures, native internal resolution, 4x multisampling
};

// How a picture is fitted into a larger or smaller area (a window, the screen).
enum class Scaling {
    FIT,     // as large as fits with its aspect kept, centred, black borders
    INTEGER, // the largest whole multiple that fits, centred (fit when even 1x does not)
    STRETCH, // the whole area
};

enum class Filtering { LINEAR, NEAREST };

// The size of the 3D targets against the display mode's.
struct InternalResolution {
    int scale = 1;       // a whole multiple of the mode, 1 to 4
    bool native = false; // the size the picture takes where it is shown (scale is then unused)

    bool operator==(const InternalResolution&) const = default;
};

constexpr int MAX_INTERNAL_SCALE = 4;
constexpr int MAX_SAMPLES = 8;
constexpr int MIN_WINDOW_SIDE = 100; // the program's own smallest window
constexpr int MAX_WINDOW_SIDE = 16384;
constexpr int MAX_FRAME_CAP = 1000;

struct PresentationOptions {
    // ---- The picture: both programs ----
    InternalResolution internal;
    int samples = 1;         // multisampling of the 3D targets: 1 (none), 2, 4 or 8
    bool trueColour = false; // 32-bit targets and textures whatever the mode's depth
    // Where no window says how large the picture is shown (offscreen), the area that native
    // internal resolution fills; 0 x 0: the mode's own size.
    int nativeAreaWidth = 0;
    int nativeAreaHeight = 0;

    // ---- Showing it: the desktop ----
    Scaling scaling = Scaling::FIT;
    Filtering filtering = Filtering::LINEAR;
    int windowWidth = 0; // start in a window of this client size; 0 x 0: full screen
    int windowHeight = 0;
    bool vsync = true; // full-screen flips wait for the display's refresh
    int frameCap = 0;  // at most this many frames a second; 0: no cap

    // Whether the targets are anything but the mode's own surfaces (the authentic picture).
    bool ChangesTargets() const {
        return internal != InternalResolution{} || samples > 1 || trueColour;
    }
};

// The picture options a look stands for (the showing options keep their defaults).
PresentationOptions LookOptions(Look look);

// What a command line asked for: a look, and options given one by one, which win over the
// look's whatever their order.
struct PresentationRequest {
    std::optional<Look> look;
    std::optional<InternalResolution> internal;
    std::optional<int> samples;
    std::optional<bool> trueColour;
    std::optional<Scaling> scaling;
    std::optional<Filtering> filtering;
    std::optional<std::pair<int, int>> window;
    std::optional<bool> vsync;
    std::optional<int> frameCap;

    PresentationOptions Resolve() const;
};

// Value parsers. Each answers false with a one-line reason (naming the value and what is
// accepted) and leaves `out` alone when the text is not a value of its option. Words are
// case-insensitive.
bool ParseLook(std::string_view text, std::optional<Look>* out, std::string* error);
// "1x" .. "4x" (or "1" .. "4"), "native".
bool ParseInternalResolution(std::string_view text, std::optional<InternalResolution>* out,
                             std::string* error);
// "off", "1", "2", "4", "8" (also "2x" .. "8x").
bool ParseSamples(std::string_view text, std::optional<int>* out, std::string* error);
// "mode" (the display mode's depth) or "32".
bool ParseColour(std::string_view text, std::optional<bool>* out, std::string* error);
bool ParseScaling(std::string_view text, std::optional<Scaling>* out, std::string* error);
bool ParseFiltering(std::string_view text, std::optional<Filtering>* out, std::string* error);
// "WIDTHxHEIGHT", each side from MIN_WINDOW_SIDE to MAX_WINDOW_SIDE.
bool ParseWindowSize(std::string_view text, std::optional<std::pair<int, int>>* out,
                     std::string* error);
// Frames a second, 1 to MAX_FRAME_CAP, or "off".
bool ParseFrameCap(std::string_view text, std::optional<int>* out, std::string* error);

// The options of this run; the defaults until an entry installs others.
void SetPresentationOptions(const PresentationOptions& options);
const PresentationOptions& GetPresentationOptions();

} // namespace host
