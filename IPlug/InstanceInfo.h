#pragma once

// What the module knows about the instance it is about to create. An AAX host tells the
// plug-in nothing at creation, so the record is empty; it keeps the factory's signature the
// same for every host API.
struct InstanceInfo
{
};
