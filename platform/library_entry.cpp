// Load and unload hooks of libOrvane_2.so.
