#pragma once

#include <cstdint>

#include "models/part_file.h"

namespace pkg {

// Parameter groups that several package families share, with the part-file layout they
// share. Lengths in mm, conductivity W/(m K), density kg/m^3, specific heat J/(kg K).

struct XY {
    double x = 0.0;
    double y = 0.0;
};

struct CountXY {
    int32_t x = 0;
    int32_t y = 0;
};

struct Mold {
    XY size;
    double thickness = 0.0;
    double thermal_conductivity = 0.0;
    double density = 0.0;
    double specific_heat = 0.0;
};

struct Chip {
    XY size;
    double thickness = 0.0;
    double thermal_conductivity = 0.0;
    double density = 0.0;
    double specific_heat = 0.0;
    double rate_of_heating = 0.0;  // W
};

struct BondedPart {
    double thickness = 0.0;
    double thermal_conductivity = 0.0;
    double density = 0.0;
    double specific_heat = 0.0;
};

// Size, thickness and conductivity are required; density and specific heat optional.
void ReadMold(const PartReader& r, Mold& m);
void WriteMold(PartWriter& w, const Mold& m);
// As the mold, plus the required rate of heating.
void ReadChip(const PartReader& r, Chip& c);
void WriteChip(PartWriter& w, const Chip& c);
void ReadBondedPart(const PartReader& r, BondedPart& b);
void WriteBondedPart(PartWriter& w, const BondedPart& b);

}  // namespace pkg
