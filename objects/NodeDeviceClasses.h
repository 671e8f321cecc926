// The versioned classes of nodes (type 4: Node_2_2, Node_2_3, Node_2_0) and
// devices (type 5: Device_2_3, Device_2_0). A node links its ports from the
// name server and, in the newer generations, its device; a device reads its
// SCSI inquiry data through one of its node's ports. They hand out a
// NodeRecord and a DeviceRecord (orvane/records.h).
#pragma once

#include "objects/ChildClasses.h"
#include "objects/SanElement.h"

class StoredObject;
struct SessionContext;

class Node_2_2 : public PhySanElement, public VersionedElement {
public:
    int versionLevel() const override { return 2200; }
    // 0 with the record; -11 the node is not stored; -2 no memory; the
    // failure of the handle or of the symbolic name query.
    int BuildObject(const OID_t oid, void** record) override;
    // Links the node's ports and builds its record.
    virtual int LoadRelations(const OID_t oid, void** record);
};

class Node_2_3 : public Node_2_2 {
public:
    int versionLevel() const override { return 2300; }
    // As for Node_2_2, and the node's device, named in the record's owner.
    int BuildObject(const OID_t oid, void** record) override;
};

class Node_2_0 : public Node_2_3 {
public:
    int versionLevel() const override { return 2600; }
};

class Device_2_3 : public PhySanElement, public VersionedElement {
public:
    int versionLevel() const override { return 2300; }
    // 0 with the record (a failed inquiry reports type 1 and no data); -23
    // the device, its node or a port with a session is missing; -2 no
    // memory; the failure of the port identifier query.
    int BuildObject(const OID_t oid, void** record) override;

protected:
    virtual bool fullInquiry() const { return false; }
};

class Device_2_0 : public Device_2_3 {
public:
    int versionLevel() const override { return 2600; }

protected:
    bool fullInquiry() const override { return true; }
};

SanElement* makeNodeClass(int level, int secondary);
// Device_2_0 for 2600, Device_2_3 for any other level.
SanElement* makeDeviceClass(int level, int secondary);

// 0 with the first port of the node's "setPorts" that has a session; -11
// the node has no ports or a listed port is not stored; else the code of
// the last port tried.
int findNodeFabricHandle(StoredObject* node, StoredObject*& port, SessionContext*& ctx);
