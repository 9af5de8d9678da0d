#pragma once
// Icons of the program and its dialogs. The program's icon has the id 1: the
// main window's class and the shell both take it from there.
#define IDI_TARNWICK 1
#define IDI_DOCUMENTS 10
#define IDI_MACRO 11
