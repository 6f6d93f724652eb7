#include "models/detailed_model.h"

namespace pkg {

bool DetailedModel::AddProperty(std::vector<Property>& list, const Property& material) {
    for (const Property& p : list) {
        if (p.name == material.name) return false;
    }
    list.push_back(material);
    return true;
}

void DetailedModel::ClearTree() {
    root.children.clear();
    root.cuboids.clear();
    root.prisms.clear();
    properties.clear();
}

}  // namespace pkg
