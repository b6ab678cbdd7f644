#include "StandInDriver.h"

// Not written yet: without it the export reports that no driver matches.
std::unique_ptr<CStandInDriver> MakeAccessStandIn() { return nullptr; }
