#include "tests/solver/solver_input.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace solver_test {

namespace {

void Put32(std::string& out, std::uint32_t v) {
    out.push_back(static_cast<char>(v >> 24));
    out.push_back(static_cast<char>(v >> 16));
    out.push_back(static_cast<char>(v >> 8));
    out.push_back(static_cast<char>(v));
}

void PutDouble(std::string& out, double d) {
    std::uint64_t bits;
    std::memcpy(&bits, &d, 8);
    for (int b = 7; b >= 0; --b) out.push_back(static_cast<char>(bits >> (8 * b)));
}

}  // namespace

std::vector<Entry> Input::Cells(int i0, int i1, int j0, int j1, int k0, int k1) {
    std::vector<Entry> out;
    for (int k = k0; k <= k1; ++k)
        for (int j = j0; j <= j1; ++j)
            for (int i = i0; i <= i1; ++i) out.push_back({i, j, k, 0});
    return out;
}

std::vector<Entry> Input::Faces(int axis, int plane, int a0, int a1, int b0, int b1) {
    // a and b are the two other axes in the order (y, z) for x, (x, z) for y, (x, y) for z.
    std::vector<Entry> out;
    for (int b = b0; b <= b1; ++b) {
        for (int a = a0; a <= a1; ++a) {
            if (axis == 1) out.push_back({plane, a, b, 1});
            if (axis == 2) out.push_back({a, plane, b, 2});
            if (axis == 3) out.push_back({a, b, plane, 3});
        }
    }
    return out;
}

void RecordBytes::Ints(const std::vector<std::int32_t>& values) {
    std::string payload;
    for (std::int32_t v : values) Put32(payload, static_cast<std::uint32_t>(v));
    Raw(payload.size(), payload, payload.size());
}

void RecordBytes::Doubles(const std::vector<double>& values) {
    std::string payload;
    for (double v : values) PutDouble(payload, v);
    Raw(payload.size(), payload, payload.size());
}

void RecordBytes::Bytes(const std::string& b) { Raw(b.size(), b, b.size()); }

void RecordBytes::Raw(std::uint32_t leading, const std::string& payload, std::uint32_t trailing) {
    Put32(bytes, leading);
    bytes += payload;
    Put32(bytes, trailing);
}

namespace {

// Collects each record on its own so tests can replace one.
struct RecordList {
    std::vector<std::string> records;
    void Ints(const std::vector<std::int32_t>& v) {
        RecordBytes r;
        r.Ints(v);
        records.push_back(r.bytes);
    }
    void Doubles(const std::vector<double>& v) {
        RecordBytes r;
        r.Doubles(v);
        records.push_back(r.bytes);
    }
    void Bytes(const std::string& b) {
        RecordBytes r;
        r.Bytes(b);
        records.push_back(r.bytes);
    }
};

}  // namespace

std::vector<std::string> SerialiseRecords(const Input& in) {
    RecordList r;
    r.Ints({in.type});
    r.Ints({in.version});
    r.Ints({in.im, in.jm, in.km, in.quarter});
    r.Doubles(in.x);
    r.Doubles(in.y);
    r.Doubles(in.z);
    r.Ints(std::vector<std::int32_t>(in.mat.begin(), in.mat.end()));
    r.Ints({static_cast<int>(in.nodes.size())});
    for (const Node& node : in.nodes) {
        std::string name = node.name;
        name.resize(32, ' ');
        r.Bytes(name);
        r.Ints({static_cast<int>(node.entries.size())});
        std::vector<std::int32_t> is, js, ks, fs;
        for (const Entry& e : node.entries) {
            is.push_back(e.i);
            js.push_back(e.j);
            ks.push_back(e.k);
            fs.push_back(e.face);
        }
        r.Ints(is);
        r.Ints(js);
        r.Ints(ks);
        r.Ints(fs);
    }
    r.Ints({static_cast<int>(in.materials.size())});
    for (const Material& m : in.materials) r.Doubles({m.kx, m.ky, m.kz});
    std::string nitr;
    Put32(nitr, static_cast<std::uint32_t>(in.nitr));
    PutDouble(nitr, in.eitr);
    r.Bytes(nitr);
    if (in.type == 1) r.Doubles({in.gapl, in.ramda});
    if (in.type == 3) {
        r.Ints({static_cast<int>(in.cases.size())});
        for (const auto& c : in.cases) r.Doubles(c);
    }
    return r.records;
}

std::string Serialise(const Input& in) {
    std::string bytes;
    for (const std::string& record : SerialiseRecords(in)) bytes += record;
    return bytes;
}

std::string Join(const std::vector<std::string>& records) {
    std::string bytes;
    for (const std::string& record : records) bytes += record;
    return bytes;
}

std::string IntsRecord(const std::vector<std::int32_t>& values) {
    RecordBytes r;
    r.Ints(values);
    return r.bytes;
}

std::string DoublesRecord(const std::vector<double>& values) {
    RecordBytes r;
    r.Doubles(values);
    return r.bytes;
}

std::string WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::vector<double> Uniform(int n, double w) {
    std::vector<double> v;
    for (int i = 0; i <= n; ++i) v.push_back(i * w);
    return v;
}

TempPath::TempPath(const std::string& stem) {
    static std::atomic<int> counter{0};
    path_ = (std::filesystem::temp_directory_path() /
             ("zentrik_solver_" + std::to_string(getpid()) + "_" +
              std::to_string(counter++) + "_" + stem))
                .string();
}

TempPath::~TempPath() {
    std::error_code ec;
    std::filesystem::remove(path_, ec);
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace solver_test
