#pragma once

#include "AAX_IParameter.h"
#include "IParam.h"

// The AAX parameter that shows framework parameter `param` to the host under `identifier`:
// bool and enum parameters become integer parameters with a text per value; an int parameter
// from 0 to 1 becomes a two-step switch with its display texts ("Off" and "On" where it has
// none), any other int parameter an integer parameter with a number display; double parameters
// become double parameters that map through the parameter's own shape. Null for a parameter without a type. The caller owns the
// result (normally its parameter manager). Host thread, during initialisation.
AAX_IParameter* MakeAAXParameter(const iplug::IParam& param, AAX_CParamID identifier);
