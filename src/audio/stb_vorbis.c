// The Ogg Vorbis decoder: Debian's stb_vorbis (package libstb-dev), compiled here as one C
// file, so the desktop, Windows and browser builds all decode with the same source. Only the
// in-memory interface is built.
#define STB_VORBIS_NO_STDIO
#define STB_VORBIS_NO_PUSHDATA_API
#include <stb_vorbis.h>
