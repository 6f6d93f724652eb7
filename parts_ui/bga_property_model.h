#pragma once

#include <memory>
#include <string>

#include "models/bga/bga_detailed_model.h"
#include "parts_ui/property_model.h"

namespace parts_ui {

// The values of a BGA part that the property model shows, under the package's own field
// names, and the type name ("pbga" or "fcbga") they were read for. A new record is all
// zeros; the eighth board-layer thickness has no item and stays 0.
struct BGAParameters {
    pkg::Mold mold;
    pkg::Chip chip;
    pkg::BondedPart bonded_part;
    pkg::bga::BGA::Bump bump;
    pkg::bga::BGA::Wire wire;
    pkg::bga::BGA::Board board;
    pkg::bga::BGA::Via via;
    pkg::bga::BGA::SolderBall solder_ball;
    pkg::bga::BGA::Composition composition;
    std::string type_name;
};

PropertyModel BuildBGAPropertyTree(const pkg::bga::BGADetailedModel& package);
// An item "Ball layout" whose value is the text of `choiceId`.
std::shared_ptr<widget::WTreeItem> MakeBallLayoutItem(std::uint32_t choiceId);
// Reads the items of type `typeName` ("pbga" or "fcbga") back; the pbga wire lengths are
// derived from board, wiring area and chip.
BGAParameters ApplyBGAProperties(PropertyItemIndex index, const std::string& typeName);
bool ValidateBGAParameters(const BGAParameters& record);
// Copies the values the record's type shows into the package; the other type's values
// and the eighth board-layer thickness stay as they are. An empty pointer does nothing.
void PushBGAParameters(const BGAParameters& record,
                       const std::shared_ptr<pkg::bga::BGADetailedModel>& package);

}  // namespace parts_ui
