// The presentation options both programs read from their command lines: the value parsers, the
// looks as presets that single options override in any order, and where a picture lands in an
// area and how large the targets are drawn.
#include <gtest/gtest.h>

#include "platform/host/presentation.h"
#include "platform/host/presentation_options.h"

namespace {

using host::InternalResolution;
using host::Scaling;

TEST(PresentationOptions, ValuesParseInAnyCaseAndBadOnesSayWhatIsAccepted) {
    host::PresentationRequest request;
    std::string error;
    EXPECT_TRUE(host::ParseLook("Clean", &request.look, &error));
    EXPECT_EQ(request.look, host::Look::CLEAN);
    EXPECT_TRUE(host::ParseInternalResolution("3X", &request.internal, &error));
    EXPECT_EQ(request.internal, (InternalResolution{3, false}));
    EXPECT_TRUE(host::ParseInternalResolution("native", &request.internal, &error));
    EXPECT_TRUE(request.internal->native);
    EXPECT_TRUE(host::ParseSamples("8", &request.samples, &error));
    EXPECT_EQ(request.samples, 8);
    EXPECT_TRUE(host::ParseSamples("off", &request.samples, &error));
    EXPECT_EQ(request.samples, 1);
    EXPECT_TRUE(host::ParseColour("32", &request.trueColour, &error));
    EXPECT_TRUE(host::ParseScaling("integer", &request.scaling, &error));
    EXPECT_TRUE(host::ParseFiltering("NEAREST", &request.filtering, &error));
    EXPECT_TRUE(host::ParseWindowSize("1280x960", &request.window, &error));
    EXPECT_EQ(request.window, std::make_pair(1280, 960));
    EXPECT_TRUE(host::ParseFrameCap("144", &request.frameCap, &error));
    EXPECT_EQ(request.frameCap, 144);

    struct Bad {
        bool parsed;
        const char* accepted;
    };
    const Bad bad[] = {
        {host::ParseLook("modern", &request.look, &error), "authentic or clean"},
        {host::ParseInternalResolution("5x", &request.internal, &error), "4x or native"},
        {host::ParseInternalResolution("2.5", &request.internal, &error), "4x or native"},
        {host::ParseInternalResolution("", &request.internal, &error), "4x or native"},
        {host::ParseSamples("3", &request.samples, &error), "off, 2, 4 or 8"},
        {host::ParseSamples("16", &request.samples, &error), "off, 2, 4 or 8"},
        {host::ParseColour("24", &request.trueColour, &error), "mode"},
        {host::ParseScaling("zoom", &request.scaling, &error), "fit, integer or stretch"},
        {host::ParseFiltering("cubic", &request.filtering, &error), "linear or nearest"},
        {host::ParseWindowSize("1280", &request.window, &error), "WIDTHxHEIGHT"},
        {host::ParseWindowSize("-640x480", &request.window, &error), "WIDTHxHEIGHT"},
        {host::ParseWindowSize("99x480", &request.window, &error), "from 100 to 16384"},
        {host::ParseWindowSize("640x99999", &request.window, &error), "WIDTHxHEIGHT"},
        {host::ParseFrameCap("0", &request.frameCap, &error), "from 1 to 1000"},
        {host::ParseFrameCap("60.5", &request.frameCap, &error), "from 1 to 1000"},
    };
    for (const Bad& one : bad) {
        EXPECT_FALSE(one.parsed);
    }
    // Each failure left the value parsed before it alone, and the last reason names the value.
    EXPECT_EQ(request.look, host::Look::CLEAN);
    EXPECT_EQ(request.samples, 1);
    EXPECT_EQ(request.frameCap, 144);
    EXPECT_NE(error.find("\"60.5\""), std::string::npos) << error;
    EXPECT_NE(error.find(bad[std::size(bad) - 1].accepted), std::string::npos) << error;
}

TEST(PresentationOptions, LooksArePresetsThatSingleOptionsOverride) {
    const host::PresentationOptions authentic = host::PresentationRequest{}.Resolve();
    EXPECT_FALSE(authentic.ChangesTargets());
    EXPECT_EQ(authentic.scaling, Scaling::FIT);
    EXPECT_EQ(authentic.filtering, host::Filtering::LINEAR);
    EXPECT_TRUE(authentic.vsync);
    EXPECT_EQ(authentic.windowWidth, 0);

    host::PresentationRequest clean;
    clean.look = host::Look::CLEAN;
    const host::PresentationOptions cleanOptions = clean.Resolve();
    EXPECT_TRUE(cleanOptions.trueColour);
    EXPECT_TRUE(cleanOptions.internal.native);
    EXPECT_EQ(cleanOptions.samples, 4);

    // The single option wins whether it came before or after the look.
    clean.samples = 8;
    clean.internal = InternalResolution{2, false};
    EXPECT_EQ(clean.Resolve().samples, 8);
    EXPECT_EQ(clean.Resolve().internal, (InternalResolution{2, false}));
    EXPECT_TRUE(clean.Resolve().trueColour);

    host::PresentationRequest authenticWithSamples;
    authenticWithSamples.samples = 2;
    authenticWithSamples.look = host::Look::AUTHENTIC;
    EXPECT_EQ(authenticWithSamples.Resolve().samples, 2);
    EXPECT_FALSE(authenticWithSamples.Resolve().trueColour);
}

TEST(PresentationOptions, PicturesArePlacedByTheScalingMode) {
    // 640 x 480 on a 1920 x 1080 screen.
    const host::Letterbox fit = host::PlacePicture(640, 480, 1920, 1080, Scaling::FIT);
    EXPECT_EQ(fit.width, 1440);
    EXPECT_EQ(fit.height, 1080);
    EXPECT_EQ(fit.x, 240);
    EXPECT_EQ(fit.y, 0);
    // Whole multiples only: twice, centred.
    const host::Letterbox integer = host::PlacePicture(640, 480, 1920, 1080, Scaling::INTEGER);
    EXPECT_EQ(integer.width, 1280);
    EXPECT_EQ(integer.height, 960);
    EXPECT_EQ(integer.x, 320);
    EXPECT_EQ(integer.y, 60);
    const host::Letterbox stretch = host::PlacePicture(640, 480, 1920, 1080, Scaling::STRETCH);
    EXPECT_EQ(stretch.width, 1920);
    EXPECT_EQ(stretch.height, 1080);
    // An area smaller than the picture has no whole multiple: it is fitted.
    const host::Letterbox small = host::PlacePicture(640, 480, 400, 400, Scaling::INTEGER);
    EXPECT_EQ(small.width, 400);
    EXPECT_EQ(small.height, 300);
    EXPECT_EQ(host::PlacePicture(640, 480, 0, 400, Scaling::INTEGER).width, 0);
}

TEST(PresentationOptions, TargetsGrowByTheScaleOrToThePictureOnScreen) {
    host::PresentationOptions options;
    EXPECT_EQ(host::InternalTargetSize(options, 640, 480, 1920, 1080),
              (host::TargetSize{640, 480}));
    options.internal = InternalResolution{3, false};
    EXPECT_EQ(host::InternalTargetSize(options, 640, 480, 0, 0), (host::TargetSize{1920, 1440}));

    options.internal = InternalResolution{1, true};
    EXPECT_EQ(host::InternalTargetSize(options, 640, 480, 1920, 1080),
              (host::TargetSize{1440, 1080}));
    options.scaling = Scaling::INTEGER;
    EXPECT_EQ(host::InternalTargetSize(options, 640, 480, 1920, 1080),
              (host::TargetSize{1280, 960}));
    options.scaling = Scaling::STRETCH;
    EXPECT_EQ(host::InternalTargetSize(options, 640, 480, 1920, 1080),
              (host::TargetSize{1920, 1080}));
    // Never below the mode; with no area, the options' native area or else the mode's size.
    EXPECT_EQ(host::InternalTargetSize(options, 640, 480, 320, 240), (host::TargetSize{640, 480}));
    EXPECT_EQ(host::InternalTargetSize(options, 640, 480, 0, 0), (host::TargetSize{640, 480}));
    options.scaling = Scaling::FIT;
    options.nativeAreaWidth = 1920;
    options.nativeAreaHeight = 1080;
    EXPECT_EQ(host::InternalTargetSize(options, 640, 480, 0, 0), (host::TargetSize{1440, 1080}));
}

} // namespace
