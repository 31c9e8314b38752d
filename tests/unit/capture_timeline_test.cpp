// The capture's arithmetic of time: rates as given on the command line, the milliseconds each
// frame's clock reads, where the program ends the show, and which presented frames are kept.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "capture/frame_timeline.h"

using namespace capture;

namespace {

FrameRate Rate(const char* text) {
    std::string error;
    std::optional<FrameRate> rate = ParseFrameRate(text, &error);
    EXPECT_TRUE(rate.has_value()) << text << ": " << error;
    return rate.value_or(FrameRate{});
}

TEST(CaptureRates, WholeFractionalDecimalAndNtscRates) {
    struct Case {
        const char* text;
        uint32_t num, den;
    };
    const Case cases[] = {
        {"60", 60, 1},           {"60000/1001", 60000, 1001},
        {"120/2", 60, 1},        {"12.5", 25, 2},
        {"30.0", 30, 1},         {"1", 1, 1},
        {"1000", 1000, 1},       {"29.97", 30000, 1001},
        {"59.94", 60000, 1001},  {"59.940", 60000, 1001},
        {"23.976", 24000, 1001}, {"119.88", 120000, 1001},
        {"29.969", 29969, 1000},
    };
    for (const Case& c : cases) {
        const FrameRate rate = Rate(c.text);
        EXPECT_EQ(rate.num, c.num) << c.text;
        EXPECT_EQ(rate.den, c.den) << c.text;
    }
}

TEST(CaptureRates, BadRatesAreRefusedWithAReason) {
    for (const char* text :
         {"", "0", "0.5", "1/2", "1001", "abc", "60/0", "-60", "60fps", "6e1", ".5", "5.", "60/1.5",
          "29.9700001", "1.2.3", "12345678/1234567", "99999999999999999999"}) {
        std::string error;
        EXPECT_FALSE(ParseFrameRate(text, &error).has_value()) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

TEST(CaptureTimes, SecondsAndMinutesExactToTheMicrosecond) {
    std::string error;
    EXPECT_EQ(ParseMicroseconds("27.5", 119, &error), 27500000);
    EXPECT_EQ(ParseMicroseconds("0", 119, &error), 0);
    EXPECT_EQ(ParseMicroseconds("1:05.25", 119, &error), 65250000);
    EXPECT_EQ(ParseMicroseconds("0.000001", 119, &error), 1);
    EXPECT_EQ(ParseMicroseconds("119", 119, &error), 119000000);
    for (const char* text :
         {"119.000001", "1:60", "1:5", "-1", "abc", "1.2345678", "2:00", ":30", "1:", "10s"}) {
        error.clear();
        EXPECT_FALSE(ParseMicroseconds(text, 119, &error).has_value()) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
    EXPECT_EQ(FormatMicroseconds(27500000), "27.5 s");
    EXPECT_EQ(FormatMicroseconds(3000000), "3 s");
}

// Frames keep their own exact times: rounding never accumulates, whatever the rate.
TEST(CaptureClock, EachFrameReadsTheWholeMillisecondsOfItsExactTime) {
    const FrameRate sixty{60, 1}, ntsc{60000, 1001};
    EXPECT_EQ(sixty.Milliseconds(1), 16u);
    EXPECT_EQ(sixty.Milliseconds(2), 33u);
    EXPECT_EQ(sixty.Milliseconds(3), 50u);
    EXPECT_EQ(sixty.Milliseconds(7080), 118000u);
    EXPECT_EQ(ntsc.Milliseconds(60), 1001u);
    EXPECT_EQ(ntsc.Milliseconds(7073), 118001u); // 118001.7
    EXPECT_EQ(ntsc.Milliseconds(60000), 1001000u);
    EXPECT_EQ(Rate("29.97").Milliseconds(30000), 1001000u);

    for (const FrameRate& rate : {sixty, ntsc, FrameRate{50, 1}, FrameRate{25, 2}}) {
        // Every step is the frame time rounded down or up; over the whole show they add up to
        // the exact time of the last frame, not to a multiple of a rounded step.
        const uint64_t shortStep = 1000u * rate.den / rate.num;
        for (uint64_t n = 1; n <= 7200; ++n) {
            const uint64_t step = rate.Milliseconds(n) - rate.Milliseconds(n - 1);
            ASSERT_TRUE(step == shortStep || step == shortStep + 1) << n << " at " << rate.num;
            // The exact time n * den / num s lies within the frame's millisecond.
            ASSERT_LE(rate.Milliseconds(n) * rate.num, n * 1000u * rate.den);
            ASSERT_GT((rate.Milliseconds(n) + 1) * rate.num, n * 1000u * rate.den);
        }
    }
}

TEST(CaptureClock, ApplicationTimeIsTheProgramsSinglePrecisionProduct) {
    // 118000 ms times the float nearest 0.001 rounds up to just above 118: at 60 fps the show's
    // last frame is the one at exactly 118 s.
    EXPECT_GT(ApplicationSeconds(118000), 118.0f);
    EXPECT_LT(ApplicationSeconds(117999), 118.0f);
    // 75000 ms gives exactly 75: the timeline keeps the scene of the frame before.
    EXPECT_EQ(ApplicationSeconds(75000), 75.0f);
    EXPECT_NE(ApplicationSeconds(15000), 15.0f);
}

TEST(CaptureClock, TheShowEndsAtTheFirstFrameAbove118Seconds) {
    EXPECT_EQ(ShowEndIndex(FrameRate{60, 1}), 7080u);
    EXPECT_EQ(ShowEndIndex(FrameRate{60000, 1001}), 7073u);
    EXPECT_EQ(ShowEndIndex(FrameRate{30, 1}), 3540u);
    EXPECT_EQ(ShowEndIndex(FrameRate{1, 1}), 118u);
    for (const FrameRate& rate : {FrameRate{50, 1}, FrameRate{24000, 1001}, FrameRate{25, 2},
                                  FrameRate{1000, 1}, FrameRate{7, 3}}) {
        const uint64_t end = ShowEndIndex(rate);
        EXPECT_GT(ApplicationSeconds(DWORD(rate.Milliseconds(end))), SHOW_END_SECONDS);
        EXPECT_LE(ApplicationSeconds(DWORD(rate.Milliseconds(end - 1))), SHOW_END_SECONDS);
    }
}

TEST(CapturePlans, StartAndEndPickFramesOnTheRatesGrid) {
    const CapturePlan range = CapturePlan::Range(FrameRate{60, 1}, 10000000, 20000000);
    EXPECT_EQ(range.firstIndex, 600u);
    EXPECT_EQ(range.lastIndex, 1199u);
    EXPECT_EQ(range.PlannedFrames(), 600u);
    EXPECT_EQ(range.ExpectedFrames(), 600u);
    EXPECT_EQ(range.KeptMilliseconds(0), 10000u);

    EXPECT_EQ(CapturePlan::Range(FrameRate{60, 1}, 10001000, std::nullopt).firstIndex, 601u);
    EXPECT_EQ(CapturePlan::Range(FrameRate{60000, 1001}, 10000000, std::nullopt).firstIndex, 600u);

    EXPECT_EQ(CapturePlan::Range(FrameRate{60, 1}, 0, std::nullopt).ExpectedFrames(), 7081u);
    EXPECT_EQ(CapturePlan::Range(FrameRate{60000, 1001}, 0, std::nullopt).ExpectedFrames(), 7074u);
    EXPECT_EQ(CapturePlan::Range(FrameRate{60, 1}, 100000000, 500000000).ExpectedFrames(), 1081u);
    EXPECT_EQ(CapturePlan::Range(FrameRate{60, 1}, 119000000, std::nullopt).ExpectedFrames(), 0u);
    // An end between two frames keeps none.
    EXPECT_EQ(CapturePlan::Range(FrameRate{1, 1}, 10100000, 10900000).PlannedFrames(), 0u);

    const CapturePlan single = CapturePlan::Single(27500400);
    EXPECT_EQ(single.KeptMilliseconds(0), 27500u);
    EXPECT_EQ(single.ExpectedFrames(), 1u);
}

// Presents the schedule's frames and records the clock each was drawn at, and which were kept.
struct PresentedRun {
    std::vector<DWORD> drawnAt;
    std::vector<bool> kept;
};

PresentedRun Present(FrameSchedule& schedule, int frames) {
    PresentedRun run;
    for (int i = 0; i < frames; ++i) {
        run.drawnAt.push_back(schedule.ClockMilliseconds());
        run.kept.push_back(schedule.FramePresented());
    }
    return run;
}

TEST(CaptureSchedule, FromZeroTheStartUpFrameIsTheFirstKept) {
    FrameSchedule schedule(CapturePlan::Range(FrameRate{60, 1}, 0, 50000));
    const PresentedRun run = Present(schedule, 5);
    EXPECT_EQ(run.drawnAt, (std::vector<DWORD>{0, 16, 33, 33, 33}));
    EXPECT_EQ(run.kept, (std::vector<bool>{true, true, true, false, false}));
    EXPECT_TRUE(schedule.Complete());
    EXPECT_EQ(schedule.KeptFrames(), 3u);
}

TEST(CaptureSchedule, ALaterStartDropsTheStartUpFrameAndALeadInJustBefore) {
    // 75.0 s exactly: the frame before must have been drawn in the scene before 75 s.
    FrameSchedule schedule(CapturePlan::Range(FrameRate{60, 1}, 75000000, 75050000));
    const PresentedRun run = Present(schedule, 6);
    EXPECT_EQ(run.drawnAt, (std::vector<DWORD>{0, 74999, 75000, 75016, 75033, 75033}));
    EXPECT_EQ(run.kept, (std::vector<bool>{false, false, true, true, true, false}));

    FrameSchedule single(CapturePlan::Single(27500000));
    const PresentedRun one = Present(single, 4);
    EXPECT_EQ(one.drawnAt, (std::vector<DWORD>{0, 27499, 27500, 27500}));
    EXPECT_EQ(one.kept, (std::vector<bool>{false, false, true, false}));
    EXPECT_TRUE(single.Complete());
}

TEST(CaptureSchedule, NoLeadInWhereItWouldEndTheShow) {
    FrameSchedule schedule(CapturePlan::Single(118500000));
    const PresentedRun run = Present(schedule, 2);
    EXPECT_EQ(run.drawnAt, (std::vector<DWORD>{0, 118500}));
    EXPECT_EQ(run.kept, (std::vector<bool>{false, true}));
}

// Sub-frames spread evenly over the interval that ends at the frame's moment, each on the exact
// clock: at 60 frames a second, 16 sub-frames are the frames of 960 a second.
TEST(CapturePlans, SubFramesLieEvenlyOverTheIntervalBeforeTheirFrame) {
    CapturePlan blurred = CapturePlan::Range(FrameRate{60, 1}, 20000000, std::nullopt);
    blurred.subFrames = 16;
    const CapturePlan fine = CapturePlan::Range(FrameRate{960, 1}, 19984375, std::nullopt);
    for (int s = 0; s < 16; ++s) {
        EXPECT_EQ(blurred.SubFrameMilliseconds(0, s), fine.KeptMilliseconds(uint64_t(s))) << s;
    }
    EXPECT_EQ(blurred.KeptMilliseconds(0), 20000u);
    EXPECT_EQ(blurred.SubFrameMilliseconds(1, 0), 20001u); // 20 s + 1/960 s

    // --at: the same interval before its moment.
    CapturePlan single = CapturePlan::Single(27500000);
    single.subFrames = 4;
    EXPECT_EQ(single.SubFrameMilliseconds(0, 0), 27487u); // 27.5 s - 3/4 of 1/60 s
    EXPECT_EQ(single.KeptMilliseconds(0), 27500u);

    // The show's first frame has no time before it; only the last sub-frame of its last frame
    // ends the show (at 60000/1001 that frame is at 118001 ms, and 118000 would end it too).
    blurred.firstIndex = 0;
    EXPECT_EQ(blurred.SubFrameMilliseconds(0, 0), 0u);
    EXPECT_EQ(blurred.SubFrameMilliseconds(0, 15), 0u);
    CapturePlan last = CapturePlan::Range(FrameRate{60000, 1001}, 118000000, std::nullopt);
    last.subFrames = 16;
    EXPECT_EQ(last.SubFrameMilliseconds(0, 14), 117999u);
    EXPECT_EQ(last.KeptMilliseconds(0), 118001u);
}

TEST(CaptureSchedule, EachKeptFrameIsCompletedByItsLastSubFrame) {
    CapturePlan plan = CapturePlan::Range(FrameRate{60, 1}, 10000000, 10020000);
    plan.subFrames = 3;
    FrameSchedule schedule(plan);
    std::vector<DWORD> drawnAt;
    std::vector<bool> completed;
    for (int i = 0; i < 8; ++i) {
        drawnAt.push_back(schedule.ClockMilliseconds());
        schedule.FramePresented();
        completed.push_back(schedule.FrameCompleted());
    }
    // The start-up frame, the lead-in 1 ms before the first sub-frame, then two frames of three.
    EXPECT_EQ(drawnAt, (std::vector<DWORD>{0, 9987, 9988, 9994, 10000, 10005, 10011, 10016}));
    EXPECT_EQ(completed, (std::vector<bool>{false, false, false, false, true, false, false, true}));
    EXPECT_TRUE(schedule.Complete());
}

TEST(CapturePlans, JobsShareTheFramesOfARangeUpToTheShowsEnd) {
    const CapturePlan whole = CapturePlan::Range(FrameRate{60, 1}, 117000000, std::nullopt);
    std::vector<DWORD> frames;
    for (int j = 0; j < 3; ++j) {
        const CapturePlan part = whole.JobPart(j, 3);
        EXPECT_EQ(part.PlannedFrames(), part.ExpectedFrames());
        for (uint64_t k = 0; k < part.ExpectedFrames(); ++k) {
            frames.push_back(part.KeptMilliseconds(k));
        }
    }
    std::sort(frames.begin(), frames.end());
    ASSERT_EQ(frames.size(), whole.ExpectedFrames());
    for (uint64_t k = 0; k < frames.size(); ++k) {
        EXPECT_EQ(frames[k], whole.KeptMilliseconds(k));
    }
    EXPECT_EQ(whole.JobPart(1, 3).JobPart(1, 2).KeptMilliseconds(0), whole.KeptMilliseconds(4));
}

TEST(CaptureSchedule, AnOpenEndedCaptureKeepsEveryFrameTheProgramPresents) {
    FrameSchedule schedule(CapturePlan::Range(FrameRate{60000, 1001}, 0, std::nullopt));
    for (int i = 0; i < 7074; ++i) {
        ASSERT_TRUE(schedule.FramePresented());
    }
    EXPECT_FALSE(schedule.Complete());
    EXPECT_EQ(schedule.ClockMilliseconds(), 118017u); // frame 7074 (118017.9), were there one
}

} // namespace
