// The Start-menu shortcuts made at every start: the maker's folder in the common Start menu with a
// link to the program and one to the maker's web site.
#pragma once

void install_shortcuts();
// Creates or overwrites the link file at link_path pointing at target (hot key Ctrl+Shift+R); 1 on
// success, 0 when the link object cannot be made or saved.
int create_shell_link(const char* target, const char* link_path);
// Tells the shell of an event on a path, then of an update of the path's folder.
void notify_shell_change(long event, const char* path);
