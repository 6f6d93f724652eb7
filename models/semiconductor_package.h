#pragma once

#include <istream>
#include <ostream>
#include <string>

namespace pkg {

// A package object: the parameters of one part, read from and written to a part file.
class SemiconductorPackage {
public:
    virtual ~SemiconductorPackage() = default;

    // The type name written into the part file's "type" element.
    virtual const char* TypeName() const = 0;
    // Reads a whole part file; false when the file is refused. On false the object keeps
    // whatever was stored before the failure and should be discarded.
    virtual bool ReadPartFile(std::istream& in) = 0;
    // Writes the whole part file; false when the stream fails.
    virtual bool WritePartFile(std::ostream& out) const = 0;

    const std::string& TypeString() const { return type_; }

protected:
    std::string type_;
};

}  // namespace pkg
