#include "render3d.h"

#include "world_util.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace assetgen::world {

float dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
float length(V3 a) { return std::sqrt(dot(a, a)); }
V3 normalize(V3 a) {
    const float l = length(a);
    return l > 0 ? a * (1.0f / l) : V3{0, 0, 1};
}
V3 abs_x(V3 p) { return {std::fabs(p.x), p.y, p.z}; }

float smin(float a, float b, float k) {
    const float h = std::clamp(0.5f + 0.5f * (b - a) / k, 0.0f, 1.0f);
    return b + (a - b) * h - k * h * (1 - h);
}

float sd_ellipsoid(V3 p, V3 r) {
    const float k0 = length({p.x / r.x, p.y / r.y, p.z / r.z});
    const float k1 = length({p.x / (r.x * r.x), p.y / (r.y * r.y), p.z / (r.z * r.z)});
    return k1 > 0 ? k0 * (k0 - 1) / k1 : -std::min(r.x, std::min(r.y, r.z));
}

float sd_round_box(V3 p, V3 half, float round) {
    const V3 q{std::fabs(p.x) - half.x + round, std::fabs(p.y) - half.y + round, std::fabs(p.z) - half.z + round};
    const V3 qp{std::max(q.x, 0.0f), std::max(q.y, 0.0f), std::max(q.z, 0.0f)};
    return length(qp) + std::min(std::max(q.x, std::max(q.y, q.z)), 0.0f) - round;
}

float sd_capsule(V3 p, V3 a, V3 b, float r) {
    const V3 pa = p - a;
    const V3 ba = b - a;
    const float h = std::clamp(dot(pa, ba) / dot(ba, ba), 0.0f, 1.0f);
    return length(pa - ba * h) - r;
}

float sd_round_cone(V3 p, V3 a, V3 b, float ra, float rb) {
    // Tapered capsule: radius blends along the segment. Not exact, but the
    // marcher steps conservatively.
    const V3 pa = p - a;
    const V3 ba = b - a;
    const float h = std::clamp(dot(pa, ba) / dot(ba, ba), 0.0f, 1.0f);
    return length(pa - ba * h) - (ra + (rb - ra) * h);
}

float sd_torus_y(V3 p, float ring, float tube) {
    const float q = std::sqrt(p.x * p.x + p.z * p.z) - ring;
    return std::sqrt(q * q + p.y * p.y) - tube;
}

static float sd_capped(float radial, float along, float r, float half_len) {
    const float dx = radial - r;
    const float dy = std::fabs(along) - half_len;
    const float ox = std::max(dx, 0.0f);
    const float oy = std::max(dy, 0.0f);
    return std::min(std::max(dx, dy), 0.0f) + std::sqrt(ox * ox + oy * oy);
}

float sd_cylinder_z(V3 p, float r, float half_len) {
    return sd_capped(std::sqrt(p.x * p.x + p.y * p.y), p.z, r, half_len);
}

float sd_cylinder_y(V3 p, float r, float half_len) {
    return sd_capped(std::sqrt(p.x * p.x + p.z * p.z), p.y, r, half_len);
}

static float sd_polygon(P2 p, const std::vector<P2> &v) {
    float d = (p.x - v[0].x) * (p.x - v[0].x) + (p.z - v[0].z) * (p.z - v[0].z);
    float s = 1;
    const size_t n = v.size();
    for (size_t i = 0, j = n - 1; i < n; j = i, ++i) {
        const P2 e{v[j].x - v[i].x, v[j].z - v[i].z};
        const P2 w{p.x - v[i].x, p.z - v[i].z};
        const float t = std::clamp((w.x * e.x + w.z * e.z) / (e.x * e.x + e.z * e.z), 0.0f, 1.0f);
        const P2 b{w.x - e.x * t, w.z - e.z * t};
        d = std::min(d, b.x * b.x + b.z * b.z);
        const bool c1 = p.z >= v[i].z;
        const bool c2 = p.z < v[j].z;
        const bool c3 = e.x * w.z > e.z * w.x;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
    }
    return s * std::sqrt(d);
}

float sd_plate(V3 p, const std::vector<P2> &poly, float half, float round) {
    const float d2 = sd_polygon({p.x, p.z}, poly) + round;
    const float dy = std::fabs(p.y) - half + round;
    const float ox = std::max(d2, 0.0f);
    const float oy = std::max(dy, 0.0f);
    return std::min(std::max(d2, dy), 0.0f) + std::sqrt(ox * ox + oy * oy) - round;
}

