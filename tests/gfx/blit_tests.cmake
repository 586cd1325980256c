# Tests of the drawing routines.
