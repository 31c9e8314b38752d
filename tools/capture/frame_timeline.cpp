#include "frame_timeline.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <numeric>

namespace capture {

namespace {

constexpr int64_t MICROS_PER_SECOND = 1000000;
constexpr uint64_t RATE_TERM_LIMIT = 10000000;
constexpr int MAX_DECIMALS = 6;

// The program's factor: the single-precision constant nearest to 0.001.
constexpr float MILLISECONDS_TO_SECONDS = 0.001f;

// A non-negative decimal "123.456" as value / 10^decimals; false for anything else. Digits are
// bounded so that nothing overflows.
bool ParseDecimal(const std::string& text, uint64_t* value, int* decimals) {
    *value = 0;
    *decimals = 0;
    bool point = false;
    int digits = 0;
    for (char c : text) {
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
        if (++digits > 15) {
            return false;
        }
        *value = *value * 10 + uint64_t(c - '0');
        *decimals += point ? 1 : 0;
    }
    return digits > 0 && text.back() != '.' && text.front() != '.';
}

uint64_t PowerOfTen(int exponent) {
    uint64_t result = 1;
    while (exponent-- > 0) {
        result *= 10;
    }
    return result;
}

struct Fraction {
    uint64_t num;
    uint64_t den;
};

Fraction Reduced(uint64_t num, uint64_t den) {
    const uint64_t divisor = std::gcd(num, den);
    return divisor == 0 ? Fraction{num, den} : Fraction{num / divisor, den / divisor};
}

// The NTSC family: a name with a few decimals that stands for k * 1000 / 1001.
std::optional<FrameRate> NtscRate(const Fraction& given) {
    struct Name {
        uint64_t num, den; // the name's decimal value
        uint32_t k;
    };
    constexpr Name NAMES[] = {
        {23976, 1000, 24}, {2997, 100, 30}, {47952, 1000, 48}, {5994, 100, 60}, {11988, 100, 120}};
    for (const Name& name : NAMES) {
        const Fraction value = Reduced(name.num, name.den);
        if (value.num == given.num && value.den == given.den) {
            return FrameRate{name.k * 1000, 1001};
        }
    }
    return std::nullopt;
}

// The latest clock reading that does not end the show.
DWORD LastMillisecondOfShow() {
    static const DWORD last = [] {
        DWORD ms = DWORD(SHOW_END_SECONDS) * 1000 + 2;
        while (ApplicationSeconds(ms) > SHOW_END_SECONDS) {
            --ms;
        }
        return ms;
    }();
    return last;
}

} // namespace

uint64_t FrameRate::Milliseconds(uint64_t index) const {
    // index <= ~10^6 and den < 10^7: the product stays far below 2^64.
    return index * 1000u * den / num;
}

uint64_t FrameRate::FirstIndexAtOrAfter(int64_t micros) const {
    if (micros <= 0) {
        return 0;
    }
    // index * den / num >= micros / 10^6  <=>  index >= micros * num / (den * 10^6), rounded up.
    const unsigned __int128 top = static_cast<unsigned __int128>(micros) * num;
    const unsigned __int128 bottom = static_cast<unsigned __int128>(den) * MICROS_PER_SECOND;
    return static_cast<uint64_t>((top + bottom - 1) / bottom);
}

std::optional<FrameRate> ParseFrameRate(const std::string& text, std::string* error) {
    Fraction rate{0, 1};
    const size_t slash = text.find('/');
    uint64_t value = 0;
    int decimals = 0;
    if (slash != std::string::npos) {
        uint64_t num = 0, den = 0;
        int numDecimals = 0, denDecimals = 0;
        if (!ParseDecimal(text.substr(0, slash), &num, &numDecimals) ||
            !ParseDecimal(text.substr(slash + 1), &den, &denDecimals) || numDecimals != 0 ||
            denDecimals != 0 || den == 0) {
            *error =
                "frame rate \"" + text + "\": expected a number such as 60, 29.97 or 60000/1001";
            return std::nullopt;
        }
        rate = Reduced(num, den);
    } else if (ParseDecimal(text, &value, &decimals) && decimals <= MAX_DECIMALS) {
        rate = Reduced(value, PowerOfTen(decimals));
        if (std::optional<FrameRate> ntsc = NtscRate(rate)) {
            return ntsc;
        }
    } else {
        *error = "frame rate \"" + text + "\": expected a number such as 60, 29.97 or 60000/1001";
        return std::nullopt;
    }
    if (rate.num < rate.den || rate.num > 1000 * rate.den) {
        *error = "frame rate \"" + text + "\": must be from 1 to 1000 frames a second";
        return std::nullopt;
    }
    if (rate.num >= RATE_TERM_LIMIT || rate.den >= RATE_TERM_LIMIT) {
        *error = "frame rate \"" + text + "\": the fraction's terms must stay below 10000000";
        return std::nullopt;
    }
    return FrameRate{uint32_t(rate.num), uint32_t(rate.den)};
}

std::optional<int64_t> ParseMicroseconds(const std::string& text, int64_t limitSeconds,
                                         std::string* error) {
    const std::string usage = "time \"" + text + "\": expected seconds such as 27.5 or 1:05.25";
    uint64_t minutes = 0;
    std::string secondsText = text;
    if (const size_t colon = text.find(':'); colon != std::string::npos) {
        int minuteDecimals = 0;
        secondsText = text.substr(colon + 1);
        if (!ParseDecimal(text.substr(0, colon), &minutes, &minuteDecimals) ||
            minuteDecimals != 0 || minutes > 1000 || secondsText.size() < 2 ||
            !std::isdigit(static_cast<unsigned char>(secondsText[0])) ||
            !std::isdigit(static_cast<unsigned char>(secondsText[1]))) {
            *error = usage;
            return std::nullopt;
        }
    }
    uint64_t value = 0;
    int decimals = 0;
    if (!ParseDecimal(secondsText, &value, &decimals)) {
        *error = usage;
        return std::nullopt;
    }
    if (decimals > MAX_DECIMALS) {
        *error = "time \"" + text + "\": at most six decimals (microseconds)";
        return std::nullopt;
    }
    const uint64_t micros = value * PowerOfTen(MAX_DECIMALS - decimals);
    if (minutes > 0 && micros >= uint64_t(60 * MICROS_PER_SECOND)) {
        *error = usage;
        return std::nullopt;
    }
    const uint64_t total = minutes * 60 * uint64_t(MICROS_PER_SECOND) + micros;
    if (total > uint64_t(limitSeconds) * uint64_t(MICROS_PER_SECOND)) {
        *error = "time \"" + text + "\": must be from 0 to " + std::to_string(limitSeconds) + " s";
        return std::nullopt;
    }
    return int64_t(total);
}

std::string FormatMicroseconds(int64_t micros) {
    char text[48];
    std::snprintf(text, sizeof(text), "%lld.%06lld", static_cast<long long>(micros / 1000000),
                  static_cast<long long>(micros % 1000000));
    std::string result = text;
    while (result.back() == '0') {
        result.pop_back();
    }
    if (result.back() == '.') {
        result.pop_back();
    }
    return result + " s";
}

float ApplicationSeconds(DWORD milliseconds) {
    return static_cast<float>(milliseconds) * MILLISECONDS_TO_SECONDS;
}

uint64_t ShowEndIndex(const FrameRate& rate) {
    // Start a few frames before 118 s (the float rounding moves the end by at most a millisecond)
    // and walk to the first frame above it.
    uint64_t index = rate.FirstIndexAtOrAfter(int64_t(SHOW_END_SECONDS) * MICROS_PER_SECOND);
    index = index > 2 ? index - 2 : 0;
    while (!(ApplicationSeconds(DWORD(rate.Milliseconds(index))) > SHOW_END_SECONDS)) {
        ++index;
    }
    return index;
}

CapturePlan CapturePlan::Range(const FrameRate& rate, int64_t startMicros,
                               std::optional<int64_t> endMicros) {
    CapturePlan plan;
    plan.rate = rate;
    plan.firstIndex = rate.FirstIndexAtOrAfter(startMicros);
    if (endMicros) {
        // Frames before the end time: the last is the one before the first at or after it.
        const uint64_t after = rate.FirstIndexAtOrAfter(*endMicros);
        plan.lastIndex = after > 0 ? after - 1 : 0;
    }
    return plan;
}

CapturePlan CapturePlan::Single(int64_t atMicros) {
    CapturePlan plan;
    plan.singleMicros = atMicros;
    plan.lastIndex = 0;
    return plan;
}

CapturePlan CapturePlan::JobPart(int index, int count) const {
    CapturePlan part = *this;
    if (singleMicros || count <= 1) {
        return part;
    }
    const uint64_t showEnd = ShowEndIndex(rate);
    part.lastIndex = lastIndex ? std::min(*lastIndex, showEnd) : showEnd;
    part.firstIndex = firstIndex + uint64_t(index) * stride;
    part.stride = stride * uint64_t(count);
    return part;
}

DWORD CapturePlan::KeptMilliseconds(uint64_t k) const {
    return SubFrameMilliseconds(k, subFrames - 1);
}

DWORD CapturePlan::SubFrameMilliseconds(uint64_t k, int s) const {
    // Sub-frame s of n lies (n - 1 - s) / n of an interval (den / num s) before the frame's
    // moment. Counted in units of 1 / (num * n) s for a frame's index, and 1 / (num * n * 10^6) s
    // for the microseconds of --at, nothing is rounded before the milliseconds are taken.
    using Wide = __int128;
    const Wide n = subFrames, back = subFrames - 1 - s;
    Wide top, bottom;
    if (singleMicros) {
        top = Wide(*singleMicros) * rate.num * n - back * rate.den * MICROS_PER_SECOND;
        bottom = Wide(rate.num) * n * 1000;
    } else {
        top = (Wide(firstIndex + k * stride) * n - back) * rate.den * 1000;
        bottom = Wide(rate.num) * n;
    }
    const DWORD ms = top <= 0 ? 0 : DWORD(top / bottom);
    return back > 0 ? std::min(ms, LastMillisecondOfShow()) : ms;
}

std::optional<uint64_t> CapturePlan::PlannedFrames() const {
    if (singleMicros) {
        return 1;
    }
    if (!lastIndex) {
        return std::nullopt;
    }
    return *lastIndex >= firstIndex ? (*lastIndex - firstIndex) / stride + 1 : 0;
}

uint64_t CapturePlan::ExpectedFrames() const {
    if (singleMicros) {
        return 1;
    }
    uint64_t last = ShowEndIndex(rate);
    if (lastIndex) {
        last = std::min(last, *lastIndex);
    }
    return last >= firstIndex ? (last - firstIndex) / stride + 1 : 0;
}

FrameSchedule::FrameSchedule(const CapturePlan& plan) : plan_(plan) {}

void FrameSchedule::MoveToKeptFrame() {
    stage_ = Stage::KEEPING;
    clock_ = plan_.SubFrameMilliseconds(kept_, subFrame_);
}

bool FrameSchedule::FramePresented() {
    completed_ = false;
    if (complete_) {
        return false;
    }
    switch (stage_) {
    case Stage::FIRST: {
        const DWORD first = plan_.SubFrameMilliseconds(0, 0);
        if (first == 0) {
            break; // the start-up frame is the first kept one
        }
        const DWORD leadIn = first - 1;
        if (ApplicationSeconds(leadIn) > SHOW_END_SECONDS) {
            MoveToKeptFrame();
        } else {
            stage_ = Stage::LEAD_IN;
            clock_ = leadIn;
        }
        return false;
    }
    case Stage::LEAD_IN:
        MoveToKeptFrame();
        return false;
    case Stage::KEEPING:
        break;
    }
    if (++subFrame_ < plan_.subFrames) {
        MoveToKeptFrame();
        return true;
    }
    subFrame_ = 0;
    completed_ = true;
    ++kept_;
    const std::optional<uint64_t> planned = plan_.PlannedFrames();
    if (planned && kept_ >= *planned) {
        complete_ = true;
    } else {
        MoveToKeptFrame();
    }
    return true;
}

} // namespace capture
