#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "models/bga/bga_simplified_model.h"
#include "models/part_loaders.h"
#include "models/qfp/qfp_simplified_model.h"

namespace real_outlines {

// A package at the dimensions of a real outline's datasheet, under its type folder's name.
// The lead-frame and ball-grid parts are simplified model objects, so one object gives
// both models' builds; the power devices' defaults are such outlines already.
struct Outline {
    const char* name;
    const char* type;
    std::shared_ptr<pkg::SemiconductorPackage> part;
};

using XYPair = std::pair<double, double>;

inline std::shared_ptr<pkg::SemiconductorPackage> LeadFrame(
    bool sop, XYPair mold, double thickness, double stand_off, double outer, double height,
    double width, double pitch, double lead_thickness, int per_side, XYPair pad, double depress,
    XYPair chip, double chip_thickness) {
    auto q = std::make_shared<pkg::qfp::QFPSimplifiedModel>(sop);
    q->mold.size = {mold.first, mold.second};
    q->mold.thickness = thickness;
    q->outer_lead = {outer, stand_off, 0.6, height};
    q->lead.width = width;
    q->lead.pitch = pitch;
    q->lead.thickness = lead_thickness;
    q->lead.number_of_xmin_xmax_lead = per_side;
    q->lead.number_of_ymin_ymax_lead = sop ? 0 : per_side;
    q->die_pad.size = {pad.first, pad.second};
    q->die_pad.depress = depress;
    q->chip.size = {chip.first, chip.second};
    q->chip.thickness = chip_thickness;
    q->suspension_lead.width = 0.3;
    return q;
}

inline std::shared_ptr<pkg::SemiconductorPackage> BallGrid(bool fcbga, double board, double mold,
                                                           double thickness, int balls,
                                                           double pitch, double diameter,
                                                           int layout, int rows, int centre,
                                                           double chip, double chip_thickness) {
    auto b = std::make_shared<pkg::bga::BGASimplifiedModel>(fcbga);
    b->board.size = {board, board};
    b->board.wiring_area_size = {3.0, 3.0};
    b->board.land_size = {chip, chip};
    b->mold.size = {mold, mold};
    b->mold.thickness = thickness;
    b->solder_ball.number_all = {balls, balls};
    b->solder_ball.pitch = pitch;
    b->solder_ball.diameter = diameter;
    b->solder_ball.height = 0.4;
    b->solder_ball.layout = layout;
    b->solder_ball.number_out = {rows, rows};
    b->solder_ball.number_center = {centre, centre};
    b->chip.size = {chip, chip};
    b->chip.thickness = chip_thickness;
    b->bump.number = 2000;
    b->bump.thickness = 0.08;
    return b;
}

inline std::vector<Outline> All() {
    std::vector<Outline> outlines = {
        {"LQFP-100 14 x 14", "QFP",
         LeadFrame(false, {14, 14}, 1.4, 0.1, 1.0, 0.6, 0.22, 0.5, 0.15, 25, {7.5, 7.5}, 0.2,
                   {6, 6}, 0.3)},
        // The die pad pressed down to the mold's underside, the chip top below the leads.
        {"exposed-pad QFP 10 x 10", "QFP",
         LeadFrame(false, {10, 10}, 1.0, 0.1, 1.0, 0.45, 0.22, 0.5, 0.127, 16, {5.5, 5.5}, 0.45,
                   {4, 4}, 0.2)},
        {"SOIC-8", "SOP",
         LeadFrame(true, {3.9, 4.9}, 1.45, 0.15, 1.05, 0.6, 0.41, 1.27, 0.2, 4, {2.3, 3.0}, 0.2,
                   {1.5, 2.0}, 0.25)},
        {"TSSOP-20", "SOP",
         LeadFrame(true, {4.4, 6.5}, 0.9, 0.1, 1.0, 0.45, 0.25, 0.65, 0.15, 10, {2.8, 3.5}, 0.15,
                   {2.0, 2.8}, 0.2)},
        {"PBGA 17 x 17 full array", "PBGA",
         BallGrid(false, 17, 17, 0.8, 16, 1.0, 0.5, 0, 0, 0, 8, 0.3)},
        {"PBGA 35 x 35 four rows", "PBGA",
         BallGrid(false, 35, 30, 1.17, 26, 1.27, 0.75, 1, 4, 0, 10, 0.35)},
        {"PBGA 35 x 35 four rows and centre", "PBGA",
         BallGrid(false, 35, 30, 1.17, 26, 1.27, 0.75, 2, 4, 6, 10, 0.35)},
        {"FCBGA 23 x 23", "FCBGA", BallGrid(true, 23, 20, 0.9, 22, 1.0, 0.6, 0, 0, 0, 10, 0.75)},
    };
    const char* const devices[][2] = {{"TO-220AB", "TO-220"}, {"TO-247", "TO-247"},
                                      {"D2PAK", "TO-263"},    {"DPAK", "TO-252"},
                                      {"SOT-89", "SOT-89"},   {"SOT-223", "SOT-223"}};
    for (const auto& [name, type] : devices) {
        for (int index = 0; index < pkg::kPackageTypeCount; ++index) {
            if (std::string(type) == pkg::kPackageTypeNames[index]) {
                outlines.push_back({name, type, pkg::MakeDefaultPackage(index)});
            }
        }
    }
    return outlines;
}

}  // namespace real_outlines