namespace {

constexpr int SUB = 3;             // samples per pixel side
constexpr int MAX_STEPS = 200;
constexpr float HIT_EPS = 0.004f;
constexpr float DITHER = 0.55f;    // share of one ramp step the dither spans
constexpr int EDGE_DARKEN = 2;     // ramp steps taken off behind a depth jump

struct Frame {
    V3 right;
    V3 up;
    V3 dir;
    V3 light;
};

Frame make_frame(float elevation_deg) {
    const float e = elevation_deg * std::numbers::pi_v<float> / 180.0f;
    Frame f;
    f.right = {1, 0, 0};
    f.up = {0, std::cos(e), std::sin(e)};
    f.dir = {0, -std::sin(e), std::cos(e)};
    // Light from the upper left of the picture and a little from the eye.
    f.light = normalize(f.right * -0.78f + f.up * 0.5f + f.dir * -0.38f);
    return f;
}

V3 normal_at(const Model &m, V3 p) {
    constexpr float e = 0.02f;
    const V3 k1{1, -1, -1}, k2{-1, -1, 1}, k3{-1, 1, -1}, k4{1, 1, 1};
    const V3 n = k1 * m.field(p + k1 * e).d + k2 * m.field(p + k2 * e).d + k3 * m.field(p + k3 * e).d +
                 k4 * m.field(p + k4 * e).d;
    return normalize(n);
}

float soft_shadow(const Model &m, V3 p, V3 l) {
    float res = 1;
    float t = 0.15f;
    for (int i = 0; i < 48 && t < m.radius * 2; ++i) {
        const float h = m.field(p + l * t).d;
        res = std::min(res, 6.0f * h / t);
        if (res < 0.02f) return 0.0f;
        t += std::clamp(h, 0.08f, 1.5f);
    }
    return std::clamp(res, 0.0f, 1.0f);
}

float occlusion(const Model &m, V3 p, V3 n) {
    float occ = 0;
    float w = 1;
    for (int i = 1; i <= 5; ++i) {
        const float h = 0.5f * static_cast<float>(i);
        occ += (h - m.field(p + n * h).d) * w;
        w *= 0.7f;
    }
    return std::clamp(1.0f - 0.18f * occ, 0.0f, 1.0f);
}

struct Sample {
    bool hit = false;
    int mat = 0;
    float light = 0;
    float depth = 0;
};

Sample trace(const Model &m, const Frame &f, float sx, float sy) {
    Sample s;
    const V3 origin = f.right * sx + f.up * sy - f.dir * (m.radius * 2);
    float t = 0;
    const float t_max = m.radius * 4;
    for (int i = 0; i < MAX_STEPS && t < t_max; ++i) {
        const V3 p = origin + f.dir * t;
        const Hit h = m.field(p);
        if (h.d < HIT_EPS) {
            s.hit = true;
            s.mat = h.mat;
            s.depth = t;
            break;
        }
        t += std::max(h.d * 0.8f, HIT_EPS * 0.5f);
    }
    if (!s.hit) return s;
    const V3 p = origin + f.dir * s.depth;
    const V3 n = normal_at(m, p);
    const Material &mat = m.materials[static_cast<size_t>(s.mat)];
    const float paint = m.paint ? m.paint(p, s.mat) : 1.0f;
    const V3 view = f.dir * -1.0f;
    if (mat.emissive) {
        s.light = paint * (0.55f + 0.45f * std::max(0.0f, dot(n, view)));
        return s;
    }
    const float diff = std::max(0.0f, dot(n, f.light));
    const float shadow = diff > 0 ? soft_shadow(m, p + n * 0.05f, f.light) : 0.0f;
    const float ao = occlusion(m, p, n);
    const V3 half = normalize(f.light + view);
    const float highlight = mat.specular * std::pow(std::max(0.0f, dot(n, half)), mat.shine) * shadow;
    const float rim = 0.22f * std::pow(1.0f - std::max(0.0f, dot(n, view)), 3.0f);
    const float sky = 0.5f + 0.5f * n.y;
    const float lit = 0.08f * ao + 0.10f * sky * ao + 0.66f * diff * shadow;
    s.light = std::pow(mat.albedo * paint * (lit + rim), 1.15f) + highlight;
    return s;
}

struct Pixel {
    bool solid = false;
    int mat = 0;
    float light = 0;
    float depth = 0;
    int level = 0;
};

int ramp_colour(const Material &m, int level) {
    level = std::clamp(level, 0, m.n - 1);
    return m.descending ? m.first + m.n - 1 - level : m.first + level;
}

} // namespace

