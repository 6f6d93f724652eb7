#include "models/pdevice/power_device_detailed_model.h"

namespace pkg::pdevice {

// TO-252: as the TO-263, but its exposed tab is b3 wide and L3 long, and its centre lead is
// always cut. Its outline is built by models/pdevice/exposed_tab_detailed_model.cpp.
template <>
void TO252DetailedModel::RegisterDimensions() {
    for (const char* s :
         {"A", "b", "b3", "c", "c2", "D", "D1", "E", "E1", "e", "H", "L", "L3", "Q"}) {
        RegisterSymbol(s);
    }
}

template <>
TO252DetailedModel::PowerDeviceDetailedModel() {
    type_ = "TO-252";
    OuterShape& o = outer_shape_param;
    o.A = 2.184;
    o.b = 0.635;
    o.b3 = 4.953;
    o.c = 0.457;
    o.c2 = 0.457;
    o.D = 5.969;
    o.D1 = 5.207;
    o.E = 6.35;
    o.E1 = 4.318;
    o.e = 2.286;
    o.H = 9.398;
    o.L = 1.397;
    o.L1 = 2.743;  // kept in the part file; no block uses it
    o.L3 = 0.889;
    o.Q = 1.0;
    inner_shape_param.offset = 1.0;
    inner_shape_param.inner_lead = 1.0;
    chip.size = XY{3.0, 2.0};
    chip.thickness = 0.3;
    RegisterDimensions();
}

}  // namespace pkg::pdevice
