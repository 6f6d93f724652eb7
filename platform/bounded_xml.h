#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The XML readers we use recurse once per element level, in the parser, in the tree copy
// and in the tree's destructor: a document nested a few thousand levels deep overflows the
// stack. Every document is therefore read whole under a size cap and checked for its
// nesting before a parser sees it.
constexpr std::size_t kMaxXmlDepth = 100;

// Reads everything `in` holds; empty when reading fails or there is more than `max_bytes`.
std::optional<std::string> ReadBounded(std::istream& in, std::size_t max_bytes);

// The deepest element nesting of `text`, counted without parsing: tags inside comments,
// processing instructions, CDATA sections, declarations and quoted attribute values do not
// count. Stops counting once `limit` is passed, so it never scans more than it must.
std::size_t XmlNestingDepth(std::string_view text, std::size_t limit);

// `in` read whole as an XML text that a recursive reader may parse: at most `max_bytes`
// long and nested no deeper than kMaxXmlDepth. Empty otherwise.
std::optional<std::string> ReadBoundedXml(std::istream& in, std::size_t max_bytes);

}  // namespace platform
