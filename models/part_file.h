#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <ostream>
#include <stdexcept>
#include <string>

#include <boost/property_tree/ptree.hpp>

namespace pkg {

// Why a part document was refused, so that the user can be told.
struct PartFileRefusal {
    enum class Kind {
        kNone,           // the document was read
        kNotRead,        // the file could not be read; detail: the system's reason
        kTooLarge,       // larger than a part file can be
        kNestedTooDeep,  // nested deeper than a part file is
        kNotXml,         // detail: the XML reader's line and reason
        kNotPartFile,    // no root element "ostl_trelvo"
        kMissingElement,  // detail: the element's key path
        kNotNumber,       // detail: the element's key path
        kNotInteger,      // detail: the element's key path
        kNotBoolean,      // detail: the element's key path
        kOtherType,       // the reader is of another type; detail: the file's type text
        kUnknownType,     // no package type reads it; detail: the file's type text
    };
    Kind kind = Kind::kNone;
    std::string detail;
};

// Thrown by the part-file helpers for a missing or unconvertible required value; the
// document functions below turn it into a false result.
class PartFileError : public std::runtime_error {
public:
    PartFileError(PartFileRefusal::Kind kind, const std::string& path);
    PartFileRefusal::Kind kind;
    std::string path;
};

// Read access to the elements below a part file's root, by key path ("mold.size.x").
// Required values throw PartFileError; optional ones keep the field's current value when
// the element is missing or its text does not convert.
class PartReader {
public:
    explicit PartReader(const boost::property_tree::ptree& root) : root_(root) {}

    bool Has(const std::string& path) const;
    // A required group: throws when missing.
    void RequireGroup(const std::string& path) const;

    void Required(const std::string& path, double& field) const;
    void Required(const std::string& path, int32_t& field) const;
    void Optional(const std::string& path, double& field) const;
    void Optional(const std::string& path, int32_t& field) const;
    // A required boolean: throws when missing or not one of "true", "false", "1", "0".
    void Required(const std::string& path, bool& field) const;
    // An optional real whose missing or unreadable element gives the fixed `fallback`
    // rather than the field's current value; true when the element was read.
    bool OptionalOr(const std::string& path, double& field, double fallback) const;
    // A composition switch: true when missing or unreadable.
    bool Switch(const std::string& path) const;
    std::string Text(const std::string& path) const;

private:
    const boost::property_tree::ptree& root_;
};

// Builds the tree below a part file's root in writing order.
class PartWriter {
public:
    explicit PartWriter(boost::property_tree::ptree& root) : root_(root) {}

    void Put(const std::string& path, double value);
    void Put(const std::string& path, int32_t value);
    void PutBool(const std::string& path, bool value);
    void PutText(const std::string& path, const std::string& value);

private:
    boost::property_tree::ptree& root_;
};

// Number notation of part files: 17 significant digits in general notation ("19",
// "0.10000000000000001"), always in the classic locale.
std::string FormatReal(double value);
// Parsing accepts surrounding white space; the whole text must convert. Non-finite reals
// and out-of-range integers are refused.
bool ParseReal(const std::string& text, double& value);
bool ParseInt(const std::string& text, int32_t& value);
bool ParseBool(const std::string& text, bool& value);

// Parses a part file, checks the root "ostl_trelvo" and its "version", and hands the
// "type" text and the root to `body`. Every XML, path or conversion error becomes false,
// and why is kept for LastPartFileRefusal.
bool ReadPartDocument(std::istream& in,
                      const std::function<bool(const PartReader&, const std::string&)>& body);
// Why the last ReadPartDocument on this thread refused its document (kNone after one that
// was read). The readers of the package families answer only true or false; this is how
// the user learns what a refused file lacks.
PartFileRefusal LastPartFileRefusal();

// Writes root, version 1 and type, then what `body` adds, as UTF-8 XML indented by two
// spaces; false when the stream fails (checked after a flush).
bool WritePartDocument(std::ostream& out, const std::string& type,
                       const std::function<void(PartWriter&)>& body);

}  // namespace pkg
