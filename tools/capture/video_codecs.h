// What a video is made of: the codec, its quality and its chroma, checked against the container
// the output's name chose, and the ffmpeg arguments that make it.
//
// Every codec but FFV1 stores Y'CbCr converted with the BT.709 matrix in limited range, and says
// so in the file: players take untagged HD video for BT.709 and SD video for BT.601, so a tag is
// the only way both sizes look the same everywhere. FFV1 stores the frames' RGB itself, exactly.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace capture {

enum class VideoCodec { H264, H265, VP9, AV1, FFV1, PRORES, MPEG4 };

// How much colour detail the video keeps: 4:2:0 plays everywhere; 4:4:4 keeps the one-pixel
// colour edges of the show's text and lines.
enum class Chroma { YUV420, YUV444 };

constexpr int DEFAULT_H264_CRF = 18;

// As the command line gave it; what it left out is chosen by ResolveVideoFormat.
struct VideoRequest {
    std::optional<VideoCodec> codec;
    std::optional<int> crf;
    std::optional<Chroma> chroma;
};

// As made: by default what an .mp4, .mkv or .mov file gets.
struct VideoFormat {
    VideoCodec codec = VideoCodec::H264;
    std::optional<int> crf = DEFAULT_H264_CRF; // none for the codecs that have no CRF
    Chroma chroma = Chroma::YUV420;
};

// "h264", "h265" (or "hevc"), "vp9", "av1", "ffv1", "prores", "mpeg4"; case-insensitive.
std::optional<VideoCodec> ParseVideoCodec(const std::string& text, std::string* error);
// "420" or "444" (also "4:2:0", "yuv444", "yuv444p").
std::optional<Chroma> ParseChroma(const std::string& text, std::string* error);
// A whole number; its range is the codec's, checked by ResolveVideoFormat.
std::optional<int> ParseCrf(const std::string& text, std::string* error);

// The request completed with the defaults of the container `extension` (".mp4", ...), or false
// with the reason when the codec does not go in that container, takes no CRF or not that one,
// has no such chroma, or cannot hold a width x height frame.
bool ResolveVideoFormat(const VideoRequest& request, const std::string& extension, int width,
                        int height, VideoFormat* format, std::string* error);

// "H.264", "ProRes 422 HQ", ... for messages and the closing line.
std::string DescribeVideoFormat(const VideoFormat& format);

// ffmpeg's encoders for the format, the preferred first.
std::vector<std::string> EncoderCandidates(const VideoFormat& format);
// The encoder names that an "ffmpeg -encoders" listing holds.
std::vector<std::string> ListedEncoders(const std::string& listing);
// ffmpeg's output options for the format with `encoder`, in the container `extension`.
std::vector<std::string> EncoderArguments(const VideoFormat& format, const std::string& encoder,
                                          const std::string& extension);

} // namespace capture
