// The DELPHI networks of the default parts as an export run makes them: the QFP's, which
// its star and node-to-node fit already make close, is today's network bit for bit; the
// PBGA's, which that fit misses by half in a case, is refined to within the bound.
#include "export/export_runs.h"

#include <charconv>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "solver/network_fit.h"
#include "tests/export/export_runs_util.h"

namespace {

using export_runs_test::PartsFolder;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class DelphiNetworks : public PartsFolder {
protected:
    // Runs the type's default part; the links with a value, "A-B value" with 17 digits.
    std::string Network(const char* type, pkg::NetworkFitError& fit) {
        pkg::NodePairList links;
        double values[64] = {};
        EXPECT_TRUE(pkg::BatchComputePart(settings_, 2, Part(type), Cabinet(type), links, values,
                                          nullptr, &fit));
        std::string text;
        for (std::size_t l = 0; l < links.size(); ++l) {
            if (values[l] == 0.0) continue;
            // 17 significant digits with '.', whatever the locale.
            char value[40];
            const auto end = std::to_chars(value, value + sizeof value, values[l],
                                           std::chars_format::general, 17).ptr;
            text += platform::WideToUtf8(links[l].first + L"-" + links[l].second) + " " +
                    std::string(value, end) + "\n";
        }
        return text;
    }
};

// The golden network was written once by the fit of the star and the node-to-node links
// alone (bench delphi_accuracy --cases "QFP sample"), checked against a separate solve of
// the network under every case (worst junction error 1.3 %).
TEST_F(DelphiNetworks, TheDefaultQfpKeepsItsNetworkBitForBit) {
    pkg::NetworkFitError fit;
    EXPECT_EQ(Network("QFP", fit),
              ReadFile(std::filesystem::path(ZENTRIK_TEST_DATA) / "solver" /
                       "qfp_sample_delphi_network.txt"));
    ASSERT_TRUE(fit.Known());
    EXPECT_LE(fit.worst_percent, resist_model::kRefineTolerance);
    EXPECT_GT(fit.worst_percent, 1.0) << "the estimate is the network's, not 0";
}

TEST_F(DelphiNetworks, TheDefaultPbgaIsWithinTheBoundOnItsOwnCases) {
    pkg::NetworkFitError fit;
    EXPECT_FALSE(Network("PBGA", fit).empty());
    ASSERT_TRUE(fit.Known());
    EXPECT_LE(fit.worst_percent, pkg::NetworkFitError::kBoundPercent);
    EXPECT_LE(fit.rms_percent, fit.worst_percent);
    EXPECT_LE(fit.worst_case, 58);
}

}  // namespace
