/* A filter library of the right major version that exports nothing else: loading it must fail
   on the first entry point that is looked up after the version. */
unsigned avfilter_version(void) {
    return 8u << 16;
}
