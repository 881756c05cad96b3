// Failure tables shared with the aircraft's scripts: five tables of f32 in the
// order electric, hydraulic, system, pressurisation, engine. Entries 0 to 69
// are exchanged with the scripts' "zuvadud/D738/failure/" arrays (copied in
// every frame before the systems run, written back whole when an entry
// changes); the last two entries of each table stay on this side.
// Entry values: 0 no failure, 1 failed, 2 armed for a random failure,
// 3 to 8 armed with a flight condition (engine entries 0 to 5 only).
// The entries the plug-in reads are named in core/failure_entries.h.
#pragma once

constexpr int kFailureTableSize = 72;
constexpr int kFailureEntriesExchanged = 70;

struct FailureTables {
  float electric[kFailureTableSize];
  float hydraulic[kFailureTableSize];
  float system[kFailureTableSize];
  float pressurisation[kFailureTableSize];
  float engine[kFailureTableSize];
};
extern FailureTables failure_tables;
