/* ResourceLibrary.c - the code of the resource-only libraries the version
   scenarios read. They are built without the C runtime, so they bring
   their own entry point; it is never run, the libraries are only read. */
int __stdcall DllMainCRTStartup(void* instance, unsigned long reason, void* reserved)
{
    (void)instance;
    (void)reason;
    (void)reserved;
    return 1;
}
