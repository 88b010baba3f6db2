// The program: opens the shop's database (BookDB.mdb in the current directory,
// or the path given as the one argument), then runs the desk until it closes.
#include "framework/Application.h"

int main(int argc, char** argv) { return runApplication(argc, argv); }
