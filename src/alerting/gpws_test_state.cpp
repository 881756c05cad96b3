// Storage of the GPWS test button state (see gpws_test_state.h).
#include "alerting/gpws_test_state.h"

GpwsTestState gpws_test;
