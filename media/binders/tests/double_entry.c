/* Every entry point of a test double: does nothing, returns 0. */
int __cdecl double_entry(void) { return 0; }
