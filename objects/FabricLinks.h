// The fabric's inter-switch links, loaded when its object tree is built.
#pragma once

class StoredObject;
struct SessionContext;

// Loads the links of the fabric into its "setISLSet" from the topology
// pages (objects/IslClasses.h): 0, or the failure of the load.
int loadFabricIsls(SessionContext* ctx, StoredObject* fabric);
