// The slow tests measure resident memory over many runs. AddressSanitizer
// holds freed memory back (256 MB by default) to catch late uses; a small
// hold keeps that check without counting the held memory as growth.
#ifdef __SANITIZE_ADDRESS__
extern "C" const char* __asan_default_options()
{
    return "quarantine_size_mb=4";
}
#endif
