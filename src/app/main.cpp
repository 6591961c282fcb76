#include "app/program.h"

int main(int argc, char** argv) { return talq::app::RunProgram(argc, argv); }
