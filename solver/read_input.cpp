#include "solver/read_input.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "solver/list_format.h"
#include "solver/resist_model.h"

namespace resist_model {

namespace {

const std::string kJunction = PaddedName("J");

std::string IntLine(const std::string& label, long long value, int width) {
    return LabelEquals(label, 15) + FormatInt(value, width);
}

std::string RealLine(const std::string& label, double value) {
    return LabelEquals(label, 15) + FormatReal(value);
}

void EchoCoordinates(ListFile& list, const std::string& label, const std::vector<double>& v) {
    if (!list.IsOpen()) return;
    list.Line(label);
    for (std::size_t first = 0; first < v.size(); first += 10) {
        std::string line = "     ";
        for (std::size_t n = first; n < std::min(v.size(), first + 10); ++n) {
            line += FormatReal(v[n]);
        }
        list.Line(line);
    }
}

bool IsIncreasing(const std::vector<double>& v) {
    for (std::size_t n = 0; n < v.size(); ++n) {
        if (!std::isfinite(v[n])) return false;
        if (n > 0 && !(v[n] > v[n - 1])) return false;
    }
    return true;
}

std::vector<double> Widths(const std::vector<double>& lines) {
    std::vector<double> widths(lines.size(), 0.0);
    for (std::size_t n = 1; n < lines.size(); ++n) widths[n] = lines[n] - lines[n - 1];
    return widths;
}

bool IsValidValue(double v) { return std::isfinite(v) && v >= 0.0; }

// A cell entry must be a cell; a face entry may reach the far boundary plane along its
// own axis only.
bool IsValidEntry(const ModelState& s, const RegionEntry& e) {
    if (e.face < 0 || e.face > 3) return false;
    int top_i = s.im + (e.face == 1 ? 1 : 0);
    int top_j = s.jm + (e.face == 2 ? 1 : 0);
    int top_k = s.km + (e.face == 3 ? 1 : 0);
    return e.i >= 1 && e.i <= top_i && e.j >= 1 && e.j <= top_j && e.k >= 1 && e.k <= top_k;
}

double RegionSize(const ModelState& s, const Region& region, bool& is_area) {
    is_area = !region.entries.empty() && region.entries.front().face != 0;
    double sum = 0.0;
    for (const RegionEntry& e : region.entries) {
        if (is_area) {
            if (e.face == 1) sum += s.dy[e.j] * s.dz[e.k];
            if (e.face == 2) sum += s.dx[e.i] * s.dz[e.k];
            if (e.face == 3) sum += s.dx[e.i] * s.dy[e.j];
        } else if (s.IsCell(e.i, e.j, e.k)) {
            sum += s.dx[e.i] * s.dy[e.j] * s.dz[e.k];
        }
    }
    return sum;
}

int ReadRegions(RecordReader& reader, ListFile& list, ModelState& s) {
    std::int32_t nregn = 0;
    if (!reader.ReadInt(nregn)) return kStatusBadInput;
    list.Line(IntLine("NREGN", nregn, 5));
    if (nregn < 0) return kStatusBadInput;
    std::vector<std::int32_t> is, js, ks, faces;
    for (std::int32_t r = 0; r < nregn; ++r) {
        Region region;
        std::int32_t ndata = 0;
        if (!reader.ReadBytes(kNameLength, region.name)) return kStatusBadInput;
        list.Line("   REGION NAME : " + TrimmedName(region.name));
        if (!reader.ReadInt(ndata)) return kStatusBadInput;
        list.Line(LabelEquals("   NDATA", 18) + FormatInt(ndata, 12));
        if (ndata < 0) return kStatusBadInput;
        std::uint64_t n = static_cast<std::uint64_t>(ndata);
        if (!reader.ReadInts(n, is) || !reader.ReadInts(n, js) || !reader.ReadInts(n, ks) ||
            !reader.ReadInts(n, faces)) {
            return kStatusBadInput;
        }
        region.entries.resize(n);
        for (std::uint64_t e = 0; e < n; ++e) {
            region.entries[e] = RegionEntry{is[e], js[e], ks[e], faces[e]};
            if (!IsValidEntry(s, region.entries[e])) return kStatusBadInput;
        }
        bool is_area = false;
        double size = RegionSize(s, region, is_area);
        list.Line(LabelEquals(is_area ? "   AREA" : "   VOLUME", 18) + FormatReal(size));
        s.regions.push_back(std::move(region));
    }
    return kStatusOk;
}

int ReadProperties(RecordReader& reader, ListFile& list, ModelState& s) {
    std::int32_t nprop = 0;
    if (!reader.ReadInt(nprop)) return kStatusBadInput;
    list.Line(IntLine("NPROP", nprop, 5));
    if (nprop < 0) return kStatusBadInput;
    std::vector<double> k;
    for (std::int32_t m = 0; m < nprop; ++m) {
        if (!reader.ReadDoubles(3, k)) return kStatusBadInput;
        list.Line(LabelEquals("   KX,KY,KZ", 18) + FormatReal(k[0]) + FormatReal(k[1]) +
                  FormatReal(k[2]));
        if (!IsValidValue(k[0]) || !IsValidValue(k[1]) || !IsValidValue(k[2])) {
            return kStatusBadInput;
        }
        s.properties.push_back(Conductivity{k[0], k[1], k[2]});
    }
    return kStatusOk;
}

int ReadCases(RecordReader& reader, ListFile& list, ModelState& s) {
    std::int32_t ncase = 0;
    if (!reader.ReadInt(ncase)) return kStatusBadInput;
    list.Line(IntLine("NCASE", ncase, 5));
    if (ncase < 0) return kStatusBadInput;
    list.Line("   CASE" + std::string(11, ' ') + "TOP" + std::string(6, ' ') + "BOTTOM" +
              std::string(8, ' ') + "LEAD" + std::string(8, ' ') + "SIDE");
    std::vector<double> h;
    for (std::int32_t c = 0; c < ncase; ++c) {
        if (!reader.ReadDoubles(4, h)) return kStatusBadInput;
        std::string line = "   " + FormatInt(c + 1, 4) + "  ";
        for (double v : h) line += FormatReal(v, 12, 5);
        list.Line(line);
        for (double v : h) {
            if (!IsValidValue(v)) return kStatusBadInput;
        }
        s.cases.push_back(BoundaryCase{h[0], h[1], h[2], h[3]});
    }
    return kStatusOk;
}

int ReadBody(RecordReader& reader, ListFile& list, ModelState& s) {
    std::vector<std::int32_t> ints;
    std::int32_t type = 0;
    if (!reader.ReadInt(type)) return kStatusBadInput;
    s.imdl_type = type;
    list.Line(IntLine("IMDL_TYPE", type, 5));
    if (type < kTwoResistor || type > kDelphi) return kStatusBadModelType;

    if (!reader.ReadInt(s.iversion)) return kStatusBadInput;
    list.Line(IntLine("IVERSION", s.iversion, 5));

    if (!reader.ReadInts(4, ints)) return kStatusBadInput;
    s.im = ints[0];
    s.jm = ints[1];
    s.km = ints[2];
    s.ione_nth = ints[3];
    list.Line(IntLine("IM", s.im, 8));
    list.Line(IntLine("JM", s.jm, 8));
    list.Line(IntLine("KM", s.km, 8));
    list.Line(IntLine("IONE_NTH", s.ione_nth, 8));
    // The MAT record must fit one 32-bit byte count; the grid lines must fit the file.
    if (s.im < 1 || s.jm < 1 || s.km < 1 || s.ione_nth < 1) return kStatusBadInput;
    std::uint64_t cells = static_cast<std::uint64_t>(s.im) * static_cast<std::uint64_t>(s.jm) *
                          static_cast<std::uint64_t>(s.km);
    if (cells > 0xFFFFFFFFull / 4) return kStatusBadInput;

    if (!reader.ReadDoubles(static_cast<std::uint64_t>(s.im) + 1, s.x)) return kStatusBadInput;
    if (!reader.ReadDoubles(static_cast<std::uint64_t>(s.jm) + 1, s.y)) return kStatusBadInput;
    if (!reader.ReadDoubles(static_cast<std::uint64_t>(s.km) + 1, s.z)) return kStatusBadInput;
    EchoCoordinates(list, "X :", s.x);
    EchoCoordinates(list, "Y :", s.y);
    EchoCoordinates(list, "Z :", s.z);
    if (!IsIncreasing(s.x) || !IsIncreasing(s.y) || !IsIncreasing(s.z)) return kStatusBadInput;
    s.dx = Widths(s.x);
    s.dy = Widths(s.y);
    s.dz = Widths(s.z);

    if (!reader.ReadInts(cells, ints)) return kStatusBadInput;
    s.mat.assign(static_cast<std::size_t>(s.im + 2) * (s.jm + 2) * (s.km + 2), 0);
    std::int32_t lowest = 10000;
    std::int32_t highest = -10000;
    std::size_t n = 0;
    for (int k = 1; k <= s.km; ++k) {
        for (int j = 1; j <= s.jm; ++j) {
            for (int i = 1; i <= s.im; ++i) {
                std::int32_t m = ints[n++];
                s.MatAt(i, j, k) = m;
                lowest = std::min(lowest, m);
                highest = std::max(highest, m);
            }
        }
    }
    std::vector<std::int32_t>().swap(ints);
    list.Line(IntLine("MAT(MIN)", lowest, 5));
    list.Line(IntLine("MAT(MAX)", highest, 5));
    if (lowest < 0) return kStatusBadInput;

    if (int status = ReadRegions(reader, list, s)) return status;
    if (int status = ReadProperties(reader, list, s)) return status;
    if (highest > static_cast<std::int32_t>(s.properties.size())) return kStatusBadInput;

    if (!reader.ReadIntAndDouble(s.nitr, s.eitr)) return kStatusBadInput;
    list.Line(IntLine("NITR", s.nitr, 12));
    list.Line(RealLine("EITR", s.eitr));
    if (s.nitr > kMaxIterations) return kStatusBadInput;

    if (type == kTwoResistor) {
        std::vector<double> gap;
        if (!reader.ReadDoubles(2, gap)) return kStatusBadInput;
        s.gapl = gap[0];
        s.ramda = gap[1];
        list.Line(RealLine("GAPL", s.gapl));
        list.Line(RealLine("RAMDA", s.ramda));
        if (!IsValidValue(s.gapl) || !IsValidValue(s.ramda)) return kStatusBadInput;
    } else if (type == kDelphi) {
        s.nsurf = static_cast<int>(s.regions.size()) - 1;
        s.node_names.assign(1, kJunction);
        for (const Region& region : s.regions) {
            if (region.name != kJunction) s.node_names.push_back(region.name);
        }
        if (int status = ReadCases(reader, list, s)) return status;
    }
    return kStatusOk;
}

}  // namespace

int ReadInput(RecordReader& reader, ListFile& list, ModelState& state) {
    list.Line("*** INPUT GEOMETRY AND OTHER INFO. ***");
    int status = ReadBody(reader, list, state);
    if (status == kStatusOk) list.Line("*** INPUT FINISHED ***");
    return status;
}

bool BuildDelphiTables(ModelState& s) {
    int junctions = static_cast<int>(
        std::count_if(s.regions.begin(), s.regions.end(),
                      [](const Region& r) { return r.name == kJunction; }));
    if (junctions != 1 || s.nsurf < 1) return false;

    // A node whose letter names no class shares the class of the node before it.
    s.node_class.assign(s.nsurf + 1, -1);
    for (int n = 1; n <= s.nsurf; ++n) {
        switch (s.node_names[n][0]) {
            case 'T': s.node_class[n] = kTop; break;
            case 'B': s.node_class[n] = kBottom; break;
            case 'L': s.node_class[n] = kLead; break;
            case 'S': s.node_class[n] = kSide; break;
            default: s.node_class[n] = s.node_class[n - 1]; break;
        }
        if (s.node_class[n] < 0) return false;
    }

    // Every pair of nodes is a result of at most 31 characters in one of 100 slots.
    if (s.nsurf > kMaxSurfaceNodes) return false;
    for (int a = 0; a <= s.nsurf; ++a) {
        for (int b = a + 1; b <= s.nsurf; ++b) {
            if (TrimmedName(s.node_names[a]).size() + 1 + TrimmedName(s.node_names[b]).size() >
                static_cast<std::size_t>(kNameLength - 1)) {
                return false;
            }
        }
    }

    s.links.clear();
    s.node_links.assign(s.nsurf + 1, {});
    for (int a = 0; a <= s.nsurf; ++a) {
        for (int b = a + 1; b <= s.nsurf; ++b) {
            s.links.push_back(NodeLink{a, b});
            int number = static_cast<int>(s.links.size());
            s.node_links[a].push_back(number);
            s.node_links[b].push_back(number);
        }
    }
    return true;
}

}  // namespace resist_model
