#include "solver/list_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace resist_model {

namespace {

std::string RightAlign(const std::string& text, int width) {
    if (static_cast<int>(text.size()) > width) return std::string(width, '*');
    return std::string(width - text.size(), ' ') + text;
}

}  // namespace

std::string FormatReal(double value, int width, int decimals) {
    if (std::isnan(value)) return RightAlign("NaN", width);
    if (std::isinf(value)) {
        std::string text = value < 0 ? "-Infinity" : "Infinity";
        if (static_cast<int>(text.size()) > width) text = value < 0 ? "-Inf" : "Inf";
        return RightAlign(text, width);
    }
    // to_chars rounds the mantissa correctly and moves the exponent when rounding carries
    // (9.99995 becomes 1.0000e+01), which is what the edit descriptor does too. Unlike
    // printf it ignores the process locale, so the point stays a point.
    char buffer[64];
    const std::to_chars_result printed = std::to_chars(
        buffer, buffer + sizeof buffer, value, std::chars_format::scientific, decimals);
    if (printed.ec != std::errc()) return std::string(width, '*');
    char* e = std::find(buffer, printed.ptr, 'e');
    std::string mantissa(buffer, e);
    int exponent = 0;
    std::from_chars(e + (e[1] == '+' ? 2 : 1), printed.ptr, exponent);
    char sign = exponent < 0 ? '-' : '+';
    int magnitude = std::abs(exponent);
    std::string tail;
    if (magnitude <= 99) {
        tail = std::string("E") + sign + (magnitude < 10 ? "0" : "") + std::to_string(magnitude);
    } else if (magnitude <= 999) {
        tail = sign + std::to_string(magnitude);
    } else {
        return std::string(width, '*');
    }
    return RightAlign(mantissa + tail, width);
}

std::string FormatInt(long long value, int width) {
    return RightAlign(std::to_string(value), width);
}

std::string PadRight(const std::string& text, int width) {
    if (static_cast<int>(text.size()) >= width) return text.substr(0, width);
    return text + std::string(width - text.size(), ' ');
}

std::string LabelEquals(const std::string& label, int column_of_equals) {
    return PadRight(label, column_of_equals - 1) + "=";
}

}  // namespace resist_model
