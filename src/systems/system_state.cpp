// Storage of the systems step's carried working values (see system_state.h).
#include "systems/system_state.h"

HydraulicStepState hydraulic_step_state;
ElecBusState elec_bus_state;
SystemsStepMemory systems_memory;
GeneratorFailureMemory generator_failure_memory;
CabinTemperatures cabin_temperatures;
FuelIndications fuel_indications;
PerFlightValues per_flight_values;
float engine_running_memory;
