#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "models/package_parameters.h"
#include "models/semiconductor_package.h"

namespace pkg::bga {

// Parameters of a ball-grid-array part: "pbga" (chip on a die attach, wire-bonded to the
// substrate) or "fcbga" (flip chip on bumps with underfill). A file of the legacy type
// "bga" is handled as a "pbga" and keeps its type string.
class BGA : public SemiconductorPackage {
public:
    static constexpr int kMaxLayers = 8;
    // Largest ball or via count per axis a model is built from. Real packages carry under a
    // hundred balls a side; a full grid at this bound is 250,000 ball blocks.
    static constexpr int32_t kMaxCountPerAxis = 500;

    struct Bump {
        int32_t number = 0;
        double diameter = 0.0;
        double thickness = 0.0;
        double bump_thermal_conductivity = 0.0;
        double ufil_thermal_conductivity = 0.0;
        double bump_density = 0.0;
        double ufil_density = 0.0;
        double bump_specific_heat = 0.0;
        double ufil_specific_heat = 0.0;
    };

    struct Wire {
        CountXY number;
        double diameter = 0.0;
        XY length;  // derived from board, wiring area and chip on every read
        double thermal_conductivity = 0.0;
        double density = 0.0;
        double specific_heat = 0.0;
    };

    // Layer i (1-based) of each table is entry i - 1; insulator layer i lies between
    // wiring layers i and i + 1.
    struct Board {
        int32_t number_of_layer = 0;
        XY size;
        XY wiring_area_size;
        XY land_size;
        double thermal_conductivity_board = 0.0;
        double thermal_conductivity_wiring = 0.0;
        double density_board = 0.0;
        double density_wiring = 0.0;
        double specific_heat_board = 0.0;
        double specific_heat_wiring = 0.0;
        std::array<double, kMaxLayers> thick_of_wiringlayer{};
        std::array<double, kMaxLayers> thick_of_boardlayer{};
        std::array<double, kMaxLayers> ratio_of_wiring{};
    };

    struct Via {
        CountXY number;
        double outer_diameter = 0.0;
        double thick_of_coat = 0.0;
        double pitch = 0.0;
        double thermal_conductivity = 0.0;
        double density = 0.0;
        double specific_heat = 0.0;
    };

    // layout: 0 full matrix, 1 outer area, 2 outer and centre areas.
    struct SolderBall {
        int32_t layout = 0;
        CountXY number_all;
        CountXY number_out;
        CountXY number_center;
        double diameter = 0.0;
        double pitch = 0.0;
        double height = 0.0;
        double thermal_conductivity = 0.0;
        double density = 0.0;
        double specific_heat = 0.0;
    };

    struct Composition {
        bool bonded_part = false;
        bool wire = false;
        bool via = false;
    };

    explicit BGA(bool fcbga);
    ~BGA() override = default;

    void SetDefaults();

    const char* TypeName() const override { return type_.c_str(); }
    bool ReadPartFile(std::istream& in) override;
    bool WritePartFile(std::ostream& out) const override;

    bool HasWire() const { return composition.wire; }
    bool HasVia() const { return composition.via; }

    // True for "pbga" and for the legacy "bga": the types with die attach and wires.
    bool IsPBGA() const;
    bool IsFCBGA() const { return is_fcbga; }

    // True when every ball and via count a build uses lies in 0..kMaxCountPerAxis. A part
    // file keeps whatever counts it holds; only the builds refuse implausible ones.
    bool CountsBuildable() const;

    // Layer count clamped to the tables, so that no caller indexes past them.
    int LayerCount() const;

    // Height of the substrate's top face above z = 0 (mm).
    double SubstrateTopHeight() const;
    // Height of the chip's lower face above z = 0 (mm).
    double ChipBottomHeight() const;

    Mold mold;
    Chip chip;
    BondedPart bonded_part;
    Bump bump;
    Wire wire;
    Board board;
    Via via;
    SolderBall solder_ball;
    Composition composition;
    bool is_fcbga = false;

private:
    bool ReadBody(const PartReader& r, const std::string& type);
    void WriteBody(PartWriter& w) const;
};

}  // namespace pkg::bga
