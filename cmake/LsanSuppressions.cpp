// Linked into every program of the sanitizer and fuzz builds, never into a product build.
// Fontconfig keeps a few hundred bytes from parsing its configuration files for the whole process and never
// frees them; the leak checker is told to expect that, so a test, a fuzz run or a command that writes text
// ends cleanly however it is started.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
