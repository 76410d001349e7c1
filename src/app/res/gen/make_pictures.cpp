// Draws the program's pictures and writes them as Windows resource files:
//   chip.bmp     97 x 67, 8 bits per pixel (256-colour palette): a memory chip
//                struck by a lightning bolt, on a stormy sky
//   kestrel.ico  the same chip and bolt, 32 x 32 and 16 x 16, 256 colours,
//                transparent around the picture
// Usage: make_pictures OUTPUT_DIR
// The scene is a function of continuous coordinates, sampled 4 x 4 per pixel
// and reduced to a fixed palette (a 6 x 6 x 6 colour cube and a grey ramp),
// so the output is the same on every run and every machine.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Rgba {
    double r, g, b, a;
};

Rgba Mix(const Rgba& under, const Rgba& over) {
    const double a = over.a;
    return {under.r * (1 - a) + over.r * a, under.g * (1 - a) + over.g * a,
            under.b * (1 - a) + over.b * a, under.a + (1 - under.a) * a};
}

struct Pt {
    double x, y;
};

bool InPolygon(const std::vector<Pt>& poly, double x, double y) {
    bool in = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        if ((poly[i].y > y) != (poly[j].y > y) &&
            x < (poly[j].x - poly[i].x) * (y - poly[i].y) / (poly[j].y - poly[i].y) + poly[i].x)
            in = !in;
    }
    return in;
}

double DistToSegment(Pt p, Pt a, Pt b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    double t = ((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy);
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

double DistToPolygonEdge(const std::vector<Pt>& poly, Pt p) {
    double d = 1e9;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) d = std::min(d, DistToSegment(p, poly[j], poly[i]));
    return d;
}

// The scene in design units: a 100 x 100 square for the icon, 100 x 69 for
// the bitmap. 'sky' draws the stormy background; without it the background
// is transparent.
struct Scene {
    double w, h;
    bool sky;
    double chipX0, chipY0, chipX1, chipY1;
    int pins;  // pins per side (top and bottom)
    std::vector<Pt> bolt;
    double outline;  // bolt outline width

    Rgba At(double x, double y) const {
        Rgba c{0, 0, 0, 0};
        if (sky) {
            const double t = y / h;
            c = {0.09 + 0.12 * t, 0.11 + 0.14 * t, 0.28 + 0.22 * t, 1};
            // a faint glow around the point where the bolt meets the chip
            const double g = std::exp(-std::pow(std::hypot(x - bolt[4].x, y - bolt[4].y) / (w * 0.35), 2));
            c = Mix(c, {0.50, 0.55, 0.85, 0.45 * g});
        }
        // pins: silver, on the top and bottom edges
        const double pinPitch = (chipX1 - chipX0) / pins;
        const double pinLen = (chipY1 - chipY0) * 0.22;
        for (int i = 0; i < pins; ++i) {
            const double px0 = chipX0 + pinPitch * (i + 0.25), px1 = chipX0 + pinPitch * (i + 0.75);
            if (x >= px0 && x < px1 && ((y >= chipY0 - pinLen && y < chipY0) || (y >= chipY1 && y < chipY1 + pinLen))) {
                const double shade = 0.70 + 0.25 * (x - px0) / (px1 - px0);
                c = Mix(c, {shade, shade, shade + 0.05, 1});
            }
        }
        // body: charcoal, lighter along its top, with a notch and a pin-1 mark
        if (x >= chipX0 && x < chipX1 && y >= chipY0 && y < chipY1) {
            const double notchR = (chipY1 - chipY0) * 0.16;
            const bool inNotch = std::hypot(x - chipX0, y - (chipY0 + chipY1) / 2) < notchR;
            if (!inNotch) {
                const double t = (y - chipY0) / (chipY1 - chipY0);
                double v = 0.30 - 0.14 * t;
                const double edge = std::min({x - chipX0, chipX1 - x, y - chipY0, chipY1 - y});
                if (edge < (chipY1 - chipY0) * 0.06) v += 0.12;  // bevel
                const double dotR = (chipY1 - chipY0) * 0.08;
                if (std::hypot(x - (chipX0 + dotR * 2.6), y - (chipY1 - dotR * 2.6)) < dotR) v = 0.55;
                c = Mix(c, {v, v, v + 0.04, 1});
            }
        }
        // bolt: yellow with an orange outline and a white core
        const bool inBolt = InPolygon(bolt, x, y);
        const double d = DistToPolygonEdge(bolt, {x, y});
        if (inBolt || d < outline) {
            Rgba b = inBolt && d >= outline ? Rgba{1.0, 0.86, 0.10, 1} : Rgba{0.92, 0.42, 0.02, 1};
            if (inBolt && d > outline * 2.6) b = {1.0, 0.98, 0.75, 1};
            c = Mix(c, b);
        }
        return c;
    }
};

// The palette: 216 cube colours, a 24-step sky ramp, then 16 greys.
struct Palette {
    uint8_t rgb[256][3];
    Palette() {
        int n = 0;
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b, ++n) {
                    rgb[n][0] = static_cast<uint8_t>(r * 51);
                    rgb[n][1] = static_cast<uint8_t>(g * 51);
                    rgb[n][2] = static_cast<uint8_t>(b * 51);
                }
        // a night-sky ramp, so the background's gradient shows no bands
        for (int i = 0; i < 24; ++i, ++n) {
            const double t = i / 23.0;
            rgb[n][0] = static_cast<uint8_t>(std::lround(22 + t * 128));
            rgb[n][1] = static_cast<uint8_t>(std::lround(28 + t * 134));
            rgb[n][2] = static_cast<uint8_t>(std::lround(70 + t * 162));
        }
        for (int i = 0; n < 256; ++i, ++n) {
            const uint8_t v = static_cast<uint8_t>(std::lround((i + 1) * 255.0 / 17));
            rgb[n][0] = rgb[n][1] = rgb[n][2] = v;
        }
    }
    uint8_t Nearest(double r, double g, double b) const {
        int best = 0;
        double bestD = 1e18;
        for (int i = 0; i < 256; ++i) {
            const double dr = rgb[i][0] - r * 255, dg = rgb[i][1] - g * 255, db = rgb[i][2] - b * 255;
            const double dd = 0.30 * dr * dr + 0.59 * dg * dg + 0.11 * db * db;
            if (dd < bestD) bestD = dd, best = i;
        }
        return static_cast<uint8_t>(best);
    }
};

