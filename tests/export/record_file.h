#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace zentrik_test {

// Reads a file of framed records as the solver expects it: a 4-byte big-endian length,
// the payload, the same length again. Kept apart from the writer on purpose: it knows only
// the file layout.
struct RecordFile {
    std::vector<std::vector<unsigned char>> records;
    bool framed = false;  // every record framed by equal lengths, nothing left over

    static RecordFile Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
        RecordFile f;
        std::size_t at = 0;
        while (at < bytes.size()) {
            if (bytes.size() - at < 8) return f;
            const uint32_t head = Be32(&bytes[at]);
            if (bytes.size() - at - 8 < head) return f;
            const uint32_t tail = Be32(&bytes[at + 4 + head]);
            if (tail != head) return f;
            f.records.emplace_back(bytes.begin() + at + 4, bytes.begin() + at + 4 + head);
            at += 8 + head;
        }
        f.framed = true;
        return f;
    }

    static uint32_t Be32(const unsigned char* p) {
        return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
    }
    static std::vector<int32_t> Ints(const std::vector<unsigned char>& r) {
        std::vector<int32_t> v;
        for (std::size_t n = 0; n + 4 <= r.size(); n += 4) v.push_back(int32_t(Be32(&r[n])));
        return v;
    }
    static std::vector<double> Doubles(const std::vector<unsigned char>& r) {
        std::vector<double> v;
        for (std::size_t n = 0; n + 8 <= r.size(); n += 8) {
            const uint64_t bits = uint64_t(Be32(&r[n])) << 32 | Be32(&r[n + 4]);
            double d;
            std::memcpy(&d, &bits, sizeof d);
            v.push_back(d);
        }
        return v;
    }
    static std::string Text(const std::vector<unsigned char>& r) {
        return std::string(r.begin(), r.end());
    }
};

// The records of a solver input file, read in file order.
struct SolverInput {
    struct Node {
        std::string name;  // the raw 32-byte field
        std::vector<int32_t> i, j, k, face;
        std::size_t ndata = 0;
    };
    int32_t model_type = 0, version = 0;
    std::vector<int32_t> sizes;
    std::vector<double> x, y, z;
    std::vector<int32_t> mat;
    std::vector<Node> nodes;
    std::vector<std::vector<double>> conductivities;
    std::vector<unsigned char> control;
    std::vector<std::vector<unsigned char>> tail;  // records after the control record
    bool complete = false;

    static SolverInput Parse(const RecordFile& f) {
        SolverInput s;
        std::size_t r = 0;
        auto next = [&](std::size_t bytes_expected_or_any) -> const std::vector<unsigned char>* {
            if (r >= f.records.size()) return nullptr;
            const auto* rec = &f.records[r++];
            if (bytes_expected_or_any != SIZE_MAX && rec->size() != bytes_expected_or_any) return nullptr;
            return rec;
        };
        const auto* rec = next(4);
        if (!rec) return s;
        s.model_type = RecordFile::Ints(*rec)[0];
        if (!(rec = next(4))) return s;
        s.version = RecordFile::Ints(*rec)[0];
        if (!(rec = next(16))) return s;
        s.sizes = RecordFile::Ints(*rec);
        const std::size_t nx = s.sizes[0], ny = s.sizes[1], nz = s.sizes[2];
        if (!(rec = next(8 * (nx + 1)))) return s;
        s.x = RecordFile::Doubles(*rec);
        if (!(rec = next(8 * (ny + 1)))) return s;
        s.y = RecordFile::Doubles(*rec);
        if (!(rec = next(8 * (nz + 1)))) return s;
        s.z = RecordFile::Doubles(*rec);
        if (!(rec = next(4 * nx * ny * nz))) return s;
        s.mat = RecordFile::Ints(*rec);
        if (!(rec = next(4))) return s;
        const int32_t nregn = RecordFile::Ints(*rec)[0];
        for (int32_t n = 0; n < nregn; ++n) {
            Node node;
            if (!(rec = next(32))) return s;
            node.name = RecordFile::Text(*rec);
            if (!(rec = next(4))) return s;
            node.ndata = RecordFile::Ints(*rec)[0];
            std::vector<int32_t>* lists[4] = {&node.i, &node.j, &node.k, &node.face};
            for (auto* list : lists) {
                if (!(rec = next(4 * node.ndata))) return s;
                *list = RecordFile::Ints(*rec);
            }
            s.nodes.push_back(node);
        }
        if (!(rec = next(4))) return s;
        const int32_t nprop = RecordFile::Ints(*rec)[0];
        for (int32_t n = 0; n < nprop; ++n) {
            if (!(rec = next(24))) return s;
            s.conductivities.push_back(RecordFile::Doubles(*rec));
        }
        if (!(rec = next(12))) return s;
        s.control = *rec;
        while ((rec = next(SIZE_MAX))) s.tail.push_back(*rec);
        s.complete = true;
        return s;
    }
};

}  // namespace zentrik_test
