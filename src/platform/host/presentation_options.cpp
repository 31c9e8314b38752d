// The presentation options: looks, value parsers, and the run's record.
#include "platform/host/presentation_options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <initializer_list>
#include <utility>

namespace host {

namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return lower;
}

// A whole decimal number and nothing else (no sign, no spaces), or nothing.
std::optional<int> WholeNumber(std::string_view text) {
    if (text.empty() || text.size() > 6 ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); })) {
        return std::nullopt;
    }
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// One of a few words, case-insensitive; the reason names the value and what is accepted.
template <typename T>
bool ParseWord(std::string_view text, std::initializer_list<std::pair<const char*, T>> words,
               const char* what, const char* accepted, std::optional<T>* out, std::string* error) {
    const std::string word = Lower(text);
    for (const auto& [name, value] : words) {
        if (word == name) {
            *out = value;
            return true;
        }
    }
    *error = std::string(what) + " " + Quoted(text) + ": " + accepted;
    return false;
}

PresentationOptions& Installed() {
    static PresentationOptions options;
    return options;
}

} // namespace

PresentationOptions LookOptions(Look look) {
    PresentationOptions options;
    if (look == Look::CLEAN) {
        options.trueColour = true;
        options.internal.native = true;
        options.samples = 4;
    }
    return options;
}

PresentationOptions PresentationRequest::Resolve() const {
    PresentationOptions options = LookOptions(look.value_or(Look::AUTHENTIC));
    if (internal) {
        options.internal = *internal;
    }
    if (samples) {
        options.samples = *samples;
    }
    if (trueColour) {
        options.trueColour = *trueColour;
    }
    if (scaling) {
        options.scaling = *scaling;
    }
    if (filtering) {
        options.filtering = *filtering;
    }
    if (window) {
        options.windowWidth = window->first;
        options.windowHeight = window->second;
    }
    if (vsync) {
        options.vsync = *vsync;
    }
    if (frameCap) {
        options.frameCap = *frameCap;
    }
    return options;
}

bool ParseLook(std::string_view text, std::optional<Look>* out, std::string* error) {
    return ParseWord(text, {{"authentic", Look::AUTHENTIC}, {"clean", Look::CLEAN}}, "look",
                     "authentic or clean", out, error);
}

bool ParseInternalResolution(std::string_view text, std::optional<InternalResolution>* out,
                             std::string* error) {
    const std::string word = Lower(text);
    if (word == "native") {
        *out = InternalResolution{1, true};
        return true;
    }
    std::string_view digits = word;
    if (!digits.empty() && digits.back() == 'x') {
        digits.remove_suffix(1);
    }
    const std::optional<int> scale = WholeNumber(digits);
    if (!scale || *scale < 1 || *scale > MAX_INTERNAL_SCALE) {
        *error = "internal resolution " + Quoted(text) + ": 1x, 2x, 3x, 4x or native";
        return false;
    }
    *out = InternalResolution{*scale, false};
    return true;
}

bool ParseSamples(std::string_view text, std::optional<int>* out, std::string* error) {
    const std::string word = Lower(text);
    if (word == "off") {
        *out = 1;
        return true;
    }
    std::string_view digits = word;
    if (!digits.empty() && digits.back() == 'x') {
        digits.remove_suffix(1);
    }
    const std::optional<int> samples = WholeNumber(digits);
    if (!samples || (*samples != 1 && *samples != 2 && *samples != 4 && *samples != 8)) {
        *error = "multisampling " + Quoted(text) + ": off, 2, 4 or 8 samples";
        return false;
    }
    *out = *samples;
    return true;
}

bool ParseColour(std::string_view text, std::optional<bool>* out, std::string* error) {
    return ParseWord(text, {{"mode", false}, {"32", true}}, "colour",
                     "mode (the display mode's depth) or 32", out, error);
}

bool ParseScaling(std::string_view text, std::optional<Scaling>* out, std::string* error) {
    return ParseWord(
        text, {{"fit", Scaling::FIT}, {"integer", Scaling::INTEGER}, {"stretch", Scaling::STRETCH}},
        "scaling", "fit, integer or stretch", out, error);
}

bool ParseFiltering(std::string_view text, std::optional<Filtering>* out, std::string* error) {
    return ParseWord(text, {{"linear", Filtering::LINEAR}, {"nearest", Filtering::NEAREST}},
                     "filter", "linear or nearest", out, error);
}

bool ParseWindowSize(std::string_view text, std::optional<std::pair<int, int>>* out,
                     std::string* error) {
    const std::string word = Lower(text);
    const size_t x = word.find('x');
    const std::optional<int> width =
        x == std::string::npos ? std::nullopt : WholeNumber(std::string_view(word).substr(0, x));
    const std::optional<int> height =
        x == std::string::npos ? std::nullopt : WholeNumber(std::string_view(word).substr(x + 1));
    if (!width || !height) {
        *error = "window size " + Quoted(text) + ": expected WIDTHxHEIGHT, such as 1280x960";
        return false;
    }
    if (std::min(*width, *height) < MIN_WINDOW_SIDE ||
        std::max(*width, *height) > MAX_WINDOW_SIDE) {
        *error = "window size " + Quoted(text) + ": each side from " +
                 std::to_string(MIN_WINDOW_SIDE) + " to " + std::to_string(MAX_WINDOW_SIDE) +
                 " pixels";
        return false;
    }
    *out = std::make_pair(*width, *height);
    return true;
}

bool ParseFrameCap(std::string_view text, std::optional<int>* out, std::string* error) {
    if (Lower(text) == "off") {
        *out = 0;
        return true;
    }
    const std::optional<int> cap = WholeNumber(text);
    if (!cap || *cap < 1 || *cap > MAX_FRAME_CAP) {
        *error = "frame cap " + Quoted(text) + ": frames a second from 1 to " +
                 std::to_string(MAX_FRAME_CAP) + ", or off";
        return false;
    }
    *out = *cap;
    return true;
}

void SetPresentationOptions(const PresentationOptions& options) {
    Installed() = options;
}

const PresentationOptions& GetPresentationOptions() {
    return Installed();
}

} // namespace host
