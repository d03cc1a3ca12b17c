/* ComponentLibrary.c - the code of the small libraries the end-to-end tests
   and the demo install as the player's components. They are built without
   the C runtime and only their resources are ever read, so the entry point
   they must have does nothing. */
int __stdcall DllMainCRTStartup(void* instance, unsigned long reason, void* reserved)
{
    (void)instance;
    (void)reason;
    (void)reserved;
    return 1;
}
