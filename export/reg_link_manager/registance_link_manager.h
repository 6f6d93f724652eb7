#pragma once

#include <memory>
#include <string>
#include <vector>

#include "export/resistance_result.h"

namespace pkg {
class DetailedModel;
}

namespace pkg::reg_link_manager {

// The links of one DELPHI network family: every pair of its nodes in a fixed order. The
// order is the order of the values a DELPHI computation returns and of the links written.
class RegistanceLinkManager {
public:
    static constexpr int kMaxLinks = 64;

    virtual ~RegistanceLinkManager() = default;

    int count = 0;
    // Link l joins nodes[2l] and nodes[2l + 1]; entries past the last link stay empty.
    std::wstring nodes[2 * kMaxLinks];

    // values[l] = the first result joining the two nodes of link l (in either order),
    // 0.0 when none does. Writes values[0 .. count - 1] only.
    void CollectLinkValues(const std::vector<ResistanceResult>& results, double* values) const;

protected:
    // Lists every pair (a, b) with b after a in the node order.
    void SetAllPairs(const std::vector<std::wstring>& order);
};

class RegistanceLinkManagerQFP : public RegistanceLinkManager {
public:
    RegistanceLinkManagerQFP();
};

class RegistanceLinkManagerSOP : public RegistanceLinkManager {
public:
    RegistanceLinkManagerSOP();
};

class RegistanceLinkManagerBGAFull : public RegistanceLinkManager {
public:
    RegistanceLinkManagerBGAFull();
};

class RegistanceLinkManagerBGAOut : public RegistanceLinkManager {
public:
    RegistanceLinkManagerBGAOut();
};

class RegistanceLinkManagerBGAOutCenter : public RegistanceLinkManager {
public:
    RegistanceLinkManagerBGAOutCenter();
};

// The table for a package type ("QFP", "SOP", "PBGA", "FCBGA"; exact match) and, for the
// ball-grid arrays, the model's ball layout. Empty when no table fits.
std::shared_ptr<RegistanceLinkManager> CreateRegistanceLinkManager(
    std::string package_type, const std::shared_ptr<DetailedModel>& model);
std::shared_ptr<RegistanceLinkManager> CreateRegistanceLinkManager(const std::string& package_type,
                                                                   const DetailedModel* model);

}  // namespace pkg::reg_link_manager
