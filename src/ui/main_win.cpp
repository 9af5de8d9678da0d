// The program's entry point.
#include "ui/run_program.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return runProgram();
}
