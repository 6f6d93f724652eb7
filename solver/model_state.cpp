#include "solver/model_state.h"

namespace resist_model {

const Region* ModelState::FindRegion(const std::string& padded_name) const {
    for (const Region& region : regions) {
        if (region.name == padded_name) return &region;
    }
    return nullptr;
}

std::string PaddedName(const std::string& name) {
    std::string padded = name.substr(0, kNameLength);
    padded.resize(kNameLength, ' ');
    return padded;
}

std::string TrimmedName(const std::string& padded) {
    std::size_t end = padded.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : padded.substr(0, end + 1);
}

}  // namespace resist_model
