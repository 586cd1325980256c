# Drawing routines: listed here so their per-file compile flags stay with them.
