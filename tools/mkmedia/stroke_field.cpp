#include "stroke_field.h"

#include "det_math.h"

#include <algorithm>
#include <cmath>

namespace mkmedia {

double DistanceToSegment(double x, double y, const Segment& s, double* along) {
    double dx = s.b.x - s.a.x;
    double dy = s.b.y - s.a.y;
    double px = x - s.a.x;
    double py = y - s.a.y;
    double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0.0 ? Clamp01((px * dx + py * dy) / lengthSquared) : 0.0;
    double ex = px - t * dx;
    double ey = py - t * dy;
    if (along != nullptr) {
        *along = t;
    }
    return Sqrt(ex * ex + ey * ey);
}

SegmentField::SegmentField(std::vector<Segment> segments, double reach)
    : segments_(std::move(segments)), reach_(reach) {
    if (segments_.empty()) {
        return;
    }
    double minX = segments_[0].a.x;
    double maxX = minX;
    double minY = segments_[0].a.y;
    double maxY = minY;
    for (const Segment& s : segments_) {
        minX = std::min({minX, s.a.x, s.b.x});
        maxX = std::max({maxX, s.a.x, s.b.x});
        minY = std::min({minY, s.a.y, s.b.y});
        maxY = std::max({maxY, s.a.y, s.b.y});
    }
    // Buckets about the size of the reach keep each query to a handful of segments.
    cell_ = std::max(reach_, 1e-3);
    minX_ = minX - reach_;
    minY_ = minY - reach_;
    columns_ = static_cast<int>((maxX - minX + 2 * reach_) / cell_) + 1;
    rows_ = static_cast<int>((maxY - minY + 2 * reach_) / cell_) + 1;
    buckets_.resize(static_cast<size_t>(columns_) * rows_);
    for (int i = 0; i < static_cast<int>(segments_.size()); ++i) {
        const Segment& s = segments_[i];
        int c0 = static_cast<int>((std::min(s.a.x, s.b.x) - reach_ - minX_) / cell_);
        int c1 = static_cast<int>((std::max(s.a.x, s.b.x) + reach_ - minX_) / cell_);
        int r0 = static_cast<int>((std::min(s.a.y, s.b.y) - reach_ - minY_) / cell_);
        int r1 = static_cast<int>((std::max(s.a.y, s.b.y) + reach_ - minY_) / cell_);
        for (int r = std::max(r0, 0); r <= std::min(r1, rows_ - 1); ++r) {
            for (int c = std::max(c0, 0); c <= std::min(c1, columns_ - 1); ++c) {
                buckets_[static_cast<size_t>(r) * columns_ + c].push_back(i);
            }
        }
    }
}

double SegmentField::Distance(double x, double y) const {
    return Distance(x, y, nullptr);
}

double SegmentField::Distance(double x, double y, double* along) const {
    double best = reach_;
    if (along != nullptr) {
        *along = 0.0;
    }
    if (buckets_.empty()) {
        return best;
    }
    double fc = (x - minX_) / cell_;
    double fr = (y - minY_) / cell_;
    if (fc < 0 || fr < 0 || fc >= columns_ || fr >= rows_) {
        return best;
    }
    const std::vector<int>& bucket =
        buckets_[static_cast<size_t>(fr) * columns_ + static_cast<size_t>(fc)];
    for (int index : bucket) {
        double t = 0.0;
        double d = DistanceToSegment(x, y, segments_[index], &t);
        if (d < best) {
            best = d;
            if (along != nullptr) {
                *along = t;
            }
        }
    }
    return best;
}

} // namespace mkmedia
