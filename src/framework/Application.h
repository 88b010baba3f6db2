// Start-up of the windowed program: the holders in their order, the main
// window, and the event loop.
#pragma once

int runApplication(int argc, char** argv);
