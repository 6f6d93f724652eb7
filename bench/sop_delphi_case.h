#pragma once

namespace bench {

// Writes the solver input of the default SOP's DELPHI computation with the export code,
// as an export does, and times the whole computation on one thread and on all of them.
void RunSopDelphiCase();

}  // namespace bench
