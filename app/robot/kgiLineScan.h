#pragma once
// The scanf-style reading of the robot's text lines (joint table, pose and
// motion files), in the C notation whatever the user's locale: the files
// travel between machines, and a comma-decimal locale must not turn
// "0.5" into 0.
//
// A format is matched as sscanf matches it: a blank matches any run of
// blanks (none included), "%d" an int, "%f" a float (sign, digits, point,
// exponent, "inf", "nan"), "%s" a run of non-blanks, any other character
// itself. Conversions store into the next argument (int*, float*,
// std::string*) in order; the result is the number stored before the
// first mismatch. A number beyond its type's range is a mismatch.
#include <string>

namespace kgiLineScan {

int scan(const char* text, const char* format, ...);

} // namespace kgiLineScan
