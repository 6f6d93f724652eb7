// Accuracy of the exported DELPHI networks. For the default part of each DELPHI package type
// and each real outline of tests/models/real_outlines.h of those types, exports the DELPHI
// model as the export worker runs a row, then solves the exported network (its links, the
// node areas and the coefficients of each case) under every boundary case and compares its
// junction temperature with the detailed model's: over the cases it was fitted to, and over
// a fixed set of held-out cases that no fit sees. Prints per part the worst and rms error of
// both sets and the worst case, and the estimate the solver itself reported.
//   delphi_accuracy [--cases NAME]   (NAME: also the exported links of that part and its
//                                     error in every case, one per line)
//   delphi_accuracy --mesh   (the two-resistor values of the default QFP, SOP and PBGA
//       with the standard lengths divided by 1 to 4, and their limit for a fine mesh)
//   delphi_accuracy --fit-with-side-cooled   (not what an export does: each network is the
//       solver's fit to its own cases and the held-out cases that cool the sides most, to
//       show what the nodes can do when the fit sees such a case)
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench/sop_delphi_case.h"
#include "export/export_runs.h"
#include "export/surf_register/create_surface_register.h"
#include "models/package_types.h"
#include "models/part_loaders.h"
#include "platform/temp_files.h"
#include "platform/wide_string.h"
#include "solver/rst_main.h"
#include "tests/models/real_outlines.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Case = std::array<double, 4>;  // TOP, BOTTOM, LEAD, SIDE in W/(m^2 K)

// Boundary cases outside both fitting tables, from still air (1) to a cold plate (1e4):
// uniform coefficients, a cooled top with still air elsewhere, a package cooled through its
// board, one surface class cooled alone, and mixtures. Fixed here, for every part alike.
const std::vector<Case> kHeldOut = {
    {3, 3, 3, 3},          {20, 20, 20, 20},      {150, 150, 150, 150},  {700, 700, 700, 700},
    {3000, 3000, 3000, 3000}, {7000, 7000, 7000, 7000}, {1, 1, 1, 1},
    {2000, 5, 5, 5},       {8000, 3, 3, 3},       {300, 2, 2, 2},
    {4, 700, 3000, 4},     {2, 2000, 8000, 2},    {6, 150, 400, 6},
    {3, 3, 2500, 3},       {4, 4000, 4, 4},       {5, 5, 5, 3000},       {1, 10000, 1, 1},
    {40, 400, 1500, 25},   {700, 60, 60, 200},    {120, 12, 900, 40},    {3000, 300, 3000, 10},
    {1500, 2, 2, 1500},    {8, 4, 40, 8},         {60, 30, 250, 60},
};

struct Part {
    std::string name;
    std::string type;  // package-type folder
    std::shared_ptr<pkg::SemiconductorPackage> package;
};

std::vector<Part> Parts() {
    std::vector<Part> parts;
    for (const char* type : {"QFP", "SOP", "PBGA", "FCBGA"}) {
        const pkg::PackageType* t = pkg::FindPackageType(std::string(type));
        parts.push_back({std::string(type) + " sample", type, t->make_sample()});
    }
    for (const real_outlines::Outline& o : real_outlines::kOutlines) {
        const std::string type = pkg::kPackageTypeNames[o.type];
        const pkg::PackageType* t = pkg::FindPackageType(type);
        if (!t->Exports(pkg::kExportsDelphi)) continue;
        parts.push_back({o.name, type, real_outlines::MakePart(o)});
    }
    return parts;
}

