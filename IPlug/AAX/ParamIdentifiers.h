#pragma once

namespace iplug {

// The framework parameter an AAX parameter identifier names: the identifier's leading decimal
// digits read as a number n give index n - 1. The adapter registers parameter i as the plain
// decimal text of i + 1, so a sign, a blank, a number beyond the 32-bit range or no digits at
// all (the master bypass's "") name no parameter and give -1. Any thread.
int ParamIndexFromID(const char* paramID);

} // namespace iplug