struct Image {
    int w, h;
    std::vector<uint8_t> index;   // top-down
    std::vector<uint8_t> opaque;  // top-down, 1 = drawn
};

Image Render(const Scene& s, int w, int h, const Palette& pal) {
    Image img{w, h, std::vector<uint8_t>(w * h), std::vector<uint8_t>(w * h)};
    const int ss = 4;
    for (int py = 0; py < h; ++py)
        for (int px = 0; px < w; ++px) {
            Rgba sum{0, 0, 0, 0};
            for (int sy = 0; sy < ss; ++sy)
                for (int sx = 0; sx < ss; ++sx) {
                    const Rgba c = s.At((px + (sx + 0.5) / ss) * s.w / w, (py + (sy + 0.5) / ss) * s.h / h);
                    sum.r += c.r * c.a, sum.g += c.g * c.a, sum.b += c.b * c.a, sum.a += c.a;
                }
            const double a = sum.a / (ss * ss);
            img.opaque[py * w + px] = a >= 0.5;
            img.index[py * w + px] = a > 0 ? pal.Nearest(sum.r / sum.a, sum.g / sum.a, sum.b / sum.a) : 0;
        }
    return img;
}

void Put16(std::vector<uint8_t>& o, unsigned v) { o.push_back(v & 0xFF), o.push_back((v >> 8) & 0xFF); }
void Put32(std::vector<uint8_t>& o, unsigned v) { Put16(o, v & 0xFFFF), Put16(o, v >> 16); }

