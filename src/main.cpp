#include "ui/tarnwick_window.h"

int main(int argc, char* argv[])
{
    return tarnwick::runWindow(argc, argv);
}
