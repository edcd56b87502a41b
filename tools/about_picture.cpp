// Writes ui/about_picture.inc, the About window's picture: a lake among mountains at sunset in
// a film-strip frame, 100 x 100 pixels as R, G, B bytes, rows from the top.
//
//   g++ -std=c++20 -O2 -Wall -Wextra tools/about_picture.cpp -o about_picture
//   ./about_picture > ui/about_picture.inc
//
// Everything is computed from plain formulas, so the same program always writes the same file.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kSize = 100;
// The film-strip bands: nine rows at the top and the bottom, with 5 x 5 holes every 14 pixels
// that line up with the bands the About window draws to the picture's right.
constexpr int kBand = 9;
constexpr int kHoleStart = 8;
constexpr int kHolePitch = 14;
constexpr int kHole = 5;
constexpr int kHoleTop = 2;

struct Colour {
  double r, g, b;
};

Colour Mix(Colour a, Colour b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

constexpr Colour kBlack{0, 0, 0};
constexpr Colour kWhite{255, 255, 255};
constexpr int kHorizon = 66;
constexpr int kShore = 79;
constexpr double kSunX = 68, kSunY = 36, kSunRadius = 7;

bool InHole(int x, int y) {
  int row = y < kBand ? y - kHoleTop : y - (kSize - kBand + kHoleTop);
  if (row < 0 || row >= kHole || x < kHoleStart) return false;
  return (x - kHoleStart) % kHolePitch < kHole;
}

Colour Sky(double x, double y) {
  Colour sky = Mix({38, 72, 150}, {250, 190, 130}, (y - kBand) / (kHorizon - kBand));
  double sun = std::hypot(x - kSunX, y - kSunY);
  Colour glow = Mix(sky, {255, 236, 170}, 0.6 * std::exp(-(sun - kSunRadius) / 9.0));
  return Mix(glow, {255, 248, 215}, kSunRadius + 0.5 - sun);
}

double FarRidge(double x) {
  return 47 + 6 * std::sin(x * 0.09) + 3.5 * std::sin(x * 0.23 + 1.0);
}

double NearRidge(double x) {
  return 57 + 6 * std::sin(x * 0.055 + 2.2) + 2.5 * std::sin(x * 0.31) + 1.2 * std::sin(x * 0.9);
}

// Above the water: sky, then the far ridge in haze, then the near ridge with snow on its peaks.
Colour Land(double x, double y) {
  double near = NearRidge(x);
  if (y >= near) {
    Colour rock = Mix({62, 82, 98}, {34, 58, 54}, (y - near) / 10);
    return near < 53 && y < near + 2.5 ? Mix(rock, {236, 238, 245}, 0.85) : rock;
  }
  double far = FarRidge(x);
  if (y >= far) return Mix({128, 126, 168}, Sky(x, y), 0.25);
  return Sky(x, y);
}

// The lake mirrors the land above the horizon, darker, broken by ripples.
Colour Lake(double x, double y) {
  double mirrored = 2 * kHorizon - y;
  double ripple = 0.8 * std::sin(y * 2.1 + x * 0.15);
  Colour reflection = Land(x + ripple, mirrored);
  Colour water = Mix(reflection, {20, 50, 90}, 0.35 + 0.02 * (y - kHorizon));
  return std::fmod(y * 1.7 + std::sin(x * 0.2), 3.0) < 0.35 ? Mix(water, kWhite, 0.18) : water;
}

Colour Meadow(double x, double y) {
  Colour grass = Mix({88, 142, 54}, {34, 82, 30}, (y - kShore) / (kSize - kBand - kShore));
  double tuft = std::sin(x * 1.3 + y * 0.7) * std::sin(x * 0.37 - y * 1.1);
  return Mix(grass, {150, 180, 70}, tuft * 0.4);
}

Colour Scene(int x, int y) {
  if (y < kBand || y >= kSize - kBand) return InHole(x, y) ? kWhite : kBlack;
  double shore = kShore + 1.5 * std::sin(x * 0.12 + 0.5);
  if (y >= shore) return Meadow(x, y);
  if (y >= kHorizon) return Lake(x, y);
  return Land(x, y);
}

}  // namespace

int main() {
  std::puts("// The About window's picture, written by tools/about_picture.cpp: do not edit.");
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      Colour c = Scene(x, y);
      std::array<double, 3> channels{c.r, c.g, c.b};
      for (double channel : channels) std::printf("%d,", int(std::lround(channel)));
    }
    std::putchar('\n');
  }
  return 0;
}
