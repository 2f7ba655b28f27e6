// Keeps a library valid while its folder is still empty.
