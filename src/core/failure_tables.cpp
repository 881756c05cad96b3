// Storage of the failure tables shared with the scripts (see failure_tables.h).
#include "core/failure_tables.h"

FailureTables failure_tables;
