#include "video_codecs.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace capture {

namespace {

// Chroma as the formats know it; 4:2:2 is ProRes's own and not an option of the others.
enum class Subsampling { S420, S422, S444 };

struct CodecInfo {
    VideoCodec codec;
    const char* word;  // on the command line
    const char* title; // in messages
    std::vector<std::string> containers;
    int defaultCrf; // 0: the codec takes no CRF
    int maxCrf;
    bool takes420;
};

// CRF defaults: H.264 at 18 and H.265 at 20 show no loss on the show's flat colours and thin
// lines at ordinary viewing; VP9 and AV1 at 30 are about as good on their own scales.
const std::vector<CodecInfo>& Codecs() {
    static const std::vector<CodecInfo> codecs = {
        {VideoCodec::H264, "h264", "H.264", {".mp4", ".mkv", ".mov"}, DEFAULT_H264_CRF, 51, true},
        {VideoCodec::H265, "h265", "H.265", {".mp4", ".mkv", ".mov"}, 20, 51, true},
        {VideoCodec::VP9, "vp9", "VP9", {".webm", ".mkv", ".mp4"}, 30, 63, true},
        {VideoCodec::AV1, "av1", "AV1", {".mkv", ".mp4", ".webm"}, 30, 63, true},
        {VideoCodec::FFV1, "ffv1", "FFV1", {".mkv"}, 0, 0, false},
        {VideoCodec::PRORES, "prores", "ProRes", {".mov", ".mkv"}, 0, 0, false},
        {VideoCodec::MPEG4, "mpeg4", "MPEG-4", {".avi", ".mp4", ".mkv", ".mov"}, 0, 0, true},
    };
    return codecs;
}

const CodecInfo& InfoOf(VideoCodec codec) {
    for (const CodecInfo& info : Codecs()) {
        if (info.codec == codec) {
            return info;
        }
    }
    return Codecs().front();
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (size_t i = 0; i < words.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == words.size() ? " or " : ", ") + words[i];
    }
    return text;
}

VideoCodec DefaultCodecFor(const std::string& extension) {
    if (extension == ".webm") {
        return VideoCodec::VP9;
    }
    return extension == ".avi" ? VideoCodec::MPEG4 : VideoCodec::H264;
}

// ProRes keeps 4:2:2 unless asked for 4:4:4; FFV1 keeps RGB, which is 4:4:4.
Subsampling SubsamplingOf(const VideoFormat& format) {
    if (format.chroma == Chroma::YUV444 || format.codec == VideoCodec::FFV1) {
        return Subsampling::S444;
    }
    return format.codec == VideoCodec::PRORES ? Subsampling::S422 : Subsampling::S420;
}

std::string PixelFormat(const VideoFormat& format) {
    switch (format.codec) {
    case VideoCodec::FFV1:
        return "gbrp"; // planar RGB: the frames exactly
    case VideoCodec::PRORES:
        return SubsamplingOf(format) == Subsampling::S444 ? "yuv444p10le" : "yuv422p10le";
    default:
        return SubsamplingOf(format) == Subsampling::S444 ? "yuv444p" : "yuv420p";
    }
}

} // namespace

std::optional<VideoCodec> ParseVideoCodec(const std::string& text, std::string* error) {
    const std::string word = Lower(text);
    for (const CodecInfo& info : Codecs()) {
        if (word == info.word) {
            return info.codec;
        }
    }
    if (word == "hevc") {
        return VideoCodec::H265;
    }
    *error = "codec \"" + text + "\": h264, h265, vp9, av1, ffv1, prores or mpeg4";
    return std::nullopt;
}

std::optional<Chroma> ParseChroma(const std::string& text, std::string* error) {
    for (const auto& [digits, chroma] :
         {std::pair{"420", Chroma::YUV420}, {"444", Chroma::YUV444}}) {
        const std::string d = digits;
        const std::string spaced = {d[0], ':', d[1], ':', d[2]};
        for (const std::string& form : {d, spaced, "yuv" + d, "yuv" + d + "p"}) {
            if (Lower(text) == form) {
                return chroma;
            }
        }
    }
    *error = "chroma \"" + text + "\": 420 or 444";
    return std::nullopt;
}

