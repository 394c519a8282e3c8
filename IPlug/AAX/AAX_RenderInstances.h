#pragma once

// The native render procedure registered for every component. The host calls it on its audio
// thread with the array of render-context pointers [inInstancesBegin, inInstancesEnd).
void RenderInstances(void* const inInstancesBegin[], const void* inInstancesEnd);
