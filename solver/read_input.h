#pragma once

#include "solver/list_file.h"
#include "solver/model_state.h"
#include "solver/record_reader.h"

namespace resist_model {

// Reads the whole input into state and echoes it to the list file. Returns kStatusOk,
// kStatusBadModelType (the echo then ends after the model type) or kStatusBadInput for a
// truncated, inconsistent or out-of-range input (the echo then ends where it stopped).
int ReadInput(RecordReader& reader, ListFile& list, ModelState& state);

// Iterations a stage may be allowed. The program asks for 2000; a limit far beyond what any
// grid needs, with a tolerance that is never met (0 runs every iteration), would keep even
// a tiny grid's stages running for hours.
constexpr int kMaxIterations = 1000000;

// Surface nodes a DELPHI network may have: its links fill at most 91 of the 100 result slots.
constexpr int kMaxSurfaceNodes = 13;

// Builds the DELPHI node table's boundary classes and the link tables from the regions.
// False when the node table cannot carry a network (no "J", two of them, no surface node,
// more than kMaxSurfaceNodes, a first surface node whose letter names no boundary class,
// or two node names too long to name their link in a 32-byte result slot).
bool BuildDelphiTables(ModelState& state);

}  // namespace resist_model
