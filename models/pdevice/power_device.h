#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "models/package_parameters.h"
#include "models/part_file.h"
#include "models/semiconductor_package.h"

namespace pkg::pdevice {

// Parameters of a power device ("TO-220", "TO-247", "TO-263", "TO-252", "SOT-89",
// "SOT-223"): a chip on a die attach on a metal plate or die pad, in a mold body, with
// leads. The concrete model class sets the type, the defaults and the outline symbols its
// device uses; every part file holds all 24 outline dimensions all the same.
class PowerDevice : public SemiconductorPackage {
public:
    struct InnerShape {
        double offset = 0.0;
        double inner_lead = 0.0;
        double diepad_x = 0.0;
        double diepad_y = 0.0;
    };

    // The lettered outline dimensions of the package drawing, in mm. "e" and "E" (and
    // "e1" and "E1") are different dimensions.
    struct OuterShape {
        double A = 0.0, A1 = 0.0, A2 = 0.0;
        double b = 0.0, b1 = 0.0, b2 = 0.0, b3 = 0.0;
        double c = 0.0, c1 = 0.0, c2 = 0.0;
        double D = 0.0, D1 = 0.0, D2 = 0.0;
        double E = 0.0, E1 = 0.0;
        double e = 0.0, e1 = 0.0;
        double H = 0.0, H1 = 0.0;
        double L = 0.0, L1 = 0.0, L2 = 0.0, L3 = 0.0;
        double Q = 0.0;
    };

    // One row of the outline-symbol table. It names its field by member pointer rather
    // than by reference, so a copied device (or a copied parameter record) reads and
    // writes its own values through the table, never those of the object it came from.
    struct OutlineSymbol {
        std::wstring symbol;
        double OuterShape::*field = nullptr;
    };

    struct Composition {
        bool bonded_part = true;
        int32_t lead_type = 0;
    };

    // Materials of mold, leads, plate and die pad.
    struct MaterialValues {
        double mold_thermal_conductivity = 0.0;
        double lead_thermal_conductivity = 0.0;
        double plate_thermal_conductivity = 0.0;
        double diepad_thermal_conductivity = 0.0;
        double mold_density = 0.0;
        double lead_density = 0.0;
        double plate_density = 0.0;
        double diepad_density = 0.0;
        double mold_specific_heat = 0.0;
        double lead_specific_heat = 0.0;
        double plate_specific_heat = 0.0;
        double diepad_specific_heat = 0.0;
    };

    // The 24 outline dimensions in part-file order, by element name.
    struct OuterShapeField {
        const char* name;
        double OuterShape::*field;
    };
    static const std::vector<OuterShapeField>& OuterShapeFields();

    // Every real zero, bonded part on, lead type 0, no type string, an empty table.
    PowerDevice() = default;
    ~PowerDevice() override = default;

    const char* TypeName() const override { return type_.c_str(); }
    // Reads only a file of this object's own type; the outline-symbol table is never
    // touched.
    bool ReadPartFile(std::istream& in) override;
    bool WritePartFile(std::ostream& out) const override;

    // Appends the device's outline symbols to the table, in the device's order. The
    // constructor calls it once; a second call would list every symbol twice.
    virtual void RegisterDimensions() = 0;

    const std::vector<OutlineSymbol>& OutlineSymbols() const { return outline_symbols_; }
    // The value a table row names, in this object.
    double& Dimension(const OutlineSymbol& row) { return outer_shape_param.*row.field; }
    double Dimension(const OutlineSymbol& row) const { return outer_shape_param.*row.field; }

    // Reads `group`.`name` into `field`; a missing or unreadable element stores `fallback`.
    // True when the value was found.
    static bool ReadOptionalDouble(const PartReader& r, const std::string& group,
                                   const std::string& name, double& field, double fallback);

    InnerShape inner_shape_param;
    OuterShape outer_shape_param;
    Chip chip;
    BondedPart bond;
    Composition composition;
    MaterialValues property;

protected:
    // Appends the row of the outline dimension named `symbol` (one of the 24, exact case);
    // an unknown symbol is ignored.
    void RegisterSymbol(const std::string& symbol);

private:
    bool ReadBody(const PartReader& r, const std::string& type);
    void WriteBody(PartWriter& w) const;

    std::vector<OutlineSymbol> outline_symbols_;
};

}  // namespace pkg::pdevice
