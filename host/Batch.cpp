#include "host/Batch.h"
#include <cstdio>
// Placeholder until the save command lands.
int Batch::save(CGlobal&, const BatchOptions&)
{
    std::fprintf(stderr, "Comando non ancora disponibile\n");
    return 3;
}
