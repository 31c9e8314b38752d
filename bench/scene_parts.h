// The show's five scenes as the frame benchmarks measure them (bench_scene_frames natively,
// bench/web/ in a browser): each scene's part of the timeline, and the moments spread
// evenly inside it, never on its exact boundaries.
#pragma once

struct BenchScene {
    const char* name;
    float start, end; // the scene's part of the timeline, seconds
};

inline constexpr BenchScene BENCH_SCENES[] = {{"0 title", 0.0f, 15.0f},
                                              {"1 swarm", 15.0f, 30.0f},
                                              {"2 planes", 30.0f, 60.0f},
                                              {"3 rosette", 60.0f, 75.0f},
                                              {"4 finale", 75.0f, 118.0f}};

// Moment `i` of `count` inside the scene, in seconds of the show.
inline float BenchMoment(const BenchScene& scene, int i, int count) {
    return scene.start + (float(i) + 0.5f) * (scene.end - scene.start) / float(count);
}