std::optional<int> ParseCrf(const std::string& text, std::string* error) {
    if (text.empty() || text.size() > 3 ||
        !std::all_of(text.begin(), text.end(),
                     [](unsigned char c) { return std::isdigit(c) != 0; })) {
        *error = "CRF \"" + text + "\": a whole number such as 18 (lower is better and larger)";
        return std::nullopt;
    }
    return std::stoi(text);
}

bool ResolveVideoFormat(const VideoRequest& request, const std::string& extension, int width,
                        int height, VideoFormat* format, std::string* error) {
    format->codec = request.codec.value_or(DefaultCodecFor(extension));
    const CodecInfo& info = InfoOf(format->codec);
    if (std::find(info.containers.begin(), info.containers.end(), extension) ==
        info.containers.end()) {
        *error = std::string(info.title) + " does not go in a " + extension + " file; use " +
                 Joined(info.containers);
        return false;
    }
    if (request.crf && info.maxCrf == 0) {
        *error = std::string(info.title) + " takes no --crf (" +
                 (format->codec == VideoCodec::FFV1     ? "it is lossless"
                  : format->codec == VideoCodec::PRORES ? "its profile sets the quality"
                                                        : "its quality is fixed") +
                 ")";
        return false;
    }
    if (request.crf && *request.crf > info.maxCrf) {
        *error = "CRF " + std::to_string(*request.crf) + ": " + info.title + " takes 0 to " +
                 std::to_string(info.maxCrf);
        return false;
    }
    format->crf =
        info.maxCrf == 0 ? std::nullopt : std::optional<int>(request.crf.value_or(info.defaultCrf));
    format->chroma = request.chroma.value_or(Chroma::YUV420);
    if (request.chroma == Chroma::YUV420 && !info.takes420) {
        *error = std::string(info.title) + " has no 4:2:0 (" +
                 (format->codec == VideoCodec::FFV1 ? "it keeps the frames' RGB"
                                                    : "it is 4:2:2, or 4:4:4 with --chroma 444") +
                 ")";
        return false;
    }
    if (format->codec == VideoCodec::MPEG4 && format->chroma == Chroma::YUV444) {
        *error = "MPEG-4 has no 4:4:4; use h264 or h265 with --chroma 444";
        return false;
    }
    const Subsampling subsampling = SubsamplingOf(*format);
    const bool oddWidth = width % 2 != 0, oddHeight = height % 2 != 0;
    if ((subsampling == Subsampling::S420 && (oddWidth || oddHeight)) ||
        (subsampling == Subsampling::S422 && oddWidth)) {
        *error = "a " + std::to_string(width) + "x" + std::to_string(height) + " " + info.title +
                 " video needs an even " +
                 (subsampling == Subsampling::S422 ? "width" : "width and height") +
                 " (or --chroma 444)";
        return false;
    }
    return true;
}

std::string DescribeVideoFormat(const VideoFormat& format) {
    switch (format.codec) {
    case VideoCodec::FFV1:
        return "FFV1, lossless RGB";
    case VideoCodec::PRORES:
        return SubsamplingOf(format) == Subsampling::S444 ? "ProRes 4444" : "ProRes 422 HQ";
    default:
        break;
    }
    std::string text = InfoOf(format.codec).title;
    if (format.crf) {
        text += " CRF " + std::to_string(*format.crf);
    }
    return text + (format.chroma == Chroma::YUV444 ? ", 4:4:4" : ", 4:2:0");
}

