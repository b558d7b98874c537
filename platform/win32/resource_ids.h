// Resource numbers shared by the programs' resource scripts and the code.
#pragma once

// The first icon group is the one the shell shows for the program's file.
#define IDI_CORVALE 1
