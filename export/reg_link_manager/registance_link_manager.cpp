#include "export/reg_link_manager/registance_link_manager.h"

#include "models/bga/bga_detailed_model.h"
#include "models/package_types.h"

namespace pkg::reg_link_manager {

namespace {

// Node names are ASCII: each wide character becomes one byte.
std::string Narrow(const std::wstring& w) {
    std::string s;
    s.reserve(w.size());
    for (wchar_t c : w) s.push_back(static_cast<char>(c));
    return s;
}

}  // namespace

void RegistanceLinkManager::SetAllPairs(const std::vector<std::wstring>& order) {
    int l = 0;
    for (size_t a = 0; a < order.size(); ++a) {
        for (size_t b = a + 1; b < order.size() && l < kMaxLinks; ++b, ++l) {
            nodes[2 * l] = order[a];
            nodes[2 * l + 1] = order[b];
        }
    }
    count = l;
}

void RegistanceLinkManager::CollectLinkValues(const std::vector<ResistanceResult>& results,
                                              double* values) const {
    if (count < 1) return;
    for (int l = 0; l < count; ++l) {
        const std::string a = Narrow(nodes[2 * l]);
        const std::string b = Narrow(nodes[2 * l + 1]);
        double value = 0.0;
        for (const ResistanceResult& r : results) {
            if ((r.node1 == a && r.node2 == b) || (r.node1 == b && r.node2 == a)) {
                value = r.value;
                break;
            }
        }
        values[l] = value;
    }
}

RegistanceLinkManagerQFP::RegistanceLinkManagerQFP() {
    SetAllPairs({L"J", L"TI", L"TO", L"BI", L"BO", L"L", L"S"});
}

RegistanceLinkManagerSOP::RegistanceLinkManagerSOP() {
    SetAllPairs({L"J", L"TI", L"TO", L"BI", L"BO", L"L", L"S1", L"S2"});
}

RegistanceLinkManagerBGAFull::RegistanceLinkManagerBGAFull() {
    SetAllPairs({L"J", L"TI", L"TO", L"LI", L"LO", L"S"});
}

RegistanceLinkManagerBGAOut::RegistanceLinkManagerBGAOut() {
    SetAllPairs({L"J", L"TI", L"TO", L"B", L"L", L"S"});
}

RegistanceLinkManagerBGAOutCenter::RegistanceLinkManagerBGAOutCenter() {
    SetAllPairs({L"J", L"TI", L"TO", L"B", L"LI", L"LO", L"S"});
}

std::shared_ptr<RegistanceLinkManager> CreateRegistanceLinkManager(
    std::string package_type, const std::shared_ptr<DetailedModel>& model) {
    return CreateRegistanceLinkManager(package_type, model.get());
}

std::shared_ptr<RegistanceLinkManager> CreateRegistanceLinkManager(const std::string& package_type,
                                                                   const DetailedModel* model) {
    const PackageType* type = FindPackageType(package_type);
    if (type != nullptr && type->family == PackageFamily::kQFP) {
        if (type->Has(kFourSidedLeads)) return std::make_shared<RegistanceLinkManagerQFP>();
        return std::make_shared<RegistanceLinkManagerSOP>();
    }
    if (type != nullptr && type->family == PackageFamily::kBGA) {
        const auto* bga = dynamic_cast<const bga::BGADetailedModel*>(model);
        if (!bga) return nullptr;
        switch (bga->solder_ball.layout) {
            case 0:
                return std::make_shared<RegistanceLinkManagerBGAFull>();
            case 1:
                return std::make_shared<RegistanceLinkManagerBGAOut>();
            case 2:
                return std::make_shared<RegistanceLinkManagerBGAOutCenter>();
            default:
                return nullptr;
        }
    }
    return nullptr;
}

}  // namespace pkg::reg_link_manager
