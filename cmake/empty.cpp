// Keeps a library valid while its directory has no sources of this kind yet.
