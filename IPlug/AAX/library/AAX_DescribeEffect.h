#pragma once

#include "AAX.h"

class AAX_VCollection;

// The plug-in's side of registration, which the module's registration export asks for and the
// plug-in defines: describes its effect in `collection`. Answers 0 or the first failure; a
// failing host call inside a component abandons the registration with an
// AAX_CheckedResult::Exception carrying that call's result. Registration thread.
AAX_Result DescribeEffect(AAX_VCollection& collection);
