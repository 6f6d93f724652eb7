#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "models/detailed_model.h"

namespace testutil {

// Every coordinate and material value finite, no negative extent or thickness, and every
// leaf's material in the model's list.
inline void ExpectSoundModel(const pkg::DetailedModel& m) {
    auto known = [&](const std::string& name) {
        for (const auto& p : m.properties) {
            if (p.name == name) return true;
        }
        return false;
    };
    for (const auto& g : m.root.children) {
        for (const auto& c : g->cuboids) {
            const pkg::Cuboid& b = c.box;
            for (double v : {b.x, b.y, b.z, b.dx, b.dy, b.dz})
                EXPECT_TRUE(std::isfinite(v)) << c.part_name;
            EXPECT_TRUE(b.dx >= 0 && b.dy >= 0 && b.dz >= 0) << c.part_name;
            EXPECT_TRUE(known(c.property_name)) << c.part_name;
        }
        for (const auto& p : g->prisms) {
            for (const auto& c : p.prism.corner) {
                EXPECT_TRUE(std::isfinite(c.x) && std::isfinite(c.y)) << p.part_name;
            }
            EXPECT_TRUE(std::isfinite(p.prism.base_z)) << p.part_name;
            EXPECT_GE(p.prism.thickness, 0.0) << p.part_name;
            EXPECT_TRUE(known(p.property_name)) << p.part_name;
        }
    }
    for (const auto& p : m.properties) {
        const double values[] = {p.conductivity,   p.conductivity_x, p.conductivity_y,
                                 p.conductivity_z, p.density,        p.specific_heat};
        for (double v : values) EXPECT_TRUE(std::isfinite(v)) << p.name;
    }
}

// The whole tree and material list as text, exact to the last bit.
inline std::string Fingerprint(const pkg::DetailedModel& m) {
    std::ostringstream s;
    s.precision(17);
    for (const auto& g : m.root.children) {
        s << std::string(g->name.begin(), g->name.end()) << '\n';
        for (const auto& c : g->cuboids) {
            s << c.part_name << ' ' << c.property_name << ' ' << c.box.x << ' ' << c.box.y << ' '
              << c.box.z << ' ' << c.box.dx << ' ' << c.box.dy << ' ' << c.box.dz << '\n';
        }
        for (const auto& p : g->prisms) {
            s << p.part_name << ' ' << p.property_name;
            for (const auto& c : p.prism.corner) s << ' ' << c.x << ' ' << c.y;
            s << ' ' << p.prism.thickness << ' ' << p.prism.base_z << '\n';
        }
    }
    for (const auto& p : m.properties) {
        s << p.name << ' ' << p.kind << ' ' << p.conductivity << ' ' << p.conductivity_x << ' '
          << p.conductivity_y << ' ' << p.conductivity_z << ' ' << p.density << ' '
          << p.specific_heat << '\n';
    }
    return s.str();
}

}  // namespace testutil
