// Reals as the animation file stores them.
#pragma once

#include <string>

// A real as the file stores it: up to 15 significant digits, no trailing zeros, "." as the
// decimal point, scientific form ("1E-6") below 0.00001 and from 10^15 on.
std::string FormatReal(double value);
// FormatReal(value / 16), the form of sound positions, without floating point.
std::string FormatSixteenths(int value);
