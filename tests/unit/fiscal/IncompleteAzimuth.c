/* The first three entry points of the printer's library and nothing else. */
#ifdef _WIN32
#define EXPORT __declspec(dllexport)
#else
#define EXPORT __attribute__((visibility("default")))
#endif

EXPORT int GetLastDllError(void) { return 0; }
EXPORT char* GetErrorMessage(char* buffer) { return buffer; }
EXPORT int CancelReceipt(void) { return 0; }
