#include "solver/conduction.h"

#include <limits>

#include "solver/huge_pages.h"

namespace resist_model {

namespace {

double AxisConductivity(const Conductivity& c, int axis) {
    return axis == 0 ? c.kx : axis == 1 ? c.ky : c.kz;
}

}  // namespace

FourDiagonal AssembleConduction(const ModelState& s) {
    FourDiagonal a;
    a.ncell = s.CellCount();
    a.im = s.im;
    a.imjm = static_cast<std::int64_t>(s.im) * s.jm;
    for (std::vector<double>* v : {&a.diag, &a.cx, &a.cy, &a.cz}) {
        ReserveOnHugePages(*v, a.ncell);
        v->assign(a.ncell, 0.0);
    }

    std::int64_t n = 0;
    for (int k = 1; k <= s.km; ++k) {
        for (int j = 1; j <= s.jm; ++j) {
            for (int i = 1; i <= s.im; ++i, ++n) {
                int m = s.Mat(i, j, k);
                if (m == 0) {
                    a.diag[n] = 1.0;
                    continue;
                }
                const Conductivity& self = s.properties[m - 1];
                double diag = 0.0;
                // Direction order -x, +x, -y, +y, -z, +z; only the upper couplings are kept.
                auto couple = [&](int ni, int nj, int nk, int axis, double area,
                                  double self_width, double nb_width, double* upper) {
                    int nm = s.Mat(ni, nj, nk);
                    if (nm == 0) return;
                    double h_self = self_width / 2;
                    double h_nb = nb_width / 2;
                    double k_self = AxisConductivity(self, axis);
                    double k_nb = AxisConductivity(s.properties[nm - 1], axis);
                    double g = area / (h_self / k_self + h_nb / k_nb);
                    diag += g;
                    if (upper) *upper = -g;
                };
                double area_x = s.dy[j] * s.dz[k];
                double area_y = s.dz[k] * s.dx[i];
                double area_z = s.dy[j] * s.dx[i];
                couple(i - 1, j, k, 0, area_x, s.dx[i], i > 1 ? s.dx[i - 1] : 0.0, nullptr);
                couple(i + 1, j, k, 0, area_x, s.dx[i], i < s.im ? s.dx[i + 1] : 0.0, &a.cx[n]);
                couple(i, j - 1, k, 1, area_y, s.dy[j], j > 1 ? s.dy[j - 1] : 0.0, nullptr);
                couple(i, j + 1, k, 1, area_y, s.dy[j], j < s.jm ? s.dy[j + 1] : 0.0, &a.cy[n]);
                couple(i, j, k - 1, 2, area_z, s.dz[k], k > 1 ? s.dz[k - 1] : 0.0, nullptr);
                couple(i, j, k + 1, 2, area_z, s.dz[k], k < s.km ? s.dz[k + 1] : 0.0, &a.cz[n]);
                a.diag[n] = diag;
            }
        }
    }
    return a;
}

std::vector<BoundaryCondition> StageConditions(const ModelState& s, int g) {
    const double q = 1.0 / s.ione_nth;
    auto heat = [&](const char* name) {
        return BoundaryCondition{PaddedName(name), kHeatSource, q, 0.0};
    };
    auto fixed = [](const char* name) {
        return BoundaryCondition{PaddedName(name), kFixedTemperature, 0.0, 0.0};
    };
    auto surface = [](const std::string& name, double resistance) {
        return BoundaryCondition{PaddedName(name), kSurfaceResistance, 0.0, resistance};
    };
    const double adiabatic = std::numeric_limits<double>::infinity();

    std::vector<BoundaryCondition> table;
    if (s.imdl_type == kTwoResistor) {
        if (g == 1) {
            table = {heat("CHIP"), fixed("TOP")};
        } else {
            // No gap fluid means no heat path through the bottom, whatever the gap.
            double gap = s.ramda > 0.0 ? s.gapl / s.ramda : adiabatic;
            table = {heat("CHIP"), surface("BOTTOM", gap), fixed("LEAD")};
        }
    } else if (s.imdl_type == kThreeResistor) {
        static const double kResistance[3][3] = {
            {0.0001, 0.1, 1.0}, {0.1, 0.0001, 1.0}, {1.0, 1.0, 0.0001}};
        const double* r = kResistance[g - 1];
        table = {heat("CHIP"), surface("TOP", r[0]), surface("BOTTOM", r[1]),
                 surface("LEAD", r[2])};
    } else if (s.imdl_type == kDelphi) {
        table.push_back(heat("J"));
        const BoundaryCase& c = s.cases[g - 1];
        for (int n = 1; n <= s.nsurf; ++n) {
            table.push_back(surface(s.node_names[n], 1.0 / c[s.node_class[n]]));
        }
    }
    return table;
}

bool ResolveBoundaryFace(const ModelState& s, const RegionEntry& e, BoundaryFace& f) {
    int li = e.i, lj = e.j, lk = e.k;
    if (e.face == 1) {
        li = e.i - 1;
        f.axis = 0;
        f.area = s.dy[e.j] * s.dz[e.k];
    } else if (e.face == 2) {
        lj = e.j - 1;
        f.axis = 1;
        f.area = s.dx[e.i] * s.dz[e.k];
    } else if (e.face == 3) {
        lk = e.k - 1;
        f.axis = 2;
        f.area = s.dx[e.i] * s.dy[e.j];
    } else {
        return false;
    }
    int low = s.Mat(li, lj, lk);
    int high = s.Mat(e.i, e.j, e.k);
    int m = 0;
    if (low == 0 && high > 0) {
        f.i = e.i, f.j = e.j, f.k = e.k;
        m = high;
    } else if (low > 0 && high == 0) {
        f.i = li, f.j = lj, f.k = lk;
        m = low;
    } else {
        return false;
    }
    double width = f.axis == 0 ? s.dx[f.i] : f.axis == 1 ? s.dy[f.j] : s.dz[f.k];
    f.half_width = width / 2;
    f.conductivity = AxisConductivity(s.properties[m - 1], f.axis);
    return true;
}

StageSystem ApplyConditions(const ModelState& s, const FourDiagonal& conduction,
                            const std::vector<BoundaryCondition>& conditions) {
    StageSystem sys;
    ReserveOnHugePages(sys.diag, conduction.ncell);
    sys.diag = conduction.diag;
    ReserveOnHugePages(sys.b, conduction.ncell);
    sys.b.assign(conduction.ncell, 0.0);
    for (const BoundaryCondition& bc : conditions) {
        const Region* region = s.FindRegion(bc.name);
        if (!region) continue;
        if (bc.kind == kHeatSource) {
            // Heat-source entries are cells; the reader's caller has made sure of that.
            double volume = 0.0;
            for (const RegionEntry& e : region->entries) {
                volume += s.dx[e.i] * s.dy[e.j] * s.dz[e.k];
            }
            for (const RegionEntry& e : region->entries) {
                sys.b[s.CellNumber(e.i, e.j, e.k)] +=
                    bc.value * s.dx[e.i] * s.dy[e.j] * s.dz[e.k] / volume;
            }
            continue;
        }
        for (const RegionEntry& e : region->entries) {
            BoundaryFace f;
            if (!ResolveBoundaryFace(s, e, f)) continue;
            double g = bc.kind == kFixedTemperature
                           ? f.conductivity * f.area / f.half_width
                           : f.area / (f.half_width / f.conductivity + bc.surface_resistance);
            std::int64_t n = s.CellNumber(f.i, f.j, f.k);
            sys.diag[n] += g;
            sys.b[n] += g * bc.value;
        }
    }
    return sys;
}

}  // namespace resist_model
