#pragma once

#include <QString>

// The bar position fields of the preferences: a text box and a slider per axis, in screen pixels.
namespace prefsposition {

// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
int roundHalfEven(double value);

// The slider's maximum: the screen less the bar, in pixels; never below 0.
int sliderMaximum(int screenPixels, double barSizeTwips, int twipsPerPixel);

// The slider position of a bar edge given in twips, within 0..maximum.
int sliderValue(double edgeTwips, int twipsPerPixel, int maximum);

struct Outcome {
    QString text;  // what the text box shows afterwards: always a whole number
    int value = 0; // the slider's value, 0..maximum; the bar edge is value x twips per pixel
};

// Brings a typed position into range: a text that sorts before "0" or is no number gives 0, one above
// the maximum gives the maximum, anything else its nearest whole number.
Outcome apply(const QString& text, int maximum);

} // namespace prefsposition
