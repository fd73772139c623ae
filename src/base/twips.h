#pragma once
// 1440 twips per inch; 15 twips are one pixel at 96 dpi.
constexpr int kTwipsPerInch = 1440;

// Rounded to the nearest pixel, halves away from zero (as MulDiv does). A dpi below 1 is
// taken as 96.
int TwipsToPixels(int twips, int dpi);
int PixelsToTwips(int px, int dpi);
