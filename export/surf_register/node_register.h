#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pkg::surf_register {

// What one entry of a node stands for. For a face entry the index along the face normal is
// a grid plane (1 to n+1), the other two are cells; plane n is the low face of cell n.
enum FaceCode : int32_t {
    kWholeCell = 0,  // a heat-source volume
    kFaceX = 1,
    kFaceY = 2,
    kFaceZ = 3,
};

// One node of a compact network: its name (the solver matches nodes by name) and its
// entries as 1-based cell or plane indices with a face code. The four lists always have
// the same length.
struct NodeRegister {
    std::string name;
    std::vector<int32_t> i;
    std::vector<int32_t> j;
    std::vector<int32_t> k;
    std::vector<int32_t> face;

    NodeRegister() = default;
    explicit NodeRegister(std::string node_name) : name(std::move(node_name)) {}

    void Add(int32_t ii, int32_t jj, int32_t kk, FaceCode code) {
        i.push_back(ii);
        j.push_back(jj);
        k.push_back(kk);
        face.push_back(code);
    }
    std::size_t size() const { return i.size(); }
};

}  // namespace pkg::surf_register
