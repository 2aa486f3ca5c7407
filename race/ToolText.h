#pragma once
#include <irrlicht.h>
#include <string>

// Text helpers of the two developer tools (waypoint recorder, items creator).

// A number with six decimals as "%0.6f" writes it in the C locale: the tools' files must read
// back the same whatever the user's regional settings are.
std::string formatFixed6(double value);

// Creates or truncates the file and writes the text. False, after an "ERROR: " line, when the
// file could not be written completely.
bool writeToolFile(const std::string& fileName, const irr::core::stringc& text);
