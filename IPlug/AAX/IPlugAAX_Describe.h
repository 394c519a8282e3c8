#pragma once

#include <cstdint>

#include "AAX.h"
#include "AAX_DescribeEffect.h"
#include "AAX_SEffectIdentity.h"
#include "AAX_SIPlugComponentSetup.h"

class AAX_VCollection;
class AAX_VEffectDescriptor;
class IACFUnknown;

// The effect description a registration hands to the host. Registration thread; touches no
// instance state.

// The stem format for a bus of `numChannels` channels; AAX_eStemFormat_None for a count the
// host has no format for.
uint32_t StemFormatForChannels(int numChannels);

// DescribeEffect(collection) (AAX_DescribeEffect.h) describes the product's effect,
// kProductEffectIdentity; this one any effect, with the same answers.
AAX_Result DescribeEffect(AAX_VCollection& collection, const AAX_SEffectIdentity& identity);

// One processing component; answers 0 or throws AAX_CheckedResult::Exception.
AAX_Result DescribeComponent(AAX_VEffectDescriptor& effectDescriptor, const AAX_SIPlugComponentSetup& setup);

// Factory procedure 0: builds one plug-in instance and answers its effect-parameters interface
// (with no reference yet), or null when construction fails. Host thread; serialised by the
// product's factory lock.
IACFUnknown* MakeEffectParameters();

// Factory procedure 1: a new editor object with no plug-in attached yet, or null. UI thread.
IACFUnknown* MakeEffectGUI();
