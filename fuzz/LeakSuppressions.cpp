// Leaks the sanitizer build must not report for the harness's programs: font configuration, which
// the Qt widget loads, keeps its caches for the life of the process.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
