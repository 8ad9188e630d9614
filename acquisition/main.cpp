// Talvorn3: the acquisition and processing program.

#include "acquisition/program_startup.h"

int main(int argc, char** argv) { return RunAcquisitionProgram(argc, argv); }
