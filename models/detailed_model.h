#pragma once

#include <string>
#include <vector>

#include "models/model_tree.h"

namespace pkg {

// The built model of a package: a root group named after the part and the list of
// materials its leaves use. Concrete models derive from their package class first and
// from this class second, so one object is both the package and its model.
class DetailedModel {
public:
    DetailedModel() = default;
    virtual ~DetailedModel() = default;

    // Builds the tree without surrounding air; 0 when built.
    virtual int Build() = 0;
    // Builds the tree with an enclosing air block where the family has one; 0 when built.
    virtual int BuildWithAir() = 0;

    void SetName(const std::wstring& name) { root.name = name; }
    const std::wstring& Name() const { return root.name; }

    // Appends a copy of `material` unless the list already holds one of that exact name
    // (the first one wins); true when appended.
    static bool AddProperty(std::vector<Property>& list, const Property& material);

    Group root;
    std::vector<Property> properties;

protected:
    // Empties the tree (keeping the root's name) and the material list before a rebuild.
    void ClearTree();
};

}  // namespace pkg
