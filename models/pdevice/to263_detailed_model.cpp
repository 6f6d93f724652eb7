#include "models/pdevice/power_device_detailed_model.h"

namespace pkg::pdevice {

// TO-263: a surface-mount body whose plate lies on the board and leaves the mold's far
// face as a tab as wide as the mold (L1 long), with formed leads by lead type. Its outline
// is built by models/pdevice/exposed_tab_detailed_model.cpp.
template <>
void TO263DetailedModel::RegisterDimensions() {
    for (const char* s : {"A", "b", "c", "c2", "D", "D1", "E", "E1", "e", "H", "L", "L1", "Q"}) {
        RegisterSymbol(s);
    }
}

template <>
TO263DetailedModel::PowerDeviceDetailedModel() {
    type_ = "TO-263";
    OuterShape& o = outer_shape_param;
    o.A = 4.065;
    o.b = 0.508;
    o.c = 0.381;
    o.c2 = 1.143;
    o.D = 8.38;
    o.D1 = 6.86;
    o.E = 9.65;
    o.E1 = 6.225;
    o.e = 2.54;
    o.H = 14.605;
    o.L = 1.78;
    o.L1 = 1.676;
    o.Q = 2.0;
    inner_shape_param.offset = 1.0;
    inner_shape_param.inner_lead = 1.0;
    chip.size = XY{3.0, 2.0};
    chip.thickness = 0.3;
    RegisterDimensions();
}

}  // namespace pkg::pdevice
