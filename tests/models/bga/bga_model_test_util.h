#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "models/detailed_model.h"

namespace testutil {

inline std::vector<std::wstring> ChildNames(const pkg::DetailedModel& m) {
    std::vector<std::wstring> names;
    for (const auto& g : m.root.children) names.push_back(g->name);
    return names;
}

inline std::vector<std::string> MaterialNames(const pkg::DetailedModel& m) {
    std::vector<std::string> names;
    for (const auto& p : m.properties) names.push_back(p.name);
    return names;
}

inline const pkg::Group* FindGroup(const pkg::DetailedModel& m, const std::wstring& name) {
    for (const auto& g : m.root.children) {
        if (g->name == name) return g.get();
    }
    throw std::runtime_error("no such group");
}

inline const pkg::Property& Material(const pkg::DetailedModel& m, const std::string& name) {
    for (const auto& p : m.properties) {
        if (p.name == name) return p;
    }
    throw std::runtime_error("no such material: " + name);
}

}  // namespace testutil
