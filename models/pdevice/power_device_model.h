#pragma once

#include <functional>
#include <string>
#include <vector>

#include "models/detailed_model.h"
#include "models/model_tree.h"
#include "models/pdevice/power_device.h"

namespace pkg::pdevice {

// Appends a group named `group_name` holding one block named `part_name`, made of the
// getter's material, to `root`, and adds the material to `list` once by name.
void AddCuboidGroup(Group& root, std::vector<Property>& list, const std::string& part_name,
                    const std::wstring& group_name, const std::function<Property()>& material,
                    const std::function<Cuboid()>& block);
// As above with a list of blocks named part_name(0), part_name(1), ...; the group is
// appended and the material added even when the list is empty.
void AddCuboidListGroup(Group& root, std::vector<Property>& list, const std::string& part_name,
                        const std::wstring& group_name,
                        const std::function<Property()>& material,
                        const std::function<std::vector<Cuboid>()>& blocks);

// What the six power-device models share: the component and material names, the material
// getters, the build sequence and the chip rule. A device is a stack of blocks in mm: x
// across the device from its centre line, y along the leads, z up from the lowest face.
// Blocks are laid out along s, from the lead tips (s = 0) to the outline's far end
// (s = S), and placed at y = s - S/2 so that the outline is centred.
class PowerDeviceModel : public PowerDevice, public DetailedModel {
public:
    // One lead of an arrangement: its centre in lead pitches from the centre line, and
    // whether it is formed down to the board or cut after its arm.
    struct LeadPlace {
        int pitches;
        bool full;
    };
    using LeadArrangement = std::vector<LeadPlace>;

    ~PowerDeviceModel() override = default;

    // Always 0: the parameters are taken as they stand.
    int Build() override;
    // Power devices have no variant with air: leaves the tree as it is and returns 0.
    int BuildWithAir() override { return 0; }

    Property MoldProperty() const;
    Property PlateProperty() const;
    Property BondedPartProperty() const;
    Property ChipProperty() const;
    Property LeadProperty() const;

    virtual Cuboid MoldCuboid() const = 0;
    virtual std::vector<Cuboid> LeadCuboids() const = 0;
    // The die attach and the chip: chip x range centred, s from ChipStart(), on the
    // mounting height; without a die attach the chip sits on the mounting height itself.
    Cuboid BondedPartCuboid() const;
    Cuboid ChipCuboid() const;

    // The outline length S along the leads.
    virtual double OutlineLength() const = 0;

protected:
    // Sets the defaults all six devices share; the device's constructor then sets its type
    // and its own values and, last, registers its outline symbols.
    PowerDeviceModel();

    // Where the chip starts along s, and the top face it is mounted on (z).
    virtual double ChipStart() const = 0;
    virtual double MountingHeight() const = 0;
    // Appends the plate group (and any group that comes between it and the die attach).
    virtual void AddPlateGroups(std::vector<Property>& list) = 0;

    // The block x0..x1, s0..s1, z0..z1 in model coordinates. A range whose end lies
    // before its start gets extent 0 at its start: the block keeps its place in the
    // tree, but a negative size is never handed on.
    Cuboid OutlineBlock(double x0, double x1, double s0, double s1, double z0,
                        double z1) const;

    // Three straight leads, one on the centre line and one a lead pitch e to either side,
    // b wide and c thick from the lead tips to L + inner_lead, their lower face at z.
    std::vector<Cuboid> StraightLeadCuboids(double z) const;

    // A lead formed down to the board, centred on x = xc, with width b, thickness c, foot
    // length L and top face at A - Q: arm (L to s_end along s, at the top), riser (L - c
    // to L, from c to the top) and foot (0 to L, on the board). A cut lead is its arm only.
    std::vector<Cuboid> FormedLeadCuboids(double xc, bool full, double s_end) const;

    // The formed leads of composition.lead_type in `arrangements`; none for a lead type
    // outside the table, negative ones included.
    std::vector<Cuboid> ArrangedLeadCuboids(const std::vector<LeadArrangement>& arrangements,
                                            double s_end) const;

    const std::string mold_name_ = "mold";
    const std::string chip_name_ = "chip";
    const std::string bonded_part_name_ = "bonded_part";
    const std::string plate_name_ = "plate";
    const std::string lead_name_ = "lead";
};

}  // namespace pkg::pdevice
