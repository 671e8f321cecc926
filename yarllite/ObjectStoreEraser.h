// How the "Exit" command empties the object store: the store registers its
// eraser here when it is built into the library. Until one is registered,
// erasing does nothing (there is no store to empty).
#pragma once

using ObjectStoreEraser = void (*)();

// Registers the function that destroys every stored object; null removes it.
void setObjectStoreEraser(ObjectStoreEraser eraser);
// Runs the registered eraser, if any.
void eraseObjectStore();
