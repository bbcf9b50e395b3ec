// Starts the program with the site base this executable was built for.
#include "app/program.h"

#ifndef ORVENDEL_SITE_BASE
#error "ORVENDEL_SITE_BASE must name the site base this executable is built for"
#endif

int main() { orvendel::run_program(ORVENDEL_SITE_BASE); }