// The records of a solver input file: each a 4-byte big-endian length, the payload, the
// length again.
struct Records {
    std::string bytes;
    std::vector<std::size_t> starts;  // offset of each record's first length
    std::uint32_t Length(std::size_t r) const {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + starts[r]);
        return (std::uint32_t(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
    }
};

bool ReadRecords(const std::string& path, Records& out) {
    std::ifstream in(path, std::ios::binary);
    out.bytes.assign(std::istreambuf_iterator<char>(in), {});
    for (std::size_t at = 0; at < out.bytes.size();) {
        if (at + 4 > out.bytes.size()) return false;
        out.starts.push_back(at);
        at += 8 + out.Length(out.starts.size() - 1);
    }
    return in.eof() || in.good();
}

void AppendRecord(std::string& bytes, const unsigned char* payload, std::uint32_t length) {
    const unsigned char frame[4] = {static_cast<unsigned char>(length >> 24),
                                    static_cast<unsigned char>(length >> 16),
                                    static_cast<unsigned char>(length >> 8),
                                    static_cast<unsigned char>(length)};
    bytes.append(reinterpret_cast<const char*>(frame), 4);
    bytes.append(reinterpret_cast<const char*>(payload), length);
    bytes.append(reinterpret_cast<const char*>(frame), 4);
}

// A copy of a DELPHI input with its case table (the trailing NCASE record and one record
// of four reals per case) replaced by `cases`.
bool WriteWithCases(const std::string& from, const std::string& to,
                    const std::vector<Case>& cases) {
    Records r;
    if (!ReadRecords(from, r)) return false;
    std::size_t n = r.starts.size();
    std::size_t first = n;
    while (first > 0 && r.Length(first - 1) == 32) --first;
    if (first == 0 || r.Length(first - 1) != 4) return false;
    std::string bytes = r.bytes.substr(0, r.starts[first - 1]);
    const std::uint32_t count = static_cast<std::uint32_t>(cases.size());
    const unsigned char ncase[4] = {static_cast<unsigned char>(count >> 24),
                                    static_cast<unsigned char>(count >> 16),
                                    static_cast<unsigned char>(count >> 8),
                                    static_cast<unsigned char>(count)};
    AppendRecord(bytes, ncase, 4);
    for (const Case& c : cases) {
        unsigned char payload[32];
        for (int v = 0; v < 4; ++v) {
            std::uint64_t bits;
            std::memcpy(&bits, &c[v], 8);
            for (int b = 0; b < 8; ++b) payload[8 * v + b] = static_cast<unsigned char>(bits >> (56 - 8 * b));
        }
        AppendRecord(bytes, payload, 32);
    }
    std::ofstream out(to, std::ios::binary);
    out << bytes;
    return static_cast<bool>(out.flush());
}

// The exported network: node 0 is "J", nodes 1..N the surface nodes in the solver's order,
// each link's conductance in W/K (absent links carry none).
struct Network {
    std::vector<std::string> nodes;
    std::vector<int> node_class;  // per node: 0 TOP, 1 BOTTOM, 2 LEAD, 3 SIDE
    struct Link {
        int a, b;
        double g;
    };
    std::vector<Link> links;
};

int ClassOf(const std::string& name, int previous) {
    switch (name.empty() ? ' ' : name[0]) {
        case 'T': return 0;
        case 'B': return 1;
        case 'L': return 2;
        case 'S': return 3;
        default: return previous;
    }
}

// The junction's rise with 1 W in J and every surface node cooled to 0 through its own
// conductance; dense elimination with partial pivoting, independent of the solver's code.
double JunctionRise(const Network& net, const std::vector<double>& cooling) {
    const int n = static_cast<int>(net.nodes.size());
    std::vector<std::vector<double>> a(n, std::vector<double>(n, 0.0));
    std::vector<double> b(n, 0.0);
    b[0] = 1.0;
    for (int p = 1; p < n; ++p) a[p][p] += cooling[p];
    for (const Network::Link& l : net.links) {
        a[l.a][l.a] += l.g;
        a[l.b][l.b] += l.g;
        a[l.a][l.b] -= l.g;
        a[l.b][l.a] -= l.g;
    }
    // A node that neither links nor cools stays at 0 and out of the system.
    for (int p = 1; p < n; ++p) {
        if (a[p][p] == 0.0) a[p][p] = 1.0;
    }
    for (int k = 0; k < n; ++k) {
        int pivot = k;
        for (int i = k + 1; i < n; ++i) {
            if (std::abs(a[i][k]) > std::abs(a[pivot][k])) pivot = i;
        }
        std::swap(a[k], a[pivot]);
        std::swap(b[k], b[pivot]);
        for (int i = k + 1; i < n; ++i) {
            const double f = a[i][k] / a[k][k];
            for (int j = k; j < n; ++j) a[i][j] -= f * a[k][j];
            b[i] -= f * b[k];
        }
    }
    std::vector<double> t(n);
    for (int k = n - 1; k >= 0; --k) {
        double s = b[k];
        for (int j = k + 1; j < n; ++j) s -= a[k][j] * t[j];
        t[k] = s / a[k][k];
    }
    return t[0];
}

struct Errors {
    double worst = 0.0;  // signed, per cent of the detailed model's rise
    double rms = 0.0;
    int worst_case = 0;  // 1-based
    // The same over the cases whose sides are not cooled more than every other surface:
    // no case of either fitting table cools the sides most.
    double worst_unless_sides = 0.0;
    int worst_unless_sides_case = 0;
    std::vector<double> each;
};

bool SidesCooledMost(const Case& c) { return c[3] > std::max({c[0], c[1], c[2]}); }

// The network's junction error in every case of a detailed run. Node areas are the
// modelled quarter's: the network of the whole package cools four times that.
Errors Compare(const Network& net, const std::vector<Case>& cases,
               const std::vector<resist_model::StageValues>& stages) {
    Errors e;
    double sum = 0.0;
    for (std::size_t c = 0; c < stages.size(); ++c) {
        std::vector<double> cooling(net.nodes.size(), 0.0);
        for (std::size_t n = 1; n < net.nodes.size(); ++n) {
            cooling[n] = cases[c][net.node_class[n]] * 4.0 * stages[c].area[n];
        }
        const double detailed = stages[c].junction_max;
        const double error = 100.0 * (JunctionRise(net, cooling) - detailed) / detailed;
        e.each.push_back(error);
        sum += error * error;
        if (std::abs(error) > std::abs(e.worst)) {
            e.worst = error;
            e.worst_case = static_cast<int>(c) + 1;
        }
        if (!SidesCooledMost(cases[c]) && std::abs(error) > std::abs(e.worst_unless_sides)) {
            e.worst_unless_sides = error;
            e.worst_unless_sides_case = static_cast<int>(c) + 1;
        }
    }
    e.rms = stages.empty() ? 0.0 : std::sqrt(sum / stages.size());
    return e;
}

std::vector<Case> CasesOf(const std::string& input) {
    Records r;
    std::vector<Case> cases;
    if (!ReadRecords(input, r)) return cases;
    std::size_t first = r.starts.size();
    while (first > 0 && r.Length(first - 1) == 32) --first;
    for (std::size_t k = first; k < r.starts.size(); ++k) {
        Case c;
        const auto* p = reinterpret_cast<const unsigned char*>(r.bytes.data() + r.starts[k] + 4);
        for (int v = 0; v < 4; ++v) {
            std::uint64_t bits = 0;
            for (int b = 0; b < 8; ++b) bits = (bits << 8) | p[8 * v + b];
            std::memcpy(&c[v], &bits, 8);
        }
        cases.push_back(c);
    }
    return cases;
}

struct Row {
    std::string name;
    std::string type;
    int nodes = 0;
    int links = 0;
    bool done = false;
    std::string note;
    Errors own, held;
    double seconds = 0.0;
    std::vector<std::string> exported;  // "A-B value" per link with a value, %.17g
    resist_model::JunctionError reported;  // the solver's estimate for its own cases
};

// The network of a solver run's results, over the registered nodes.
struct NamedLinks {
    pkg::NodePairList links;
    std::vector<double> values;
};

NamedLinks LinksOf(const resist_model::RunOutput& run) {
    NamedLinks out;
    for (const resist_model::NamedResistance& r : run.results) {
        const std::string name = r.name.c_str();
        const std::size_t dash = name.find('-');
        out.links.emplace_back(platform::Utf8ToWide(name.substr(0, dash)),
                               platform::Utf8ToWide(name.substr(dash + 1)));
        out.values.push_back(r.value);
    }
    return out;
}

Row Measure(const Part& part, const fs::path& root, bool with_side_cooled) {
    Row row;
    row.name = part.name;
    row.type = part.type;
    const fs::path folder = root / "parts" / part.type;
    fs::create_directories(folder);
    const fs::path file = folder / "part.qvx";
    {
        std::ofstream out(file);
        if (!part.package->WritePartFile(out) || !out.flush()) {
            row.note = "part not written";
            return row;
        }
    }
    const std::wstring part_path = platform::PathToWide(file);

    // The export as the worker runs it.
    pkg::ExportRunSettings settings;
    settings.parts_folder = platform::PathToWide(root / "parts") + L"/";
    pkg::NodePairList links;
    double values[64] = {};
    pkg::RunFailure failure;
    const Clock::time_point start = Clock::now();
    if (!pkg::BatchComputePart(settings, 2, part_path, platform::PathToWide(root / "part.cab"),
                               links, values, &failure)) {
        row.note = "export failed";
        return row;
    }
    row.seconds = std::chrono::duration<double>(Clock::now() - start).count();

    // The same solver input, to read the detailed model's case values at full precision,
    // and a copy with the held-out cases.
    const bool bga = pkg::IsPackageFamily(part.type, pkg::PackageFamily::kBGA);
    std::shared_ptr<pkg::DetailedModel> model;
    if (bga) {
        auto m = pkg::LoadBGADetailedModel(part_path);
        if (m && m->BuildWithAir() == 0) model = m;
    } else {
        auto m = pkg::LoadQFPDetailedModel(part_path);
        if (m && m->Build() == 0) model = m;
    }
    std::vector<pkg::surf_register::NodeRegister> registered;
    const std::string own_input = (root / "own.in").string();
    const std::string held_input = (root / "held.in").string();
    if (!model ||
        !bench::WriteModelInput(own_input, model, part.type, pkg::surf_register::kDelphiModel,
                                1.0, &registered) ||
        !WriteWithCases(own_input, held_input, kHeldOut)) {
        row.note = "input not written";
        return row;
    }
    const resist_model::RunOutput own = resist_model::rst_main(own_input, "");
    const resist_model::RunOutput held = resist_model::rst_main(held_input, "");
    if (own.status != 0 || held.status != 0) {
        row.note = "solver status " + std::to_string(own.status) + "/" + std::to_string(held.status);
        return row;
    }
    row.reported = own.network.error;
    if (with_side_cooled) {
        std::vector<Case> cases = CasesOf(own_input);
        for (const Case& c : kHeldOut) {
            if (SidesCooledMost(c)) cases.push_back(c);
        }
        const std::string input = (root / "wider.in").string();
        resist_model::RunOutput wider;
        wider.status = 1;
        if (WriteWithCases(own_input, input, cases)) wider = resist_model::rst_main(input, "");
        if (wider.status != 0) {
            row.note = "wider fit failed";
            return row;
        }
        const NamedLinks fitted = LinksOf(wider);
        links = fitted.links;
        std::copy(fitted.values.begin(), fitted.values.end(), values);
        std::fill(values + fitted.values.size(), values + 64, 0.0);
    }

    Network net;
    net.nodes.push_back("J");
    net.node_class.push_back(0);
    for (const auto& node : registered) {
        if (node.name == "J") continue;
        net.nodes.push_back(node.name);
        net.node_class.push_back(ClassOf(node.name, net.node_class.back()));
    }
    std::map<std::string, int> number;
    for (std::size_t n = 0; n < net.nodes.size(); ++n) number[net.nodes[n]] = static_cast<int>(n);
    // The exported values, checked against the direct run of the same input.
    std::map<std::string, double> direct;
    for (const auto& r : own.results) direct[r.name.c_str()] = r.value;
    for (std::size_t l = 0; l < links.size(); ++l) {
        const std::string a = platform::WideToUtf8(links[l].first);
        const std::string b = platform::WideToUtf8(links[l].second);
        if (!number.count(a) || !number.count(b)) {
            row.note = "link " + a + "-" + b + " has no node";
            return row;
        }
        const double mine = direct.count(a + "-" + b) ? direct[a + "-" + b]
                            : direct.count(b + "-" + a) ? direct[b + "-" + a]
                                                         : 0.0;
        if (!with_side_cooled && mine != values[l]) row.note = "export and direct run differ";
        if (values[l] == 0.0) continue;
        char text[64];
        std::snprintf(text, sizeof text, " %.17g", values[l]);
        row.exported.push_back(a + "-" + b + text);
        net.links.push_back({number[a], number[b], 1.0 / values[l]});
    }
    row.nodes = static_cast<int>(net.nodes.size());
    row.links = static_cast<int>(net.links.size());
    row.own = Compare(net, CasesOf(own_input), own.stages);
    row.held = Compare(net, kHeldOut, held.stages);
    row.done = true;
    return row;
}

// The two-resistor values of the default parts as the mesh is refined, and their limit: a
// value that converges as C r^-p in the refinement r gives, from r, 1.5 r and 2 r, the
// rate p and the limit (Richardson). Prints each value with its distance from the limit.
int MeshConvergence(const fs::path& root) {
    const double refinements[] = {1.0, 1.5, 2.0, 3.0, 4.0};
    int status = 0;
    std::printf("%-5s %6s | %10s %10s\n", "type", "refine", "top", "bottom");
    for (const char* type : {"QFP", "SOP", "PBGA"}) {
        const fs::path folder = root / "parts" / type;
        fs::create_directories(folder);
        const pkg::PackageType* t = pkg::FindPackageType(std::string(type));
        {
            std::ofstream out(folder / "part.qvx");
            t->make_sample()->WritePartFile(out);
        }
        std::vector<std::array<double, 2>> values;
        for (double r : refinements) {
            pkg::ExportRunSettings settings;
            settings.parts_folder = platform::PathToWide(root / "parts") + L"/";
            for (double& factor : settings.standard_length) factor /= r;
            pkg::NodePairList links;
            double v[64] = {};
            if (!pkg::BatchComputePart(settings, 0, platform::PathToWide(folder / "part.qvx"),
                                       platform::PathToWide(root / "mesh.cab"), links, v)) {
                std::printf("%-5s %6g export failed\n", type, r);
                status = 1;
                break;
            }
            values.push_back({v[0], v[1]});
            std::printf("%-5s %6g | %10.4f %10.4f\n", type, r, v[0], v[1]);
            std::fflush(stdout);
        }
        if (values.size() != 5) continue;
        std::array<double, 2> limit{};
        for (int k = 0; k < 2; ++k) {
            // r = 2, 3, 4 are not in a fixed ratio: p from the ratio of the differences,
            // found by bisection, then the limit.
            const double f2 = values[2][k], f3 = values[3][k], f4 = values[4][k];
            const double ratio = (f2 - f3) / (f3 - f4);
            auto g = [&](double p) {
                return (std::pow(2.0, -p) - std::pow(3.0, -p)) / (std::pow(3.0, -p) - std::pow(4.0, -p)) - ratio;
            };
            double lo = 0.1, hi = 4.0;
            for (int i = 0; i < 100; ++i) {
                const double mid = 0.5 * (lo + hi);
                (g(lo) < 0) == (g(mid) < 0) ? lo = mid : hi = mid;
            }
            const double p = 0.5 * (lo + hi);
            const double c = (f3 - f4) / (std::pow(3.0, -p) - std::pow(4.0, -p));
            limit[k] = f4 - c * std::pow(4.0, -p);
            std::printf("%-5s %s rate %.2f, limit %.4f, default %+.1f%%, 2x %+.1f%%\n", type,
                        k == 0 ? "top   " : "bottom", p, limit[k],
                        100.0 * (values[0][k] / limit[k] - 1.0),
                        100.0 * (values[2][k] / limit[k] - 1.0));
        }
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    std::string detail;
    bool with_side_cooled = false;
    if (argc == 3 && std::strcmp(argv[1], "--cases") == 0) {
        detail = argv[2];
    } else if (argc == 2 && std::strcmp(argv[1], "--fit-with-side-cooled") == 0) {
        with_side_cooled = true;
    } else if (argc == 2 && std::strcmp(argv[1], "--mesh") == 0) {
        const fs::path root =
            platform::MakeUniqueDirectory(platform::TempDirectory(), "delphi_accuracy");
        if (root.empty()) return 1;
        const int status = MeshConvergence(root);
        fs::remove_all(root);
        return status;
    } else if (argc != 1) {
        std::fprintf(stderr, "usage: delphi_accuracy [--cases NAME | --fit-with-side-cooled | --mesh]\n");
        return 2;
    }
    const fs::path root = platform::MakeUniqueDirectory(platform::TempDirectory(), "delphi_accuracy");
    if (root.empty()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    int status = 0;
    std::printf("%-48s %-6s %5s %5s | %18s %7s | %18s %7s %18s | %18s %7s | %6s\n", "part",
                "type", "nodes", "links", "own worst (case)", "rms", "held-out worst", "rms",
                "but side-cooled", "solver's estimate", "rms", "s");
    std::vector<Row> rows;
    for (const Part& part : Parts()) {
        const Row row = Measure(part, root, with_side_cooled);
        if (!row.done) {
            std::printf("%-48s %-6s %s\n", row.name.c_str(), row.type.c_str(), row.note.c_str());
            status = 1;
            continue;
        }
        std::printf(
            "%-48s %-6s %5d %5d | %+9.1f%% (%5d) %6.1f%% | %+9.1f%% (%5d) %6.1f%% %+9.1f%% (%5d) | "
            "%9.1f%% (%5d) %6.1f%% | %6.1f %s\n",
            row.name.c_str(), row.type.c_str(), row.nodes, row.links, row.own.worst,
            row.own.worst_case, row.own.rms, row.held.worst, row.held.worst_case, row.held.rms,
            row.held.worst_unless_sides, row.held.worst_unless_sides_case, row.reported.worst,
            row.reported.worst_case, row.reported.rms, row.seconds, row.note.c_str());
        std::fflush(stdout);
        if (row.name == detail) {
            for (const std::string& link : row.exported) std::printf("  %s\n", link.c_str());
            for (std::size_t c = 0; c < row.own.each.size(); ++c) {
                std::printf("  own %2zu %+8.2f%%\n", c + 1, row.own.each[c]);
            }
            for (std::size_t c = 0; c < row.held.each.size(); ++c) {
                std::printf("  held %2zu %+8.2f%%  (%g, %g, %g, %g)\n", c + 1, row.held.each[c],
                            kHeldOut[c][0], kHeldOut[c][1], kHeldOut[c][2], kHeldOut[c][3]);
            }
        }
        rows.push_back(row);
    }
    fs::remove_all(root);
    return status;
}
