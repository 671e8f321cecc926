// The fabric's inter-switch links, loaded when its object tree is built.
#pragma once

class StoredObject;
struct SessionContext;

// Loads the links of the fabric into its "setISLSet": 0, or the failure
// of the load. The link objects come with the inter-switch link classes;
// until then there is nothing to load and this returns 0.
int loadFabricIsls(SessionContext* ctx, StoredObject* fabric);
