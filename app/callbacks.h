#pragma once
// Binds the callback names of TEVRAN.uir to the program's functions.
void registerProgramCallbacks();
