#pragma once

// Parts at the nominal dimensions of their package drawings, one per outline a user is
// likely to enter, for the tests that build and export them.
#include <functional>
#include <initializer_list>
#include <memory>

#include "models/part_loaders.h"

namespace real_outlines {

using pkg::bga::BGA;
using pkg::pdevice::PowerDevice;
using pkg::qfp::QFP;

constexpr int kQFP = 0, kSOP = 1, kPBGA = 2, kFCBGA = 3, kTO220 = 4, kTO247 = 5, kTO263 = 6,
              kTO252 = 7, kSOT89 = 8, kSOT223 = 9;

struct Outline {
    const char* name;
    int type;  // index into kPackageTypeNames
    std::function<void(pkg::SemiconductorPackage&)> set;
};

// Gull-wing body: mold x, y, thickness; stand-off; leads per side, width, pitch, thickness;
// outer-lead length, foot, exit height; die pad, depress; chip; inner-lead offset.
struct LeadFrame {
    double mx, my, mt, standoff;
    int nx, ny;
    double w, pitch, t, length, foot, exit;
    double px, py, depress, cx, cy, ct, offset;
};

inline void SetLeadFrame(pkg::SemiconductorPackage& part, const LeadFrame& f) {
    QFP& q = dynamic_cast<QFP&>(part);
    q.mold.size = {f.mx, f.my};
    q.mold.thickness = f.mt;
    q.lead.number_of_xmin_xmax_lead = f.nx;
    q.lead.number_of_ymin_ymax_lead = f.ny;
    q.lead.width = f.w;
    q.lead.pitch = f.pitch;
    q.lead.thickness = f.t;
    q.outer_lead = {f.length, f.standoff, f.foot, f.exit};
    q.die_pad.size = {f.px, f.py};
    q.die_pad.depress = f.depress;
    q.chip.size = {f.cx, f.cy};
    q.chip.thickness = f.ct;
    q.bonded_part.thickness = 0.025;
    q.inner_lead.offset = f.offset;
    q.suspension_lead.width = f.w;
}

// Ball grid array: body (board and mold) side, mold thickness, chip, balls a side, pitch,
// diameter, height, layers with their thicknesses.
inline void SetGrid(BGA& b, double side, double mold, double chip, double chip_t, int balls,
             double pitch, double diameter, double height) {
    b.board.size = {side, side};
    b.mold.size = {side, side};
    b.mold.thickness = mold;
    b.chip.size = {chip, chip};
    b.chip.thickness = chip_t;
    b.solder_ball.number_all = {balls, balls};
    b.solder_ball.pitch = pitch;
    b.solder_ball.diameter = diameter;
    b.solder_ball.height = height;
}

// The wire-bonded grid: die attach, wires per side, wiring area and land.
inline void SetBonded(BGA& b, double wiring_area, int wires) {
    b.composition.bonded_part = true;
    b.bonded_part.thickness = 0.025;
    b.composition.wire = true;
    b.wire.number = {wires, wires};
    b.board.wiring_area_size = {wiring_area, wiring_area};
    b.board.land_size = b.chip.size;
    b.wire.length.x = (b.board.size.x - 2.0 * wiring_area - b.chip.size.x) / 2.0;
    b.wire.length.y = b.wire.length.x;
}

inline void SetLayers(BGA& b, int n, double wiring, std::initializer_list<double> boards) {
    b.board.number_of_layer = n;
    for (int i = 0; i < n; ++i) b.board.thick_of_wiringlayer[i] = wiring;
    int i = 0;
    for (double t : boards) b.board.thick_of_boardlayer[i++] = t;
}

inline PowerDevice::OuterShape& O(pkg::SemiconductorPackage& p) {
    return dynamic_cast<PowerDevice&>(p).outer_shape_param;
}
inline QFP& Q(pkg::SemiconductorPackage& p) { return dynamic_cast<QFP&>(p); }
inline BGA& B(pkg::SemiconductorPackage& p) { return dynamic_cast<BGA&>(p); }
inline PowerDevice& D(pkg::SemiconductorPackage& p) { return dynamic_cast<PowerDevice&>(p); }

inline void SetChip(PowerDevice& d, double x, double y, double t, double offset,
                    double inner_lead) {
    d.chip.size = {x, y};
    d.chip.thickness = t;
    d.inner_shape_param.offset = offset;
    d.inner_shape_param.inner_lead = inner_lead;
}

inline const Outline kOutlines[] = {
    {"LQFP-100 14x14", kQFP,
     [](auto& p) {
         SetLeadFrame(p, {14, 14, 1.4, 0.1, 25, 25, 0.22, 0.5, 0.15, 1.0, 0.6, 0.6, 6, 6, 0.2,
                          5, 5, 0.3, 0.3});
     }},
    {"exposed-pad LQFP-64 10x10", kQFP,
     [](auto& p) {
         // The die pad is set down to the mold's bottom, where it lies bare.
         SetLeadFrame(p, {10, 10, 1.4, 0.1, 16, 16, 0.22, 0.5, 0.15, 1.0, 0.6, 0.6, 6, 6, 0.6,
                          4, 4, 0.25, 0.3});
     }},
    {"SOIC-8", kSOP,
     [](auto& p) {
         SetLeadFrame(p, {3.9, 4.9, 1.45, 0.15, 4, 0, 0.41, 1.27, 0.2, 1.05, 0.7, 0.65, 2.3, 3.0,
                          0.15, 1.5, 2.0, 0.25, 0.25});
     }},
    {"TSSOP-20", kSOP,
     [](auto& p) {
         SetLeadFrame(p, {4.4, 6.5, 1.0, 0.1, 10, 0, 0.25, 0.65, 0.15, 1.0, 0.6, 0.4, 2.6, 4.0,
                          0.1, 2.0, 3.0, 0.2, 0.2});
     }},
    {"PBGA 17x17 full array", kPBGA,
     [](auto& p) {
         BGA& b = dynamic_cast<BGA&>(p);
         SetGrid(b, 17, 0.8, 6, 0.3, 16, 1.0, 0.5, 0.4);
         SetLayers(b, 4, 0.035, {0.1, 0.2, 0.1});
         SetBonded(b, 4.0, 64);
     }},
    {"PBGA 35x35 four perimeter rows", kPBGA,
     [](auto& p) {
         BGA& b = dynamic_cast<BGA&>(p);
         SetGrid(b, 35, 1.17, 10, 0.35, 26, 1.27, 0.75, 0.6);
         SetLayers(b, 2, 0.018, {0.56});
         SetBonded(b, 6.0, 100);
         b.solder_ball.layout = 1;
         b.solder_ball.number_out = {4, 4};
     }},
    {"PBGA 35x35 four perimeter rows and centre balls", kPBGA,
     [](auto& p) {
         BGA& b = dynamic_cast<BGA&>(p);
         SetGrid(b, 35, 1.17, 10, 0.35, 26, 1.27, 0.75, 0.6);
         SetLayers(b, 2, 0.018, {0.56});
         SetBonded(b, 6.0, 100);
         b.solder_ball.layout = 2;
         b.solder_ball.number_out = {4, 4};
         b.solder_ball.number_center = {6, 6};
         b.composition.via = true;
         b.via = {{6, 6}, 0.3, 0.025, 1.0, 398.0, 8880.0, 386.0};
     }},
    {"FCBGA 23x23", kFCBGA,
     [](auto& p) {
         BGA& b = dynamic_cast<BGA&>(p);
         SetGrid(b, 23, 0.7, 10, 0.5, 22, 1.0, 0.6, 0.5);
         SetLayers(b, 8, 0.015, {0.03, 0.03, 0.03, 0.8, 0.03, 0.03, 0.03});
         b.bump.number = 3000;
         b.bump.diameter = 0.1;
         b.bump.thickness = 0.075;
     }},
    {"TO-220AB", kTO220,
     [](auto& p) {
         auto& o = O(p);
         o.A = 4.5, o.A1 = 1.3, o.A2 = 2.4, o.b = 0.8, o.c = 0.5, o.D = 15.6, o.D1 = 9.0;
         o.D2 = 13.0, o.E = 10.0, o.E1 = 8.0, o.e = 2.54, o.L = 13.5;
         SetChip(D(p), 3, 3, 0.3, 1.0, 1.5);
     }},
    {"TO-247", kTO247,
     [](auto& p) {
         auto& o = O(p);
         o.A = 5.0, o.A1 = 2.4, o.A2 = 2.0, o.b = 1.2, o.c = 0.6, o.D = 20.8, o.D1 = 16.0;
         o.D2 = 0.5, o.E = 15.9, o.E1 = 13.5, o.e = 5.45, o.L = 20.0;
         SetChip(D(p), 6, 6, 0.3, 2.0, 1.5);
     }},
    {"D2PAK (TO-263AB)", kTO263,
     [](auto& p) {
         auto& o = O(p);
         o.A = 4.4, o.b = 0.8, o.c = 0.5, o.c2 = 1.3, o.D = 9.0, o.D1 = 7.5, o.E = 10.0;
         o.E1 = 8.0, o.e = 2.54, o.H = 15.3, o.L = 2.3, o.L1 = 1.4, o.Q = 2.2;
         SetChip(D(p), 3, 3, 0.3, 1.0, 1.0);
         D(p).composition.lead_type = 1;
     }},
    {"DPAK (TO-252AA)", kTO252,
     [](auto& p) {
         auto& o = O(p);
         o.A = 2.3, o.b = 0.76, o.b3 = 5.3, o.c = 0.5, o.c2 = 0.5, o.D = 6.1, o.D1 = 5.2;
         o.E = 6.6, o.E1 = 4.8, o.e = 2.28, o.H = 9.9, o.L = 1.5, o.L3 = 0.9, o.Q = 1.0;
         SetChip(D(p), 2.5, 2.0, 0.25, 1.0, 1.0);
     }},
    {"SOT-89", kSOT89,
     [](auto& p) {
         auto& o = O(p);
         o.A = 1.5, o.b = 0.44, o.b1 = 1.6, o.c = 0.4, o.D = 4.5, o.E = 2.45, o.e = 1.5;
         o.H = 4.1, o.L = 0.9;
         SetChip(D(p), 1.0, 1.0, 0.2, 0.4, 0.4);
     }},
    {"SOT-223", kSOT223,
     [](auto& p) {
         auto& o = O(p);
         o.A = 1.7, o.b = 0.7, o.b2 = 3.0, o.c = 0.28, o.D = 6.5, o.E = 7.0, o.E1 = 3.5;
         o.e = 2.3, o.L = 0.9, o.L1 = 1.75, o.L2 = 1.0, o.Q = 1.0;
         SetChip(D(p), 1.5, 1.2, 0.2, 0.2, 0.2);
         D(p).inner_shape_param.diepad_x = 3.0;
         D(p).inner_shape_param.diepad_y = 2.2;
     }},
};

// The outline's part, as the default package of its type with the outline's values.
inline std::shared_ptr<pkg::SemiconductorPackage> MakePart(const Outline& outline) {
    auto part = pkg::MakeDefaultPackage(outline.type);
    outline.set(*part);
    return part;
}

}  // namespace real_outlines
