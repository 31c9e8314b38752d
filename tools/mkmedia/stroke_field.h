// Distance from a point to the nearest of many segments, the basis of every anti-aliased stroke
// and glow in the pictures. Segments are sorted into square buckets once, so a query looks only
// at the segments that can lie within `reach` of it; farther than that it answers `reach`.
#pragma once

#include "stroke_font.h"

#include <vector>

namespace mkmedia {

class SegmentField {
public:
    SegmentField(std::vector<Segment> segments, double reach);

    // Distance to the nearest segment, or `reach` when none is closer.
    double Distance(double x, double y) const;
    // The same, plus the position (0..1) along that nearest segment.
    double Distance(double x, double y, double* along) const;

    const std::vector<Segment>& Segments() const { return segments_; }

private:
    std::vector<Segment> segments_;
    double reach_;
    double cell_ = 1.0;
    double minX_ = 0.0;
    double minY_ = 0.0;
    int columns_ = 0;
    int rows_ = 0;
    std::vector<std::vector<int>> buckets_;
};

double DistanceToSegment(double x, double y, const Segment& s, double* along);

} // namespace mkmedia
