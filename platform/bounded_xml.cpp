#include "platform/bounded_xml.h"

namespace platform {

std::optional<std::string> ReadBounded(std::istream& in, std::size_t max_bytes) {
    std::string text;
    char buffer[65536];
    while (in) {
        in.read(buffer, sizeof buffer);
        const std::size_t got = static_cast<std::size_t>(in.gcount());
        if (text.size() + got > max_bytes) return std::nullopt;
        text.append(buffer, got);
    }
    if (in.bad()) return std::nullopt;
    return text;
}

std::size_t XmlNestingDepth(std::string_view text, std::size_t limit) {
    std::size_t depth = 0;
    std::size_t deepest = 0;
    std::size_t i = 0;
    const std::size_t n = text.size();
    const auto skip_past = [&](std::string_view end) {
        const std::size_t found = text.find(end, i);
        i = found == std::string_view::npos ? n : found + end.size();
    };
    while (i < n && deepest <= limit) {
        if (text[i] != '<') {
            ++i;
            continue;
        }
        const std::string_view rest = text.substr(i);
        if (rest.substr(0, 4) == "<!--") {
            skip_past("-->");
        } else if (rest.substr(0, 9) == "<![CDATA[") {
            skip_past("]]>");
        } else if (rest.substr(0, 2) == "<?") {
            skip_past("?>");
        } else if (rest.substr(0, 2) == "<!") {
            skip_past(">");
        } else if (rest.substr(0, 2) == "</") {
            if (depth > 0) --depth;
            skip_past(">");
        } else {
            // A start tag: its end is the first '>' outside a quoted attribute value.
            ++i;
            char quote = 0;
            bool empty_element = false;
            for (; i < n; ++i) {
                const char c = text[i];
                if (quote != 0) {
                    if (c == quote) quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>') {
                    empty_element = text[i - 1] == '/';
                    break;
                }
            }
            ++i;
            if (!empty_element && ++depth > deepest) deepest = depth;
        }
    }
    return deepest;
}

std::optional<std::string> ReadBoundedXml(std::istream& in, std::size_t max_bytes) {
    std::optional<std::string> text = ReadBounded(in, max_bytes);
    if (text && XmlNestingDepth(*text, kMaxXmlDepth) > kMaxXmlDepth) return std::nullopt;
    return text;
}

}  // namespace platform