std::vector<std::string> EncoderCandidates(const VideoFormat& format) {
    switch (format.codec) {
    case VideoCodec::H264:
        return {"libx264"};
    case VideoCodec::H265:
        return {"libx265"};
    case VideoCodec::VP9:
        return {"libvpx-vp9"};
    case VideoCodec::AV1:
        // SVT-AV1 is many times faster, but writes 4:2:0 only.
        if (format.chroma == Chroma::YUV444) {
            return {"libaom-av1"};
        }
        return {"libsvtav1", "libaom-av1"};
    case VideoCodec::FFV1:
        return {"ffv1"};
    case VideoCodec::PRORES:
        return {"prores_ks"};
    case VideoCodec::MPEG4:
        return {"mpeg4"};
    }
    return {};
}

std::vector<std::string> ListedEncoders(const std::string& listing) {
    // " V....D libx264     libx264 H.264 / AVC ...", after a line of dashes.
    std::vector<std::string> names;
    std::istringstream lines(listing);
    std::string line;
    bool table = false;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string flags, name;
        if (!(words >> flags)) {
            continue;
        }
        if (!table) {
            table = flags.find_first_not_of('-') == std::string::npos;
            continue;
        }
        if (flags.size() == 6 && (words >> name)) {
            names.push_back(name);
        }
    }
    return names;
}

std::vector<std::string> EncoderArguments(const VideoFormat& format, const std::string& encoder,
                                          const std::string& extension) {
    std::vector<std::string> arguments;
    const std::string pixels = PixelFormat(format);
    if (format.codec == VideoCodec::FFV1) {
        arguments = {"-pix_fmt", pixels};
    } else {
        arguments = {"-vf",
                     "scale=out_color_matrix=bt709:out_range=tv,format=" + pixels,
                     "-colorspace",
                     "bt709",
                     "-color_primaries",
                     "bt709",
                     "-color_trc",
                     "bt709",
                     "-color_range",
                     "tv"};
    }
    auto add = [&arguments](std::initializer_list<std::string> more) {
        arguments.insert(arguments.end(), more);
    };
    const std::string crf = format.crf ? std::to_string(*format.crf) : "";
    add({"-c:v", encoder});
    // Fast settings throughout: the show's flat colours and slow motion compress well without a
    // slow search, and the encoder's time is taken from the rasteriser's cores.
    if (encoder == "libx264") {
        add({"-preset", "veryfast", "-crf", crf});
    } else if (encoder == "libx265") {
        add({"-preset", "veryfast", "-crf", crf, "-x265-params", "log-level=error"});
        if (extension == ".mp4" || extension == ".mov") {
            add({"-tag:v", "hvc1"}); // the tag Apple's players look for
        }
    } else if (encoder == "libvpx-vp9") {
        add({"-deadline", "realtime", "-cpu-used", "8", "-row-mt", "1", "-crf", crf, "-b:v", "0"});
    } else if (encoder == "libsvtav1") {
        add({"-preset", "8", "-crf", crf});
    } else if (encoder == "libaom-av1") {
        // Its real-time mode: some fifteen times as fast as its fastest good-quality one, for
        // files a quarter larger.
        add({"-usage", "realtime", "-cpu-used", "8", "-row-mt", "1", "-crf", crf, "-b:v", "0"});
    } else if (encoder == "ffv1") {
        // The archive's usual settings: every frame a key frame, each slice checksummed.
        add({"-level", "3", "-g", "1", "-slices", "16", "-slicecrc", "1"});
    } else if (encoder == "prores_ks") {
        // This encoder leaves the colour tags out of its frames unless a filter puts them in.
        add({"-profile:v", SubsamplingOf(format) == Subsampling::S444 ? "4" : "3", "-bsf:v",
             "prores_metadata=color_primaries=bt709:color_trc=bt709:colorspace=bt709"});
    } else if (encoder == "mpeg4") {
        add({"-q:v", "2"});
    }
    if (extension == ".mp4") {
        add({"-movflags", "+faststart"}); // playable while it downloads
    } else if (extension == ".mov") {
        add({"-movflags", "+faststart+write_colr"}); // .mov keeps the colour tags only if asked
    }
    return arguments;
}

} // namespace capture
