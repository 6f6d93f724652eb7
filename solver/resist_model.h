#pragma once

// The outside face of the resistance solver library Korvath_Du64. One call reads one solver
// input file, solves its conduction stages and hands back named resistances in K/W.

#if defined(KORVATH_DU64_BUILD)
#define RESIST_MODEL_API __attribute__((visibility("default")))
#else
#define RESIST_MODEL_API
#endif

namespace resist_model {

// Length in bytes of the list-file name in lstfile; 0 or less writes no list file.
RESIST_MODEL_API extern int nlst;
// The list-file name. After a call with 0 < nlst < 256 the bytes nlst..255 hold blanks.
RESIST_MODEL_API extern char lstfile[256];
// How well the network of a DELPHI call reproduces the cases it was fitted to: after a
// call with status 0 on a DELPHI input, [0] the largest and [1] the rms error of the
// network's junction temperature against the detailed model's over its cases, in per cent
// of the latter, and [2] the number of the case of the largest (from 1). Every call sets
// all three; any other call leaves them 0.
RESIST_MODEL_API extern double results[3];

// The library serves one caller at a time: nlst and lstfile are process-wide and are read
// during the call, so a program that computes from several threads must hold one lock
// from setting them until the call returns.

// Status codes returned by computeResistModel; every non-zero status is a failure.
constexpr int kStatusOk = 0;
constexpr int kStatusEmptyInputName = 1;
constexpr int kStatusFitFailed = 2;
constexpr int kStatusBadModelType = 3;
// Input missing, unreadable, malformed or not a regular file, or a list-file path that
// holds something other than a regular file; neither is opened in a way that could block.
constexpr int kStatusBadInput = 4;
constexpr int kStatusNoSolution = 5;     // no valid solution, or not enough memory for one
// A stage's matrix solver stopped at its iteration limit without meeting its tolerance:
// its temperatures are not a solution, so no resistance is handed over. The list file
// shows the stage's "[COULD NOT CONVERGE]" block.
constexpr int kStatusNotConverged = 6;

// Reads the input file at path and computes its resistances. On status 0, *count results
// are handed over: *names holds count slots of 32 bytes (each NUL-terminated inside its
// slot), *values count doubles. Release both with freeResults. On any other status *count
// is 0 and both pointers are null. Never throws and never ends the process.
RESIST_MODEL_API int computeResistModel(const char* path, int* count, char** names,
                                        double** values) noexcept;

// Releases the blocks of a successful call and sets both pointers to null; null is accepted.
RESIST_MODEL_API void freeResults(char** names, double** values) noexcept;

}  // namespace resist_model
