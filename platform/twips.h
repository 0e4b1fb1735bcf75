#pragma once

// Window geometry comes in twips, 15 to a pixel. Every conversion goes through
// these two, so that a control drawn at a given position lands on the same
// pixel whichever screen or dialog places it.
namespace platform {

constexpr int TwipsPerPixel = 15;

// To the nearest pixel: 7 twips are none, 8 are one, on either side of zero
// (a window wider than the screen is centred at a negative position).
constexpr int twips(int t)
{
    return t >= 0 ? (t + TwipsPerPixel / 2) / TwipsPerPixel : -((-t + TwipsPerPixel / 2) / TwipsPerPixel);
}

// Pixels measured on a widget, in twips: exact.
constexpr int toTwips(int pixels) { return pixels * TwipsPerPixel; }

}  // namespace platform
