#include "glow_canvas.h"

#include "world_util.h"

#include <algorithm>
#include <cmath>

namespace assetgen::world {

GlowCanvas::GlowCanvas(int w, int h) : w_(w), h_(h), v_(static_cast<size_t>(w) * h, 0.0f) {}

void GlowCanvas::add(int x, int y, float v) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_ || v <= 0) return;
    float &p = v_[static_cast<size_t>(y) * w_ + x];
    // Light adds up but saturates softly, so overlapping shapes brighten
    // without flattening into one blob.
    p = p + v * (1.0f - 0.5f * std::min(p, 1.0f));
}

void GlowCanvas::glow(float cx, float cy, float radius, float strength) {
    for (int y = 0; y < h_; ++y) {
        for (int x = 0; x < w_; ++x) {
            const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / radius;
            if (d < 1) add(x, y, strength * (1 - d) * (1 - d));
        }
    }
}

void GlowCanvas::disc(float cx, float cy, float radius, float strength) {
    for (int y = 0; y < h_; ++y) {
        for (int x = 0; x < w_; ++x) {
            const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            add(x, y, strength * std::clamp(radius + 0.5f - d, 0.0f, 1.0f));
        }
    }
}

void GlowCanvas::ring(float cx, float cy, float radius, float half_width, float strength) {
    for (int y = 0; y < h_; ++y) {
        for (int x = 0; x < w_; ++x) {
            const float d = std::fabs(std::hypot(x + 0.5f - cx, y + 0.5f - cy) - radius) / half_width;
            if (d < 1) add(x, y, strength * (1 - d * d));
        }
    }
}

void GlowCanvas::line(float x0, float y0, float x1, float y1, float half_width, float strength,
                      float end_strength) {
    const float ex = x1 - x0;
    const float ey = y1 - y0;
    const float len2 = std::max(ex * ex + ey * ey, 1e-6f);
    for (int y = 0; y < h_; ++y) {
        for (int x = 0; x < w_; ++x) {
            const float px = x + 0.5f - x0;
            const float py = y + 0.5f - y0;
            const float t = std::clamp((px * ex + py * ey) / len2, 0.0f, 1.0f);
            const float d = std::hypot(px - ex * t, py - ey * t) / half_width;
            if (d < 1) add(x, y, (strength + (end_strength - strength) * t) * (1 - d * d));
        }
    }
}

void GlowCanvas::streak(float cx, float cy, float length, float width, float angle, float strength) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    for (int y = 0; y < h_; ++y) {
        for (int x = 0; x < w_; ++x) {
            const float px = x + 0.5f - cx;
            const float py = y + 0.5f - cy;
            const float u = (px * c + py * s) / length;
            const float v = (-px * s + py * c) / width;
            const float d = std::sqrt(u * u + v * v);
            if (d < 1) add(x, y, strength * (1 - d) * (1 - d));
        }
    }
}

void GlowCanvas::scale(float k) {
    for (float &v : v_) v *= k;
}

void GlowCanvas::paint(BITMAP *dst, int x, int y, const std::vector<int> &ramp, float cutoff) const {
    const int n = static_cast<int>(ramp.size());
    for (int j = 1; j < h_ - 1; ++j) {
        for (int i = 1; i < w_ - 1; ++i) {
            const float v = at(i, j);
            if (v < cutoff) continue;
            const float t = std::clamp((v - cutoff) / (1 - cutoff), 0.0f, 1.0f);
            const float f = t * (n - 1) + 0.4f * static_cast<float>(bayer4(i, j));
            putpixel(dst, x + i, y + j, ramp[static_cast<size_t>(std::clamp(static_cast<int>(std::lround(f)), 0, n - 1))]);
        }
    }
}

} // namespace assetgen::world
