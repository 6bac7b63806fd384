#pragma once

// The program's entry: `payorders` starts the window; `payorders init [--demo]`
// prepares the working folder and its database without one.
int runProgram(int argc, char **argv);
