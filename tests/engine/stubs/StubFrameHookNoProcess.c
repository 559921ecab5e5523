/* A frame-hook plug-in that lacks its required "Process" export. */
int Configure(void** ctxp, int argc, char* argv[]) {
    (void)ctxp;
    (void)argc;
    (void)argv;
    return 0;
}
