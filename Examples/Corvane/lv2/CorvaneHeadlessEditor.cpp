#include "Corvane.h"

// The LV2 build has no editor yet: the host shows its own controls for the ports.
void Corvane::AttachEditor() {}

void* Corvane::ModuleInstance() { return nullptr; }
