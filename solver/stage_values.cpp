#include "solver/stage_values.h"

#include <cmath>

#include "solver/list_format.h"

namespace resist_model {

namespace {

void AddLine(std::string& list, const std::string& line) {
    list += line;
    list += '\n';
}

std::string TmaxLine(const char* label, double value) {
    return LabelEquals(label, 15) + FormatReal(value);
}

double CellMaximum(const ModelState& s, const Region* region, const double* t) {
    double maximum = kUnsetMaximum;
    if (!region) return maximum;
    for (const RegionEntry& e : region->entries) {
        maximum = std::max(maximum, t[s.CellNumber(e.i, e.j, e.k)]);
    }
    return maximum;
}

void SurfaceMaxima(const ModelState& s, const std::vector<BoundaryCondition>& conditions,
                   const double* t, StageValues& v) {
    for (const BoundaryCondition& bc : conditions) {
        const Region* region = s.FindRegion(bc.name);
        if (!region) continue;
        std::string name = TrimmedName(bc.name);
        if (bc.kind == kHeatSource) {
            if (name == "CHIP") v.tmax[3] = CellMaximum(s, region, t);
            continue;
        }
        if (bc.kind != kSurfaceResistance) continue;
        int slot = name == "TOP" ? 0 : name == "BOTTOM" ? 1 : name == "LEAD" ? 2 : -1;
        if (slot < 0) continue;
        double maximum = kUnsetMaximum;
        for (const RegionEntry& e : region->entries) {
            BoundaryFace face;
            if (!ResolveBoundaryFace(s, e, face)) continue;
            double tc = t[s.CellNumber(face.i, face.j, face.k)];
            FaceFlow flow = SurfaceFlow(face, tc, bc.value, bc.surface_resistance);
            maximum = std::max(maximum, flow.surface_temperature);
        }
        v.tmax[slot] = maximum;
    }
}

void JunctionValues(const ModelState& s, const std::vector<BoundaryCondition>& conditions,
                    const double* t, StageValues& v) {
    v.area.assign(s.nsurf + 1, 0.0);
    v.mean_temperature.assign(s.nsurf + 1, 0.0);
    v.heat_flow.assign(s.nsurf + 1, 0.0);
    std::vector<double> temperature_sum(s.nsurf + 1, 0.0);
    for (const BoundaryCondition& bc : conditions) {
        const Region* region = s.FindRegion(bc.name);
        if (!region) continue;
        if (bc.kind == kHeatSource) {
            if (TrimmedName(bc.name) == "J") v.junction_max = CellMaximum(s, region, t);
            continue;
        }
        if (bc.kind != kSurfaceResistance) continue;
        int n = 1;
        while (n <= s.nsurf && s.node_names[n] != bc.name) ++n;
        if (n > s.nsurf) continue;
        for (const RegionEntry& e : region->entries) {
            BoundaryFace face;
            if (!ResolveBoundaryFace(s, e, face)) continue;
            double tc = t[s.CellNumber(face.i, face.j, face.k)];
            FaceFlow flow = SurfaceFlow(face, tc, bc.value, bc.surface_resistance);
            v.area[n] += face.area;
            temperature_sum[n] += face.area * flow.surface_temperature;
            v.heat_flow[n] += flow.heat;
        }
    }
    for (int n = 1; n <= s.nsurf; ++n) {
        v.heat_flow[n] *= s.ione_nth;
        if (v.area[n] != 0.0) v.mean_temperature[n] = temperature_sum[n] / v.area[n];
    }
}

}  // namespace

FaceFlow SurfaceFlow(const BoundaryFace& face, double tc, double ta, double re) {
    FaceFlow flow;
    if (std::isinf(re)) {
        // No heat leaves through the face, so the surface is at the cell's temperature.
        flow.surface_temperature = tc;
        return flow;
    }
    double rh = face.half_width / face.conductivity;
    flow.surface_temperature = (ta * rh + tc * re) / (rh + re);
    flow.heat = face.area * (tc - ta) / (rh + re);
    return flow;
}

StageValues PrepareStage(const ModelState& s, int g,
                         const std::vector<BoundaryCondition>& conditions, const double* t,
                         std::string& list) {
    (void)g;
    StageValues v;
    if (s.regions.empty()) return v;
    AddLine(list, "  CALCULATION RESULT");
    if (s.imdl_type == kTwoResistor) {
        v.chip_max = CellMaximum(s, s.FindRegion(PaddedName("CHIP")), t);
        AddLine(list, TmaxLine("Tmax CHIP  ", v.chip_max));
    } else if (s.imdl_type == kThreeResistor) {
        SurfaceMaxima(s, conditions, t, v);
        AddLine(list, TmaxLine("Tmax TOP   ", v.tmax[0]));
        AddLine(list, TmaxLine("Tmax BOTTOM", v.tmax[1]));
        AddLine(list, TmaxLine("Tmax LEAD  ", v.tmax[2]));
        AddLine(list, TmaxLine("Tmax CHIP  ", v.tmax[3]));
    } else if (s.imdl_type == kDelphi) {
        JunctionValues(s, conditions, t, v);
        AddLine(list, std::string(10, ' ') + FormatReal(v.junction_max) + "  : Junction Tmax");
        AddLine(list, std::string(17, ' ') + "Temp." + std::string(4, ' ') + "HeatFlux");
        for (int n = 1; n <= s.nsurf; ++n) {
            AddLine(list, std::string(10, ' ') + FormatReal(v.mean_temperature[n]) +
                              FormatReal(v.heat_flow[n]) + "  " + s.node_names[n]);
        }
    }
    return v;
}

double Det3(const double m[3][3]) {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
           m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

bool ResistTwo(const std::vector<StageValues>& stages, std::vector<NamedResistance>& out) {
    out.clear();
    if (stages.size() != 2) return false;
    for (const StageValues& v : stages) {
        if (v.chip_max == kUnsetMaximum) return false;
    }
    out.push_back({PaddedName("J-T"), stages[0].chip_max});
    out.push_back({PaddedName("J-B"), stages[1].chip_max});
    return true;
}

bool ResistThree(const std::vector<StageValues>& stages, std::vector<NamedResistance>& out) {
    out.clear();
    if (stages.size() != 3) return false;
    double m[3][3];
    double r[3];
    for (int s = 0; s < 3; ++s) {
        const double* t = stages[s].tmax;
        for (int c = 0; c < 4; ++c) {
            if (t[c] == kUnsetMaximum) return false;
        }
        // Energy balance of the star J-T, J-B, J-L with 1 W into J.
        m[s][0] = t[1] - t[0];
        m[s][1] = t[2] - t[0];
        m[s][2] = 1.0;
        r[s] = t[3] - t[0];
    }
    auto with_column = [&](int column) {
        double d = 0.0;
        double mc[3][3];
        for (int s = 0; s < 3; ++s) {
            for (int c = 0; c < 3; ++c) mc[s][c] = c == column ? r[s] : m[s][c];
        }
        d = Det3(mc);
        return d;
    };
    double d = Det3(m);
    double a = with_column(0) / d;
    double b = with_column(1) / d;
    double c = with_column(2) / d;
    out.push_back({PaddedName("J-T"), c / (1 - a - b)});
    out.push_back({PaddedName("J-B"), c / a});
    out.push_back({PaddedName("J-L"), c / b});
    return true;
}

std::string ResistanceLines(const std::vector<NamedResistance>& results) {
    std::string list;
    AddLine(list, "     RESISTANCE");
    for (const NamedResistance& r : results) {
        AddLine(list, "   " + FormatReal(r.value) + "  " + TrimmedName(r.name));
    }
    return list;
}

}  // namespace resist_model