// BITMAPINFOHEADER, palette and bottom-up 8-bit rows; for an icon the height
// is doubled and the AND mask follows.
std::vector<uint8_t> Dib(const Image& img, const Palette& pal, bool icon) {
    const int stride = (img.w + 3) & ~3;
    const int maskStride = ((img.w + 31) / 32) * 4;
    std::vector<uint8_t> o;
    Put32(o, 40);
    Put32(o, img.w);
    Put32(o, icon ? img.h * 2 : img.h);
    Put16(o, 1);
    Put16(o, 8);
    Put32(o, 0);  // BI_RGB
    Put32(o, stride * img.h + (icon ? maskStride * img.h : 0));
    Put32(o, 2835), Put32(o, 2835);
    Put32(o, 256), Put32(o, 0);
    for (int i = 0; i < 256; ++i) o.push_back(pal.rgb[i][2]), o.push_back(pal.rgb[i][1]), o.push_back(pal.rgb[i][0]), o.push_back(0);
    for (int y = img.h - 1; y >= 0; --y) {
        for (int x = 0; x < stride; ++x) o.push_back(x < img.w && (!icon || img.opaque[y * img.w + x]) ? img.index[y * img.w + x] : 0);
    }
    if (icon) {
        for (int y = img.h - 1; y >= 0; --y) {
            std::vector<uint8_t> row(maskStride, 0);
            for (int x = 0; x < img.w; ++x)
                if (!img.opaque[y * img.w + x]) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            o.insert(o.end(), row.begin(), row.end());
        }
    }
    return o;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* fp = fopen(path.c_str(), "wb");
    if (!fp) return false;
    const bool ok = fwrite(bytes.data(), 1, bytes.size(), fp) == bytes.size();
    return fclose(fp) == 0 && ok;
}

std::vector<Pt> Bolt(double sx, double sy, double ox, double oy) {
    // a three-stroke zigzag from the upper right to the lower left
    const Pt shape[] = {{62, 0}, {84, 0}, {64, 34}, {80, 34}, {34, 100}, {44, 52}, {28, 52}, {46, 0}};
    std::vector<Pt> v;
    for (const Pt& p : shape) v.push_back({ox + p.x * sx, oy + p.y * sy});
    // keep the glow anchor (index 4) the bolt's tip
    return v;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const Palette pal;

    Scene bmp{100, 69, true, 14, 26, 86, 52, 7, Bolt(0.62, 0.66, 18, 2), 1.3};
    const Image chip = Render(bmp, 97, 67, pal);
    std::vector<uint8_t> file;
    const std::vector<uint8_t> dib = Dib(chip, pal, false);
    file.push_back('B'), file.push_back('M');
    Put32(file, 14 + dib.size());
    Put32(file, 0);
    Put32(file, 14 + 40 + 256 * 4);
    file.insert(file.end(), dib.begin(), dib.end());
    if (!WriteFile(dir + "/chip.bmp", file)) return 1;

    Scene ico{100, 100, false, 6, 36, 94, 74, 5, Bolt(0.95, 1.0, 2, 0), 3.5};
    const Image big = Render(ico, 32, 32, pal), small = Render(ico, 16, 16, pal);
    const std::vector<uint8_t> dibBig = Dib(big, pal, true), dibSmall = Dib(small, pal, true);
    std::vector<uint8_t> icoFile;
    Put16(icoFile, 0), Put16(icoFile, 1), Put16(icoFile, 2);
    unsigned offset = 6 + 2 * 16;
    for (const auto* d : {&dibBig, &dibSmall}) {
        const int size = d == &dibBig ? 32 : 16;
        icoFile.push_back(static_cast<uint8_t>(size)), icoFile.push_back(static_cast<uint8_t>(size));
        icoFile.push_back(0), icoFile.push_back(0);  // 256 colours, reserved
        Put16(icoFile, 1), Put16(icoFile, 8);
        Put32(icoFile, d->size()), Put32(icoFile, offset);
        offset += d->size();
    }
    icoFile.insert(icoFile.end(), dibBig.begin(), dibBig.end());
    icoFile.insert(icoFile.end(), dibSmall.begin(), dibSmall.end());
    return WriteFile(dir + "/kestrel.ico", icoFile) ? 0 : 1;
}
