// The program's entry, kept out of main() so that its steps can be read and
// tested as a unit.
#pragma once

// Runs Pelmora: one copy at a time, the application title, the visual style,
// the two windows and the event loop. Returns the exit code, 0 on every path.
int RunPelmora(int& argc, char** argv);
