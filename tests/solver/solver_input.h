#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace solver_test {

// A solver input written the way the export writes it: big-endian records, each framed
// by its byte count. Tests build models here and write them to a temporary file.
struct Entry {
    int i, j, k, face;
};

struct Node {
    std::string name;
    std::vector<Entry> entries;
};

struct Material {
    double kx, ky, kz;
};

struct Input {
    int type = 1;
    int version = 3;
    int im = 1, jm = 1, km = 1;
    int quarter = 1;
    std::vector<double> x, y, z;  // metres
    std::vector<int> mat;         // i fastest, 0 empty
    std::vector<Node> nodes;
    std::vector<Material> materials;
    int nitr = 2000;
    double eitr = 1.0e-12;
    double gapl = 0.0, ramda = 0.0;
    std::vector<std::vector<double>> cases;  // TOP, BOTTOM, LEAD, SIDE

    int& Mat(int i, int j, int k) { return mat[(i - 1) + (j - 1) * im + (k - 1) * im * jm]; }
    int Mat(int i, int j, int k) const {
        return mat[(i - 1) + (j - 1) * im + (k - 1) * im * jm];
    }
    // Every cell of the box i0..i1, j0..j1, k0..k1 (inclusive) as whole-cell entries.
    static std::vector<Entry> Cells(int i0, int i1, int j0, int j1, int k0, int k1);
    // The faces normal to axis (1 x, 2 y, 3 z) on grid plane p over the given cell ranges.
    static std::vector<Entry> Faces(int axis, int plane, int a0, int a1, int b0, int b1);
};

// Serialises and frames; the raw bytes are kept so tests can damage them.
class RecordBytes {
public:
    void Ints(const std::vector<std::int32_t>& values);
    void Doubles(const std::vector<double>& values);
    void Bytes(const std::string& bytes);
    // A record whose payload is given raw, with its own leading and trailing counts.
    void Raw(std::uint32_t leading, const std::string& payload, std::uint32_t trailing);
    std::string bytes;
};

std::string Serialise(const Input& input);
// The same file one framed record per element, in file order: type, version, sizes, X, Y,
// Z, MAT, NREGN, six per node, NPROP, one per material, NITR/EITR, then the type's tail.
std::vector<std::string> SerialiseRecords(const Input& input);
std::string Join(const std::vector<std::string>& records);
std::string IntsRecord(const std::vector<std::int32_t>& values);
std::string DoublesRecord(const std::vector<double>& values);
std::string WriteFile(const std::string& path, const std::string& bytes);

// Grid lines 0, w, 2w, ... (n cells of width w).
std::vector<double> Uniform(int n, double w);

// A unique path in the test's temporary folder; the file is removed on destruction.
class TempPath {
public:
    explicit TempPath(const std::string& stem);
    ~TempPath();
    const std::string& str() const { return path_; }
    const char* c_str() const { return path_.c_str(); }

private:
    std::string path_;
};

std::string ReadText(const std::string& path);

}  // namespace solver_test
