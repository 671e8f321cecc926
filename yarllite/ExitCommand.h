// What "Exit" does: the caller is done with the library's objects.
#pragma once

// Closes every open session, then destroys every stored object. A session
// hangs on its fabric's stored object; emptying the store under it would
// leave the session open with nothing left that could close it.
void exitCommand();