void render_model(BITMAP *dst, int x, int y, int w, int h, const Model &model, const Camera &cam) {
    const Frame f = make_frame(cam.elevation_deg);
    std::vector<Pixel> px(static_cast<size_t>(w) * h);
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            Sample samples[SUB * SUB];
            int count[64] = {};
            for (int sj = 0; sj < SUB; ++sj) {
                for (int si = 0; si < SUB; ++si) {
                    const float sx = (i + (si + 0.5f) / SUB - cam.cx) / cam.scale;
                    const float sy = -(j + (sj + 0.5f) / SUB - cam.cy) / cam.scale;
                    Sample &s = samples[sj * SUB + si];
                    s = trace(model, f, sx, sy);
                    if (s.hit) ++count[s.mat & 63];
                }
            }
            int best = 0;
            for (int k = 1; k < 64; ++k)
                if (count[k] > count[best]) best = k;
            int hits = 0;
            for (int k = 0; k < 64; ++k) hits += count[k];
            Pixel &p = px[static_cast<size_t>(j) * w + i];
            if (hits * 2 <= SUB * SUB) continue;
            p.solid = true;
            p.mat = best;
            p.depth = 1e9f;
            float sum = 0;
            for (const Sample &s : samples) {
                if (!s.hit) continue;
                p.depth = std::min(p.depth, s.depth);
                if (s.mat == best) sum += s.light;
            }
            p.light = sum / count[best];
            const Material &m = model.materials[static_cast<size_t>(best)];
            const float v = std::clamp(p.light, 0.0f, 1.0f) * (m.n - 1) +
                            DITHER * static_cast<float>(bayer4(x + i, y + j));
            p.level = static_cast<int>(std::lround(v));
        }
    }
    auto at = [&](int i, int j) -> const Pixel * {
        if (i < 0 || j < 0 || i >= w || j >= h) return nullptr;
        return &px[static_cast<size_t>(j) * w + i];
    };
    static constexpr int DX[4] = {1, -1, 0, 0};
    static constexpr int DY[4] = {0, 0, 1, -1};
    const float gap = 2.0f / cam.scale;
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            const Pixel &p = px[static_cast<size_t>(j) * w + i];
            if (p.solid) {
                int level = p.level;
                for (int k = 0; k < 4; ++k) {
                    const Pixel *q = at(i + DX[k], j + DY[k]);
                    if (q && q->solid && q->depth < p.depth - gap) {
                        level -= EDGE_DARKEN;
                        break;
                    }
                }
                const Material &m = model.materials[static_cast<size_t>(p.mat)];
                putpixel(dst, x + i, y + j, ramp_colour(m, m.emissive ? p.level : level));
                continue;
            }
            for (int k = 0; k < 4; ++k) {
                const Pixel *q = at(i + DX[k], j + DY[k]);
                if (q && q->solid) {
                    putpixel(dst, x + i, y + j, model.materials[static_cast<size_t>(q->mat)].outline);
                    break;
                }
            }
        }
    }
}

std::vector<float> plan_mask(const Model &model, int w, int h, float scale, float squash, float cx, float cy) {
    constexpr int N = 4;
    std::vector<float> mask(static_cast<size_t>(w) * h, 0.0f);
    const V3 down{0, -1, 0};
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            int hits = 0;
            for (int sj = 0; sj < N; ++sj) {
                for (int si = 0; si < N; ++si) {
                    const float mx = (i + (si + 0.5f) / N - cx) / scale;
                    const float mz = -(j + (sj + 0.5f) / N - cy) / (scale * squash);
                    const V3 origin{mx, model.radius * 2, mz};
                    float t = 0;
                    for (int k = 0; k < MAX_STEPS && t < model.radius * 4; ++k) {
                        const float d = model.field(origin + down * t).d;
                        if (d < HIT_EPS) {
                            ++hits;
                            break;
                        }
                        t += std::max(d * 0.8f, HIT_EPS * 0.5f);
                    }
                }
            }
            mask[static_cast<size_t>(j) * w + i] = static_cast<float>(hits) / (N * N);
        }
    }
    return mask;
}

} // namespace assetgen::world
