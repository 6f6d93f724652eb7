#pragma once

#include <string>

namespace resist_model {

// Fixed-width number fields of the list file, in the style of Fortran edit descriptors.
// A value that does not fit its field is shown as asterisks, as a Fortran runtime does.

// "1PEw.d": one digit before the point, d after it, a signed exponent of two digits
// ("E-05"), or of three digits without the "E" ("+100") when two are not enough;
// right-aligned in w characters.
std::string FormatReal(double value, int width = 12, int decimals = 4);

// "Iw": an integer right-aligned in w characters.
std::string FormatInt(long long value, int width);

// The text padded with blanks (or cut) to exactly width characters.
std::string PadRight(const std::string& text, int width);

// The label (with any leading blanks it carries) padded to column_of_equals - 1, then "="
// in column column_of_equals. The value field follows directly.
std::string LabelEquals(const std::string& label, int column_of_equals);

}  // namespace resist_model
