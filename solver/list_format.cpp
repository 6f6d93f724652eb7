#include "solver/list_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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
    // printf rounds the mantissa correctly and moves the exponent when rounding carries
    // (9.99995 becomes 1.0000E+01), which is what the edit descriptor does too.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*E", decimals, value);
    const char* e = std::strchr(buffer, 'E');
    std::string mantissa(buffer, static_cast<std::size_t>(e - buffer));
    int exponent = std::atoi(e + 1);
    char sign = exponent < 0 ? '-' : '+';
    int magnitude = std::abs(exponent);
    char tail[16];
    if (magnitude <= 99) {
        std::snprintf(tail, sizeof tail, "E%c%02d", sign, magnitude);
    } else if (magnitude <= 999) {
        std::snprintf(tail, sizeof tail, "%c%03d", sign, magnitude);
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
