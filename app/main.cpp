// Program entry of Pelmora; everything happens in RunPelmora.
#include "ProgramEntry.h"

int main(int argc, char** argv)
{
    return RunPelmora(argc, argv);
}
