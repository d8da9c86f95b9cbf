// The DirectShow branch's reader of the program (Win32: the DirectShow readers' graphs).
#pragma once

// Makes it the reader of the DirectShow row of the readers' table.
void use_program_dshow_reader();
